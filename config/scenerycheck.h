#pragma once

#include "config/sceneryfiles.h"
#include "config/scenerystate.h"

#include <QList>

#include <optional>

class TCheckTreeModel;
// One scenery file of an entry: its form on disk against the form the entry's stored state
// gives it.
struct TFileCheck
{
    QString Entry; // the entry's key: object key, group or switch section
    QString FileType; // "Scenery", "Group" or "Switch"
    QString Key; // the object key of the file
    QString StateKey;
    qint32 StateValue = 1; // as loading reads it: missing or unreadable values count as 1
    // Active or inactive; none when the stored value is neither 0 nor 1, which gives the entry no
    // state, so that no form agrees with it.
    std::optional<TFileForm> Expected;
    TFileForm Form = ffMissing;
    QString ActiveName; // the real names found, relative to the base folder; empty when absent
    QString InactiveName;
    bool LetterCaseVariant = false; // a real name is spelled otherwise than the key
    QStringList Ambiguous; // ffAmbiguous: the names, relative to the base folder

    bool Agrees() const { return Expected && Form == *Expected; }
};

// Compares every scenery file that Apply would switch with the state the control file records
// for it: a plain object's file, every member of a group, the first two alternatives of a switch.
class TSceneryCheck
{
public:
    // Scenery file paths are relative to the folder of the control file in state.
    TSceneryCheck(const TSceneryState &state, const TCheckTreeModel &tree);

    QList<TFileCheck> Run() const;

private:
    void CheckFile(TSceneryFiles &files, TFileCheck &check) const;

    const TSceneryState &FState;
    const TCheckTreeModel &FTree;
    QString FBaseFolder;
};
