#include "PrivateFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
Q_LOGGING_CATEGORY(lcFiles, "quibbo.files")

// The file a path names, through any symbolic links, so that a settings file the user keeps
// elsewhere (a dotfiles repository, say) is written where it lives rather than replaced by a
// file of its own.
QString resolved(const QString& filePath)
{
    QFileInfo file(filePath);
    for (int depth = 0; depth < 32 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? filePath : file.filePath();
}

int writeAll(int fd, const QByteArray& contents)
{
    for (qsizetype done = 0; done < contents.size();) {
        const ssize_t n = ::write(fd, contents.constData() + done, size_t(contents.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

// The copies a write makes beside a file are hidden and carry a suffix of the client's own, so
// that the clean-up after a crash can never take a file of the user's ("settings.json.backup").
constexpr const char* copySuffix = ".quibbo-part";

QByteArray copyTemplate(const QString& target)
{
    const QFileInfo file(target);
    return QFile::encodeName(file.dir().filePath(u'.' + file.fileName())) + ".XXXXXX" + copySuffix;
}

// Whether the copy on disk holds exactly what was written: a file system that took a write
// and kept less is caught here, before the copy replaces anything.
int readBack(int fd, const QByteArray& contents)
{
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0)
        return errno;
    if (status.st_size != contents.size())
        return EIO;
    QByteArray back(contents.size(), Qt::Uninitialized);
    for (qsizetype done = 0; done < back.size();) {
        const ssize_t n = ::pread(fd, back.data() + done, size_t(back.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return back == contents ? 0 : EIO;
}

// The rename reaches the disk with its folder; a failure here leaves the new file in place,
// which is what was asked for, so it is not reported.
void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

QString PrivateFile::statePath(const QString& name)
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quibbo/") + name;
}

int PrivateFile::moveAside(const QString& filePath, const QString& label, QString* movedTo)
{
    // The file is moved, not a link to it: the link stays for the next write to go through.
    const QString file = resolved(filePath);
    const QString stem =
        file + u'.' + label + u'-' +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddThhmmss"));
    QString target = stem;
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = stem + u'-' + QString::number(n);
    if (std::rename(QFile::encodeName(file).constData(), QFile::encodeName(target).constData()) !=
        0)
        return errno;
    *movedTo = target;
    return 0;
}

int PrivateFile::ensureFolder(const QString& filePath)
{
    const QString folder = QFileInfo(filePath).absolutePath();
    if (QFileInfo(folder).isDir())
        return 0;
    // The folders above are made as any program makes them; the client's own is the user's alone.
    QStringList missing;
    for (QFileInfo level(folder); !level.exists() && !level.isRoot();
         level.setFile(level.absolutePath()))
        missing.prepend(level.absoluteFilePath());
    for (const QString& path : std::as_const(missing)) {
        const mode_t mode = path == folder ? S_IRWXU : S_IRWXU | S_IRWXG | S_IRWXO;
        if (::mkdir(QFile::encodeName(path).constData(), mode) != 0 && errno != EEXIST) {
            const int error = errno;
            qCWarning(lcFiles) << "cannot create" << path << std::strerror(error);
            return error;
        }
    }
    return 0;
}

int PrivateFile::write(const QString& filePath, const QByteArray& contents)
{
    const QString target = resolved(filePath);
    if (const int error = ensureFolder(target))
        return error;
    QByteArray copy = copyTemplate(target);
    const int fd = ::mkostemps(copy.data(), int(std::strlen(copySuffix)), O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
            error = errno;
        if (!error)
            error = writeAll(fd, contents);
        if (!error && ::fsync(fd) != 0)
            error = errno;
        if (!error)
            error = readBack(fd, contents);
        if (::close(fd) != 0 && !error)
            error = errno;
        if (!error && ::rename(copy.constData(), QFile::encodeName(target).constData()) != 0)
            error = errno;
        if (error)
            ::unlink(copy.constData());
    }
    if (error) {
        qCWarning(lcFiles) << "cannot write" << target << std::strerror(error);
        return error;
    }
    syncFolder(QFileInfo(target).absolutePath());
    return 0;
}

int PrivateFile::remove(const QString& filePath)
{
    const QString file = resolved(filePath);
    if (::unlink(QFile::encodeName(file).constData()) == 0 || errno == ENOENT)
        return 0;
    const int error = errno;
    qCWarning(lcFiles) << "cannot remove" << file << std::strerror(error);
    return error;
}

int PrivateFile::probe(const QString& filePath)
{
    QByteArray copy = copyTemplate(resolved(filePath));
    const int fd = ::mkostemps(copy.data(), int(std::strlen(copySuffix)), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, "?");
    if (!error && ::fsync(fd) != 0)
        error = errno;
    ::close(fd);
    ::unlink(copy.constData());
    return error;
}

QStringList PrivateFile::unfinishedWrites(const QString& filePath)
{
    // write() makes ".NAME.XXXXXX.quibbo-part" beside the file a link leads to and renames it
    // over the file. Matched by hand: a regular expression here would be the only one compiled
    // at start.
    const QFileInfo file(resolved(filePath));
    const QString prefix = u'.' + file.fileName() + u'.';
    const QString suffix = QString::fromLatin1(copySuffix);
    const auto isTemplateLetter = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    QStringList found = file.dir().entryList(QDir::Files | QDir::Hidden); // a filter is one too
    found.removeIf([&](const QString& name) {
        return name.size() != prefix.size() + 6 + suffix.size() || !name.startsWith(prefix) ||
               !name.endsWith(suffix) ||
               !std::all_of(name.cbegin() + prefix.size(), name.cend() - suffix.size(),
                            isTemplateLetter);
    });
    return found;
}

void PrivateFile::removeUnfinishedWrites(const QString& filePath)
{
    const QDir folder = QFileInfo(resolved(filePath)).dir();
    for (const QString& name : unfinishedWrites(filePath))
        if (QFile::remove(folder.filePath(name)))
            qCInfo(lcFiles) << "removed" << name << "left by a write that never finished";
}
