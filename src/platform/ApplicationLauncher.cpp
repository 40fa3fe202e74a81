#include "ApplicationLauncher.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {
// The entries a key=value line of a section lists, in order: "a.desktop;b.desktop;".
QStringList listedIn(const QString& path, const QString& section, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString current;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            current = line;
            continue;
        }
        if (current != section)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    return {};
}

QString findEntry(const QString& name)
{
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, name);
}
} // namespace

QString DesktopApplicationLauncher::preferredDesktopEntry(const QString& mimeType)
{
    QStringList lists;
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const char* section : {"[Default Applications]", "[Added Associations]"}) {
        for (const QString& list : std::as_const(lists)) {
            for (const QString& name : listedIn(list, QString::fromLatin1(section), mimeType)) {
                const QString path = findEntry(name.trimmed());
                if (!path.isEmpty())
                    return path;
            }
        }
    }
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        for (const QString& name : listedIn(dir + QStringLiteral("/mimeinfo.cache"),
                                            QStringLiteral("[MIME Cache]"), mimeType)) {
            const QString path = findEntry(name.trimmed());
            if (!path.isEmpty())
                return path;
        }
    }
    return {};
}

QStringList DesktopApplicationLauncher::commandOf(const QString& desktopEntryPath)
{
    const QStringList exec =
        listedIn(desktopEntryPath, QStringLiteral("[Desktop Entry]"), QStringLiteral("Exec"));
    QStringList command = QProcess::splitCommand(exec.join(QLatin1Char(';')));
    // Field codes stand for files or URLs to open; the application is started with none.
    command.removeIf([](const QString& argument) {
        return argument.size() == 2 && argument.startsWith(QLatin1Char('%'));
    });
    return command;
}

bool DesktopApplicationLauncher::launchPreferredFor(const QString& mimeType)
{
    const QString entry = preferredDesktopEntry(mimeType);
    if (entry.isEmpty())
        return false;
    const QStringList command = commandOf(entry);
    if (command.isEmpty())
        return false;
    return QProcess::startDetached(command.first(), command.mid(1));
}
