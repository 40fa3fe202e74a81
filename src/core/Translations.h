#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

// The client's texts in the user's language, read before the application object exists, so that
// even --help answers in it.
namespace Translations {
// Loads the catalogue of a language (the user's by default) into translator: from beside the
// program (the build tree, or any prefix it is installed to), else from the data folders. False
// where there is none. English has one for the plural forms of counts alone.
bool load(QTranslator& translator, const QLocale& language = QLocale());
// text of context in the catalogue, else as written.
QString translate(const QTranslator& translator, const char* context, const char* text);
} // namespace Translations
