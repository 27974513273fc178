#pragma once

#include "config/scenerystate.h"
#include "widgets/checktreemodel.h"

class TCtlOptions;
class TScenObj;

// The scenery as the configurator holds it after loading: its folder, the control file found
// there, and the object tree with every node's state as the window shows it.
class TCtlScenery
{
public:
    // Finds the control file and loads it; raises ECtlError when there is none, or several.
    explicit TCtlScenery(const TCtlOptions &options);

    const QString &Folder() const { return FFolder; }
    TSceneryState &State() { return FState; }
    TCheckTreeModel &Tree() { return FTree; }
    QString LanguageWord() const;

    // The top-level nodes whose key (object key, group or switch section) is the name, letter
    // case ignored as in the control file.
    QList<TCheckTreeNode *> FindEntries(const QString &name) const;

    static const TScenObj &Entry(const TCheckTreeNode *node);
    // "object", "group" or "switch".
    static QString Kind(const TScenObj &entry);

private:
    QString FindControlFile(const TCtlOptions &options) const;

    QString FFolder;
    TSceneryState FState;
    TCheckTreeModel FTree;
};
