#include "htmltext/htmldraw.h"
#include "htmltext/imagelist.h"
#include "htmltext/paintercanvas.h"
#include "htmltext/picturecache.h"
#include "tests/htmltext/fixedcanvas.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

// Layout, drawing and hit-testing of the markup renderer. Positions are checked to the pixel on
// the fixed canvas (6 px per character, 7 in bold, 12 px line height at the base 8 pt); a few
// tests draw with a real font into an image.
namespace {

THTMLDrawParams params(const QString &markup, int width = 120, int height = 200)
{
    THTMLDrawParams p;
    p.s = markup;
    p.fr = TRect{0, 0, width, height};
    return p;
}

QString rectText(const TRect &r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

// Face, size, colour, background and style of a drawn run, e.g. "Fixed 8 c=000000 bg=- BU".
QString describe(const TFixedCanvas::TCall &call)
{
    QString style;
    if (call.font.bold)
        style += u'B';
    if (call.font.italic)
        style += u'I';
    if (call.font.underline)
        style += u'U';
    if (call.font.strikeOut)
        style += u'S';
    if (call.font.orientation)
        style += u'R' + QString::number(call.font.orientation);
    const auto hex = [](TColor c) { return QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0')); };
    return QStringLiteral("%1 %2 c=%3 bg=%4 %5")
        .arg(call.font.name)
        .arg(call.font.size)
        .arg(hex(call.font.color), call.brush == clNone ? u"-"_qs : hex(call.brush), style)
        .trimmed();
}

// Runs the three uses on both canvases; none may crash, and the hit test and the drawing lay
// out the same lines.
void renderEverywhere(const THTMLDrawParams &p)
{
    TFixedCanvas fixed;
    const THTMLDrawResult drawn = HTMLDraw(fixed, p);
    const THTMLDrawResult measured = HTMLHitTest(fixed, p, 5, 5);
    HTMLMeasureHeight(fixed, p);
    QCOMPARE(measured.YSize, drawn.YSize);
    QCOMPARE(measured.XSize, drawn.XSize);

    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    HTMLDraw(canvas, p);
    HTMLHitTest(canvas, p, 5, 5);
    HTMLMeasureHeight(canvas, p);
}

// A canvas on a real painter and font that counts what it measures, per kind of measure, text
// and font.
class TCountingCanvas : public TPainterCanvas
{
public:
    using TPainterCanvas::TPainterCanvas;

    QMap<QString, int> Counts;

    int textWidth(QStringView text) override
    {
        count(u"width", text);
        return TPainterCanvas::textWidth(text);
    }
    int textHeight() override
    {
        count(u"height", {});
        return TPainterCanvas::textHeight();
    }
    QSize measureRun(QStringView text, bool prefix) override
    {
        count(u"run", text);
        return TPainterCanvas::measureRun(text, prefix);
    }
    int charsThatFit(QStringView text, int width) override
    {
        count(u"fit", text);
        return TPainterCanvas::charsThatFit(text, width);
    }

private:
    void count(QStringView kind, QStringView text)
    {
        const THTMLFont f = font();
        ++Counts[QStringLiteral("%1 of \"%2\" in %3 %4%5%6%7%8")
                     .arg(kind, text, f.name)
                     .arg(f.size)
                     .arg(f.bold ? u"B"_qs : QString(), f.italic ? u"I"_qs : QString(),
                          f.underline ? u"U"_qs : QString(), f.strikeOut ? u"S"_qs : QString())];
    }
};

QPixmap filled(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::red);
    return pixmap;
}

} // namespace

class TestHtmlDraw : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
    void measuringPassesAgreeWithDrawing_data();
    void measuringPassesAgreeWithDrawing();
    void sizesOfEmptyAndOneLineTexts_data();
    void sizesOfEmptyAndOneLineTexts();
    void lineSpacingAndRectangleBottom();
    void prefixUnderline_data();
    void prefixUnderline();
    void stripValue_data();
    void stripValue();
    void runStyle_data();
    void runStyle();
    void hitTest_data();
    void hitTest();
    void hoverAndFocus();
    void drawnShapes_data();
    void drawnShapes();
    void gradientBackgrounds_data();
    void gradientBackgrounds();
    void images_data();
    void images();
    void alternativeImageUnderThePoint();
    void restoresTheCanvas();
    void brokenMarkup_data();
    void brokenMarkup();
    void realFontBoldIsDrawn();
    void realFontBulletIsRound();
    void realFontStaysInsideMeasuredHeight();
    void realFontKeepsAccentsOfCapitals_data();
    void realFontKeepsAccentsOfCapitals();
    void eachWordMeasuredOncePerLayout_data();
    void eachWordMeasuredOncePerLayout();
};

