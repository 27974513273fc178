// The main window on a screen with the device pixel ratio that QT_SCALE_FACTOR gives this run
// (the test is registered once per ratio: 1, 1.25, 1.5 and 2).
#include "htmltext/htmlabel.h"
#include "tests/support/democontrolfile.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "ui/scenform1.h"
#include "ui/windowfonts.h"
#include "widgets/image.h"
#include "widgets/rzchecktree.h"
#include "widgets/rzformshape.h"
#include "widgets/rzlabel.h"
#include "widgets/rzmarqueestatus.h"
#include "widgets/rztoolbarbutton.h"

#include <QFontDatabase>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The window's outline is a panel with corners of this radius, in logical pixels.
constexpr int CornerRadius = 8;

// The first column of row y that the region holds, or -1.
int rowStart(const QRegion &region, int y)
{
    int start = -1;
    for (const QRect &rect : region) {
        if (rect.top() <= y && y <= rect.bottom() && (start < 0 || rect.left() < start))
            start = rect.left();
    }
    return start;
}

// Rows of pixels that hold ink (a colour other than the one at the top-left corner, or any
// opaque pixel of a transparent picture).
int inkHeight(const QImage &image)
{
    const QRgb empty = image.pixel(0, 0);
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != empty && qAlpha(image.pixel(x, y)) > 0) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
        }
    }
    return top < 0 ? 0 : bottom - top + 1;
}

// The ink of text: how far each pixel differs from the top-left one, in grey and opacity.
qint64 ink(const QImage &image)
{
    const QRgb paper = image.pixel(0, 0);
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            sum += qAbs(qGray(pixel) - qGray(paper)) * qAlpha(pixel) / 255
                + qAbs(qAlpha(pixel) - qAlpha(paper));
        }
    }
    return sum;
}

// True when the picture is an enlargement by two of a smaller one: every aligned square of
// 2 x 2 pixels has one colour.
bool blownUpByTwo(const QImage &image)
{
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb pixel = image.pixel(x, y);
            if (image.pixel(x + 1, y) != pixel || image.pixel(x, y + 1) != pixel
                || image.pixel(x + 1, y + 1) != pixel)
                return false;
        }
    }
    return true;
}

} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void outlineInDevicePixels();
    void outlineAsTheWindowSystemShowsIt();
    void picturesDrawnForTheRatio_data();
    void picturesDrawnForTheRatio();
    void textsScaleWithTheRatio_data();
    void textsScaleWithTheRatio();
    void boldIsVisiblyBold();
    void statusLineMovesInLogicalPixels();
    void titleBandOnTheScreen();

private:
    qreal FRatio = 1.0;
    std::unique_ptr<TProgramFolder> FFolder;
    std::unique_ptr<TRecordingPlatform> FPlatform;
    std::unique_ptr<TScenForm1> FForm;
};

void TestHighDpi::initTestCase()
{
    bool given = false;
    FRatio = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&given);
    if (!given)
        FRatio = 1.0;
    QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), FRatio);
}

void TestHighDpi::init()
{
    FFolder = std::make_unique<TProgramFolder>();
    FFolder->WriteControlFile(QString::fromLatin1(DemoControlFileOfSize(u"2 KB"_s)));
    FPlatform = std::make_unique<TRecordingPlatform>(FFolder->ExeName());
    FForm = std::make_unique<TScenForm1>(*FPlatform);
    FForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
    QCOMPARE(FForm->devicePixelRatioF(), FRatio);
}

void TestHighDpi::cleanup()
{
    FForm.reset();
    FPlatform.reset();
    FFolder.reset();
}

