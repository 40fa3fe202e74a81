#include "Translations.h"

#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

bool Translations::load(QTranslator& translator, const QLocale& language)
{
    // The program's own folder without the application object, which gives it only once made.
    QStringList folders{QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
                        QStringLiteral("/../share/quibbo/translations")};
    folders += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                         QStringLiteral("quibbo/translations"),
                                         QStandardPaths::LocateDirectory);
    for (const QString& folder : std::as_const(folders))
        if (translator.load(language, QStringLiteral("quibbo"), QStringLiteral("_"), folder))
            return true;
    return false;
}

QString Translations::translate(const QTranslator& translator, const char* context,
                                const char* text)
{
    const QString translated = translator.translate(context, text);
    return translated.isEmpty() ? QString::fromUtf8(text) : translated;
}
