#include "config/sceneryapplier.h"

#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/profiledocument.h"
#include "config/sceneryentries.h"
#include "config/scenobj.h"
#include "config/staterecords.h"

#include <QScopeGuard>

namespace {

QString stateValue(int value)
{
    return QString::number(value);
}

} // namespace

TSceneryApplier::TSceneryApplier(const TSceneryState &state, const TCheckTreeModel &tree)
    : FState(state)
    , FTree(tree)
{ }

QList<TRenameFailure> TSceneryApplier::Apply()
{
    FReport = {};
    TApplyPlan plan;
    {
        TIniFile ini(FState.Scenery);
        // Also when a write or the save fails: the file is then the one read, or saved in part.
        const auto stamp = qScopeGuard([&] { FReport.ControlFileStamp = ini.ContentStamp(); });
        plan = Plan(ini);
        // The copies for undo and the shipped state go into the same save as the states.
        const TStateRecords records(ini, plan.States);
        qsizetype written = 0;
        try {
            for (const TStateWrite &state : std::as_const(plan.States)) {
                ini.WriteString(ControlFile::States, state.Key, state.Value);
                ++written;
            }
        } catch (...) {
            // Apply ends at the entry whose state cannot be written. The states written before
            // it are saved, so their files are switched too: the control file never records a
            // state that the files were not given; nor does it lose the states before them.
            if (written > 0)
                records.Write(ini);
            ini.UpdateFile();
            FReport.States = plan.States.first(written);
            RenameFiles(plan, written, false);
            throw;
        }
        records.Write(ini);
        // The report lists the states once they are stored: a failed save stored none.
        ini.UpdateFile();
        FReport.States = plan.States;
    }
    RenameFiles(plan, plan.States.size(), false);
    return FReport.Failures;
}

const TApplyReport &TSceneryApplier::DryRun()
{
    FReport = {};
    const TIniFile ini(FState.Scenery); // only read: an accessor without writes saves nothing
    const TApplyPlan plan = Plan(ini);
    qsizetype storable = 0;
    for (const TStateWrite &state : plan.States) {
        // Whether the file can be replaced is asked at the first state, as Apply's first write
        // asks it; after that only the key's name can stop a write.
        if (storable > 0 && TProfileDocument::isStorableKey(state.Key)) {
            ++storable;
            continue;
        }
        // Apply would stop at this state with the accessor's error.
        if (const QString error = ini.WriteError(ControlFile::States, state.Key);
            !error.isEmpty()) {
            FReport.Error = error;
            break;
        }
        ++storable;
    }
    FReport.States = plan.States.first(storable);
    RenameFiles(plan, storable, true);
    return FReport;
}

// The states to write and the files to switch, entry by entry in absolute-index order; for
// each entry its state comes before the renames of its files.
TSceneryApplier::TApplyPlan TSceneryApplier::Plan(const TIniFile &ini)
{
    TApplyPlan plan;
    for (int i = 0; i < FTree.Count(); ++i) {
        const TCheckTreeNode *node = FTree.Item(i);
        const TScenObj *entry = node->Level() == 0 ? node->DataAs<TScenObj>() : nullptr;
        if (!entry)
            continue;
        if (entry->FileType == ftScenery)
            PlanObject(plan, i, *entry);
        else if (entry->FileType == ftGroup)
            PlanGroup(plan, ini, i, *entry);
        else if (entry->FileType == ftSwitch)
            PlanSwitch(plan, ini, i, *entry);
    }
    return plan;
}

void TSceneryApplier::RenameFiles(const TApplyPlan &plan, qsizetype states, bool dryRun)
{
    TSceneryFiles files(TSceneryFiles::BaseFolder(FState.Scenery), dryRun);
    for (const TPendingRename &rename : plan.Renames) {
        if (rename.State >= states)
            break;
        files.ProcessFile(rename.ActivePath, rename.Active);
    }
    FReport.Files = files.Outcomes();
    FReport.Failures = files.Failures();
}

void TSceneryApplier::PlanObject(TApplyPlan &plan, int index, const TScenObj &entry)
{
    const TRzCheckState state = FTree.GetItemState(index);
    if (state != csChecked && state != csUnchecked)
        return;
    const bool active = state == csChecked;
    plan.Renames.append({TSceneryFiles::ActivePath(entry.FileName), active, plan.States.size()});
    plan.States.append({entry.FileName, stateValue(active)});
}

void TSceneryApplier::PlanGroup(TApplyPlan &plan, const TIniFile &ini, int index,
                                const TScenObj &entry)
{
    const TRzCheckState state = FTree.GetItemState(index);
    if (state != csChecked && state != csUnchecked)
        return; // partly checked: the members are left as they are
    const bool active = state == csChecked;
    for (const QString &member : EntryFiles(ini, entry))
        plan.Renames.append({TSceneryFiles::ActivePath(member), active, plan.States.size()});
    plan.States.append({EntryStateKey(ini, entry), stateValue(active)});
}

void TSceneryApplier::PlanSwitch(TApplyPlan &plan, const TIniFile &ini, int index,
                                 const TScenObj &entry)
{
    // A switch without a state key is applied like a group without one.
    const QStringList alternatives = EntryFiles(ini, entry);

    // Only the switch's own children are read: a switch with fewer than two alternatives has
    // no state for the missing ones.
    const TCheckTreeNode *node = FTree.Item(index);
    const auto alternativeChecked = [&](int alternative) {
        return alternative < node->Count() && alternative < alternatives.size()
            && FTree.GetItemState(index + 1 + alternative) == csChecked;
    };
    for (int chosen = 0; chosen < SwitchedAlternatives; ++chosen) {
        if (!alternativeChecked(chosen))
            continue;
        for (const int alternative : {chosen, 1 - chosen}) {
            if (alternative < alternatives.size()) {
                plan.Renames.append({TSceneryFiles::ActivePath(alternatives.at(alternative)),
                                     alternative == chosen, plan.States.size()});
            }
        }
        plan.States.append({EntryStateKey(ini, entry), stateValue(chosen)});
    }
}
