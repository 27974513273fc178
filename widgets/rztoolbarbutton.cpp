#include "widgets/rztoolbarbutton.h"

#include "widgets/focusmark.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOption>

namespace {

constexpr int maxGlyphs = 4;

// A one-pixel edge around rect: raised with Light at the top left, sunken with Dark there.
void drawEdge(QPainter &painter, const QRect &rect, const QColor &topLeft,
              const QColor &bottomRight)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
}

// Image `index` of a strip of `count`, its pixels of the key colour made transparent.
QPixmap cutGlyph(const QImage &strip, int count, int index, QRgb key)
{
    const int width = strip.width() / count;
    QImage image = strip.copy(index * width, 0, width, strip.height());
    image.setDevicePixelRatio(strip.devicePixelRatio());
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == key)
                line[x] = 0;
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

TRzToolbarButton::TRzToolbarButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TRzToolbarButton::SetFlat(bool value)
{
    if (value == FFlat)
        return;
    FFlat = value;
    update();
}

void TRzToolbarButton::SetGlyph(const TScalablePicture &value)
{
    FGlyph = value;
    SplitGlyph();
    updateGeometry();
    update();
}

void TRzToolbarButton::SetNumGlyphs(int value)
{
    value = qBound(1, value, maxGlyphs);
    if (value == FNumGlyphs)
        return;
    FNumGlyphs = value;
    SplitGlyph();
    updateGeometry();
    update();
}

void TRzToolbarButton::SplitGlyph()
{
    FGlyphImages.clear();
    FDerivedDisabled = QPixmap();
    FGlyphRatio = devicePixelRatioF();
    if (FGlyph.IsNull() || FGlyph.Size().width() < FNumGlyphs)
        return;
    const QImage strip = FGlyph.ForRatio(FGlyphRatio).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = strip.pixel(0, strip.height() - 1) & 0x00FFFFFF;
    for (int i = 0; i < FNumGlyphs; ++i)
        FGlyphImages.append(cutGlyph(strip, FNumGlyphs, i, key));
}

void TRzToolbarButton::SetHotGlyph(const TScalablePicture &value)
{
    FHotGlyph = value;
    SetUseHotGlyph(true);
    const int width = value.Size().width();
    const int height = value.Size().height();
    if (height != 0 && width >= height && width % height == 0) {
        const int count = width / height;
        SetHotNumGlyphs(count < 5 ? count : 1);
    }
    update();
}

void TRzToolbarButton::SetHotNumGlyphs(int value)
{
    value = qBound(1, value, maxGlyphs);
    if (value == FHotNumGlyphs)
        return;
    FHotNumGlyphs = value;
    update();
}

void TRzToolbarButton::SetUseHotGlyph(bool value)
{
    if (value == FUseHotGlyph)
        return;
    FUseHotGlyph = value;
    update();
}

void TRzToolbarButton::SetCaption(const QString &value)
{
    if (FShowCaption) {
        setText(value);
    } else {
        // Hidden captions are not taken: what was visible is kept aside and the caption cleared.
        FSaveCaption = text();
        setText(QString());
    }
    updateGeometry();
}

void TRzToolbarButton::SetShowCaption(bool value)
{
    if (value == FShowCaption)
        return;
    FShowCaption = value;
    SetCaption(value ? FSaveCaption : QString());
    update();
}

void TRzToolbarButton::SetLayout(TButtonLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    update();
}

void TRzToolbarButton::SetMargin(int value)
{
    value = qMax(-1, value);
    if (value == FMargin)
        return;
    FMargin = value;
    update();
}

void TRzToolbarButton::SetSpacing(int value)
{
    value = qMax(0, value);
    if (value == FSpacing)
        return;
    FSpacing = value;
    update();
}

void TRzToolbarButton::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

void TRzToolbarButton::SetGroupIndex(int value)
{
    value = qMax(0, value);
    if (value == FGroupIndex)
        return;
    FGroupIndex = value;
    if (value == 0 && FDown) {
        FDown = false;
        update();
    }
}

void TRzToolbarButton::SetDown(bool value)
{
    if (FGroupIndex == 0)
        value = false;
    if (value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = value;
    update();
    if (!value || !parentWidget())
        return;
    const auto siblings
        = parentWidget()->findChildren<TRzToolbarButton *>(Qt::FindDirectChildrenOnly);
    for (TRzToolbarButton *sibling : siblings) {
        if (sibling != this && sibling->FGroupIndex == FGroupIndex && sibling->FDown) {
            sibling->FDown = false;
            sibling->update();
        }
    }
}

void TRzToolbarButton::SetAllowAllUp(bool value)
{
    FAllowAllUp = value;
}

void TRzToolbarButton::SetHint(const QString &value)
{
    FHint = value;
    setToolTip(FShowHint ? FHint : QString());
}

void TRzToolbarButton::SetShowHint(bool value)
{
    FShowHint = value;
    setToolTip(FShowHint ? FHint : QString());
}

QPixmap TRzToolbarButton::CurrentGlyphImage() const
{
    if (FGlyphImages.isEmpty())
        return {};
    if (!isEnabled()) {
        if (FGlyphImages.size() > 1)
            return FGlyphImages[1];
        // Derived when a disabled button first shows it: most buttons are never disabled.
        if (FDerivedDisabled.isNull()) {
            QStyleOption option;
            option.initFrom(this);
            FDerivedDisabled
                = style()->generatedIconPixmap(QIcon::Disabled, FGlyphImages.first(), &option);
        }
        return FDerivedDisabled;
    }
    if (FDown && FGlyphImages.size() > 2)
        return FGlyphImages[FGlyphImages.size() > 3 ? 3 : 2];
    return FGlyphImages.first();
}

QSize TRzToolbarButton::CaptionSize() const
{
    return text().isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, text());
}

