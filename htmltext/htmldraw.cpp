#include "htmltext/htmldraw.h"

#include "htmltext/htmlmarkup.h"
#include "htmltext/imagelist.h"
#include "htmltext/picturecache.h"

#include <algorithm>
#include <cmath>
#include <optional>

using namespace htmlmarkup;

namespace {

// Limits that keep any markup from overflowing the layout arithmetic.
constexpr int MaxFontSize = 1000;
constexpr int MaxImageSide = 10000;
constexpr int MaxCoord = 1 << 29;
constexpr int ListIndent = 12;
constexpr int MaxListDepth = 100000;
constexpr int GradientSteps = 64;

int clampCoord(qint64 value)
{
    return int(std::clamp<qint64>(value, -MaxCoord, MaxCoord));
}

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

int fontSizeFor(int n)
{
    static const int htmlSizes[] = {8, 10, 12, 14, 16};
    if (n >= 1 && n <= 5)
        return htmlSizes[n - 1];
    return std::clamp(n, 1, MaxFontSize);
}

enum class TAlign { Left, Right, Center };
enum class TPass { Layout, HitTest, Paint };

// A picture named in the markup, resolved to something drawable.
struct TImageSource
{
    enum Kind { None, List, Icon, Picture } kind = None;
    int index = 0; // List
    QPixmap pixmap; // Icon, Picture
};

// State that flows along the text; the second pass of a line starts again from the values the
// first pass started from, so both passes see the same links, images and flags.
struct TFlowState
{
    bool Anchor = false;
    QString LastAnchor;
    int HyperLinks = 0;
    int ListIndex = 0;
    int ImgIdx = 0;
    bool isShad = false;
    bool Invisible = false;
    int newofsx = 0;
    TAlign Align = TAlign::Left;
    int PIndent = 0;
};

// Measures that depend on the font alone, each taken once per font and call when first needed.
struct TFontMeasures
{
    THTMLFont font;
    std::optional<int> textHeight;
    std::optional<int> space; // the width of " "
    std::optional<int> wide; // the width of "w"
};

// A word's width as the first pass of its line measured it, for the second pass to reuse.
struct TMeasuredWord
{
    qsizetype pos;
    qsizetype end;
    int width;
};

// What the first pass of a line reports.
struct TLineMetrics
{
    int width = 0;
    int height = 0;
    int subh = 0;
    int suph = 0;
    int imgali = 0;
};

class THTMLRenderer
{
public:
    THTMLRenderer(THTMLCanvas &canvas, const THTMLDrawParams &p, THTMLDrawResult &result)
        : FCanvas(canvas)
        , FP(p)
        , FR(result)
        , FS(prepareMarkup(p.s))
        , FPrefix(!p.s.contains(u" & "))
        , FLayoutLt(FS, QStringLiteral("<"))
        , FLayoutSpace(FS, QStringLiteral(" "))
        , FLayoutGt(FS, QStringLiteral(">"))
        , FLineLt(FS, QStringLiteral("<"))
        , FLineSpace(FS, QStringLiteral(" "))
        , FLineGt(FS, QStringLiteral(">"))
    { }

    bool run();

private:
    struct TFinders
    {
        TForwardFinder &lt;
        TForwardFinder &space;
        TForwardFinder &gt;
    };

    // Per-line working state of one pass.
    struct TLine
    {
        TPass pass;
        TFinders finders;
        qsizetype pos;
        qsizetype end;
        TRect r; // r.Bottom is the base bottom of normal text
        TLineMetrics m;
        int x = 0;
        int w = 0;
        int trailing = 0;
        bool breakPending = false;
        bool listItemSeen = false;
        bool hotSpot = false;
        bool imageHotSpot = false;
    };

    void drawLine(TLine &line);
    void placeWord(TLine &line, qsizetype wordEnd);
    void processTag(TLine &line);
    void openingTag(TLine &line, const THTMLTag &tag, bool terminated, QChar c1, QChar c2,
                    bool &keep);
    void closingTag(TLine &line, QChar c1, QChar c2);
    void listItem(TLine &line, const THTMLTag &tag, bool terminated, bool &keep);
    void image(TLine &line, const THTMLTag &tag, bool &keep);
    void body(TLine &line, const THTMLTag &tag);
    void paragraph(TLine &line, const THTMLTag &tag);
    void fontTag(TLine &line, const THTMLTag &tag);
    void drawWord(TLine &line, const QString &word, int width);
    void errorUnderline(int left, int right, int bottom);
    void fillParagraphBand(const TLine &line);
    TImageSource resolveImage(const QString &source);

    bool painting(const TLine &line) const { return line.pass == TPass::Paint; }
    bool inFocusedLink() const { return FState.Anchor && FState.HyperLinks == FP.FocusLink + 1; }
    int ghHeight();
    TFontMeasures &fontMeasures();
    int wordWidth(const TLine &line, qsizetype wordEnd, const QString &word);
    TColor currentBackground() const
    {
        return FCanvas.brushSolid() ? FCanvas.brushColor() : clNone;
    }
    void setBackground(TColor color)
    {
        if (color == clNone) {
            FCanvas.setBrushSolid(false);
        } else {
            FCanvas.setBrushColor(color);
            FCanvas.setBrushSolid(true);
        }
    }
    template<typename F>
    void changeFont(F change)
    {
        THTMLFont font = FCanvas.font();
        change(font);
        FCanvas.setFont(font);
    }

