#pragma once

#include <QStringList>

// Font files to register with the program: free look-alikes of "Tahoma" and "Symbol" that the
// system has but keeps outside its font path (Debian's fonts-wine package). Windows has the real
// fonts, so there are none there.
//
// Only the regular "Tahoma" is taken: the package's bold face draws as thin as the regular one
// at the windows' sizes, while the bold the toolkit makes from the regular outlines is plainly
// bold. Its "MS Sans Serif" is left out as well: it holds one bitmap size, with no bold and no
// scaling; the program shows "MS Sans Serif" texts in "Tahoma", its scalable relative.
QStringList LookAlikeFontFiles();

// Stand-ins for "Square721 BT", a wide, squarish sans with no free twin: the widest sans the
// system installs by default, so the status line keeps its proportions best.
QStringList WideSansStandIns();