// The outline is scanned from the picture drawn for the ratio: it covers the whole picture at
// the device's size, every pixel inside it is drawn, and the corners follow their circle to
// within a device pixel and a half instead of growing in steps of whole logical pixels (an
// outline blown up from the normal one is nearly three device pixels off at twice the density).
void TestHighDpi::outlineInDevicePixels()
{
    TRzFormShape *shape = FForm->RzFormShape1;
    const QRegion outline = shape->DeviceRegion();
    const QSize deviceSize = (QSizeF(632, 455) * FRatio).toSize();
    QCOMPARE(shape->ShownPicture().size(), deviceSize);
    QCOMPARE(outline.boundingRect(), QRect(QPoint(0, 0), deviceSize));

    const QImage drawn = shape->grab().toImage();
    QCOMPARE(drawn.size(), (QSizeF(shape->size()) * FRatio).toSize());
    for (const QRect &rect : outline) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (drawn.pixel(x, y) == qRgb(255, 255, 255))
                    QFAIL(qPrintable(u"the key colour shows at %1,%2"_s.arg(x).arg(y)));
            }
        }
    }

    const double radius = CornerRadius * FRatio;
    const int bottom = deviceSize.height() - 1;
    for (int fromEdge = 0; fromEdge < int(radius); ++fromEdge) {
        const double dy = radius - fromEdge - 0.5;
        const double circle = radius - std::sqrt(radius * radius - dy * dy);
        const int start = rowStart(outline, bottom - fromEdge);
        QVERIFY2(std::abs(start - circle) <= 1.5,
                 qPrintable(u"row %1 from the bottom starts at %2, the circle at %3"_s.arg(fromEdge)
                                .arg(start)
                                .arg(circle)));
    }
}

// Under an X server the window system's view is a screenshot: outside the outline the black
// screen shows through, inside it the window.
void TestHighDpi::outlineAsTheWindowSystemShowsIt()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("only an X server shows the window's shape here");
    FForm->move(40, 40);
    QTest::qWait(200);
    QScreen *screen = FForm->screen();
    const QImage shot = screen->grabWindow(0).toImage();
    const QPoint origin = (QPointF(FForm->geometry().topLeft()) * FRatio).toPoint();
    const QRegion outline = FForm->RzFormShape1->DeviceRegion();
    const int height = FForm->RzFormShape1->ShownPicture().height();
    for (int y = height - int(CornerRadius * FRatio); y < height; ++y) {
        int firstLit = -1;
        for (int x = 0; x < 3 * CornerRadius * FRatio && firstLit < 0; ++x) {
            if (qGray(shot.pixel(origin.x() + x, origin.y() + y)) > 8)
                firstLit = x;
        }
        QCOMPARE(firstLit, rowStart(outline, y));
    }
}

void TestHighDpi::picturesDrawnForTheRatio_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<bool>("curved"); // has edges that are not along the pixel grid
    QTest::newRow("btnGerman") << u"btnGerman"_s << false;
    for (const char *name : {"btnEnglish", "RzToolbarButton3", "RzToolbarButton2",
                             "RzToolbarButton1", "btnApplyObj", "Image1", "RzFormShape1"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
}

// Every picture is shown at the device's density: its pixels are the screen's pixels, and at
// twice the density it is not the normal picture with each pixel doubled.
void TestHighDpi::picturesDrawnForTheRatio()
{
    QFETCH(QString, widget);
    QFETCH(bool, curved);
    QImage picture;
    if (auto *button = FForm->findChild<TRzToolbarButton *>(widget))
        picture = button->CurrentGlyphImage().toImage();
    else if (auto *image = FForm->findChild<TImage *>(widget))
        picture = image->pixmap().toImage();
    else
        picture = FForm->RzFormShape1->ShownPicture();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.devicePixelRatio(), FRatio);
    if (FRatio == 2.0 && curved)
        QVERIFY(!blownUpByTwo(picture.convertToFormat(QImage::Format_ARGB32)));
}

