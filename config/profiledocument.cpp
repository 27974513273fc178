#include "config/profiledocument.h"

#include <QtEndian>

#include <limits>

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// Only spaces and tabs surround names and values; other white space belongs to them.
QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlank(text[end - 1].unicode()))
        --end;
    return text.sliced(begin, end - begin);
}

char16_t asciiLower(char16_t u)
{
    return (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
}

// Names match ignoring case for all letters; plain ASCII names, the usual case, take a short way.
// The result goes into `out`, whose buffer is reused when it is not shared.
void foldNameInto(QStringView name, QString &out)
{
    name = trimBlanks(name);
    out.resize(name.size());
    QChar *dest = out.data();
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            out = name.toString().toCaseFolded();
            return;
        }
        *dest++ = QChar(asciiLower(u));
    }
}

QString foldName(QStringView name)
{
    QString folded;
    foldNameInto(name, folded);
    return folded;
}

// FNV-1a over the UTF-16 units of a folded name: quick for short names; a control file is local
// data, so hash flooding is no concern.
constexpr quint64 FnvBasis = 14695981039346656037ull;
constexpr quint64 FnvPrime = 1099511628211ull;

quint32 finish(quint64 hash)
{
    return quint32(hash ^ (hash >> 32));
}

quint32 hashFolded(QStringView folded)
{
    quint64 hash = FnvBasis;
    for (const QChar c : folded)
        hash = (hash ^ c.unicode()) * FnvPrime;
    return finish(hash);
}

// The units of one line, as the parser and the name comparison read them: bytes of an 8-bit
// encoding (the characters that give a line its structure are ASCII, which UTF-8 never uses
// inside a multi-byte sequence), UTF-16 units, or the characters of a rewritten line.
struct ByteUnits
{
    const uchar *data;
    qsizetype count;
    qsizetype size() const { return count; }
    char16_t operator[](qsizetype i) const { return data[i]; }
};

template<bool Little>
struct Utf16Units
{
    const uchar *data;
    qsizetype count;
    qsizetype size() const { return count; }
    char16_t operator[](qsizetype i) const
    {
        return char16_t(Little ? qFromLittleEndian<quint16>(data + 2 * i)
                               : qFromBigEndian<quint16>(data + 2 * i));
    }
};

struct TextUnits
{
    const QChar *data;
    qsizetype count;
    qsizetype size() const { return count; }
    char16_t operator[](qsizetype i) const { return data[i].unicode(); }
};

template<class Units>
qsizetype findUnit(const Units &units, char16_t wanted, qsizetype from)
{
    for (qsizetype i = from; i < units.size(); ++i) {
        if (units[i] == wanted)
            return i;
    }
    return -1;
}

// The hash of the folded name when it is plain ASCII; nothing otherwise.
template<class Units>
std::optional<quint32> asciiNameHash(const Units &units, qsizetype begin, qsizetype end)
{
    quint64 hash = FnvBasis;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t u = units[i];
        if (u >= 0x80)
            return std::nullopt;
        hash = (hash ^ asciiLower(u)) * FnvPrime;
    }
    return finish(hash);
}

// Whether the name equals the folded name; nothing when the name is not plain ASCII.
template<class Units>
std::optional<bool> asciiNameEquals(const Units &units, qsizetype begin, qsizetype end,
                                    QStringView folded)
{
    bool equal = end - begin == folded.size();
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t u = units[i];
        if (u >= 0x80)
            return std::nullopt;
        equal = equal && asciiLower(u) == folded[i - begin].unicode();
    }
    return equal;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// A value is one line: each line break (CR LF counts as one) becomes a space.
QString joinLines(QStringView value)
{
    if (!hasLineBreak(value))
        return value.toString();
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n')
            continue;
        out.append((c == u'\r' || c == u'\n') ? QChar(u' ') : c);
    }
    return out;
}

} // namespace

template<class Units>
TProfileDocument::Parts TProfileDocument::parseParts(const Units &units)
{
    const qsizetype n = units.size();
    qsizetype first = 0;
    while (first < n && isBlank(units[first]))
        ++first;
    if (first == n || units[first] == u';')
        return {};
    const auto trimmed = [&units](Parts::Kind kind, qsizetype begin, qsizetype end) {
        while (begin < end && isBlank(units[begin]))
            ++begin;
        while (end > begin && isBlank(units[end - 1]))
            --end;
        return Parts{kind, begin, end, 0, 0};
    };
    if (units[first] == u'[') {
        const qsizetype close = findUnit(units, u']', first + 1);
        if (close >= 0)
            return trimmed(Parts::Header, first + 1, close);
    }
    const qsizetype eq = findUnit(units, u'=', first);
    if (eq < 0)
        return {};
    Parts parts = trimmed(Parts::Key, first, eq);
    const Parts value = trimmed(Parts::Key, eq + 1, n);
    parts.valueBegin = value.nameBegin;
    parts.valueEnd = value.nameEnd;
    return parts;
}

