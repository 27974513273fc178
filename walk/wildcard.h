#pragma once

#include <QStringView>

// Wildcard match of a directory entry name: "*" any run of characters, "?" one character,
// letter case ignored. "*.*" matches every name, also one without a dot.
bool MatchesWildcard(QStringView name, QStringView pattern);
