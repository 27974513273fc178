#include "config/sceneryfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

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

} // namespace

TSceneryFiles::TSceneryFiles(const QString &baseFolder)
    : FBaseFolder(QDir(baseFolder).absolutePath())
{ }

QString TSceneryFiles::ActivePath(const QString &objectKey)
{
    return QStringLiteral("Scenery/") + objectKey + ActiveExtension;
}

QString TSceneryFiles::InactivePath(const QString &activePath)
{
    return activePath.left(extensionStart(activePath)) + InactiveExtension;
}

// An object key names a file inside the Scenery folder. One that climbs out of it with ".."
// would let a control file rename files anywhere the program may write (and it may run as
// administrator), so it is treated like an object whose file does not exist.
bool TSceneryFiles::InsideScenery(const QString &relativePath)
{
    const QString clean = QDir::cleanPath(QString(relativePath).replace(u'\\', u'/'));
    return clean.startsWith(QStringLiteral("Scenery/"));
}

void TSceneryFiles::ProcessFile(const QString &activePath, bool active)
{
    if (!InsideScenery(activePath))
        return;
    const QString activeFile = Resolve(activePath);
    const QString inactiveFile = Resolve(InactivePath(activePath));
    if (active && activeFile.isEmpty() && !inactiveFile.isEmpty())
        Rename(inactiveFile, ActiveExtension);
    else if (!active && inactiveFile.isEmpty() && !activeFile.isEmpty())
        Rename(activeFile, InactiveExtension);
}

QString TSceneryFiles::Resolve(const QString &relativePath)
{
    const QString path = QString(relativePath).replace(u'\\', u'/');
    const qsizetype cut = path.lastIndexOf(u'/');
    const QString folder = ResolveFolder(cut < 0 ? QString() : path.left(cut));
    if (folder.isEmpty())
        return {};
    const QString name = path.mid(cut + 1);
    QFileInfo file(folder + u'/' + name);
    if (file.isFile())
        return file.filePath();
    if (file.exists())
        return {}; // a folder or a device of that name
    const QString entry = FindEntry(folder, name);
    if (entry.isEmpty())
        return {};
    file.setFile(folder + u'/' + entry);
    return file.isFile() ? file.filePath() : QString();
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
    return listing->value(name.toCaseFolded());
}

// Renames the file to its own base name with the other extension.
void TSceneryFiles::Rename(const QString &from, const QString &extension)
{
    const QString to = from.left(extensionStart(from)) + extension;
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    if (error) {
        FFailures.append(
            {QDir(FBaseFolder).relativeFilePath(from), QString::fromLocal8Bit(error.message())});
        return;
    }
    const qsizetype cut = from.lastIndexOf(u'/');
    auto listing = FListings.find(from.left(cut));
    if (listing != FListings.end()) {
        listing->remove(from.mid(cut + 1).toCaseFolded());
        const QString name = to.mid(cut + 1);
        listing->insert(name.toCaseFolded(), name);
    }
}