void TestHtmlDraw::layout_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("wordWrap");
    QTest::addColumn<QString>("runs");
    QTest::addColumn<int>("ySize");
    QTest::addColumn<int>("height");

    QTest::newRow("one word") << u"Hello"_qs << 120 << true << u"0,12:Hello"_qs << 12 << 200;
    QTest::newRow("word wrap") << u"aaa bbb ccc"_qs << 48 << true
                               << u"0,12:aaa |0,24:bbb |24,24:ccc"_qs << 24 << 200;
    QTest::newRow("line exactly as wide breaks")
        << u"aaa bbb"_qs << 42 << true << u"0,12:aaa |0,24:bbb"_qs << 24 << 200;
    QTest::newRow("over-long word overflows")
        << u"a verylongword b"_qs << 30 << true << u"0,12:a |12,12:verylongword |0,24:b"_qs << 24
        << 200;
    QTest::newRow("two spaces kept")
        << u"a  b"_qs << 120 << true << u"0,12:a |12,12: |18,12:b"_qs << 12 << 200;
    QTest::newRow("leading spaces dropped")
        << u"   a<BR>   b"_qs << 120 << true << u"0,12:a|0,24:b"_qs << 24 << 200;
    QTest::newRow("BR") << u"a<BR>b<br>"_qs << 120 << true << u"0,12:a|0,24:b"_qs << 24 << 200;
    QTest::newRow("CR LF") << u"a\r\nb"_qs << 120 << true << u"0,12:a|0,24:b"_qs << 24 << 200;
    QTest::newRow("P centre carried over lines")
        << u"<P align=\"center\">Title</P>rest"_qs << 120 << true << u"45,12:Title|48,24:rest"_qs
        << 24 << 200;
    // The credits box's default text: every line centred in its 222 pixels.
    QTest::newRow("default credits")
        << u"<P align=\"center\"><FONT size=\"10\"><B>Musterhafen</B></FONT><BR>Version 2.0.0.0"
           "<BR><BR>Orvandel<BR><A href=\"https://scenery.example.net/\">scenery.example.net</A>"
           "<BR></P>"_qs
        << 222 << true
        << u"72,14:Musterhafen|66,26:Version |114,26:2.0.0.0|87,50:Orvandel|54,62:scenery.example.net"_qs
        << 74 << 200;
    QTest::newRow("P right") << u"<P align=\"right\">ab"_qs << 120 << true << u"108,12:ab"_qs << 12
                             << 200;
    QTest::newRow("P last match wins")
        << u"<P align=\"right center\">ab"_qs << 120 << true << u"54,12:ab"_qs << 12 << 200;
    QTest::newRow("P indent") << u"<P indent=\"10\">ab"_qs << 120 << true << u"10,12:ab"_qs << 12
                              << 200;
    QTest::newRow("P without end of tag ignored")
        << u"<P align=\"right\""_qs << 120 << true << QString() << 12 << 200;
    QTest::newRow("list") << u"<UL><LI>one</LI><LI>two</LI></UL>"_qs << 120 << true
                          << u"0,24:\u2022|12,24:one|0,36:\u2022|12,36:two"_qs << 48 << 200;
    QTest::newRow("nested list") << u"<UL><UL><LI>x</UL></UL>"_qs << 120 << true
                                 << u"12,36:o|24,36:x"_qs << 36 << 200;
    QTest::newRow("second item starts a line")
        << u"<UL><LI>a<LI>b"_qs << 120 << true << u"0,24:\u2022|12,24:a|0,36:\u2022|12,36:b"_qs
        << 36 << 200;
    QTest::newRow("IND tab stop") << u"a<IND x=\"30\">b"_qs << 120 << true << u"0,12:a|30,12:b"_qs
                                  << 12 << 200;
    QTest::newRow("IND never moves left")
        << u"abcdef<IND x=\"12\">b"_qs << 120 << true << u"0,12:abcdef|36,12:b"_qs << 12 << 200;
    QTest::newRow("IND ignores a partial number")
        << u"a<IND x=\"3x\">b"_qs << 120 << true << u"0,12:a|6,12:b"_qs << 12 << 200;
    QTest::newRow("OFS carried to following lines")
        << u"<OFS x=\"20\">a<BR>b</OFS><BR>c"_qs << 120 << true << u"20,12:a|20,24:b|0,36:c"_qs
        << 36 << 200;
    QTest::newRow("OFS narrows the line") << u"<OFS x=\"20\">a<BR>bb cc"_qs << 50 << true
                                          << u"20,12:a|20,24:bb |20,36:cc"_qs << 36 << 200;
    QTest::newRow("font size 3 is 12 pt") << u"a<FONT size=\"3\">b</FONT>c"_qs << 120 << true
                                          << u"0,16:a|6,16:b|12,16:c"_qs << 16 << 200;
    QTest::newRow("font size unquoted")
        << u"<FONT size=3>x"_qs << 120 << true << u"0,16:x"_qs << 16 << 200;
    QTest::newRow("font size in points")
        << u"<FONT size=\"10\">x"_qs << 120 << true << u"0,14:x"_qs << 14 << 200;
    QTest::newRow("bold is wider")
        << u"<B>ab</B>c"_qs << 120 << true << u"0,12:ab|14,12:c"_qs << 12 << 200;
    QTest::newRow("amp entity") << u"a &amp; b"_qs << 120 << true << u"0,12:a |12,12:& |24,12:b"_qs
                                << 12 << 200;
    QTest::newRow("lone ampersand")
        << u"a & b"_qs << 120 << true << u"0,12:a |12,12:& |24,12:b"_qs << 12 << 200;
    QTest::newRow("permil") << u"x&permil;"_qs << 120 << true << u"0,12:x\u2030"_qs << 12 << 200;
    QTest::newRow("upper-case AMP") << u"&AMP;"_qs << 120 << true << u"0,12:&"_qs << 12 << 200;
    QTest::newRow("amp chain") << u"&amp;amp;"_qs << 120 << true << u"0,12:&"_qs << 12 << 200;
    QTest::newRow("nbsp joins words")
        << u"a&nbsp;b c"_qs << 24 << true << u"0,12:a b |0,24:c"_qs << 24 << 200;
    QTest::newRow("lt gt") << u"&lt;B&gt;x"_qs << 120 << true << u"0,12:<B>x"_qs << 12 << 200;
    QTest::newRow("field tag") << u"<#Name> and <#x>"_qs << 120 << true
                               << u"0,12:Name |30,12:and "_qs << 12 << 200;
    QTest::newRow("unterminated tag ends the text")
        << u"text <B"_qs << 120 << true << u"0,12:text "_qs << 12 << 200;
    QTest::newRow("unterminated long tag")
        << u"text <FONT size=\"20\" more"_qs << 120 << true << u"0,12:text "_qs << 12 << 200;
    QTest::newRow("unknown tag consumed")
        << u"a<BIG>b<STRONG>c"_qs << 120 << true << u"0,12:a|6,12:b|12,12:c"_qs << 12 << 200;
    QTest::newRow("subscript") << u"a<SUB>b</SUB>"_qs << 120 << true << u"0,12:a|6,15:b"_qs << 15
                               << 200;
    QTest::newRow("superscript") << u"a<SUP>b</SUP>"_qs << 120 << true << u"0,15:a|6,12:b"_qs << 15
                                 << 200;
    QTest::newRow("sub ends with the line")
        << u"<SUB>a<BR>b"_qs << 120 << true << u"0,15:a|0,27:b"_qs << 27 << 200;
    QTest::newRow("invisible") << u"a<Z>hidden</Z>b"_qs << 120 << true << u"0,12:a|6,12:b"_qs << 12
                               << 200;
    QTest::newRow("line ends inside invisible")
        << u"a<Z>x<BR>y</Z>b"_qs << 120 << true << u"0,12:a|0,24:b"_qs << 24 << 200;
    QTest::newRow("no word wrap: one run per text")
        << u"ab cd"_qs << 120 << false << u"0,12:ab cd"_qs << 12 << 200;
    QTest::newRow("no word wrap: ellipsis")
        << u"abcdefghij"_qs << 30 << false << u"0,12:abcd\u2026"_qs << 12 << 200;
    QTest::newRow("no word wrap: nothing right of the edge")
        << u"abcd<B>efg"_qs << 30 << false << u"0,12:abcd"_qs << 12 << 200;
    QTest::newRow("rest dropped below the rectangle")
        << u"a<BR>b<BR>c"_qs << 120 << true << u"0,12:a|0,24:b"_qs << 24 << 30;
}

