#include "config/sceneryfiles.h"

#include "platform/filenames.h"
#include "platform/filerename.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString ActiveExtension = QStringLiteral(".bgl");
const QString InactiveExtension = QStringLiteral(".bg_");
const QString SceneryFolder = QStringLiteral("Scenery");

// The extension of a path's file name, from its last dot on; empty when it has none.
qsizetype extensionStart(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype separator = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return dot > separator ? dot : path.size();
}

// Names that Windows does not take as plain files in a folder: a colon names a drive or a
// file's hidden stream, and the device names (CON, NUL, COM1, …) open a device whatever
// extension follows. Control files are written for Windows, so they are refused everywhere.
bool isReservedName(QStringView name)
{
    if (name.contains(u':'))
        return true;
    const QStringView base = name.left(name.indexOf(u'.')).trimmed();
    static const QStringList devices{u"CON"_s, u"PRN"_s,    u"AUX"_s,
                                     u"NUL"_s, u"CONIN$"_s, u"CONOUT$"_s};
    for (const QString &device : devices) {
        if (base.compare(device, Qt::CaseInsensitive) == 0)
            return true;
    }
    // COM1 to COM9 and LPT1 to LPT9, also with a superscript digit.
    if (base.size() == 4
        && (base.startsWith(u"COM", Qt::CaseInsensitive)
            || base.startsWith(u"LPT", Qt::CaseInsensitive))) {
        const QChar digit = base.at(3);
        return (digit >= u'1' && digit <= u'9') || digit == u'\u00b9' || digit == u'\u00b2'
            || digit == u'\u00b3';
    }
    return false;
}

} // namespace

TSceneryFiles::TSceneryFiles(const QString &baseFolder, bool dryRun)
    : FBaseFolder(QDir(baseFolder).absolutePath())
    , FDryRun(dryRun)
{ }

QString TSceneryFiles::BaseFolder(const QString &controlFile)
{
    return QFileInfo(controlFile).absolutePath();
}

QString TSceneryFiles::ActivePath(const QString &objectKey)
{
    return SceneryFolder + u'/' + objectKey + ActiveExtension;
}

QString TSceneryFiles::InactivePath(const QString &activePath)
{
    return activePath.left(extensionStart(activePath)) + InactiveExtension;
}

// An object key names a file inside the Scenery folder. One that climbs out of it with "..", or
// names a drive or a device, would let a control file rename files anywhere the program may write
// (and it may run as administrator), so it is treated like an object whose file does not exist.
bool TSceneryFiles::InsideScenery(const QString &relativePath)
{
    const QString clean = QDir::cleanPath(QString(relativePath).replace(u'\\', u'/'));
    if (!clean.startsWith(QStringLiteral("Scenery/")))
        return false;
    for (const QStringView part : QStringView(clean).split(u'/')) {
        if (isReservedName(part))
            return false;
    }
    return true;
}

void TSceneryFiles::ProcessFile(const QString &activePath, bool active)
{
    TFileOutcome &outcome = FOutcomes.emplaceBack();
    outcome.ActivePath = activePath;
    outcome.Active = active;
    const TFileForms forms = Forms(activePath);
    outcome.Form = forms.Form;
    switch (forms.Form) {
    case ffAmbiguous:
        Fail(outcome, rcAmbiguous, forms.Ambiguous.join(QStringLiteral(", ")));
        break;
    case ffBadName:
        Fail(outcome, rcBadName, QString());
        break;
    case ffBothForms:
        // Left as it is and reported among the failures: the user has to remove one of the two.
        FFailures.append(
            {Relative(active ? forms.Inactive : forms.Active), QString(), rcBothForms});
        break;
    case ffActive:
    case ffInactive:
        if ((forms.Form == ffActive) != active)
            Rename(outcome, active ? forms.Inactive : forms.Active,
                   active ? ActiveExtension : InactiveExtension);
        break;
    case ffMissing:
    case ffOutsideScenery:
        break; // nothing to rename, or never touched
    }
}

TFileForms TSceneryFiles::Forms(const QString &activePath)
{
    TFileForms forms;
    if (!InsideScenery(activePath)) {
        forms.Form = ffOutsideScenery;
        return forms;
    }
    // ".." and "." are resolved on the text, as the target system does.
    const QString path = QDir::cleanPath(QString(activePath).replace(u'\\', u'/'));
    const qsizetype cut = path.lastIndexOf(u'/');
    const QString activeName = path.mid(cut + 1);
    const QString inactiveName = InactivePath(activeName);
    if (!IsFileSystemName(activeName) || !IsFileSystemName(inactiveName)) {
        forms.Form = ffBadName;
        return forms;
    }
    const TFolder folder = ResolveFolder(path.left(cut));
    forms.Form = folder.Form;
    forms.Ambiguous = folder.Ambiguous;
    if (folder.Form != ffMissing || folder.Path.isEmpty())
        return forms;

    const QStringList active = Candidates(folder.Path, activeName);
    const QStringList inactive = Candidates(folder.Path, inactiveName);
    if (active.size() > 1 || inactive.size() > 1) {
        forms.Form = ffAmbiguous;
        for (const QStringList &names : {active, inactive}) {
            for (const QString &name : names) {
                if (names.size() > 1)
                    forms.Ambiguous << Relative(folder.Path + u'/' + name);
            }
        }
        return forms;
    }
    if (!active.isEmpty())
        forms.Active = folder.Path + u'/' + active.first();
    if (!inactive.isEmpty())
        forms.Inactive = folder.Path + u'/' + inactive.first();
    // Any entry of the other name counts as a form: a rename would replace it.
    if (!forms.Active.isEmpty() && !forms.Inactive.isEmpty())
        forms.Form = ffBothForms;
    else if (!active.isEmpty() && IsFile(folder.Path, active.first()))
        forms.Form = ffActive;
    else if (!inactive.isEmpty() && IsFile(folder.Path, inactive.first()))
        forms.Form = ffInactive;
    return forms;
}

