#pragma once

#include "checkstate/checktreemodel.h"

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QTreeWidget>

// A tree view whose rows carry a tri-state check box left of their text. The nodes and their
// check-state rules live in Items(); the widget mirrors every node into a QTreeWidgetItem, draws
// the check images and turns clicks on a check box and the space bar into toggles. Change the
// nodes through Items() only, not through the QTreeWidget item functions.
class TRzCheckTree : public QTreeWidget, private TCheckTreeObserver
{
    Q_OBJECT

public:
    // Item data roles: the node shown by an item, and a copy of its state index (a change of the
    // copy repaints the row).
    static constexpr int NodeRole = Qt::UserRole;
    static constexpr int StateIndexRole = Qt::UserRole + 1;

    explicit TRzCheckTree(QWidget *parent = nullptr);
    ~TRzCheckTree() override;

    TCheckTreeModel &Items() { return FItems; }
    const TCheckTreeModel &Items() const { return FItems; }
    static TCheckTreeNode *NodeOf(const QTreeWidgetItem *item);
    static QTreeWidgetItem *ItemOf(const TCheckTreeNode *node);

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
    QString MixedStateDescription() const { return FMixedStateDescription; }
    void SetMixedStateDescription(const QString &value);

    // Check images 0 to 3, by state index.
    const QList<QPixmap> &CheckImages() const { return FCheckImages; }
    // Where a press arms a toggle of the item: left of its text, across the row's height.
    QRect CheckArea(const QTreeWidgetItem *item) const;

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

    void NodeAdded(TCheckTreeNode *node) override;
    void NodeRemoving(TCheckTreeNode *node) override;
    void NodesCleared() override;
    void NodeTextChanged(TCheckTreeNode *node) override;
    void NodeStateChanged(TCheckTreeNode *node) override;
    void UpdateStarted() override;
    void UpdateEnded() override;
    void InsertPendingItems();
    void MirrorState(QTreeWidgetItem *item, int stateIndex) const;

    void InitStateImages();
    QPixmap ClassicCheckImage(TRzCheckState state, int height) const;
    QPixmap ThemedCheckImage(TRzCheckState state, int height) const;
    int CheckImageHeight() const { return qMax(16, FItemHeight); }
    bool ArmIfInCheckArea(QTreeWidgetItem *item, const QMouseEvent *event);

    TCheckTreeModel FItems;
    int FSelectedItem = -1;
    const int FBmpWidth = 20;
    int FImageWidth = 0; // no normal node images are shown
    QList<QPixmap> FCheckImages;
    qreal FImagesPixelRatio = 1.0;
    QString FMixedStateDescription;
    QColor FHighlightColor;
    QColor FFrameColor;
    int FItemHeight = 0;
    bool FThemedCheckImages = true;
    bool FStateMirrored = false; // a node's state was copied to its item, see paintEvent
    // During a bulk update new top-level items are built off the view and inserted together at
    // its end: items outside the view change without a signal per child and per state.
    bool FHoldingView = false;
    QList<QTreeWidgetItem *> FPendingItems;
};
