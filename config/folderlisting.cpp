#include "config/folderlisting.h"

void TFolderListing::Add(const QString &name)
{
    const QString folded = name.toCaseFolded();
    if (const auto twins = FTwins.find(folded); twins != FTwins.end()) {
        twins->append(name);
        return;
    }
    const auto single = FNames.constFind(folded);
    if (single == FNames.constEnd()) {
        FNames.insert(folded, name);
        return;
    }
    FTwins.insert(folded, QStringList{*single, name});
    FNames.erase(single);
}

void TFolderListing::Remove(const QString &name)
{
    const QString folded = name.toCaseFolded();
    if (const auto twins = FTwins.find(folded); twins != FTwins.end()) {
        twins->removeOne(name);
        if (twins->size() == 1) {
            FNames.insert(folded, twins->first());
            FTwins.erase(twins);
        }
        return;
    }
    if (FNames.value(folded) == name)
        FNames.remove(folded);
}

QStringList TFolderListing::Find(const QString &name) const
{
    const QString folded = name.toCaseFolded();
    if (const auto single = FNames.constFind(folded); single != FNames.constEnd())
        return {*single};
    QStringList entries = FTwins.value(folded);
    entries.sort();
    return entries;
}
