#include "htmltext/htmlcredit.h"
#include "tests/support/recordingplatform.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QColor boxColour(212, 208, 200);
const QString homePage = QStringLiteral("https://www.example.org/musterhafen/");
const QString credits
    = QStringLiteral("<P align=\"center\"><B>Flugplatz Musterhafen</B><BR>Demo-Szenerie<BR><A "
                     "href=\"https://www.example.org/musterhafen/\">www.example.org</A></P>");
// Three links on one line, each word a link.
const QString threeLinks
    = QStringLiteral("<A href=\"https://one.example.org/\">one</A> <A href=\"two\">two</A> "
                     "<A href=\"https://three.example.org/\">three</A>");

// The credits box of the main window, shown as a window of its own. Its timer waits a minute,
// so only the test's own ticks move the text.
std::unique_ptr<THTMLCredit> creditBox(const QString &text, QSize size = QSize(222, 63))
{
    auto box = std::make_unique<THTMLCredit>();
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, boxColour);
    box->setPalette(palette);
    box->setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    box->resize(size);
    box->SetHover(true);
    box->SetLoop(true);
    box->SetScrollSpeed(60000);
    box->SetHTMLText({text});
    return box;
}

bool show(QWidget &widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

QImage grabbed(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void tick(THTMLCredit &box, int count)
{
    for (int i = 0; i < count; ++i)
        box.TimerTick();
}

// Nothing but the box colour; text drawn in that colour may blend a shade off it.
bool blank(const QImage &image)
{
    const QRgb box = boxColour.rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (std::abs(qRed(pixel) - qRed(box)) > 2 || std::abs(qGreen(pixel) - qGreen(box)) > 2
                || std::abs(qBlue(pixel) - qBlue(box)) > 2)
                return false;
        }
    }
    return true;
}

// The longest horizontal run of one colour: an underline shows as a long run of link colour.
int longestRun(const QImage &image, const QColor &colour)
{
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = image.pixelColor(x, y) == colour ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

// A picture exactly 30 pixels high makes a text of that height whatever the font.
std::unique_ptr<TPictureContainer> barPicture()
{
    auto pictures = std::make_unique<TPictureContainer>();
    QPixmap bar(10, 30);
    bar.fill(Qt::darkGreen);
    pictures->Add(QStringLiteral("bar"), bar);
    return pictures;
}

} // namespace

class TestHTMLCredit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void laidOutByItsFirstPaint();
    void standsStillWithoutAutoScroll();
    void scroll_data();
    void scroll();
    void textChangeKeepsScrollPosition();
    void timerFollowsFlagsAndSpeed();
    void blink_data();
    void blink();
    void click_data();
    void click();
    void hoverUnderlinesLink();
    void arrowKeysMoveFocusLink();
    void disabledLook();
};

void TestHTMLCredit::defaults()
{
    THTMLCredit box;
    QCOMPARE(box.size(), QSize(150, 100));
    QCOMPARE(box.ScrollPosition(), 0);
    QCOMPARE(box.ScrollStep(), 4);
    QCOMPARE(box.ScrollSpeed(), 100);
    QCOMPARE(box.ShadowOffset(), 1);
    QCOMPARE(box.ShadowColor(), clGray);
    QCOMPARE(box.URLColor(), clBlue);
    QCOMPARE(box.FocusHyperLink(), -1);
    QVERIFY(box.Blinking());
    QVERIFY(!box.AutoScroll() && !box.EnableBlink() && !box.Loop() && !box.Hover());
    QVERIFY(!box.Timer().isActive());
    QVERIFY(box.testAttribute(Qt::WA_OpaquePaintEvent));
}

// A box that is built and set up before it is shown lays its text out once, at its first paint.
void TestHTMLCredit::laidOutByItsFirstPaint()
{
    auto box = creditBox(threeLinks);
    box->resize(230, 70);
    box->setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QCOMPARE(box->NumHyperLinks(), 0);
    QVERIFY(show(*box));
    QCOMPARE(box->NumHyperLinks(), 3);
    QVERIFY(!blank(grabbed(*box)));
}

void TestHTMLCredit::standsStillWithoutAutoScroll()
{
    auto box = creditBox(credits);
    QVERIFY(show(*box));
    const QImage before = grabbed(*box);
    tick(*box, 50);
    QCOMPARE(box->ScrollPosition(), 0);
    QCOMPARE(box->TimerCount(), 0);
    QVERIFY(!box->Timer().isActive());
    QCOMPARE(grabbed(*box), before);
    QCOMPARE(box->GetDisplText(), credits);
}

