#pragma once

#include <QStringList>

// The home countries offered on the location stage with their international dialling codes,
// digits without "+". The separator entry "-----" has the code " ".
namespace CountryTable {
qsizetype size();
QString name(qsizetype position);
QString code(qsizetype position);
QStringList names();
} // namespace CountryTable
