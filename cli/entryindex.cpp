#include "cli/entryindex.h"

#include "checkstate/checktreemodel.h"
#include "cli/ctlscenery.h"
#include "config/scenobj.h"

// Case folding maps each character on its own, as the comparison that ignores case does: two
// names are equal ignoring case exactly when their folded forms are equal.
TEntryIndex::TEntryIndex(const TCheckTreeModel &tree)
{
    FNodes.reserve(tree.TopLevelCount());
    for (int i = 0; i < tree.TopLevelCount(); ++i) {
        TCheckTreeNode *node = tree.TopLevelItem(i);
        FNodes[TCtlScenery::Entry(node).FileName.toCaseFolded()].append(node);
    }
}

QList<TCheckTreeNode *> TEntryIndex::Find(const QString &name) const
{
    return FNodes.value(name.toCaseFolded());
}
