#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// A scenery file that could not be switched, with the system's reason.
struct TRenameFailure
{
    QString FileName;
    QString Reason;
    bool InUse = false; // another program holds the file open
};

// What ProcessFile did with one scenery file, or in a dry run would do.
enum TRenameAction {
    raRenamed, // renamed (dry run: would be renamed)
    raRenameFailed, // the system refused the rename
    raAlreadyInForm, // the file has the wanted form already
    raBothForms, // both forms exist: neither is touched
    raNeitherForm, // the file exists in neither form
    raOutsideScenery, // the path leaves the Scenery folder: never touched
};

struct TFileOutcome
{
    QString ActivePath; // as asked for, relative to the base folder
    bool Active = false; // the wanted form
    TRenameAction Action = raNeitherForm;
    QString From; // a rename: the real names, relative to the base folder
    QString To;
    QString Reason; // why the system refused the rename
    bool InUse = false; // refused because another program holds the file open
};

// The scenery files of a folder, switched between active (".bgl") and inactive (".bg_") by
// renaming. Paths are relative to the base folder and may use "\" or "/" between folders. On a
// file system that tells letter cases apart, a name is matched exactly first, else ignoring
// case, as control files are written for one that ignores it.
class TSceneryFiles
{
public:
    // A dry run renames nothing: it keeps the renames it would do in memory, so that later
    // lookups see the folder as the real run would leave it.
    explicit TSceneryFiles(const QString &baseFolder, bool dryRun = false);

    // The folder that holds the Scenery folder of a control file: the one the control file lies
    // in, whatever the working folder (a desktop launcher starts programs in the home folder).
    static QString BaseFolder(const QString &controlFile);

    // "Scenery/" + key + ".bgl": the active path of an object key.
    static QString ActivePath(const QString &objectKey);
    // The path with the extension of its file name (from the last dot on) replaced by ".bg_".
    static QString InactivePath(const QString &activePath);

    // Whether a relative path stays inside the Scenery folder; other paths are never renamed.
    static bool InsideScenery(const QString &relativePath);

    // Makes the file active or inactive. When both forms exist, or neither, nothing happens.
    // A refused rename is added to Failures. Every call adds one outcome.
    void ProcessFile(const QString &activePath, bool active);

    const QList<TRenameFailure> &Failures() const { return FFailures; }
    const QList<TFileOutcome> &Outcomes() const { return FOutcomes; }

    // The existing file a relative path names, with the real spelling of every component;
    // empty when there is none (a folder does not count; links are followed).
    QString Resolve(const QString &relativePath);

private:
    QString ResolveFolder(const QString &relativeFolder);
    QString FindEntry(const QString &folder, const QString &name);
    QHash<QString, QString> &Listing(const QString &folder);
    bool IsFile(const QString &path) const;
    QString Relative(const QString &path) const;
    void Rename(TFileOutcome &outcome, const QString &from, const QString &extension);

    QString FBaseFolder;
    bool FDryRun;
    QSet<QString> FGone; // dry run: real files renamed away
    QSet<QString> FAdded; // dry run: the names they were renamed to
    QHash<QString, QString> FFolders; // relative folder -> real path, empty when missing
    // Per folder, its entries by case-folded name: listed once, on the first inexact lookup.
    QHash<QString, QHash<QString, QString>> FListings;
    QList<TRenameFailure> FFailures;
    QList<TFileOutcome> FOutcomes;
};
