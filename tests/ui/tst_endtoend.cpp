#include "config/inifile.h"
#include "htmltext/htmlabel.h"
#include "htmltext/htmlcredit.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "ui/infoform.h"
#include "ui/scenform1.h"
#include "widgets/rzchecktree.h"
#include "widgets/rzlabel.h"
#include "widgets/rzmarqueestatus.h"
#include "widgets/rztoolbarbutton.h"

#include <QDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString ControlFileText = uR"([Settings]
Language=german
URL=https://scenery.example.net/
[german]
Title=Flugplatz
ScrollerText=Willkommen
[english]
Title=Airfield
ScrollerText=Welcome
HTMLCredits=<B>Credits</B>
[Szenerie]
tower=Turm
[Scenery]
tower=Tower
[Gruppen]
cars=Fahrzeuge
[Groups]
cars=Vehicles
[cars]
Checked=cars
Show=1
car_a=Tankwagen
car_b=Bus
[Schalter]
season=Jahreszeit
[Switches]
season=Season
[season]
Checked=season
summer=Sommer
winter=Winter
[Checked]
tower=1
cars=1
season=0
)"_s;

QStringList treeTexts(const TRzCheckTree &tree)
{
    QStringList texts;
    for (int i = 0; i < tree.Items().Count(); ++i)
        texts << tree.Items().Item(i)->Text() + u'=' + QString::number(tree.GetItemState(i));
    return texts;
}

// Clicks the check box of the node at this absolute index, as the user does.
void clickCheckBox(TRzCheckTree &tree, int index)
{
    const QModelIndex item = tree.IndexOf(tree.Items().Item(index));
    tree.scrollTo(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.CheckArea(item).center());
}

QStringList states(const QString &controlFile)
{
    const TIniFile ini(controlFile);
    QStringList keys, lines;
    ini.ReadSection(u"Checked"_s, keys);
    for (const QString &key : keys)
        lines << key + u'=' + ini.ReadString(u"Checked"_s, key, QString());
    return lines;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void applySwitchLanguageAndReadme();
    void switchAndGroupAsTheUserMeetsThem_data();
    void switchAndGroupAsTheUserMeetsThem();
};

void TestEndToEnd::switchAndGroupAsTheUserMeetsThem_data()
{
    QTest::addColumn<QString>("season"); // the stored value of the switch
    QTest::addColumn<QStringList>("actions"); // "click N" or "space N" on the node at index N
    QTest::addColumn<QStringList>("tree"); // the group and the switch with their children
    QTest::addColumn<QStringList>("files"); // after Apply
    QTest::addColumn<QString>("notice");

    const QStringList stored0{u"[Grp] Fahrzeuge=2"_s, u"Tankwagen=2"_s, u"Bus=2"_s,
                              u"[Sw] Jahreszeit=3"_s, u"Sommer=2"_s,    u"Winter=1"_s};
    const QStringList stored1{u"[Grp] Fahrzeuge=2"_s, u"Tankwagen=2"_s, u"Bus=2"_s,
                              u"[Sw] Jahreszeit=3"_s, u"Sommer=1"_s,    u"Winter=2"_s};
    const QStringList files0{u"car_a.bgl"_s, u"car_b.bgl"_s, u"summer.bgl"_s, u"tower.bgl"_s,
                             u"winter.bg_"_s};
    const QStringList files1{u"car_a.bgl"_s, u"car_b.bgl"_s, u"summer.bg_"_s, u"tower.bgl"_s,
                             u"winter.bgl"_s};
    const QStringList groupOff{u"car_a.bg_"_s, u"car_b.bg_"_s, u"summer.bgl"_s, u"tower.bgl"_s,
                               u"winter.bg_"_s};
    const QString none = u"Änderungen übernommen: 0 Dateien umbenannt"_s;
    const QString two = u"Änderungen übernommen: 2 Dateien umbenannt"_s;

    // A switch shows the one alternative stored, and an untouched one renames nothing.
    QTest::newRow("switch stored as 0, untouched")
        << u"0"_s << QStringList() << stored0 << files0 << none;
    QTest::newRow("switch stored as 1, untouched")
        << u"1"_s << QStringList() << stored1 << files1 << none;
    QTest::newRow("the other alternative picked")
        << u"0"_s << QStringList{u"click 6"_s} << stored1 << files1 << two;
    QTest::newRow("the picked alternative clicked again")
        << u"0"_s << QStringList{u"click 5"_s} << stored0 << files0 << none;
    QTest::newRow("the switch's own box swaps the pick")
        << u"0"_s << QStringList{u"click 4"_s} << stored1 << files1 << two;
    QTest::newRow("alternative picked with the keyboard")
        << u"0"_s << QStringList{u"space 6"_s} << stored1 << files1 << two;
    // A member acts on its whole group, which the control file stores as one.
    QTest::newRow("a member's click switches the group")
        << u"0"_s << QStringList{u"click 3"_s}
        << QStringList{u"[Grp] Fahrzeuge=1"_s, u"Tankwagen=1"_s, u"Bus=1"_s,
                       u"[Sw] Jahreszeit=3"_s, u"Sommer=2"_s,    u"Winter=1"_s}
        << groupOff << two;
    QTest::newRow("a member switched with the keyboard")
        << u"0"_s << QStringList{u"space 2"_s}
        << QStringList{u"[Grp] Fahrzeuge=1"_s, u"Tankwagen=1"_s, u"Bus=1"_s,
                       u"[Sw] Jahreszeit=3"_s, u"Sommer=2"_s,    u"Winter=1"_s}
        << groupOff << two;
    QTest::newRow("clicks on two members: the group as before")
        << u"0"_s << QStringList{u"click 2"_s, u"click 3"_s} << stored0 << files0 << none;
}

