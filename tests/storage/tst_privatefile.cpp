#include "PrivateFile.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

// A store's file may be a symbolic link, as dotfile managers keep them: every write, removal
// and move aside goes to the file the link leads to, and the link stays for the next one.
class TestPrivateFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void linksStayLinks_data()
    {
        QTest::addColumn<QString>("link");   // where the link points, from the store's folder
        QTest::addColumn<QString>("target"); // the file that holds the text, from the root
        QTest::newRow("absolute") << "ROOT/dotfiles/store.json"
                                  << "dotfiles/store.json";
        QTest::newRow("relative") << "../dotfiles/store.json"
                                  << "dotfiles/store.json";
        QTest::newRow("to a link") << "../dotfiles/link.json"
                                   << "dotfiles/repo/store.json";
        QTest::newRow("in the same folder") << "real.json"
                                            << "quibbo/real.json";
    }

    void linksStayLinks()
    {
        QFETCH(QString, link);
        QFETCH(QString, target);
        QTemporaryDir root;
        const QDir dir(root.path());
        const QString path = root.filePath(QStringLiteral("quibbo/store.json"));
        const QString file = root.filePath(target);
        QVERIFY(dir.mkpath(QStringLiteral("quibbo")) &&
                dir.mkpath(QStringLiteral("dotfiles/repo")));
        QVERIFY(QFile::link(link.replace(QStringLiteral("ROOT"), root.path()), path));
        if (target == QStringLiteral("dotfiles/repo/store.json"))
            QVERIFY(QFile::link(QStringLiteral("repo/store.json"),
                                root.filePath(QStringLiteral("dotfiles/link.json"))));
        const QString pointsTo = QFileInfo(path).symLinkTarget();
        const auto stillALink = [&] {
            return QFileInfo(path).isSymLink() && QFileInfo(path).symLinkTarget() == pointsTo;
        };

        // The first write makes the file the link leads to (the link dangled till then).
        QCOMPARE(PrivateFile::write(path, "one"), 0);
        QVERIFY(stillALink());
        QCOMPARE(readFile(file), QByteArray("one"));
        QCOMPARE(QFile(file).permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(PrivateFile::write(path, "two"), 0);
        QCOMPARE(readFile(path), QByteArray("two"));

        // A copy a killed write left beside the file is found there and removed.
        const QString copy = QFileInfo(file).dir().filePath('.' + QFileInfo(file).fileName() +
                                                            ".a1B2c3.quibbo-part");
        QVERIFY(writeFile(copy, "half"));
        QCOMPARE(PrivateFile::unfinishedWrites(path), QStringList{QFileInfo(copy).fileName()});
        PrivateFile::removeUnfinishedWrites(path);
        QVERIFY(!QFileInfo::exists(copy));

        // An unreadable file is moved aside in its own folder; the next write makes it anew.
        QString aside;
        QCOMPARE(PrivateFile::moveAside(path, QStringLiteral("corrupt"), &aside), 0);
        QVERIFY(stillALink());
        QCOMPARE(QFileInfo(aside).absolutePath(), QFileInfo(file).absolutePath());
        QCOMPARE(readFile(aside), QByteArray("two"));
        QCOMPARE(PrivateFile::write(path, "three"), 0);
        QCOMPARE(readFile(file), QByteArray("three"));

        // Removed, as an emptied draft is: the file goes, the link stays.
        QCOMPARE(PrivateFile::remove(path), 0);
        QVERIFY(stillALink());
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(PrivateFile::remove(path), 0);
        QCOMPARE(PrivateFile::probe(path), 0);
        QCOMPARE(PrivateFile::write(path, "four"), 0);
        QCOMPARE(readFile(file), QByteArray("four"));
        QVERIFY(stillALink());
    }

    // Links in a ring lead to no file: the path is written as a file of its own, not refused.
    void aRingOfLinksIsReplacedByAFile()
    {
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("store.json"));
        QVERIFY(QFile::link(QStringLiteral("other.json"), path));
        QVERIFY(
            QFile::link(QStringLiteral("store.json"), root.filePath(QStringLiteral("other.json"))));
        QCOMPARE(PrivateFile::write(path, "one"), 0);
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(readFile(path), QByteArray("one"));
    }
};

QTEST_GUILESS_MAIN(TestPrivateFile)
#include "tst_privatefile.moc"
