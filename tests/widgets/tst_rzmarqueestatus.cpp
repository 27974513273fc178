#include "widgets/rzmarqueestatus.h"

#include <QPaintEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TFrameStyle)
Q_DECLARE_METATYPE(TRzScrollType)

namespace {

const QColor skyBlue(135, 206, 235);
const QColor navy(0, 0, 128);
const QColor parentColour(255, 0, 0);
// A solid glyph: ink from its left edge on, in this font exactly at the text position.
const QString block = u"\u2588"_s;

QFont paneFont()
{
    QFont font(u"Liberation Sans"_s);
    font.setPixelSize(21);
    return font;
}

// Where the block's ink starts relative to the text position (0 in the font above; other fonts
// that stand in for it may differ by a pixel or two).
int blockBearing(const QWidget &pane)
{
    return pane.fontMetrics().leftBearing(block.front());
}

// The status line of the main window, shown as a window of its own. Its timer waits a minute, so
// only the test's own calls move the text.
std::unique_ptr<TRzMarqueeStatus> shownPane(const QString &caption)
{
    auto pane = std::make_unique<TRzMarqueeStatus>();
    pane->resize(617, 33);
    pane->SetFrameStyle(fsStatus);
    pane->SetFillColor(skyBlue);
    pane->SetFontColor(navy);
    pane->setFont(paneFont());
    pane->SetScrollDelay(60000);
    pane->SetCaption(caption);
    pane->show();
    if (!QTest::qWaitForWindowExposed(pane.get()))
        return nullptr;
    return pane;
}

void tick(TRzMarqueeStatus &pane, int count)
{
    for (int i = 0; i < count; ++i)
        pane.TimerEventHandler();
}

// Columns of the caption area holding ink (any colour but the fill), in pane coordinates.
QList<int> inkColumns(TRzMarqueeStatus &pane)
{
    const QImage image = pane.grab().toImage();
    const QRect area = pane.GetCaptionRect();
    QList<int> columns;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (image.pixel(x, y) != skyBlue.rgb()) {
                columns << x;
                break;
            }
        }
    }
    return columns;
}

// Records the paint events of a widget and of everything inside it, as regions in the
// widget's coordinates.
class TPaintSpy : public QObject
{
public:
    explicit TPaintSpy(QWidget &watched)
        : FWatched(watched)
    {
        watched.installEventFilter(this);
        for (QWidget *child : watched.findChildren<QWidget *>())
            child->installEventFilter(this);
    }

    QList<QRegion> Regions;
    QList<QWidget *> Painted;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *widget = static_cast<QWidget *>(object);
            Painted << widget;
            Regions << static_cast<QPaintEvent *>(event)->region().translated(
                widget->mapTo(&FWatched, QPoint(0, 0)));
        }
        return false;
    }

private:
    QWidget &FWatched;
};

} // namespace

class TstRzMarqueeStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void captionRect_data();
    void captionRect();
    void stepsFollowCaptionFontAndWidth();
    void pass_data();
    void pass();
    void firstColumnOnFifthTick();
    void textMovesByScrollSize_data();
    void textMovesByScrollSize();
    void newCaptionContinuesThePass_data();
    void newCaptionContinuesThePass();
    void colourChangeReachesTheMovingText_data();
    void colourChangeReachesTheMovingText();
    void scrollingOffAndOn();
    void scrollTypeNone();
    void hiddenPaneDoesNotAdvance();
    void frameAndMargin_data();
    void frameAndMargin();
    void tickRepaintsOnlyTheCaptionArea();
    void tickLeavesTheWindowBehindUnpainted();
    void timerTicksAtScrollDelay();
    void click();
};

