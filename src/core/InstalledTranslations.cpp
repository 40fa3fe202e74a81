#include "InstalledTranslations.h"

#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

InstalledTranslations::InstalledTranslations(const QLocale& language_) : language(language_)
{
    clientRead = Translations::load(clientTexts, language);
}

void InstalledTranslations::install()
{
    // The catalogue installed last is asked first.
    if (Translations::load(englishCounts, QLocale(QLocale::English)))
        QCoreApplication::installTranslator(&englishCounts);
    if (clientRead)
        QCoreApplication::installTranslator(&clientTexts);
    if (qt.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
}

InstalledTranslations::~InstalledTranslations()
{
    // An application that is gone, or never was (--help), holds none of them.
    if (!QCoreApplication::instance())
        return;
    for (QTranslator* translator : {&qt, &clientTexts, &englishCounts})
        QCoreApplication::removeTranslator(translator);
}
