#include "widgets/rzformshape.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <qpa/qplatformwindow.h>

#include <algorithm>
#include <string_view>

namespace {

constexpr QRgb colourBits = 0x00FFFFFF;

bool isScannable(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

// The opaque picture with the pixels of its key colour (its bottom-left pixel's) fully
// transparent, made in one pass over the pixels: what a mask of the key colour makes of it.
QImage withoutKeyColour(const QImage &picture)
{
    const QImage opaque = picture.format() == QImage::Format_RGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = opaque.pixel(0, opaque.height() - 1);
    QImage cut(opaque.size(), QImage::Format_ARGB32_Premultiplied);
    cut.setDevicePixelRatio(opaque.devicePixelRatio());
    for (int y = 0; y < cut.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(opaque.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(cut.scanLine(y));
        std::replace_copy(in, in + cut.width(), out, key, QRgb(0));
    }
    return cut;
}

// Appends a rectangle for each run of one row's pixels that are not of the key colour.
template<class IsKey>
void appendRuns(QList<QRect> &rects, int y, int width, IsKey isKey)
{
    int x = 0;
    while (x < width) {
        while (x < width && isKey(x))
            ++x;
        if (x == width)
            break;
        const int runStart = x;
        while (x < width && !isKey(x))
            ++x;
        rects.append(QRect(runStart, y, x - runStart, 1));
    }
}

// The runs of a row of packed 24-bit pixels that are not of the key colour. The key's bytes are
// searched for in the row as a whole, which finds them many times faster than comparing pixel by
// pixel where the key is rare; a find that does not start at a pixel's first byte straddles two
// pixels and is passed over.
void appendPackedRuns(QList<QRect> &rects, int y, int width, const uchar *line,
                      std::string_view keyBytes)
{
    const std::string_view row(reinterpret_cast<const char *>(line), std::size_t(width) * 3);
    int runStart = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t found = row.find(keyBytes, from);
        if (found != std::string_view::npos && found % 3 != 0) {
            from = found + 1;
            continue;
        }
        const int keyX = found == std::string_view::npos ? width : int(found / 3);
        if (keyX > runStart)
            rects.append(QRect(runStart, y, keyX - runStart, 1));
        if (keyX == width)
            return;
        runStart = keyX + 1;
        from = found + 3;
    }
}

} // namespace

TRzFormShape::TRzFormShape(QWidget *parent)
    : QWidget(parent)
{
    Form()->setWindowFlag(Qt::FramelessWindowHint, true);
    Form()->installEventFilter(this);
    if (parentWidget()) {
        parentWidget()->installEventFilter(this);
        setGeometry(parentWidget()->rect());
    }
}

void TRzFormShape::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    UpdateDisplayed();
}

void TRzFormShape::SetPicture(const TScalablePicture &value)
{
    FPicture = value;
    UpdateDisplayed();
    updateGeometry();
}

void TRzFormShape::UpdateDisplayed()
{
    FShownRatio = devicePixelRatioF();
    FShown = FPicture.ForRatio(FShownRatio);
    // Made when a paint first needs it.
    FDisplayed = QPixmap();
    FShownOutline = QRegion();
    update();
}

// The shown picture as it is painted: its key colour transparent.
const QPixmap &TRzFormShape::Displayed()
{
    if (FDisplayed.isNull() && !FShown.isNull()) {
        FDisplayed = FTransparent && !FShown.hasAlphaChannel()
            ? QPixmap::fromImage(withoutKeyColour(FShown))
            : QPixmap::fromImage(FShown);
    }
    return FDisplayed;
}

void TRzFormShape::InitRegion()
{
    if (FInitializedRegion)
        return;
    FInitializedRegion = true;
    const QPoint offset = mapTo(Form(), QPoint(0, 0));
    const QRegion region = GetRegionFromBitmap(WorkingBitmap(FPicture.Normal()));
    if (FShownRatio == 1.0 && FShown.devicePixelRatio() == 1.0 && !FShown.hasAlphaChannel())
        FShownOutline = region;
    if (region.isEmpty())
        Form()->clearMask();
    else
        Form()->setMask(region.translated(offset));
    if (region.isEmpty() || FShown.devicePixelRatio() == 1.0)
        FDeviceRegion = region.translated(offset);
    else
        FDeviceRegion = GetRegionFromBitmap(WorkingBitmap(FShown))
                            .translated((QPointF(offset) * FShown.devicePixelRatio()).toPoint());
    ApplyDeviceRegion();
}

// The toolkit hands the window system the logical outline multiplied by the ratio, in steps of
// whole logical pixels; the outline scanned from the picture as drawn replaces it.
void TRzFormShape::ApplyDeviceRegion()
{
    if (FDeviceRegion.isEmpty() || FShown.devicePixelRatio() == 1.0)
        return;
    if (QWindow *window = Form()->windowHandle(); window && window->handle())
        window->handle()->setMask(FDeviceRegion);
}

