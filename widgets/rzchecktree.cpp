#include "widgets/rzchecktree.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QToolTip>

// Draws a row's check image in a cell left of its text and leaves the rest to the styled
// delegate. The rows carry their check state for assistive technology only: the delegate
// neither draws the toolkit's check box for it nor lets the toolkit toggle it.
class TRzCheckTreeDelegate : public QStyledItemDelegate
{
public:
    explicit TRzCheckTreeDelegate(TRzCheckTree *tree)
        : QStyledItemDelegate(tree)
        , FTree(tree)
    { }

    bool editorEvent(QEvent *, QAbstractItemModel *, const QStyleOptionViewItem &,
                     const QModelIndex &) override
    {
        return false;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        // A selected or hovered row is highlighted across its check image too, in one bar.
        if (option.state & (QStyle::State_Selected | QStyle::State_MouseOver)) {
            QStyleOptionViewItem rowOption(option);
            initStyleOption(&rowOption, index);
            rowOption.text.clear();
            rowOption.features &= ~QStyleOptionViewItem::HasDisplay;
            const QWidget *view = option.widget;
            (view ? view->style() : QApplication::style())
                ->drawPrimitive(QStyle::PE_PanelItemViewItem, &rowOption, painter, view);
        }
        // State index n >= 1 shows image n; 0 (unknown) shows none.
        const int stateIndex = index.data(TRzCheckTree::StateIndexRole).toInt();
        if (stateIndex >= 1 && stateIndex < FTree->FCheckImages.size()) {
            const int top
                = option.rect.top() + (option.rect.height() - FTree->CheckImageHeight()) / 2;
            painter->drawPixmap(QPoint(option.rect.left(), top), FTree->FCheckImages[stateIndex]);
        }
        QStyleOptionViewItem textOption(option);
        textOption.rect.setLeft(option.rect.left() + FTree->FBmpWidth + FTree->FImageWidth);
        QStyledItemDelegate::paint(painter, textOption, index);
    }

    // A caption cut with an ellipsis shows whole as the tooltip; a whole one shows none.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem textOption(option);
        initStyleOption(&textOption, index);
        textOption.rect.setLeft(option.rect.left() + FTree->FBmpWidth + FTree->FImageWidth);
        const QStyle *style = view->style();
        const QRect textRect
            = style->subElementRect(QStyle::SE_ItemViewItemText, &textOption, view);
        // The style keeps a margin on each side of the text within its rectangle.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        if (textOption.fontMetrics.horizontalAdvance(textOption.text)
            > textRect.width() - 2 * margin)
            QToolTip::showText(event->globalPos(), textOption.text, view->viewport());
        else
            QToolTip::hideText();
        return true;
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += FTree->FBmpWidth + FTree->FImageWidth;
        size.setHeight(FTree->FItemHeight > 0 ? FTree->FItemHeight
                                              : qMax(size.height(), FTree->CheckImageHeight()));
        return size;
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
    }

private:
    TRzCheckTree *FTree;
};

TRzCheckTree::TRzCheckTree(QWidget *parent)
    : QTreeView(parent)
{
    setModel(&FItemModel);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new TRzCheckTreeDelegate(this));
    FThemedCheckImages = style()->name().compare(u"windows", Qt::CaseInsensitive) != 0;
    InitStateImages();
}

TRzCheckTree::~TRzCheckTree()
{
    // The view lets go of the rows before the nodes they show are destroyed.
    setModel(nullptr);
}

QColor TRzCheckTree::HighlightColor() const
{
    return FHighlightColor.isValid() ? FHighlightColor
                                     : palette().color(QPalette::Active, QPalette::Highlight);
}

void TRzCheckTree::SetHighlightColor(const QColor &value)
{
    if (value == FHighlightColor)
        return;
    FHighlightColor = value;
    InitStateImages();
}

QColor TRzCheckTree::FrameColor() const
{
    return FFrameColor.isValid() ? FFrameColor : palette().color(QPalette::Active, QPalette::Dark);
}

void TRzCheckTree::SetFrameColor(const QColor &value)
{
    if (value == FFrameColor)
        return;
    FFrameColor = value;
    InitStateImages();
}

void TRzCheckTree::SetItemHeight(int value)
{
    value = qMax(0, value);
    if (value == FItemHeight)
        return;
    FItemHeight = value;
    InitStateImages();
    scheduleDelayedItemsLayout();
}

void TRzCheckTree::SetThemedCheckImages(bool value)
{
    if (value == FThemedCheckImages)
        return;
    FThemedCheckImages = value;
    InitStateImages();
}

QRect TRzCheckTree::CheckArea(const QModelIndex &index) const
{
    const QRect row = visualRect(index);
    if (!row.isValid())
        return {};
    // R is the text's rectangle; the area is R.Left - FImageWidth - FBmpWidth < X <=
    // R.Left - FImageWidth and R.Top <= Y <= R.Bottom.
    const int textLeft = row.left() + FBmpWidth + FImageWidth;
    return QRect(QPoint(textLeft - FImageWidth - FBmpWidth + 1, row.top()),
                 QPoint(textLeft - FImageWidth, row.bottom()));
}

bool TRzCheckTree::ArmIfInCheckArea(const QModelIndex &index, const QMouseEvent *event)
{
    if (!index.isValid() || event->button() != Qt::LeftButton
        || !CheckArea(index).contains(event->position().toPoint()))
        return false;
    const int absoluteIndex = FItems.AbsoluteIndex(NodeOf(index));
    if (absoluteIndex < 0)
        return false;
    FItems.SetChangingState(true);
    FSelectedItem = absoluteIndex;
    return true;
}