void TstRzMarqueeStatus::defaults()
{
    TRzMarqueeStatus pane;
    QCOMPARE(pane.ScrollType(), stRightToLeft);
    QVERIFY(pane.Scrolling());
    QCOMPARE(pane.ScrollSize(), 1);
    QCOMPARE(pane.ScrollDelay(), 100);
    QVERIFY(pane.Caption().isEmpty());
    QVERIFY(pane.ParentFillColor());
    QCOMPARE(pane.FillColor(), pane.Color());
    QCOMPARE(pane.FrameStyle(), fsFlat);
    QCOMPARE(pane.BorderWidth(), 1);
    QVERIFY(pane.Transparent());
    QCOMPARE(pane.size(), QSize(100, 20));
    QCOMPARE(pane.Steps(), 100);
    QCOMPARE(pane.CurrentStep(), 0);
    QVERIFY(pane.TimerEnabled());
    QVERIFY(!pane.Timer().isActive()); // not shown yet
    QCOMPARE(pane.Timer().interval(), 100);
    QCOMPARE(pane.focusPolicy(), Qt::NoFocus);
    QVERIFY(!pane.autoFillBackground());

    pane.SetFillColor(skyBlue);
    QVERIFY(!pane.ParentFillColor());
    QCOMPARE(pane.FillColor(), skyBlue);
    pane.SetParentFillColor(true);
    QCOMPARE(pane.FillColor(), pane.Color());
}

void TstRzMarqueeStatus::captionRect_data()
{
    QTest::addColumn<TFrameStyle>("style");
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<QRect>("expected");

    const QRect none(1, 1, 615, 31), thin(2, 2, 613, 29), thick(3, 3, 611, 27);
    QTest::newRow("fsNone") << fsNone << 1 << none;
    QTest::newRow("fsFlat") << fsFlat << 1 << thin;
    QTest::newRow("fsStatus: the main window's (2, 2)-(615, 31)") << fsStatus << 1 << thin;
    QTest::newRow("fsPopup") << fsPopup << 1 << thin;
    QTest::newRow("fsGroove") << fsGroove << 1 << thick;
    QTest::newRow("fsBump") << fsBump << 1 << thick;
    QTest::newRow("fsLowered") << fsLowered << 1 << thick;
    QTest::newRow("fsButtonDown") << fsButtonDown << 1 << thick;
    QTest::newRow("fsRaised") << fsRaised << 1 << thick;
    QTest::newRow("fsButtonUp") << fsButtonUp << 1 << thick;
    QTest::newRow("fsFlatBold") << fsFlatBold << 1 << thick;
    QTest::newRow("wider border") << fsStatus << 3 << QRect(4, 4, 609, 25);
    QTest::newRow("no border") << fsRaised << 0 << QRect(2, 2, 613, 29);
}

void TstRzMarqueeStatus::captionRect()
{
    QFETCH(TFrameStyle, style);
    QFETCH(int, borderWidth);
    QFETCH(QRect, expected);

    TRzMarqueeStatus pane;
    pane.resize(617, 33);
    pane.SetFrameStyle(style);
    pane.SetBorderWidth(borderWidth);
    QCOMPARE(pane.GetCaptionRect(), expected);
}

void TstRzMarqueeStatus::stepsFollowCaptionFontAndWidth()
{
    TRzMarqueeStatus pane;
    pane.setFont(paneFont());
    pane.resize(617, 33);
    const auto expected
        = [&] { return pane.fontMetrics().horizontalAdvance(pane.Caption()) + pane.width(); };
    QCOMPARE(pane.Steps(), 617);

    pane.SetCaption(u"Scenery news"_s);
    QVERIFY(pane.Steps() > 617);
    QCOMPARE(pane.Steps(), expected());

    QFont larger = paneFont();
    larger.setPixelSize(42);
    pane.setFont(larger);
    QCOMPARE(pane.Steps(), expected());

    pane.resize(300, 33);
    QCOMPARE(pane.Steps(), expected());
}

void TstRzMarqueeStatus::pass_data()
{
    QTest::addColumn<int>("scrollSize");
    QTest::addColumn<int>("stored");

    QTest::newRow("1 pixel a tick") << 1 << 1;
    QTest::newRow("3 pixels a tick") << 3 << 3;
    QTest::newRow("0 is stored as 1") << 0 << 1;
}

