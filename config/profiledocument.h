#pragma once

#include "config/profileencoding.h"
#include "config/profilenametable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

// The parsed content of a control file. It keeps the file's bytes and, per line, only where the
// line begins in them, so that writing it back reproduces each line that was not changed byte for
// byte; only changed and new lines are held as text. Names and values are decoded when they are
// asked for. Names of sections and keys are matched ignoring case and surrounding blanks; only
// the first section of a name, and inside it the first key of a name, is read and written.
// Files of 512 MiB or more are read up to there; the rest is kept as it is.
class TProfileDocument
{
public:
    explicit TProfileDocument(const QByteArray &data = {});

    // The key's value without one pair of enclosing quotes; nothing when section or key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    // Every key line of the section in file order, duplicates included, names as spelled.
    QStringList keyNames(QStringView section) const;
    // The same key lines, each with the value that value() gives for its name, in one walk through
    // the section instead of a lookup per key. Both lists are emptied first.
    void keysAndValues(QStringView section, QStringList &names, QStringList &values) const;
    bool hasSection(QStringView section) const { return findSection(section).has_value(); }

    // Names that the file could not hold without changing its structure.
    static bool isStorableSection(QStringView section);
    static bool isStorableKey(QStringView key);

    // Sets the key (names must be storable). The value is stored on one line and trimmed. Returns
    // false when the key already holds exactly this value, so nothing changed.
    bool setValue(QStringView section, QStringView key, QStringView value);

    QByteArray toBytes() const;
    // The bytes the document was read from, whatever was set since.
    const QByteArray &sourceBytes() const { return FSource; }

private:
    static constexpr quint32 NoIndex = 0xFFFFFFFFu;
    // The flags of a line read from the file, beside where it begins.
    static constexpr quint32 ChangedBit = 0x80000000u; // a write changed it: see FChangedLines
    static constexpr quint32 KeyBit = 0x40000000u;
    // The first key of its name in its section, the one that is read and written.
    static constexpr quint32 FirstOfNameBit = 0x20000000u;
    static constexpr quint32 OffsetMask = 0x1FFFFFFFu;

