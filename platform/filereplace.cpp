#include "platform/filereplace.h"

#include "platform/filerename.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QDir>
#include <QSaveFile>

#include <windows.h>
#else
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace {

TReplaceResult refused(const QString &reason)
{
    TReplaceResult result;
    result.Reason = reason;
    return result;
}

} // namespace

#ifdef Q_OS_WIN

void ReportFileSizeLimitAsError() { }

TFileIdentity OpenFileIdentity(const QFile &file)
{
    TFileIdentity identity;
    identity.Exists = file.isOpen();
    return identity;
}

// The identity check (device and inode) is POSIX-only; here a link is refused and a missing
// file must still be missing. QSaveFile writes a temporary file, flushes it (FlushFileBuffers)
// and moves it over the file (MoveFileEx with MOVEFILE_REPLACE_EXISTING).
TReplaceResult ReplaceFileContent(const QString &fileName, const QByteArray &bytes,
                                  const TFileIdentity &read)
{
    const QString native = QDir::toNativeSeparators(fileName);
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(native.utf16()));
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return refused(QStringLiteral("the file is a symbolic link"));
    if (read.Exists && missing)
        return refused(QStringLiteral("the file is gone since it was read"));
    if (!read.Exists && !missing)
        return refused(QStringLiteral("a file has appeared since the folder was read"));

    QSaveFile file(fileName);
    // Unbuffered: every write reaches the file at once, so that its error is seen. Qt 6.4 does
    // not report an error of the final flush of its buffer, and would commit a cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return refused(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush())
        return refused(file.errorString()); // the destructor removes the temporary file
    if (!file.commit())
        return refused(file.errorString());
    TReplaceResult result;
    result.Done = true;
    result.Identity.Exists = true;
    return result;
}

#else

