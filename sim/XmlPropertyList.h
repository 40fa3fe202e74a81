#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Writes a dictionary of strings as an XML property list, as the service answers.
QByteArray xmlPropertyList(const QMap<QString, QString>& dictionary);
