#pragma once

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// The MIME types of a selection and their bytes, as another program hands them over.
using Pasteboard = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(Pasteboard)

// Where other programs reach the client on the session bus, and what a launcher hands a start:
// all that quibbo-send-selection needs of the client, and nothing that draws.
namespace ClientAddress {
inline const QString busName = QStringLiteral("example.quibbo.Quibbo");
inline const QString objectPath = QStringLiteral("/Quibbo");
// The object path of org.freedesktop.Application: the bus name with dots as slashes.
QString applicationPath();
// The token a launcher handed this start through its environment (a fresh start leaves it
// there: Qt's platforms use it when the window first shows).
QString startupToken();
// A call's platform data carrying that token, under the names Wayland and X11 launchers use.
QVariantMap platformData(const QString& activationToken);
} // namespace ClientAddress