    THTMLCanvas &FCanvas;
    const THTMLDrawParams &FP;
    THTMLDrawResult &FR;
    const QString FS;
    const bool FPrefix;
    TForwardFinder FLayoutLt, FLayoutSpace, FLayoutGt;
    TForwardFinder FLineLt, FLineSpace, FLineGt;

    THTMLFont FBaseFont;
    TColor FBlnkColor = clNone;
    TFlowState FState;
    // Every word is measured once: the first pass of a line keeps the widths of the words it
    // took (and of the word that did not fit, which starts the next line) for the second pass.
    QList<TMeasuredWord> FWords;
    qsizetype FNextWord = 0;
    QList<TFontMeasures> FFontMeasures;
    int FOfsx = 0;
    int FAltImg = -1;
    int FLineNumber = 0;
    bool FIsSub = false;
    bool FIsSup = false;

    // Hit-test bookkeeping of the link under the point.
    bool FPointInLink = false;
    int FHoverLeft = 0;
    int FHoverTop = 0;
    int FHoverLine = -1;

    // Drawing-only state.
    bool FError = false;
    bool FIsPara = false;
    TColor FParaFill = clNone;
    TColor FParaFillTo = clNone;
    TColor FBgColor = clNone;
    TColor FParaColor = clNone;
    TColor FHvrColor = clNone;
    TColor FHifCol = clNone;
    TColor FHibCol = clNone;
    int FFocusLeft = 0;
    bool FFocusContinues = false;
};

bool THTMLRenderer::run()
{
    FBaseFont = FCanvas.font();
    FBlnkColor = FCanvas.brushColor();
    const bool baseSolid = FCanvas.brushSolid();
    FCanvas.setBrushSolid(false);
    FR.Hit = false;
    FR.AnchorVal.clear();
    FR.StripVal.clear();
    FR.FocusAnchor.clear();
    FR.XSize = 0;
    FR.YSize = 0;
    FR.HyperLinks = 0;
    FR.MouseLink = -1;

    THTMLFont calcFont = FBaseFont, drawFont = FBaseFont;
    qsizetype pos = 0, end = FS.size();
    while (end > pos && isBlank(FS[end - 1]))
        --end;
    qint64 top = FP.fr.Top;
    qint64 ySize = 0;
    bool laidOut = false;

    while (pos < end) {
        FCanvas.setFont(calcFont);
        const TFlowState lineStart = FState;
        while (pos < end && isBlank(FS[pos]))
            ++pos;
        if (pos >= end)
            break;
        const int txtheight = ghHeight();

        const qsizetype lineBegin = pos;
        FWords.erase(FWords.begin(),
                     std::find_if(FWords.begin(), FWords.end(),
                                  [&](const TMeasuredWord &w) { return w.pos >= lineBegin; }));
        FNextWord = 0;
        TLine first{TPass::Layout,
                    {FLayoutLt, FLayoutSpace, FLayoutGt},
                    pos,
                    end,
                    TRect{FP.fr.Left, clampCoord(top), FP.fr.Right, FP.fr.Bottom},
                    {}};
        first.m.height = txtheight;
        drawLine(first);
        end = first.end; // an unterminated tag drops the rest
        const qsizetype lineEnd = std::min(first.pos, end);
        pos = lineEnd > lineBegin ? lineEnd : end; // a line that takes nothing ends the text
        calcFont = FCanvas.font();
        const TLineMetrics m = first.m;

        const int htmlheight = clampCoord(qint64(m.height) + FP.LineSpacing);
        const int lineTop = clampCoord(top);
        TRect box{FP.fr.Left, lineTop, FP.fr.Right,
                  clampCoord(qint64(lineTop) + htmlheight + m.subh + m.suph)};
        if (FState.Align == TAlign::Right && FP.fr.Right - m.width > FP.fr.Left)
            box.Left = FP.fr.Right - m.width;
        else if (FState.Align == TAlign::Center && FP.fr.Right - (FP.fr.Left + m.width) > 0)
            box.Left += (FP.fr.Right - (FP.fr.Left + m.width)) / 2;
        box.Left = clampCoord(qint64(box.Left) + FState.PIndent);

        if (!FP.CheckHeight) {
            FState = lineStart;
            FNextWord = 0;
            FCanvas.setFont(drawFont);
            TLine second{FP.CheckHotSpot ? TPass::HitTest : TPass::Paint,
                         {FLineLt, FLineSpace, FLineGt},
                         lineBegin,
                         lineEnd,
                         box,
                         m};
            drawLine(second);
            const int bottom = box.Bottom - m.imgali;
            const int gh = ghHeight();
            if ((second.hotSpot && FP.YPos > bottom - gh && FP.YPos < bottom)
                || second.imageHotSpot)
                FR.Hit = true;
            drawFont = FCanvas.font();
        }
        FOfsx = FState.newofsx;
        top += qint64(htmlheight) + m.subh + m.suph;
        ySize += qint64(htmlheight) + m.subh + m.suph;
        laidOut = true;
        ++FLineNumber;
        if (!FP.CheckHeight && FP.fr.Bottom - top < txtheight)
            break;
    }

    FCanvas.setFont(FBaseFont);
    FR.HyperLinks = FState.HyperLinks;
    FR.YSize = laidOut ? clampCoord(ySize) : FCanvas.textHeight();
    FCanvas.setBrushColor(FBlnkColor);
    FCanvas.setBrushSolid(baseSolid);
    return FR.Hit;
}

void THTMLRenderer::drawLine(TLine &line)
{
    line.r.Bottom -= line.m.subh;
    line.x = clampCoord(qint64(line.r.Left) + FOfsx);
    FIsSub = false;
    FIsSup = false;
    if (painting(line)) {
        if (FIsPara)
            fillParagraphBand(line);
        if (FFocusContinues && inFocusedLink())
            FFocusLeft = line.r.Left + 1;
        FFocusContinues = false;
    }
    while (line.pos < line.end && !line.breakPending) {
        const qsizetype lt = line.finders.lt.find(line.pos);
        const qsizetype ltAt = lt >= 0 && lt < line.end ? lt : -1;
        const qsizetype space = FP.WordWrap ? line.finders.space.find(line.pos) : -1;
        const qsizetype spaceAt = space >= 0 && space < line.end ? space : -1;
        qsizetype wordEnd;
        if (ltAt < 0 || (spaceAt >= 0 && spaceAt < ltAt))
            wordEnd = spaceAt >= 0 ? spaceAt + 1 : line.end;
        else
            wordEnd = ltAt;
        if (wordEnd > line.pos)
            placeWord(line, wordEnd);

        if (line.breakPending || line.pos >= line.end || FS[line.pos] != u'<')
            continue;
        if (line.end - line.pos <= 2)
            line.end = line.pos;
        else
            processTag(line);
    }
    line.w -= line.trailing;
    line.m.width = line.w;
    if (FR.XSize < line.w)
        FR.XSize = clampCoord(qint64(line.w) + 2);
    if (painting(line) && inFocusedLink()) {
        FCanvas.drawFocusRect(TRect{FFocusLeft, line.r.Top, line.x, line.r.Bottom});
        FFocusContinues = true;
    }
}

void THTMLRenderer::placeWord(TLine &line, qsizetype wordEnd)
{
    const QString word = replaceWordEntities(QStringView(FS).mid(line.pos, wordEnd - line.pos));
    const int width = FState.Invisible ? 0 : wordWidth(line, wordEnd, word);
    const int avail = line.r.Width() - FOfsx;
    const bool fits = FState.Invisible || line.w + width < avail || width >= avail || !FP.WordWrap
        || line.pass != TPass::Layout;
    if (!fits) {
        line.breakPending = true;
        return;
    }
    line.pos = wordEnd;
    if (line.pass == TPass::Layout) {
        // Only words that stay on the line count for its height and for StripVal.
        const int th = ghHeight();
        if (FIsSub)
            line.m.subh = std::max(line.m.subh, th / 4);
        if (FIsSup)
            line.m.suph = std::max(line.m.suph, th / 4);
        line.m.height = std::max(line.m.height, th);
        FR.StripVal += word;
    }
    if (FState.Invisible)
        return;
    if (line.pass == TPass::HitTest && FState.Anchor && line.x <= FP.XPos
        && FP.XPos <= line.x + width) {
        line.hotSpot = true;
        if (FP.YPos > line.r.Top) {
            FR.AnchorVal = FState.LastAnchor;
            FPointInLink = true;
        }
    }
    if (painting(line))
        drawWord(line, word, width);
    line.w = clampCoord(qint64(line.w) + width);
    line.x = clampCoord(qint64(line.x) + width);
    line.trailing = 0;
    if (word.endsWith(u' ')) {
        std::optional<int> &space = fontMeasures().space;
        if (!space)
            space = FCanvas.textWidth(u" ");
        line.trailing = *space;
    }
}

TFontMeasures &THTMLRenderer::fontMeasures()
{
    // Colour and orientation do not change a font's measures; links and shadows switch colours
    // word by word.
    const THTMLFont font = FCanvas.font();
    const auto same = [&](const TFontMeasures &m) {
        return m.font.name == font.name && m.font.size == font.size && m.font.bold == font.bold
            && m.font.italic == font.italic && m.font.underline == font.underline
            && m.font.strikeOut == font.strikeOut;
    };
    auto found = std::find_if(FFontMeasures.begin(), FFontMeasures.end(), same);
    if (found != FFontMeasures.end())
        return *found;
    return FFontMeasures.emplace_back(TFontMeasures{font, {}, {}, {}});
}

int THTMLRenderer::ghHeight()
{
    std::optional<int> &height = fontMeasures().textHeight;
    if (!height)
        height = FCanvas.textHeight();
    return *height;
}

int THTMLRenderer::wordWidth(const TLine &line, qsizetype wordEnd, const QString &word)
{
    while (FNextWord < FWords.size() && FWords[FNextWord].pos < line.pos)
        ++FNextWord;
    if (FNextWord < FWords.size() && FWords[FNextWord].pos == line.pos
        && FWords[FNextWord].end == wordEnd)
        return FWords[FNextWord++].width;
    const int width = FCanvas.measureRun(word, FPrefix).width();
    if (line.pass == TPass::Layout) {
        FWords.append(TMeasuredWord{line.pos, wordEnd, width});
        FNextWord = FWords.size();
    }
    return width;
}

void THTMLRenderer::drawWord(TLine &line, const QString &word, int width)
{
    if (!FP.WordWrap) {
        std::optional<int> &wide = fontMeasures().wide;
        if (!wide)
            wide = FCanvas.textWidth(u"w");
        if (line.x >= line.r.Right - *wide)
            return;
    }
    int bottom = line.r.Bottom - line.m.imgali;
    if (FIsSup)
        bottom -= line.m.suph;
    if (FIsSub)
        bottom += line.m.subh;
    const TRect run{line.x, line.r.Top, line.r.Right, bottom};
    if (FState.isShad && FP.ShadowColor != clNone) {
        const THTMLFont font = FCanvas.font();
        const bool solid = FCanvas.brushSolid();
        changeFont([&](THTMLFont &f) { f.color = FP.ShadowColor; });
        FCanvas.setBrushSolid(false);
        FCanvas.drawRun(TRect{run.Left + FP.ShadowOffset, run.Top + FP.ShadowOffset,
                              run.Right + FP.ShadowOffset, run.Bottom + FP.ShadowOffset},
                        word, FPrefix, !FP.WordWrap, width);
        FCanvas.setBrushSolid(solid);
        FCanvas.setFont(font);
    }
    FCanvas.drawRun(run, word, FPrefix, !FP.WordWrap, width);
    if (inFocusedLink())
        FR.FocusAnchor = FState.LastAnchor;
    if (FError)
        errorUnderline(line.x, line.x + width, line.r.Bottom);
}

void THTMLRenderer::errorUnderline(int left, int right, int bottom)
{
    const TColor pen = FCanvas.penColor();
    FCanvas.setPenColor(clRed);
    int x = left & ~1;
    int phase = x % 4 == 0 ? 2 : 0;
    FCanvas.moveTo(x, bottom + phase - 1);
    while (x < right) {
        phase = 2 - phase;
        FCanvas.lineTo(x + 2, bottom + phase - 1);
        x += 2;
    }
    FCanvas.setPenColor(pen);
}

void THTMLRenderer::fillParagraphBand(const TLine &line)
{
    TRect band{FP.fr.Left, line.r.Top, FP.fr.Right, line.r.Bottom};
    if (FParaFillTo != clNone) {
        band.Bottom += 2;
        DrawHTMLGradient(FCanvas, FParaFill, FParaFillTo, true, band, GradientSteps, clNone);
        FCanvas.setBrushSolid(false);
    } else {
        FCanvas.setBrushColor(FParaFill);
        FCanvas.fillRect(band);
        setBackground(FParaFill);
    }
}

void THTMLRenderer::processTag(TLine &line)
{
    const qsizetype gt = line.finders.gt.find(line.pos);
    const bool terminated = gt >= 0 && gt < line.end;
    const qsizetype tagEnd = terminated ? gt + 1 : line.end;
    const THTMLTag tag(QStringView(FS).mid(line.pos, tagEnd - line.pos));
    const bool closing = tag.at(1) == u'/' && line.end - line.pos >= 4;
    const qsizetype first = closing ? 2 : 1;
    bool keep = false;
    if (closing)
        closingTag(line, tag.at(first), tag.at(first + 1));
    else
        openingTag(line, tag, terminated, tag.at(first), tag.at(first + 1), keep);
    if (keep)
        line.breakPending = true;
    else if (terminated)
        line.pos = tagEnd;
    else
        line.end = line.pos;
}

void THTMLRenderer::openingTag(TLine &line, const THTMLTag &tag, bool terminated, QChar c1,
                               QChar c2, bool &keep)
{
    const bool paint = painting(line);
    switch (c1.unicode()) {
    case u'A': {
        if (paint && FState.HyperLinks == FP.FocusLink)
            FFocusLeft = line.x;
        FState.HyperLinks = std::min(FState.HyperLinks + 1, MaxCoord);
        const bool hovered = FP.HoverLink == FState.HyperLinks;
        if (paint && (!FP.HoverStyle || hovered)) {
            changeFont([](THTMLFont &f) { f.underline = true; });
            if (FP.HoverColor != clNone) {
                FHvrColor = currentBackground();
                setBackground(FP.HoverColor);
            }
            if (FP.HoverFontColor != clNone)
                changeFont([&](THTMLFont &f) { f.color = FP.HoverFontColor; });
        }
        if (!FP.Selected && !(FP.HoverFontColor != clNone && FP.HoverStyle && hovered))
            changeFont([&](THTMLFont &f) { f.color = FP.URLColor; });
        FState.LastAnchor = tag.firstQuoted();
        FState.Anchor = true;
        if (line.pass == TPass::HitTest) {
            FHoverLeft = line.x;
            FHoverTop = line.r.Top;
            FHoverLine = FLineNumber;
        }
        break;
    }
    case u'B':
        if (c2 == u'>') {
            changeFont([](THTMLFont &f) { f.bold = true; });
        } else if (c2 == u'L') {
            if (!FP.Blink)
                changeFont([&](THTMLFont &f) { f.color = FBlnkColor; });
        } else if (c2 == u'O') {
            if (paint && !FP.Selected)
                body(line, tag);
        } else if (c2 == u'R') {
            line.breakPending = true;
            if (line.pass == TPass::Layout)
                FR.StripVal += u'\r';
        }
        break;
    case u'E':
        if (paint)
            FError = true;
        break;
    case u'F':
        if (terminated)
            fontTag(line, tag);
        break;
    case u'H':
        if (c2 == u'I') {
            if (paint) {
                FHifCol = FCanvas.font().color;
                FHibCol = currentBackground();
                setBackground(clHighlight);
                changeFont([](THTMLFont &f) { f.color = clHighlightText; });
            }
        } else if (c2 == u'R') {
            line.breakPending = true;
            if (paint) {
                const std::optional<QString> color = tag.value(u"COLOR");
                const TColor pen = FCanvas.penColor();
                FCanvas.setPenColor(color && !color->isEmpty() ? Text2Color(*color) : clBlack);
                FCanvas.moveTo(line.r.Left, line.r.Bottom + 1);
                FCanvas.lineTo(line.r.Right - 1, line.r.Bottom + 1);
                FCanvas.setPenColor(pen);
            }
        }
        break;
    case u'I':
        if (c2 == u'>') {
            changeFont([](THTMLFont &f) { f.italic = true; });
        } else if (c2 == u'N') {
            bool complete = false;
            const int n = readNumber(tag.value(u"X").value_or(QString()), &complete);
            if (complete && line.w < n) {
                line.w = n;
                line.x = clampCoord(qint64(FP.fr.Left) + n);
            }
        } else if (c2 == u'M') {
            image(line, tag, keep);
        }
        break;
    case u'L':
        listItem(line, tag, terminated, keep);
        break;
    case u'O':
        if (c2 == u'F') {
            const int n = readNumber(tag.value(u"X").value_or(QString()));
            FState.newofsx = n;
            line.w = n;
            line.x = clampCoord(qint64(line.r.Left) + n);
        }
        break;
    case u'P':
        if (terminated)
            paragraph(line, tag);
        break;
    case u'R': {
        const int degrees = readNumber(tag.value(u"A").value_or(QString())) % 360;
        changeFont([&](THTMLFont &f) { f.orientation = degrees * 10; });
        break;
    }
    case u'S':
        if (c2 == u'>')
            changeFont([](THTMLFont &f) { f.strikeOut = true; });
        else if (c2 == u'H')
            FState.isShad = true;
        else if (tag.upperText() == u"<SUB>")
            FIsSub = true;
        else if (tag.upperText() == u"<SUP>")
            FIsSup = true;
        break;
    case u'U':
        if (c2 == u'>') {
            changeFont([](THTMLFont &f) { f.underline = true; });
        } else {
            FState.ListIndex = std::min(FState.ListIndex + 1, MaxListDepth);
            line.breakPending = true;
        }
        break;
    case u'Z':
        FState.Invisible = true;
        break;
    default:
        break;
    }
}

void THTMLRenderer::closingTag(TLine &line, QChar c1, QChar c2)
{
    const bool paint = painting(line);
    switch (c1.unicode()) {
    case u'A':
        if (paint && (!FP.HoverStyle || FP.HoverLink == FState.HyperLinks)) {
            changeFont([](THTMLFont &f) { f.underline = false; });
            if (FP.HoverColor != clNone)
                setBackground(FHvrColor);
        }
        if (!FP.Selected)
            changeFont([&](THTMLFont &f) { f.color = FBaseFont.color; });
        if (paint && inFocusedLink()) {
            const int bottom = line.r.Bottom - line.m.imgali;
            FCanvas.drawFocusRect(TRect{FFocusLeft - 1, bottom - ghHeight(), line.x + 1, bottom});
        }
        FState.Anchor = false;
        if (line.pass == TPass::HitTest && FPointInLink) {
            FR.HoverRect = FHoverLine == FLineNumber
                ? TRect{FHoverLeft, FHoverTop, line.x, line.r.Bottom}
                : TRect{line.r.Left, line.r.Top, line.x, line.r.Bottom};
            FR.MouseLink = FState.HyperLinks;
            FPointInLink = false;
        }
        break;
    case u'B':
        if (c2 == u'>')
            changeFont([](THTMLFont &f) { f.bold = false; });
        else
            changeFont([&](THTMLFont &f) { f.color = FBaseFont.color; });
        break;
    case u'E':
        if (paint)
            FError = false;
        break;
    case u'F':
        changeFont([&](THTMLFont &f) {
            f.name = FBaseFont.name;
            f.size = FBaseFont.size;
        });
        if (paint && !FP.Selected) {
            changeFont([&](THTMLFont &f) { f.color = FBaseFont.color; });
            setBackground(FBgColor);
        }
        break;
    case u'H':
        if (paint) {
            if (FHifCol != clNone)
                changeFont([&](THTMLFont &f) { f.color = FHifCol; });
            setBackground(FHibCol);
        }
        break;
    case u'I':
        changeFont([](THTMLFont &f) { f.italic = false; });
        break;
    case u'L':
        line.breakPending = true;
        break;
    case u'O':
        FState.newofsx = 0;
        break;
    case u'P':
        line.breakPending = true;
        if (paint) {
            setBackground(FParaColor);
            FIsPara = false;
        }
        break;
    case u'R':
        changeFont([](THTMLFont &f) { f.orientation = 0; });
        break;
    case u'S':
        if (c2 == u'U') {
            FIsSub = false;
            FIsSup = false;
        } else if (c2 == u'H') {
            FState.isShad = false;
        } else {
            changeFont([](THTMLFont &f) { f.strikeOut = false; });
        }
        break;
    case u'U':
        if (c2 != u'>' && FState.ListIndex >= 1)
            --FState.ListIndex;
        else
            changeFont([](THTMLFont &f) { f.underline = false; });
        break;
    case u'Z':
        FState.Invisible = false;
        break;
    default:
        break;
    }
}

void THTMLRenderer::fontTag(TLine &line, const THTMLTag &tag)
{
    constexpr qsizetype attributesFrom = 5; // after "<FONT"
    if (const auto face = tag.value(u"FACE", attributesFrom); face && !face->isEmpty())
        changeFont([&](THTMLFont &f) { f.name = *face; });
    if (const auto color = tag.value(u" COLOR", attributesFrom);
        color && !color->isEmpty() && !FP.Selected)
        changeFont([&](THTMLFont &f) { f.color = Text2Color(*color); });
    if (const auto bg = tag.value(u"BGCOLOR", attributesFrom);
        bg && !bg->isEmpty() && painting(line) && !FP.Selected) {
        FBgColor = currentBackground();
        setBackground(Text2Color(*bg));
    }
    if (const auto size = tag.value(u"SIZE", attributesFrom, false, true);
        size && !size->isEmpty()) {
        // A size that reads as 0 ("+1", "0") gives the base font's height, not a 1-point speck.
        const int n = readNumber(*size);
        changeFont([&](THTMLFont &f) { f.size = n == 0 ? FBaseFont.size : fontSizeFor(n); });
    }
}

void THTMLRenderer::paragraph(TLine &line, const THTMLTag &tag)
{
    if (const auto align = tag.value(u"ALIGN")) {
        if (align->contains(u"RIGHT"))
            FState.Align = TAlign::Right;
        if (align->contains(u"LEFT"))
            FState.Align = TAlign::Left;
        if (align->contains(u"CENTER"))
            FState.Align = TAlign::Center;
    }
    if (const auto indent = tag.value(u"INDENT"))
        FState.PIndent = readNumber(*indent);
    const auto bg = tag.value(u"BGCOLOR");
    if (!painting(line) || !bg || bg->isEmpty())
        return;
    FIsPara = true;
    FParaColor = currentBackground();
    FParaFill = Text2Color(*bg);
    const auto to = tag.value(u"BGCOLORTO");
    FParaFillTo = to && !to->isEmpty() ? Text2Color(*to) : clNone;
    fillParagraphBand(line);
}

void THTMLRenderer::body(TLine &line, const THTMLTag &tag)
{
    const auto picture = [&](QStringView name) {
        const auto source = tag.value(name, 0, true);
        return source && !source->isEmpty() ? resolveImage(*source) : TImageSource{};
    };
    const auto drawAtX = [&](const TImageSource &image) {
        if (image.kind == TImageSource::List)
            FCanvas.drawImage(line.x, line.r.Top, *FP.FImages, image.index);
        else if (image.kind == TImageSource::Icon)
            FCanvas.drawPicture(line.x, line.r.Top, image.pixmap);
    };
    const TImageSource background = picture(u"BACKGROUND");
    if (background.kind == TImageSource::Picture)
        FCanvas.tilePicture(FP.fr, background.pixmap);
    else
        drawAtX(background);
    const TImageSource topLeft = picture(u"BGTOPLEFT");
    if (topLeft.kind == TImageSource::Picture)
        FCanvas.drawPicture(FP.fr.Left, FP.fr.Top, topLeft.pixmap);
    else
        drawAtX(topLeft);
    const TImageSource topRight = picture(u"BGTOPRIGHT");
    if (topRight.kind == TImageSource::Picture)
        FCanvas.drawPicture(FP.fr.Right - topRight.pixmap.width(), FP.fr.Top, topRight.pixmap);
    else
        drawAtX(topRight);

    const auto bg = tag.value(u"BGCOLOR");
    if (!bg || bg->isEmpty())
        return;
    const TColor from = Text2Color(*bg);
    const auto to = tag.value(u"BGCOLORTO");
    if (to && !to->isEmpty()) {
        const auto dir = tag.value(u"DIR");
        const bool horizontal = !dir || dir->isEmpty() || *dir == u"H";
        DrawHTMLGradient(FCanvas, from, Text2Color(*to), horizontal, FP.fr, GradientSteps, clNone);
        FCanvas.setBrushSolid(false);
    } else {
        FCanvas.setBrushColor(from);
        FCanvas.fillRect(TRect{FP.fr.Left - 2, FP.fr.Top, FP.fr.Right, FP.fr.Bottom});
        setBackground(from);
    }
}

void THTMLRenderer::listItem(TLine &line, const THTMLTag &tag, bool terminated, bool &keep)
{
    TColor color = clNone;
    QString type;
    if (terminated) {
        type = tag.value(u"TYPE").value_or(QString());
        if (const auto value = tag.value(u"COLOR"); value && !value->isEmpty())
            color = Text2Color(*value);
    }
    if (line.listItemSeen) {
        keep = true;
        return;
    }
    line.listItemSeen = true;
    const int indent = FState.ListIndex * ListIndent;
    line.w = clampCoord(qint64(line.w) + indent);
    line.x = clampCoord(qint64(line.x) + indent - ListIndent);
    if (painting(line) && !FState.Invisible) {
        const TRect box{line.x, line.r.Top + 2, line.x + 8, line.r.Top + 10};
        const TColor fill = color == clNone ? FCanvas.font().color : color;
        if (type == u"SQUARE" || type == u"CIRCLE") {
            const TColor brush = FCanvas.brushColor();
            FCanvas.setBrushColor(fill);
            if (type == u"SQUARE")
                FCanvas.fillRect(box);
            else
                FCanvas.fillEllipse(box);
            FCanvas.setBrushColor(brush);
        } else if (type.isEmpty()) {
            // The bullet is a character of the current face: a symbol face maps its codes to
            // glyphs of its own (a look-alike shows an angle bracket for the middle dot).
            const THTMLFont font = FCanvas.font();
            changeFont([&](THTMLFont &f) {
                if (color != clNone)
                    f.color = color;
            });
            const QString bullet
                = FState.ListIndex % 2 == 1 ? QStringLiteral("\u2022") : QStringLiteral("o");
            FCanvas.drawRun(TRect{line.x, line.r.Top, line.r.Right, line.r.Bottom - line.m.imgali},
                            bullet, false, false, FCanvas.measureRun(bullet, false).width());
            FCanvas.setFont(font);
        }
    }
    line.x = clampCoord(qint64(line.x) + ListIndent);
}

TImageSource THTMLRenderer::resolveImage(const QString &source)
{
    TImageSource image;
    if (source.startsWith(u"IDX:", Qt::CaseInsensitive)) {
        const int n = readNumber(QStringView(source).mid(4));
        if (FP.FImages && n < FP.FImages->Count()) {
            image.kind = TImageSource::List;
            image.index = n;
        }
    } else if (source.startsWith(u"SSYS:", Qt::CaseInsensitive)
               || source.startsWith(u"LSYS:", Qt::CaseInsensitive)) {
        image.pixmap = FCanvas.systemIcon(source.mid(5), source.front().toUpper() == u'L');
        if (!image.pixmap.isNull())
            image.kind = TImageSource::Icon;
    } else if (!source.contains(u':')) {
        const TPicture *picture = FP.pc ? FP.pc->FindPicture(source) : nullptr;
        if (picture && !picture->IsEmpty()) {
            image.kind = TImageSource::Picture;
            image.pixmap = picture->Pixmap();
        }
    } else if (source.contains(u"://") && FP.ic) {
        const TPicture *picture = FP.ic->Picture(source);
        if (!picture->IsEmpty()) {
            image.kind = TImageSource::Picture;
            image.pixmap = picture->Pixmap();
        }
    }
    return image;
}

void THTMLRenderer::image(TLine &line, const THTMLTag &tag, bool &keep)
{
    constexpr qsizetype attributesFrom = 2; // after "<I"
    FState.ImgIdx = std::min(FState.ImgIdx + 1, MaxCoord);
    QString source = tag.value(u"SRC", attributesFrom, true).value_or(QString());
    if (const auto alt = tag.value(u"ALT", attributesFrom, true); alt && FAltImg == FState.ImgIdx)
        source = *alt;
    const int reqWidth = std::min(
        readNumber(tag.value(u"WIDTH", attributesFrom).value_or(QString())), MaxImageSide);
    const int reqHeight = std::min(
        readNumber(tag.value(u"HEIGHT", attributesFrom).value_or(QString())), MaxImageSide);
    const TImageSource resolved = resolveImage(source);
    if (resolved.kind == TImageSource::None)
        return;

    // The drawn size, and the room taken (pictures and icons scaled to the canvas resolution).
    QSize drawn;
    if (resolved.kind == TImageSource::List) {
        drawn = FP.FImages->Size();
    } else if (resolved.kind == TImageSource::Icon || (reqWidth <= 0 && reqHeight <= 0)) {
        drawn = resolved.pixmap.size();
    } else {
        const QSize own = resolved.pixmap.size();
        if (reqWidth > 0 && reqHeight > 0)
            drawn = QSize(reqWidth, reqHeight);
        else if (reqWidth > 0)
            drawn
                = QSize(reqWidth, int(std::lround(double(own.height()) * reqWidth / own.width())));
        else
            drawn = QSize(int(std::lround(double(own.width()) * reqHeight / own.height())),
                          reqHeight);
        drawn = drawn.boundedTo(QSize(MaxImageSide, MaxImageSide));
    }
    if (drawn.width() <= 0 || drawn.height() <= 0)
        return;
    QSize room = drawn;
    if (resolved.kind != TImageSource::List) {
        const int dpi = std::clamp(FCanvas.dpi(), 1, 9600);
        room = QSize(int(qint64(drawn.width()) * dpi / 96), int(qint64(drawn.height()) * dpi / 96));
    }

    const int avail = line.r.Width() - FOfsx;
    const bool fits = room.width() <= avail - line.w || room.width() >= avail;
    if (!fits && line.pass == TPass::Layout) {
        keep = true;
        return;
    }
    if (FState.Anchor && line.x < FP.XPos && FP.XPos < line.x + room.width() && line.r.Top < FP.YPos
        && FP.YPos < line.r.Top + room.height()) {
        line.imageHotSpot = true;
        FR.AnchorVal = FState.LastAnchor;
        FAltImg = FState.ImgIdx;
    }
    if (painting(line)) {
        const int x = line.x, y = line.r.Top;
        if (resolved.kind == TImageSource::List) {
            if (FP.Print) {
                const double factor = std::clamp(FP.ResFactor, 0.0, 100.0);
                FCanvas.stretchImage(TRect{x, y, x + int(std::lround(drawn.width() * factor)),
                                           y + int(std::lround(drawn.height() * factor))},
                                     *FP.FImages, resolved.index);
            } else
                FCanvas.drawImage(x, y, *FP.FImages, resolved.index);
        } else if (resolved.kind == TImageSource::Picture && (reqWidth > 0 || reqHeight > 0)) {
            FCanvas.stretchPicture(TRect{x, y, x + drawn.width(), y + drawn.height()},
                                   resolved.pixmap);
        } else {
            FCanvas.drawPicture(x, y, resolved.pixmap);
        }
    }
    line.w = clampCoord(qint64(line.w) + room.width());
    line.x = clampCoord(qint64(line.x) + room.width());
    if (line.pass == TPass::Layout) {
        line.m.height = std::max(line.m.height, room.height());
        const auto align = tag.value(u"ALIGN", attributesFrom);
        const int gh = ghHeight();
        if (align && align->startsWith(u"TOP"))
            line.m.imgali = line.m.height - gh;
        else if (align && align->startsWith(u"MIDDLE"))
            line.m.imgali = (line.m.height - gh) / 2;
        if (tag.has(u"WRAP", attributesFrom)) {
            line.m.height = gh;
            line.m.imgali = 0;
        }
    }
}

} // namespace

