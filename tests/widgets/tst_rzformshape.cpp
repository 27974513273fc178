#include "widgets/rzformshape.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QRgb key = qRgb(255, 255, 255);
const QRgb windowColour = qRgb(0, 255, 0);

// A picture from rows of characters: '.' is the white key colour, '#' and 'o' two opaque ones.
// 'w' is the key colour in an alpha of its own, which the scan ignores. 'a' followed by 'b' holds
// the key's bytes across the two pixels.
QImage picture(const QStringList &rows, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(int(rows.first().size()), int(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QChar c = rows[y][x];
            image.setPixel(x, y,
                           c == u'#'       ? qRgb(37, 75, 114)
                               : c == u'o' ? qRgb(126, 163, 238)
                               : c == u'w' ? qRgba(255, 255, 255, 128)
                               : c == u'a' ? qRgb(1, 255, 255)
                               : c == u'b' ? qRgb(255, 2, 3)
                                           : key);
        }
    }
    return format == QImage::Format_ARGB32 ? image : image.convertToFormat(format);
}

QList<QRect> rectsOf(const QRegion &region)
{
    return QList<QRect>(region.begin(), region.end());
}

// The rectangles united one by one, in order.
QRegion united(const QList<QRect> &runs)
{
    QRegion region;
    for (const QRect &run : runs)
        region += run;
    return region;
}

// Counts the scans, so that a test sees when the region is computed.
class TCountingShape : public TRzFormShape
{
public:
    using TRzFormShape::TRzFormShape;
    mutable int Scans = 0;

    QRegion GetRegionFromBitmap(const QImage &bitmap) const override
    {
        ++Scans;
        return TRzFormShape::GetRegionFromBitmap(bitmap);
    }
};

struct TShapedWindow
{
    QWidget Window;
    TCountingShape *Shape = new TCountingShape(&Window);

    TShapedWindow(const QImage &image)
    {
        QPalette colours = Window.palette();
        colours.setColor(QPalette::Window, QColor::fromRgb(windowColour));
        Window.setPalette(colours);
        Window.setAutoFillBackground(true);
        Window.resize(image.size());
        Window.move(100, 100);
        Shape->SetPicture(image);
    }
};

const QStringList holeRows{
    u"......"_s, u".####."_s, u".#..#."_s, u".####."_s, u"......"_s,
};

} // namespace

class TstRzFormShape : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void construction();
    void regionFromBitmap_data();
    void regionFromBitmap();
    void regionIsTheUnionOfTheRuns_data();
    void regionIsTheUnionOfTheRuns();
    void noRegionWithoutTransparency();
    void regionAppliedOnceAtFirstShow();
    void pictureDrawnWithoutKeyColour();
    void pressDragsTheWindow_data();
    void pressDragsTheWindow();
};

void TstRzFormShape::construction()
{
    TShapedWindow shaped(picture(holeRows));
    QVERIFY(shaped.Window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(shaped.Shape->AllowFormDrag());
    QVERIFY(shaped.Shape->Transparent());
    shaped.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shaped.Window));
    QCOMPARE(shaped.Shape->geometry(), QRect(0, 0, 6, 5));
    shaped.Window.resize(40, 30);
    QCOMPARE(shaped.Shape->geometry(), QRect(0, 0, 40, 30));
}

void TstRzFormShape::regionFromBitmap_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QImage::Format>("format");
    // The region's rectangles: the runs of equal neighbouring rows joined into bands.
    QTest::addColumn<QList<QRect>>("rects");

    QTest::newRow("interior key colour is a hole")
        << holeRows << QImage::Format_RGB32
        << QList<QRect>{{1, 1, 4, 1}, {1, 2, 1, 1}, {4, 2, 1, 1}, {1, 3, 4, 1}};
    const QStringList rightEdge{u"..##"_s, u"####"_s, u"#o.o"_s, u"...#"_s};
    QTest::newRow("runs reaching the right edge")
        << rightEdge << QImage::Format_RGB32
        << QList<QRect>{{2, 0, 2, 1}, {0, 1, 4, 1}, {0, 2, 2, 1}, {3, 2, 1, 1}, {3, 3, 1, 1}};
    const QStringList bands{u".##.#"_s, u".#o.#"_s, u"....."_s, u".##.#"_s,
                            u"#####"_s, u"ooooo"_s, u"....."_s};
    QTest::newRow("equal neighbouring rows form one band")
        << bands << QImage::Format_RGB32
        << QList<QRect>{{1, 0, 2, 2}, {4, 0, 1, 2}, {1, 3, 2, 1}, {4, 3, 1, 1}, {0, 4, 5, 2}};
    QTest::newRow("24-bit picture, read as it is stored")
        << bands << QImage::Format_RGB888
        << QList<QRect>{{1, 0, 2, 2}, {4, 0, 1, 2}, {1, 3, 2, 1}, {4, 3, 1, 1}, {0, 4, 5, 2}};
    QTest::newRow("24-bit picture, only the bottom-left pixel is key")
        << QStringList{u"###"_s, u"#o#"_s, u".##"_s} << QImage::Format_RGB888
        << QList<QRect>{{0, 0, 3, 2}, {1, 2, 2, 1}};
    QTest::newRow("24-bit picture, key bytes across two pixels")
        << QStringList{u"ab#"_s, u"..."_s} << QImage::Format_RGB888 << QList<QRect>{{0, 0, 3, 1}};
    QTest::newRow("alpha is not compared")
        << QStringList{u"w#w"_s, u"..."_s} << QImage::Format_ARGB32 << QList<QRect>{{1, 0, 1, 1}};
    QTest::newRow("no opaque pixel")
        << QStringList{u"..."_s, u"..."_s} << QImage::Format_RGB32 << QList<QRect>{};
}

