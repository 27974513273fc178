#include "widgets/rztoolbarbutton.h"
#include "widgets/rztoolbutton.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QRgb silver = qRgb(192, 192, 192);
const QRgb background = qRgb(0, 128, 0);
const QRgb red = qRgb(255, 0, 0);
const QRgb blue = qRgb(0, 0, 255);
const QRgb yellow = qRgb(255, 255, 0);

// A strip of 16 x 16 images on a silver key colour, each with a solid 12 x 12 square of its
// colour two pixels from its edges.
QImage strip(const QList<QRgb> &colours)
{
    QImage image(16 * int(colours.size()), 16, QImage::Format_RGB32);
    image.fill(silver);
    for (int i = 0; i < colours.size(); ++i) {
        for (int y = 2; y < 14; ++y) {
            for (int x = 2; x < 14; ++x)
                image.setPixel(16 * i + x, y, colours[i]);
        }
    }
    return image;
}

// The colour at the centre of an image.
QRgb centreOf(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2).rgb();
}

// A 23 x 22 button on a green window, like the title-bar buttons.
struct TButtonOnWindow
{
    QWidget Window;
    TRzToolbarButton *Button = new TRzToolbarButton(&Window);

    TButtonOnWindow()
    {
        QPalette colours = Window.palette();
        colours.setColor(QPalette::Window, QColor::fromRgb(background));
        Window.setPalette(colours);
        Window.setAutoFillBackground(true);
        Window.resize(100, 60);
        Button->setGeometry(10, 10, 23, 22);
    }

    bool Show()
    {
        Window.show();
        return QTest::qWaitForWindowExposed(&Window);
    }

    QImage Grab() const { return Button->grab().toImage(); }

    void Enter()
    {
        const QPointF centre = QRectF(Button->rect()).center();
        QEnterEvent enter(centre, centre, Button->mapToGlobal(centre));
        QApplication::sendEvent(Button, &enter);
    }

    void Leave()
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(Button, &leave);
    }
};

} // namespace

class TstRzToolbarButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void glyphImageByState_data();
    void glyphImageByState();
    void captionBesideGlyph();
    void hotNumGlyphs_data();
    void hotNumGlyphs();
    void hotGlyphWhileHovered();
    void showCaption();
    void accelerator_data();
    void accelerator();
    void groupedButtonsAreDownOneAtATime();
    void hintIsTheToolTip();
    void hiddenDropDownButton();
};

void TstRzToolbarButton::defaults()
{
    TRzToolbarButton button;
    QVERIFY(button.Flat());
    QCOMPARE(button.NumGlyphs(), 1);
    QCOMPARE(button.HotNumGlyphs(), 1);
    QVERIFY(!button.UseHotGlyph());
    QVERIFY(button.ShowCaption());
    QCOMPARE(button.Layout(), blGlyphLeft);
    QCOMPARE(button.Margin(), -1);
    QCOMPARE(button.Spacing(), 4);
    QVERIFY(button.Transparent());
    QCOMPARE(button.GroupIndex(), 0);
    QVERIFY(!button.Down());
    QVERIFY(!button.AllowAllUp());
    QCOMPARE(button.focusPolicy(), Qt::NoFocus);
}

void TstRzToolbarButton::glyphImageByState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("numGlyphs");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("left"); // first column of the coloured square in the button
    QTest::addColumn<int>("edge"); // palette role of the left edge; -1: the window shows

    // The 16 x 16 glyph is centred at (3, 3) in the 23 x 22 button; its square starts at 5.
    QTest::newRow("at rest") << u"rest"_s << 2 << red << 5 << -1;
    QTest::newRow("hovered") << u"hovered"_s << 2 << red << 5 << int(QPalette::Light);
    QTest::newRow("pressed: shifted right and down")
        << u"pressed"_s << 2 << red << 6 << int(QPalette::Dark);
    QTest::newRow("disabled") << u"disabled"_s << 2 << blue << 5 << -1;
    QTest::newRow("down, four images") << u"down"_s << 4 << yellow << 6 << int(QPalette::Dark);
    QTest::newRow("down, two images") << u"down"_s << 2 << red << 6 << int(QPalette::Dark);
}

