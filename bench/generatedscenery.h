#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Control files and Scenery folders of any size, shaped like users' ones: German and English
// lists, three in five entries plain objects, one in five a group of four members, one in five a
// switch of two alternatives, captions of a few words, and a stored state for every entry. About
// 100 bytes of control file per entry.
namespace GeneratedScenery {

QByteArray ControlFile(int entries);

// The names of the scenery files the control file of `entries` entries refers to, without
// their ending: objects, group members and switch alternatives.
QStringList FileNames(int entries);

// Writes folder/Bench.ini and, with files, folder/Scenery/ with one empty file per name, every
// one active (".bgl"). Returns the control file's path; stops the program when it cannot write.
QString Write(const QString &folder, int entries, bool withFiles);

} // namespace GeneratedScenery
