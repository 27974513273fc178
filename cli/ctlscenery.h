#pragma once

#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/scenerystate.h"
#include "config/scenobj.h"
#include "platform/folderlock.h"

#include <optional>
#include <vector>

class TCtlOptions;

// The scenery as the configurator holds it after loading: its folder, the control file found
// there, and the object tree with every node's state as the window shows it (for "check", which
// needs no more, only the tree's entries).
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
    // The accessor of the control file, kept only for "check", which reads on in it until it calls
    // ReleaseIni: the other commands leave it to others (Apply reads the file again under the
    // lock) or need no more of it, and so do not hold a second parsed copy of a large file.
    const TIniFile &Ini() const { return *FIni; }
    void ReleaseIni() { FIni.reset(); }
    // For "check", which shows no caption and no state of the tree, the entries of the tree
    // (TSceneryLoader::ReadEntries) stand in for it: its tree stays empty, so that the file's
    // parsed copy and a whole tree are not held at once. Hands them over once.
    std::vector<TScenObj> TakeEntries() { return std::move(FEntries); }

    static const TScenObj &Entry(const TCheckTreeNode *node);

private:
    QString FindControlFile(const TCtlOptions &options) const;

    QString FFolder;
    std::optional<TFolderLock> FLock;
    TSceneryState FState;
    TCheckTreeModel FTree;
    std::optional<TIniFile> FIni;
    std::vector<TScenObj> FEntries;
};
