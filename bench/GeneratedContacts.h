#pragma once

// A folder of 10,000 generated cards (written once per run), and a whole read of it.

#include "AddressBook.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {
const QStringList firstNames{"Anna", "Ben",   "Carla", "David", "Eva",  "Farid", "Greta",
                             "Hugo", "Ines",  "Jonas", "Kira",  "Liam", "Mona",  "Nils",
                             "Olga", "Pavel", "Quinn", "Rosa",  "Sven", "Tara"};
const QStringList lastNames{"Andrews", "Berg", "Costa", "Dahl",  "Evans", "Fischer", "Garcia",
                            "Hansen",  "Ito",  "Jones", "Kowal", "Lund",  "Meyer",   "Novak"};

QString generatedFolder()
{
    static QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("contacts"));
    if (QDir(folder).exists())
        return folder;
    QRandomGenerator random(7);
    for (int i = 0; i < 10'000; ++i) {
        const QString sub = folder + QStringLiteral("/book%1").arg(i % 10);
        QDir().mkpath(sub);
        QFile file(sub + QStringLiteral("/card%1.vcf").arg(i));
        file.open(QIODevice::WriteOnly);
        file.write(
            QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:card-%1\r\nN:%2;%3;;;\r\n"
                           "FN:%3 %2\r\nTEL;TYPE=CELL:07700 9%4\r\nTEL;TYPE=WORK:020 7946 %5\r\n"
                           "CATEGORIES:%6\r\nEND:VCARD\r\n")
                .arg(i)
                .arg(lastNames[random.bounded(lastNames.size())])
                .arg(firstNames[random.bounded(firstNames.size())])
                .arg(random.bounded(100000), 5, 10, QLatin1Char('0'))
                .arg(random.bounded(10000), 4, 10, QLatin1Char('0'))
                .arg(i % 3 ? QStringLiteral("Friends") : QStringLiteral("Work"))
                .toUtf8());
    }
    return folder;
}

// Reads the book in the background and returns once the read has ended.
void readWhole(AddressBook& book)
{
    QEventLoop loop;
    QObject::connect(&book, &AddressBook::changed, &loop, &QEventLoop::quit);
    book.prefetch();
    if (!book.isRead())
        loop.exec();
}
} // namespace
