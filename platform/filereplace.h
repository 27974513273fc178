#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// Which file a name led to when it was read, so that a later save can tell that the name now
// leads elsewhere (another user may have put a link or another file in its place).
struct TFileIdentity
{
    bool Exists = false; // false: there was no file of that name
    // The file's device and inode; only POSIX systems record them (both 0 on Windows).
    quint64 Device = 0;
    quint64 Inode = 0;
};

// Makes a write beyond the process's file-size limit fail with an error that the save reports,
// instead of ending the process with a signal. Programs call it once at start.
void ReportFileSizeLimitAsError();

// The identity of a file open for reading.
TFileIdentity OpenFileIdentity(const QFile &file);

struct TReplaceResult
{
    bool Done = false;
    // Why the file was not replaced, in the system's words or ours; empty when it was.
    QString Reason;
    // The identity of the file written, for the next save of the same content's owner.
    TFileIdentity Identity;
};

// Replaces a file's content atomically: writes a temporary file in the same folder with checked
// writes, flushes it to the disk and renames it over the file. Any error keeps the old file and
// removes the temporary one. The file must still be the one `read` names: a file that is now a
// symbolic link or another file is refused, and a file that was missing is created only where
// nothing, not even a link, has appeared since. The new file keeps owner, group and mode of the
// replaced one (a new file gets the mode the umask allows).
//
// On Windows a symbolic link (reparse point) is refused, and a file that was missing must still
// be missing, but the identity check is POSIX-only; the new file gets the folder's permissions.
TReplaceResult ReplaceFileContent(const QString &fileName, const QByteArray &bytes,
                                  const TFileIdentity &read);
