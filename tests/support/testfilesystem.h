#pragma once

// What tests need to know of the file system they run on, where Linux and Windows differ.
// Header only, so that tests of every layer can use it without linking more.

#include <QFile>
#include <QProcess>
#include <QString>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QByteArray>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Whether file permissions stop this process: not for root, and on Windows the permission bits
// are only a read-only attribute, which folders ignore.
inline bool PermissionBitsApply()
{
#ifdef Q_OS_WIN
    return false;
#else
    return ::geteuid() != 0;
#endif
}

// Makes a file or folder immutable, so that nobody, root included, can rename, replace or delete
// it, or create an entry in it; or mutable again. False where the file system cannot do that.
inline bool SetImmutable(const QString &path, bool immutable)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    Q_UNUSED(immutable);
    return false;
#else
    return QProcess::execute(QStringLiteral("chattr"),
                             {immutable ? QStringLiteral("+i") : QStringLiteral("-i"), path})
        == 0;
#endif
}

// The identity of a file or folder and its modification time, to the finest step the system
// keeps: it changes when the file is replaced or the folder's entries change.
inline QString FileStamp(const QString &path)
{
#ifdef Q_OS_WIN
    const HANDLE handle
        = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return QStringLiteral("missing");
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return QStringLiteral("unknown");
    return QStringLiteral("%1.%2/%3.%4")
        .arg(info.nFileIndexHigh)
        .arg(info.nFileIndexLow)
        .arg(info.ftLastWriteTime.dwHighDateTime)
        .arg(info.ftLastWriteTime.dwLowDateTime);
#else
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("missing");
    return QStringLiteral("%1/%2.%3").arg(st.st_ino).arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec);
#endif
}

#ifndef Q_OS_WIN
// Mounts a small tmpfs (1 MiB) on a folder for the lifetime of the guard; needs root with
// CAP_SYS_ADMIN. What the folder held is hidden until the guard ends.
class TSmallFileSystem
{
public:
    explicit TSmallFileSystem(const QString &folder)
        : FFolder(QFile::encodeName(folder))
    {
        FMounted = ::mount("tmpfs", FFolder.constData(), "tmpfs", 0, "size=1m") == 0;
        if (!FMounted)
            FError = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TSmallFileSystem()
    {
        if (FMounted)
            ::umount2(FFolder.constData(), MNT_DETACH);
    }
    TSmallFileSystem(const TSmallFileSystem &) = delete;
    TSmallFileSystem &operator=(const TSmallFileSystem &) = delete;

    bool Mounted() const { return FMounted; }
    const QString &Error() const { return FError; }

private:
    QByteArray FFolder;
    bool FMounted = false;
    QString FError;
};

// Writes into a new file until the file system is full; true when it ran out of space.
inline bool FillFileSystem(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'x');
    ssize_t written = 0;
    do
        written = ::write(fd, block.constData(), size_t(block.size()));
    while (written > 0);
    const bool full = written < 0 && errno == ENOSPC;
    ::close(fd);
    return full;
}

// Limits the size of files this process writes (RLIMIT_FSIZE, with SIGXFSZ ignored, so that a
// write beyond the limit fails as on a full disk) for the lifetime of the guard. Only the soft
// limit is lowered, so the old one can be restored.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(qint64 bytes)
    {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        FApplied = ::getrlimit(RLIMIT_FSIZE, &FOld) == 0;
        if (FApplied) {
            rlimit limit = FOld;
            limit.rlim_cur = rlim_t(bytes);
            FApplied = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
    }
    ~TFileSizeLimit()
    {
        if (FApplied)
            ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

    bool Applied() const { return FApplied; }

private:
    rlimit FOld = {};
    void (*FOldHandler)(int) = SIG_DFL;
    bool FApplied = false;
};
#endif
