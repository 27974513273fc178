#pragma once

#include "config/compactstrings.h"

#include <QString>
#include <QStringList>

#include <vector>

// The entries of one folder by name, letter case ignored. A Scenery folder may hold hundreds of
// thousands of files: their names are kept in one buffer and found through a table of the hashes
// of their case-folded forms, not as one string or one map node each.
class TFolderListing
{
public:
    // What the listing tells of an entry without asking the system again.
    enum TKind : quint8 {
        ekFile, // a plain file
        ekOther, // a folder, pipe, device or socket
        ekUnknown, // a link, or an entry the listing does not tell: the system has to be asked
    };

    // The entries of a folder, listed once; a folder that cannot be read lists nothing.
    static TFolderListing Read(const QString &folder);

    void Add(const QString &name, TKind kind);
    void Remove(const QString &name);

    // The entries whose names equal the given one, letter case ignored, sorted.
    QStringList Find(const QString &name) const;
    // The kind of the entry of exactly this name; ekUnknown when there is none.
    TKind Kind(const QString &name) const;

private:
    struct TEntry
    {
        quint32 Hash; // of the case-folded name
        TKind Kind;
        bool Removed;
    };

    static quint32 HashOf(const QString &folded);
    // Calls `visit` with the index of each entry whose folded name has this hash.
    template<typename Visit>
    void ForEachWithHash(quint32 hash, Visit visit) const;
    void Insert(quint32 index);
    void Grow();

    TCompactStrings FNames; // by entry index
    std::vector<TEntry> FEntries;
    std::vector<quint32> FSlots; // entry index + 1, 0 for a free slot; a power of two of them
    // Per slot, eight bits of its entry's hash: a probe passes other names without reading their
    // entries, which lie anywhere in memory.
    std::vector<quint8> FTags;
};
