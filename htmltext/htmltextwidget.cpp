#include "htmltext/htmltextwidget.h"

#include "platform/platform.h"

#include <QHelpEvent>
#include <QPointer>
#include <QTextDocument>
#include <QToolTip>

#include <cmath>

namespace {

constexpr int AutoSizeMargin = 6;
constexpr int AutoSizeExtent = 0xFFFF;
constexpr int HintOffset = 10;

} // namespace

bool IsShellTarget(const QString &anchor)
{
    return anchor.contains(u"://") || anchor.contains(u"mailto:");
}

TMeasureCanvas::TMeasureCanvas(const QWidget &widget, const THTMLFont &font)
    : FImage(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    // Same resolution as the widget, so that fonts measure as they are drawn.
    constexpr double metersPerInch = 0.0254;
    FImage.setDotsPerMeterX(int(std::lround(widget.logicalDpiX() / metersPerInch)));
    FImage.setDotsPerMeterY(int(std::lround(widget.logicalDpiY() / metersPerInch)));
    FPainter.begin(&FImage);
    FPainter.setFont(widget.font());
    FCanvas = std::make_unique<TPainterCanvas>(FPainter, widget.palette());
    FCanvas->setFont(font);
}

// ---------------------------------------------------------------------------------------------

THTMLTextWidget::THTMLTextWidget(QWidget *parent, int shadowOffset)
    : QWidget(parent)
    , FShadowOffset(shadowOffset)
{
    setMouseTracking(true);
}

void THTMLTextWidget::SetHTMLText(const QStringList &value)
{
    if (value == FHTMLText)
        return;
    FHTMLText = value;
    HTMLTextChanged();
    Repaint();
}

void THTMLTextWidget::SetImages(const TImageList *value)
{
    if (value == FImages)
        return;
    FImages = value;
    Repaint();
}

void THTMLTextWidget::SetPictureContainer(const TPictureContainer *value)
{
    if (value == FContainer)
        return;
    FContainer = value;
    Repaint();
}

void THTMLTextWidget::SetAutoSizing(bool value)
{
    if (value == FAutoSizing)
        return;
    FAutoSizing = value;
    applyAutoSizing();
}

void THTMLTextWidget::SetAutoSizeType(TAutoSizeType value)
{
    if (value == FAutoSizeType)
        return;
    FAutoSizeType = value;
    applyAutoSizing();
}

void THTMLTextWidget::applyAutoSizing()
{
    // A docked widget starts from the smallest size along the edge it may grow; the next paint
    // sizes it to its text.
    if (FAutoSizing) {
        if (FAlign == alLeft || FAlign == alRight)
            resize(AutoSizeMargin, height());
        else if (FAlign == alTop || FAlign == alBottom)
            resize(width(), AutoSizeMargin);
    }
    Repaint();
}

void THTMLTextWidget::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        Repaint();
}

void THTMLTextWidget::Shrink(TRect &r, int by)
{
    r.Left += by;
    r.Top += by;
    r.Right -= by;
    r.Bottom -= by;
}

THTMLFont THTMLTextWidget::HTMLFont() const
{
    const QFont f = font();
    THTMLFont result;
    result.name = f.family();
    result.size = f.pointSize() > 0
        ? f.pointSize()
        : std::max(1, int(std::lround(f.pixelSize() * 72.0 / logicalDpiY())));
    result.bold = f.bold();
    result.italic = f.italic();
    result.underline = f.underline();
    result.strikeOut = f.strikeOut();
    result.color = QColorToColor(palette().color(foregroundRole()));
    return result;
}

TColor THTMLTextWidget::Color() const
{
    return QColorToColor(palette().color(backgroundRole()));
}

THTMLDrawParams THTMLTextWidget::BaseParams(const TRect &fr)
{
    THTMLDrawParams p;
    p.s = GetDisplText();
    p.fr = fr;
    p.FImages = FImages;
    p.ic = &FImageCache;
    p.pc = FContainer;
    p.LineSpacing = FLineSpacing;
    p.WordWrap = !FEllipsis;
    p.HoverLink = FHoverHyperLink;
    p.HoverStyle = FHover;
    p.ShadowOffset = FShadowOffset;
    p.ShadowColor = FShadowColor;
    p.URLColor = FURLColor;
    p.HoverColor = FHoverColor;
    p.HoverFontColor = FHoverFontColor;
    return p;
}

bool THTMLTextWidget::growsHorizontally() const
{
    return (FAlign == alNone || FAlign == alLeft || FAlign == alRight)
        && (FAutoSizeType == asHorizontal || FAutoSizeType == asBoth);
}

bool THTMLTextWidget::growsVertically() const
{
    return (FAlign == alNone || FAlign == alTop || FAlign == alBottom)
        && (FAutoSizeType == asVertical || FAutoSizeType == asBoth);
}

void THTMLTextWidget::ExtendForAutoSizing(TRect &r) const
{
    if (!FAutoSizing)
        return;
    if (growsHorizontally())
        r.Right += AutoSizeExtent;
    if (growsVertically())
        r.Bottom += AutoSizeExtent;
}

void THTMLTextWidget::ApplyAutoSize(int x, int y)
{
    if (growsVertically() && height() != y + AutoSizeMargin)
        resize(width(), y + AutoSizeMargin);
    if (growsHorizontally() && width() != x + AutoSizeMargin)
        resize(x + AutoSizeMargin, height());
}

bool THTMLTextWidget::HandCursor() const
{
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::PointingHandCursor;
}

void THTMLTextWidget::SetHandCursor(bool hand)
{
    if (hand)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void THTMLTextWidget::ClickAnchor(const QString &anchor)
{
    const QPointer<THTMLTextWidget> alive(this);
    DoAnchorClick(anchor);
    if (alive)
        OpenShellTarget(anchor);
}

void THTMLTextWidget::OpenShellTarget(const QString &anchor)
{
    if (FPlatform && IsShellTarget(anchor))
        FPlatform->ShellOpen(anchor);
}

QString THTMLTextWidget::HintAt(QPoint pos)
{
    if (!FAnchorHint)
        return {};
    QString anchor = AnchorAt(pos);
    if (anchor.isEmpty())
        return {};
    Q_EMIT OnAnchorHint(anchor);
    return PlainHint(anchor);
}

bool THTMLTextWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString hint = HintAt(help->pos());
        if (!hint.isNull()) {
            if (hint.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos() + QPoint(HintOffset, -HintOffset), hint, this);
            return true;
        }
    }
    return QWidget::event(event);
}

QString THTMLTextWidget::PlainHint(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}