    // Where a line read from the file lies, in bytes; its content ends before its line break.
    // Its offsets are full words: the record is then handed back in memory. Packed into
    // registers, as a smaller one is, its unpacking stalled on the writes of its parts, which
    // made this small function one of the costliest of a load.
    struct Extent
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        TLineBreak lineBreak = TLineBreak::None;
    };
    // A line that a write added; it ends with the document's line break.
    struct AddedLine
    {
        QString text;
        quint32 next = NoIndex; // the added line that follows it directly
        quint32 nextKey = NoIndex; // the next key added to its section
    };
    // A header line and the lines up to the next; FSections[0] holds the lines before the first
    // header and has no header line. A key is known by its line; the keys read from the file are
    // the key lines from firstKey to lastKey.
    struct Section
    {
        quint32 header = NoIndex;
        quint32 firstKey = NoIndex;
        quint32 lastKey = NoIndex;
        quint32 keyCount : 31 = 0; // read from the file
        quint32 indexed : 1 = 0; // the first section of its name, the one that is read
        // The key found last: callers mostly read a section's keys in file order, so the next
        // lookup is tried on this key and the few behind it before anything else.
        mutable quint32 recentKey = NoIndex;
    };
    // What only some sections have: keys added by writes, and the index of a large section's
    // keys, made at the first lookup that the keys in file order do not answer.
    struct SectionExtra
    {
        quint32 firstAdded = NoIndex; // chained through AddedLine::nextKey
        quint32 lastAdded = NoIndex;
        quint32 addedCount = 0;
        bool hasIndex = false;
        TProfileNameTable index; // first key of each folded name
    };
    // Where the parts of a line lie, in units (bytes, UTF-16 units or characters) of the line.
    struct Parts
    {
        enum Kind : quint8 { Other, Header, Key } kind = Other;
        qsizetype nameBegin = 0;
        qsizetype nameEnd = 0;
        qsizetype valueBegin = 0;
        qsizetype valueEnd = 0;
    };

    template<class Units>
    static Parts parseParts(const Units &units);
    template<class Units>
    void parseUnits(const Units &units, qsizetype bomSize);
    // `seen` is a table for the names of a large section, kept from one section to the next.
    void markFirstKeys(const std::vector<quint32> &keyLines, const std::vector<quint32> &keyHashes,
                       TProfileNameTable &seen);
    void buildSectionIndex(const std::vector<quint32> &sectionHashes);

    bool isAdded(quint32 line) const { return line >= FLines.size(); }
    Extent extentOf(quint32 line) const;
    const QString *textOfLine(quint32 line) const; // the text of a changed or added line
    template<class Function>
    auto withUnits(quint32 line, Function &&function) const;
    Parts partsOf(quint32 line) const;
    // Decodes units [begin, end) of a line read from the file that begins at lineBegin.
    QString decodePart(quint32 lineBegin, qsizetype lineUnits, qsizetype begin,
                       qsizetype end) const;
    QString textOf(quint32 line, qsizetype begin, qsizetype end) const;
    QString foldedNameOf(quint32 line) const;
    // The value of a key line without one pair of enclosing quotes.
    QString valueOf(quint32 line, const Parts &parts) const;
    quint32 nameHashOf(quint32 line) const;
    // Whether the line's name equals a folded name.
    bool nameEquals(quint32 line, QStringView folded) const;
    bool sectionNameEquals(quint32 section, QStringView folded) const;

    // Whether the key is the first of its name in its section.
    bool isFirstOfName(quint32 key) const;
    // The section's first key, and the key after another, in file order.
    quint32 firstKeyOf(quint32 section) const;
    quint32 keyAfter(quint32 section, quint32 key) const;
    quint32 keyCountOf(quint32 section) const;
    const TProfileNameTable &keyIndexOf(quint32 section) const;

    std::optional<quint32> findSection(QStringView section) const;
    std::optional<quint32> findKey(quint32 section, QStringView key) const;
    // A new line behind `after` (NoIndex: at the start); a line before it that ended the file
    // gets a line break first.
    quint32 insertLine(quint32 after, const QString &text);
    void addKey(quint32 section, quint32 line, const QString &name);
    // The text as it will read back from the file ('?' for what the encoding cannot hold).
    QString storable(QStringView text) const;

    QByteArray FSource;
    TProfileEncoding FEncoding;
    qsizetype FTailOffset = 0; // bytes from here on belong to no line (odd end of UTF-16 data)
    TLineBreak FNewLineBreak = TLineBreak::CrLf;
    // Lines read from the file, in file order: where each begins in FSource, and its flags.
    std::vector<quint32, TLargePageAllocator<quint32>> FLines;
    std::unordered_map<quint32, QString> FChangedLines;
    // Added lines are numbered on from the lines read; each read line (NoIndex: the start of the
    // file) leads to the added lines directly behind it.
    std::vector<AddedLine> FAddedLines;
    std::unordered_map<quint32, quint32> FAddedAfter;
    bool FBreakAfterLastLine = false; // the last line read had none and something was added behind
    quint32 FLastLine = NoIndex;
    std::vector<Section> FSections;
    mutable std::unordered_map<quint32, SectionExtra> FSectionExtras;
    TProfileNameTable FSectionIndex; // first section of each folded name
    // The sections found last with their folded names, tried (and the ones behind them) before
    // the index is asked. A section once found stays the one of its name: a write adds a
    // section only for a name that has none.
    struct RecentSection
    {
        quint32 index = NoIndex;
        QString folded;
    };
    mutable std::array<RecentSection, 2> FRecentSections;
    mutable QString FLookupName; // folded name of the current lookup; spares an allocation each
};
