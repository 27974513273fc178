#include "platform/regularfile.h"

#include "platform/largepages.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

QString notRegular()
{
    return QStringLiteral("not a regular file");
}

// Opens the file for reading when it is a regular file, and tells its size.
bool openRegular(QFile &file, qint64 &size, QString *reason)
{
#ifdef Q_OS_WIN
    if (!QFileInfo(file.fileName()).isFile()) {
        setReason(reason, notRegular());
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setReason(reason, file.errorString());
        return false;
    }
    size = file.size();
    return true;
#else
    // Opening a FIFO for reading waits for a writer, and a terminal may become the controlling
    // one: open without waiting, then look at what was opened, so nothing can be swapped in
    // between the look and the read.
    const QByteArray name = QFile::encodeName(file.fileName());
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        setReason(reason, QString::fromLocal8Bit(std::generic_category().message(errno)));
        return false;
    }
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        setReason(reason, notRegular());
        return false;
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        setReason(reason, file.errorString());
        return false;
    }
    size = status.st_size;
    return true;
#endif
}

QString tooLargeReason(qint64 maxSize)
{
    return QStringLiteral("larger than %1 bytes").arg(maxSize);
}

} // namespace

std::optional<QByteArray> ReadRegularFile(const QString &path, qint64 maxSize, QString *reason,
                                          TFileIdentity *identity)
{
    QFile file(path);
    qint64 size = 0;
    if (!openRegular(file, size, reason))
        return std::nullopt;
    if (identity)
        *identity = OpenFileIdentity(file);
    const QString tooLarge = tooLargeReason(maxSize);
    if (size > maxSize) {
        setReason(reason, tooLarge);
        return std::nullopt;
    }
    // Read to the end, but never past the limit: the file may grow meanwhile, and some files
    // (those of /proc) tell a size of 0.
    // The bytes are read straight into the buffer, which is made as large as the file says and
    // grows by a chunk when it has more.
    constexpr qsizetype chunk = 65536;
    QByteArray bytes;
    bytes.resize(qsizetype(size));
    LargePages::Advise(bytes.data(), std::size_t(bytes.size()));
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(filled + chunk);
        const qint64 count = file.read(bytes.data() + filled, bytes.size() - filled);
        if (count < 0) {
            setReason(reason, file.errorString());
            return std::nullopt;
        }
        if (count == 0) {
            bytes.truncate(filled);
            return bytes;
        }
        if (filled + count > maxSize) {
            setReason(reason, tooLarge);
            return std::nullopt;
        }
        filled += qsizetype(count);
    }
}

bool CanReadRegularFile(const QString &path, qint64 maxSize, QString *reason)
{
    QFile file(path);
    qint64 size = 0;
    if (!openRegular(file, size, reason))
        return false;
    if (size > maxSize) {
        setReason(reason, tooLargeReason(maxSize));
        return false;
    }
    return true;
}
