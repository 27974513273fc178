#include "htmltext/htmldraw.h"
#include "htmltext/picturecache.h"
#include "htmltext/tcolor.h"
#include "platform/regularfile.h"
#include "tests/htmltext/fixedcanvas.h"
#include "tests/support/releasedfifo.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <utility>

// Plain-text stripping, the colour parsers, the gradient fill and the picture cache.
class TestHtmlMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void strip_data();
    void strip();
    void text2Color_data();
    void text2Color();
    void hex2Color_data();
    void hex2Color();
    void systemColorsFollowThePalette();
    void gradient_data();
    void gradient();
    void gradientBorder();
    void pictureCache_data();
    void pictureCache();
    void pictureCacheKeepsPictures();
};

void TestHtmlMarkup::strip_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << u"plain text"_qs << u"plain text"_qs;
    QTest::newRow("tags removed") << u"a<B>b</B><FONT color=\"x\">c</FONT>"_qs << u"abc"_qs;
    QTest::newRow("line breaks any case") << u"a<br>b<HR>c<Br>"_qs << u"a\r\nb\r\nc\r\n"_qs;
    QTest::newRow("break with attributes is a tag") << u"a<BR/>b"_qs << u"ab"_qs;
    QTest::newRow("Z span upper") << u"a<Z>hidden</Z>b"_qs << u"ab"_qs;
    QTest::newRow("Z span lower") << u"a<z>hidden</z>b"_qs << u"ab"_qs;
    QTest::newRow("Z mixed case is no span") << u"a<Z>kept</z>b"_qs << u"akeptb"_qs;
    QTest::newRow("Z without end") << u"a<Z>rest"_qs << u"arest"_qs;
    QTest::newRow("second Z without end") << u"<Z>x</Z>y<Z>z"_qs << u"yz"_qs;
    QTest::newRow("unterminated tag kept") << u"a<B b & c"_qs << u"a<B b & c"_qs;
    QTest::newRow("lone greater-than") << u"a > b"_qs << u"a > b"_qs;
    QTest::newRow("empty") << QString() << QString();
}

void TestHtmlMarkup::strip()
{
    QFETCH(QString, markup);
    QFETCH(QString, expected);
    QCOMPARE(HTMLStrip(markup), expected);
}

void TestHtmlMarkup::text2Color_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TColor>("expected");
    QTest::newRow("clRed") << u"clRed"_qs << TColor(0x0000FF);
    QTest::newRow("upper case") << u"CLBLUE"_qs << TColor(0xFF0000);
    QTest::newRow("clNavy") << u"clnavy"_qs << TColor(0x800000);
    QTest::newRow("clTeal") << u"clTeal"_qs << TColor(0x808000);
    QTest::newRow("system clBackground") << u"clBackground"_qs << TColor(0xFF000001);
    QTest::newRow("system clBtnFace") << u"clBtnFace"_qs << TColor(0xFF00000F);
    QTest::newRow("system clInfoBk") << u"clInfoBk"_qs << TColor(0xFF000018);
    QTest::newRow("without cl prefix") << u"red"_qs << TColor(0);
    QTest::newRow("unknown") << u"clRainbow"_qs << TColor(0);
    QTest::newRow("empty") << QString() << TColor(0);
    QTest::newRow("hex") << u"#FF8000"_qs << TColor(0x0080FF);
}

void TestHtmlMarkup::text2Color()
{
    QFETCH(QString, name);
    QFETCH(TColor, expected);
    QCOMPARE(Text2Color(name), expected);
}

void TestHtmlMarkup::hex2Color_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TColor>("expected");
    QTest::newRow("red") << u"#FF0000"_qs << TColor(0x0000FF);
    QTest::newRow("green") << u"#00FF00"_qs << TColor(0x00FF00);
    QTest::newRow("blue") << u"#0000FF"_qs << TColor(0xFF0000);
    QTest::newRow("lower-case digits") << u"#ff8000"_qs << TColor(0x0080FF);
    QTest::newRow("without hash") << u"102030"_qs << TColor(0x302010);
    QTest::newRow("short pairs read 0") << u"#FF0"_qs << TColor(0x0000FF);
    QTest::newRow("one digit") << u"#F"_qs << TColor(0);
    QTest::newRow("not hex") << u"#GG1020"_qs << TColor(0x201000);
    QTest::newRow("empty") << QString() << TColor(0);
}

void TestHtmlMarkup::hex2Color()
{
    QFETCH(QString, text);
    QFETCH(TColor, expected);
    QCOMPARE(Hex2Color(text), expected);
}

void TestHtmlMarkup::systemColorsFollowThePalette()
{
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(4, 5, 6));
    QCOMPARE(ColorToRGB(clHighlight, palette), TColor(0x030201));
    QCOMPARE(ColorToRGB(clHighlightText, palette), TColor(0x060504));
    QCOMPARE(ColorToRGB(clRed, palette), clRed);
    QCOMPARE(ColorToRGB(clNone, palette), clBlack);
    QCOMPARE(ColorToQColor(clRed, palette), QColor(255, 0, 0));
}

void TestHtmlMarkup::gradient_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("rects");
    QTest::addColumn<QList<TColor>>("colors");
    const QList<TColor> ramp{0x000000, 0x404040, 0x808080, 0xBFBFBF};
    QTest::newRow("horizontal") << true << 4 << u"0,0,17,10|16,0,33,10|32,0,49,10|48,0,64,10"_qs
                                << ramp;
    QTest::newRow("vertical") << false << 4 << u"0,0,64,3|0,3,64,6|0,5,64,8|0,8,64,10"_qs << ramp;
    QTest::newRow("zero steps count as one")
        << true << 0 << u"0,0,64,10"_qs << QList<TColor>{0x000000};
}

