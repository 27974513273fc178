#include "config/profiledocument.h"

#include <QtEndian>

#include <algorithm>
#include <limits>
#include <utility>

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

namespace {

// Keys tried behind the one found last before a section's keys are searched otherwise: loading
// reads a section's keys in file order, but one kind of entry at a time, so it skips a few.
constexpr int LookAhead = 8;
// Sections of up to this many keys are searched key by key; larger ones get an index.
constexpr quint32 SmallSection = 16;

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
    // Line offsets are 29 bits wide; whatever lies beyond stays as it is, like an odd tail.
    const qsizetype parsed
        = std::min<qsizetype>(FSource.size() - bomSize, qsizetype(OffsetMask) - bomSize);
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

// Splits the units into lines (CR LF, LF and a lone CR each end one) and records where each
// line begins and which lines are headers and keys. A line's end and break are not kept: the
// next line's beginning and the units before it tell them.
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
    std::vector<quint32> sectionHashes{0};
    std::vector<quint32> keyLines; // of the current section
    std::vector<quint32> keyHashes;
    TProfileNameTable seen;
    FSections.emplace_back();

    qsizetype start = 0;
    while (start < count) {
        qsizetype end = start;
        while (end < count && units[end] != u'\r' && units[end] != u'\n')
            ++end;
        qsizetype next = end;
        if (end < count) {
            const bool crlf = units[end] == u'\r' && end + 1 < count && units[end + 1] == u'\n';
            if (FLines.empty())
                FNewLineBreak = crlf ? TLineBreak::CrLf
                                     : (units[end] == u'\r' ? TLineBreak::Cr : TLineBreak::Lf);
            next = end + (crlf ? 2 : 1);
        }
        const auto index = quint32(FLines.size());
        const auto lineBegin = quint32(bomSize + start * unitSize);
        FLines.push_back(lineBegin);

        const Units lineUnits{units.data + start * unitSize, end - start};
        const Parts parts = parseParts(lineUnits);
        if (parts.kind != Parts::Other) {
            std::optional<quint32> hash = asciiNameHash(lineUnits, parts.nameBegin, parts.nameEnd);
            if (!hash)
                hash = hashFolded(
                    foldName(decodePart(lineBegin, end - start, parts.nameBegin, parts.nameEnd)));
            if (parts.kind == Parts::Header) {
                markFirstKeys(keyLines, keyHashes, seen);
                keyLines.clear();
                keyHashes.clear();
                Section section;
                section.header = index;
                FSections.push_back(section);
                sectionHashes.push_back(*hash);
            } else {
                FLines.back() |= KeyBit;
                Section &owner = FSections.back();
                if (owner.keyCount == 0)
                    owner.firstKey = index;
                owner.lastKey = index;
                ++owner.keyCount;
                keyLines.push_back(index);
                keyHashes.push_back(*hash);
            }
        }
        start = next;
    }
    markFirstKeys(keyLines, keyHashes, seen);
    if (!FLines.empty())
        FLastLine = quint32(FLines.size() - 1);
    buildSectionIndex(sectionHashes);
}

// Marks the first key of each name among the section's keys, which lookups may take as soon as
// they meet it; later keys of that name are never read.
void TProfileDocument::markFirstKeys(const std::vector<quint32> &keyLines,
                                     const std::vector<quint32> &keyHashes, TProfileNameTable &seen)
{
    const auto count = quint32(keyHashes.size());
    std::optional<QString> folded; // of the key being marked, made only when a hash repeats
    const auto sameName = [&](quint32 earlier, quint32 later) {
        if (!folded)
            folded = foldedNameOf(keyLines[later]);
        return nameEquals(keyLines[earlier], *folded);
    };
    if (count <= SmallSection) {
        for (quint32 k = 0; k < count; ++k) {
            folded.reset();
            bool isFirst = true;
            for (quint32 e = 0; e < k && isFirst; ++e)
                isFirst = keyHashes[e] != keyHashes[k] || !sameName(e, k);
            if (isFirst)
                FLines[keyLines[k]] |= FirstOfNameBit;
        }
        return;
    }
    seen.reset(count);
    for (quint32 k = 0; k < count; ++k) {
        folded.reset();
        if (!seen.find(keyHashes[k], [&](quint32 e) { return sameName(e, k); })) {
            seen.add(keyHashes[k], k);
            FLines[keyLines[k]] |= FirstOfNameBit;
        }
    }
}