void TRzCheckTree::mousePressEvent(QMouseEvent *event)
{
    // The base selects the row under the pointer; the check area is then tested on that row.
    QTreeView::mousePressEvent(event);
    ArmIfInCheckArea(currentIndex(), event);
}

void TRzCheckTree::mouseReleaseEvent(QMouseEvent *event)
{
    TCheckTreeNode *node = NodeOf(currentIndex());
    if (event->button() == Qt::LeftButton && FItems.ChangingState() && node
        && FItems.AbsoluteIndex(node) == FSelectedItem
        && viewport()->rect().contains(event->position().toPoint()))
        FItems.ToggleCheckState(node);
    QTreeView::mouseReleaseEvent(event);
}

void TRzCheckTree::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second click of a double click on a check box is one more press on it, and must not
    // expand or collapse the node.
    if (ArmIfInCheckArea(currentIndex(), event)) {
        event->accept();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void TRzCheckTree::keyPressEvent(QKeyEvent *event)
{
    // Space toggles on release only; its press must neither select nor start a keyboard search.
    if (event->key() == Qt::Key_Space || event->text() == u" ") {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TRzCheckTree::keyReleaseEvent(QKeyEvent *event)
{
    TCheckTreeNode *node = NodeOf(currentIndex());
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()
        && state() != QAbstractItemView::EditingState && node)
        FItems.ToggleCheckState(node);
    QTreeView::keyReleaseEvent(event);
}

void TRzCheckTree::paintEvent(QPaintEvent *event)
{
    if (!qFuzzyCompare(devicePixelRatioF(), FImagesPixelRatio))
        InitStateImages();
    QTreeView::paintEvent(event);
    // A node still without a state was drawn unchecked; from now on it reads so too.
    FItems.NormaliseStates();
}

void TRzCheckTree::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        InitStateImages();
    QTreeView::changeEvent(event);
}

void TRzCheckTree::InitStateImages()
{
    FImagesPixelRatio = devicePixelRatioF();
    const int height = CheckImageHeight();
    FCheckImages.clear();
    // Image 0 is a placeholder: state 0 (unknown) shows no check box.
    const auto makeImages = [&](auto draw) {
        for (const TRzCheckState state : {csUnchecked, csUnchecked, csChecked, csPartiallyChecked})
            FCheckImages.append((this->*draw)(state, height));
    };
    if (FThemedCheckImages)
        makeImages(&TRzCheckTree::ThemedCheckImage);
    // A style that draws the same box for every state (Windows' own style where the system's
    // themes do not draw check marks, as under Wine) would hide the states: the classic images
    // stand in then.
    if (!FThemedCheckImages
        || FCheckImages[csChecked].toImage() == FCheckImages[csUnchecked].toImage()) {
        FCheckImages.clear();
        makeImages(&TRzCheckTree::ClassicCheckImage);
    }
    viewport()->update();
}

QPixmap TRzCheckTree::ClassicCheckImage(TRzCheckState state, int height) const
{
    const QColor treeColor = palette().color(QPalette::Active, QPalette::Base);
    const QColor windowColor = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    const QColor highlight = HighlightColor();

    QImage box(QSize(FBmpWidth, height) * FImagesPixelRatio, QImage::Format_ARGB32);
    box.setDevicePixelRatio(FImagesPixelRatio);
    box.fill(treeColor);
    {
        QPainter painter(&box);
        painter.fillRect(QRect(0, 0, 14, 14), FrameColor());
        painter.fillRect(QRect(1, 1, 12, 12), windowColor);
        if (state == csChecked) {
            // Seven columns of three pixels: down from (3,5) to (5,7), then up to (9,3).
            for (int x = 3; x <= 9; ++x)
                painter.fillRect(QRect(x, x <= 5 ? x + 2 : 12 - x, 1, 3), highlight);
        } else if (state == csPartiallyChecked) {
            painter.fillRect(QRect(3, 3, 8, 8), highlight);
        }
    }

    // Drawn onto an olive key colour that then becomes transparent.
    const QRgb key = qRgb(128, 128, 0);
    QImage image(box.size(), QImage::Format_ARGB32);
    image.setDevicePixelRatio(FImagesPixelRatio);
    image.fill(key);
    {
        QPainter painter(&image);
        painter.drawImage(QPoint(2, (height - 13) / 2), box);
    }
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

QPixmap TRzCheckTree::ThemedCheckImage(TRzCheckState state, int height) const
{
    QImage image(QSize(FBmpWidth, height) * FImagesPixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(FImagesPixelRatio);
    // Transparent around the indicator, so that a selected row's bar runs through the cell.
    image.fill(Qt::transparent);

    QStyleOptionButton option;
    option.initFrom(this);
    option.state = QStyle::State_Enabled | QStyle::State_Active
        | (state == csChecked                ? QStyle::State_On
               : state == csPartiallyChecked ? QStyle::State_NoChange
                                             : QStyle::State_Off);
    // The indicator keeps its natural size, centred in the cell.
    const int width = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
    const int indicatorHeight = style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this);
    option.rect
        = QRect((FBmpWidth - width) / 2, (height - indicatorHeight) / 2, width, indicatorHeight);
    QPainter painter(&image);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    painter.end();
    return QPixmap::fromImage(image);
}
