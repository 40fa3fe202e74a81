#pragma once

#include "AddressBook.h"

#include <QObject>

class ApplicationLauncher;
class BrowserTableModel;
class QAbstractItemView;
class QComboBox;
class QLineEdit;
class UrlOpener;

// Browses the user's contacts for a recipient: the groups (headed by "All"), the people of the
// chosen group whose first or last name begins with the search text, and the chosen person's
// numbers. Choosing a number puts it into the recipient box exactly as the card stores it; the
// chosen people, or everyone in the chosen group, add their mobile numbers to the box.
class AddressBookController : public QObject
{
    Q_OBJECT
public:
    struct NumberEntry
    {
        QString label; // as shown, e.g. "Mobile:"
        QString value; // as stored in the card
        friend bool operator==(const NumberEntry&, const NumberEntry&) = default;
    };

    struct Controls
    {
        QAbstractItemView& groupTableView;
        QAbstractItemView& nameTableView;
        QLineEdit& nameTextField;
        QAbstractItemView& valueTableView;
        QComboBox& sendToComboBox;
        QLineEdit& searchField;
    };

    AddressBookController(const Controls& controls, AddressBook& addressBook,
                          ApplicationLauncher& launcher, UrlOpener& urls,
                          QObject* parent = nullptr);

    const Controls controls;

    QList<AddressBook::Group> myGroups;
    QList<AddressBook::Person> myPeople;
    QList<NumberEntry> myValues;
    // The number row the user chose last; it stays chosen for the next person.
    int chosenNumberRow = -1;

    // Connects the lists; the book itself is read by load(), when the browser is first shown.
    void awakeFromNib();
    void load();
    bool isLoaded() const { return loaded; }

    static QString createNameStringForPerson(const AddressBook::Person& person);
    static QList<NumberEntry> makeArrayOfNumbers(const QList<VCard::Phone>& phones);
    QList<AddressBook::Person> getArrayOfPeople(qsizetype groupIndex);

public Q_SLOTS:
    void filterListOfNames();
    void launchAddressBookApp();
    void updateSendToComboBox();
    // Adds each chosen person's first mobile number to the recipients.
    void addChosenPeople();
    // Adds the first mobile number of each member of the chosen group to the recipients.
    void addChosenGroup();

private:
    void groupOrFilterChanged();
    void personChosen();
    void addRecipients(const QList<AddressBook::Person>& people);
    // The chosen group's index in the book as it is now (-1 for "All"); none when no group is
    // chosen or the chosen one is gone.
    std::optional<qsizetype> chosenGroup();
    void sortPeople();
    static int lowestSelectedRow(const QAbstractItemView* view);
    // Where the list holds the group of that name, if it does.
    static std::optional<qsizetype> indexOfGroup(const QList<AddressBook::Group>& list,
                                                 const QString& name);

    AddressBook& myAddressBook;
    ApplicationLauncher& launcher;
    UrlOpener& urls;
    BrowserTableModel* groups = nullptr;
    BrowserTableModel* names = nullptr;
    BrowserTableModel* values = nullptr;
    bool loaded = false;
    bool filledBeforeRead = false;
};