// The first section of a name wins; a later one of the same name is not indexed. Lines before
// the first header form a section with the empty name only if they hold keys, and then it wins
// over a header with the empty name.
void TProfileDocument::buildSectionIndex(const std::vector<quint32> &sectionHashes)
{
    FSectionIndex.reserve(qsizetype(FSections.size()));
    if (FSections.front().keyCount > 0) {
        FSectionIndex.add(hashFolded(QStringView()), 0);
        FSections.front().indexed = 1;
    }
    for (quint32 s = 1; s < FSections.size(); ++s) {
        const QString folded = foldedNameOf(FSections[s].header);
        // Compared only for names of the same hash, which are mostly the same name.
        if (!FSectionIndex.find(sectionHashes[s],
                                [&](quint32 other) { return sectionNameEquals(other, folded); })) {
            FSectionIndex.add(sectionHashes[s], s);
            FSections[s].indexed = 1;
        }
    }
}

TProfileDocument::Extent TProfileDocument::extentOf(quint32 line) const
{
    const auto unit = quint32(FEncoding.unitSize());
    const quint32 begin = FLines[line] & OffsetMask;
    const quint32 next
        = line + 1 < FLines.size() ? FLines[line + 1] & OffsetMask : quint32(FTailOffset);
    Extent extent{begin, next, TLineBreak::None};
    const auto *data = reinterpret_cast<const uchar *>(FSource.constData());
    const TProfileEncoding::Kind kind = FEncoding.kind();
    const auto unitAt = [data, unit, kind](quint32 offset) -> char16_t {
        if (unit == 1)
            return data[offset];
        return kind == TProfileEncoding::Kind::Utf16LE ? qFromLittleEndian<quint16>(data + offset)
                                                       : qFromBigEndian<quint16>(data + offset);
    };
    if (next > begin) {
        const char16_t last = unitAt(next - unit);
        if (last == u'\r') {
            extent = {begin, next - unit, TLineBreak::Cr};
        } else if (last == u'\n') {
            const bool crlf = next - begin >= 2 * unit && unitAt(next - 2 * unit) == u'\r';
            extent
                = {begin, next - (crlf ? 2 : 1) * unit, crlf ? TLineBreak::CrLf : TLineBreak::Lf};
        }
    }
    // Only the last line can end without a break.
    if (extent.lineBreak == TLineBreak::None && FBreakAfterLastLine)
        extent.lineBreak = FNewLineBreak;
    return extent;
}

const QString *TProfileDocument::textOfLine(quint32 line) const
{
    if (isAdded(line))
        return &FAddedLines[line - FLines.size()].text;
    if (FLines[line] & ChangedBit)
        return &FChangedLines.find(line)->second;
    return nullptr;
}

template<class Function>
auto TProfileDocument::withUnits(quint32 line, Function &&function) const
{
    if (const QString *text = textOfLine(line))
        return function(TextUnits{text->constData(), text->size()});
    const Extent extent = extentOf(line);
    const auto *data = reinterpret_cast<const uchar *>(FSource.constData()) + extent.begin;
    const qsizetype length = extent.end - extent.begin;
    switch (FEncoding.kind()) {
    case TProfileEncoding::Kind::Utf16LE:
        return function(Utf16Units<true>{data, length / 2});
    case TProfileEncoding::Kind::Utf16BE:
        return function(Utf16Units<false>{data, length / 2});
    case TProfileEncoding::Kind::Windows1252:
    case TProfileEncoding::Kind::Utf8:
        break;
    }
    return function(ByteUnits{data, length});
}

TProfileDocument::Parts TProfileDocument::partsOf(quint32 line) const
{
    return withUnits(line, [](const auto &units) { return parseParts(units); });
}

