#pragma once

#include <QByteArray>
#include <QVariantMap>

#include <optional>

// Reads a property list, XML or binary, whose top level is a dictionary. Strings, integers,
// reals, booleans and nested dictionaries and arrays become their QVariant counterparts; data
// and dates are left out. Anything else (not a property list, another top level) is nothing.
std::optional<QVariantMap> propertyListDictionary(const QByteArray& data);
