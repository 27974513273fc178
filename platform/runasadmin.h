#pragma once

#include <QString>

// Starts the program with administrator rights; the operating system asks the user's consent.
// The working directory is not passed on. Returns true when the start was accepted.
// hWnd is the owner window for the consent prompt (Windows only).
bool RunAsAdmin(void *hWnd, const QString &fileName, const QString &parameters);

// True when this process runs with administrator (root) rights.
bool RunsElevated();