// The tree as the user sees and clicks it, then Apply, counted on disk and on the status line.
void TestEndToEnd::switchAndGroupAsTheUserMeetsThem()
{
    QFETCH(QString, season);
    QFETCH(QStringList, actions);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, files);
    QFETCH(QString, notice);
    TProgramFolder folder;
    folder.WriteControlFile(QString(ControlFileText).replace(u"season=0"_s, u"season="_s + season));
    folder.AddSceneryFiles(season == u"0"
                               ? QStringList{u"tower.bgl"_s, u"car_a.bgl"_s, u"car_b.bgl"_s,
                                             u"summer.bgl"_s, u"winter.bg_"_s}
                               : QStringList{u"tower.bgl"_s, u"car_a.bgl"_s, u"car_b.bgl"_s,
                                             u"summer.bg_"_s, u"winter.bgl"_s});
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TRzCheckTree &view = *form.RzCheckTree1;
    view.expandAll();
    for (const QString &action : std::as_const(actions)) {
        const int index = action.section(u' ', 1).toInt();
        if (action.startsWith(u"click")) {
            clickCheckBox(view, index);
        } else {
            view.setCurrentIndex(view.IndexOf(view.Items().Item(index)));
            QTest::keyClick(&view, Qt::Key_Space);
        }
    }
    QCOMPARE(treeTexts(view).mid(1), tree);

    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QCOMPARE(platform.Calls, QStringList());
    QCOMPARE(folder.SceneryFiles(), files);
    QCOMPARE(form.RzMarqueeStatus1->Caption(), notice);
}

void TestEndToEnd::applySwitchLanguageAndReadme()
{
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText);
    folder.AddSceneryFiles(
        {u"tower.bgl"_s, u"car_a.bgl"_s, u"car_b.bgl"_s, u"summer.bgl"_s, u"winter.bg_"_s});
    QFile readme(folder.FilePath(u"readme.html"_s));
    QVERIFY(readme.open(QIODevice::WriteOnly));
    readme.write("<html><body><p>English readme</p></body></html>");
    readme.close();

    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    TInfoForm info(platform);
    form.SetInfoForm(&info);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.RzCheckTree1->expandAll();
    QCOMPARE(treeTexts(*form.RzCheckTree1),
             (QStringList{u"Turm=2"_s, u"[Grp] Fahrzeuge=2"_s, u"Tankwagen=2"_s, u"Bus=2"_s,
                          u"[Sw] Jahreszeit=3"_s, u"Sommer=2"_s, u"Winter=1"_s}));

    // The user clicks one vehicle, which unchecks the whole group, and picks winter with the
    // keyboard, then applies.
    clickCheckBox(*form.RzCheckTree1, 2);
    form.RzCheckTree1->setCurrentIndex(
        form.RzCheckTree1->IndexOf(form.RzCheckTree1->Items().Item(6)));
    QTest::keyClick(form.RzCheckTree1, Qt::Key_Space);
    QCOMPARE(treeTexts(*form.RzCheckTree1),
             (QStringList{u"Turm=2"_s, u"[Grp] Fahrzeuge=1"_s, u"Tankwagen=1"_s, u"Bus=1"_s,
                          u"[Sw] Jahreszeit=3"_s, u"Sommer=1"_s, u"Winter=2"_s}));
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QCOMPARE(states(folder.ControlFile()), (QStringList{u"tower=1"_s, u"cars=0"_s, u"season=1"_s}));
    QCOMPARE(folder.SceneryFiles(),
             (QStringList{u"car_a.bg_"_s, u"car_b.bg_"_s, u"summer.bg_"_s, u"tower.bgl"_s,
                          u"winter.bgl"_s}));

    // Switch to English: the tree is rebuilt from the English lists and the applied states.
    platform.Answers = {mrYes};
    QTest::mouseClick(form.btnEnglish, Qt::LeftButton);
    QCOMPARE(treeTexts(*form.RzCheckTree1),
             (QStringList{u"Tower=2"_s, u"[Grp] Vehicles=1"_s, u"Tankwagen=1"_s, u"Bus=1"_s,
                          u"[Sw] Season=3"_s, u"Sommer=1"_s, u"Winter=2"_s}));
    QCOMPARE(form.RzLabel1->Caption(), u"Airfield"_s);
    QCOMPARE(form.RzLabel2->Caption(), u"Please select the objects, that should be active"_s);
    QCOMPARE(form.btnApplyObj->GetCaption(), u"&Apply"_s); // A: its accelerator
    QCOMPARE(form.RzMarqueeStatus1->Caption(), u"Welcome"_s);
    QCOMPARE(form.RzLabel3->Caption(), u"Airfield - Version 2.0.0.0 - Orvandel"_s);
    QCOMPARE(form.HTMLabel1->GetDisplText(),
             u"<B>Important:</B> Changes must be saved by clicking [Apply]!"_s);
    QCOMPARE(form.HTMLCredit1->GetDisplText(), u"<B>Credits</B>"_s);

    // The information window shows the English readme, modally, until it is closed.
    bool shown = false;
    QTimer::singleShot(0, &info, [&] {
        shown = info.isVisible()
            && QDir::fromNativeSeparators(info.Address()).endsWith(u"/readme.html"_s)
            && info.WebBrowser1->toPlainText().contains(u"English readme"_s);
        info.close();
    });
    QTest::mouseClick(form.RzToolbarButton3, Qt::LeftButton);
    QVERIFY(shown);
    QVERIFY(!info.isVisible());
    QCOMPARE(platform.Calls,
             QStringList{u"MessageDlg(confirmation): Ungespeicherte Änderungen "
                         u"gehen verloren!\r\nWeitermachen?"_s});
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