TProfileDocument::TProfileDocument(const QByteArray &data)
    : FSource(data)
    , FEncoding(TProfileEncoding::detect(data))
{
    const qsizetype bomSize = FEncoding.bom().size();
    // Line offsets are 32 bits wide; whatever lies beyond stays as it is, like an odd tail.
    const qsizetype parsed = std::min<qsizetype>(FSource.size() - bomSize,
                                                 std::numeric_limits<quint32>::max() - bomSize);
    const auto *body = reinterpret_cast<const uchar *>(FSource.constData()) + bomSize;
    switch (FEncoding.kind()) {
    case TProfileEncoding::Kind::Utf16LE:
        parseUnits(Utf16Units<true>{body, parsed / 2}, bomSize);
        break;
    case TProfileEncoding::Kind::Utf16BE:
        parseUnits(Utf16Units<false>{body, parsed / 2}, bomSize);
        break;
    case TProfileEncoding::Kind::Windows1252:
    case TProfileEncoding::Kind::Utf8:
        parseUnits(ByteUnits{body, parsed}, bomSize);
        break;
    }
}

// Splits the units into lines (CR LF, LF and a lone CR each end one), records where each line,
// header and key lies, then builds the indexes once their sizes are known.
template<class Units>
void TProfileDocument::parseUnits(const Units &units, qsizetype bomSize)
{
    const qsizetype unitSize = FEncoding.unitSize();
    const qsizetype count = units.size();
    FTailOffset = bomSize + count * unitSize;

    qsizetype lineCount = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t u = units[i];
        if (u == u'\n' || (u == u'\r' && (i + 1 == count || units[i + 1] != u'\n')))
            ++lineCount;
    }
    FLines.reserve(size_t(lineCount + 1));
    // Every line may be a key: room that stays unused is never touched, so costs no memory.
    FKeys.reserve(size_t(lineCount + 1));
    std::vector<quint32> sectionHashes{0};
    std::vector<quint32> keyHashes;
    keyHashes.reserve(size_t(lineCount + 1));
    FSections.emplace_back();

    qsizetype start = 0;
    while (start < count) {
        qsizetype end = start;
        while (end < count && units[end] != u'\r' && units[end] != u'\n')
            ++end;
        TLineBreak lineBreak = TLineBreak::None;
        qsizetype next = end;
        if (end < count) {
            const bool crlf = units[end] == u'\r' && end + 1 < count && units[end + 1] == u'\n';
            lineBreak
                = crlf ? TLineBreak::CrLf : (units[end] == u'\r' ? TLineBreak::Cr : TLineBreak::Lf);
            next = end + (crlf ? 2 : 1);
        }
        const auto index = quint32(FLines.size());
        if (index == 0 && lineBreak != TLineBreak::None)
            FNewLineBreak = lineBreak;
        if (index > 0)
            FLines.back().next = index;
        FLines.push_back(Line{quint32(bomSize + start * unitSize),
                              quint32((end - start) * unitSize), NoIndex, lineBreak, false});

        const Units lineUnits{units.data + start * unitSize, end - start};
        const Parts parts = parseParts(lineUnits);
        if (parts.kind != Parts::Other) {
            std::optional<quint32> hash = asciiNameHash(lineUnits, parts.nameBegin, parts.nameEnd);
            if (!hash)
                hash = hashFolded(foldName(textOf(FLines.back(), parts.nameBegin, parts.nameEnd)));
            if (parts.kind == Parts::Header) {
                FSections.push_back(Section{index, NoIndex, NoIndex, false});
                sectionHashes.push_back(*hash);
            } else {
                const auto section = quint32(FSections.size() - 1);
                const auto key = quint32(FKeys.size());
                FKeys.push_back(Key{index, section, 0, NoIndex});
                Section &owner = FSections.back();
                if (owner.lastKey == NoIndex)
                    owner.firstKey = key;
                else
                    FKeys[owner.lastKey].next = key;
                owner.lastKey = key;
                keyHashes.push_back(keyHash(*hash, section));
            }
        }
        start = next;
    }
    if (!FLines.empty()) {
        FFirstLine = 0;
        FLastLine = quint32(FLines.size() - 1);
    }
    buildIndexes(sectionHashes, keyHashes);
}

