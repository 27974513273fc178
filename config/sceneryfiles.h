#pragma once

#include "config/folderlisting.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Why a scenery file could not be switched.
enum TRenameCause {
    rcRefused, // the system refused the rename; the reason is in its words
    rcInUse, // another program holds the file open (the system's words are kept too)
    rcAmbiguous, // names that differ only in letter case: which one is meant cannot be told
    rcBadName, // the system cannot take the name as a file name
    rcBothForms, // both forms exist: a rename would replace one, so neither is touched
};

// A scenery file that could not be switched.
struct TRenameFailure
{
    QString FileName;
    QString Reason; // the system's words; for rcAmbiguous the names found
    TRenameCause Cause = rcRefused;
};

// The form in which a scenery file lies on disk, as Apply and the check find it.
enum TFileForm {
    ffMissing, // neither ".bgl" nor ".bg_" is a file
    ffActive, // ".bgl" only
    ffInactive, // ".bg_" only
    ffBothForms, // both names exist (whatever they are): Apply touches neither
    ffOutsideScenery, // the key leaves the Scenery folder, by its text or through a link
    ffAmbiguous, // names that differ only in letter case: Apply touches none
    ffBadName, // the system cannot take the key as a file name
};

// What ProcessFile did with one scenery file, or in a dry run would do.
enum TRenameAction {
    raRenamed, // renamed (dry run: would be renamed)
    raRenameFailed, // the file could not be switched: see the cause
    raLeft, // left as it is: in the wanted form already, or in a form Apply never touches
};

struct TFileOutcome
{
    QString ActivePath; // as asked for, relative to the base folder
    bool Active = false; // the wanted form
    TRenameAction Action = raLeft;
    TFileForm Form = ffMissing; // as the file was found, before any rename
    QString From; // a rename: the real names, relative to the base folder
    QString To;
    QString Reason; // why the file could not be switched
    TRenameCause Cause = rcRefused;
};

// A scenery file as it lies on disk: its form and the entries of its two names.
struct TFileForms
{
    TFileForm Form = ffMissing;
    // The entry of each name, in its real spelling; empty when there is none. Only a file or a
    // link to one counts as a form; other entries (folders, pipes, dangling links) are never
    // renamed, but they keep a rename from replacing them.
    QString Active;
    QString Inactive;
    QStringList Ambiguous; // ffAmbiguous: the names, relative to the base folder
};

// The scenery files of a folder, switched between active (".bgl") and inactive (".bg_") by
// renaming. Paths are relative to the base folder and may use "\" or "/" between folders. Names
// are matched ignoring letter case, as control files are written for a system that ignores it;
// where several entries of a folder differ only in letter case, none of them is touched.
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

    // Whether the text of a relative path stays inside the Scenery folder; other paths are never
    // looked up. Links on the way are checked by Forms.
    static bool InsideScenery(const QString &relativePath);

    // Makes the file active or inactive. When both forms exist, or neither, nothing happens.
    // A file that cannot be switched is added to Failures. Every call adds one outcome.
    void ProcessFile(const QString &activePath, bool active);

    const QList<TRenameFailure> &Failures() const { return FFailures; }
    const QList<TFileOutcome> &Outcomes() const { return FOutcomes; }

    // The form of the file an active path names: the one decision of what is on disk that
    // ProcessFile acts on and the check reports.
    TFileForms Forms(const QString &activePath);

    // A path found by Forms, relative to the base folder.
    QString Relative(const QString &path) const;

private:
    struct TFolder
    {
        // ffOutsideScenery, ffAmbiguous or ffBadName when the folder decides the form of every
        // file in it; otherwise ffMissing, and a file in it is missing when Path is empty.
        TFileForm Form = ffMissing;
        QString Path; // empty when the folder does not exist
        QStringList Ambiguous;
    };

    TFolder ResolveFolder(const QString &relativeFolder);
    const QString &SceneryRoot();
    bool Contained(const QString &folder);
    QStringList Candidates(const QString &folder, const QString &name);
    TFolderListing &Listing(const QString &folder);
    bool IsFile(const QString &folder, const QString &name);
    void Fail(TFileOutcome &outcome, TRenameCause cause, const QString &reason);
    void Rename(TFileOutcome &outcome, const QString &from, const QString &extension);

    QString FBaseFolder;
    bool FDryRun;
    QHash<QString, TFolder> FFolders; // by relative folder, found once per run
    std::optional<QString> FSceneryRoot; // the Scenery folder, every link followed
    // Per folder, its entries: listed once, on the first lookup, and kept as the renames of the
    // run (or, in a dry run, the renames it would do) leave them.
    QHash<QString, TFolderListing> FListings;
    QList<TRenameFailure> FFailures;
    QList<TFileOutcome> FOutcomes;
};