void TstRzMarqueeStatus::pass()
{
    QFETCH(int, scrollSize);
    QFETCH(int, stored);

    const auto pane = shownPane(u"Welcome to the scenery"_s);
    QVERIFY(pane);
    pane->SetScrollSize(quint16(scrollSize));
    QCOMPARE(pane->ScrollSize(), stored);
    const int steps = pane->Steps();
    QCOMPARE(steps, pane->fontMetrics().horizontalAdvance(pane->Caption()) + 617);
    QSignalSpy display(pane.get(), &TRzMarqueeStatus::OnScrollDisplay);
    QSignalSpy complete(pane.get(), &TRzMarqueeStatus::OnScrollComplete);

    // The pass ends on the first tick that reaches or passes the step count.
    const int ticks = (steps + stored - 1) / stored;
    tick(*pane, ticks - 1);
    QCOMPARE(display.count(), ticks - 1);
    QCOMPARE(display.last(), QVariantList({(ticks - 1) * stored, steps}));
    QCOMPARE(complete.count(), 0);

    tick(*pane, 1);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(display.count(), ticks - 1);
    QCOMPARE(pane->CurrentStep(), 0);

    tick(*pane, 1);
    QCOMPARE(display.last(), QVariantList({stored, steps}));
}

void TstRzMarqueeStatus::firstColumnOnFifthTick()
{
    const auto pane = shownPane(block);
    QVERIFY(pane);
    const int bearing = blockBearing(*pane);
    QVERIFY(qAbs(bearing) <= 3);

    // The text enters at the last column of the caption area, 614.
    tick(*pane, 4 + bearing);
    QVERIFY(inkColumns(*pane).isEmpty());
    tick(*pane, 1);
    QCOMPARE(inkColumns(*pane), QList<int>({614}));
}

void TstRzMarqueeStatus::textMovesByScrollSize_data()
{
    QTest::addColumn<TRzScrollType>("type");
    QTest::addColumn<int>("scrollSize");

    QTest::newRow("right to left, 1 pixel") << stRightToLeft << 1;
    QTest::newRow("right to left, 3 pixels") << stRightToLeft << 3;
    QTest::newRow("left to right, 1 pixel") << stLeftToRight << 1;
    QTest::newRow("left to right, 3 pixels") << stLeftToRight << 3;
}

void TstRzMarqueeStatus::textMovesByScrollSize()
{
    QFETCH(TRzScrollType, type);
    QFETCH(int, scrollSize);

    const auto pane = shownPane(block);
    QVERIFY(pane);
    const int width = pane->fontMetrics().horizontalAdvance(block);
    pane->SetScrollType(type);
    pane->SetScrollSize(300);
    tick(*pane, 1);
    // Right to left the block's left edge stands at 617 - 300 in the bitmap, which starts at 2;
    // left to right its right end stands at 300.
    const int left
        = (type == stRightToLeft ? 617 - 300 + 2 : 300 - width + 2) + blockBearing(*pane);
    QCOMPARE(inkColumns(*pane).first(), left);

    pane->SetScrollSize(quint16(scrollSize));
    tick(*pane, 1);
    const int moved = type == stRightToLeft ? -scrollSize : scrollSize;
    QCOMPARE(inkColumns(*pane).first(), left + moved);
}

void TstRzMarqueeStatus::colourChangeReachesTheMovingText_data()
{
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("fill");

    QTest::newRow("text colour") << QColor(Qt::red) << skyBlue;
    QTest::newRow("fill colour") << navy << QColor(Qt::yellow);
}

// The text is drawn once and then only moved: a new colour must still reach it mid-pass.
void TstRzMarqueeStatus::colourChangeReachesTheMovingText()
{
    QFETCH(QColor, text);
    QFETCH(QColor, fill);

    const auto pane = shownPane(block);
    QVERIFY(pane);
    tick(*pane, 300);
    const int left = inkColumns(*pane).first();
    pane->SetFontColor(text);
    pane->SetFillColor(fill);
    tick(*pane, 1);

    const QImage image = pane->grab().toImage();
    const int middle = pane->GetCaptionRect().center().y();
    QCOMPARE(QColor(image.pixel(left + 2, middle)), text); // inside the block, one pixel on
    QCOMPARE(QColor(image.pixel(left - 2, middle)), fill); // just before it
}

void TstRzMarqueeStatus::newCaptionContinuesThePass_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("ends");

    QTest::newRow("shorter, pass no longer than the step reached") << u"Hi"_s << true;
    QTest::newRow("pass still longer than the step reached")
        << u"An even longer caption for the scroller, long indeed"_s << false;
}

