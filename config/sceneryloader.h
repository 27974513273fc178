#pragma once

#include "config/scenerystate.h"

class TCheckTreeModel;
class TCheckTreeNode;
class TIniFile;

// Builds the object tree from the control file: one top-level node per plain object, group and
// switch, the members of groups and the alternatives of switches as children, and the initial
// state of every top-level node. Also takes the interface language and the home page address.
// The language step and the tab caption that finish a load belong to the main window.
class TSceneryLoader
{
public:
    TSceneryLoader(TSceneryState &state, TCheckTreeModel &tree);

    void ReadIni();

private:
    void ReadLanguage(const TIniFile &ini);
    void AddObjects(const TIniFile &ini);
    void AddGroups(const TIniFile &ini);
    void AddSwitches(const TIniFile &ini);
    void SetLoadedState(const TIniFile &ini, int absoluteIndex, const QString &stateKey);

    TSceneryState &FState;
    TCheckTreeModel &FTree;
};
