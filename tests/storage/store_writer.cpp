// Writes ever larger settings (or, given "outbox", an ever longer journal) for the crash tests,
// one line on standard output after each write, until it is killed. Given "take", only tries to
// take the journal, and exits 1 when another client holds it.
#include "JournalStore.h"
#include "JsonFileSettingsStore.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(2) == QLatin1String("take"))
        return JournalStore(arguments.value(1)).take() ? 0 : 1;
    if (arguments.value(2) == QLatin1String("outbox")) {
        JournalStore store(arguments.value(1));
        QList<JournalFile::Record> messages;
        for (int i = 0;; ++i) {
            messages.append({.id = QString::number(i),
                             .number = QStringLiteral("07700 900123"),
                             .text = QString(i * 64, QLatin1Char('x'))});
            QEventLoop loop;
            store.write(messages, &loop, [&loop](int) { loop.quit(); });
            loop.exec();
            std::printf("%d\n", i);
            std::fflush(stdout);
        }
    }
    JsonFileSettingsStore store(arguments.value(1));
    for (int i = 0;; ++i) {
        store.setString(QStringLiteral("grows"), QString(i * 512, QLatin1Char('x')));
        store.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                            {{QStringLiteral("Password"), QString::number(i)}});
        store.wait();
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}
