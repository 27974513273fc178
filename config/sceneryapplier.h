#pragma once

#include "config/sceneryfiles.h"
#include "config/scenerystate.h"

class TCheckTreeModel;
class TIniFile;
class TScenObj;

// Makes the control file and the scenery files match the check states of the object tree.
// All states are written and the control file is saved before any file is renamed, so that a
// control file that cannot be saved leaves every scenery file as it was.
class TSceneryApplier
{
public:
    // Scenery file paths are relative to baseFolder, the process's working directory.
    TSceneryApplier(TSceneryState &state, const TCheckTreeModel &tree, const QString &baseFolder);

    // Raises EIniFileException when the control file cannot be written: when it cannot be
    // saved, nothing is renamed; when one state cannot be written, the entries before it are
    // saved and their files switched. Returns the files whose rename the system refused.
    QList<TRenameFailure> Apply();

private:
    void WriteStates(TIniFile &ini);
    QList<TRenameFailure> RenameFiles();
    void ApplyObject(TIniFile &ini, int index, const TScenObj &entry);
    void ApplyGroup(TIniFile &ini, int index, const TScenObj &entry);
    void ApplySwitch(TIniFile &ini, int index, const TScenObj &entry);
    // A rename, carried out once the control file is saved.
    void ProcessFile(const QString &objectKey, bool active);

    struct TPendingRename
    {
        QString ActivePath;
        bool Active;
    };

    TSceneryState &FState;
    const TCheckTreeModel &FTree;
    QString FBaseFolder;
    QList<TPendingRename> FRenames;
};
