#include "htmltext/htmlabel.h"
#include "tests/support/recordingplatform.h"

#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <memory>

Q_DECLARE_METATYPE(TGradientType)
Q_DECLARE_METATYPE(TBevelCut)
Q_DECLARE_METATYPE(TBorderStyle)
Q_DECLARE_METATYPE(TAutoSizeType)
Q_DECLARE_METATYPE(TAlign)

namespace {

const QColor windowColour(212, 208, 200);
const QString notice
    = QStringLiteral("<B>Important:</B> Changes must be saved by clicking [Apply]!");

QFont testFont()
{
    return QFont(QStringLiteral("DejaVu Sans"), 8);
}

// A window standing in for the main window: plain background, the font the label inherits.
struct TWindow
{
    TWindow(QSize size = QSize(620, 60))
    {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, windowColour);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        window.setFont(testFont());
        window.resize(size);
        label = new THTMLabel(&window);
    }
    // The label as it shows over the window's background.
    QImage labelImage();
    bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    QWidget window;
    THTMLabel *label;
};

QImage grabbed(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage TWindow::labelImage()
{
    return grabbed(window).copy(label->geometry());
}

// Rows holding any pixel that is not the background colour.
QList<int> inkRows(const QImage &image, const QColor &background)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != background) {
                rows << y;
                break;
            }
        }
    }
    return rows;
}

// The rightmost column holding ink, -1 when none.
int inkRight(const QImage &image, const QColor &background)
{
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) != background)
                return x;
        }
    }
    return -1;
}

QString link(const QString &target)
{
    return QStringLiteral("<A href=\"%1\">link</A> and more text").arg(target);
}

// A point on the word "link" at the start of the label's first line.
QPoint onLink(const QWidget &label)
{
    return QPoint(4, QFontMetrics(label.font()).height() / 2);
}

} // namespace

class TestHTMLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void htmlText_data();
    void htmlText();
    void noticeDrawsBoldPartWithinItsHeight();
    void backgrounds_data();
    void backgrounds();
    void frames_data();
    void frames();
    void verticalAlignment();
    void autoSizing_data();
    void autoSizing();
    void beginUpdateSuspendsText();
    void click_data();
    void click();
    void clickFollowsFramedText();
    void hoverEntersAndExitsLinks();
    void anchorHint();
};

void TestHTMLabel::defaults()
{
    THTMLabel label;
    QVERIFY(label.Transparent());
    QCOMPARE(label.width(), 120);
    QVERIFY(label.HTMLText().isEmpty());
    QCOMPARE(label.URLColor(), clBlue);
    QCOMPARE(label.ShadowColor(), clGray);
    QCOMPARE(label.ShadowOffset(), 2);
    QCOMPARE(label.HoverColor(), clNone);
    QCOMPARE(label.HoverFontColor(), clNone);
    QCOMPARE(label.ColorTo(), clNone);
    QCOMPARE(label.GradientType(), gtFullHorizontal);
    QCOMPARE(label.LineWidth(), 2);
    QCOMPARE(label.BevelWidth(), 1);
    QCOMPARE(label.BorderWidth(), 0);
    QCOMPARE(label.BorderColor(), clBlack);
    QCOMPARE(label.VAlignment(), tvaTop);
    QCOMPARE(label.AutoSizeType(), asVertical);
    QVERIFY(!label.AutoSizing());
    QVERIFY(!label.Hover());
    QVERIFY(!label.Ellipsis());
    QCOMPARE(label.HoverHyperLink(), -1);
    QVERIFY(label.hasMouseTracking());
}

void TestHTMLabel::htmlText_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("plain");

    QTest::newRow("one line") << QStringList{notice} << QStringList{notice}
                              << QStringLiteral("Important: Changes must be saved by clicking "
                                                "[Apply]!");
    QTest::newRow("lines become one, line ends removed")
        << QStringList{QStringLiteral("a<BR>\r\nb"), QStringLiteral("c")}
        << QStringList{QStringLiteral("a<BR>bc")} << QStringLiteral("a\r\nbc");
    QTest::newRow("empty list") << QStringList{} << QStringList{} << QString();
    QTest::newRow("only line ends")
        << QStringList{QStringLiteral("\r\n")} << QStringList{} << QString();
}