void TstRzToolbarButton::glyphImageByState()
{
    QFETCH(QString, state);
    QFETCH(int, numGlyphs);
    QFETCH(QRgb, colour);
    QFETCH(int, left);
    QFETCH(int, edge);

    TButtonOnWindow on;
    on.Button->SetGlyph(strip(QList<QRgb>{red, blue, qRgb(0, 255, 255), yellow}.first(numGlyphs)));
    on.Button->SetNumGlyphs(numGlyphs);
    QVERIFY(on.Show());
    if (state == u"hovered")
        on.Enter();
    if (state == u"pressed")
        QTest::mousePress(on.Button, Qt::LeftButton, {}, QPoint(11, 11));
    if (state == u"disabled")
        on.Button->setEnabled(false);
    if (state == u"down") {
        on.Button->SetGroupIndex(1);
        on.Button->SetDown(true);
    }

    // The square spans the columns and the rows left to left + 11; around it the key colour is
    // transparent and the window shows through.
    const QImage image = on.Grab();
    QCOMPARE(image.pixel(left, left), colour);
    QCOMPARE(image.pixel(left + 11, left + 11), colour);
    QCOMPARE(image.pixel(left - 1, 11), background);
    QCOMPARE(image.pixel(11, left - 1), background);
    QCOMPARE(image.pixel(left + 12, 11), background);
    const QRgb edgeColour
        = edge < 0 ? background : on.Button->palette().color(QPalette::ColorRole(edge)).rgb();
    QCOMPARE(image.pixel(0, 11), edgeColour);
    QCOMPARE(centreOf(on.Button->CurrentGlyphImage()), colour);
}

void TstRzToolbarButton::captionBesideGlyph()
{
    TButtonOnWindow on;
    on.Button->setGeometry(10, 10, 111, 37);
    on.Button->SetGlyph(strip({red, blue}));
    on.Button->SetNumGlyphs(2);
    on.Button->SetCaption(u"Apply"_s);
    QVERIFY(on.Show());

    // Glyph, 4 pixels, caption: the pair centred in the button.
    const int captionWidth = on.Button->fontMetrics().horizontalAdvance(u"Apply"_s);
    const int glyphLeft = (111 - (16 + 4 + captionWidth)) / 2;
    const QImage image = on.Grab();
    QCOMPARE(image.pixel(glyphLeft + 2, 18), red);
    QCOMPARE(image.pixel(glyphLeft + 1, 18), background);
    bool captionDrawn = false;
    for (int x = glyphLeft + 20; x < glyphLeft + 20 + captionWidth && !captionDrawn; ++x) {
        for (int y = 0; y < 37 && !captionDrawn; ++y)
            captionDrawn = image.pixel(x, y) != background;
    }
    QVERIFY(captionDrawn);
    for (int y = 0; y < 37; ++y)
        QCOMPARE(image.pixel(glyphLeft + 16 + 2, y), background);

    // With one image the disabled look is derived from it.
    TButtonOnWindow single;
    single.Button->SetGlyph(strip({red}));
    single.Button->setEnabled(false);
    const QRgb derived = centreOf(single.Button->CurrentGlyphImage());
    QVERIFY(derived != red);
    QVERIFY(derived != silver);
}

void TstRzToolbarButton::hotNumGlyphs_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("expected");

    QTest::newRow("60 x 20: three images") << QSize(60, 20) << 3;
    QTest::newRow("80 x 20: four images") << QSize(80, 20) << 4;
    QTest::newRow("100 x 20: five are too many") << QSize(100, 20) << 1;
    QTest::newRow("120 x 20") << QSize(120, 20) << 1;
    QTest::newRow("50 x 20: not a multiple, unchanged") << QSize(50, 20) << 2;
}

void TstRzToolbarButton::hotNumGlyphs()
{
    QFETCH(QSize, size);
    QFETCH(int, expected);

    TRzToolbarButton button;
    button.SetHotNumGlyphs(2);
    QImage glyph(size, QImage::Format_RGB32);
    glyph.fill(red);
    button.SetHotGlyph(glyph);
    QCOMPARE(button.HotNumGlyphs(), expected);
    QVERIFY(button.UseHotGlyph());
}

