#pragma once

#include <QLocale>
#include <QTranslator>

// Every catalogue the windows' texts come from, installed in the application for as long as this
// lives: English plural forms for counts, the client's own texts in the language, and Qt's own
// texts (its dialogs' buttons, a docked panel's buttons), so that none of them stays in English.
class InstalledTranslations
{
public:
    explicit InstalledTranslations(const QLocale& language = QLocale());
    ~InstalledTranslations();
    InstalledTranslations(const InstalledTranslations&) = delete;
    InstalledTranslations& operator=(const InstalledTranslations&) = delete;

private:
    QTranslator englishCounts;
    QTranslator client;
    QTranslator qt;
};