void TestHTMLCredit::scroll_data()
{
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QList<int>>("positions");

    // The text is 30 pixels high and the box 63: after 8 ticks it has left the box.
    QTest::newRow("without loop it stays out")
        << false << QList<int>{4, 8, 12, 16, 20, 24, 28, 32, 32, 32};
    QTest::newRow("with loop it comes in from the bottom edge")
        << true << QList<int>{4, 8, 12, 16, 20, 24, 28, 32, -63, -59, -55};
}

void TestHTMLCredit::scroll()
{
    QFETCH(bool, loop);
    QFETCH(QList<int>, positions);

    const auto pictures = barPicture();
    auto box = creditBox(QString());
    box->SetPictureContainer(pictures.get());
    box->SetHTMLText({QStringLiteral("<IMG src=\"bar\">")});
    box->SetLoop(loop);
    box->SetAutoScroll(true);
    QVERIFY(show(*box));
    QCOMPARE(box->HTMLHeight(), 30);
    QVERIFY(!blank(grabbed(*box)));

    QList<int> seen;
    for (qsizetype i = 0; i < positions.size(); ++i) {
        box->TimerTick();
        seen << box->ScrollPosition();
    }
    QCOMPARE(seen, positions);
    QCOMPARE(box->TimerCount(), int(positions.size()));
    // Out of the box it shows nothing; coming back in, the text stands at the bottom edge.
    QCOMPARE(blank(grabbed(*box)), !loop);
}

void TestHTMLCredit::textChangeKeepsScrollPosition()
{
    auto box = creditBox(credits);
    box->SetAutoScroll(true);
    tick(*box, 3);
    QCOMPARE(box->ScrollPosition(), 12);
    box->SetHTMLText({credits + QStringLiteral("<BR>more")});
    QCOMPARE(box->ScrollPosition(), 12);
    box->TimerTick();
    QCOMPARE(box->ScrollPosition(), 16);
}

void TestHTMLCredit::timerFollowsFlagsAndSpeed()
{
    THTMLCredit box;
    box.SetAutoScroll(true);
    QVERIFY(box.Timer().isActive());
    QCOMPARE(box.Timer().interval(), 100);
    box.SetScrollSpeed(50);
    QVERIFY(box.Timer().isActive());
    QCOMPARE(box.Timer().interval(), 50);
    box.SetScrollSpeed(0);
    QCOMPARE(box.ScrollSpeed(), 50);
    box.SetEnableBlink(true);
    box.SetAutoScroll(false);
    QVERIFY(box.Timer().isActive());
    box.SetEnableBlink(false);
    QVERIFY(!box.Timer().isActive());
    box.SetScrollSpeed(200);
    QVERIFY(!box.Timer().isActive());
    QCOMPARE(box.Timer().interval(), 200);
}

void TestHTMLCredit::blink_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("blinks");

    QTest::newRow("blink text") << QStringLiteral("<blink>News</blink>") << true;
    QTest::newRow("no blink text") << QStringLiteral("<B>News</B>") << false;
}

void TestHTMLCredit::blink()
{
    QFETCH(QString, text);
    QFETCH(bool, blinks);

    auto box = creditBox(text);
    box->SetEnableBlink(true);
    QVERIFY(show(*box));
    const QImage shown = grabbed(*box);
    tick(*box, 4);
    QVERIFY(box->Blinking());
    tick(*box, 1);
    QCOMPARE(box->Blinking(), !blinks);
    QCOMPARE(blank(grabbed(*box)), blinks);
    tick(*box, 5);
    QVERIFY(box->Blinking());
    QCOMPARE(grabbed(*box), shown);
    // Blinking alone never scrolls.
    QCOMPARE(box->ScrollPosition(), 0);

    // Switched off in the hidden phase, the text shows again.
    tick(*box, 5);
    box->SetEnableBlink(false);
    QVERIFY(box->Blinking());
    QCOMPARE(grabbed(*box), shown);
}

void TestHTMLCredit::click_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("opened");

    QTest::newRow("left button") << homePage << Qt::LeftButton << true;
    QTest::newRow("right button") << homePage << Qt::RightButton << true;
    QTest::newRow("middle button") << homePage << Qt::MiddleButton << true;
    QTest::newRow("mail link") << QStringLiteral("mailto:info@example.org") << Qt::LeftButton
                               << true;
    QTest::newRow("mail link in capitals") << QStringLiteral("MAILTO:x") << Qt::LeftButton << false;
    QTest::newRow("other target") << QStringLiteral("page2") << Qt::LeftButton << false;
}

