#pragma once

#include <QStringList>

// Runs sceneryctl with its command line (program name first) and returns the exit status.
int RunSceneryCtl(const QStringList &arguments);
