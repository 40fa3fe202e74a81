#include "RecipientList.h"

#include "NumberRules.h"

#include <QSet>

#include <memory>

namespace {
// E.164 allows no number longer than this, country code included.
constexpr qsizetype longestNumber = 15;

bool hasLetter(QStringView typed)
{
    return std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.isLetter(); });
}

QString shownName(const AddressBook::Person& person)
{
    QStringList parts;
    if (person.firstName)
        parts.append(*person.firstName);
    if (person.lastName)
        parts.append(*person.lastName);
    return parts.join(QLatin1Char(' '));
}
} // namespace

RecipientList::RecipientList(QStringView box,
                             const std::optional<Settings::NumberTranslation>& translation,
                             const Names& names, NumberTrace trace)
{
    QSet<QString> seen;
    const auto add = [&](const QString& typed, const QString& msisdn) {
        everyone.append({typed, msisdn});
        if (seen.contains(msisdn)) {
            ++repeated;
            return;
        }
        seen.insert(msisdn);
        recipients.append({typed, msisdn});
    };
    for (const QString& typed : split(box)) {
        if (const QString msisdn = numberToSend(typed, translation, trace); !msisdn.isEmpty()) {
            add(typed, msisdn);
            continue;
        }
        const QList<Mobile> mobiles = names && hasLetter(typed) ? names(typed) : QList<Mobile>();
        if (mobiles.isEmpty()) {
            refused.append(typed);
        } else if (mobiles.size() > 1) {
            open.append({typed, mobiles});
        } else if (const QString msisdn = numberToSend(mobiles.first().value, translation, trace);
                   !msisdn.isEmpty()) {
            add(typed, msisdn);
        } else {
            refused.append(typed);
        }
    }
}

QStringList RecipientList::split(QStringView box)
{
    QStringList typed;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= box.size(); ++i) {
        if (i < box.size() && box[i] != u',' && box[i] != u';')
            continue;
        if (const QStringView piece = box.sliced(start, i - start).trimmed(); !piece.isEmpty())
            typed.append(piece.toString());
        start = i + 1;
    }
    return typed;
}

QString RecipientList::joined(const QStringList& typed)
{
    return typed.join(QLatin1String(", "));
}

QString RecipientList::numberToSend(QStringView typed,
                                    const std::optional<Settings::NumberTranslation>& translation,
                                    NumberTrace trace)
{
    // A number without a single digit would reach the service as an empty Msisdn.
    if (!isNumberValid(typed))
        return {};
    QString msisdn = formatNumber(typed, translation, trace);
    if (msisdn.size() > longestNumber)
        return {};
    return msisdn;
}

RecipientList::Names RecipientList::namesIn(AddressBook& book)
{
    // Indexed at the first name asked, by every name a person is known by, in one letter case:
    // a box of hundreds of names asks the book once.
    auto index = std::make_shared<std::optional<QHash<QString, QList<Mobile>>>>();
    return [&book, index](const QString& typed) {
        if (!*index) {
            QHash<QString, QList<Mobile>>& byName = index->emplace();
            for (const AddressBook::Person& person : book.people()) {
                const QString name = shownName(person);
                QList<Mobile> mobiles;
                for (const VCard::Phone& phone : person.phones)
                    if (phone.isMobile())
                        mobiles.append({name, phone.shownLabel(), phone.value});
                if (mobiles.isEmpty())
                    continue;
                QStringList keys{name.toCaseFolded()};
                for (const std::optional<QString>& part : {person.firstName, person.lastName})
                    if (part && !keys.contains(part->toCaseFolded()))
                        keys.append(part->toCaseFolded());
                for (const QString& key : std::as_const(keys))
                    byName[key].append(mobiles);
            }
        }
        return (*index)->value(typed.toCaseFolded());
    };
}

QString RecipientList::problem() const
{
    if (!refused.isEmpty())
        //: %1 is what was typed, as "07700 9001234567890, Bob"; nothing was sent to anyone.
        return tr("Not a phone number, nor the name of anyone with a mobile number: %1. Nothing "
                  "was sent.")
            .arg(refused.join(QLatin1String(", ")));
    if (!open.isEmpty()) {
        const Choice& choice = open.first();
        QStringList offered;
        for (const Mobile& mobile : choice.mobiles)
            //: A number a typed name may stand for: the person, the number's label, the number.
            offered.append(tr("%1 (%2: %3)").arg(mobile.person, mobile.label, mobile.value));
        //: %1 is the typed name, %2 the numbers it may stand for. Nothing was sent.
        return tr("\"%1\" may be %2: type the number to send to. Nothing was sent.")
            .arg(choice.typed, offered.join(tr(" or ")));
    }
    return {};
}
