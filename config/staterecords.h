#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TCheckTreeModel;
class TIniFile;
struct TSceneryState;
struct TStateWrite;

// Two copies of the state section that the control file keeps for undo and for the shipped
// state, each in a section of its own beside "Checked":
//
//   [Checked (before last apply)]  the states as they were before the last Apply that changed
//                                  one; rewritten by every such Apply (undoing is such an Apply,
//                                  so undoing twice brings the undone states back)
//   [Checked (shipped)]            the states as the author shipped them: taken once, at the
//                                  first Apply that changes a state, and never written again
//
// Each copy holds every key of the state section and every key Apply writes, with its value
// before the Apply, a missing key as "1" (a missing state loads as checked). The copies are
// written by the same accessor, and so in the same atomic save, as the states themselves,
// before any file is renamed: a crash leaves either the old file or the new states together
// with the copy of the old ones. A loader that knows nothing of them never reads them, since
// only sections that a list section names become entries, and state keys are looked up in
// "Checked" alone. Keys are only ever added or rewritten, so a copy never loses a key that it
// held before.
class TStateRecords
{
public:
    static const QString Previous;
    static const QString Shipped;

    // Takes the copy of the states before an Apply writes `states` into the file.
    TStateRecords(const TIniFile &ini, const QList<TStateWrite> &states);

    // Writes the copies into the accessor (not yet to disk): nothing when the Apply changes no
    // stored value, so that an Apply that repeats the last one keeps its undo.
    void Write(TIniFile &ini) const;

    // Whether an Apply has changed a state since the program kept copies.
    static bool CanUndo(const TIniFile &ini);
    // The section that holds the shipped states: the copy, or while there is none (nothing
    // has been applied yet) the state section itself.
    static QString ShippedSection(const TIniFile &ini);

private:
    struct TValue
    {
        QString Key;
        QString Value;
    };
    QList<TValue> FBefore;
    bool FChanges = false;
    bool FFirst = false; // no shipped copy yet
};

// Sets every entry of the loaded tree to the states kept for undo (undo) or to the shipped
// states, by the rules of loading; Apply then carries them out. Returns false, changing
// nothing, when undo is asked for and no Apply has changed a state yet.
bool LoadRecordedStates(TSceneryState &state, TCheckTreeModel &tree, bool undo);
