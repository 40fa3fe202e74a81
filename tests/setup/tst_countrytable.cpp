#include "CountryTable.h"

#include <QHash>
#include <QLocale>
#include <QTest>

#include <phonenumbers/phonenumberutil.h>

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

namespace {
// The regions of the names the table words in its own way, by their ISO 3166 codes. The others
// are found by Qt's English name of the territory.
const QHash<QString, QStringList> regionsOfName = {
    {"USA", {"US"}},
    // The Australian Antarctic Territory has no plan of its own: it shares Norfolk Island's 672.
    {"Antarctic Australian Territory", {"NF"}},
    {"Antigua and Barbuda", {"AG"}},
    {"Azores", {"PT"}},
    {"Balearic Islands", {"ES"}},
    {"Bosnia-Herzegovina", {"BA"}},
    {"Burma", {"MM"}},
    {"Canary Islands", {"ES"}},
    {"Cape Verde Islands", {"CV"}},
    {"Chad Republic", {"TD"}},
    {"Chatham Islands", {"NZ"}},
    {"Congo, Democratic Republic of the", {"CD"}},
    {"Congo, Republic of the", {"CG"}},
    {"Cote d'Ivoire (Ivory Coast)", {"CI"}},
    {"Czech Republic", {"CZ"}},
    {"Diego Garcia", {"IO"}},
    {"East Timor", {"TL"}},
    {"French Antilles", {"MQ"}},
    {"French Polynesia (incl. Tahiti)", {"PF"}},
    {"Guinea-Bissau", {"GW"}},
    {"Holland", {"NL"}},
    {"Ireland, Republic of", {"IE"}},
    {"Korea (PDR North)", {"KP"}},
    {"Korea (South)", {"KR"}},
    {"Macau (China)", {"MO"}},
    {"Madeira", {"PT"}},
    {"Moldova (Moldavia)", {"MD"}},
    {"Netherlands Antilles", {"CW"}},
    {"Niger Republic", {"NE"}},
    {"Northern Marianas", {"MP"}},
    {"Palestinian Territory", {"PS"}},
    // Pitcairn has no plan of its own either: it shares New Zealand's 64.
    {"Pitcairn Islands", {"NZ"}},
    {"Reunion, La", {"RE"}},
    {"Rodriguez Island", {"MU"}},
    {"Saint Vincent", {"VC"}},
    {"Samoa (Formerly known - Western Samoa)", {"WS"}},
    {"Sao Tome and Principe", {"ST"}},
    {"St. Helena", {"SH"}},
    {"St. Kitts and Nevis", {"KN"}},
    {"St. Pierre and Miquelon", {"PM"}},
    {"Swaziland", {"SZ"}},
    {"Trinidad and Tobago", {"TT"}},
    {"Turks and Caicos Islands", {"TC"}},
    {"Virgin Islands (UK)", {"VG"}},
    {"Virgin Islands (US)", {"VI"}},
    {"Wallis and Futuna", {"WF"}},
    {"Zaire", {"CD"}},
};

// Whether a number of the region, as the library gives one for each kind, dials with the code:
// the country's code, and within the shared plan of North America the area's too.
bool dialsWith(const QString& region, const QString& code)
{
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    if (util.GetCountryCodeForRegion(region.toStdString()) == 0)
        return false;
    for (const auto type : {PhoneNumberUtil::MOBILE, PhoneNumberUtil::FIXED_LINE}) {
        PhoneNumber example;
        std::string international;
        if (util.GetExampleNumberForType(region.toStdString(), type, &example))
            util.Format(example, PhoneNumberUtil::E164, &international);
        if (QString::fromStdString(international).startsWith(u'+' + code))
            return true;
    }
    return false;
}
} // namespace

// Every home country offered with the dialling code Debian's table of the world's numbers gives.
class TestCountryTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyCodeIsTheCountrys_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("regions");
        QHash<QString, QString> regionOfEnglishName;
        for (int t = 1; t <= int(QLocale::LastTerritory); ++t)
            regionOfEnglishName.insert(QLocale::territoryToString(QLocale::Territory(t)),
                                       QLocale::territoryToCode(QLocale::Territory(t)));
        for (qsizetype i = 0; i < CountryTable::size(); ++i) {
            const QString name = CountryTable::name(i).trimmed();
            if (name == QLatin1String("-----") ||
                name == QLatin1String("Inmarsat / Satellite Mobile"))
                continue;
            const QStringList regions =
                regionsOfName.value(name, {regionOfEnglishName.value(name)});
            QTest::addRow("%d %s", int(i), qPrintable(name)) << CountryTable::code(i) << regions;
        }
    }

    void everyCodeIsTheCountrys()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, regions);
        for (const QString& region : regions)
            QVERIFY2(dialsWith(region, code),
                     qPrintable(QStringLiteral("%1 is not dialled with %2").arg(region, code)));
    }

    // Satellite phones have a code of no country's.
    void satellitePhonesHaveTheirs()
    {
        const qsizetype row = CountryTable::names().indexOf(u"Inmarsat / Satellite Mobile");
        QVERIFY(row > 0);
        std::set<int> codes;
        PhoneNumberUtil::GetInstance()->GetSupportedGlobalNetworkCallingCodes(&codes);
        QVERIFY(codes.count(CountryTable::code(row).toInt()));
    }
};

QTEST_GUILESS_MAIN(TestCountryTable)
#include "tst_countrytable.moc"
