#pragma once

#include <QHash>
#include <QList>
#include <QString>

// A scenery file that could not be switched, with the system's reason.
struct TRenameFailure
{
    QString FileName;
    QString Reason;
};

// The scenery files of a folder, switched between active (".bgl") and inactive (".bg_") by
// renaming. Paths are relative to the base folder and may use "\" or "/" between folders. On a
// file system that tells letter cases apart, a name is matched exactly first, else ignoring
// case, as control files are written for one that ignores it.
class TSceneryFiles
{
public:
    explicit TSceneryFiles(const QString &baseFolder);

    // "Scenery/" + key + ".bgl": the active path of an object key.
    static QString ActivePath(const QString &objectKey);
    // The path with the extension of its file name (from the last dot on) replaced by ".bg_".
    static QString InactivePath(const QString &activePath);

    // Whether a relative path stays inside the Scenery folder; other paths are never renamed.
    static bool InsideScenery(const QString &relativePath);

    // Makes the file active or inactive. When both forms exist, or neither, nothing happens.
    // A refused rename is added to Failures.
    void ProcessFile(const QString &activePath, bool active);

    const QList<TRenameFailure> &Failures() const { return FFailures; }

    // The existing file a relative path names, with the real spelling of every component;
    // empty when there is none (a folder does not count; links are followed).
    QString Resolve(const QString &relativePath);

private:
    QString ResolveFolder(const QString &relativeFolder);
    QString FindEntry(const QString &folder, const QString &name);
    void Rename(const QString &from, const QString &extension);

    QString FBaseFolder;
    QHash<QString, QString> FFolders; // relative folder -> real path, empty when missing
    // Per folder, its entries by case-folded name: listed once, on the first inexact lookup.
    QHash<QString, QHash<QString, QString>> FListings;
    QList<TRenameFailure> FFailures;
};