void TestHtmlDraw::layout()
{
    QFETCH(QString, markup);
    QFETCH(int, width);
    QFETCH(bool, wordWrap);
    QFETCH(QString, runs);
    QFETCH(int, ySize);
    QFETCH(int, height);
    TFixedCanvas canvas;
    THTMLDrawParams p = params(markup, width, height);
    p.WordWrap = wordWrap;
    const THTMLDrawResult result = HTMLDraw(canvas, p);
    QCOMPARE(canvas.runs(), runs);
    QCOMPARE(result.YSize, ySize);
}

void TestHtmlDraw::measuringPassesAgreeWithDrawing_data()
{
    QTest::addColumn<QString>("markup");
    QTest::newRow("credits") << u"<P align=\"center\"><B>Flugplatz Musterhafen</B><BR>"
                                "Demo-Szenerie<BR><A href=\"https://www.example.org/\">"
                                "www.example.org</A></P>"_qs;
    QTest::newRow("wrapped text") << u"Ein langer Text, der über mehrere Zeilen umbrochen wird "
                                     "und <B>fette</B> sowie <FONT size=\"4\">große</FONT> "
                                     "Wörter enthält."_qs;
    QTest::newRow("list and offsets") << u"<UL><LI>eins<LI>zwei</UL><OFS x=\"30\">a b c d e f g"_qs;
    QTest::newRow("sub and sup") << u"H<SUB>2</SUB>O und x<SUP>2</SUP> auf vielen Zeilen"_qs;
}

void TestHtmlDraw::measuringPassesAgreeWithDrawing()
{
    QFETCH(QString, markup);
    TFixedCanvas canvas;
    const THTMLDrawParams p = params(markup, 90, 1000);
    const THTMLDrawResult drawn = HTMLDraw(canvas, p);
    const THTMLDrawResult hit = HTMLHitTest(canvas, p, 0, 0);
    const THTMLDrawResult height = HTMLMeasureHeight(canvas, p);
    QCOMPARE(hit.YSize, drawn.YSize);
    QCOMPARE(height.YSize, drawn.YSize);
    QCOMPARE(hit.XSize, drawn.XSize);
    QCOMPARE(height.XSize, drawn.XSize);
    QCOMPARE(hit.StripVal, drawn.StripVal);
    QCOMPARE(height.StripVal, drawn.StripVal);
    QCOMPARE(height.HyperLinks, drawn.HyperLinks);
}

void TestHtmlDraw::sizesOfEmptyAndOneLineTexts_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<int>("xSize");
    QTest::addColumn<int>("ySize");
    QTest::newRow("empty") << QString() << 0 << 12;
    QTest::newRow("blanks only") << u"  \r\n "_qs << 0 << 12;
    QTest::newRow("one line") << u"abc"_qs << 20 << 12;
    QTest::newRow("trailing blank ignored") << u"abc "_qs << 20 << 12;
    QTest::newRow("trailing space of the last word") << u"abc <B></B>"_qs << 20 << 12;
    QTest::newRow("bold") << u"<B>abc</B>"_qs << 23 << 12;
    QTest::newRow("widest line") << u"a<BR>bcd"_qs << 20 << 24;
    QTest::newRow("tags only") << u"<FONT size=\"3\"></FONT>"_qs << 0 << 12;
}

void TestHtmlDraw::sizesOfEmptyAndOneLineTexts()
{
    QFETCH(QString, markup);
    QFETCH(int, xSize);
    QFETCH(int, ySize);
    TFixedCanvas canvas;
    const THTMLDrawResult result = HTMLDraw(canvas, params(markup));
    QCOMPARE(result.XSize, xSize);
    QCOMPARE(result.YSize, ySize);
    QCOMPARE(HTMLMeasureHeight(canvas, params(markup)).YSize, ySize);
}

void TestHtmlDraw::lineSpacingAndRectangleBottom()
{
    TFixedCanvas canvas;
    THTMLDrawParams p = params(u"a<BR>b"_qs);
    p.LineSpacing = 3;
    QCOMPARE(HTMLDraw(canvas, p).YSize, 30);
    QCOMPARE(canvas.runs(), u"0,15:a|0,30:b"_qs); // the extra space lands above the text

    // The full-height measure ignores the bottom of the rectangle; the other uses stop there.
    p = params(u"a<BR>b<BR>c<BR>d"_qs, 120, 30);
    QCOMPARE(HTMLMeasureHeight(canvas, p).YSize, 48);
    QCOMPARE(HTMLHitTest(canvas, p, 0, 0).YSize, 24);
    QCOMPARE(HTMLMeasureHeight(canvas, p).StripVal, u"a\rb\rc\rd"_qs);
}

void TestHtmlDraw::prefixUnderline_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("underlined");
    QTest::newRow("single ampersand") << u"Save&Exit"_qs << u"SaveExit"_qs << 4;
    QTest::newRow("double ampersand") << u"a&&b"_qs << u"a&b"_qs << -1;
    QTest::newRow("off for the whole call") << u"Save&Exit & more"_qs << u"Save&Exit "_qs << -1;
    QTest::newRow("unknown entity") << u"&hellip;"_qs << u"hellip;"_qs << 0;
}

void TestHtmlDraw::prefixUnderline()
{
    QFETCH(QString, markup);
    QFETCH(QString, shown);
    QFETCH(int, underlined);
    TFixedCanvas canvas;
    HTMLDraw(canvas, params(markup));
    const TFixedCanvas::TCall run = canvas.calls(u"text"_qs).value(0);
    QCOMPARE(run.text, shown);
    QCOMPARE(run.mnemonic, underlined);
}

void TestHtmlDraw::stripValue_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("words once, breaks as CR") << u"a<BR>b  c"_qs << 120 << u"a\rb  c"_qs;
    QTest::newRow("wrapped words once") << u"aaa bbb ccc"_qs << 30 << u"aaa bbb ccc"_qs;
    QTest::newRow("invisible words kept") << u"a<Z>hid</Z>b"_qs << 120 << u"ahidb"_qs;
    QTest::newRow("word entities replaced") << u"a&nbsp;&lt;b"_qs << 120 << u"a <b"_qs;
    QTest::newRow("unknown entity as written") << u"&hellip;"_qs << 120 << u"&hellip;"_qs;
    QTest::newRow("stops at an unterminated tag") << u"ab <B cd"_qs << 120 << u"ab "_qs;
}

void TestHtmlDraw::stripValue()
{
    QFETCH(QString, markup);
    QFETCH(int, width);
    QFETCH(QString, expected);
    TFixedCanvas canvas;
    QCOMPARE(HTMLDraw(canvas, params(markup, width)).StripVal, expected);
}

