#include "tests/htmltext/fixedcanvas.h"

#include "htmltext/imagelist.h"

namespace {

// Shown text of a run with ampersand prefixes, and the index of the underlined character.
QString shownText(QStringView text, bool prefix, int *mnemonic)
{
    *mnemonic = -1;
    if (!prefix)
        return text.toString();
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            ++i;
            if (i >= text.size())
                break;
            if (text[i] != u'&')
                *mnemonic = int(out.size());
        }
        out += text[i];
    }
    return out;
}

QString sizeText(QSize size)
{
    return QString::number(size.width()) + u'x' + QString::number(size.height());
}

} // namespace

QSize TFixedCanvas::measureRun(QStringView text, bool prefix)
{
    int mnemonic;
    return QSize(textWidth(shownText(text, prefix, &mnemonic)), height(FFont));
}

void TFixedCanvas::drawRun(const TRect &r, QStringView text, bool prefix, bool ellipsis, int width)
{
    int mnemonic;
    QString shown = shownText(text, prefix, &mnemonic);
    if (ellipsis && width > r.Width()) {
        shown = shown.left(charsThatFit(shown, r.Width() - charWidth(FFont))) + u'\u2026';
        if (mnemonic >= shown.size() - 1)
            mnemonic = -1;
        width = textWidth(shown);
    }
    // The cell is as wide as the renderer says, so a width it passes wrong shows.
    record(QStringLiteral("text"),
           TRect{r.Left, r.Bottom - height(FFont), r.Left + width, r.Bottom}, shown, mnemonic);
}

int TFixedCanvas::charsThatFit(QStringView text, int width)
{
    return int(std::clamp<qsizetype>(width / charWidth(FFont), 0, text.size()));
}

void TFixedCanvas::lineTo(int x, int y)
{
    record(QStringLiteral("line"), TRect{FPenX, FPenY, x, y});
    FPenX = x;
    FPenY = y;
}

void TFixedCanvas::drawPicture(int x, int y, const QPixmap &picture)
{
    record(QStringLiteral("picture"), TRect{x, y, x + picture.width(), y + picture.height()},
           sizeText(picture.size()));
}

void TFixedCanvas::stretchPicture(const TRect &r, const QPixmap &picture)
{
    record(QStringLiteral("stretch"), r, sizeText(picture.size()));
}

void TFixedCanvas::tilePicture(const TRect &r, const QPixmap &picture)
{
    record(QStringLiteral("tile"), r, sizeText(picture.size()));
}

void TFixedCanvas::drawImage(int x, int y, const TImageList &images, int index)
{
    record(QStringLiteral("image"), TRect{x, y, x + images.Width(), y + images.Height()},
           QString::number(index));
}

void TFixedCanvas::stretchImage(const TRect &r, const TImageList &, int index)
{
    record(QStringLiteral("image"), r, QString::number(index));
}

QPixmap TFixedCanvas::systemIcon(const QString &source, bool large)
{
    if (source.isEmpty())
        return QPixmap();
    QPixmap icon(large ? 32 : 16, large ? 32 : 16);
    icon.fill(Qt::darkBlue);
    return icon;
}

QList<TFixedCanvas::TCall> TFixedCanvas::calls(const QString &kind) const
{
    QList<TCall> found;
    for (const TCall &call : FCalls) {
        if (call.kind == kind)
            found << call;
    }
    return found;
}

QString TFixedCanvas::runs() const
{
    QStringList parts;
    for (const TCall &call : calls(QStringLiteral("text")))
        parts << QString::number(call.rect.Left) + u',' + QString::number(call.rect.Bottom) + u':'
                + call.text;
    return parts.join(u'|');
}

QString TFixedCanvas::rects(const QString &kind) const
{
    QStringList parts;
    for (const TCall &call : calls(kind))
        parts << QStringLiteral("%1,%2,%3,%4")
                     .arg(call.rect.Left)
                     .arg(call.rect.Top)
                     .arg(call.rect.Right)
                     .arg(call.rect.Bottom);
    return parts.join(u'|');
}

void TFixedCanvas::record(const QString &kind, const TRect &r, const QString &text, int mnemonic)
{
    FCalls.append(TCall{kind, r, text, FFont, FBrushSolid || kind != u"text" ? FBrushColor : clNone,
                        mnemonic});
}