void TestHTMLCredit::click()
{
    QFETCH(QString, target);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, opened);

    TRecordingPlatform platform;
    auto box = creditBox(QStringLiteral("<A href=\"%1\">link</A> text").arg(target));
    box->SetPlatform(&platform);
    QVERIFY(show(*box));
    QSignalSpy clicks(box.get(), &THTMLCredit::OnAnchorClick);

    const QPoint onLink(4, QFontMetrics(box->font()).height() / 2);
    QTest::mouseClick(box.get(), button, {}, onLink);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.first().first().toString(), target);
    QCOMPARE(platform.Calls,
             opened ? QStringList{QStringLiteral("ShellOpen: ") + target} : QStringList{});

    // Beside the link nothing happens; a scrolled box hit-tests the text where it stands now.
    QTest::mouseClick(box.get(), button, {}, QPoint(200, onLink.y()));
    QCOMPARE(clicks.size(), 1);
    box->SetScrollPosition(-20);
    QTest::mouseClick(box.get(), button, {}, onLink);
    QCOMPARE(clicks.size(), 1);
    QTest::mouseClick(box.get(), button, {}, onLink + QPoint(0, 20));
    QCOMPARE(clicks.size(), 2);
}

void TestHTMLCredit::hoverUnderlinesLink()
{
    auto box = creditBox(credits);
    QVERIFY(show(*box));
    QSignalSpy enters(box.get(), &THTMLCredit::OnAnchorEnter);
    QSignalSpy exits(box.get(), &THTMLCredit::OnAnchorExit);
    const QColor blue(Qt::blue);
    const int linkWidth
        = QFontMetrics(box->font()).horizontalAdvance(QStringLiteral("www.example.org"));
    QVERIFY(longestRun(grabbed(*box), blue) < linkWidth / 2);

    // The link is the third line, centred.
    const int lineHeight = QFontMetrics(box->font()).height();
    const QPoint onLink(box->width() / 2, 2 * lineHeight + lineHeight / 2);
    QTest::mouseMove(box.get(), onLink);
    QCOMPARE(enters.size(), 1);
    QCOMPARE(enters.first().first().toString(), homePage);
    QCOMPARE(box->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(longestRun(grabbed(*box), blue) >= linkWidth - 2);

    QTest::mouseMove(box.get(), QPoint(2, box->height() - 2));
    QCOMPARE(exits.size(), 1);
    QCOMPARE(box->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(longestRun(grabbed(*box), blue) < linkWidth / 2);
}

void TestHTMLCredit::arrowKeysMoveFocusLink()
{
    TRecordingPlatform platform;
    auto box = creditBox(threeLinks);
    box->SetPlatform(&platform);
    QVERIFY(show(*box));
    box->activateWindow();
    box->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    QTRY_VERIFY(box->hasFocus());
    QCOMPARE(box->FocusHyperLink(), 0);
    QCOMPARE(box->NumHyperLinks(), 3);
    QCOMPARE(box->FocusAnchor(), QStringLiteral("https://one.example.org/"));
    QSignalSpy keypresses(box.get(), &THTMLCredit::OnAnchorKeypress);

    const struct
    {
        Qt::Key key;
        int focus;
    } steps[] = {{Qt::Key_Right, 1}, {Qt::Key_Down, 2}, {Qt::Key_Right, 0},
                 {Qt::Key_Left, 2},  {Qt::Key_Up, 1},   {Qt::Key_Up, 0}};
    for (const auto &step : steps) {
        QTest::keyClick(box.get(), step.key);
        QCOMPARE(box->FocusHyperLink(), step.focus);
    }

    QTest::keyClick(box.get(), Qt::Key_Left);
    QCOMPARE(box->FocusAnchor(), QStringLiteral("https://three.example.org/"));
    QTest::keyClick(box.get(), Qt::Key_Return);
    QTest::keyClick(box.get(), Qt::Key_Left);
    QTest::keyClick(box.get(), Qt::Key_Space);
    QCOMPARE(keypresses.size(), 2);
    QCOMPARE(keypresses.at(0).first().toString(), QStringLiteral("https://three.example.org/"));
    QCOMPARE(keypresses.at(1).first().toString(), QStringLiteral("two"));
    QCOMPARE(platform.Calls, QStringList{QStringLiteral("ShellOpen: https://three.example.org/")});
}

void TestHTMLCredit::disabledLook()
{
    auto box = creditBox(credits);
    box->setEnabled(false);
    const QImage image = grabbed(*box);
    const QRgb grey = qRgb(0x80, 0x80, 0x80), white = qRgb(0xFF, 0xFF, 0xFF);
    int greys = 0, whites = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            greys += pixel == grey;
            if (pixel != white)
                continue;
            ++whites;
            // Every white pixel is the shadow of grey text one pixel up and left.
            QVERIFY2(x > 0 && y > 0 && image.pixel(x - 1, y - 1) != boxColour.rgb(),
                     qPrintable(QStringLiteral("white at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY(greys > 50);
    QVERIFY(whites > 20);
    // The link is grey too.
    QCOMPARE(longestRun(image, QColor(Qt::blue)), 0);
}

QTEST_MAIN(TestHTMLCredit)
#include "tst_htmlcredit.moc"
