#include "platform/folderlock.h"

#include <QDebug>

#ifdef Q_OS_WIN
#include <QCryptographicHash>
#include <QFileInfo>

#include <windows.h>
#else
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

TFolderLock::TFolderLock(const QString &folder)
    : FFolder(folder)
{ }

#ifdef Q_OS_WIN

// Windows cannot lock a folder, so a named mutex of the session stands for the lock: it exists
// while its creator holds it and vanishes with its last handle, also when a process dies. A
// process without the rights to open the mutex of an elevated holder is told so by the system,
// which means the same: someone holds it.
TFolderLock::~TFolderLock()
{
    if (FHandle)
        CloseHandle(FHandle);
}

bool TFolderLock::TryLock()
{
    if (FHandle)
        return true;
    QString canonical = QFileInfo(FFolder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QFileInfo(FFolder).absoluteFilePath();
    const QByteArray key
        = QCryptographicHash::hash(canonical.toLower().toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString name = QStringLiteral("Local\\SceneryConfigurator-") + QString::fromLatin1(key);
    HANDLE handle = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t *>(name.utf16()));
    const DWORD error = GetLastError();
    if (!handle)
        return error != ERROR_ACCESS_DENIED;
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return false;
    }
    FHandle = handle;
    return true;
}

#else

TFolderLock::~TFolderLock()
{
    if (FDescriptor >= 0)
        ::close(FDescriptor); // releases the lock
}

bool TFolderLock::TryLock()
{
    if (FDescriptor >= 0)
        return true;
    // O_DIRECTORY: whatever else the name has become, opening it never blocks.
    const int descriptor
        = ::open(QFile::encodeName(FFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        qWarning().noquote() << "cannot lock" << FFolder << ":" << qt_error_string(errno);
        return true;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK)
            return false;
        qWarning().noquote() << "cannot lock" << FFolder << ":" << qt_error_string(error);
        return true;
    }
    FDescriptor = descriptor;
    return true;
}

#endif
