#include "platform/filerename.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QFile>
#include <QFileInfo>

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

TRenameResult RenameFile(const QString &from, const QString &to, const QString &within)
{
    Q_UNUSED(within);
    // MoveFileW without flags never replaces an existing file.
    if (MoveFileW(reinterpret_cast<const wchar_t *>(from.utf16()),
                  reinterpret_cast<const wchar_t *>(to.utf16())))
        return {true, false, {}};
    const DWORD error = GetLastError();
    return {false, error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION,
            systemMessage(error)};
}

#else

int RenameNoReplaceAt(int folder, const QByteArray &from, const QByteArray &to)
{
    int result = ::renameat2(folder, from.constData(), folder, to.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the no-replace flag: link and unlink never replace either;
        // where there are no hard links, a checked rename is the best that remains.
        result = ::linkat(folder, from.constData(), folder, to.constData(), 0);
        if (result == 0) {
            result = ::unlinkat(folder, from.constData(), 0);
            if (result != 0) {
                const int error = errno;
                ::unlinkat(folder, to.constData(), 0); // one name, as before
                errno = error;
            }
        } else if (errno == EPERM || errno == EOPNOTSUPP) {
            // Any entry counts, also a link that leads nowhere.
            struct stat existing;
            if (::fstatat(folder, to.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
                errno = EEXIST;
                result = -1;
            } else if (errno == ENOENT) {
                result = ::renameat(folder, from.constData(), folder, to.constData());
            }
        }
    }
    return result;
}

namespace {

TRenameResult refused(int error)
{
    // ETXTBSY: a program that runs from the file; the only "in use" Linux reports.
    return {false, error == ETXTBSY,
            QString::fromLocal8Bit(std::generic_category().message(error))};
}

// Whether an open folder is the given (canonical) folder or lies in it, as the system reached it.
bool liesWithin(int folder, const QString &root)
{
    if (root.isEmpty())
        return false;
    char buffer[4096];
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(folder);
    const ssize_t length = ::readlink(self.constData(), buffer, sizeof buffer);
    if (length <= 0 || size_t(length) >= sizeof buffer)
        return false;
    const QString reached = QFile::decodeName(QByteArray(buffer, qsizetype(length)));
    return reached == root || reached.startsWith(root.endsWith(u'/') ? root : root + u'/');
}

} // namespace

TRenameResult RenameFile(const QString &from, const QString &to, const QString &within)
{
    const QFileInfo source(from);
    const int folder = ::open(QFile::encodeName(source.absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return refused(errno);
    if (!within.isEmpty() && !liesWithin(folder, within)) {
        ::close(folder);
        return {false, false, QStringLiteral("the folder lies outside the Scenery folder")};
    }
    const int result = RenameNoReplaceAt(folder, QFile::encodeName(source.fileName()),
                                         QFile::encodeName(QFileInfo(to).fileName()));
    const int error = errno;
    ::close(folder);
    if (result == 0)
        return {true, false, {}};
    return refused(error);
}

#endif
