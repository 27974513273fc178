#include "htmltext/paintercanvas.h"

#include "htmltext/imagelist.h"
#include "widgets/textline.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QPaintDevice>
#include <QPainter>

namespace {

// The shown text of a run with ampersand prefixes: "&&" is one "&", a single "&" vanishes.
QString withoutPrefixes(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&')
                out += u'&';
            ++i;
            if (i < text.size() && text[i] != u'&')
                out += text[i];
            continue;
        }
        out += text[i];
    }
    return out;
}

// How far the accents of capitals reach above the baseline in a font on a device of a given
// resolution. Measuring them loads their outlines; every canvas of a paint asks again for the
// same few fonts, so each is measured once.
int accentTop(const QFont &font, const QFontMetrics &metrics, const QPaintDevice *device)
{
    static QHash<QString, int> measured;
    const QString key = font.key() + u'@' + QString::number(device ? device->logicalDpiY() : 0);
    auto found = measured.constFind(key);
    if (found == measured.cend())
        found = measured.insert(key, -metrics.tightBoundingRect(QStringLiteral("ÄÖÜÉ")).top());
    return *found;
}

} // namespace

TPainterCanvas::TPainterCanvas(QPainter &painter, const QPalette &palette)
    : FPainter(painter)
    , FPalette(palette)
    , FInherited(painter.font())
    , FMetrics(FInherited)
{
    const QFont &current = FInherited;
    FFont.name = current.family();
    FFont.size = current.pointSize() > 0 ? current.pointSize() : 8;
    applyFont();
}

QFont TPainterCanvas::qfont(const THTMLFont &font) const
{
    QFont f(font.name);
    f.setPointSize(std::max(font.size, 1));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    // Measured in the font it is drawn in: a font that leaves out, say, the widget's style
    // strategy would be measured by one font engine and drawn by another, each loaded and
    // filled with the same glyphs.
    QFont drawn = f.resolve(FInherited);
    // Every attribute counts as set, so that a painter whose device has another default font
    // (a pixmap's is the application's) draws it as it was measured.
    drawn.setResolveMask(QFont::AllPropertiesResolved);
    return drawn;
}

void TPainterCanvas::setFont(const THTMLFont &font)
{
    if (font == FFont)
        return;
    // Colour and orientation are applied when drawing; only the other fields change the metrics,
    // which are costly to take anew (links and shadows switch colours word by word).
    const bool sameMetrics = font.name == FFont.name && font.size == FFont.size
        && font.bold == FFont.bold && font.italic == FFont.italic
        && font.underline == FFont.underline && font.strikeOut == FFont.strikeOut;
    FFont = font;
    if (!sameMetrics)
        applyFont();
}

void TPainterCanvas::applyFont()
{
    FQFont = qfont(FFont);
    FMetrics = QFontMetrics(FQFont, FPainter.device());
    // Some fonts (the free look-alike of "Tahoma" among them) state an ascent that leaves out
    // the accents of capitals: a line that tall would cut the dots off "Ä" and "Ü".
    FTextHeight = std::max(FMetrics.ascent(), accentTop(FQFont, FMetrics, FPainter.device()))
        + FMetrics.descent();
    FRunHeight = FTextHeight + std::max(FMetrics.leading(), 0);
}

int TPainterCanvas::textWidth(QStringView text)
{
    return FMetrics.horizontalAdvance(text.toString());
}

QSize TPainterCanvas::measureRun(QStringView text, bool prefix)
{
    const QFontMetrics &metrics = FMetrics;
    const QString shown = prefix ? withoutPrefixes(text) : text.toString();
    return QSize(metrics.horizontalAdvance(shown), FRunHeight);
}

