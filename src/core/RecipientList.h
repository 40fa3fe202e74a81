#pragma once

#include "AddressBook.h"
#include "NumberRules.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// What the recipient box holds: recipients separated by commas or semicolons, each a number as
// typed or the name of a person in the address book, who stands for their mobile number. Read
// once at a press of Send: every number through the number rules, each distinct number once (a
// person in two groups gets the message once), in the box's order.
class RecipientList
{
    Q_DECLARE_TR_FUNCTIONS(RecipientList)
public:
    // One of a person's mobile numbers, as the card has it.
    struct Mobile
    {
        QString person; // as the address book shows the name
        QString label;  // "Mobile", or the card's own label ("Work mobile")
        QString value;
        friend bool operator==(const Mobile&, const Mobile&) = default;
    };
    // The mobile numbers of the people a typed name names: first or last name, or both, in any
    // letter case. Empty when it names nobody.
    using Names = std::function<QList<Mobile>(const QString& typed)>;

    struct Recipient
    {
        QString typed;  // as in the box, without the spaces round it
        QString msisdn; // as sent
        friend bool operator==(const Recipient&, const Recipient&) = default;
    };
    // A name that stands for more than one number: nothing is guessed.
    struct Choice
    {
        QString typed;
        QList<Mobile> mobiles;
    };

    // The send traces the numbers it forms in the log; the count of messages, read at every
    // keystroke, does not.
    RecipientList(QStringView box, const std::optional<Settings::NumberTranslation>& translation,
                  const Names& names = {}, NumberTrace trace = NumberTrace::Quiet);

    // The box's recipients as typed, without the spaces round them, empty ones left out.
    static QStringList split(QStringView box);
    static QString joined(const QStringList& typed);
    // The number to send for a typed number, or empty when it may not be sent: no digit, a
    // letter or an invisible character, or more digits than any number in the world has (15).
    static QString numberToSend(QStringView typed,
                                const std::optional<Settings::NumberTranslation>& translation,
                                NumberTrace trace = NumberTrace::Quiet);
    // The names a person is known by in the box, and the numbers they stand for.
    static Names namesIn(AddressBook& book);

    const QList<Recipient>& distinct() const { return recipients; }
    // Every typed recipient that stands for one number, duplicates too, in the box's order.
    const QList<Recipient>& all() const { return everyone; }
    // What stands for no number, as typed.
    const QStringList& invalid() const { return refused; }
    const QList<Choice>& choices() const { return open; }
    // How many typed recipients named a number an earlier one names.
    qsizetype duplicates() const { return repeated; }
    bool isEmpty() const { return recipients.isEmpty() && refused.isEmpty() && open.isEmpty(); }
    // Why nothing may be sent, for the status line; empty when every recipient stands for one
    // number.
    QString problem() const;

private:
    QList<Recipient> recipients;
    QList<Recipient> everyone;
    QStringList refused;
    QList<Choice> open;
    qsizetype repeated = 0;
};
