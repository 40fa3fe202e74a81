#pragma once

#include "AddressBook.h"
#include "Settings.h"

#include <QHash>
#include <QString>

#include <optional>

// The names of the address book's people by their numbers as the service writes them: each
// card's number reduced to the digits a send to it would carry.
class ContactNames
{
public:
    static ContactNames matched(const QList<AddressBook::Person>& people,
                                const std::optional<Settings::NumberTranslation>& translation);

    std::optional<QString> of(const QString& msisdn) const;

private:
    QHash<QString, QString> names;
};
