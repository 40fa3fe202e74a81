#pragma once

#include <QLocale>
#include <QTranslator>

// Every catalogue the windows' texts come from, installed in the application by install() for as
// long as this lives: English plural forms for counts, the client's own texts in the language,
// and Qt's own texts (its dialogs' buttons, a docked panel's buttons), so that none of them stays
// in English. The client's catalogue is read at once, so that the command line can answer in the
// language before the application exists.
class InstalledTranslations
{
public:
    explicit InstalledTranslations(const QLocale& language = QLocale());
    ~InstalledTranslations();
    InstalledTranslations(const InstalledTranslations&) = delete;
    InstalledTranslations& operator=(const InstalledTranslations&) = delete;

    const QTranslator& client() const { return clientTexts; }
    // The application must exist by now.
    void install();

private:
    QLocale language;
    QTranslator englishCounts;
    QTranslator clientTexts;
    QTranslator qt;
    bool clientRead = false;
};
