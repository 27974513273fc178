// makepictures <folder>: draws the pictures of the main window and writes them as PNG files (at
// their own size as raw pixels: PPM, or PAM for those with an alpha channel), and the program's
// icon for Windows as scenery-configurator.ico.
// The pictures are committed in resources/; run this again only to change them.
//
// Every glyph keeps its key colour in its bottom-left pixel: pixels of that colour are
// transparent when the glyph is shown, so no visible pixel may have it.
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

// Bilinear blend of four corner colours.
QColor corners(const QColor &tl, const QColor &tr, const QColor &bl, const QColor &br, double x,
               double y)
{
    return mix(mix(tl, tr, x), mix(bl, br, x), y);
}

// Never the key colour: white inside the window would become a hole.
QRgb notWhite(QColor c)
{
    if (c.rgb() == qRgb(255, 255, 255))
        c = QColor(254, 254, 254);
    return c.rgb();
}

// 632 x 455 logical pixels, drawn at `scale` device pixels per logical pixel, white outside the
// window's outline: a title band with a diagonal gradient, a pale separator, and the main panel
// with rounded corners and a four-corner gradient.
QImage background(int scale)
{
    const int s = scale;
    const int w = 632 * s, h = 455 * s;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < s; ++y) {
        for (int x = 8 * s; x < 9 * s; ++x)
            image.setPixel(x, y, qRgb(59, 93, 130));
    }

    const QColor bandDark(59, 93, 130), bandLight(134, 168, 235);
    for (int y = s; y < 32 * s; ++y) {
        for (int x = 6 * s; x < 627 * s; ++x) {
            const double fx = double(x - 6 * s) / (621 * s - 1);
            const double fy = double(y - s) / (31 * s - 1);
            image.setPixel(x, y,
                           notWhite(corners(bandDark, bandLight, bandLight, bandDark, fx, fy)));
        }
    }
    for (int y = 32 * s; y < 34 * s; ++y) {
        for (int x = 6 * s; x < 627 * s; ++x)
            image.setPixel(x, y, qRgb(206, 220, 240));
    }

    const QColor dark(37, 75, 114), lightTop(126, 163, 238), lightBottom(137, 173, 242);
    const int top = 34 * s, bottom = h - 1, radius = 8 * s;
    for (int y = top; y <= bottom; ++y) {
        // Rows within the radius of the top or bottom edge are narrowed to a quarter circle.
        int inset = 0;
        const int fromEdge = qMin(y - top, bottom - y);
        if (fromEdge < radius) {
            const double dy = radius - fromEdge - 0.5;
            inset = int(std::ceil(radius - std::sqrt(radius * radius - dy * dy)));
        }
        for (int x = inset; x < w - inset; ++x) {
            const double fx = double(x) / (w - 1), fy = double(y - top) / (bottom - top);
            image.setPixel(x, y, notWhite(corners(dark, lightTop, lightBottom, dark, fx, fy)));
        }
    }
    return image;
}

// A strip of glyphs of equal size: the normal picture, then the same in greys for the disabled
// button. The key colour fills everything that is not drawn.
// The glyphs are drawn in logical pixels at `scale` device pixels per logical pixel.
template<class Draw>
QImage glyphStrip(int scale, QSize cell, int count, QColor key, Draw draw)
{
    cell *= scale;
    QImage image(cell.width() * count, cell.height(), QImage::Format_RGB32);
    image.fill(key);
    for (int i = 0; i < count; ++i) {
        QImage glyph(cell, QImage::Format_RGB32);
        glyph.fill(key);
        {
            QPainter painter(&glyph);
            painter.scale(scale, scale);
            draw(painter, i == 1);
        }
        QPainter(&image).drawImage(i * cell.width(), 0, glyph);
    }
    return image;
}

// The disabled look: grey and white.
QColor disabled(const QColor &c, bool grey)
{
    if (!grey)
        return c;
    const int v = qGray(c.rgb());
    return v > 200 ? QColor(254, 254, 254) : QColor(128, 128, 128);
}

QImage germanFlag(int scale)
{
    return glyphStrip(scale, {20, 20}, 2, QColor(192, 192, 192), [](QPainter &p, bool grey) {
        const QRect flag(1, 2, 18, 15);
        p.fillRect(flag.x(), flag.y(), 18, 5, disabled(QColor(0, 0, 0), grey));
        p.fillRect(flag.x(), flag.y() + 5, 18, 5, disabled(QColor(255, 0, 0), grey));
        p.fillRect(flag.x(), flag.y() + 10, 18, 5, disabled(QColor(255, 255, 0), grey));
    });
}

