#pragma once

#include "checkstate/checktreemodel.h"
#include "widgets/checktreeitemmodel.h"

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QTreeView>

// A tree view whose rows carry a tri-state check box left of their text. The nodes and their
// check-state rules live in Items(), which the view shows through a TCheckTreeItemModel; the
// widget draws the check images and turns clicks on a check box and the space bar into toggles.
class TRzCheckTree : public QTreeView
{
    Q_OBJECT

public:
    static constexpr int StateIndexRole = TCheckTreeItemModel::StateIndexRole;

    explicit TRzCheckTree(QWidget *parent = nullptr);
    ~TRzCheckTree() override;

    TCheckTreeModel &Items() { return FItems; }
    const TCheckTreeModel &Items() const { return FItems; }
    static TCheckTreeNode *NodeOf(const QModelIndex &index)
    {
        return TCheckTreeItemModel::NodeOf(index);
    }
    QModelIndex IndexOf(const TCheckTreeNode *node) const { return FItemModel.IndexOf(node); }

    TRzCheckState GetItemState(int absoluteIndex) const
    {
        return FItems.GetItemState(absoluteIndex);
    }
    void SetItemState(int absoluteIndex, TRzCheckState state)
    {
        FItems.SetItemState(absoluteIndex, state);
    }

    bool CascadeChecks() const { return FItems.CascadeChecks(); }
    void SetCascadeChecks(bool value) { FItems.SetCascadeChecks(value); }
    // An invalid colour stands for the palette's default (Highlight, Dark).
    QColor HighlightColor() const;
    void SetHighlightColor(const QColor &value);
    QColor FrameColor() const;
    void SetFrameColor(const QColor &value);
    // Row height; 0 keeps the style's. The check images are max(16, ItemHeight) pixels high.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value);
    bool ThemedCheckImages() const { return FThemedCheckImages; }
    void SetThemedCheckImages(bool value);
    int Indent() const { return indentation(); }
    void SetIndent(int value) { setIndentation(value); }

    // What assistive technology says of a partly checked item.
    QString MixedStateDescription() const { return FItemModel.MixedStateDescription(); }
    void SetMixedStateDescription(const QString &value)
    {
        FItemModel.SetMixedStateDescription(value);
    }

    // Check images 0 to 3, by state index.
    const QList<QPixmap> &CheckImages() const { return FCheckImages; }
    // Where a press arms a toggle of the item: left of its text, across the row's height.
    QRect CheckArea(const QModelIndex &index) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class TRzCheckTreeDelegate;

    void InitStateImages();
    QPixmap ClassicCheckImage(TRzCheckState state, int height) const;
    QPixmap ThemedCheckImage(TRzCheckState state, int height) const;
    int CheckImageHeight() const { return qMax(16, FItemHeight); }
    bool ArmIfInCheckArea(const QModelIndex &index, const QMouseEvent *event);

    TCheckTreeModel FItems;
    TCheckTreeItemModel FItemModel{FItems};
    int FSelectedItem = -1;
    const int FBmpWidth = 20;
    int FImageWidth = 0; // no normal node images are shown
    QList<QPixmap> FCheckImages;
    qreal FImagesPixelRatio = 1.0;
    QColor FHighlightColor;
    QColor FFrameColor;
    int FItemHeight = 0;
    bool FThemedCheckImages = true;
};