void TestHTMLabel::htmlText()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, stored);
    QFETCH(QString, plain);

    THTMLabel label;
    label.SetHTMLText({QStringLiteral("old")});
    label.ImageCache().AddPicture(QStringLiteral("file://picture.png"));
    label.SetHTMLText(lines);
    QCOMPARE(label.HTMLText(), stored);
    QCOMPARE(label.GetDisplText(), stored.join(u' '));
    QCOMPARE(label.GetText(), plain);
    QCOMPARE(label.ImageCache().Count(), 0);
}

void TestHTMLabel::noticeDrawsBoldPartWithinItsHeight()
{
    // As in the main window: 592 x 17, transparent, no line; a text of two lines at that width.
    TWindow main;
    main.label->setGeometry(12, 10, 592, 17);
    main.label->SetLineWidth(0);
    main.label->SetHTMLText({notice + QStringLiteral(" ") + notice});
    TWindow boldOnly, plainOnly;
    boldOnly.label->setGeometry(12, 10, 592, 17);
    boldOnly.label->SetHTMLText({QStringLiteral("<B>Important:</B>")});
    plainOnly.label->setGeometry(12, 10, 592, 17);
    plainOnly.label->SetHTMLText({QStringLiteral("Important:")});

    const QImage window = grabbed(main.window);
    const QImage label = window.copy(main.label->geometry());
    const QImage bold = boldOnly.labelImage();
    const QImage plain = plainOnly.labelImage();

    // The label starts with exactly the bold word, which is wider than the regular one.
    const int boldRight = inkRight(bold, windowColour);
    QVERIFY(boldRight > inkRight(plain, windowColour));
    QCOMPARE(label.copy(0, 0, boldRight + 1, 17), bold.copy(0, 0, boldRight + 1, 17));
    QVERIFY(inkRight(label, windowColour) > boldRight + 100);

    // Only the first line shows: the second would not fit and is left out, and nothing is drawn
    // outside the label.
    const int lineHeight = QFontMetrics(testFont()).height();
    QVERIFY(lineHeight < 17);
    const QList<int> rows = inkRows(window, windowColour);
    QVERIFY(!rows.isEmpty());
    QVERIFY2(rows.first() >= 10 && rows.last() < 10 + lineHeight,
             qPrintable(QStringLiteral("ink rows %1..%2").arg(rows.first()).arg(rows.last())));
}

void TestHTMLabel::backgrounds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TGradientType>("gradient");
    QTest::addColumn<TColor>("colorTo");
    QTest::addColumn<int>("lineWidth");
    QTest::addColumn<QList<int>>("lineRows");

    QTest::newRow("empty text: only the background")
        << QString() << gtFullHorizontal << clNone << 2 << QList<int>{};
    QTest::newRow("bottom line of width 0: no line")
        << QString() << gtBottomLine << clRed << 0 << QList<int>{};
    QTest::newRow("bottom line") << QString() << gtBottomLine << clRed << 3
                                 << QList<int>{17, 18, 19};
    QTest::newRow("centre line") << QString() << gtCenterLine << clRed << 2 << QList<int>{9, 10};
    QTest::newRow("top line") << QString() << gtTopLine << clRed << 2 << QList<int>{0, 1};
    QTest::newRow("line form without a second colour")
        << QString() << gtBottomLine << clNone << 3 << QList<int>{};
}

void TestHTMLabel::backgrounds()
{
    QFETCH(QString, text);
    QFETCH(TGradientType, gradient);
    QFETCH(TColor, colorTo);
    QFETCH(int, lineWidth);
    QFETCH(QList<int>, lineRows);

    TWindow main;
    main.label->resize(100, 20);
    main.label->SetTransparent(false);
    main.label->SetGradientType(gradient);
    main.label->SetColorTo(colorTo);
    main.label->SetLineWidth(lineWidth);
    main.label->SetHTMLText({text});
    QCOMPARE(inkRows(main.labelImage(), windowColour), lineRows);
}

void TestHTMLabel::frames_data()
{
    QTest::addColumn<TBevelCut>("outer");
    QTest::addColumn<TBorderStyle>("style");
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("bottomRight");

    const QPalette palette = QGuiApplication::palette();
    const QColor shadow = palette.color(QPalette::Dark), light = palette.color(QPalette::Light);
    QTest::newRow("none") << bvNone << bsNone << 0 << windowColour << windowColour;
    QTest::newRow("lowered bevel") << bvLowered << bsNone << 0 << shadow << light;
    QTest::newRow("raised bevel") << bvRaised << bsNone << 0 << light << shadow;
    QTest::newRow("single border") << bvNone << bsSingle << 1 << QColor(Qt::red) << QColor(Qt::red);
    QTest::newRow("border width without single style")
        << bvNone << bsNone << 2 << windowColour << windowColour;
}

