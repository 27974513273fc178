#include "config/sceneryfiles.h"

#include <QDir>
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

void TSceneryFiles::ProcessFile(const QString &activePath, bool active)
{
    const QString activeFile = Resolve(activePath);
    const QString inactiveFile = Resolve(InactivePath(activePath));
    if (active && activeFile.isEmpty() && !inactiveFile.isEmpty())
        Rename(inactiveFile, ActiveExtension);
    else if (!active && inactiveFile.isEmpty() && !activeFile.isEmpty())
        Rename(activeFile, InactiveExtension);
}

QString TSceneryFiles::Resolve(const QString &relativePath)
{
    QString path = FBaseFolder;
    const QStringList parts = QString(relativePath).replace(u'\\', u'/').split(u'/');
    for (const QString &part : parts) {
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            path = QFileInfo(path).path();
            continue;
        }
        const QString entry = FindEntry(path, part);
        if (entry.isEmpty())
            return {};
        path += u'/' + entry;
    }
    return QFileInfo(path).isFile() ? path : QString();
}

// The entry of the folder with this name: exactly as written if it exists, else the one whose
// name differs only in letter case.
QString TSceneryFiles::FindEntry(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + u'/' + name))
        return name;
    auto listing = FListings.find(folder);
    if (listing == FListings.end()) {
        QHash<QString, QString> entries;
        const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden
                                                         | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : names)
            entries.insert(entry.toCaseFolded(), entry);
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
    const QFileInfo oldFile(from), newFile(to);
    auto listing = FListings.find(oldFile.path());
    if (listing != FListings.end()) {
        listing->remove(oldFile.fileName().toCaseFolded());
        listing->insert(newFile.fileName().toCaseFolded(), newFile.fileName());
    }
}