void TPainterCanvas::drawRun(const TRect &r, QStringView text, bool prefix, bool ellipsis,
                             int width)
{
    QString shown = text.toString();
    if (ellipsis && width > r.Width()) {
        shown = FMetrics.elidedText(prefix ? withoutPrefixes(text) : shown, Qt::ElideRight,
                                    std::max(r.Width(), 0));
        prefix = false;
        width = FMetrics.horizontalAdvance(shown);
    }
    const int flags = Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine | Qt::TextExpandTabs
        | Qt::TextDontClip | (prefix ? Qt::TextShowMnemonic : 0);
    const int height = FRunHeight;
    FPainter.save();
    FPainter.setFont(FQFont);
    FPainter.translate(r.Left, r.Bottom);
    if (FFont.orientation != 0)
        FPainter.rotate(-FFont.orientation / 10.0);
    if (FBrushSolid)
        FPainter.fillRect(QRect(0, -height, width, height), color(FBrushColor));
    FPainter.setPen(color(FFont.color));
    // Wide enough for the whole run; the clip of the caller bounds it.
    DrawTextLine(FPainter, QRect(0, -height, std::max(width, r.Width()) + 1, height), flags, shown);
    FPainter.restore();
}

int TPainterCanvas::charsThatFit(QStringView text, int width)
{
    const QFontMetrics &metrics = FMetrics;
    int used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        used += metrics.horizontalAdvance(text[i]);
        if (used > width)
            return int(i);
    }
    return int(text.size());
}

void TPainterCanvas::fillRect(const TRect &r)
{
    FPainter.fillRect(r.toQRect(), color(FBrushColor));
}

void TPainterCanvas::fillEllipse(const TRect &r)
{
    FPainter.save();
    FPainter.setRenderHint(QPainter::Antialiasing);
    FPainter.setPen(Qt::NoPen);
    FPainter.setBrush(color(FBrushColor));
    FPainter.drawEllipse(r.toQRect());
    FPainter.restore();
}

void TPainterCanvas::lineTo(int x, int y)
{
    FPainter.save();
    FPainter.setPen(QPen(color(FPenColor), 0));
    FPainter.drawLine(FPenPos, QPoint(x, y));
    FPainter.restore();
    FPenPos = QPoint(x, y);
}

void TPainterCanvas::drawFocusRect(const TRect &r)
{
    FPainter.save();
    FPainter.setPen(QPen(color(FFont.color), 0, Qt::DotLine));
    FPainter.setBrush(Qt::NoBrush);
    FPainter.drawRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    FPainter.restore();
}

void TPainterCanvas::drawPicture(int x, int y, const QPixmap &picture)
{
    FPainter.drawPixmap(x, y, picture);
}

void TPainterCanvas::stretchPicture(const TRect &r, const QPixmap &picture)
{
    FPainter.drawPixmap(r.toQRect(), picture);
}

void TPainterCanvas::tilePicture(const TRect &r, const QPixmap &picture)
{
    FPainter.drawTiledPixmap(r.toQRect(), picture);
}

void TPainterCanvas::drawImage(int x, int y, const TImageList &images, int index)
{
    FPainter.drawPixmap(x, y, images.Image(index));
}

void TPainterCanvas::stretchImage(const TRect &r, const TImageList &images, int index)
{
    FPainter.drawPixmap(r.toQRect(), images.Image(index));
}

void TPainterCanvas::setClipRect(const TRect &r)
{
    FPainter.setClipRect(r.toQRect());
}

void TPainterCanvas::clearClip()
{
    FPainter.setClipping(false);
}

int TPainterCanvas::dpi() const
{
    return FPainter.device() ? FPainter.device()->logicalDpiX() : 96;
}

QPixmap TPainterCanvas::systemIcon(const QString &source, bool large)
{
    // Icon numbers refer to a shell icon table this platform does not have.
    bool number = false;
    source.toInt(&number);
    if (number || source.isEmpty())
        return QPixmap();
    const QMimeDatabase mimes;
    const QFileInfo info(source);
    const QMimeType type = info.exists()
        ? mimes.mimeTypeForFile(info)
        : mimes.mimeTypeForFile(source, QMimeDatabase::MatchExtension);
    const QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    const int side = large ? 32 : 16;
    return icon.isNull() ? QPixmap() : icon.pixmap(side, side);
}
