#include "htmltext/picturecache.h"

#include "platform/regularfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>

#include <optional>

namespace {

const QString resPrefix = QStringLiteral("RES://");
const QString filePrefix = QStringLiteral("FILE://");

} // namespace

bool TPicture::LoadFromFile(const QString &path)
{
    return load(path, false);
}

bool TPicture::LoadFromResource(const QString &name)
{
    return load(QStringLiteral(":/") + name, true);
}

bool TPicture::load(const QString &path, bool resource)
{
    FPixmap = QPixmap();
    FLoadError.clear();
    // A file named in markup may be anything: only a regular file of a picture's size is read.
    // The program's own resources are compiled in.
    std::optional<QByteArray> bytes;
    if (resource) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    } else if (!path.isEmpty()) {
        bytes = ReadRegularFile(path, MaxPictureFileSize);
    }
    if (!bytes) {
        FLoadError = QStringLiteral("Could not create image stream");
        return false;
    }
    if (bytes->isEmpty()) {
        FLoadError = QStringLiteral("Empty image stream created");
        return false;
    }
    QBuffer stream(&*bytes);
    stream.open(QIODevice::ReadOnly);
    QImageReader reader(&stream);
    if (!reader.canRead()) {
        FLoadError = QStringLiteral("Could not load image. Invalid format");
        return false;
    }
    // Refuse pictures above the reader's allocation limit before allocating them.
    const QSize size = reader.size();
    if (size.isValid()
        && qint64(size.width()) * size.height() * 4 > qint64(QImageReader::allocationLimit())
                << 20) {
        FLoadError = QStringLiteral("Could not allocate memory for image");
        return false;
    }
    QImage image;
    if (!reader.read(&image)) {
        FLoadError = QStringLiteral("Could not load image");
        return false;
    }
    FPixmap = QPixmap::fromImage(image);
    if (FPixmap.isNull()) {
        FLoadError = QStringLiteral("Could not allocate memory for image");
        return false;
    }
    return true;
}

TPicture *TPictureCache::FindPicture(const QString &source) const
{
    const auto it = FPictures.constFind(source);
    return it == FPictures.cend() ? nullptr : it->get();
}

TPicture *TPictureCache::AddPicture(const QString &source)
{
    std::shared_ptr<TPicture> &slot = FPictures[source];
    if (!slot)
        slot = std::make_shared<TPicture>();
    return slot.get();
}

TPicture *TPictureCache::Picture(const QString &source)
{
    if (TPicture *known = FindPicture(source))
        return known;
    TPicture *picture = AddPicture(source);
    if (source.startsWith(resPrefix, Qt::CaseInsensitive))
        picture->LoadFromResource(source.mid(resPrefix.size()));
    else if (source.startsWith(filePrefix, Qt::CaseInsensitive))
        picture->LoadFromFile(FilePath(source.mid(filePrefix.size())));
    return picture;
}

void TPictureCache::SetBaseFolder(const QString &folder)
{
    if (folder == FBaseFolder)
        return;
    FBaseFolder = folder;
    Clear();
}

QString TPictureCache::FilePath(const QString &path) const
{
    if (path.isEmpty() || FBaseFolder.isEmpty() || !QDir::isRelativePath(path))
        return path;
    return QDir(FBaseFolder).filePath(path);
}

const TPicture *TPictureContainer::FindPicture(const QString &name) const
{
    const auto it = FPictures.constFind(name);
    return it == FPictures.cend() ? nullptr : &*it;
}
