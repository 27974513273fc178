#include "config/sceneryapplier.h"

#include "config/inifile.h"
#include "config/scenobj.h"
#include "widgets/checktreemodel.h"

TSceneryApplier::TSceneryApplier(TSceneryState &state, const TCheckTreeModel &tree,
                                 const QString &baseFolder)
    : FState(state)
    , FTree(tree)
    , FBaseFolder(baseFolder)
{ }

QList<TRenameFailure> TSceneryApplier::Apply()
{
    FRenames.clear();
    {
        TIniFile ini(FState.Scenery);
        try {
            WriteStates(ini);
        } catch (...) {
            // Apply ends at the entry whose state cannot be written. The states written before
            // it are saved, so their files are switched too: the control file never records a
            // state that the files were not given.
            ini.UpdateFile();
            RenameFiles();
            throw;
        }
        ini.UpdateFile();
    }
    return RenameFiles();
}

void TSceneryApplier::WriteStates(TIniFile &ini)
{
    for (int i = 0; i < FTree.Count(); ++i) {
        const TCheckTreeNode *node = FTree.Item(i);
        const TScenObj *entry = node->Level() == 0 ? node->DataAs<TScenObj>() : nullptr;
        if (!entry)
            continue;
        if (entry->FileType == ftScenery)
            ApplyObject(ini, i, *entry);
        else if (entry->FileType == ftGroup)
            ApplyGroup(ini, i, *entry);
        else if (entry->FileType == ftSwitch)
            ApplySwitch(ini, i, *entry);
    }
}

QList<TRenameFailure> TSceneryApplier::RenameFiles()
{
    TSceneryFiles files(FBaseFolder);
    for (const TPendingRename &rename : std::as_const(FRenames))
        files.ProcessFile(rename.ActivePath, rename.Active);
    return files.Failures();
}

void TSceneryApplier::ApplyObject(TIniFile &ini, int index, const TScenObj &entry)
{
    const TRzCheckState state = FTree.GetItemState(index);
    if (state != csChecked && state != csUnchecked)
        return;
    ini.WriteBool(ControlFile::States, entry.FileName, state == csChecked);
    ProcessFile(entry.FileName, state == csChecked);
}

void TSceneryApplier::ApplyGroup(TIniFile &ini, int index, const TScenObj &entry)
{
    ini.ReadSection(entry.FileName, FState.GrpList);
    const TRzCheckState state = FTree.GetItemState(index);
    if (state != csChecked && state != csUnchecked)
        return; // partly checked: the members are left as they are
    const bool active = state == csChecked;
    ini.WriteBool(ControlFile::States,
                  ini.ReadString(entry.FileName, ControlFile::CheckedKey, QString()), active);
    for (const QString &member : std::as_const(FState.GrpList)) {
        if (member != ControlFile::CheckedKey && member != ControlFile::ShowKey)
            ProcessFile(member, active);
    }
}

void TSceneryApplier::ApplySwitch(TIniFile &ini, int index, const TScenObj &entry)
{
    ini.ReadSection(entry.FileName, FState.GrpList);
    // A switch without a state key is applied like a group without one.
    for (qsizetype i = 0; i < FState.GrpList.size(); ++i) {
        if (FState.GrpList.at(i).compare(ControlFile::CheckedKey, Qt::CaseInsensitive) == 0) {
            FState.GrpList.removeAt(i);
            break;
        }
    }

    // Only the switch's own children are read: a switch with fewer than two alternatives has
    // no state for the missing ones.
    const TCheckTreeNode *node = FTree.Item(index);
    const auto alternativeChecked = [&](int alternative) {
        return alternative < node->Count() && alternative < FState.GrpList.size()
            && FTree.GetItemState(index + 1 + alternative) == csChecked;
    };
    const auto processAlternative = [&](int alternative, bool active) {
        if (alternative < FState.GrpList.size())
            ProcessFile(FState.GrpList.at(alternative), active);
    };
    for (int chosen = 0; chosen < 2; ++chosen) {
        if (!alternativeChecked(chosen))
            continue;
        ini.WriteInteger(ControlFile::States,
                         ini.ReadString(entry.FileName, ControlFile::CheckedKey, QString()),
                         chosen);
        processAlternative(chosen, true);
        processAlternative(1 - chosen, false);
    }
}

void TSceneryApplier::ProcessFile(const QString &objectKey, bool active)
{
    FRenames.append({TSceneryFiles::ActivePath(objectKey), active});
}