void TestHTMLabel::frames()
{
    QFETCH(TBevelCut, outer);
    QFETCH(TBorderStyle, style);
    QFETCH(int, borderWidth);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, bottomRight);

    TWindow main;
    main.label->resize(100, 20);
    main.label->SetTransparent(false);
    main.label->SetBevelOuter(outer);
    main.label->SetBorderStyle(style);
    main.label->SetBorderWidth(borderWidth);
    main.label->SetBorderColor(clRed);
    const QImage image = main.labelImage();
    QCOMPARE(image.pixel(0, 10), topLeft.rgb());
    QCOMPARE(image.pixel(50, 0), topLeft.rgb());
    QCOMPARE(image.pixel(99, 10), bottomRight.rgb());
    QCOMPARE(image.pixel(50, 19), bottomRight.rgb());
}

void TestHTMLabel::verticalAlignment()
{
    QList<QList<int>> rows;
    for (TVAlignment alignment : {tvaTop, tvaCenter, tvaBottom}) {
        TWindow main;
        main.label->resize(200, 60);
        main.label->SetVAlignment(alignment);
        main.label->SetHTMLText({QStringLiteral("Demo")});
        rows << inkRows(main.labelImage(), windowColour);
        QVERIFY(!rows.last().isEmpty());
    }
    const int lineHeight = QFontMetrics(testFont()).height();
    QVERIFY(rows[0].last() < lineHeight);
    QVERIFY(rows[1].first() > rows[0].first() + 15 && rows[1].last() < rows[2].first());
    QVERIFY(rows[2].last() >= 60 - 5);
}

void TestHTMLabel::autoSizing_data()
{
    QTest::addColumn<TAutoSizeType>("type");
    QTest::addColumn<TAlign>("align");
    QTest::addColumn<bool>("growsWide");
    QTest::addColumn<bool>("growsHigh");

    QTest::newRow("vertical") << asVertical << alNone << false << true;
    QTest::newRow("horizontal") << asHorizontal << alNone << true << false;
    QTest::newRow("both") << asBoth << alNone << true << true;
    QTest::newRow("vertical, docked left") << asVertical << alLeft << false << false;
    QTest::newRow("both, docked top") << asBoth << alTop << false << true;
}

void TestHTMLabel::autoSizing()
{
    QFETCH(TAutoSizeType, type);
    QFETCH(TAlign, align);
    QFETCH(bool, growsWide);
    QFETCH(bool, growsHigh);

    TWindow main;
    main.label->resize(150, 40);
    main.label->SetHTMLText({QStringLiteral("first line<BR>second line, somewhat longer")});
    main.label->SetAlign(align);
    main.label->SetAutoSizeType(type);
    main.label->SetAutoSizing(true);
    const QSize before = main.label->size();
    const int wide = main.label->GetSize().width() + 6;
    const int high = main.label->GetSizeWithMaxWidth(growsWide ? 4096 : 150).height() + 6;
    main.label->grab();
    QCOMPARE(main.label->width(), growsWide ? wide : before.width());
    QCOMPARE(main.label->height(), growsHigh ? high : before.height());
}

void TestHTMLabel::beginUpdateSuspendsText()
{
    TWindow main;
    main.label->resize(200, 20);
    main.label->SetHTMLText({QStringLiteral("Demo")});
    main.label->BeginUpdate();
    main.label->BeginUpdate();
    QVERIFY(inkRows(main.labelImage(), windowColour).isEmpty());
    main.label->EndUpdate();
    QVERIFY(inkRows(main.labelImage(), windowColour).isEmpty());
    main.label->EndUpdate();
    main.label->EndUpdate(); // one too many is harmless
    QCOMPARE(main.label->UpdateCount(), 0);
    QVERIFY(!inkRows(main.labelImage(), windowColour).isEmpty());
}

void TestHTMLabel::click_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("onLink");
    QTest::addColumn<bool>("clicked");
    QTest::addColumn<bool>("opened");

    const QString web = QStringLiteral("https://www.example.org/musterhafen/");
    QTest::newRow("web address") << web << Qt::LeftButton << true << true << true;
    QTest::newRow("mail link") << QStringLiteral("mailto:info@example.org") << Qt::LeftButton
                               << true << true << true;
    QTest::newRow("mail link in capitals")
        << QStringLiteral("MAILTO:x") << Qt::LeftButton << true << true << false;
    QTest::newRow("other target") << QStringLiteral("page2") << Qt::LeftButton << true << true
                                  << false;
    QTest::newRow("right button") << web << Qt::RightButton << true << false << false;
    QTest::newRow("beside the link") << web << Qt::LeftButton << false << false << false;
}

