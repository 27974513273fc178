#pragma once

#include "config/sceneryfiles.h"
#include "config/scenerystate.h"

class TCheckTreeModel;
class TIniFile;
class TScenObj;

// One value written into the state section.
struct TStateWrite
{
    QString Key;
    QString Value; // "0" or "1"
};

// What an Apply did, or what a dry run found it would do.
struct TApplyReport
{
    QList<TStateWrite> States; // in the order written
    QList<TFileOutcome> Files; // every scenery file asked for, in order
    QList<TRenameFailure> Failures; // the refused renames
    QString Error; // dry run: the error Apply would stop with at a state it cannot write
    QByteArray ControlFileStamp; // Apply: the control file as it left it (TIniFile::ContentStamp)
};

// Makes the control file and the scenery files match the check states of the object tree.
// All states are written and the control file is saved before any file is renamed, so that a
// control file that cannot be saved leaves every scenery file as it was. The same save keeps the
// states as they were before, for undo, and at the first change the shipped ones
// (TStateRecords); undo and restore are Applies of those states.
class TSceneryApplier
{
public:
    // Scenery file paths are relative to the folder of the control file in state.
    TSceneryApplier(const TSceneryState &state, const TCheckTreeModel &tree);

    // Raises EIniFileException when the control file cannot be written: when it cannot be
    // saved, nothing is renamed; when one state cannot be written, the entries before it are
    // saved and their files switched. Returns the files whose rename the system refused.
    QList<TRenameFailure> Apply();

    // Works out what Apply would write and rename, from the same plan, and changes nothing.
    const TApplyReport &DryRun();

    // Of the last Apply or DryRun.
    const TApplyReport &Report() const { return FReport; }

private:
    struct TPendingRename
    {
        QString ActivePath;
        bool Active;
        qsizetype State; // the index of the state written before it
    };
    // The states to write and the renames that follow each of them.
    struct TApplyPlan
    {
        QList<TStateWrite> States;
        QList<TPendingRename> Renames;
    };

    TApplyPlan Plan(const TIniFile &ini);
    // Carries out, or in a dry run plans, the renames that follow the first `states` states.
    void RenameFiles(const TApplyPlan &plan, qsizetype states, bool dryRun);
    void PlanObject(TApplyPlan &plan, int index, const TScenObj &entry);
    void PlanGroup(TApplyPlan &plan, const TIniFile &ini, int index, const TScenObj &entry);
    void PlanSwitch(TApplyPlan &plan, const TIniFile &ini, int index, const TScenObj &entry);

    const TSceneryState &FState;
    const TCheckTreeModel &FTree;
    TApplyReport FReport;
};