QSize TRzToolbarButton::sizeHint() const
{
    const QSize glyph
        = FGlyphImages.isEmpty() ? QSize() : FGlyphImages.first().deviceIndependentSize().toSize();
    const QSize caption = CaptionSize();
    const int spacing = glyph.isEmpty() || caption.isEmpty() ? 0 : FSpacing;
    constexpr int frame = 4;
    if (FLayout == blGlyphLeft || FLayout == blGlyphRight)
        return {glyph.width() + spacing + caption.width() + 2 * frame,
                qMax(glyph.height(), caption.height()) + 2 * frame};
    return {qMax(glyph.width(), caption.width()) + 2 * frame,
            glyph.height() + spacing + caption.height() + 2 * frame};
}

bool TRzToolbarButton::event(QEvent *event)
{
    // The accelerator of the caption clicks the button at once.
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        if (isEnabled() && isVisible()) {
            if (FGroupIndex > 0)
                SetDown(!FDown);
            click();
        }
        return true;
    }
    return QAbstractButton::event(event);
}

void TRzToolbarButton::paintEvent(QPaintEvent *)
{
    if (FGlyphRatio != devicePixelRatioF())
        SplitGlyph();
    QPainter painter(this);
    const QPalette &colours = palette();
    if (!FTransparent)
        painter.fillRect(rect(), colours.color(QPalette::Button));
    const bool pressed = isDown() || FDown;
    const bool hot = FMouseOverControl && isEnabled();
    if (pressed)
        drawEdge(painter, rect(), colours.color(QPalette::Dark), colours.color(QPalette::Light));
    else if (hot || !FFlat)
        drawEdge(painter, rect(), colours.color(QPalette::Light), colours.color(QPalette::Dark));

    // Glyph and caption along the layout's axis, each centred across it.
    const QPixmap glyph = CurrentGlyphImage();
    const QSize glyphSize = glyph.isNull() ? QSize(0, 0) : glyph.deviceIndependentSize().toSize();
    const QSize captionSize = CaptionSize().expandedTo(QSize(0, 0));
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    const int spacing = glyphSize.isEmpty() || captionSize.isEmpty() ? 0 : FSpacing;
    const int along = horizontal ? width() : height();
    const int glyphLength = horizontal ? glyphSize.width() : glyphSize.height();
    const int captionLength = horizontal ? captionSize.width() : captionSize.height();
    const int margin = FMargin < 0 ? (along - glyphLength - spacing - captionLength) / 2 : FMargin;
    int glyphAt = margin;
    int captionAt = margin + glyphLength + spacing;
    if (FLayout == blGlyphRight || FLayout == blGlyphBottom) {
        glyphAt = FMargin < 0 ? margin + captionLength + spacing : along - margin - glyphLength;
        captionAt = glyphAt - spacing - captionLength;
    }
    QPoint glyphPos, captionPos;
    if (horizontal) {
        glyphPos = {glyphAt, (height() - glyphSize.height()) / 2};
        captionPos = {captionAt, (height() - captionSize.height()) / 2};
    } else {
        glyphPos = {(width() - glyphSize.width()) / 2, glyphAt};
        captionPos = {(width() - captionSize.width()) / 2, captionAt};
    }
    const QPoint shift = pressed ? QPoint(1, 1) : QPoint(0, 0);
    if (!glyph.isNull())
        painter.drawPixmap(glyphPos + shift, glyph);
    if (!captionSize.isEmpty())
        style()->drawItemText(&painter, QRect(captionPos + shift, captionSize),
                              Qt::AlignCenter | Qt::TextShowMnemonic, colours, isEnabled(), text(),
                              foregroundRole());
    if (hasFocus())
        DrawFocusMark(painter, rect().adjusted(2, 2, -2, -2));
}

void TRzToolbarButton::keyPressEvent(QKeyEvent *event)
{
    // Return and Enter click the button as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TRzToolbarButton::enterEvent(QEnterEvent *event)
{
    FMouseOverControl = true;
    QAbstractButton::enterEvent(event);
    if (FUseHotGlyph && isEnabled()) {
        if (FChangingGlyph) {
            FChangingGlyph = false;
        } else {
            FChangingGlyph = true;
            FStdGlyph = FGlyph;
            FStdNumGlyphs = FNumGlyphs;
            FGlyph = FHotGlyph;
            FNumGlyphs = FHotNumGlyphs;
            SplitGlyph();
        }
    }
    update();
}

void TRzToolbarButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    FMouseOverControl = false;
    if (FStdNumGlyphs != 0) {
        FGlyph = FStdGlyph;
        FNumGlyphs = FStdNumGlyphs;
        // Nothing is saved any more: a later leave must not bring back this glyph again.
        FStdGlyph = TScalablePicture();
        FStdNumGlyphs = 0;
        SplitGlyph();
    }
    FChangingGlyph = false;
    update();
}

void TRzToolbarButton::mousePressEvent(QMouseEvent *event)
{
    QAbstractButton::mousePressEvent(event);
    if (FUseHotGlyph && isEnabled())
        FChangingGlyph = true;
}

void TRzToolbarButton::mouseReleaseEvent(QMouseEvent *event)
{
    // A click of a grouped button toggles its down state before the click is reported.
    if (event->button() == Qt::LeftButton && isDown() && hitButton(event->position().toPoint())
        && FGroupIndex > 0)
        SetDown(!FDown);
    QAbstractButton::mouseReleaseEvent(event);
}

void TRzToolbarButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        SplitGlyph();
    QAbstractButton::changeEvent(event);
}