void TestHighDpi::textsScaleWithTheRatio_data()
{
    QTest::addColumn<QString>("widget");
    for (const char *name : {"RzLabel1", "RzLabel2", "RzLabel3", "btnApplyObj", "RzCheckTree1",
                             "RzMarqueeStatus1", "HTMLabel1", "HTMLCredit1"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Every text is in a face that scales smoothly, so on a denser screen it is drawn with more
// pixels: its ink is as many times taller as the ratio says, not a bitmap face's fixed rows.
void TestHighDpi::textsScaleWithTheRatio()
{
    QFETCH(QString, widget);
    QWidget *shown = FForm->findChild<QWidget *>(widget);
    QVERIFY(shown);
    const QFontInfo face(shown->font());
    QVERIFY2(QFontDatabase::isSmoothlyScalable(face.family(), face.styleName()),
             qPrintable(face.family()));

    if (auto *label = qobject_cast<TRzLabel *>(shown)) {
        QImage normal(label->size(), QImage::Format_ARGB32_Premultiplied);
        normal.fill(Qt::transparent);
        QPainter painter(&normal);
        painter.setFont(label->font());
        painter.setPen(Qt::black);
        painter.drawText(label->contentsRect(), int(label->alignment()), label->text());
        painter.end();
        const int normalHeight = inkHeight(normal);
        const int deviceHeight = inkHeight(label->grab().toImage());
        QVERIFY(normalHeight > 0);
        QVERIFY2(deviceHeight >= normalHeight * FRatio - 2,
                 qPrintable(u"%1 rows at ratio 1, %2 here"_s.arg(normalHeight).arg(deviceHeight)));
    }
}

// Bold carries clearly more ink than regular as drawn at this ratio: the title, and the
// notice's "Wichtig:".
void TestHighDpi::boldIsVisiblyBold()
{
    TRzLabel *title = FForm->RzLabel1;
    const qint64 boldTitle = ink(title->grab().toImage());
    QFont regular = title->font();
    regular.setBold(false);
    title->setFont(regular);
    const qint64 regularTitle = ink(title->grab().toImage());
    QVERIFY2(boldTitle * 10 >= regularTitle * 13,
             qPrintable(u"bold %1, regular %2"_s.arg(boldTitle).arg(regularTitle)));

    const int word = int(50 * FRatio); // "Wichtig:" and a little more
    const auto noticeInk = [&] {
        return ink(FForm->HTMLabel1->grab().toImage().copy(0, 0, word, int(17 * FRatio)));
    };
    FForm->HTMLabel1->SetHTMLText({u"<B>Wichtig:</B> Die Änderungen"_s});
    const qint64 boldNotice = noticeInk();
    FForm->HTMLabel1->SetHTMLText({u"Wichtig: Die Änderungen"_s});
    const qint64 regularNotice = noticeInk();
    QVERIFY2(boldNotice * 10 >= regularNotice * 13,
             qPrintable(u"bold %1, regular %2"_s.arg(boldNotice).arg(regularNotice)));
}

// The status line's text moves as far per tick on every screen, measured in logical pixels, so
// it scrolls at the same speed.
void TestHighDpi::statusLineMovesInLogicalPixels()
{
    TRzMarqueeStatus *status = FForm->RzMarqueeStatus1;
    status->SetScrollDelay(60000); // only the test's ticks move the text
    const auto textStart = [&] {
        const QImage pane = status->grab().toImage();
        for (int x = 0; x < pane.width(); ++x) {
            for (int y = 0; y < pane.height(); ++y) {
                if (qGray(pane.pixel(x, y)) < 80)
                    return x;
            }
        }
        return -1;
    };
    for (int i = 0; i < 150; ++i)
        status->TimerEventHandler();
    const int before = textStart();
    for (int i = 0; i < 10; ++i)
        status->TimerEventHandler();
    const int moved = before - textStart();
    const double expected = 10 * status->ScrollSize() * FRatio;
    QVERIFY2(std::abs(moved - expected) <= 1.0,
             qPrintable(u"moved %1 device pixels, expected %2"_s.arg(moved).arg(expected)));
}

// Centred on the screen; where the screen is too small for the window (the offscreen screen is
// 800 x 600 device pixels, too small from ratio 1.5 on), its top-left corner stays on it, so the
// title band with the close button can be reached.
void TestHighDpi::titleBandOnTheScreen()
{
    const QRect area = FForm->screen()->availableGeometry();
    const QRect window = FForm->geometry();
    QVERIFY2(area.contains(window.topLeft()),
             qPrintable(u"window at %1,%2, screen from %3,%4"_s.arg(window.x())
                            .arg(window.y())
                            .arg(area.x())
                            .arg(area.y())));
    if (area.width() >= window.width())
        QVERIFY(qAbs(window.center().x() - area.center().x()) <= 1);
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