QImage unionFlag(int scale)
{
    return glyphStrip(scale, {20, 20}, 2, QColor(192, 192, 192), [](QPainter &p, bool grey) {
        const QRect flag(1, 2, 18, 15);
        p.setClipRect(flag);
        p.fillRect(flag, disabled(QColor(0, 36, 125), grey));
        const QColor white = disabled(QColor(254, 254, 254), grey);
        const QColor red = disabled(QColor(207, 20, 43), grey);
        p.setPen(QPen(white, 3));
        p.drawLine(flag.topLeft(), flag.bottomRight() + QPoint(1, 1));
        p.drawLine(flag.topRight() + QPoint(1, 0), flag.bottomLeft() + QPoint(0, 1));
        p.setPen(QPen(red, 1));
        p.drawLine(flag.topLeft(), flag.bottomRight() + QPoint(1, 1));
        p.drawLine(flag.topRight() + QPoint(1, 0), flag.bottomLeft() + QPoint(0, 1));
        p.fillRect(flag.x() + 7, flag.y(), 4, 15, white);
        p.fillRect(flag.x(), flag.y() + 5, 18, 5, white);
        p.fillRect(flag.x() + 8, flag.y(), 2, 15, red);
        p.fillRect(flag.x(), flag.y() + 6, 18, 3, red);
    });
}

QImage information(int scale)
{
    return glyphStrip(scale, {16, 16}, 2, QColor(236, 233, 216), [](QPainter &p, bool grey) {
        p.setRenderHint(QPainter::Antialiasing, false);
        const QColor outline = disabled(QColor(0, 51, 153), grey);
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(1, 1, 13, 10), 3, 3);
        bubble.moveTo(4, 11);
        bubble.lineTo(4, 14);
        bubble.lineTo(8, 11);
        p.setPen(outline);
        p.setBrush(disabled(QColor(254, 254, 254), grey));
        p.drawPath(bubble);
        p.fillRect(7, 3, 2, 1, outline);
        p.fillRect(7, 5, 2, 4, outline);
    });
}

QImage squareButton(int scale, const QColor &face, bool cross)
{
    return glyphStrip(scale, {18, 18}, 1, QColor(255, 255, 255), [&](QPainter &p, bool) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(face.darker(160));
        p.setBrush(face);
        p.drawRoundedRect(QRect(1, 1, 15, 15), 2, 2);
        const QColor mark = cross ? QColor(254, 254, 254) : QColor(20, 40, 90);
        if (cross) {
            p.setPen(QPen(mark, 2));
            p.drawLine(5, 5, 12, 12);
            p.drawLine(12, 5, 5, 12);
        } else {
            p.fillRect(5, 11, 8, 2, mark);
        }
    });
}

QImage checkMark(int scale)
{
    return glyphStrip(scale, {16, 16}, 2, QColor(236, 233, 216), [](QPainter &p, bool grey) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(disabled(QColor(0, 51, 153), grey), 3));
        p.drawLine(2, 8, 6, 12);
        p.drawLine(6, 12, 13, 3);
        p.setPen(QPen(disabled(QColor(0, 102, 204), grey), 1));
        p.drawLine(2, 8, 6, 12);
        p.drawLine(6, 12, 13, 3);
    });
}

QImage hammer(int scale)
{
    return glyphStrip(scale, {16, 16}, 1, QColor(255, 0, 255), [](QPainter &p, bool) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(30, 70, 160), 2));
        p.drawLine(4, 14, 10, 6);
        p.fillRect(7, 1, 7, 4, QColor(128, 128, 128));
        p.fillRect(8, 2, 5, 2, QColor(170, 170, 170));
    });
}

