#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Control files and Scenery folders of any size, shaped like users' ones: German and English
// lists, three in five entries plain objects, one in five a group of four members, one in five a
// switch of two alternatives, captions of a few words, and a stored state for every entry. About
// 100 bytes of control file per entry.
namespace GeneratedScenery {

QByteArray ControlFile(int entries);

struct TSceneryFile
{
    QString Name; // without its ending
    bool Active; // as the stored state of its entry asks
};

// The scenery files the control file of `entries` entries refers to: objects, group members and
// switch alternatives.
QList<TSceneryFile> Files(int entries);

// The keys of the objects and groups stored as checked, in file order: what "sceneryctl apply
// --off" takes.
QStringList CheckedEntries(int entries);

// Writes folder/Bench.ini and, with files, folder/Scenery/ with one empty file per scenery file,
// active (".bgl") or inactive (".bg_") as its entry's stored state asks, so the folder agrees
// with its control file. Returns the control file's path; stops the program when it cannot write.
QString Write(const QString &folder, int entries, bool withFiles);

} // namespace GeneratedScenery