bool HTMLDrawEx(THTMLCanvas &Canvas, const THTMLDrawParams &p, THTMLDrawResult &result)
{
    return THTMLRenderer(Canvas, p, result).run();
}

THTMLDrawResult HTMLDraw(THTMLCanvas &Canvas, THTMLDrawParams p)
{
    p.CheckHotSpot = false;
    p.CheckHeight = false;
    THTMLDrawResult result;
    HTMLDrawEx(Canvas, p, result);
    return result;
}

THTMLDrawResult HTMLHitTest(THTMLCanvas &Canvas, THTMLDrawParams p, int x, int y)
{
    p.CheckHotSpot = true;
    p.CheckHeight = false;
    p.XPos = x;
    p.YPos = y;
    THTMLDrawResult result;
    HTMLDrawEx(Canvas, p, result);
    return result;
}

THTMLDrawResult HTMLMeasureHeight(THTMLCanvas &Canvas, THTMLDrawParams p)
{
    p.CheckHeight = true;
    THTMLDrawResult result;
    HTMLDrawEx(Canvas, p, result);
    return result;
}

void DrawHTMLGradient(THTMLCanvas &Canvas, TColor FromColor, TColor ToColor, bool Direction,
                      const TRect &R, int Steps, TColor BorderColor)
{
    Steps = std::max(Steps, 1);
    const TColor from = Canvas.colorToRGB(FromColor), to = Canvas.colorToRGB(ToColor);
    const auto channel = [](TColor c, int shift) { return int(c >> shift & 0xFF); };
    const TColor brush = Canvas.brushColor(), pen = Canvas.penColor();
    const double extent = Direction ? R.Width() : R.Height();
    const double step = extent / Steps;
    for (int i = 0; i < Steps; ++i) {
        TColor color = 0;
        for (int shift : {0, 8, 16}) {
            const int a = channel(from, shift), b = channel(to, shift);
            color |= TColor(a + int(std::lround(double(i) * (b - a) / Steps))) << shift;
        }
        Canvas.setBrushColor(color);
        Canvas.setPenColor(color);
        const int start = (Direction ? R.Left : R.Top) + int(std::lround(i * step));
        const int stop = std::min(Direction ? R.Right : R.Bottom, start + int(step) + 1);
        Canvas.fillRect(Direction ? TRect{start, R.Top, stop, R.Bottom}
                                  : TRect{R.Left, start, R.Right, stop});
    }
    if (BorderColor != clNone) {
        Canvas.setPenColor(BorderColor);
        Canvas.moveTo(R.Left, R.Top);
        Canvas.lineTo(R.Right - 1, R.Top);
        Canvas.lineTo(R.Right - 1, R.Bottom - 1);
        Canvas.lineTo(R.Left, R.Bottom - 1);
        Canvas.lineTo(R.Left, R.Top);
    }
    Canvas.setBrushColor(brush);
    Canvas.setPenColor(pen);
}