void TestHtmlDraw::runStyle_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("run");
    QTest::addColumn<QString>("expected");
    const QString plain = u"Fixed 8 c=000000 bg=-"_qs;
    QTest::newRow("bold, tag letters any case")
        << u"<b>bold</B> x"_qs << QString() << u"bold"_qs << u"Fixed 8 c=000000 bg=- B"_qs;
    QTest::newRow("bold off") << u"<b>bold</B> x"_qs << QString() << u"x"_qs << plain;
    QTest::newRow("italic") << u"<I>x</I>"_qs << QString() << u"x"_qs
                            << u"Fixed 8 c=000000 bg=- I"_qs;
    QTest::newRow("underline") << u"<U>x</U>"_qs << QString() << u"x"_qs
                               << u"Fixed 8 c=000000 bg=- U"_qs;
    QTest::newRow("strike-out") << u"<S>x</S>"_qs << QString() << u"x"_qs
                                << u"Fixed 8 c=000000 bg=- S"_qs;
    QTest::newRow("STRONG turns nothing on")
        << u"<STRONG>x</STRONG>"_qs << QString() << u"x"_qs << plain;
    QTest::newRow("STRONG end: strike-out off")
        << u"<S>a</STRONG>b"_qs << QString() << u"b"_qs << plain;
    QTest::newRow("font colour") << u"<FONT color=\"clRed\">x</FONT>y"_qs << QString() << u"x"_qs
                                 << u"Fixed 8 c=0000ff bg=-"_qs;
    QTest::newRow("font end restores colour")
        << u"<FONT color=\"clRed\">x</FONT>y"_qs << QString() << u"y"_qs << plain;
    QTest::newRow("hex colour") << u"<FONT color=\"#FF0000\">x"_qs << QString() << u"x"_qs
                                << u"Fixed 8 c=0000ff bg=-"_qs;
    QTest::newRow("unquoted colour does nothing")
        << u"<FONT color=red>x"_qs << QString() << u"x"_qs << plain;
    QTest::newRow("face and size") << u"<FONT face=\"Arial\" size=\"4\">x"_qs << QString()
                                   << u"x"_qs << u"ARIAL 14 c=000000 bg=-"_qs;
    QTest::newRow("relative size reads as 0: base size")
        << u"<FONT size=\"+1\">x"_qs << QString() << u"x"_qs << plain;
    QTest::newRow("size 0: base size") << u"<FONT size=\"0\">x"_qs << QString() << u"x"_qs << plain;
    QTest::newRow("huge size clamped") << u"<FONT size=\"99999999\">x"_qs << QString() << u"x"_qs
                                       << u"Fixed 1000 c=000000 bg=-"_qs;
    QTest::newRow("font background") << u"<FONT bgcolor=\"clYellow\">x</FONT>y"_qs << QString()
                                     << u"x"_qs << u"Fixed 8 c=000000 bg=00ffff"_qs;
    QTest::newRow("font background ends")
        << u"<FONT bgcolor=\"clYellow\">x</FONT>y"_qs << QString() << u"y"_qs << plain;
    QTest::newRow("link") << u"<A href=\"u\">x</A>y"_qs << QString() << u"x"_qs
                          << u"Fixed 8 c=ff0000 bg=- U"_qs;
    QTest::newRow("link ends") << u"<A href=\"u\">x</A>y"_qs << QString() << u"y"_qs << plain;
    QTest::newRow("highlight") << u"<HI>x</HI>y"_qs << QString() << u"x"_qs
                               << u"Fixed 8 c=ff00000e bg=ff00000d"_qs;
    QTest::newRow("highlight ends") << u"<HI>x</HI>y"_qs << QString() << u"y"_qs << plain;
    QTest::newRow("blink hidden phase")
        << u"<BLINK>x</BLINK>y"_qs << u"noblink"_qs << u"x"_qs << u"Fixed 8 c=ffffff bg=-"_qs;
    QTest::newRow("blink ends") << u"<BLINK>x</BLINK>y"_qs << u"noblink"_qs << u"y"_qs << plain;
    QTest::newRow("blink shown phase") << u"<BLINK>x"_qs << QString() << u"x"_qs << plain;
    QTest::newRow("selected: no font colour")
        << u"<FONT color=\"clRed\">x"_qs << u"selected"_qs << u"x"_qs << plain;
    QTest::newRow("selected: link keeps colour")
        << u"<A href=\"u\">x"_qs << u"selected"_qs << u"x"_qs << u"Fixed 8 c=000000 bg=- U"_qs;
    QTest::newRow("hover style: link not hovered")
        << u"<A href=\"u\">x"_qs << u"hoverstyle"_qs << u"x"_qs << u"Fixed 8 c=ff0000 bg=-"_qs;
    QTest::newRow("rotation") << u"<ROT a=\"90\">x</ROT>y"_qs << QString() << u"x"_qs
                              << u"Fixed 8 c=000000 bg=- R900"_qs;
    QTest::newRow("rotation ends") << u"<ROT a=\"90\">x</ROT>y"_qs << QString() << u"y"_qs << plain;
    QTest::newRow("paragraph background") << u"<P bgcolor=\"clAqua\">x</P>y"_qs << QString()
                                          << u"x"_qs << u"Fixed 8 c=000000 bg=ffff00"_qs;
    QTest::newRow("paragraph background ends")
        << u"<P bgcolor=\"clAqua\">x</P>y"_qs << QString() << u"y"_qs << plain;
    QTest::newRow("shadow drawn first")
        << u"<SHAD>x"_qs << QString() << u"x"_qs << u"Fixed 8 c=808080 bg=-"_qs;
    QTest::newRow("list bullet face") << u"<UL><LI>x"_qs << QString() << u"\u2022"_qs << plain;
    QTest::newRow("list bullet colour") << u"<UL><LI color=\"clRed\">x"_qs << QString()
                                        << u"\u2022"_qs << u"Fixed 8 c=0000ff bg=-"_qs;
    QTest::newRow("list text after bullet")
        << u"<UL><LI color=\"clRed\">x"_qs << QString() << u"x"_qs << plain;
}

void TestHtmlDraw::runStyle()
{
    QFETCH(QString, markup);
    QFETCH(QString, options);
    QFETCH(QString, run);
    QFETCH(QString, expected);
    TFixedCanvas canvas;
    THTMLDrawParams p = params(markup);
    p.Blink = options != u"noblink";
    p.Selected = options == u"selected";
    p.HoverStyle = options == u"hoverstyle";
    HTMLDraw(canvas, p);
    const QList<TFixedCanvas::TCall> runs = canvas.calls(u"text"_qs);
    const auto found = std::find_if(runs.cbegin(), runs.cend(),
                                    [&](const TFixedCanvas::TCall &c) { return c.text == run; });
    QVERIFY2(found != runs.cend(), qPrintable(canvas.runs()));
    QCOMPARE(describe(*found), expected);
}

