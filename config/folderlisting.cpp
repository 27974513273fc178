#include "config/folderlisting.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QHashFunctions>

#include <algorithm>

namespace {

// The slot of a hash comes from its low bits, its tag from its high ones.
quint8 tagOf(quint32 hash)
{
    return quint8(hash >> 24);
}

} // namespace

// The kinds come with the folder's entries on the usual file systems, so that no file is asked
// for on its own; a link is followed only when a lookup needs it.
TFolderListing TFolderListing::Read(const QString &folder)
{
    TFolderListing listing;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const TKind kind = info.isSymLink() ? ekUnknown : info.isFile() ? ekFile : ekOther;
        listing.Add(info.fileName(), kind);
    }
    return listing;
}

void TFolderListing::Add(const QString &name, TKind kind)
{
    FNames.Append(name);
    FEntries.push_back({HashOf(name.toCaseFolded()), kind, false});
    // At most three slots in four are taken, so that every probe ends at a free one.
    if (FEntries.size() * 4 > FSlots.size() * 3)
        Grow();
    else
        Insert(quint32(FEntries.size() - 1));
}

void TFolderListing::Remove(const QString &name)
{
    ForEachWithHash(HashOf(name.toCaseFolded()), [&](quint32 index) {
        TEntry &entry = FEntries[index];
        if (!entry.Removed && FNames.At(index) == name) {
            entry.Removed = true;
            return false;
        }
        return true;
    });
}

QStringList TFolderListing::Find(const QString &name) const
{
    const QString folded = name.toCaseFolded();
    QStringList entries;
    ForEachWithHash(HashOf(folded), [&](quint32 index) {
        const TEntry &entry = FEntries[index];
        if (entry.Removed)
            return true;
        QString candidate = FNames.At(index);
        if (candidate.toCaseFolded() == folded)
            entries.append(std::move(candidate));
        return true;
    });
    entries.sort();
    return entries;
}

TFolderListing::TKind TFolderListing::Kind(const QString &name) const
{
    TKind kind = ekUnknown;
    ForEachWithHash(HashOf(name.toCaseFolded()), [&](quint32 index) {
        const TEntry &entry = FEntries[index];
        if (entry.Removed || FNames.At(index) != name)
            return true;
        kind = TKind(entry.Kind);
        return false;
    });
    return kind;
}

// Seeded per process, as QHash is: names chosen to collide cannot be prepared in advance.
quint32 TFolderListing::HashOf(const QString &folded)
{
    return quint32(qHash(folded, QHashSeed::globalSeed()));
}

// Linear probing from the hash's slot up to the first free one; `visit` returns false to stop.
template<typename Visit>
void TFolderListing::ForEachWithHash(quint32 hash, Visit visit) const
{
    if (FSlots.empty())
        return;
    const std::size_t mask = FSlots.size() - 1;
    const quint8 tag = tagOf(hash);
    for (std::size_t slot = hash & mask; FSlots[slot] != 0; slot = (slot + 1) & mask) {
        if (FTags[slot] != tag)
            continue;
        const quint32 index = FSlots[slot] - 1;
        if (FEntries[index].Hash == hash && !visit(index))
            return;
    }
}

void TFolderListing::Insert(quint32 index)
{
    const std::size_t mask = FSlots.size() - 1;
    std::size_t slot = FEntries[index].Hash & mask;
    while (FSlots[slot] != 0)
        slot = (slot + 1) & mask;
    FSlots[slot] = index + 1;
    FTags[slot] = tagOf(FEntries[index].Hash);
}

void TFolderListing::Grow()
{
    FSlots.assign(std::max<std::size_t>(16, FSlots.size() * 2), 0);
    FTags.assign(FSlots.size(), 0);
    for (quint32 index = 0; index < FEntries.size(); ++index)
        Insert(index);
}
