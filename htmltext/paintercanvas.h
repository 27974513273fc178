#pragma once

#include "htmltext/htmlcanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPalette>
#include <QPoint>

class QPainter;

// The renderer's canvas on a QPainter. The painter's pen, brush and font are set per operation
// from the canvas state, so callers may use the painter in between.
class TPainterCanvas : public THTMLCanvas
{
public:
    explicit TPainterCanvas(QPainter &painter, const QPalette &palette = QPalette());

    THTMLFont font() const override { return FFont; }
    void setFont(const THTMLFont &font) override;
    TColor brushColor() const override { return FBrushColor; }
    void setBrushColor(TColor color) override { FBrushColor = color; }
    bool brushSolid() const override { return FBrushSolid; }
    void setBrushSolid(bool solid) override { FBrushSolid = solid; }
    TColor penColor() const override { return FPenColor; }
    void setPenColor(TColor color) override { FPenColor = color; }

    int textWidth(QStringView text) override;
    int textHeight() override { return FTextHeight; }
    QSize measureRun(QStringView text, bool prefix) override;
    void drawRun(const TRect &r, QStringView text, bool prefix, bool ellipsis, int width) override;
    int charsThatFit(QStringView text, int width) override;

    void fillRect(const TRect &r) override;
    void fillEllipse(const TRect &r) override;
    void moveTo(int x, int y) override { FPenPos = QPoint(x, y); }
    void lineTo(int x, int y) override;
    void drawFocusRect(const TRect &r) override;

    void drawPicture(int x, int y, const QPixmap &picture) override;
    void stretchPicture(const TRect &r, const QPixmap &picture) override;
    void tilePicture(const TRect &r, const QPixmap &picture) override;
    void drawImage(int x, int y, const TImageList &images, int index) override;
    void stretchImage(const TRect &r, const TImageList &images, int index) override;

    void setClipRect(const TRect &r) override;
    void clearClip() override;

    int dpi() const override;
    TColor colorToRGB(TColor color) const override { return ColorToRGB(color, FPalette); }
    QPixmap systemIcon(const QString &source, bool large) override;

    // The QFont standing for a canvas font, sized for the painter's device.
    QFont qfont(const THTMLFont &font) const;

private:
    void applyFont();
    QColor color(TColor value) const { return ColorToQColor(value, FPalette); }

    QPainter &FPainter;
    QPalette FPalette;
    THTMLFont FFont;
    // The painter's font when the canvas was made: what a canvas font leaves open (its style
    // strategy, hinting, spacing) is taken from it, as the painter does when it draws.
    QFont FInherited;
    QFont FQFont;
    QFontMetrics FMetrics;
    int FTextHeight = 0; // ascent, raised to the accents of capitals, plus descent
    int FRunHeight = 0; // with the font's external leading
    TColor FBrushColor = clWhite;
    bool FBrushSolid = false;
    TColor FPenColor = clBlack;
    QPoint FPenPos;
};