void TestHtmlMarkup::gradient()
{
    QFETCH(bool, horizontal);
    QFETCH(int, steps);
    QFETCH(QString, rects);
    QFETCH(QList<TColor>, colors);
    TFixedCanvas canvas;
    canvas.setBrushColor(clYellow);
    DrawHTMLGradient(canvas, clBlack, clWhite, horizontal, TRect{0, 0, 64, 10}, steps, clNone);
    QCOMPARE(canvas.rects(u"fill"_qs), rects);
    QList<TColor> drawn;
    for (const TFixedCanvas::TCall &call : canvas.calls(u"fill"_qs))
        drawn << call.brush;
    QCOMPARE(drawn, colors);
    QVERIFY(canvas.calls(u"line"_qs).isEmpty());
    QCOMPARE(canvas.brushColor(), clYellow);
}

void TestHtmlMarkup::gradientBorder()
{
    TFixedCanvas canvas;
    DrawHTMLGradient(canvas, clRed, clRed, true, TRect{2, 3, 12, 8}, 2, clBlue);
    QCOMPARE(canvas.rects(u"line"_qs), u"2,3,11,3|11,3,11,7|11,7,2,7|2,7,2,3"_qs);
}

void TestHtmlMarkup::pictureCache_data()
{
    QTest::addColumn<QString>("source"); // "%1" stands for the temporary folder
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("error");
    QTest::newRow("resource") << u"RES://htmltest/dot.xpm"_qs << QSize(4, 2) << QString();
    QTest::newRow("file") << u"FILE://%1/pic.png"_qs << QSize(3, 5) << QString();
    QTest::newRow("file scheme in lower case")
        << u"file://%1/pic.png"_qs << QSize(3, 5) << QString();
    QTest::newRow("missing resource")
        << u"RES://htmltest/none.png"_qs << QSize() << u"Could not create image stream"_qs;
    QTest::newRow("missing file") << u"FILE://%1/none.png"_qs << QSize()
                                  << u"Could not create image stream"_qs;
    QTest::newRow("empty file") << u"FILE://%1/empty.png"_qs << QSize()
                                << u"Empty image stream created"_qs;
    QTest::newRow("not a picture")
        << u"FILE://%1/text.png"_qs << QSize() << u"Could not load image. Invalid format"_qs;
    QTest::newRow("web address never fetched")
        << u"http://example.org/x.png"_qs << QSize() << QString();
    // Only regular files are read, and only up to a limit: a FIFO would stop the program, a
    // device or a huge file would fill its memory.
    QTest::newRow("FIFO") << u"FILE://%1/fifo.png"_qs << QSize()
                          << u"Could not create image stream"_qs;
    QTest::newRow("endless device")
        << u"FILE:///dev/zero"_qs << QSize() << u"Could not create image stream"_qs;
    QTest::newRow("picture in a file above the limit")
        << u"FILE://%1/large.png"_qs << QSize() << u"Could not create image stream"_qs;
    QTest::newRow("picture in a file at the limit")
        << u"FILE://%1/limit.png"_qs << QSize(3, 5) << QString();
}

void TestHtmlMarkup::pictureCache()
{
    QFETCH(QString, source);
    QFETCH(QSize, size);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QImage image(3, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(dir.filePath(u"pic.png"_qs)));
    QFile(dir.filePath(u"empty.png"_qs)).open(QIODevice::WriteOnly);
    QFile text(dir.filePath(u"text.png"_qs));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("no picture here");
    text.close();
    // A picture followed by zeros, which the decoder ignores; sparse, so it takes no room.
    for (const auto &[name, size] : {std::pair(u"large.png"_qs, MaxPictureFileSize + 1),
                                     std::pair(u"limit.png"_qs, MaxPictureFileSize)}) {
        QVERIFY(QFile::copy(dir.filePath(u"pic.png"_qs), dir.filePath(name)));
        QVERIFY(QFile::resize(dir.filePath(name), size));
    }
#ifdef Q_OS_WIN
    if (source.contains(u"fifo") || source.contains(u"/dev/"))
        QSKIP("Windows has neither FIFOs nor devices in its file system");
#endif
    QFile png(dir.filePath(u"pic.png"_qs));
    QVERIFY(png.open(QIODevice::ReadOnly));
    std::optional<TReleasedFifo> fifo;
    if (source.contains(u"fifo"))
        QVERIFY(fifo.emplace(dir.filePath(u"fifo.png"_qs), png.readAll()).Created());

    TPictureCache cache;
    const QString address = source.contains(u"%1") ? source.arg(dir.path()) : source;
    const TPicture *picture = cache.Picture(address);
    QVERIFY(picture);
    QCOMPARE(picture->IsEmpty(), !size.isValid());
    if (size.isValid())
        QCOMPARE(picture->Size(), size);
    QCOMPARE(picture->LoadError(), error);
    QCOMPARE(cache.Count(), 1);
    QCOMPARE(cache.FindPicture(address), picture);
}

void TestHtmlMarkup::pictureCacheKeepsPictures()
{
    TPictureCache cache;
    TPicture *first = cache.Picture(u"RES://htmltest/dot.xpm"_qs);
    QCOMPARE(cache.Picture(u"RES://htmltest/dot.xpm"_qs), first);
    QCOMPARE(cache.Count(), 1);
    cache.Clear();
    QCOMPARE(cache.Count(), 0);
    QVERIFY(!cache.FindPicture(u"RES://htmltest/dot.xpm"_qs));
}

QTEST_MAIN(TestHtmlMarkup)
#include "tst_htmlmarkup.moc"
