#pragma once

#include <QStringList>

// Font files to register with the program: free look-alikes of "Tahoma", "MS Sans Serif" and
// "Symbol" that the system has but keeps outside its font path (Debian's fonts-wine package).
// Windows has the real fonts, so there are none there.
QStringList LookAlikeFontFiles();

// Stand-ins for "Square721 BT", a wide, squarish sans with no free twin: the widest sans the
// system installs by default, so the status line keeps its proportions best.
QStringList WideSansStandIns();
