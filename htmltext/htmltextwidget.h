#pragma once

#include "htmltext/htmldraw.h"
#include "htmltext/htmlmarkup.h"
#include "htmltext/paintercanvas.h"
#include "htmltext/picturecache.h"

#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QWidget>

#include <memory>

class QHelpEvent;
class TImageList;
class TPlatform;

enum TAutoSizeType : quint8 { asVertical, asHorizontal, asBoth };
enum TVAlignment : quint8 { tvaTop, tvaCenter, tvaBottom };
enum TBevelCut : quint8 { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle : quint8 { bsNone, bsSingle };
// The edge the owner docks the widget to; it decides which way AutoSizing may grow it.
enum TAlign : quint8 { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Targets the shell opens: web addresses and mail links ("mailto:" in lower case only).
bool IsShellTarget(const QString &anchor);

// A canvas for measuring and hit-testing outside paint events: the widget's font and resolution
// on a scratch image.
class TMeasureCanvas
{
public:
    explicit TMeasureCanvas(const QWidget &widget, const THTMLFont &font);
    TPainterCanvas &canvas() { return *FCanvas; }

private:
    QImage FImage;
    QPainter FPainter;
    std::unique_ptr<TPainterCanvas> FCanvas;
};

// What the formatted-text label and the credits box share: the markup, the image sources, the
// link colours and frames, the link events, opening links through the platform layer and the
// link hint.
class THTMLTextWidget : public QWidget
{
    Q_OBJECT

public:
    const QStringList &HTMLText() const { return FHTMLText; }
    virtual void SetHTMLText(const QStringList &value);
    // The lines joined with one space, and its plain text.
    QString GetDisplText() const { return FHTMLText.join(u' '); }
    QString GetText() const { return HTMLStrip(GetDisplText()); }

    // Links with "://" or "mailto:" targets are opened through it; none opens nothing.
    void SetPlatform(TPlatform *platform) { FPlatform = platform; }
    TPlatform *Platform() const { return FPlatform; }

    // Image sources are owned by the caller and must outlive the widget or be unset first.
    const TImageList *Images() const { return FImages; }
    void SetImages(const TImageList *value);
    const TPictureContainer *PictureContainer() const { return FContainer; }
    void SetPictureContainer(const TPictureContainer *value);
    TPictureCache &ImageCache() { return FImageCache; }

    bool Hover() const { return FHover; }
    void SetHover(bool value) { FHover = value; }
    TColor HoverColor() const { return FHoverColor; }
    void SetHoverColor(TColor value) { FHoverColor = value; }
    TColor HoverFontColor() const { return FHoverFontColor; }
    void SetHoverFontColor(TColor value) { FHoverFontColor = value; }
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor value) { setVisual(FURLColor, value); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value) { setVisual(FShadowColor, value); }
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int value) { setVisual(FShadowOffset, value); }

    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value) { setVisual(FBevelInner, value); }
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value) { setVisual(FBevelOuter, value); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value) { setVisual(FBevelWidth, qMax(0, value)); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value) { setVisual(FBorderWidth, qMax(0, value)); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value) { setVisual(FBorderStyle, value); }

    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment value) { setVisual(FVAlignment, value); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool value) { setVisual(FEllipsis, value); }
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int value) { setVisual(FLineSpacing, value); }

    bool AutoSizing() const { return FAutoSizing; }
    void SetAutoSizing(bool value);
    TAutoSizeType AutoSizeType() const { return FAutoSizeType; }
    void SetAutoSizeType(TAutoSizeType value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value) { setVisual(FAlign, value); }

    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool value) { FAnchorHint = value; }

    // Target of the link last entered by the mouse, and the 1-based number of the link under it.
    const QString &Anchor() const { return FAnchor; }
    int HoverHyperLink() const { return FHoverHyperLink; }

    // Painting is suspended until the last EndUpdate, which repaints.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    virtual void DoAnchorClick(const QString &anchor) { Q_EMIT OnAnchorClick(anchor); }

Q_SIGNALS:
    void OnAnchorClick(const QString &anchor);
    void OnAnchorEnter(const QString &anchor);
    void OnAnchorExit(const QString &anchor);
    // The hint about to be shown over a link; a directly connected receiver may change it.
    void OnAnchorHint(QString &anchor);
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    THTMLTextWidget(QWidget *parent, int shadowOffset);

    // Shows the current state: a deferred update for the label, an immediate off-screen paint
    // for the credits box.
    virtual void Repaint() = 0;
    // The link target under a point of the widget, empty when none.
    virtual QString AnchorAt(QPoint pos) = 0;
    // The hint for a point; a null string leaves the widget's own tool tip.
    virtual QString HintAt(QPoint pos);
    virtual void HTMLTextChanged() { }
    // A hint shown as it is written, even where it looks like markup.
    static QString PlainHint(QString text);

    // The canvas font of the widget's font and text colour.
    THTMLFont HTMLFont() const;
    TColor Color() const;
    // Renderer inputs every call shares: markup, image sources, colours, wrapping, hover link.
    THTMLDrawParams BaseParams(const TRect &fr);
    // Extends r by 0xFFFF in the directions AutoSizing may grow the widget.
    void ExtendForAutoSizing(TRect &r) const;
    // Grows the widget to a text of size (x, y) plus a margin of 6.
    void ApplyAutoSize(int x, int y);
    static void Shrink(TRect &r, int by);
    bool AnyBevel() const { return FBevelInner != bvNone || FBevelOuter != bvNone; }

    bool HandCursor() const;
    void SetHandCursor(bool hand);
    // Fires OnAnchorClick, then opens the target when it is one for the shell and the widget
    // still exists.
    void ClickAnchor(const QString &anchor);
    void OpenShellTarget(const QString &anchor);

    bool event(QEvent *event) override;

    template<class T>
    void setVisual(T &field, T value)
    {
        if (field == value)
            return;
        field = value;
        Repaint();
    }

    QStringList FHTMLText;
    QString FAnchor;
    TRect FCurrHoverRect{-1, -1, -1, -1};
    int FHoverHyperLink = -1;
    int FOldHoverHyperLink = -1;
    int FUpdateCount = 0;
    TPictureCache FImageCache;

private:
    void applyAutoSizing();
    bool growsHorizontally() const;
    bool growsVertically() const;

    TPlatform *FPlatform = nullptr;
    const TImageList *FImages = nullptr;
    const TPictureContainer *FContainer = nullptr;
    bool FHover = false;
    TColor FHoverColor = clNone;
    TColor FHoverFontColor = clNone;
    TColor FURLColor = clBlue;
    TColor FShadowColor = clGray;
    int FShadowOffset;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TVAlignment FVAlignment = tvaTop;
    bool FEllipsis = false;
    int FLineSpacing = 0;
    bool FAutoSizing = false;
    TAutoSizeType FAutoSizeType = asVertical;
    TAlign FAlign = alNone;
    bool FAnchorHint = false;
};