// The first section and the first key of a name win; a later one of the same name is not
// indexed. Lines before the first header form a section with the empty name only if they hold
// keys, and then it wins over a header with the empty name.
void TProfileDocument::buildIndexes(const std::vector<quint32> &sectionHashes,
                                    const std::vector<quint32> &keyHashes)
{
    FSectionIndex.reserve(qsizetype(FSections.size()));
    if (FSections.front().firstKey != NoIndex) {
        FSectionIndex.add(hashFolded(QStringView()), 0);
        FSections.front().indexed = true;
    }
    for (quint32 s = 1; s < FSections.size(); ++s) {
        const Line &header = FLines[FSections[s].header];
        const Parts parts = partsOf(header);
        const QString folded = foldName(textOf(header, parts.nameBegin, parts.nameEnd));
        // Compared only for names of the same hash, which are mostly the same name.
        const auto same = [&](quint32 other) {
            if (other == 0)
                return folded.isEmpty();
            const Line &line = FLines[FSections[other].header];
            return nameEquals(line, partsOf(line), folded);
        };
        if (!FSectionIndex.find(sectionHashes[s], same)) {
            FSectionIndex.add(sectionHashes[s], s);
            FSections[s].indexed = true;
        }
    }

    FKeyIndex.reserve(qsizetype(FKeys.size()));
    for (quint32 k = 0; k < FKeys.size(); ++k) {
        const quint32 hash = keyHashes[k];
        std::optional<QString> folded; // made only when another key has the same hash
        const auto same = [&](quint32 other) {
            if (FKeys[other].section != FKeys[k].section)
                return false;
            const Line &line = FLines[FKeys[k].line];
            if (!folded) {
                const Parts parts = partsOf(line);
                folded = foldName(textOf(line, parts.nameBegin, parts.nameEnd));
            }
            const Line &otherLine = FLines[FKeys[other].line];
            return nameEquals(otherLine, partsOf(otherLine), *folded);
        };
        if (!FKeyIndex.find(hash, same)) {
            FKeyIndex.add(hash, k);
            FKeys[k].indexed = 1;
        }
    }
}

template<class Function>
auto TProfileDocument::withUnits(const Line &line, Function &&function) const
{
    if (line.rewritten) {
        const QString &text = FTexts[line.offset];
        return function(TextUnits{text.constData(), text.size()});
    }
    const auto *data = reinterpret_cast<const uchar *>(FSource.constData()) + line.offset;
    switch (FEncoding.kind()) {
    case TProfileEncoding::Kind::Utf16LE:
        return function(Utf16Units<true>{data, line.length / 2});
    case TProfileEncoding::Kind::Utf16BE:
        return function(Utf16Units<false>{data, line.length / 2});
    case TProfileEncoding::Kind::Windows1252:
    case TProfileEncoding::Kind::Utf8:
        break;
    }
    return function(ByteUnits{data, line.length});
}

TProfileDocument::Parts TProfileDocument::partsOf(const Line &line) const
{
    return withUnits(line, [](const auto &units) { return parseParts(units); });
}

QString TProfileDocument::textOf(const Line &line, qsizetype begin, qsizetype end) const
{
    if (line.rewritten)
        return FTexts[line.offset].sliced(begin, end - begin);
    const qsizetype unitSize = FEncoding.unitSize();
    const qsizetype lineUnits = line.length / unitSize;
    QByteArrayView bytes
        = QByteArrayView(FSource).sliced(line.offset + begin * unitSize, (end - begin) * unitSize);
    // A part inside a line is followed by an ASCII character. Read as part of the whole line, an
    // incomplete UTF-8 sequence at its end is ended by that character and shows as a replacement
    // character; decoded alone, it would be dropped. So the character is decoded too, then cut.
    if (FEncoding.kind() == TProfileEncoding::Kind::Utf8 && end < lineUnits && !bytes.isEmpty()
        && uchar(bytes.back()) >= 0x80) {
        QString text = FEncoding.decode(QByteArrayView(bytes.data(), bytes.size() + 1));
        text.chop(1);
        return text;
    }
    return FEncoding.decode(bytes);
}

