#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Escapes a value for a URL query or a form body. Only ASCII letters, digits and
// - _ . ! * ' ( ) , stay as they are; everything else, "+" and "~" included, becomes %XX over
// its UTF-8 bytes. A form decoder reads a bare "+" as a space, so it must never stay bare.
QByteArray escapedQueryValue(const QString& value);

// A stored value that is absent is sent as the text "(null)", as the service has always seen it.
QString valueOrNullText(const std::optional<QString>& value);
