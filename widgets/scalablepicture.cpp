#include "widgets/scalablepicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cctype>

namespace {

constexpr QRgb colourBits = 0x00FFFFFF;

QRgb keyOf(const QImage &image)
{
    return image.pixel(0, image.height() - 1) & colourBits;
}

// Resamples a picture whose bottom-left colour is its key: the key is made transparent, the
// rest smoothed, and every resulting pixel at least half covered is opaque again, the others
// the key. So the outline follows the shape at the new size instead of growing in steps, and
// no pixel is half key colour.
QImage resampleKeyed(const QImage &source, const QSize &size)
{
    const QRgb key = keyOf(source);
    QImage cut = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < cut.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x) {
            if ((line[x] & colourBits) == key)
                line[x] = 0;
        }
    }
    QImage scaled = cut.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32);
    QImage result(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(scaled.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            QRgb colour = in[x] & colourBits;
            if (qAlpha(in[x]) < 128)
                colour = key;
            else if (colour == key)
                colour ^= 1; // an opaque pixel must not turn into a hole
            out[x] = 0xFF000000 | colour;
        }
    }
    return result;
}

// A picture file through the image reader. A PNG file is decoded by the reader's own handler for
// that format, told so: left to find the format itself, the reader first loads every image
// format plugin the system has, which costs a start more than decoding the picture.
QImage readImage(const QString &path)
{
    if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        QImageReader reader(path, "png");
        reader.setAutoDetectImageFormat(false);
        if (QImage image = reader.read(); !image.isNull())
            return image;
    }
    return QImage(path);
}

// The picture of a PAM file of 8-bit red, green, blue and alpha ("P7", tuple type RGB_ALPHA), as
// a picture with an alpha channel; a null picture for any other content. The header is a line
// "P7", then lines of a keyword and its value (or comments), up to the line "ENDHDR".
QImage readAlphaPicture(const uchar *bytes, qint64 size)
{
    const QByteArray all = QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), size);
    if (!all.startsWith("P7\n"))
        return {};
    qint64 width = 0, height = 0, depth = 0, largest = 0;
    QByteArray tuple;
    for (qsizetype at = 3, end = 0; (end = all.indexOf('\n', at)) >= 0; at = end + 1) {
        const QList<QByteArray> words = all.mid(at, end - at).simplified().split(' ');
        const QByteArray &key = words.first();
        const qint64 value = words.size() == 2 ? words[1].toLongLong() : 0;
        if (key == "ENDHDR") {
            if (width <= 0 || height <= 0 || width > 100000 || height > 100000 || depth != 4
                || largest != 255 || tuple != "RGB_ALPHA" || size - end - 1 < width * height * 4)
                return {};
            // Converted into fresh memory: the rows of the file need not be aligned as a
            // picture's rows must, and the picture is small.
            return QImage(bytes + end + 1, int(width), int(height), int(width * 4),
                          QImage::Format_RGBA8888)
                .convertToFormat(QImage::Format_ARGB32);
        }
        if (key == "WIDTH")
            width = value;
        else if (key == "HEIGHT")
            height = value;
        else if (key == "DEPTH")
            depth = value;
        else if (key == "MAXVAL")
            largest = value;
        else if (key == "TUPLTYPE" && words.size() == 2)
            tuple = words[1];
    }
    return {};
}

// The picture of a binary PPM file ("P6", 8 bits a channel) read straight from its bytes, mapped
// where the file system or the program's resources allow: a large picture loads many times faster
// than through the image reader. A PAM file of a picture with an alpha channel is read from its
// bytes as well, which is much faster than decoding a PNG file. Any other file goes through the
// reader.
QImage readPicture(const QString &path)
{
    const bool alpha = path.endsWith(QStringLiteral(".pam"), Qt::CaseInsensitive);
    if (!alpha && !path.endsWith(QStringLiteral(".ppm"), Qt::CaseInsensitive))
        return readImage(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    const uchar *bytes = file.map(0, size);
    QByteArray read;
    if (!bytes) {
        read = file.readAll();
        bytes = reinterpret_cast<const uchar *>(read.constData());
    }
    if (alpha)
        return readAlphaPicture(bytes, size);
    // "P6", width, height and the largest value 255, each after white space, then one white
    // space character and the pixels, row by row.
    qint64 at = 2;
    const auto number = [&] {
        while (at < size && std::isspace(bytes[at]))
            ++at;
        qint64 value = 0;
        while (at < size && std::isdigit(bytes[at]) && value < 100000)
            value = value * 10 + (bytes[at++] - '0');
        return value;
    };
    const bool magic = size > 2 && bytes[0] == 'P' && bytes[1] == '6';
    const qint64 width = magic ? number() : 0;
    const qint64 height = magic ? number() : 0;
    const qint64 largest = magic ? number() : 0;
    const qint64 pixels = at + 1;
    if (width <= 0 || height <= 0 || largest != 255 || at >= size || !std::isspace(bytes[at])
        || size - pixels < width * height * 3)
        return QImage(path);
    const QImage raw(bytes + pixels, int(width), int(height), int(width * 3),
                     QImage::Format_RGB888);
    // A picture compiled into the program is read where it lies: those bytes last as long as the
    // program, and a converted copy would be as large again in fresh memory. Bytes of a file are
    // gone with the file, so its picture is copied.
    if (read.isNull() && path.startsWith(u':'))
        return raw;
    return raw.convertToFormat(QImage::Format_RGB32);
}

} // namespace

TScalablePicture::TScalablePicture(const QImage &normal)
    : FNormal(normal)
{ }

TScalablePicture::TScalablePicture(const QImage &normal, const QImage &doubled)
    : FNormal(normal)
    , FDoubled(std::make_shared<TDoubled>(TDoubled{QString(), doubled}))
{ }

TScalablePicture TScalablePicture::FromFile(const QString &path)
{
    const QFileInfo file(path);
    const QString doubled
        = file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@2x.");
    TScalablePicture picture{readPicture(path)};
    if (picture.IsNull())
        return picture;
    for (const QString &suffix : {file.suffix(), QStringLiteral("png")}) {
        if (QFileInfo::exists(doubled + suffix)) {
            picture.FDoubled = std::make_shared<TDoubled>(TDoubled{doubled + suffix, QImage()});
            break;
        }
    }
    return picture;
}

const QImage &TScalablePicture::Doubled() const
{
    static const QImage none;
    if (!FDoubled)
        return none;
    if (!FDoubled->Path.isEmpty()) {
        FDoubled->Image = readImage(FDoubled->Path);
        FDoubled->Path.clear();
    }
    return FDoubled->Image;
}

QImage TScalablePicture::ForRatio(qreal ratio) const
{
    const bool normal = FNormal.isNull() || ratio <= 1.0 || qFuzzyCompare(ratio, 1.0);
    const QImage &doubled = normal ? FNormal : Doubled();
    QImage result;
    if (normal || doubled.isNull()) {
        result = FNormal;
        ratio = 1.0;
    } else if (qFuzzyCompare(ratio, 2.0)) {
        result = doubled;
    } else {
        const QSize size = (QSizeF(FNormal.size()) * ratio).toSize();
        result = doubled.hasAlphaChannel()
            ? doubled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            : resampleKeyed(doubled, size);
    }
    result.setDevicePixelRatio(ratio);
    return result;
}
