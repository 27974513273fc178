#pragma once

#include "config/profileencoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <unordered_map>
#include <vector>

// FNV-1a over the UTF-16 units: much quicker than a seeded hash for short names, which matters when
// loading thousands of entries; a control file is local data, so hash flooding is no concern.
struct TNameHash
{
    size_t operator()(const QString &name) const noexcept;
};
using TNameIndex = std::unordered_map<QString, qsizetype, TNameHash>;

// The parsed content of a control file. It keeps every line's original bytes, so that writing it
// back reproduces each line that was not changed byte for byte; only changed and new lines are
// encoded. Names of sections and keys are matched ignoring case and surrounding blanks; only the
// first section of a name, and inside it the first key of a name, is read and written.
class TProfileDocument
{
public:
    explicit TProfileDocument(const QByteArray &data = {});

    // The key's value without one pair of enclosing quotes; nothing when section or key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    // Every key line of the section in file order, duplicates included, names as spelled.
    QStringList keyNames(QStringView section) const;
    bool hasSection(QStringView section) const { return findSection(section) != nullptr; }

    // Names that the file could not hold without changing its structure.
    static bool isStorableSection(QStringView section);
    static bool isStorableKey(QStringView key);

    // Sets the key (names must be storable). The value is stored on one line and trimmed. Returns
    // false when the key already holds exactly this value, so nothing changed.
    bool setValue(QStringView section, QStringView key, QStringView value);

    QByteArray toBytes() const;

private:
    struct Line
    {
        qsizetype offset = 0; // content bytes in FSource, while the line is not rewritten
        qsizetype length = 0;
        TLineBreak lineBreak = TLineBreak::None;
        bool rewritten = false;
        QString text;
    };
    struct KeyLine
    {
        qsizetype line = 0; // index in the section's lines
        QString name;
        QString value; // trimmed, quotes kept
    };
    // A header line (except for the lines before the first header) and the lines up to the next.
    // New keys are inserted behind the last key line, so no key line ever moves.
    struct Section
    {
        QString name;
        std::vector<Line> lines;
        std::vector<KeyLine> keys;
        TNameIndex keyIndex; // folded name -> first entry in keys
    };

    void parse();
    const Section *findSection(QStringView section) const;
    // Inserts a rewritten line; a line before it that ended the file gets a line break first.
    void insertLine(Section &section, qsizetype index, const QString &text);
    void addKey(Section &section, qsizetype lineIndex, const QString &name, const QString &value);
    // The text as it will read back from the file ('?' for what the encoding cannot hold).
    QString storable(QStringView text) const;

    QByteArray FSource;
    TProfileEncoding FEncoding;
    qsizetype FTailOffset = 0; // bytes from here on belong to no line (odd end of UTF-16 data)
    TLineBreak FNewLineBreak = TLineBreak::CrLf;
    std::vector<Section> FSections; // FSections[0] holds the lines before the first header
    TNameIndex FSectionIndex; // folded name -> first section of that name
    mutable QString FLookupName; // folded name of the current lookup; spares an allocation each
};