// Moved to a screen of another ratio: the picture and the outline are made for it.
void TRzFormShape::FollowPixelRatio()
{
    if (FShownRatio == devicePixelRatioF())
        return;
    UpdateDisplayed();
    if (FInitializedRegion)
        RecreateRegion();
}

void TRzFormShape::RecreateRegion()
{
    FInitializedRegion = false;
    InitRegion();
}

// The picture as it is scanned: an opaque picture as it is, one with an alpha channel drawn
// over black.
QImage TRzFormShape::WorkingBitmap(const QImage &picture)
{
    if (picture.isNull() || !picture.hasAlphaChannel())
        return picture;
    QImage working(picture.size(), QImage::Format_RGB32);
    working.fill(Qt::black);
    QPainter painter(&working);
    painter.drawImage(QRect(QPoint(0, 0), picture.size()), picture);
    return working;
}

QRegion TRzFormShape::GetRegionFromBitmap(const QImage &bitmap) const
{
    if (!FTransparent || bitmap.isNull())
        return {};
    // A picture of packed 24-bit pixels (a raw picture read in place) is scanned as it is, not
    // converted whole into fresh memory first.
    const bool packed = bitmap.format() == QImage::Format_RGB888;
    const QImage image = packed || isScannable(bitmap.format())
        ? bitmap
        : bitmap.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const QRgb key = image.pixel(0, height - 1) & colourBits;
    const char keyBytes[] = {char(qRed(key)), char(qGreen(key)), char(qBlue(key))};

    // Rows with the same runs as the row above extend its rectangles downward, which gives the
    // banded form QRegion::setRects expects.
    QList<QRect> rects;
    qsizetype bandStart = 0;
    qsizetype bandSize = 0;
    for (int y = 0; y < height; ++y) {
        const qsizetype rowStart = rects.size();
        if (packed) {
            appendPackedRuns(rects, y, width, image.constScanLine(y),
                             std::string_view(keyBytes, sizeof keyBytes));
        } else {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            appendRuns(rects, y, width,
                       [line, key](int x) { return (line[x] & colourBits) == key; });
        }
        const qsizetype rowSize = rects.size() - rowStart;
        if (rowSize == 0)
            continue;
        bool sameRuns = rowSize == bandSize && rects[bandStart].bottom() == y - 1;
        for (qsizetype i = 0; sameRuns && i < rowSize; ++i) {
            const QRect &above = rects[bandStart + i];
            const QRect &here = rects[rowStart + i];
            sameRuns = above.left() == here.left() && above.width() == here.width();
        }
        if (sameRuns) {
            for (qsizetype i = 0; i < bandSize; ++i)
                rects[bandStart + i].setBottom(y);
            rects.resize(rowStart);
        } else {
            bandStart = rowStart;
            bandSize = rowSize;
        }
    }
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

bool TRzFormShape::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Form() && event->type() == QEvent::Show && !event->spontaneous()) {
        FollowPixelRatio();
        InitRegion();
        // A window made anew gets the toolkit's outline again.
        ApplyDeviceRegion();
        Q_EMIT OnFormShow();
    }
    if (watched == Form() && event->type() == QEvent::ScreenChangeInternal)
        FollowPixelRatio();
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void TRzFormShape::paintEvent(QPaintEvent *)
{
    FollowPixelRatio();
    QPainter painter(this);
    // An opaque picture at its own size is copied within its outline, which holds exactly the
    // pixels not of its key colour: no transparent copy of it is made, and nothing is blended.
    if (!FShownOutline.isEmpty()) {
        painter.setClipRegion(FShownOutline);
        painter.drawImage(0, 0, FShown);
        return;
    }
    painter.drawPixmap(0, 0, Displayed());
}

void TRzFormShape::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    event->accept();
    Q_EMIT OnMouseDown(event->button(), event->position().toPoint());
    if (FAllowFormDrag)
        StartDrag(event);
}

void TRzFormShape::StartDrag(const QMouseEvent *event)
{
    if (FDragButton != Qt::NoButton)
        return;
    QWindow *handle = Form()->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    // The window system does not move the window: follow the pointer until the release.
    FDragButton = event->button();
    FDragStart = event->globalPosition().toPoint();
    FFormStart = Form()->pos();
}

void TRzFormShape::mouseMoveEvent(QMouseEvent *event)
{
    if (FDragButton != Qt::NoButton)
        Form()->move(FFormStart + event->globalPosition().toPoint() - FDragStart);
    QWidget::mouseMoveEvent(event);
}

void TRzFormShape::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == FDragButton)
        FDragButton = Qt::NoButton;
    QWidget::mouseReleaseEvent(event);
}
