#pragma once

#include <QFont>

// Makes the typefaces the windows are designed for available: free look-alikes of "Tahoma",
// "MS Sans Serif" and "Symbol" where the system has them, and chosen stand-ins otherwise.
void RegisterWindowFonts();

// A font of the windows' design: face and character height in pixels.
QFont WindowFont(const QString &face, int pixelHeight, bool bold = false);
