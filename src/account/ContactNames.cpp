#include "ContactNames.h"

#include "NumberRules.h"

ContactNames ContactNames::matched(const QList<AddressBook::Person>& people,
                                   const std::optional<Settings::NumberTranslation>& translation)
{
    ContactNames matched;
    for (const AddressBook::Person& person : people) {
        QString name =
            QStringList{person.firstName.value_or(QString()), person.lastName.value_or(QString())}
                .join(QLatin1Char(' '))
                .trimmed();
        if (name.isEmpty())
            name = person.organization.value_or(QString()).trimmed();
        if (name.isEmpty())
            continue;
        for (const VCard::Phone& phone : person.phones) {
            if (!isNumberValid(phone.value))
                continue;
            const QString digits = formatNumber(phone.value, translation, NumberTrace::Quiet);
            if (!digits.isEmpty() && !matched.names.contains(digits))
                matched.names.insert(digits, name);
        }
    }
    return matched;
}

std::optional<QString> ContactNames::of(const QString& msisdn) const
{
    const auto name = names.constFind(msisdn);
    return name == names.constEnd() ? std::nullopt : std::optional(*name);
}
