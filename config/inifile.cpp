#include "config/inifile.h"

#include "config/profiledocument.h"
#include "platform/regularfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

constexpr qsizetype maxValueLength = 2047;

QString writeError(const QString &fileName)
{
    return QStringLiteral("In %1 kann nicht geschrieben werden")
        .arg(QDir::toNativeSeparators(fileName));
}

// Values are read up to 2047 characters.
void cutValue(QString &value)
{
    if (value.size() > maxValueLength) {
        // Never leave half of a surrogate pair at the cut.
        const bool splitsPair = value.at(maxValueLength - 1).isHighSurrogate();
        value.truncate(splitsPair ? maxValueLength - 1 : maxValueLength);
    }
}

// Shows line breaks of a rejected name, which would otherwise split the message.
QString visibleName(const QString &name)
{
    QString shown = name;
    shown.replace(u'\r', QStringLiteral("\\r"));
    shown.replace(u'\n', QStringLiteral("\\n"));
    return shown;
}

// Returns false when the file exists but cannot be read (a folder, a device or a read error);
// a missing file reads as empty. The identity is that of the file read, for the save.
bool readControlFile(const QString &fileName, QByteArray &bytes, TFileIdentity &identity)
{
    if (!QFileInfo::exists(fileName))
        return true;
    // What is opened is checked, not the name before it: a FIFO put in its place meanwhile is
    // refused without waiting on it.
    std::optional<QByteArray> read
        = ReadRegularFile(fileName, MaxControlFileSize, nullptr, &identity);
    if (!read)
        return false;
    bytes = std::move(*read);
    return true;
}

} // namespace

TIniFile::TIniFile(const QString &fileName)
    : FFileName(fileName)
{
    QByteArray bytes;
    FUnreadable = !readControlFile(fileName, bytes, FIdentity);
    if (FUnreadable)
        bytes.clear();
    FDocument = std::make_unique<TProfileDocument>(bytes);
}

TIniFile::~TIniFile()
{
    try {
        UpdateFile();
    } catch (const EIniFileException &error) {
        qWarning().noquote() << error.Message();
    }
}

QString TIniFile::ReadString(const QString &section, const QString &key,
                             const QString &defaultValue) const
{
    std::optional<QString> value = FDocument->value(section, key);
    if (!value)
        return defaultValue;
    cutValue(*value);
    return *value;
}

void TIniFile::ReadSection(const QString &section, QStringList &strings) const
{
    strings = FDocument->keyNames(section);
}

void TIniFile::ReadSectionValues(const QString &section, QStringList &keys,
                                 QStringList &values) const
{
    FDocument->keysAndValues(section, keys, values);
    for (QString &value : values)
        cutValue(value);
}

bool TIniFile::SectionExists(const QString &section) const
{
    return FDocument->hasSection(section);
}

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Hexadecimal digits of up to 8 significant places, wrapped into 32 bits ("FFFFFFFF" is -1).
std::optional<quint32> parseHex(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const QChar c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + quint64(d);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return quint32(value);
}

std::optional<qint32> parseInteger(QStringView text)
{
    if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X"))) {
        if (const auto hex = parseHex(text.sliced(2)))
            return qint32(*hex);
        return std::nullopt;
    }
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    if (text.startsWith(u'$')) {
        const auto hex = parseHex(text.sliced(1));
        if (!hex)
            return std::nullopt;
        return qint32(negative ? 0u - *hex : *hex);
    }
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(1) << 31)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace

qint32 TIniFile::ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    return parseInteger(ReadString(section, key, QString())).value_or(defaultValue);
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

QString TIniFile::WriteError(const QString &section, const QString &key) const
{
    if (!TProfileDocument::isStorableSection(section)) {
        return writeError(FFileName) + u'\n'
            + QStringLiteral("Ungültiger Abschnittsname: „%1“").arg(visibleName(section));
    }
    if (!TProfileDocument::isStorableKey(key)) {
        return writeError(FFileName) + u'\n'
            + QStringLiteral("Ungültiger Schlüsselname: „%1“").arg(visibleName(key));
    }
    if (FUnreadable || (!FWritableChecked && !Replaceable()))
        return writeError(FFileName);
    return QString();
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (const QString error = WriteError(section, key); !error.isEmpty())
        throw EIniFileException(error);
    // Once found replaceable, the file is not asked again for every key of an Apply.
    FWritableChecked = true;
    if (FDocument->setValue(section, key, value))
        FDirty = true;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, qint32 value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

// The file is replaced by renaming a new file in the same folder over it.
bool TIniFile::Replaceable() const
{
    const QFileInfo file(FFileName);
    const QFileInfo folder(file.absolutePath());
    bool replaceable = folder.isDir() && folder.isWritable();
    if (replaceable && file.exists())
        replaceable = file.isFile() && file.isWritable();
    return replaceable;
}

void TIniFile::UpdateFile()
{
    if (!FDirty)
        return;
    const QByteArray bytes = FDocument->toBytes();
    const TReplaceResult saved = ReplaceFileContent(FFileName, bytes, FIdentity);
    if (!saved.Done) {
        // The caller is told once; the changes are dropped rather than saved later behind its
        // back (Apply stops at this error, and must not find its states stored afterwards).
        FDirty = false;
        throw EIniFileException(writeError(FFileName));
    }
    FIdentity = saved.Identity;
    FSavedStamp = StampOf(bytes);
    FDirty = false;
}

QByteArray TIniFile::ContentStamp() const
{
    if (!FSavedStamp.isEmpty())
        return FSavedStamp;
    if (FUnreadable || !FIdentity.Exists)
        return {};
    // The document keeps the bytes it was read from, so the file need not be read again.
    return StampOf(FDocument->sourceBytes());
}

QByteArray TIniFile::StampOf(QByteArrayView bytes)
{
    // Stamps are compared only within this process, to notice another program's write: the size
    // and two differently seeded hashes tell any such change, at a fraction of the cost of a
    // cryptographic digest over a file of several megabytes.
    const quint64 parts[] = {
        quint64(bytes.size()),
        quint64(qHashBits(bytes.data(), size_t(bytes.size()), 0x2545F491u)),
        quint64(qHashBits(bytes.data(), size_t(bytes.size()), 0x9E3779B9u)),
    };
    return QByteArray(reinterpret_cast<const char *>(parts), qsizetype(sizeof parts));
}