void TstRzMarqueeStatus::newCaptionContinuesThePass()
{
    QFETCH(QString, caption);
    QFETCH(bool, ends);

    const auto pane = shownPane(u"A rather long caption for the scroller"_s);
    QVERIFY(pane);
    QSignalSpy display(pane.get(), &TRzMarqueeStatus::OnScrollDisplay);
    QSignalSpy complete(pane.get(), &TRzMarqueeStatus::OnScrollComplete);
    const int reached = pane->Steps() - 2;
    pane->SetScrollSize(quint16(reached));
    tick(*pane, 1);
    pane->SetScrollSize(1);

    pane->SetCaption(caption);
    QCOMPARE(pane->CurrentStep(), reached);
    QCOMPARE(pane->Steps() <= reached, ends);
    tick(*pane, 1);
    QCOMPARE(complete.count(), ends ? 1 : 0);
    QCOMPARE(pane->CurrentStep(), ends ? 0 : reached + 1);
    QCOMPARE(display.count(), ends ? 1 : 2);
}

void TstRzMarqueeStatus::scrollingOffAndOn()
{
    const auto pane = shownPane(block);
    QVERIFY(pane);
    pane->SetScrollSize(300);
    tick(*pane, 1);
    QVERIFY(!inkColumns(*pane).isEmpty());

    pane->SetScrolling(false);
    QVERIFY(!pane->Timer().isActive());
    QCOMPARE(pane->CurrentStep(), 0);
    tick(*pane, 1);
    QCOMPARE(pane->CurrentStep(), 0);
    // Step 0 puts the text right of the visible area.
    QVERIFY(inkColumns(*pane).isEmpty());

    pane->SetScrolling(true);
    QVERIFY(pane->Timer().isActive());
    tick(*pane, 1);
    QCOMPARE(pane->CurrentStep(), 300);
}

void TstRzMarqueeStatus::scrollTypeNone()
{
    const auto pane = shownPane(block);
    QVERIFY(pane);
    pane->SetScrollType(stNone);
    QVERIFY(!pane->Timer().isActive());
    tick(*pane, 1);
    QCOMPARE(pane->CurrentStep(), 0);
    // Drawn statically near the left edge of the caption area.
    const QList<int> ink = inkColumns(*pane);
    QVERIFY(!ink.isEmpty());
    QVERIFY(ink.first() < 10);

    // A scrolling type starts the timer even while Scrolling is off.
    pane->SetScrolling(false);
    pane->SetScrollType(stLeftToRight);
    QVERIFY(pane->Timer().isActive());
    tick(*pane, 1);
    QCOMPARE(pane->CurrentStep(), 1);
}

void TstRzMarqueeStatus::hiddenPaneDoesNotAdvance()
{
    const auto pane = shownPane(block);
    QVERIFY(pane);
    QSignalSpy display(pane.get(), &TRzMarqueeStatus::OnScrollDisplay);
    pane->hide();
    tick(*pane, 3);
    QCOMPARE(pane->CurrentStep(), 0);
    QCOMPARE(display.count(), 0);
    // Nothing runs while nothing can be seen; shown again, the text moves on.
    QVERIFY(!pane->Timer().isActive());
    QVERIFY(pane->TimerEnabled());
    pane->show();
    QVERIFY(pane->Timer().isActive());
    tick(*pane, 1);
    QCOMPARE(pane->CurrentStep(), 1);
}

void TstRzMarqueeStatus::frameAndMargin_data()
{
    QTest::addColumn<bool>("transparent");

    QTest::newRow("transparent: the parent shows in the margin") << true;
    QTest::newRow("opaque: the pane's colour fills the margin") << false;
}

