#pragma once

#include <QCompleter>

class AddressBook;
class QComboBox;
class QStandardItemModel;

// Completion as the recipient is typed: the last recipient in the box, part of a name (a first
// or last name's beginning, in any letter case) or of a number, offers the matching people's
// numbers, mobile first, each with its label and the person's name, then the matching recent
// numbers. Picking one puts its number in place of what was typed, the other recipients kept.
class RecipientCompleter : public QCompleter
{
    Q_OBJECT
public:
    RecipientCompleter(QComboBox& box, AddressBook& book, std::function<QStringList()> recent,
                       QObject* parent = nullptr);

    // The offers for what the box holds now; each row's number is in Qt::UserRole.
    void offer(const QString& box);

    QStringList splitPath(const QString& path) const override;
    QString pathFromIndex(const QModelIndex& index) const override;

private:
    QComboBox& box;
    AddressBook& book;
    std::function<QStringList()> recent;
    QStandardItemModel* offers;
};
