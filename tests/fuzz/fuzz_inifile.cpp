// The control-file accessor on arbitrary bytes: every read operation, one write, the save and a
// re-read, which must give back the written value and leave every other value as it was.

#include "config/inifile.h"
#include "config/profiledocument.h"
#include "config/profileencoding.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// One folder per process: a fresh folder for each input would cost more than the input.
std::unique_ptr<QTemporaryDir> scratch;
QString controlFile;

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz_inifile: %s %s\n", what, qPrintable(detail));
    std::abort();
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Names match ignoring case and the spaces and tabs around them.
QString fold(const QString &name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && isBlank(name[begin]))
        ++begin;
    while (end > begin && isBlank(name[end - 1]))
        --end;
    return name.sliced(begin, end - begin).toCaseFolded();
}

QByteArray readAll()
{
    QFile file(controlFile);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read back", controlFile);
    return file.readAll();
}

void writeAll(const QByteArray &bytes)
{
    QFile file(controlFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write", controlFile);
}

// Fixed names, and the bracketed names of the input's lines, as the file's encoding reads them.
QStringList candidateSections(const QByteArray &bytes)
{
    QStringList names{QString(), QStringLiteral("Settings"), QStringLiteral("german")};
    const TProfileEncoding encoding = TProfileEncoding::detect(bytes);
    const QString text = encoding.decode(QByteArrayView(bytes).sliced(encoding.bom().size()));
    for (const QStringView line : QStringView(text).tokenize(u'\n')) {
        const qsizetype open = line.indexOf(u'[');
        const qsizetype close = line.indexOf(u']', open + 1);
        if (open >= 0 && close > open) {
            names.append(line.sliced(open + 1, close - open - 1).toString());
            if (names.size() >= 12)
                break;
        }
    }
    return names;
}

struct TSectionSnapshot
{
    QString name;
    QStringList keys;
    QStringList values;
};

const QString missing = QStringLiteral("\x01missing");

QList<TSectionSnapshot> snapshot(const TIniFile &ini, const QStringList &sections)
{
    QList<TSectionSnapshot> result;
    for (const QString &section : sections) {
        TSectionSnapshot s{section, {}, {}};
        ini.ReadSection(section, s.keys);
        for (const QString &key : std::as_const(s.keys)) {
            s.values.append(ini.ReadString(section, key, missing));
            if (s.values.back() == missing)
                fail("a listed key reads as missing:", key);
            if (s.values.back().size() > 2047)
                fail("a value longer than 2047 characters in", key);
            const qint32 number = ini.ReadInteger(section, key, 0);
            if (ini.ReadBool(section, key, false) != (number != 0)
                || ini.ReadBool(section, key, true) != (ini.ReadInteger(section, key, 1) != 0)) {
                fail("ReadBool disagrees with ReadInteger for", key);
            }
        }
        result.append(s);
    }
    return result;
}

// A value that reads back exactly as written in every encoding: letters the three encodings
// hold, and neither blanks nor quotes at its ends.
QString valueFrom(const uint8_t *data, size_t size)
{
    static const QString alphabet = QStringLiteral("abcXYZ019 _-.=;[]#\"'&<>\u00E4\u00C4\u20AC");
    QString value = QStringLiteral("v");
    for (size_t i = 0; i < size && i < 40; ++i)
        value += alphabet[data[i] % alphabet.size()];
    return value + u'v';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid())
        fail("no temporary folder");
    controlFile = scratch->filePath(QStringLiteral("control.ini"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    writeAll(input);
    const QStringList sections = candidateSections(input);

    QList<TSectionSnapshot> before;
    {
        const TIniFile ini(controlFile);
        before = snapshot(ini, sections);
    }
    if (readAll() != input)
        fail("reading changed the file");

    // The write goes to one of the sections and keys found, or to new ones.
    const uint8_t pick = size > 0 ? data[0] : 0;
    const TSectionSnapshot &target = before[pick % before.size()];
    const bool newSection = (pick & 0x80) != 0;
    const QString section
        = newSection ? QStringLiteral("Fuzz ") + valueFrom(data, size % 7) : target.name;
    const bool newKey = newSection || target.keys.isEmpty() || (pick & 0x40) != 0;
    const QString key
        = newKey ? QStringLiteral("fuzzKey") : target.keys[(pick >> 3) % target.keys.size()];
    const QString value = valueFrom(data + size / 2, size - size / 2);

    const bool storable
        = TProfileDocument::isStorableSection(section) && TProfileDocument::isStorableKey(key);

    QStringList keysBefore;
    {
        TIniFile ini(controlFile);
        ini.ReadSection(section, keysBefore);
        try {
            ini.WriteString(section, key, value);
            ini.UpdateFile();
            if (!storable)
                fail("a name the file cannot hold was written:", section + u'/' + key);
        } catch (const EIniFileException &error) {
            if (storable)
                fail("write failed:", error.Message());
        }
    }
    const QByteArray written = readAll();
    if (!storable) {
        if (written != input)
            fail("a refused write changed the file");
        return 0;
    }
    const TProfileEncoding encodingBefore = TProfileEncoding::detect(input);
    const TProfileEncoding encodingAfter = TProfileEncoding::detect(written);
    if (encodingBefore.kind() != encodingAfter.kind()
        || encodingBefore.hasBom() != encodingAfter.hasBom()) {
        using Kind = TProfileEncoding::Kind;
        const bool bomless = !encodingBefore.hasBom() && !encodingAfter.hasBom();
        // Without a byte-order mark, Windows-1252 bytes that happen to form valid UTF-8 read as
        // UTF-8: the file cannot tell them apart, so this flip is a known limit.
        if (bomless && encodingBefore.kind() == Kind::Windows1252
            && encodingAfter.kind() == Kind::Utf8) {
            return 0;
        }
        // A UTF-8 file whose last multi-byte character was overwritten reads the same either way.
        const bool ascii
            = std::all_of(written.cbegin(), written.cend(), [](char c) { return uchar(c) < 0x80; });
        if (!bomless || encodingBefore.kind() != Kind::Utf8 || !ascii)
            fail("the write changed the file's encoding");
    }

    {
        TIniFile ini(controlFile);
        const QString readBack = ini.ReadString(section, key, missing);
        if (readBack != value) {
            fail("the written value does not read back:",
                 QStringLiteral("[%1] %2=%3 reads %4").arg(section, key, value, readBack));
        }
        QStringList keysAfter;
        ini.ReadSection(section, keysAfter);
        QStringList expectedKeys = keysBefore;
        const bool existed = std::any_of(keysBefore.cbegin(), keysBefore.cend(),
                                         [&](const QString &k) { return fold(k) == fold(key); });
        if (!existed)
            expectedKeys.append(key);
        if (keysAfter != expectedKeys)
            fail("the key list of the written section changed:", keysAfter.join(u'|'));

        const QList<TSectionSnapshot> after = snapshot(ini, sections);
        for (qsizetype s = 0; s < before.size(); ++s) {
            const bool writtenSection = fold(before[s].name) == fold(section);
            if (!writtenSection && after[s].keys != before[s].keys)
                fail("a key list changed in section", before[s].name);
            for (qsizetype k = 0; k < before[s].keys.size(); ++k) {
                const bool writtenKey = writtenSection && fold(before[s].keys[k]) == fold(key);
                if (!writtenKey && after[s].values[k] != before[s].values[k])
                    fail("another value changed:", before[s].keys[k]);
            }
        }

        // Writing the value the key already has changes nothing on disk.
        ini.WriteString(section, key, value);
        ini.UpdateFile();
    }
    if (readAll() != written)
        fail("writing the same value again changed the file");
    return 0;
}
