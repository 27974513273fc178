#pragma once

#include <QFont>

// Makes the typefaces the windows are designed for available: free look-alikes of "Tahoma" and
// "Symbol" where the system has them, and chosen stand-ins otherwise. "MS Sans Serif" is drawn in
// "Tahoma" unless the system has a scalable face of that name, so that it can be bold and scale.
void RegisterWindowFonts();

// A font of the windows' design: face and character height in pixels. It names the family that
// draws the face on this system, so that every size of a face is matched without a search.
QFont WindowFont(const QString &face, int pixelHeight, bool bold = false);
