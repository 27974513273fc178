#pragma once

#include <QString>

// An advisory lock on a folder, shared by every process that locks the same folder: the window
// and sceneryctl lock the control file's folder while they change the control file and the
// scenery files, so that two of them never interleave their writes and renames. The lock is
// released when the object is destroyed, or by the system when the process ends.
class TFolderLock
{
public:
    explicit TFolderLock(const QString &folder);
    ~TFolderLock();
    TFolderLock(const TFolderLock &) = delete;
    TFolderLock &operator=(const TFolderLock &) = delete;

    // Takes the lock without waiting. False only when another holder has it; a folder that
    // cannot be locked at all (it cannot be opened) does not stop the caller, whose writes then
    // report what is wrong.
    bool TryLock();

private:
    QString FFolder;
#ifdef Q_OS_WIN
    void *FHandle = nullptr;
#else
    int FDescriptor = -1;
#endif
};