QString TProfileDocument::decodePart(quint32 lineBegin, qsizetype lineUnits, qsizetype begin,
                                     qsizetype end) const
{
    const qsizetype unitSize = FEncoding.unitSize();
    QByteArrayView bytes
        = QByteArrayView(FSource).sliced(lineBegin + begin * unitSize, (end - begin) * unitSize);
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

QString TProfileDocument::textOf(quint32 line, qsizetype begin, qsizetype end) const
{
    if (const QString *text = textOfLine(line))
        return text->sliced(begin, end - begin);
    const Extent extent = extentOf(line);
    return decodePart(extent.begin, (extent.end - extent.begin) / FEncoding.unitSize(), begin, end);
}

QString TProfileDocument::foldedNameOf(quint32 line) const
{
    const Parts parts = partsOf(line);
    return foldName(textOf(line, parts.nameBegin, parts.nameEnd));
}

quint32 TProfileDocument::nameHashOf(quint32 line) const
{
    const std::optional<quint32> ascii = withUnits(line, [](const auto &units) {
        const Parts parts = parseParts(units);
        return asciiNameHash(units, parts.nameBegin, parts.nameEnd);
    });
    return ascii ? *ascii : hashFolded(foldedNameOf(line));
}

bool TProfileDocument::nameEquals(quint32 line, QStringView folded) const
{
    const std::optional<bool> ascii = withUnits(line, [folded](const auto &units) {
        const Parts parts = parseParts(units);
        return asciiNameEquals(units, parts.nameBegin, parts.nameEnd, folded);
    });
    if (ascii)
        return *ascii;
    return foldedNameOf(line) == folded;
}

bool TProfileDocument::sectionNameEquals(quint32 section, QStringView folded) const
{
    if (section == 0)
        return folded.isEmpty();
    return nameEquals(FSections[section].header, folded);
}

bool TProfileDocument::isFirstOfName(quint32 key) const
{
    // A key is added only when its section has none of its name.
    return isAdded(key) || (FLines[key] & FirstOfNameBit) != 0;
}

quint32 TProfileDocument::firstKeyOf(quint32 section) const
{
    const Section &owner = FSections[section];
    if (owner.keyCount > 0)
        return owner.firstKey;
    const auto extra = FSectionExtras.find(section);
    return extra == FSectionExtras.end() ? NoIndex : extra->second.firstAdded;
}

quint32 TProfileDocument::keyAfter(quint32 section, quint32 key) const
{
    if (isAdded(key))
        return FAddedLines[key - FLines.size()].nextKey;
    const Section &owner = FSections[section];
    for (quint32 line = key + 1; line <= owner.lastKey; ++line) {
        if (FLines[line] & KeyBit)
            return line;
    }
    const auto extra = FSectionExtras.find(section);
    return extra == FSectionExtras.end() ? NoIndex : extra->second.firstAdded;
}

quint32 TProfileDocument::keyCountOf(quint32 section) const
{
    const auto extra = FSectionExtras.find(section);
    return FSections[section].keyCount
        + (extra == FSectionExtras.end() ? 0 : extra->second.addedCount);
}

const TProfileNameTable &TProfileDocument::keyIndexOf(quint32 section) const
{
    SectionExtra &extra = FSectionExtras[section];
    if (!extra.hasIndex) {
        extra.index.reserve(keyCountOf(section));
        for (quint32 k = firstKeyOf(section); k != NoIndex; k = keyAfter(section, k)) {
            if (isFirstOfName(k))
                extra.index.add(nameHashOf(k), k);
        }
        extra.hasIndex = true;
    }
    return extra.index;
}

std::optional<quint32> TProfileDocument::findSection(QStringView section) const
{
    foldNameInto(section, FLookupName);
    // The name asked for last is mostly asked again: known by its folded name, without a look
    // at its header line.
    for (const RecentSection &recent : FRecentSections) {
        if (recent.index != NoIndex && recent.folded == FLookupName)
            return recent.index;
    }
    const auto remember = [this](quint32 found) {
        if (FRecentSections[0].index != found) {
            std::swap(FRecentSections[0], FRecentSections[1]);
            // Copied into the buffer the entry has, so that neither name is shared and the next
            // fold into FLookupName needs no allocation.
            QString &folded = FRecentSections[0].folded;
            folded.resize(FLookupName.size());
            std::copy(FLookupName.cbegin(), FLookupName.cend(), folded.begin());
            FRecentSections[0].index = found;
        }
        return found;
    };
    const auto isFound = [this](quint32 s) {
        return s < FSections.size() && FSections[s].indexed && sectionNameEquals(s, FLookupName);
    };
    for (const RecentSection &recent : FRecentSections) {
        if (recent.index == NoIndex)
            continue;
        if (isFound(recent.index + 1))
            return remember(recent.index + 1);
    }
    const std::optional<quint32> found = FSectionIndex.find(
        hashFolded(FLookupName), [this](quint32 s) { return sectionNameEquals(s, FLookupName); });
    if (found)
        remember(*found);
    return found;
}

// Tries the key found last and the few behind it, then the section's first few keys: a reader
// goes on behind the key it read last, or starts over at the top. Then it searches a small
// section key by key and asks a large one's index.
std::optional<quint32> TProfileDocument::findKey(quint32 section, QStringView key) const
{
    foldNameInto(key, FLookupName);
    const Section &owner = FSections[section];
    std::optional<quint32> found;
    // Whether the keys from `from` on have all been looked at without finding the name.
    const auto lookFrom = [&](quint32 from) {
        quint32 k = from;
        for (int step = 0; step <= LookAhead && k != NoIndex; ++step, k = keyAfter(section, k)) {
            if (isFirstOfName(k) && nameEquals(k, FLookupName)) {
                found = k;
                return false;
            }
        }
        return k == NoIndex;
    };
    const quint32 first = firstKeyOf(section);
    if (owner.recentKey != NoIndex && owner.recentKey != first)
        lookFrom(owner.recentKey);
    // Every first key of a name has been looked at: the name is not there.
    if (!found && lookFrom(first))
        return std::nullopt;
    if (!found && keyCountOf(section) <= SmallSection) {
        for (quint32 k = first; k != NoIndex && !found; k = keyAfter(section, k)) {
            if (nameEquals(k, FLookupName))
                found = k;
        }
    } else if (!found) {
        found = keyIndexOf(section).find(hashFolded(FLookupName), [this](quint32 candidate) {
            return nameEquals(candidate, FLookupName);
        });
    }
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
    return valueOf(*foundKey, partsOf(*foundKey));
}

QString TProfileDocument::valueOf(quint32 line, const Parts &parts) const
{
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
    names.reserve(keyCountOf(*found));
    for (quint32 k = firstKeyOf(*found); k != NoIndex; k = keyAfter(*found, k)) {
        const quint32 line = k;
        const Parts parts = partsOf(line);
        names.append(textOf(line, parts.nameBegin, parts.nameEnd));
    }
    return names;
}

void TProfileDocument::keysAndValues(QStringView section, QStringList &names,
                                     QStringList &values) const
{
    names.clear();
    values.clear();
    const std::optional<quint32> found = findSection(section);
    if (!found)
        return;
    const quint32 count = keyCountOf(*found);
    names.reserve(count);
    values.reserve(count);
    for (quint32 k = firstKeyOf(*found); k != NoIndex; k = keyAfter(*found, k)) {
        const Parts parts = partsOf(k);
        names.append(textOf(k, parts.nameBegin, parts.nameEnd));
        if (isFirstOfName(k)) {
            values.append(valueOf(k, parts));
        } else {
            // A later key of a name reads as the first key of that name.
            const quint32 first = findKey(*found, names.back()).value_or(k);
            values.append(valueOf(first, partsOf(first)));
        }
    }
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
        Section created;
        created.header = insertLine(FLastLine, u'[' + sectionName + u']');
        created.indexed = 1;
        FSections.push_back(created);
        FSectionIndex.add(hashFolded(foldName(sectionName)), added);
        addKey(added, insertLine(created.header, keyName + u'=' + newValue), keyName);
        return true;
    }

    if (const std::optional<quint32> existing = findKey(*found, keyName)) {
        const quint32 line = *existing;
        const Parts parts = partsOf(line);
        if (textOf(line, parts.valueBegin, parts.valueEnd) == newValue)
            return false;
        // Only the value changes: the blanks, the name and the '=' stay as the file has them.
        // Rewriting the whole line would drop leading blanks, and a first line that then began
        // with a byte-order mark's bytes would change how the whole file is read.
        QString current;
        if (const QString *text = textOfLine(line)) {
            current = *text;
        } else {
            const Extent extent = extentOf(line);
            current = FEncoding.decode(
                QByteArrayView(FSource).sliced(extent.begin, extent.end - extent.begin));
        }
        qsizetype valueStart = current.indexOf(u'=') + 1;
        while (valueStart < current.size() && isBlank(current[valueStart].unicode()))
            ++valueStart;
        QString text = current.first(valueStart) + newValue;
        if (isAdded(line)) {
            FAddedLines[line - FLines.size()].text = std::move(text);
        } else {
            FChangedLines[line] = std::move(text);
            FLines[line] |= ChangedBit;
        }
        return true;
    }

    // Behind the last key line; a section without keys has its header as first line.
    const auto extra = FSectionExtras.find(*found);
    const Section &target = FSections[*found];
    quint32 after = target.header;
    if (extra != FSectionExtras.end() && extra->second.lastAdded != NoIndex)
        after = extra->second.lastAdded;
    else if (target.keyCount > 0)
        after = target.lastKey;
    addKey(*found, insertLine(after, keyName + u'=' + newValue), keyName);
    return true;
}

