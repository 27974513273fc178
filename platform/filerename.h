#pragma once

#include <QString>

// The outcome of a rename: done, or refused with the system's reason.
struct TRenameResult
{
    bool Done = false;
    // The file is held open by another program (on Windows, the simulator keeps the object
    // files it has loaded open and refuses to let them be renamed).
    bool InUse = false;
    // The system's reason in its own words; empty when the rename was done.
    QString Reason;
};

// Renames a file within its folder. An existing file of the new name is never replaced: a file
// that appeared since the caller looked stays as it is and the rename is refused.
TRenameResult RenameFile(const QString &from, const QString &to);
