#pragma once

#include "checkstate/checktreemodel.h"
#include "config/scenerystate.h"
#include "platform/folderlock.h"

#include <optional>

class TCtlOptions;
class TScenObj;

// The scenery as the configurator holds it after loading: its folder, the control file found
// there, and the object tree with every node's state as the window shows it.
class TCtlScenery
{
public:
    // Finds the control file and loads it; raises ECtlError when there is none, or several.
    // A command that changes the scenery locks the control file's folder before it reads, and
    // holds the lock for the object's lifetime; it raises ECtlError when another program holds it.
    explicit TCtlScenery(const TCtlOptions &options);

    const QString &Folder() const { return FFolder; }
    TSceneryState &State() { return FState; }
    TCheckTreeModel &Tree() { return FTree; }

    // The top-level nodes whose key (object key, group or switch section) is the name, letter
    // case ignored as in the control file.
    QList<TCheckTreeNode *> FindEntries(const QString &name) const;

    static const TScenObj &Entry(const TCheckTreeNode *node);

private:
    QString FindControlFile(const TCtlOptions &options) const;

    QString FFolder;
    std::optional<TFolderLock> FLock;
    TSceneryState FState;
    TCheckTreeModel FTree;
};
