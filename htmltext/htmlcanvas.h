#pragma once

#include "htmltext/tcolor.h"

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringView>

class TImageList;

// A rectangle given by its edges; Right and Bottom lie just outside it.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    friend bool operator==(const TRect &, const TRect &) = default;
};

struct THTMLFont
{
    QString name;
    int size = 8; // points
    TColor color = clBlack;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int orientation = 0; // tenths of a degree, counter-clockwise; layout ignores it

    friend bool operator==(const THTMLFont &, const THTMLFont &) = default;
};

// Everything the markup renderer draws and measures through. The canvas keeps a current font,
// a brush and a pen. Fills always use the brush colour; text runs get a background box in the
// brush colour only while the brush is solid.
class THTMLCanvas
{
public:
    virtual ~THTMLCanvas() = default;

    virtual THTMLFont font() const = 0;
    virtual void setFont(const THTMLFont &font) = 0;

    virtual TColor brushColor() const = 0;
    virtual void setBrushColor(TColor color) = 0;
    virtual bool brushSolid() const = 0;
    virtual void setBrushSolid(bool solid) = 0;

    virtual TColor penColor() const = 0;
    virtual void setPenColor(TColor color) = 0;

    // Plain text in the current font, ampersands shown as they are.
    virtual int textWidth(QStringView text) = 0;
    // The height of a line of text in the current font, without external leading.
    virtual int textHeight() = 0;
    // A single-line run: with prefix, "&&" shows one "&" and a single "&" underlines the next
    // character. The height includes the font's external leading.
    virtual QSize measureRun(QStringView text, bool prefix) = 0;
    // Draws a run on one line, left-aligned at r.Left and standing on r.Bottom; width is the
    // run's width as measureRun gave it in the current font, so drawing measures nothing again.
    // With ellipsis, a run wider than r is shortened to end in "…".
    virtual void drawRun(const TRect &r, QStringView text, bool prefix, bool ellipsis, int width)
        = 0;
    // How many leading characters of text fit into width.
    virtual int charsThatFit(QStringView text, int width) = 0;

    virtual void fillRect(const TRect &r) = 0;
    virtual void fillEllipse(const TRect &r) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    virtual void drawFocusRect(const TRect &r) = 0;

    virtual void drawPicture(int x, int y, const QPixmap &picture) = 0;
    virtual void stretchPicture(const TRect &r, const QPixmap &picture) = 0;
    // Repeats the picture over r from its top-left corner, clipped to r.
    virtual void tilePicture(const TRect &r, const QPixmap &picture) = 0;
    virtual void drawImage(int x, int y, const TImageList &images, int index) = 0;
    virtual void stretchImage(const TRect &r, const TImageList &images, int index) = 0;

    virtual void setClipRect(const TRect &r) = 0;
    virtual void clearClip() = 0;

    virtual int dpi() const = 0;
    // RGB value of a colour, system colours resolved.
    virtual TColor colorToRGB(TColor color) const { return ColorToRGB(color); }
    // The platform's icon for an icon number or a file or folder path (the icon of its type when
    // the file does not exist); a null pixmap when there is none.
    virtual QPixmap systemIcon(const QString &source, bool large) = 0;
};