namespace {

TReplaceResult failed(int error)
{
    return refused(QString::fromLocal8Bit(std::generic_category().message(error)));
}

// A file descriptor, closed when it goes out of scope.
class TDescriptor
{
public:
    explicit TDescriptor(int fd = -1)
        : FFd(fd)
    { }
    ~TDescriptor()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TDescriptor(const TDescriptor &) = delete;
    TDescriptor &operator=(const TDescriptor &) = delete;

    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    // Hands the descriptor over: it is no longer closed here.
    int Release()
    {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }
    // Closes now and reports the error of the close.
    bool Close()
    {
        const int fd = Release();
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int FFd;
};

// A name beside the file: its name, a dot and six letters or digits. The start-up search for
// "*.ini" never takes it for a control file.
QByteArray temporaryName(const QByteArray &name)
{
    static constexpr char Letters[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray result = name + '.';
    for (int i = 0; i < 6; ++i)
        result += Letters[QRandomGenerator::global()->bounded(int(sizeof(Letters) - 1))];
    return result;
}

// Every byte, or false with errno set: a short write is continued, so that its cause (a full
// disk, a file-size limit) is reported by the next one.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Extended attributes go with the content, the access list among them: a user or group that the
// list lets write the file keeps that right. One that cannot be set (a name space the file
// system or the user may not write) is left out; the content is what must not be lost.
void copyAttributes(int from, int to)
{
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0)
        return;
    QByteArray names(qsizetype(size), '\0');
    size = ::flistxattr(from, names.data(), size_t(names.size()));
    if (size <= 0)
        return;
    for (const QByteArray &name : names.left(qsizetype(size)).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::fgetxattr(from, name.constData(), nullptr, 0);
        if (length < 0)
            continue;
        QByteArray value(qsizetype(length), '\0');
        const ssize_t got = ::fgetxattr(from, name.constData(), value.data(), size_t(length));
        if (got >= 0)
            ::fsetxattr(to, name.constData(), value.constData(), size_t(got), 0);
    }
}

// Writes the content, gives the file the owner, group, extended attributes and mode of the file
// it replaces (open as source, or -1), and flushes it to the disk.
bool fill(int fd, const QByteArray &bytes, const struct stat *replaced, int source)
{
    if (!writeAll(fd, bytes))
        return false;
    if (replaced) {
        struct stat own = {};
        if (::fstat(fd, &own) != 0)
            return false;
        if ((own.st_uid != replaced->st_uid || own.st_gid != replaced->st_gid)
            && ::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
            // Only root can give a file away: root must keep the owner, or write nothing. Any
            // other user saves as before, keeping the group where it is one of theirs.
            if (::geteuid() == 0)
                return false;
            [[maybe_unused]] const int kept = ::fchown(fd, uid_t(-1), replaced->st_gid);
        }
        if (source >= 0)
            copyAttributes(source, fd);
        // After the owner: a change of owner clears the set-user-ID and set-group-ID bits. After
        // the access list, whose mask the mode's group bits are.
        if (::fchmod(fd, replaced->st_mode & 07777) != 0)
            return false;
    }
    return ::fsync(fd) == 0;
}

#ifdef O_TMPFILE
// Names a complete unnamed file beside the file it will replace.
bool linkUnnamed(int fd, int folder, const QByteArray &name, QByteArray &tempName)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = temporaryName(name);
        // Naming the descriptor itself needs CAP_DAC_READ_SEARCH (root has it); the path in
        // /proc works for everyone where /proc is mounted.
        if (::linkat(fd, "", folder, tempName.constData(), AT_EMPTY_PATH) == 0
            || ::linkat(AT_FDCWD, self.constData(), folder, tempName.constData(), AT_SYMLINK_FOLLOW)
                == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}
#endif

// The content in a new file of the folder, flushed to the disk and named beside the file: an
// unnamed file that gets its name only when it is complete, or where the file system has no
// unnamed files, a named one created exclusively, never through a link. -1 with errno set when
// it cannot be written; nothing is left behind then.
int writeTemporary(int folder, const QByteArray &name, const QByteArray &bytes,
                   const struct stat *replaced, int source, QByteArray &tempName)
{
    // Until it has the replaced file's mode, the content is for the writer's eyes only.
    const mode_t mode = replaced ? 0600 : 0666;
#ifdef O_TMPFILE
    {
        TDescriptor fd(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        if (fd.Valid()) {
            if (!fill(fd.Get(), bytes, replaced, source)) {
                const int error = errno;
                fd.Close();
                errno = error;
                return -1;
            }
            if (linkUnnamed(fd.Get(), folder, name, tempName))
                return fd.Release();
            // It cannot be named: write a named one instead.
        }
    }
#endif
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = temporaryName(name);
        fd = ::openat(folder, tempName.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return -1;
    }
    if (fd < 0)
        return -1;
    if (!fill(fd, bytes, replaced, source)) {
        const int error = errno;
        ::unlinkat(folder, tempName.constData(), 0);
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

} // namespace

void ReportFileSizeLimitAsError()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

TFileIdentity OpenFileIdentity(const QFile &file)
{
    TFileIdentity identity;
    struct stat st = {};
    if (file.isOpen() && ::fstat(file.handle(), &st) == 0) {
        identity.Exists = true;
        identity.Device = quint64(st.st_dev);
        identity.Inode = quint64(st.st_ino);
    }
    return identity;
}

TReplaceResult ReplaceFileContent(const QString &fileName, const QByteArray &bytes,
                                  const TFileIdentity &read)
{
    const QFileInfo info(fileName);
    const QByteArray name = QFile::encodeName(info.fileName());
    const TDescriptor folder(::open(QFile::encodeName(info.absolutePath()).constData(),
                                    O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid())
        return failed(errno);

    // The name must still lead to the file that was read, and it must not be a link; a file
    // that was missing must still be missing.
    struct stat current = {};
    const bool exists
        = ::fstatat(folder.Get(), name.constData(), &current, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return failed(errno);
    if (read.Exists) {
        if (!exists)
            return refused(QStringLiteral("the file is gone since it was read"));
        if (S_ISLNK(current.st_mode))
            return refused(QStringLiteral("the file is now a symbolic link"));
        if (!S_ISREG(current.st_mode) || quint64(current.st_dev) != read.Device
            || quint64(current.st_ino) != read.Inode)
            return refused(QStringLiteral("the file is no longer the one that was read"));
    } else if (exists) {
        return refused(S_ISLNK(current.st_mode)
                           ? QStringLiteral("a symbolic link has appeared in the file's place")
                           : QStringLiteral("a file has appeared since the folder was read"));
    }

    // The replaced file itself, for its extended attributes; never a link, never waited on.
    TDescriptor source(read.Exists ? ::openat(folder.Get(), name.constData(),
                                              O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                                   : -1);
    struct stat opened = {};
    if (source.Valid()
        && (::fstat(source.Get(), &opened) != 0 || opened.st_dev != current.st_dev
            || opened.st_ino != current.st_ino))
        source.Close();
    QByteArray tempName;
    TDescriptor written(writeTemporary(folder.Get(), name, bytes, read.Exists ? &current : nullptr,
                                       source.Valid() ? source.Get() : -1, tempName));
    if (!written.Valid())
        return failed(errno);
    // A link put in the file's place after the check above is replaced by the rename, never
    // written through; a file that was missing is created only where nothing has appeared.
    const int renamed = read.Exists
        ? ::renameat(folder.Get(), tempName.constData(), folder.Get(), name.constData())
        : RenameNoReplaceAt(folder.Get(), tempName, name);
    if (renamed != 0) {
        const int error = errno;
        ::unlinkat(folder.Get(), tempName.constData(), 0);
        return failed(error);
    }
    // The rename reaches the disk too; not every file system can flush a folder.
    ::fsync(folder.Get());

    TReplaceResult result;
    result.Done = true;
    struct stat st = {};
    if (::fstat(written.Get(), &st) == 0) {
        result.Identity.Exists = true;
        result.Identity.Device = quint64(st.st_dev);
        result.Identity.Inode = quint64(st.st_ino);
    }
    written.Close();
    return result;
}

#endif
