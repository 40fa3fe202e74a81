// Writes ever larger settings (or, given "outbox", an ever longer outbox) for the crash tests,
// one line on standard output after each write, until it is killed.
#include "JsonFileSettingsStore.h"
#include "OutboxStore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(2) == QLatin1String("outbox")) {
        OutboxStore store(arguments.value(1));
        QList<OutboxStore::Message> messages;
        for (int i = 0;; ++i) {
            messages.append({.id = QString::number(i),
                             .number = QStringLiteral("07700 900123"),
                             .text = QString(i * 64, QLatin1Char('x'))});
            store.write(messages);
            std::printf("%d\n", i);
            std::fflush(stdout);
        }
    }
    JsonFileSettingsStore store(arguments.value(1));
    for (int i = 0;; ++i) {
        store.setString(QStringLiteral("grows"), QString(i * 512, QLatin1Char('x')));
        store.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                            {{QStringLiteral("Password"), QString::number(i)}});
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}
