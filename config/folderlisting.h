#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The entries of one folder by case-folded name. Nearly every name is the only one of its folded
// form, and is kept as a plain string; only names that differ from others in letter case alone
// are kept as lists.
class TFolderListing
{
public:
    void Add(const QString &name);
    void Remove(const QString &name);

    // The entries whose names equal the given one, letter case ignored, sorted.
    QStringList Find(const QString &name) const;

private:
    QHash<QString, QString> FNames; // folded name -> the one entry of it
    QHash<QString, QStringList> FTwins; // folded name -> its entries, when there are several
};