// Found paths lie below the base folder: they are built from it.
QString TSceneryFiles::Relative(const QString &path) const
{
    return path.mid(FBaseFolder.size() + 1);
}

// Whether a listed entry is a file or a link to one, as the renames so far (or those planned so
// far in a dry run) leave it.
bool TSceneryFiles::IsFile(const QString &folder, const QString &name)
{
    switch (Listing(folder).Kind(name)) {
    case TFolderListing::ekFile:
        return true;
    case TFolderListing::ekOther:
        return false;
    case TFolderListing::ekUnknown:
        break;
    }
    return QFileInfo(folder + u'/' + name).isFile();
}

// The real path of a folder below the base folder, each component matched as Candidates does;
// remembered for the rest of the run, since every object of a folder asks for it.
TSceneryFiles::TFolder TSceneryFiles::ResolveFolder(const QString &relativeFolder)
{
    const auto known = FFolders.constFind(relativeFolder);
    if (known != FFolders.constEnd())
        return *known;
    TFolder folder;
    folder.Path = FBaseFolder;
    for (const QString &part : relativeFolder.split(u'/', Qt::SkipEmptyParts)) {
        if (!IsFileSystemName(part)) {
            folder.Form = ffBadName;
            folder.Path.clear();
            break;
        }
        const QStringList entries = Candidates(folder.Path, part);
        if (entries.size() > 1) {
            folder.Form = ffAmbiguous;
            for (const QString &entry : entries)
                folder.Ambiguous << Relative(folder.Path + u'/' + entry);
            folder.Path.clear();
            break;
        }
        if (entries.isEmpty() || !QFileInfo(folder.Path + u'/' + entries.first()).isDir()) {
            folder.Path.clear();
            break;
        }
        folder.Path += u'/' + entries.first();
    }
    if (folder.Form == ffMissing && !folder.Path.isEmpty() && relativeFolder != SceneryFolder
        && !Contained(folder.Path)) {
        folder.Form = ffOutsideScenery;
        folder.Path.clear();
    }
    FFolders.insert(relativeFolder, folder);
    return folder;
}

// Whether a folder is the Scenery folder or lies in it once every link on the way is followed:
// a link inside Scenery may lead anywhere.
bool TSceneryFiles::Contained(const QString &folder)
{
    QString scenery = SceneryRoot();
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (scenery.isEmpty() || canonical.isEmpty())
        return false;
    if (canonical == scenery)
        return true;
    if (!scenery.endsWith(u'/'))
        scenery += u'/';
    return canonical.startsWith(scenery);
}

// The Scenery folder as the system resolves it, found once per run: every containment check of
// the run compares with it, and a Scenery folder swapped for a link meanwhile leads nowhere else.
const QString &TSceneryFiles::SceneryRoot()
{
    if (!FSceneryRoot)
        FSceneryRoot = QFileInfo(ResolveFolder(SceneryFolder).Path).canonicalFilePath();
    return *FSceneryRoot;
}

// The entries of the folder whose names equal the given one, letter case ignored.
QStringList TSceneryFiles::Candidates(const QString &folder, const QString &name)
{
    return Listing(folder).Find(name);
}

TFolderListing &TSceneryFiles::Listing(const QString &folder)
{
    auto listing = FListings.find(folder);
    if (listing == FListings.end())
        listing = FListings.insert(folder, TFolderListing::Read(folder));
    return *listing;
}

void TSceneryFiles::Fail(TFileOutcome &outcome, TRenameCause cause, const QString &reason)
{
    outcome.Action = raRenameFailed;
    outcome.Cause = cause;
    outcome.Reason = reason;
    const QString file = outcome.From.isEmpty()
        ? QDir::cleanPath(QString(outcome.ActivePath).replace(u'\\', u'/'))
        : outcome.From;
    FFailures.append({file, reason, cause});
}

// Renames the file to its own base name with the other extension.
void TSceneryFiles::Rename(TFileOutcome &outcome, const QString &from, const QString &extension)
{
    const QString to = from.left(extensionStart(from)) + extension;
    outcome.Action = raRenamed;
    outcome.From = Relative(from);
    outcome.To = Relative(to);
    if (!FDryRun) {
        // The rename itself checks again that the folder it acts on lies in Scenery: a link on
        // the way may have been swapped since the lookup.
        const TRenameResult result = RenameFile(from, to, SceneryRoot());
        if (!result.Done) {
            Fail(outcome, result.InUse ? rcInUse : rcRefused, result.Reason);
            return;
        }
    }
    // Later lookups see the folder as the rename left it, or in a dry run would leave it.
    const qsizetype cut = from.lastIndexOf(u'/');
    // Only a file, or a link to one, is ever renamed.
    TFolderListing &listing = Listing(from.left(cut));
    listing.Remove(from.mid(cut + 1));
    listing.Add(to.mid(cut + 1), TFolderListing::ekFile);
}
