#pragma once

#include <QString>

// Whether the system can take this text as one file name as it stands. POSIX names are bytes: a
// name that does not convert to them and back (half of a UTF-16 surrogate pair) would name another
// file, or none; a NUL ends a name early everywhere.
bool IsFileSystemName(const QString &name);
