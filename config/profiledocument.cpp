#include "config/profiledocument.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Only spaces and tabs surround names and values; other white space belongs to them.
QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
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
        *dest++ = QChar((u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u);
    }
}

QString foldName(QStringView name)
{
    QString folded;
    foldNameInto(name, folded);
    return folded;
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

struct ParsedLine
{
    enum Kind { Other, Header, Key } kind = Other;
    QStringView name;
    QStringView value;
};

ParsedLine parseLine(QStringView text)
{
    qsizetype first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first == text.size() || text[first] == u';')
        return {};
    if (text[first] == u'[') {
        const qsizetype close = text.indexOf(u']', first + 1);
        if (close >= 0)
            return {ParsedLine::Header, trimBlanks(text.sliced(first + 1, close - first - 1)), {}};
    }
    const qsizetype eq = text.indexOf(u'=', first);
    if (eq < 0)
        return {};
    return {ParsedLine::Key, trimBlanks(text.sliced(first, eq - first)),
            trimBlanks(text.sliced(eq + 1))};
}

} // namespace

size_t TNameHash::operator()(const QString &name) const noexcept
{
    quint64 hash = 14695981039346656037ull;
    for (const QChar c : name)
        hash = (hash ^ c.unicode()) * 1099511628211ull;
    return size_t(hash);
}

TProfileDocument::TProfileDocument(const QByteArray &data)
    : FSource(data)
    , FEncoding(TProfileEncoding::detect(data))
{
    parse();
}

void TProfileDocument::parse()
{
    const qsizetype bomSize = FEncoding.bom().size();
    const QByteArrayView body = QByteArrayView(FSource).sliced(bomSize);
    std::vector<TRawLine> rawLines = FEncoding.splitLines(body, &FTailOffset);
    FTailOffset += bomSize;
    if (!rawLines.empty() && rawLines.front().lineBreak != TLineBreak::None)
        FNewLineBreak = rawLines.front().lineBreak;

    FSections.emplace_back();
    for (const TRawLine &raw : rawLines) {
        const QString text = FEncoding.decode(body.sliced(raw.offset, raw.length));
        const ParsedLine parsed = parseLine(text);
        if (parsed.kind == ParsedLine::Header) {
            FSections.emplace_back();
            FSections.back().name = parsed.name.toString();
        }
        Section &section = FSections.back();
        section.lines.push_back(Line{bomSize + raw.offset, raw.length, raw.lineBreak, false, {}});
        if (parsed.kind == ParsedLine::Key) {
            section.keys.push_back(KeyLine{qsizetype(section.lines.size() - 1),
                                           parsed.name.toString(), parsed.value.toString()});
        }
    }

    // The indexes are built once the sizes are known, which spares the hashes from growing.
    // Walking backwards lets the first entry of a name overwrite the later ones.
    FSectionIndex.reserve(FSections.size());
    for (size_t i = FSections.size() - 1; i > 0; --i)
        FSectionIndex.insert_or_assign(foldName(FSections[i].name), qsizetype(i));
    // Lines before the first header form a section with the empty name only if they hold keys.
    if (!FSections.front().keys.empty())
        FSectionIndex.insert_or_assign(QString(), 0);
    for (Section &section : FSections) {
        section.keyIndex.reserve(section.keys.size());
        for (size_t i = section.keys.size(); i-- > 0;)
            section.keyIndex.insert_or_assign(foldName(section.keys[i].name), qsizetype(i));
    }
}

void TProfileDocument::addKey(Section &section, qsizetype lineIndex, const QString &name,
                              const QString &value)
{
    section.keyIndex.try_emplace(foldName(name), qsizetype(section.keys.size()));
    section.keys.push_back(KeyLine{lineIndex, name, value});
}

const TProfileDocument::Section *TProfileDocument::findSection(QStringView section) const
{
    foldNameInto(section, FLookupName);
    const auto it = FSectionIndex.find(FLookupName);
    return it == FSectionIndex.end() ? nullptr : &FSections[size_t(it->second)];
}

std::optional<QString> TProfileDocument::value(QStringView section, QStringView key) const
{
    const Section *found = findSection(section);
    if (!found)
        return std::nullopt;
    foldNameInto(key, FLookupName);
    const auto it = found->keyIndex.find(FLookupName);
    if (it == found->keyIndex.end())
        return std::nullopt;
    const QString &value = found->keys[size_t(it->second)].value;
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\'')) {
        return value.sliced(1, value.size() - 2);
    }
    return value;
}

QStringList TProfileDocument::keyNames(QStringView section) const
{
    QStringList names;
    if (const Section *found = findSection(section)) {
        names.reserve(qsizetype(found->keys.size()));
        for (const KeyLine &key : found->keys)
            names.append(key.name);
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

    const QString sectionKey = foldName(sectionName);
    const auto sectionIt = FSectionIndex.find(sectionKey);
    if (sectionIt == FSectionIndex.end()) {
        FSections.emplace_back();
        Section &added = FSections.back();
        added.name = sectionName;
        FSectionIndex.emplace(sectionKey, qsizetype(FSections.size() - 1));
        // The line before the new section is the last line of the last section that has lines.
        auto previous = FSections.rbegin() + 1;
        while (previous != FSections.rend() && previous->lines.empty())
            ++previous;
        if (previous != FSections.rend() && previous->lines.back().lineBreak == TLineBreak::None)
            previous->lines.back().lineBreak = FNewLineBreak;
        insertLine(added, 0, u'[' + sectionName + u']');
        insertLine(added, 1, keyName + u'=' + newValue);
        addKey(added, 1, keyName, newValue);
        return true;
    }

    Section &target = FSections[size_t(sectionIt->second)];
    const auto keyIt = target.keyIndex.find(foldName(keyName));
    if (keyIt != target.keyIndex.end()) {
        KeyLine &existing = target.keys[size_t(keyIt->second)];
        if (existing.value == newValue)
            return false;
        existing.value = newValue;
        // Only the value changes: the blanks, the name and the '=' stay as the file has them.
        // Rewriting the whole line would drop leading blanks, and a first line that then began
        // with a byte-order mark's bytes would change how the whole file is read.
        Line &line = target.lines[size_t(existing.line)];
        const QString current = line.rewritten
            ? line.text
            : FEncoding.decode(QByteArrayView(FSource).sliced(line.offset, line.length));
        qsizetype valueStart = current.indexOf(u'=') + 1;
        while (valueStart < current.size() && isBlank(current[valueStart]))
            ++valueStart;
        line.rewritten = true;
        line.text = current.first(valueStart) + newValue;
        return true;
    }

    // Behind the last key line; a section without keys has its header as first line.
    const qsizetype index = target.keys.empty() ? 1 : target.keys.back().line + 1;
    insertLine(target, index, keyName + u'=' + newValue);
    addKey(target, index, keyName, newValue);
    return true;
}

void TProfileDocument::insertLine(Section &section, qsizetype index, const QString &text)
{
    if (index > 0 && section.lines[size_t(index - 1)].lineBreak == TLineBreak::None)
        section.lines[size_t(index - 1)].lineBreak = FNewLineBreak;
    section.lines.insert(section.lines.begin() + index, Line{0, 0, FNewLineBreak, true, text});
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
    for (const Section &section : FSections) {
        for (const Line &line : section.lines) {
            if (line.rewritten)
                out.append(FEncoding.encode(line.text));
            else
                out.append(QByteArrayView(FSource).sliced(line.offset, line.length));
            out.append(breaks[size_t(line.lineBreak)]);
        }
    }
    out.append(QByteArrayView(FSource).sliced(FTailOffset));
    return out;
}
