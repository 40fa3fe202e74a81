#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// For a row that needs one of the mounts below: where the machine refuses user namespaces the
// test runs outside one (tests/namespace.sh), and the row skips itself with the reason.
#define QUIBBO_SKIP_WITHOUT_MOUNTS()                                                               \
    do {                                                                                           \
        if (qEnvironmentVariableIsSet("QUIBBO_NO_NAMESPACE"))                                      \
            QSKIP("no user namespaces here: the full-disk and read-only rows are skipped");        \
    } while (false)

// Real file systems that fail as a user's do, for the stores' tests: a small disk to fill to the
// last byte, a folder to make read-only. Each is a mount in the test's own mount namespace: the
// test runs under `unshare --user --map-root-user --mount` (quibbo_test's NAMESPACE), which
// needs no root on the machine, and nothing outside the test sees the mounts.
class TestMount
{
public:
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;
    ~TestMount()
    {
        if (mounted)
            ::umount2(QFile::encodeName(where).constData(), MNT_DETACH);
    }
    bool isMounted() const { return ready; }
    // Why the mount could not be made, for the test's failure message.
    QString error() const { return failure; }

protected:
    explicit TestMount(QString where_) : where(std::move(where_)) {}
    bool mount(const char* source, const char* type, unsigned long flags, const char* data)
    {
        if (::mount(source, QFile::encodeName(where).constData(), type, flags, data) == 0)
            return true;
        failure = QStringLiteral("cannot mount on %1 (%2): run the test in a mount namespace of "
                                 "its own, as ctest does")
                      .arg(where, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }

    const QString where;
    bool mounted = false; // to be undone
    bool ready = false;   // and as the test wants it
    QString failure;
};

// A tmpfs of a few pages, which fill() fills to its last byte: every later write that needs a
// byte more fails with "No space left on device", as on a full disk.
class SmallDisk : public TestMount
{
public:
    SmallDisk(const QString& at, qint64 bytes) : TestMount(at)
    {
        QDir().mkpath(at);
        mounted = ready =
            mount("tmpfs", "tmpfs", MS_NOSUID | MS_NODEV,
                  QByteArray("size=" + QByteArray::number(bytes) + ",mode=0700").constData());
    }

    // Takes what space is left, to the last byte; false if the disk could not be filled.
    bool fill()
    {
        const int fd = ::open(QFile::encodeName(filler()).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        // Pages first, then single bytes into the last page's slack.
        const QByteArray page(4096, 'f');
        while (::write(fd, page.constData(), size_t(page.size())) > 0) {
        }
        while (::write(fd, "f", 1) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    void makeRoom() { QFile::remove(filler()); }

private:
    QString filler() const { return where + QStringLiteral("/filler"); }
};

// A folder bound over itself read-only: every write into it fails with "Read-only file
// system", as in a folder the user cannot write.
class ReadOnlyFolder : public TestMount
{
public:
    explicit ReadOnlyFolder(const QString& folder) : TestMount(folder)
    {
        QDir().mkpath(folder);
        mounted = mount(QFile::encodeName(folder).constData(), nullptr, MS_BIND, nullptr);
        ready = mounted && mount(nullptr, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
    }
};

// A folder that stops taking writes as a user's does, on the test's word: a disk filled to the
// last byte, or a folder made read-only; then healed again. For data-driven tests: addRows()
// gives a row of each with the error the stores must report.
class FailingFolder
{
public:
    FailingFolder(QString folder_, bool full) : folder(std::move(folder_))
    {
        if (full)
            disk.emplace(folder, 16 * 1024);
    }
    static void addRows()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<int>("error");
        QTest::newRow("full disk") << true << ENOSPC;
        QTest::newRow("read-only folder") << false << EROFS;
    }
    // Whether the folder is mounted as it must be to fail.
    bool isReady() const { return !disk || disk->isMounted(); }
    QString error() const
    {
        return disk ? disk->error() : readOnly ? readOnly->error() : QString();
    }
    bool fail()
    {
        if (disk)
            return disk->fill();
        readOnly.emplace(folder);
        return readOnly->isMounted();
    }
    void heal()
    {
        if (disk)
            disk->makeRoom();
        readOnly.reset();
    }

private:
    const QString folder;
    std::optional<SmallDisk> disk; // for a full disk
    std::optional<ReadOnlyFolder> readOnly;
};