void TestHtmlDraw::hitTest_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<int>("width");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("anchor"); // empty: no hit
    QTest::addColumn<int>("mouseLink");
    QTest::addColumn<int>("hyperLinks");
    QTest::addColumn<QString>("hoverRect");
    const QString link = u"<A href=\"x\">link</A>"_qs;
    QTest::newRow("on the link") << link << 120 << QPoint(10, 6) << u"x"_qs << 1 << 1
                                 << u"0,0,24,12"_qs;
    QTest::newRow("on its right edge")
        << link << 120 << QPoint(24, 6) << u"x"_qs << 1 << 1 << u"0,0,24,12"_qs;
    QTest::newRow("one pixel below the text band")
        << link << 120 << QPoint(10, 12) << QString() << 0 << 1 << QString();
    QTest::newRow("on the top edge")
        << link << 120 << QPoint(10, 0) << QString() << 0 << 1 << QString();
    QTest::newRow("right of the link")
        << link << 120 << QPoint(30, 6) << QString() << 0 << 1 << QString();
    QTest::newRow("second link") << u"a <A href=\"one\">x</A> <A href=\"two\">y</A>"_qs << 120
                                 << QPoint(26, 6) << u"two"_qs << 2 << 2 << u"24,0,30,12"_qs;
    QTest::newRow("plain text is no link") << u"plain <A href=\"x\">l</A>"_qs << 120 << QPoint(3, 6)
                                           << QString() << 0 << 1 << QString();
    QTest::newRow("centred link") << u"<P align=\"center\"><A href=\"c\">ab</A>"_qs << 120
                                  << QPoint(56, 6) << u"c"_qs << 1 << 1 << u"54,0,66,12"_qs;
    QTest::newRow("left of the centred link")
        << u"<P align=\"center\"><A href=\"c\">ab</A>"_qs << 120 << QPoint(2, 6) << QString() << 0
        << 1 << QString();
    QTest::newRow("link over two lines") << u"<A href=\"w\">aaa bbb</A>"_qs << 30 << QPoint(3, 18)
                                         << u"w"_qs << 1 << 1 << u"0,12,18,24"_qs;
    QTest::newRow("link on the second line")
        << u"a<BR><A href=\"z\">zz</A>"_qs << 120 << QPoint(3, 18) << u"z"_qs << 1 << 1
        << u"0,12,12,24"_qs;
    QTest::newRow("target keeps its case")
        << u"<a HREF=\"Http://Ex.org/A\">x</a>"_qs << 120 << QPoint(3, 6) << u"Http://Ex.org/A"_qs
        << 1 << 1 << u"0,0,6,12"_qs;
    QTest::newRow("linked image") << u"<A href=\"i\"><IMG src=\"IDX:0\"></A>"_qs << 120
                                  << QPoint(5, 5) << u"i"_qs << -1 << 1 << QString();
    QTest::newRow("beside the linked image") << u"<A href=\"i\"><IMG src=\"IDX:0\"></A>"_qs << 120
                                             << QPoint(20, 5) << QString() << 0 << 1 << QString();
}

void TestHtmlDraw::hitTest()
{
    QFETCH(QString, markup);
    QFETCH(int, width);
    QFETCH(QPoint, point);
    QFETCH(QString, anchor);
    QFETCH(int, mouseLink);
    QFETCH(int, hyperLinks);
    QFETCH(QString, hoverRect);
    TImageList images(16, 16);
    images.Add(filled(16, 16));
    TFixedCanvas canvas;
    THTMLDrawParams p = params(markup, width);
    p.FImages = &images;
    const THTMLDrawResult result = HTMLHitTest(canvas, p, point.x(), point.y());
    QCOMPARE(result.Hit, !anchor.isEmpty());
    QCOMPARE(result.HyperLinks, hyperLinks);
    QVERIFY(canvas.calls().isEmpty());
    if (anchor.isEmpty())
        return;
    QCOMPARE(result.AnchorVal, anchor);
    QCOMPARE(result.MouseLink, mouseLink);
    if (!hoverRect.isEmpty())
        QCOMPARE(rectText(result.HoverRect), hoverRect);
}

void TestHtmlDraw::hoverAndFocus()
{
    TFixedCanvas canvas;
    THTMLDrawParams p = params(u"<A href=\"a\">x</A> <A href=\"b\">yy</A>"_qs);
    p.FocusLink = 1;
    THTMLDrawResult result = HTMLDraw(canvas, p);
    QCOMPARE(result.FocusAnchor, u"b"_qs);
    QCOMPARE(result.HyperLinks, 2);
    QCOMPARE(canvas.rects(u"focus"_qs), u"11,0,25,12"_qs);

    // A focused link over a line end gets one frame per line.
    canvas.clear();
    p = params(u"<A href=\"w\">aaa bbb</A>"_qs, 30);
    p.FocusLink = 0;
    QCOMPARE(HTMLDraw(canvas, p).FocusAnchor, u"w"_qs);
    QCOMPARE(canvas.rects(u"focus"_qs), u"0,0,24,12|0,12,19,24"_qs);

    // Hover style: only the hovered link is underlined and hover-coloured.
    canvas.clear();
    p = params(u"<A href=\"a\">x</A><A href=\"b\">y</A>"_qs);
    p.HoverStyle = true;
    p.HoverLink = 1;
    p.HoverColor = clYellow;
    p.HoverFontColor = clRed;
    HTMLDraw(canvas, p);
    const QList<TFixedCanvas::TCall> runs = canvas.calls(u"text"_qs);
    QCOMPARE(runs.size(), 2);
    QCOMPARE(describe(runs[0]), u"Fixed 8 c=0000ff bg=00ffff U"_qs);
    QCOMPARE(describe(runs[1]), u"Fixed 8 c=ff0000 bg=-"_qs);
}

