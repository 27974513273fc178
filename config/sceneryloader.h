#pragma once

#include "config/scenerystate.h"

#include <optional>

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

    // With a language (0 German, 1 English), its sections are read instead of the stored
    // language's; nothing is written either way.
    void ReadIni(std::optional<qint32> language = std::nullopt);

private:
    void ReadLanguage(const TIniFile &ini, std::optional<qint32> language);
    void AddObjects(const TIniFile &ini);
    void AddGroups(const TIniFile &ini);
    void AddSwitches(const TIniFile &ini);
    void SetLoadedState(const TIniFile &ini, int absoluteIndex, const QString &stateKey);
    void SetLoadedSwitch(const TIniFile &ini, int absoluteIndex, const QString &stateKey);

    TSceneryState &FState;
    TCheckTreeModel &FTree;
};
