#pragma once

#include "AddressBookController.h"
#include "EdsContacts.h"
#include "FakeApplicationLauncher.h"
#include "FakeUrlOpener.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTableView>
#include <QTest>

// The browser over the test folder: Ana Nguyen, Zoe Quinn, José Müller, Paul Andrews,
// Anna Berg (Smith, Jones & Co), Joanna Smith and the company card Andromeda Ltd; groups
// Family, Colleagues, Inner circle, Friends and Book club.
struct Browser
{
    // The browser is opened once the book is read, or, duringTheRead, just after it began.
    explicit Browser(const QString& folder = QStringLiteral(QUIBBO_TEST_DATA "/contacts"),
                     bool duringTheRead = false, EdsContacts* desktop = nullptr)
        : book(folder, desktop),
          controller({groups, people, name, numbers, recipient, search}, book, launcher, urls)
    {
        book.prefetch();
        if (!duringTheRead && !QTest::qWaitFor([this] { return book.isRead(); }))
            qFatal("the address book was not read");
        recipient.setEditable(true);
        controller.awakeFromNib();
        controller.load();
    }

    QStringList column(QAbstractItemView& view, int c = 0) const
    {
        QStringList cells;
        for (int r = 0; r < view.model()->rowCount(); ++r)
            cells << view.model()->index(r, c).data().toString();
        return cells;
    }
    void choose(QAbstractItemView& view, int row)
    {
        view.setCurrentIndex(view.model()->index(row, 0));
    }
    void chooseGroup(const QString& title) { choose(groups, int(column(groups).indexOf(title))); }
    void choosePerson(const QString& shown) { choose(people, int(column(people).indexOf(shown))); }

    AddressBook book;
    FakeApplicationLauncher launcher;
    FakeUrlOpener urls;
    QListView groups;
    QListView people;
    QLineEdit name;
    QTableView numbers;
    QComboBox recipient;
    QLineEdit search;
    AddressBookController controller;
};