quint32 TProfileDocument::insertLine(quint32 after, const QString &text)
{
    const auto id = quint32(FLines.size() + FAddedLines.size());
    quint32 next = NoIndex;
    if (after != NoIndex && isAdded(after)) {
        AddedLine &previous = FAddedLines[after - FLines.size()];
        next = previous.next;
        previous.next = id;
    } else {
        if (after != NoIndex && after + 1 == FLines.size())
            FBreakAfterLastLine = true;
        quint32 &first = FAddedAfter.try_emplace(after, NoIndex).first->second;
        next = first;
        first = id;
    }
    FAddedLines.push_back(AddedLine{text, next});
    if (after == FLastLine)
        FLastLine = id;
    return id;
}

void TProfileDocument::addKey(quint32 section, quint32 line, const QString &name)
{
    SectionExtra &extra = FSectionExtras[section];
    if (extra.lastAdded == NoIndex)
        extra.firstAdded = line;
    else
        FAddedLines[extra.lastAdded - FLines.size()].nextKey = line;
    extra.lastAdded = line;
    ++extra.addedCount;
    if (extra.hasIndex)
        extra.index.add(hashFolded(foldName(name)), line);
}

// Runs of unchanged lines are copied from the source in one piece, line breaks and all.
QByteArray TProfileDocument::toBytes() const
{
    const QByteArray breaks[] = {
        {},
        FEncoding.lineBreakBytes(TLineBreak::CrLf),
        FEncoding.lineBreakBytes(TLineBreak::Lf),
        FEncoding.lineBreakBytes(TLineBreak::Cr),
    };
    const auto appendAddedAfter = [&](QByteArray &out, quint32 anchor) {
        const auto first = FAddedAfter.find(anchor);
        if (first == FAddedAfter.end())
            return false;
        for (quint32 id = first->second; id != NoIndex;) {
            const AddedLine &line = FAddedLines[id - FLines.size()];
            out.append(FEncoding.encode(line.text));
            out.append(breaks[size_t(FNewLineBreak)]);
            id = line.next;
        }
        return true;
    };
    QByteArray out;
    out.reserve(FSource.size() + FSource.size() / 8 + 64);
    out.append(FEncoding.bom());
    appendAddedAfter(out, NoIndex);
    const QByteArrayView source(FSource);
    qsizetype runBegin = FEncoding.bom().size();
    const auto last = quint32(FLines.size() - 1);
    for (quint32 i = 0; i < FLines.size(); ++i) {
        const bool changed = (FLines[i] & ChangedBit) != 0;
        const bool followed = !FAddedAfter.empty() && FAddedAfter.contains(i);
        if (!changed && !followed && !(i == last && FBreakAfterLastLine))
            continue;
        const Extent extent = extentOf(i);
        out.append(source.sliced(runBegin, extent.begin - runBegin));
        if (changed)
            out.append(FEncoding.encode(FChangedLines.find(i)->second));
        else
            out.append(source.sliced(extent.begin, extent.end - extent.begin));
        out.append(breaks[size_t(extent.lineBreak)]);
        if (followed)
            appendAddedAfter(out, i);
        runBegin = i == last ? FTailOffset : FLines[i + 1] & OffsetMask;
    }
    out.append(source.sliced(runBegin));
    return out;
}
