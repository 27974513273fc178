#pragma once

// What tests need to know of the file system they run on, where Linux and Windows differ.
// Header only, so that tests of every layer can use it without linking more.

#include <QFile>
#include <QProcess>
#include <QString>

#ifdef Q_OS_WIN
#include <windows.h>
#else
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
