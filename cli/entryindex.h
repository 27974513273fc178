#pragma once

#include <QHash>
#include <QList>
#include <QString>

class TCheckTreeModel;
class TCheckTreeNode;

// The top-level nodes of the object tree by their key (object key, group or switch section),
// letter case ignored as the control file ignores it. Built once in one pass over the tree, so
// that looking up many names costs as much as looking up one.
class TEntryIndex
{
public:
    explicit TEntryIndex(const TCheckTreeModel &tree);

    // The nodes of this name in tree order; several when entries differ only in letter case.
    QList<TCheckTreeNode *> Find(const QString &name) const;

private:
    QHash<QString, QList<TCheckTreeNode *>> FNodes;
};
