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
//
// With `within`, the file's folder must be that folder or lie in it once every link is followed;
// `within` is given as the system resolves it, every link followed (canonical), so that a caller
// renaming many files resolves it once. The folder is opened once, checked, and the rename acts on
// what was opened, so a link swapped in on the way after the caller looked cannot lead it
// elsewhere (POSIX; on Windows links need rights that the users who could swap them seldom have).
TRenameResult RenameFile(const QString &from, const QString &to, const QString &within = QString());

#ifndef Q_OS_WIN
// Renames an entry of an open folder without replacing anything: a file or link that appeared
// meanwhile stays as it is. 0, or -1 with errno set.
int RenameNoReplaceAt(int folder, const QByteArray &from, const QByteArray &to);
#endif
