#pragma once

#include "config/scenerystate.h"
#include "config/scenobj.h"

#include <optional>
#include <vector>

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

    // With a language (TLanguage), its sections are read instead of the stored
    // language's; nothing is written either way.
    void ReadIni(std::optional<qint32> language = std::nullopt);
    // The same from an accessor the caller opened and keeps for further reading and writing, so
    // that the file is not parsed again.
    void ReadIni(const TIniFile &ini, std::optional<qint32> language = std::nullopt);
    // The entries that ReadIni attaches to the top-level nodes, in the same order, without building
    // the tree, for a caller that needs neither the captions nor the states; the language is taken
    // as ReadIni takes it. Raises std::length_error where the tree could not hold them.
    std::vector<TScenObj> ReadEntries(const TIniFile &ini,
                                      std::optional<qint32> language = std::nullopt);

    // Gives every entry of the loaded tree the state that the section holds for it, by the same
    // rules as loading takes them from the state section; an entry whose value is neither 0 nor
    // 1 ends as it shows after loading: unchecked, a switch with no alternative picked. Reads
    // the control file again and writes nothing: Apply carries the states out.
    void LoadStates(const QString &section);

private:
    void ReadLanguage(const TIniFile &ini, std::optional<qint32> language);
    void AddObjects(const TIniFile &ini);
    void AddGroups(const TIniFile &ini);
    void AddSwitches(const TIniFile &ini);
    // A node and the key of its state. The states of groups and switches are read in batches
    // after their sections, so that the control file is not asked for the state section and an
    // entry's section in turn: it finds the section it found last without its index.
    struct TLoadedEntry
    {
        TCheckTreeNode *Node;
        QString StateKey;
    };
    using TStateSetter = void (TSceneryLoader::*)(const TIniFile &, TCheckTreeNode *,
                                                  const QString &, const QString &);
    // Adds the entry to the batch and sets the states of a full one.
    void QueueState(const TIniFile &ini, std::vector<TLoadedEntry> &batch, TLoadedEntry entry,
                    TStateSetter setState);
    // Sets the stored states of the batch's entries and empties it.
    void SetQueuedStates(const TIniFile &ini, std::vector<TLoadedEntry> &batch,
                         TStateSetter setState);
    void SetLoadedState(const TIniFile &ini, TCheckTreeNode *node, const QString &stateKey,
                        const QString &section);
    void SetLoadedSwitch(const TIniFile &ini, TCheckTreeNode *node, const QString &stateKey,
                         const QString &section);

    TSceneryState &FState;
    TCheckTreeModel &FTree;
};
