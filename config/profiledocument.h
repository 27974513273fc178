#pragma once

#include "config/profileencoding.h"
#include "config/profilenametable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

// The parsed content of a control file. It keeps the file's bytes and, per line, only where the
// line lies in them, so that writing it back reproduces each line that was not changed byte for
// byte; only changed and new lines are held as text. Names and values are decoded when they are
// asked for. Names of sections and keys are matched ignoring case and surrounding blanks; only
// the first section of a name, and inside it the first key of a name, is read and written.
// Files of 4 GiB or more are read up to there; the rest is kept as it is.
class TProfileDocument
{
public:
    explicit TProfileDocument(const QByteArray &data = {});

    // The key's value without one pair of enclosing quotes; nothing when section or key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    // Every key line of the section in file order, duplicates included, names as spelled.
    QStringList keyNames(QStringView section) const;
    bool hasSection(QStringView section) const { return findSection(section).has_value(); }

    // Names that the file could not hold without changing its structure.
    static bool isStorableSection(QStringView section);
    static bool isStorableKey(QStringView key);

    // Sets the key (names must be storable). The value is stored on one line and trimmed. Returns
    // false when the key already holds exactly this value, so nothing changed.
    bool setValue(QStringView section, QStringView key, QStringView value);

    QByteArray toBytes() const;

private:
    static constexpr quint32 NoIndex = 0xFFFFFFFFu;

    // A line in file order. Until it is rewritten, its content lies in FSource at offset (in
    // bytes, without its break); afterwards, and for new lines, it is FTexts[offset].
    struct Line
    {
        quint32 offset = 0;
        quint32 length = 0;
        quint32 next = NoIndex; // the line that follows in the file
        TLineBreak lineBreak = TLineBreak::None;
        bool rewritten = false;
    };
    struct Key
    {
        quint32 line = 0;
        quint32 section : 31 = 0;
        quint32 indexed : 1 = 0; // the first of its name in the section, the one that is read
        quint32 next = NoIndex; // the section's next key line
    };
    // A header line and the lines up to the next; FSections[0] holds the lines before the first
    // header and has no header line.
    struct Section
    {
        quint32 header = NoIndex;
        quint32 firstKey = NoIndex;
        quint32 lastKey = NoIndex;
        bool indexed = false; // the first section of its name, the one that is read
        // The key found last: callers mostly read a section's keys in file order, so the next
        // lookup is tried on this key and the one behind it before the index is asked.
        mutable quint32 recentKey = NoIndex;
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
    void buildIndexes(const std::vector<quint32> &sectionHashes,
                      const std::vector<quint32> &keyHashes);

    template<class Function>
    auto withUnits(const Line &line, Function &&function) const;
    Parts partsOf(const Line &line) const;
    QString textOf(const Line &line, qsizetype begin, qsizetype end) const;
    // Whether the line's name equals a folded name.
    bool nameEquals(const Line &line, const Parts &parts, QStringView folded) const;
    bool sectionNameEquals(quint32 section, QStringView folded) const;
    bool keyNameEquals(quint32 key, QStringView folded) const;
    static quint32 keyHash(quint32 nameHash, quint32 section);

    std::optional<quint32> findSection(QStringView section) const;
    std::optional<quint32> findKey(quint32 section, QStringView key) const;
    // A new line behind `after` (NoIndex: at the end); a line before it that ended the file gets
    // a line break first.
    quint32 insertLine(quint32 after, const QString &text);
    void addKey(quint32 section, quint32 line, const QString &name);
    // The text as it will read back from the file ('?' for what the encoding cannot hold).
    QString storable(QStringView text) const;

    QByteArray FSource;
    TProfileEncoding FEncoding;
    qsizetype FTailOffset = 0; // bytes from here on belong to no line (odd end of UTF-16 data)
    TLineBreak FNewLineBreak = TLineBreak::CrLf;
    std::vector<Line> FLines; // in the order they were read or added; `next` gives file order
    quint32 FFirstLine = NoIndex;
    quint32 FLastLine = NoIndex;
    std::vector<QString> FTexts; // rewritten and new lines
    std::vector<Key> FKeys;
    std::vector<Section> FSections;
    TProfileNameTable FSectionIndex; // first section of each folded name
    TProfileNameTable FKeyIndex; // first key of each folded name in each section
    // The sections found last, tried (and the ones behind them) before the index is asked.
    mutable std::array<quint32, 2> FRecentSections{NoIndex, NoIndex};
    mutable QString FLookupName; // folded name of the current lookup; spares an allocation each
};
