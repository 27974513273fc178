#include "config/sceneryfiles.h"

#include "platform/filenames.h"
#include "platform/filerename.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString ActiveExtension = QStringLiteral(".bgl");
const QString InactiveExtension = QStringLiteral(".bg_");

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
    return QStringLiteral("Scenery/") + objectKey + ActiveExtension;
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
    if (!InsideScenery(activePath)) {
        outcome.Action = raOutsideScenery;
        return;
    }
    const QString activeFile = Resolve(activePath);
    const QString inactiveFile = Resolve(InactivePath(activePath));
    if (!activeFile.isEmpty() && !inactiveFile.isEmpty())
        outcome.Action = raBothForms;
    else if (activeFile.isEmpty() && inactiveFile.isEmpty())
        outcome.Action = raNeitherForm;
    else if (active == !activeFile.isEmpty())
        outcome.Action = raAlreadyInForm;
    else if (active)
        Rename(outcome, inactiveFile, ActiveExtension);
    else
        Rename(outcome, activeFile, InactiveExtension);
}

QString TSceneryFiles::Resolve(const QString &relativePath)
{
    const QString path = QString(relativePath).replace(u'\\', u'/');
    const qsizetype cut = path.lastIndexOf(u'/');
    const QString folder = ResolveFolder(cut < 0 ? QString() : path.left(cut));
    if (folder.isEmpty())
        return {};
    const QString name = path.mid(cut + 1);
    const QString exact = folder + u'/' + name;
    if (IsFile(exact)) {
        if (!FileNamesIgnoreCase)
            return exact;
        // The system found it under any spelling: a rename must keep the real one.
        const QString entry = FindEntry(folder, name);
        return entry.isEmpty() ? exact : folder + u'/' + entry;
    }
    if (!FGone.contains(exact) && QFileInfo::exists(exact))
        return {}; // a folder or a device of that name
    const QString entry = FindEntry(folder, name);
    if (entry.isEmpty())
        return {};
    const QString found = folder + u'/' + entry;
    return IsFile(found) ? found : QString();
}

// Resolved paths lie below the base folder, since their keys stay inside the Scenery folder.
QString TSceneryFiles::Relative(const QString &path) const
{
    return path.mid(FBaseFolder.size() + 1);
}

// Whether the path names a file, as the renames done so far (or planned, in a dry run) leave it.
bool TSceneryFiles::IsFile(const QString &path) const
{
    if (FAdded.contains(path))
        return true;
    return !FGone.contains(path) && QFileInfo(path).isFile();
}

// The real path of a folder below the base folder, each component matched as FindEntry does;
// remembered for the rest of the run, since every object of a folder asks for it.
QString TSceneryFiles::ResolveFolder(const QString &relativeFolder)
{
    const auto known = FFolders.constFind(relativeFolder);
    if (known != FFolders.constEnd())
        return *known;
    QString path = FBaseFolder;
    for (const QString &part : relativeFolder.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            path = QFileInfo(path).path();
            continue;
        }
        const QString entry = QFileInfo::exists(path + u'/' + part) ? part : FindEntry(path, part);
        if (entry.isEmpty() || !QFileInfo(path + u'/' + entry).isDir()) {
            path.clear();
            break;
        }
        path += u'/' + entry;
    }
    FFolders.insert(relativeFolder, path);
    return path;
}

// The entry of the folder whose name differs from the given one only in letter case.
QString TSceneryFiles::FindEntry(const QString &folder, const QString &name)
{
    return Listing(folder).value(name.toCaseFolded());
}

QHash<QString, QString> &TSceneryFiles::Listing(const QString &folder)
{
    auto listing = FListings.find(folder);
    if (listing == FListings.end()) {
        QHash<QString, QString> entries;
        QDirIterator it(folder,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QString entry = it.fileName();
            entries.insert(entry.toCaseFolded(), entry);
        }
        listing = FListings.insert(folder, entries);
    }
    return *listing;
}

// Renames the file to its own base name with the other extension.
void TSceneryFiles::Rename(TFileOutcome &outcome, const QString &from, const QString &extension)
{
    const QString to = from.left(extensionStart(from)) + extension;
    outcome.Action = raRenamed;
    outcome.From = Relative(from);
    outcome.To = Relative(to);
    const qsizetype cut = from.lastIndexOf(u'/');
    const QString folder = from.left(cut);
    if (FDryRun) {
        FGone.insert(from);
        FAdded.remove(from);
        FGone.remove(to);
        FAdded.insert(to);
        Listing(folder); // later lookups must see the planned names, not the disk
    } else {
        const TRenameResult result = RenameFile(from, to);
        if (!result.Done) {
            outcome.Action = raRenameFailed;
            outcome.Reason = result.Reason;
            outcome.InUse = result.InUse;
            FFailures.append({outcome.From, outcome.Reason, outcome.InUse});
            return;
        }
    }
    auto listing = FListings.find(folder);
    if (listing != FListings.end()) {
        listing->remove(from.mid(cut + 1).toCaseFolded());
        const QString name = to.mid(cut + 1);
        listing->insert(name.toCaseFolded(), name);
    }
}
