#pragma once

#include <QString>

// The opening words of a message on one line, for a notification's body or a list: at most 60
// characters, cut at a space where there is one, with an ellipsis when cut.
QString openingWords(const QString& message);
