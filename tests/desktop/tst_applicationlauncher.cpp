#include "ApplicationLauncher.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

// The desktop's choice of application, from a desktop of the test's own: a default named in
// mimeapps.list is started, and a type nobody handles says so.
class TestApplicationLauncher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsTheDefaultApplication()
    {
        QTemporaryDir home;
        const QString started = home.filePath(QStringLiteral("started"));
        QVERIFY(writeFile(home.filePath(QStringLiteral("data/applications/test-contacts.desktop")),
                          "[Desktop Entry]\nType=Application\nName=Contacts\nMimeType=text/vcard;\n"
                          "Exec=touch " +
                              QFile::encodeName(started) + "\n"));
        QVERIFY(writeFile(home.filePath(QStringLiteral("config/mimeapps.list")),
                          "[Default Applications]\ntext/vcard=test-contacts.desktop\n"));
        // GIO reads the folders once, at its first use in the process.
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(home.filePath(QStringLiteral("none"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home.filePath(QStringLiteral("none"))));

        DesktopApplicationLauncher launcher;
        QVERIFY(!launcher.launchPreferredFor(QStringLiteral("application/x-quibbo-nothing")));
        QVERIFY(launcher.launchPreferredFor(QStringLiteral("text/vcard")));
        QTRY_VERIFY(QFile::exists(started));
    }
};

QTEST_GUILESS_MAIN(TestApplicationLauncher)
#include "tst_applicationlauncher.moc"