bool TProfileDocument::nameEquals(const Line &line, const Parts &parts, QStringView folded) const
{
    const std::optional<bool> ascii = withUnits(line, [&](const auto &units) {
        return asciiNameEquals(units, parts.nameBegin, parts.nameEnd, folded);
    });
    if (ascii)
        return *ascii;
    return foldName(textOf(line, parts.nameBegin, parts.nameEnd)) == folded;
}

quint32 TProfileDocument::keyHash(quint32 nameHash, quint32 section)
{
    const quint64 mixed = ((quint64(nameHash) << 32) | section) * 0x9E3779B97F4A7C15ull;
    return quint32(mixed >> 32);
}

bool TProfileDocument::sectionNameEquals(quint32 section, QStringView folded) const
{
    if (section == 0)
        return folded.isEmpty();
    const Line &header = FLines[FSections[section].header];
    return nameEquals(header, partsOf(header), folded);
}

bool TProfileDocument::keyNameEquals(quint32 key, QStringView folded) const
{
    const Line &line = FLines[FKeys[key].line];
    return nameEquals(line, partsOf(line), folded);
}

std::optional<quint32> TProfileDocument::findSection(QStringView section) const
{
    foldNameInto(section, FLookupName);
    const auto remember = [this](quint32 found) {
        if (FRecentSections[0] != found) {
            FRecentSections[1] = FRecentSections[0];
            FRecentSections[0] = found;
        }
        return found;
    };
    const auto isFound = [this](quint32 s) {
        return s < FSections.size() && FSections[s].indexed && sectionNameEquals(s, FLookupName);
    };
    for (const quint32 recent : FRecentSections) {
        if (recent == NoIndex)
            continue;
        if (isFound(recent))
            return remember(recent);
        if (isFound(recent + 1))
            return remember(recent + 1);
    }
    const std::optional<quint32> found = FSectionIndex.find(
        hashFolded(FLookupName), [this](quint32 s) { return sectionNameEquals(s, FLookupName); });
    if (found)
        remember(*found);
    return found;
}

std::optional<quint32> TProfileDocument::findKey(quint32 section, QStringView key) const
{
    foldNameInto(key, FLookupName);
    const Section &owner = FSections[section];
    const auto isFound = [this](quint32 k) {
        return k != NoIndex && FKeys[k].indexed && keyNameEquals(k, FLookupName);
    };
    const quint32 recent = owner.recentKey;
    const quint32 following = recent == NoIndex ? owner.firstKey : FKeys[recent].next;
    std::optional<quint32> found;
    if (isFound(recent))
        found = recent;
    else if (isFound(following))
        found = following;
    else
        found
            = FKeyIndex.find(keyHash(hashFolded(FLookupName), section), [this, section](quint32 k) {
                  return FKeys[k].section == section && keyNameEquals(k, FLookupName);
              });
    if (found)
        owner.recentKey = *found;
    return found;
}

std::optional<QString> TProfileDocument::value(QStringView section, QStringView key) const
{
    const std::optional<quint32> foundSection = findSection(section);
    if (!foundSection)
        return std::nullopt;
    const std::optional<quint32> foundKey = findKey(*foundSection, key);
    if (!foundKey)
        return std::nullopt;
    const Line &line = FLines[FKeys[*foundKey].line];
    const Parts parts = partsOf(line);
    qsizetype begin = parts.valueBegin;
    qsizetype end = parts.valueEnd;
    const bool quoted = withUnits(line, [begin, end](const auto &units) {
        return end - begin >= 2 && units[begin] == units[end - 1]
            && (units[begin] == u'"' || units[begin] == u'\'');
    });
    if (quoted) {
        ++begin;
        --end;
    }
    return textOf(line, begin, end);
}

QStringList TProfileDocument::keyNames(QStringView section) const
{
    QStringList names;
    const std::optional<quint32> found = findSection(section);
    if (!found)
        return names;
    qsizetype count = 0;
    for (quint32 k = FSections[*found].firstKey; k != NoIndex; k = FKeys[k].next)
        ++count;
    names.reserve(count);
    for (quint32 k = FSections[*found].firstKey; k != NoIndex; k = FKeys[k].next) {
        const Line &line = FLines[FKeys[k].line];
        const Parts parts = partsOf(line);
        names.append(textOf(line, parts.nameBegin, parts.nameEnd));
    }
    return names;
}

bool TProfileDocument::isStorableSection(QStringView section)
{
    return !section.contains(u']') && !hasLineBreak(section);
}

