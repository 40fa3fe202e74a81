#include "InstalledTranslations.h"

#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

InstalledTranslations::InstalledTranslations(const QLocale& language)
{
    // The catalogue installed last is asked first.
    if (Translations::load(englishCounts, QLocale(QLocale::English)))
        QCoreApplication::installTranslator(&englishCounts);
    if (Translations::load(client, language))
        QCoreApplication::installTranslator(&client);
    if (qt.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
}

InstalledTranslations::~InstalledTranslations()
{
    for (QTranslator* translator : {&qt, &client, &englishCounts})
        QCoreApplication::removeTranslator(translator);
}
