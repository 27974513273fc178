#pragma once

#include <QString>

// The readme the information window shows for an interface language word: "liesmich.html" for
// "german" and "readme.html" for "english" (letter case of a to z ignored), both beside the
// program; empty for any other word.
QString ReadmeFileName(const QString &languageWord);