void TestHtmlDraw::drawnShapes_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("rects");
    QTest::newRow("HR below the base line") << u"a<HR>b"_qs << u"line"_qs << u"0,13,119,13"_qs;
    QTest::newRow("error underline") << u"<E>ab</E>c"_qs << u"line"_qs
                                     << u"0,13,2,11|2,11,4,13|4,13,6,11|6,11,8,13|8,13,10,11|"
                                        "10,11,12,13"_qs;
    QTest::newRow("square bullet")
        << u"<UL><LI type=\"square\">a"_qs << u"fill"_qs << u"0,14,8,22"_qs;
    QTest::newRow("circle bullet")
        << u"<UL><LI type=\"Circle\">a"_qs << u"ellipse"_qs << u"0,14,8,22"_qs;
    QTest::newRow("other type: no bullet")
        << u"<UL><LI type=\"disc\">a"_qs << u"text"_qs << u"12,12,18,24"_qs;
    QTest::newRow("body colour") << u"<BODY bgcolor=\"clRed\">x"_qs << u"fill"_qs
                                 << u"-2,0,120,200"_qs;
    QTest::newRow("body picture tiled")
        << u"<BODY background=\"tile\">x"_qs << u"tile"_qs << u"0,0,120,200"_qs;
    QTest::newRow("body corner pictures") << u"<BODY bgtopleft=\"tile\" bgtopright=\"tile\">x"_qs
                                          << u"picture"_qs << u"0,0,5,5|115,0,120,5"_qs;
    QTest::newRow("paragraph band")
        << u"<P bgcolor=\"clAqua\">x"_qs << u"fill"_qs << u"0,0,120,12"_qs;
    QTest::newRow("paragraph band on each line")
        << u"<P bgcolor=\"clAqua\">x<BR>y</P>z"_qs << u"fill"_qs << u"0,0,120,12|0,12,120,24"_qs;
    QTest::newRow("shadow") << u"<SHAD>x</SHAD>y"_qs << u"text"_qs
                            << u"1,1,7,13|0,0,6,12|6,0,12,12"_qs;
}

void TestHtmlDraw::drawnShapes()
{
    QFETCH(QString, markup);
    QFETCH(QString, kind);
    QFETCH(QString, rects);
    TPictureContainer pictures;
    pictures.Add(u"tile"_qs, filled(5, 5));
    TFixedCanvas canvas;
    THTMLDrawParams p = params(markup);
    p.pc = &pictures;
    HTMLDraw(canvas, p);
    QCOMPARE(canvas.rects(kind), rects);
}

void TestHtmlDraw::gradientBackgrounds_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("firstBand");
    QTest::addColumn<QString>("lastBand");
    QTest::newRow("body, left to right") << u"<BODY bgcolor=\"clRed\" bgcolorto=\"clBlue\">x"_qs
                                         << u"0,0,2,200"_qs << u"118,0,120,200"_qs;
    QTest::newRow("body, top to bottom")
        << u"<BODY bgcolor=\"clRed\" bgcolorto=\"clBlue\" dir=\"v\">x"_qs << u"0,0,120,4"_qs
        << u"0,197,120,200"_qs;
    QTest::newRow("paragraph band, 2 pixels deeper")
        << u"<P bgcolor=\"clRed\" bgcolorto=\"clBlue\">x"_qs << u"0,0,2,14"_qs
        << u"118,0,120,14"_qs;
}

void TestHtmlDraw::gradientBackgrounds()
{
    QFETCH(QString, markup);
    QFETCH(QString, firstBand);
    QFETCH(QString, lastBand);
    TFixedCanvas canvas;
    HTMLDraw(canvas, params(markup));
    const QList<TFixedCanvas::TCall> fills = canvas.calls(u"fill"_qs);
    QCOMPARE(fills.size(), 64);
    QCOMPARE(rectText(fills.first().rect), firstBand);
    QCOMPARE(rectText(fills.last().rect), lastBand);
    QCOMPARE(fills.first().brush, clRed);
    QCOMPARE(fills.last().brush, TColor(0xFB0004));
    QCOMPARE(describe(canvas.calls(u"text"_qs).value(0)), u"Fixed 8 c=000000 bg=-"_qs);
}

void TestHtmlDraw::images_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("pictures"); // "kind:left,top,right,bottom"
    QTest::addColumn<QString>("runs");
    QTest::addColumn<int>("ySize");
    QTest::newRow("image list") << u"a<IMG src=\"IDX:1\">b"_qs << QString() << u"image:6,0,22,16"_qs
                                << u"0,16:a|22,16:b"_qs << 16;
    QTest::newRow("index out of range")
        << u"a<IMG src=\"IDX:5\">b"_qs << QString() << QString() << u"0,12:a|6,12:b"_qs << 12;
    QTest::newRow("printed") << u"<IMG src=\"IDX:0\">"_qs << u"print"_qs << u"image:0,0,32,32"_qs
                             << QString() << 16;
    QTest::newRow("container") << u"<IMG src=\"logo\">x"_qs << QString() << u"picture:0,0,20,10"_qs
                               << u"20,12:x"_qs << 12;
    QTest::newRow("width asked") << u"<IMG src=\"logo\" width=\"40\">"_qs << QString()
                                 << u"stretch:0,0,40,20"_qs << QString() << 20;
    QTest::newRow("height asked") << u"<IMG src=\"logo\" height=\"5\">"_qs << QString()
                                  << u"stretch:0,0,10,5"_qs << QString() << 12;
    QTest::newRow("both asked") << u"<IMG src=\"logo\" width=\"7\" height=\"9\">"_qs << QString()
                                << u"stretch:0,0,7,9"_qs << QString() << 12;
    QTest::newRow("huge size clamped") << u"<IMG src=\"logo\" width=\"1000000000\" height=\"9\">"_qs
                                       << QString() << u"stretch:0,0,10000,9"_qs << QString() << 12;
    QTest::newRow("scaled to the resolution") << u"<IMG src=\"logo\">x"_qs << u"dpi192"_qs
                                              << u"picture:0,0,20,10"_qs << u"40,20:x"_qs << 20;
    QTest::newRow("unknown name") << u"<IMG src=\"nothing\">x"_qs << QString() << QString()
                                  << u"0,12:x"_qs << 12;
    QTest::newRow("resource") << u"<IMG src=\"RES://htmltest/dot.xpm\">x"_qs << QString()
                              << u"picture:0,0,4,2"_qs << u"4,12:x"_qs << 12;
    QTest::newRow("web address stays empty") << u"<IMG src=\"http://example.org/a.png\">x"_qs
                                             << QString() << QString() << u"0,12:x"_qs << 12;
    QTest::newRow("small icon") << u"<IMG src=\"SSYS:/tmp/a.txt\">x"_qs << QString()
                                << u"picture:0,0,16,16"_qs << u"16,16:x"_qs << 16;
    QTest::newRow("large icon") << u"<IMG src=\"LSYS:/tmp\">"_qs << QString()
                                << u"picture:0,0,32,32"_qs << QString() << 32;
    QTest::newRow("middle alignment") << u"<IMG src=\"IDX:0\" align=\"middle\">x"_qs << QString()
                                      << u"image:0,0,16,16"_qs << u"16,14:x"_qs << 16;
    QTest::newRow("top alignment") << u"<IMG src=\"IDX:0\" align=\"top\">x"_qs << QString()
                                   << u"image:0,0,16,16"_qs << u"16,12:x"_qs << 16;
    QTest::newRow("wrap keeps the line height") << u"<IMG src=\"IDX:0\" wrap>x"_qs << QString()
                                                << u"image:0,0,16,16"_qs << u"16,12:x"_qs << 12;
    QTest::newRow("image moves to the next line") << u"abc<IMG src=\"IDX:0\">"_qs << u"narrow"_qs
                                                  << u"image:0,12,16,28"_qs << u"0,12:abc"_qs << 28;
}