// 200 x 54 logical pixels with an alpha channel: a rounded badge that leads to the scenery's
// home page, with the word for "scenery" in the interface language.
QImage logo(int scale, const QString &scenery)
{
    QImage image(200 * scale, 54 * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 54);
    fill.setColorAt(0, QColor(255, 255, 255, 230));
    fill.setColorAt(1, QColor(210, 225, 245, 230));
    p.setPen(QPen(QColor(37, 75, 114), 2));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1, 1, 198, 52), 12, 12);
    // A small aeroplane seen from above.
    QPainterPath plane;
    plane.moveTo(30, 8);
    plane.lineTo(33, 20);
    plane.lineTo(48, 26);
    plane.lineTo(33, 28);
    plane.lineTo(32, 40);
    plane.lineTo(37, 45);
    plane.lineTo(30, 44);
    plane.lineTo(23, 45);
    plane.lineTo(28, 40);
    plane.lineTo(27, 28);
    plane.lineTo(12, 26);
    plane.lineTo(27, 20);
    plane.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(37, 75, 114));
    p.drawPath(plane);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(37, 75, 114));
    p.drawText(QRect(56, 6, 140, 24), Qt::AlignLeft | Qt::AlignVCenter, scenery);
    font.setPixelSize(12);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(84, 121, 178));
    p.drawText(QRect(56, 28, 140, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Homepage"));
    return image;
}

// The program's icon at one size: the title band's blue in a rounded square with a white tick.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 16.0;
    QLinearGradient fill(0, 0, size, size);
    fill.setColorAt(0, QColor(134, 168, 235));
    fill.setColorAt(1, QColor(59, 93, 130));
    p.setPen(QPen(QColor(37, 75, 114), qMax(1.0, s * 0.75)));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 3 * s, 3 * s);
    p.setPen(QPen(Qt::white, 2.2 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{QPointF(3.5 * s, 8.5 * s), QPointF(6.5 * s, 11.5 * s),
                             QPointF(12.5 * s, 4.5 * s)});
    return image;
}

// A Windows icon file holding one PNG image per size (the form Windows reads since Vista).
QByteArray iconFile(const QList<int> &sizes)
{
    QList<QByteArray> images;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        icon(size).convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
        images << png;
    }
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(sizes.size());
    quint32 offset = 6 + 16 * quint32(sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const quint8 side = sizes[i] >= 256 ? 0 : quint8(sizes[i]); // 0 stands for 256
        out << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(images[i].size()) << offset;
        offset += quint32(images[i].size());
    }
    for (const QByteArray &png : images)
        out.writeRawData(png.constData(), int(png.size()));
    return file;
}

// A picture with an alpha channel as a PAM file: the header, then red, green, blue and alpha of
// each pixel, row by row.
bool savePam(const QImage &picture, const QString &path)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGBA8888);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray header = "P7\nWIDTH " + QByteArray::number(pixels.width()) + "\nHEIGHT "
        + QByteArray::number(pixels.height())
        + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    if (file.write(header) != header.size())
        return false;
    for (int y = 0; y < pixels.height(); ++y) {
        const qint64 row = qint64(pixels.width()) * 4;
        if (file.write(reinterpret_cast<const char *>(pixels.constScanLine(y)), row) != row)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makepictures <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    // Each picture at its own size, and at twice that size as "<name>@2x.png" for screens of
    // higher density.
    for (const int scale : {1, 2}) {
        const struct
        {
            const char *name;
            QImage image;
        } pictures[] = {
            {"background", background(scale)},
            {"flag-german", germanFlag(scale)},
            {"flag-union", unionFlag(scale)},
            {"information", information(scale)},
            {"minimize", squareButton(scale, QColor(150, 190, 235), false)},
            {"close", squareButton(scale, QColor(205, 45, 35), true)},
            {"checkmark", checkMark(scale)},
            {"hammer", hammer(scale)},
            {"logo", logo(scale, QStringLiteral("Szenerie"))},
            {"logo-english", logo(scale, QStringLiteral("Scenery"))},
        };
        for (const auto &picture : pictures) {
            // The pictures at their own size are read at every start: as raw pixels (PPM, or PAM
            // with an alpha channel) they load many times faster than decoded from PNG.
            const bool alpha = picture.image.hasAlphaChannel();
            const char *format = scale == 1 ? (alpha ? "PAM" : "PPM") : "PNG";
            const QString name = QString::fromLatin1(picture.name)
                + (scale == 1 ? QString() : QStringLiteral("@2x")) + u'.'
                + QString::fromLatin1(format).toLower();
            const QImage image = picture.image.hasAlphaChannel()
                ? picture.image.convertToFormat(QImage::Format_ARGB32)
                : picture.image.convertToFormat(QImage::Format_RGB888);
            const bool saved = scale == 1 && alpha ? savePam(image, folder.filePath(name))
                                                   : image.save(folder.filePath(name), format);
            if (!saved) {
                std::fprintf(stderr, "makepictures: cannot write %s\n", qPrintable(name));
                return 1;
            }
        }
    }
    QFile ico(folder.filePath(QStringLiteral("scenery-configurator.ico")));
    if (!ico.open(QIODevice::WriteOnly) || ico.write(iconFile({16, 24, 32, 48, 256})) < 0) {
        std::fprintf(stderr, "makepictures: cannot write scenery-configurator.ico\n");
        return 1;
    }
    return 0;
}