void TestHTMLabel::click()
{
    QFETCH(QString, target);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, onLink);
    QFETCH(bool, clicked);
    QFETCH(bool, opened);

    TWindow main;
    TRecordingPlatform platform;
    main.label->setGeometry(12, 10, 592, 17);
    main.label->SetPlatform(&platform);
    main.label->SetHTMLText({link(target)});
    QVERIFY(main.show());
    QSignalSpy clicks(main.label, &THTMLabel::OnAnchorClick);

    const QPoint at = onLink ? ::onLink(*main.label) : QPoint(580, 8);
    QTest::mouseClick(main.label, button, {}, at);
    QCOMPARE(clicks.size(), clicked ? 1 : 0);
    if (clicked)
        QCOMPARE(clicks.first().first().toString(), target);
    QCOMPARE(platform.Calls,
             opened ? QStringList{QStringLiteral("ShellOpen: ") + target} : QStringList{});
}

void TestHTMLabel::clickFollowsFramedText()
{
    // Bevels and a border move the text in by 7 pixels; the link is hit where it is drawn.
    TWindow main;
    main.label->setGeometry(12, 10, 300, 40);
    main.label->SetBevelOuter(bvLowered);
    main.label->SetBevelInner(bvRaised);
    main.label->SetBorderStyle(bsSingle);
    main.label->SetBorderWidth(2);
    main.label->SetHTMLText({QStringLiteral("<A href=\"x\">link</A>")});
    QVERIFY(main.show());
    QSignalSpy clicks(main.label, &THTMLabel::OnAnchorClick);
    const QFontMetrics metrics(testFont());
    const int inset = 7, right = inset + metrics.horizontalAdvance(QStringLiteral("link"));
    const int middle = inset + metrics.height() / 2;
    QTest::mouseClick(main.label, Qt::LeftButton, {}, QPoint(right + 2, middle));
    QCOMPARE(clicks.size(), 0);
    QTest::mouseClick(main.label, Qt::LeftButton, {}, QPoint(right - 2, middle));
    QCOMPARE(clicks.size(), 1);
}

void TestHTMLabel::hoverEntersAndExitsLinks()
{
    TWindow main;
    main.label->setGeometry(12, 10, 592, 17);
    main.label->SetHover(true);
    main.label->SetHTMLText({link(QStringLiteral("https://example.org/"))});
    QVERIFY(main.show());
    QSignalSpy enters(main.label, &THTMLabel::OnAnchorEnter);
    QSignalSpy exits(main.label, &THTMLabel::OnAnchorExit);

    QTest::mouseMove(main.label, onLink(*main.label));
    QCOMPARE(enters.size(), 1);
    QCOMPARE(enters.first().first().toString(), QStringLiteral("https://example.org/"));
    QCOMPARE(main.label->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(main.label->HoverHyperLink(), 1);
    QCOMPARE(main.label->Anchor(), QStringLiteral("https://example.org/"));

    QTest::mouseMove(main.label, onLink(*main.label) + QPoint(1, 0));
    QCOMPARE(enters.size(), 1);

    QTest::mouseMove(main.label, QPoint(580, 8));
    QCOMPARE(exits.size(), 1);
    QCOMPARE(main.label->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(main.label->HoverHyperLink(), -1);
}

void TestHTMLabel::anchorHint()
{
    TWindow main;
    main.label->setGeometry(12, 10, 592, 17);
    main.label->SetHTMLText({link(QStringLiteral("https://example.org/"))});
    main.label->SetAnchorHint(true);
    QVERIFY(main.show());
    connect(main.label, &THTMLabel::OnAnchorHint, main.label,
            [](QString &anchor) { anchor = QStringLiteral("Visit ") + anchor; });

    const QPoint at = onLink(*main.label);
    QHelpEvent help(QEvent::ToolTip, at, main.label->mapToGlobal(at));
    QVERIFY(QCoreApplication::sendEvent(main.label, &help));
    QCOMPARE(QToolTip::text(), QStringLiteral("Visit https://example.org/"));
    QToolTip::hideText();
}

QTEST_MAIN(TestHTMLabel)
#include "tst_htmlabel.moc"