void TestHtmlDraw::images()
{
    QFETCH(QString, markup);
    QFETCH(QString, options);
    QFETCH(QString, pictures);
    QFETCH(QString, runs);
    QFETCH(int, ySize);
    TImageList images(16, 16);
    images.Add(filled(16, 16));
    images.Add(filled(8, 8));
    TPictureContainer container;
    container.Add(u"logo"_qs, filled(20, 10));
    TPictureCache cache;
    TFixedCanvas canvas;
    if (options == u"dpi192")
        canvas.setDpi(192);
    THTMLDrawParams p = params(markup, options == u"narrow" ? 30 : 120);
    p.FImages = &images;
    p.pc = &container;
    p.ic = &cache;
    p.Print = options == u"print";
    p.ResFactor = 2.0;
    const THTMLDrawResult result = HTMLDraw(canvas, p);
    QStringList drawn;
    for (const QString &kind : {u"image"_qs, u"picture"_qs, u"stretch"_qs}) {
        if (const QString r = canvas.rects(kind); !r.isEmpty())
            drawn << kind + u':' + r;
    }
    QCOMPARE(drawn.join(u'|'), pictures);
    QCOMPARE(canvas.runs(), runs);
    QCOMPARE(result.YSize, ySize);
}

void TestHtmlDraw::alternativeImageUnderThePoint()
{
    TPictureContainer container;
    container.Add(u"logo"_qs, filled(20, 10));
    TPictureCache cache;
    TFixedCanvas canvas;
    THTMLDrawParams p
        = params(u"<A href=\"l\"><IMG src=\"logo\" alt=\"RES://htmltest/dot.xpm\"></A>"_qs);
    p.pc = &container;
    p.ic = &cache;
    HTMLDraw(canvas, p);
    QCOMPARE(canvas.rects(u"picture"_qs), u"0,0,20,10"_qs);
    canvas.clear();
    p.XPos = 3;
    p.YPos = 3;
    HTMLDraw(canvas, p);
    QCOMPARE(canvas.rects(u"picture"_qs), u"0,0,4,2"_qs);
}

void TestHtmlDraw::restoresTheCanvas()
{
    TFixedCanvas canvas;
    const THTMLFont base = canvas.font();
    HTMLDraw(canvas,
             params(u"<BODY bgcolor=\"clRed\"><B><FONT size=\"20\" color=\"clRed\">x"
                    "<ROT a=\"45\"><HI>y"_qs));
    QCOMPARE(canvas.font(), base);
    QCOMPARE(canvas.brushColor(), clWhite);
    QVERIFY(canvas.brushSolid());
    QCOMPARE(canvas.penColor(), clBlack);
}

void TestHtmlDraw::brokenMarkup_data()
{
    QTest::addColumn<QString>("markup");
    QTest::newRow("unterminated tag") << u"a <FONT face=\"x"_qs;
    QTest::newRow("unterminated quote") << u"<A href=\"x>link</A> more"_qs;
    QTest::newRow("lone brackets") << u"< << <<< > >> </ </A </>"_qs;
    QTest::newRow("huge SIZE") << u"<FONT size=\"99999999\">x</FONT><FONT size=99999999999999>y"_qs;
    QTest::newRow("huge WIDTH") << u"<IMG src=\"IDX:0\" width=\"1000000000\" height=\"1e9\">"
                                   "<IMG src=\"logo\" width=\"99999999999\">"_qs;
    QTest::newRow("huge x") << u"<OFS x=\"999999999999\">a<IND x=\"999999999999\">b"
                               "<P indent=\"99999999999\">c<ROT a=\"99999999999\">d"_qs;
    QTest::newRow("huge IDX") << u"<IMG src=\"IDX:99999999999999\">"_qs;
    QTest::newRow("deep list") << u"<UL>"_qs.repeated(20000) + u"<LI>x"_qs;
    QTest::newRow("many list ends") << u"</UL>"_qs.repeated(20000) + u"x"_qs;
    QTest::newRow("many items on a line") << u"<LI>"_qs.repeated(5000);
    QTest::newRow("100000 characters") << u"a"_qs.repeated(100000);
    QTest::newRow("100000 characters of words") << u"ab "_qs.repeated(33334);
    QTest::newRow("thousands of tags") << u"<B>x</B><I>y</I><A href=\"z\">w</A> "_qs.repeated(3000);
    QTest::newRow("tags without spaces") << u"<B>"_qs.repeated(30000);
    QTest::newRow("unknown entities") << u"&foo;&#123;&hellip;&"_qs.repeated(5000);
    QTest::newRow("amp chain") << u"&amp;"_qs + u"amp;"_qs.repeated(20000);
    QTest::newRow("images that do not load")
        << u"<IMG src=\"FILE:///nonexistent.png\"><IMG src=\"RES://none\"><IMG src=\"x:y\">"
           "<IMG src=\"SSYS:\"><IMG src=\"ftp://a/b\"><IMG>"_qs;
    QTest::newRow("many images without a list") << u"<IMG src=\"IDX:0\">"_qs.repeated(5000);
    QTest::newRow("line ends") << u"\r\n"_qs.repeated(5000);
    QTest::newRow("field tags") << u"<#<#<#>"_qs.repeated(1000);
    QTest::newRow("body backgrounds") << u"<BODY background=\"tile\" bgcolor=\"#\" "
                                         "bgcolorto=\"zz\" dir=\"V\"><P bgcolor=\"\">x"_qs;
    QTest::newRow("link never closed") << u"<A href=\"x\">"_qs + u"word "_qs.repeated(2000);
    QTest::newRow("control characters") << QString(QChar(0)) + u"\t\u0001a\u0002<B\u0003>"_qs;
}

void TestHtmlDraw::brokenMarkup()
{
    QFETCH(QString, markup);
    TImageList images(16, 16);
    TPictureContainer container;
    container.Add(u"logo"_qs, filled(1, 1));
    container.Add(u"tile"_qs, filled(1, 1));
    TPictureCache cache;
    THTMLDrawParams p = params(markup, 200, 100000);
    p.FImages = &images;
    p.pc = &container;
    p.ic = &cache;
    p.FocusLink = 0;
    renderEverywhere(p);
    p.WordWrap = false;
    renderEverywhere(p);
}