bool TProfileDocument::isStorableKey(QStringView key)
{
    const QStringView name = trimBlanks(key);
    return !name.contains(u'=') && !hasLineBreak(name) && !name.startsWith(u'[')
        && !name.startsWith(u';');
}

QString TProfileDocument::storable(QStringView text) const
{
    return FEncoding.decode(FEncoding.encode(text));
}

bool TProfileDocument::setValue(QStringView section, QStringView key, QStringView value)
{
    const QString sectionName = storable(trimBlanks(section));
    const QString keyName = storable(trimBlanks(key));
    const QString newValue = storable(trimBlanks(joinLines(value)));

    const std::optional<quint32> found = findSection(sectionName);
    if (!found) {
        const auto added = quint32(FSections.size());
        const quint32 header = insertLine(FLastLine, u'[' + sectionName + u']');
        FSections.push_back(Section{header, NoIndex, NoIndex, true});
        FSectionIndex.add(hashFolded(foldName(sectionName)), added);
        addKey(added, insertLine(header, keyName + u'=' + newValue), keyName);
        return true;
    }

    if (const std::optional<quint32> existing = findKey(*found, keyName)) {
        Line &line = FLines[FKeys[*existing].line];
        const Parts parts = partsOf(line);
        if (textOf(line, parts.valueBegin, parts.valueEnd) == newValue)
            return false;
        // Only the value changes: the blanks, the name and the '=' stay as the file has them.
        // Rewriting the whole line would drop leading blanks, and a first line that then began
        // with a byte-order mark's bytes would change how the whole file is read.
        const QString current = line.rewritten
            ? FTexts[line.offset]
            : FEncoding.decode(QByteArrayView(FSource).sliced(line.offset, line.length));
        qsizetype valueStart = current.indexOf(u'=') + 1;
        while (valueStart < current.size() && isBlank(current[valueStart].unicode()))
            ++valueStart;
        QString text = current.first(valueStart) + newValue;
        if (!line.rewritten) {
            line.rewritten = true;
            line.offset = quint32(FTexts.size());
            line.length = 0;
            FTexts.emplace_back();
        }
        FTexts[line.offset] = std::move(text);
        return true;
    }

    // Behind the last key line; a section without keys has its header as first line.
    const Section &target = FSections[*found];
    const quint32 after = target.lastKey != NoIndex ? FKeys[target.lastKey].line : target.header;
    addKey(*found, insertLine(after, keyName + u'=' + newValue), keyName);
    return true;
}

quint32 TProfileDocument::insertLine(quint32 after, const QString &text)
{
    const auto index = quint32(FLines.size());
    Line line{quint32(FTexts.size()), 0, NoIndex, FNewLineBreak, true};
    FTexts.push_back(text);
    if (after == NoIndex) {
        FFirstLine = index;
    } else {
        Line &previous = FLines[after];
        if (previous.lineBreak == TLineBreak::None)
            previous.lineBreak = FNewLineBreak;
        line.next = previous.next;
        previous.next = index;
    }
    if (after == FLastLine)
        FLastLine = index;
    FLines.push_back(line);
    return index;
}

void TProfileDocument::addKey(quint32 section, quint32 line, const QString &name)
{
    const auto key = quint32(FKeys.size());
    FKeys.push_back(Key{line, section, 1, NoIndex});
    Section &owner = FSections[section];
    if (owner.lastKey == NoIndex)
        owner.firstKey = key;
    else
        FKeys[owner.lastKey].next = key;
    owner.lastKey = key;
    FKeyIndex.add(keyHash(hashFolded(foldName(name)), section), key);
}

QByteArray TProfileDocument::toBytes() const
{
    const QByteArray breaks[] = {
        {},
        FEncoding.lineBreakBytes(TLineBreak::CrLf),
        FEncoding.lineBreakBytes(TLineBreak::Lf),
        FEncoding.lineBreakBytes(TLineBreak::Cr),
    };
    QByteArray out;
    out.reserve(FSource.size() + FSource.size() / 8 + 64);
    out.append(FEncoding.bom());
    for (quint32 i = FFirstLine; i != NoIndex; i = FLines[i].next) {
        const Line &line = FLines[i];
        if (line.rewritten)
            out.append(FEncoding.encode(FTexts[line.offset]));
        else
            out.append(QByteArrayView(FSource).sliced(line.offset, line.length));
        out.append(breaks[size_t(line.lineBreak)]);
    }
    out.append(QByteArrayView(FSource).sliced(FTailOffset));
    return out;
}
