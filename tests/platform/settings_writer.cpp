// Writes ever larger settings for the crash test, one line on standard output after each
// write, until it is killed.
#include "JsonFileSettingsStore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    JsonFileSettingsStore store(QCoreApplication::arguments().value(1));
    for (int i = 0;; ++i) {
        store.setString(QStringLiteral("grows"), QString(i * 512, QLatin1Char('x')));
        store.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                            {{QStringLiteral("Password"), QString::number(i)}});
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}
