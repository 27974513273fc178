#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "tests/support/workedexample.h"
#include "ui/scenform1.h"
#include "ui/selectionmenu.h"
#include "widgets/rzchecktree.h"
#include "widgets/rztoolbarbutton.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Absolute indices of the tree: 0 hangar_n, 1 tower, 2 grp_cars, 3 car_a, 4 car_b, 5 sw_season,
// 6 ground_summer, 7 ground_winter.
void clickCheckBox(TRzCheckTree &tree, int index)
{
    const QModelIndex item = tree.IndexOf(tree.Items().Item(index));
    tree.scrollTo(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.CheckArea(item).center());
}

// A right click on the tree, through the window system as a user's, opens the menu.
TSelectionMenu *openMenu(TScenForm1 &form)
{
    TRzCheckTree &tree = *form.RzCheckTree1;
    const QPoint inTree = tree.viewport()->rect().center();
    QTest::mouseClick(form.windowHandle(), Qt::RightButton, {},
                      tree.viewport()->mapTo(&form, inTree));
    auto *menu = form.findChild<TSelectionMenu *>();
    return menu && menu->isVisible() ? menu : nullptr;
}

// The scenery files in their forms, by the tree's order of entries, for short comparisons.
QString forms(const TProgramFolder &folder)
{
    QString text;
    for (const QString &name : {u"hangar_n"_s, u"tower"_s, u"car_a"_s, u"car_b"_s,
                                u"ground_summer"_s, u"ground_winter"_s}) {
        text += folder.SceneryFiles().contains(name + u".bgl"_s) ? u'1' : u'0';
    }
    return text;
}

} // namespace

class TestSelectionMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuChangesTheTreeAndApplyCarriesItOut_data();
    void menuChangesTheTreeAndApplyCarriesItOut();
};

void TestSelectionMenu::menuChangesTheTreeAndApplyCarriesItOut_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QList<int>>("applied"); // each a check box clicked, then Apply
    QTest::addColumn<int>("action"); // 0 select all, 1 none, 2 undo, 3 shipped
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("files"); // hangar_n tower car_a car_b summer winter, 1 active

    // Shipped: 101101.
    QTest::newRow("Alle aktivieren: the switch keeps its pick")
        << u"german"_s << QList<int>() << 0 << u"Alle aktivieren"_s << true << u"111101"_s;
    QTest::newRow("Select none") << u"english"_s << QList<int>{6} << 1 << u"Select none"_s << true
                                 << u"000010"_s;
    QTest::newRow("Letzte Übernahme rückgängig after two applies")
        << u"german"_s << QList<int>{0, 6} << 2 << u"Letzte Übernahme rückgängig"_s << true
        << u"001101"_s;
    QTest::newRow("Shipped state after three applies")
        << u"english"_s << QList<int>{0, 2, 6} << 3 << u"Shipped state"_s << true << u"101101"_s;
    QTest::newRow("Undo last apply: disabled before any apply")
        << u"english"_s << QList<int>() << 2 << u"Undo last apply"_s << false << u"101101"_s;
    QTest::newRow("Auslieferungszustand before any apply")
        << u"german"_s << QList<int>() << 3 << u"Auslieferungszustand"_s << true << u"101101"_s;
}

// The tree's context menu, opened and used with the mouse, changes the tree only; the files and
// the control file change when the user applies, as after any other change.
void TestSelectionMenu::menuChangesTheTreeAndApplyCarriesItOut()
{
    QFETCH(QString, language);
    QFETCH(QList<int>, applied);
    QFETCH(int, action);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(QString, files);
    TProgramFolder folder;
    folder.WriteControlFile(
        QString(WorkedExampleControlFile).replace(u"Language=german"_s, u"Language="_s + language));
    folder.AddSceneryFiles({u"hangar_n.bgl"_s, u"tower.bg_"_s, u"car_a.bgl"_s, u"car_b.bgl"_s,
                            u"ground_summer.bg_"_s, u"ground_winter.bgl"_s});
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.RzCheckTree1->expandAll();
    for (const int index : applied) {
        clickCheckBox(*form.RzCheckTree1, index);
        QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    }
    QVERIFY(!form.HasPendingChanges());
    const QByteArray controlFile = folder.ReadControlFile();
    const QString formsBefore = forms(folder);

    TSelectionMenu *menu = openMenu(form);
    QVERIFY(menu);
    QAction *chosen = menu->actions().value(action < 2 ? action : action + 1); // a separator
    QCOMPARE(chosen->text(), text);
    QCOMPARE(chosen->isEnabled(), enabled);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
    if (!enabled) {
        menu->hide(); // a click on a disabled entry leaves the menu open
        QCOMPARE(form.HasPendingChanges(), false);
        return;
    }
    QVERIFY(!menu->isVisible());

    // Only the tree has changed.
    QCOMPARE(folder.ReadControlFile(), controlFile);
    QCOMPARE(forms(folder), formsBefore);
    QCOMPARE(form.HasPendingChanges(), files != formsBefore);

    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QCOMPARE(platform.Calls, QStringList());
    QCOMPARE(forms(folder), files);
    QVERIFY(!form.HasPendingChanges());
}

QTEST_MAIN(TestSelectionMenu)
#include "tst_selectionmenu.moc"