void TestHtmlDraw::realFontBoldIsDrawn()
{
    // Ink in the area of the first word: the bold version must carry clearly more.
    const auto ink = [](const QString &markup, int width) {
        QImage image(300, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            TPainterCanvas canvas(painter);
            THTMLFont font = canvas.font();
            font.name = u"DejaVu Sans"_qs;
            font.size = 10;
            canvas.setFont(font);
            HTMLDraw(canvas, params(markup, 300, 40));
        }
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < width; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark;
    };
    const int plain = ink(u"Wichtig: rest"_qs, 50);
    const int bold = ink(u"<B>Wichtig:</B> rest"_qs, 50);
    QVERIFY2(plain > 0, "nothing drawn");
    QVERIFY2(bold > plain * 1.2, qPrintable(QStringLiteral("%1 vs %2").arg(bold).arg(plain)));
}

// The list bullet is a round dot in the look-alike faces the program registers, not whatever a
// symbol face maps the character to.
void TestHtmlDraw::realFontBulletIsRound()
{
    for (const QString &file :
         {u"/usr/share/wine/fonts/symbol.ttf"_qs, u"/usr/share/wine/fonts/tahoma.ttf"_qs}) {
        if (QFile::exists(file))
            QFontDatabase::addApplicationFont(file);
    }
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TPainterCanvas canvas(painter);
        THTMLFont font = canvas.font();
        font.name = u"Tahoma"_qs;
        font.size = 8;
        canvas.setFont(font);
        HTMLDraw(canvas, params(u"<UL><LI>x</UL>"_qs, 60, 30));
    }
    // The ink left of the item's text: a filled blob about as wide as tall.
    QRect ink;
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < 12; ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                ink |= QRect(x, y, 1, 1);
                ++dark;
            }
        }
    }
    QVERIFY2(ink.width() >= 2 && ink.height() >= 2, "no bullet drawn");
    QVERIFY2(
        qAbs(ink.width() - ink.height()) <= 1 && dark * 10 >= ink.width() * ink.height() * 6,
        qPrintable(
            u"ink %1 x %2 with %3 dark pixels"_qs.arg(ink.width()).arg(ink.height()).arg(dark)));
}

void TestHtmlDraw::realFontStaysInsideMeasuredHeight()
{
    QImage image(160, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    const THTMLDrawParams p = params(u"<P align=\"center\"><B>Flugplatz Musterhafen</B><BR>"
                                     "Demo-Szenerie mit <FONT size=\"4\">großen</FONT> und "
                                     "<U>unterstrichenen</U> Wörtern<BR><A href=\"x\">"
                                     "www.example.org</A></P>"_qs,
                                     160, 400);
    const int height = HTMLMeasureHeight(canvas, p).YSize;
    const THTMLDrawResult drawn = HTMLDraw(canvas, p);
    painter.end();
    QCOMPARE(drawn.YSize, height);
    QVERIFY(height > 3 * QFontMetrics(canvas.qfont(canvas.font())).height());
    int inkAbove = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                QVERIFY2(y < height, qPrintable(QStringLiteral("ink at y=%1").arg(y)));
                ++inkAbove;
            }
        }
    }
    QVERIFY(inkAbove > 0);
}

void TestHtmlDraw::realFontKeepsAccentsOfCapitals_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("file"); // registered first when it exists
    QTest::newRow("DejaVu Sans") << u"DejaVu Sans"_qs << QString();
    // Its stated ascent leaves the dots of capital umlauts out.
    QTest::newRow("Tahoma look-alike") << u"Tahoma"_qs << u"/usr/share/wine/fonts/tahoma.ttf"_qs;
}

void TestHtmlDraw::realFontKeepsAccentsOfCapitals()
{
    QFETCH(QString, face);
    QFETCH(QString, file);
    if (!file.isEmpty()) {
        if (!QFile::exists(file))
            QSKIP("the font is not installed");
        QFontDatabase::addApplicationFont(file);
    }
    // A one-line label: the text starts at the top of its area, and nothing outside is kept.
    const auto ink = [&](const QString &markup) {
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        TPainterCanvas canvas(painter);
        THTMLFont font = canvas.font();
        font.name = face;
        font.size = 8;
        canvas.setFont(font);
        const int height = HTMLMeasureHeight(canvas, params(markup, 60, 40)).YSize;
        painter.setClipRect(0, 0, 60, height);
        HTMLDraw(canvas, params(markup, 60, height));
        painter.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 160;
        }
        return dark;
    };
    const int plain = ink(u"A"_qs);
    QVERIFY(plain > 0);
    QVERIFY2(ink(QString::fromUtf8("\u00c4")) > plain, "the dots of the umlaut are cut off");
}

void TestHtmlDraw::eachWordMeasuredOncePerLayout_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<bool>("wordWrap");

    QTest::newRow("draw") << u"draw"_qs << true;
    QTest::newRow("hit test") << u"hit"_qs << true;
    QTest::newRow("measure height") << u"height"_qs << true;
    QTest::newRow("draw without wrapping") << u"draw"_qs << false;
}

// A paragraph that wraps, centred, with a link, a bold word, a line break and a bullet: every
// word is measured once, and the measures of a font once per font.
void TestHtmlDraw::eachWordMeasuredOncePerLayout()
{
    QFETCH(QString, use);
    QFETCH(bool, wordWrap);

    QImage image(180, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TCountingCanvas canvas(painter);
    THTMLDrawParams p = params(u"<P align=\"center\">Willkommen im <A href=\"https://example.org/"
                               "\">Flugplatz Musterhafen</A>, einer <B>kleinen</B> Demo-Szenerie "
                               "mit Hangar und Tower.<BR>Objekte lassen sich einzeln schalten:"
                               "</P><UL><LI>Vorfeld</UL>"_qs,
                               180, 200);
    p.WordWrap = wordWrap;
    if (use == u"draw")
        HTMLDraw(canvas, p);
    else if (use == u"hit")
        HTMLHitTest(canvas, p, 40, 20);
    else
        HTMLMeasureHeight(canvas, p);

    QStringList measured;
    for (auto it = canvas.Counts.cbegin(); it != canvas.Counts.cend(); ++it) {
        QVERIFY2(it.value() == 1,
                 qPrintable(u"%1 measured %2 times"_qs.arg(it.key()).arg(it.value())));
        measured << it.key();
    }
    for (const QString &word : {u"Willkommen"_qs, u"Musterhafen"_qs, u"kleinen"_qs, u"Tower."_qs,
                                u"schalten:"_qs, u"Vorfeld"_qs}) {
        QVERIFY2(!measured.filter(word).isEmpty(),
                 qPrintable(word + u" not measured through the canvas"_qs));
    }
}

QTEST_MAIN(TestHtmlDraw)
#include "tst_htmldraw.moc"
