#pragma once

#include <QString>

// Starts the program with administrator rights; the operating system asks the user's consent.
// Returns true when the start was accepted. On Windows the working directory is not passed on;
// on Linux the program starts in this process's working folder, on the user's display.
// hWnd is the owner window for the consent prompt (Windows only).
bool RunAsAdmin(void *hWnd, const QString &fileName, const QString &parameters);

// True when this process runs with administrator (root) rights.
bool RunsElevated();

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>

// Fills the launch request of RunAsAdmin: the verb "runas" for the file with the parameters
// (none when empty), no working directory, shown normally, and the call returns only when the
// launch is complete, without an error box of the system's own. The texts must outlive it.
void FillRunAsRequest(SHELLEXECUTEINFOW &info, void *hWnd, const wchar_t *file,
                      const wchar_t *parameters);
#endif