void TstRzFormShape::regionFromBitmap()
{
    QFETCH(QStringList, rows);
    QFETCH(QImage::Format, format);
    QFETCH(QList<QRect>, rects);

    TRzFormShape shape;
    QCOMPARE(rectsOf(shape.GetRegionFromBitmap(picture(rows, format))), rects);
}

void TstRzFormShape::regionIsTheUnionOfTheRuns_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("32-bit picture") << QImage::Format_RGB32;
    QTest::newRow("24-bit picture, read as it is stored") << QImage::Format_RGB888;
}

void TstRzFormShape::regionIsTheUnionOfTheRuns()
{
    QFETCH(QImage::Format, format);
    // Rounded corners, a band narrower than the panel, holes and stray pixels.
    QImage image(64, 48, QImage::Format_RGB32);
    QList<QRect> runs;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int inset = y < 4 ? 4 - y : y > 43 ? y - 43 : 0;
        for (int x = 0; x < image.width(); ++x) {
            const bool hole = y % 7 == 3 && x % 9 == 4;
            const bool opaque = x >= inset && x < image.width() - inset && !hole
                && (y != 10 || x < 20) && y != image.height() - 1;
            line[x] = opaque ? qRgb(x * 4, y * 5, 200) : key;
        }
        for (int x = 0; x < image.width();) {
            while (x < image.width() && line[x] == key)
                ++x;
            const int start = x;
            while (x < image.width() && line[x] != key)
                ++x;
            if (x > start)
                runs << QRect(start, y, x - start, 1);
        }
    }
    TRzFormShape shape;
    const QRegion region = shape.GetRegionFromBitmap(image.convertToFormat(format));
    QVERIFY((region ^ united(runs)).isEmpty());
    QVERIFY(region.rectCount() < runs.size());
}

void TstRzFormShape::noRegionWithoutTransparency()
{
    TShapedWindow shaped(picture(holeRows));
    shaped.Shape->SetTransparent(false);
    QVERIFY(shaped.Shape->GetRegionFromBitmap(picture(holeRows)).isEmpty());
    shaped.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shaped.Window));
    QVERIFY(shaped.Window.mask().isEmpty());
}

void TstRzFormShape::regionAppliedOnceAtFirstShow()
{
    TShapedWindow shaped(picture(holeRows));
    QSignalSpy shown(shaped.Shape, &TRzFormShape::OnFormShow);
    const QRegion hole = united({{1, 1, 4, 1}, {1, 2, 1, 1}, {4, 2, 1, 1}, {1, 3, 4, 1}});

    shaped.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shaped.Window));
    QCOMPARE(shaped.Shape->Scans, 1);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shaped.Window.mask(), hole);

    shaped.Window.hide();
    shaped.Window.show();
    QCOMPARE(shaped.Shape->Scans, 1);
    QCOMPARE(shown.count(), 2);

    shaped.Shape->SetPicture(picture({u"##...."_s, u"......"_s}));
    shaped.Shape->RecreateRegion();
    QCOMPARE(shaped.Shape->Scans, 2);
    QCOMPARE(shaped.Window.mask(), QRegion(0, 0, 2, 1));

    // No opaque pixel: the window keeps its plain rectangle.
    shaped.Shape->SetPicture(picture({u"......"_s}));
    shaped.Shape->RecreateRegion();
    QVERIFY(shaped.Window.mask().isEmpty());
}

void TstRzFormShape::pictureDrawnWithoutKeyColour()
{
    TShapedWindow shaped(picture(holeRows));
    shaped.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shaped.Window));
    // Without the mask, which would clip the grab as well.
    shaped.Window.clearMask();
    const QImage image = shaped.Window.grab().toImage();
    QCOMPARE(image.pixel(1, 1), qRgb(37, 75, 114));
    QCOMPARE(image.pixel(2, 2), windowColour);
    QCOMPARE(image.pixel(0, 4), windowColour);
}

void TstRzFormShape::pressDragsTheWindow_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("allowFormDrag");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("left button") << Qt::LeftButton << true << QPoint(130, 120);
    QTest::newRow("right button") << Qt::RightButton << true << QPoint(130, 120);
    QTest::newRow("middle button") << Qt::MiddleButton << true << QPoint(130, 120);
    QTest::newRow("AllowFormDrag off") << Qt::LeftButton << false << QPoint(100, 100);
}

void TstRzFormShape::pressDragsTheWindow()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, allowFormDrag);
    QFETCH(QPoint, expected);

    if (QGuiApplication::platformName() != u"offscreen")
        QSKIP("the pointer-tracking move is checked where the window system refuses to move");
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(qRgb(84, 121, 178));
    image.setPixel(0, 149, key);
    TShapedWindow shaped(image);
    shaped.Shape->SetAllowFormDrag(allowFormDrag);
    QSignalSpy pressed(shaped.Shape, &TRzFormShape::OnMouseDown);
    shaped.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shaped.Window));
    QCOMPARE(shaped.Window.pos(), QPoint(100, 100));

    QTest::mousePress(shaped.Shape, button, {}, QPoint(10, 10));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.first(), QVariantList({QVariant::fromValue(button), QPoint(10, 10)}));
    QTest::mouseMove(shaped.Shape, QPoint(40, 30));
    QCOMPARE(shaped.Window.pos(), expected);
    QTest::mouseRelease(shaped.Shape, button, {}, QPoint(10, 10));

    // After the release the pointer no longer carries the window.
    QTest::mouseMove(shaped.Shape, QPoint(60, 60));
    QCOMPARE(shaped.Window.pos(), expected);
}

QTEST_MAIN(TstRzFormShape)
#include "tst_rzformshape.moc"