void TstRzToolbarButton::hotGlyphWhileHovered()
{
    TButtonOnWindow on;
    on.Button->SetGlyph(strip({red, blue}));
    on.Button->SetNumGlyphs(2);
    on.Button->SetHotGlyph(strip({yellow}));
    QCOMPARE(on.Button->HotNumGlyphs(), 1);
    QVERIFY(on.Show());
    const auto shown = [&] { return centreOf(on.Button->CurrentGlyphImage()); };

    on.Enter();
    QCOMPARE(shown(), yellow);
    QCOMPARE(on.Button->NumGlyphs(), 1);
    QTest::mouseClick(on.Button, Qt::LeftButton, {}, QPoint(11, 11));
    // The press marks the swap as done: a repeated enter does not swap again.
    on.Enter();
    QCOMPARE(shown(), yellow);
    on.Leave();
    QCOMPARE(shown(), red);
    QCOMPARE(on.Button->NumGlyphs(), 2);

    on.Enter();
    QCOMPARE(shown(), yellow);
    on.Leave();

    // A glyph set while not hovered survives the next leave.
    on.Button->setEnabled(false);
    on.Enter();
    on.Button->SetGlyph(strip({blue}));
    on.Button->SetNumGlyphs(1);
    on.Button->setEnabled(true);
    on.Leave();
    QCOMPARE(shown(), blue);
}

void TstRzToolbarButton::showCaption()
{
    TRzToolbarButton button;
    button.SetCaption(u"&Apply"_s);
    QCOMPARE(button.GetCaption(), u"&Apply");

    button.SetShowCaption(false);
    QVERIFY(button.GetCaption().isEmpty());
    QCOMPARE(button.SaveCaption(), u"&Apply");
    button.SetShowCaption(true);
    QCOMPARE(button.GetCaption(), u"&Apply");

    // A caption given while captions are hidden is not taken.
    button.SetShowCaption(false);
    button.SetCaption(u"Other"_s);
    QVERIFY(button.GetCaption().isEmpty());
    button.SetShowCaption(true);
    QVERIFY(button.GetCaption().isEmpty());
}

void TstRzToolbarButton::accelerator_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("groupIndex");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("down");

    QTest::newRow("enabled and visible") << true << true << 0 << 1 << false;
    QTest::newRow("grouped: goes down, then clicks") << true << true << 1 << 1 << true;
    QTest::newRow("disabled") << false << true << 0 << 0 << false;
    QTest::newRow("hidden") << true << false << 0 << 0 << false;
}

void TstRzToolbarButton::accelerator()
{
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    QFETCH(int, groupIndex);
    QFETCH(int, clicks);
    QFETCH(bool, down);

    TButtonOnWindow on;
    on.Button->SetCaption(u"&Apply"_s);
    on.Button->SetGroupIndex(groupIndex);
    on.Button->setEnabled(enabled);
    on.Button->setVisible(visible);
    QVERIFY(on.Show());
    on.Window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&on.Window));
    bool downWhenClicked = false;
    QSignalSpy clicked(on.Button, &QAbstractButton::clicked);
    connect(on.Button, &QAbstractButton::clicked, this,
            [&] { downWhenClicked = on.Button->Down(); });

    QTest::keyClick(&on.Window, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(on.Button->Down(), down);
    QCOMPARE(downWhenClicked, down);
}

void TstRzToolbarButton::groupedButtonsAreDownOneAtATime()
{
    TButtonOnWindow on;
    auto *other = new TRzToolbarButton(&on.Window);
    other->setGeometry(40, 10, 23, 22);
    for (TRzToolbarButton *button : {on.Button, other})
        button->SetGroupIndex(1);
    QVERIFY(on.Show());

    QTest::mouseClick(on.Button, Qt::LeftButton, {}, QPoint(11, 11));
    QVERIFY(on.Button->Down());
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(11, 11));
    QVERIFY(other->Down());
    QVERIFY(!on.Button->Down());
    // Without AllowAllUp the down button stays down.
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(11, 11));
    QVERIFY(other->Down());
    other->SetAllowAllUp(true);
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(11, 11));
    QVERIFY(!other->Down());

    // An ungrouped button is never down.
    other->SetGroupIndex(0);
    other->SetDown(true);
    QVERIFY(!other->Down());
}

void TstRzToolbarButton::hintIsTheToolTip()
{
    TRzToolbarButton button;
    button.SetHint(u"Close"_s);
    QVERIFY(button.toolTip().isEmpty());
    button.SetShowHint(true);
    QCOMPARE(button.toolTip(), u"Close");
    button.SetHint(u"Minimize"_s);
    QCOMPARE(button.toolTip(), u"Minimize");
}

void TstRzToolbarButton::hiddenDropDownButton()
{
    QWidget window;
    auto *button = new TRzToolButton(&window);
    QMenu menu;
    button->SetToolStyle(tsDropDown);
    button->SetDropDownMenu(&menu);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!button->isVisible());
    QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(button->DropDownMenu(), &menu);
}

QTEST_MAIN(TstRzToolbarButton)
#include "tst_rztoolbarbutton.moc"
