#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QList>
#include <QPixmap>

#include "widgets/scalablepicture.h"

enum TButtonLayout : quint8 { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A flat push button that draws a glyph and an optional caption on its parent's background.
// The glyph is a strip of NumGlyphs images side by side whose bottom-left pixel's colour is
// transparent: image 0 up, hovered and pressed, image 1 disabled, image 3 (else 2, else 0) down.
// A hot glyph, when in use, replaces the glyph while the pointer is over the button.
class TRzToolbarButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit TRzToolbarButton(QWidget *parent = nullptr);

    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    const QImage &Glyph() const { return FGlyph.Normal(); }
    void SetGlyph(const TScalablePicture &value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    const QImage &HotGlyph() const { return FHotGlyph.Normal(); }
    // Also turns UseHotGlyph on; a strip of square images sets HotNumGlyphs to its count.
    virtual void SetHotGlyph(const TScalablePicture &value);
    int HotNumGlyphs() const { return FHotNumGlyphs; }
    virtual void SetHotNumGlyphs(int value);
    bool UseHotGlyph() const { return FUseHotGlyph; }
    void SetUseHotGlyph(bool value);

    // The visible caption; "&" marks the accelerator letter.
    virtual QString GetCaption() const { return text(); }
    virtual void SetCaption(const QString &value);
    bool ShowCaption() const { return FShowCaption; }
    virtual void SetShowCaption(bool value);
    // The caption kept while ShowCaption is off.
    QString SaveCaption() const { return FSaveCaption; }

    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    // -1 centres glyph and caption together; otherwise the distance from the glyph's edge.
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    // With Transparent off the button fills its rectangle with the palette's Button colour.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

    // Buttons of one parent with the same GroupIndex > 0 are down one at a time; AllowAllUp
    // lets the down one come up again.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);

    // The hint is the tooltip while ShowHint is on.
    QString Hint() const { return FHint; }
    void SetHint(const QString &value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);

    bool MouseOverControl() const { return FMouseOverControl; }
    // The glyph image the current state shows.
    QPixmap CurrentGlyphImage() const;

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void SplitGlyph();
    QSize CaptionSize() const;

    bool FFlat = true;
    TScalablePicture FGlyph;
    int FNumGlyphs = 1;
    QList<QPixmap> FGlyphImages; // the strip cut into images, key colour transparent
    mutable QPixmap FDerivedDisabled; // disabled look of a strip with one image, made when needed
    qreal FGlyphRatio = 1.0; // the device pixel ratio the images above were cut for
    bool FChangingGlyph = false;
    TScalablePicture FHotGlyph;
    int FHotNumGlyphs = 1;
    bool FUseHotGlyph = false;
    TScalablePicture FStdGlyph;
    int FStdNumGlyphs = 0;
    QString FSaveCaption;
    bool FShowCaption = true;
    bool FMouseOverControl = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = true;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    QString FHint;
    bool FShowHint = false;
};
