#include "widgets/scalablepicture.h"

#include <QFileInfo>

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

} // namespace

TScalablePicture::TScalablePicture(const QImage &normal)
    : FNormal(normal)
{ }

TScalablePicture::TScalablePicture(const QImage &normal, const QImage &doubled)
    : FNormal(normal)
    , FDoubled(doubled)
{ }

TScalablePicture TScalablePicture::FromFile(const QString &path)
{
    const QFileInfo file(path);
    const QString doubled = file.path() + QLatin1Char('/') + file.completeBaseName()
        + QStringLiteral("@2x.") + file.suffix();
    return {QImage(path), QFileInfo::exists(doubled) ? QImage(doubled) : QImage()};
}

QImage TScalablePicture::ForRatio(qreal ratio) const
{
    QImage result;
    if (FNormal.isNull() || FDoubled.isNull() || ratio <= 1.0 || qFuzzyCompare(ratio, 1.0)) {
        result = FNormal;
        ratio = 1.0;
    } else if (qFuzzyCompare(ratio, 2.0)) {
        result = FDoubled;
    } else {
        const QSize size = (QSizeF(FNormal.size()) * ratio).toSize();
        result = FDoubled.hasAlphaChannel()
            ? FDoubled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            : resampleKeyed(FDoubled, size);
    }
    result.setDevicePixelRatio(ratio);
    return result;
}
