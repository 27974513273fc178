#pragma once

// Whether the system's file names ignore letter case (Windows) or tell cases apart (Linux). Where
// they ignore it, a file found under any spelling must still be renamed under its real one.
#ifdef Q_OS_WIN
inline constexpr bool FileNamesIgnoreCase = true;
#else
inline constexpr bool FileNamesIgnoreCase = false;
#endif