void TstRzMarqueeStatus::frameAndMargin()
{
    QFETCH(bool, transparent);

    QWidget parent;
    QPalette colours = parent.palette();
    colours.setColor(QPalette::Window, parentColour);
    parent.setPalette(colours);
    parent.setAutoFillBackground(true);
    parent.resize(633, 49);
    TRzMarqueeStatus pane(&parent);
    pane.setGeometry(8, 8, 617, 33);
    pane.SetFrameStyle(fsStatus);
    pane.SetFillColor(skyBlue);
    pane.SetScrollDelay(60000);
    QPalette paneColours = pane.palette();
    paneColours.setColor(QPalette::Window, Qt::green);
    pane.setPalette(paneColours);
    pane.SetTransparent(transparent);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    const QImage image = parent.grab().toImage();
    const auto at = [&](int x, int y) { return image.pixel(8 + x, 8 + y); };
    const QRgb dark = pane.palette().color(QPalette::Dark).rgb();
    const QRgb light = pane.palette().color(QPalette::Light).rgb();
    QVERIFY(dark != light);
    const QRgb margin = transparent ? parentColour.rgb() : qRgb(0, 255, 0);
    for (const int y : {0, 16, 32})
        QCOMPARE(at(0, y), margin);
    QCOMPARE(at(616, 16), margin);
    QCOMPARE(at(300, 0), margin);
    QCOMPARE(at(300, 32), margin);
    for (const int y : {2, 16, 30}) {
        QCOMPARE(at(1, y), dark);
        QCOMPARE(at(615, y), light);
    }
    for (const int x : {2, 300, 614}) {
        QCOMPARE(at(x, 1), dark);
        QCOMPARE(at(x, 31), light);
    }
    QCOMPARE(at(2, 2), skyBlue.rgb());
    QCOMPARE(at(614, 30), skyBlue.rgb());
}

void TstRzMarqueeStatus::tickRepaintsOnlyTheCaptionArea()
{
    const auto pane = shownPane(u"Welcome"_s);
    QVERIFY(pane);
    TPaintSpy spy(*pane);
    tick(*pane, 100); // the text has entered the area
    spy.Regions.clear();

    tick(*pane, 1);
    QCOMPARE(spy.Regions.size(), 1);
    const QRect repainted = spy.Regions.first().boundingRect();
    QVERIFY(!repainted.isEmpty());
    QVERIFY(pane->GetCaptionRect().contains(repainted));

    // Ticks that repaint only what moved leave the same picture as a full repaint.
    // What the screen shows comes from the window's backing store, not from a fresh paint.
    const auto shown = [&] {
        const QPoint at = pane->mapTo(pane->window(), QPoint(0, 0));
        return pane->screen()
            ->grabWindow(pane->window()->winId(), at.x(), at.y(), pane->width(), pane->height())
            .toImage();
    };
    tick(*pane, 250);
    const QImage afterTicks = shown();
    pane->repaint();
    QCOMPARE(shown(), afterTicks);
}

// The pane lets its parent show through its margin, yet a tick must not make the window paint
// what lies behind the moving text: at a hundred ticks a second that costs more than the text.
void TstRzMarqueeStatus::tickLeavesTheWindowBehindUnpainted()
{
    QWidget window;
    window.resize(633, 49);
    TRzMarqueeStatus pane(&window);
    pane.setGeometry(8, 8, 617, 33);
    pane.SetFillColor(skyBlue);
    pane.setFont(paneFont());
    pane.SetScrollDelay(60000);
    pane.SetCaption(u"Welcome"_s);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(pane.Transparent());
    tick(pane, 100); // the text has entered the area

    TPaintSpy spy(window);
    tick(pane, 1);
    QVERIFY(!spy.Painted.isEmpty());
    for (QWidget *painted : std::as_const(spy.Painted))
        QVERIFY2(painted == &pane || pane.isAncestorOf(painted),
                 qPrintable(u"%1 was painted"_s.arg(
                     QString::fromLatin1(painted->metaObject()->className()))));
}

void TstRzMarqueeStatus::timerTicksAtScrollDelay()
{
    const auto pane = shownPane(u"Welcome"_s);
    QVERIFY(pane);
    QSignalSpy display(pane.get(), &TRzMarqueeStatus::OnScrollDisplay);
    pane->SetScrollDelay(10);
    QCOMPARE(pane->Timer().interval(), 10);
    QVERIFY(pane->Timer().isActive());
    QTRY_VERIFY(display.count() >= 2);
}

void TstRzMarqueeStatus::click()
{
    const auto pane = shownPane(u"Welcome"_s);
    QVERIFY(pane);
    QSignalSpy clicked(pane.get(), &TRzMarqueeStatus::clicked);
    QTest::mouseClick(pane.get(), Qt::RightButton, {}, QPoint(100, 16));
    QCOMPARE(clicked.count(), 0);
    QTest::mouseClick(pane.get(), Qt::LeftButton, {}, QPoint(100, 16));
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TstRzMarqueeStatus)
#include "tst_rzmarqueestatus.moc"
