#pragma once

#include "htmltext/htmlcanvas.h"

#include <QList>
#include <QStringList>

// A canvas with fixed, known metrics that records every drawing call, so layout can be checked
// to the pixel: each character is 6 pixels wide (7 in bold), text is point size + 4 pixels high,
// with no external leading.
class TFixedCanvas : public THTMLCanvas
{
public:
    struct TCall
    {
        QString kind; // text, fill, ellipse, line, focus, picture, stretch, tile, image, clip
        TRect rect; // text: the run's cell; line: from (Left, Top) to (Right, Bottom)
        QString text; // text as shown (prefixes processed); pictures: "WxH"
        THTMLFont font;
        TColor brush = clNone; // brush colour; clNone for a transparent text background
        int mnemonic = -1; // index in text of the character a single "&" underlines
    };

    static int charWidth(const THTMLFont &font) { return font.bold ? 7 : 6; }
    static int height(const THTMLFont &font) { return font.size + 4; }

    THTMLFont font() const override { return FFont; }
    void setFont(const THTMLFont &font) override { FFont = font; }
    TColor brushColor() const override { return FBrushColor; }
    void setBrushColor(TColor color) override { FBrushColor = color; }
    bool brushSolid() const override { return FBrushSolid; }
    void setBrushSolid(bool solid) override { FBrushSolid = solid; }
    TColor penColor() const override { return FPenColor; }
    void setPenColor(TColor color) override { FPenColor = color; }

    int textWidth(QStringView text) override { return int(text.size()) * charWidth(FFont); }
    int textHeight() override { return height(FFont); }
    QSize measureRun(QStringView text, bool prefix) override;
    void drawRun(const TRect &r, QStringView text, bool prefix, bool ellipsis, int width) override;
    int charsThatFit(QStringView text, int width) override;

    void fillRect(const TRect &r) override { record(QStringLiteral("fill"), r); }
    void fillEllipse(const TRect &r) override { record(QStringLiteral("ellipse"), r); }
    void moveTo(int x, int y) override { FPenX = x, FPenY = y; }
    void lineTo(int x, int y) override;
    void drawFocusRect(const TRect &r) override { record(QStringLiteral("focus"), r); }

    void drawPicture(int x, int y, const QPixmap &picture) override;
    void stretchPicture(const TRect &r, const QPixmap &picture) override;
    void tilePicture(const TRect &r, const QPixmap &picture) override;
    void drawImage(int x, int y, const TImageList &images, int index) override;
    void stretchImage(const TRect &r, const TImageList &images, int index) override;

    void setClipRect(const TRect &r) override { record(QStringLiteral("clip"), r); }
    void clearClip() override { record(QStringLiteral("clip"), TRect{}); }

    int dpi() const override { return FDpi; }
    QPixmap systemIcon(const QString &source, bool large) override;

    void setDpi(int dpi) { FDpi = dpi; }

    const QList<TCall> &calls() const { return FCalls; }
    QList<TCall> calls(const QString &kind) const;
    void clear() { FCalls.clear(); }
    // The text runs as "left,bottom:text", joined by "|".
    QString runs() const;
    // Calls of one kind as "left,top,right,bottom", joined by "|".
    QString rects(const QString &kind) const;

private:
    void record(const QString &kind, const TRect &r, const QString &text = QString(),
                int mnemonic = -1);

    THTMLFont FFont{QStringLiteral("Fixed"), 8, clBlack};
    TColor FBrushColor = clWhite;
    bool FBrushSolid = true;
    TColor FPenColor = clBlack;
    int FPenX = 0;
    int FPenY = 0;
    int FDpi = 96;
    QList<TCall> FCalls;
};
