#include "platform/filerename.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

namespace {

QString systemMessage(DWORD error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    QString message = length ? QString::fromWCharArray(buffer, int(length)).trimmed()
                             : QStringLiteral("Error %1").arg(error);
    LocalFree(buffer);
    return message;
}

} // namespace

TRenameResult RenameFile(const QString &from, const QString &to)
{
    // MoveFileW without flags never replaces an existing file.
    if (MoveFileW(reinterpret_cast<const wchar_t *>(from.utf16()),
                  reinterpret_cast<const wchar_t *>(to.utf16())))
        return {true, false, {}};
    const DWORD error = GetLastError();
    return {false, error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION,
            systemMessage(error)};
}

#else

TRenameResult RenameFile(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    int result
        = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the no-replace flag: link and unlink never replace either;
        // where there are no hard links, a checked rename is the best that remains.
        result = ::link(source.constData(), target.constData());
        if (result == 0) {
            result = ::unlink(source.constData());
            if (result != 0) {
                const int error = errno;
                ::unlink(target.constData()); // one name, as before
                errno = error;
            }
        } else if (errno == EPERM || errno == EOPNOTSUPP) {
            // Any entry counts, also a link that leads nowhere.
            struct stat existing;
            if (::lstat(target.constData(), &existing) == 0) {
                errno = EEXIST;
                result = -1;
            } else if (errno == ENOENT) {
                result = ::rename(source.constData(), target.constData());
            }
        }
    }
    if (result == 0)
        return {true, false, {}};
    // ETXTBSY: a program that runs from the file; the only "in use" Linux reports.
    const int error = errno;
    return {false, error == ETXTBSY,
            QString::fromLocal8Bit(std::generic_category().message(error))};
}

#endif
