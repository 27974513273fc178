#include "widgets/rzchecktree.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QSet>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolTip>

#include <functional>
#include <memory>
#include <optional>

namespace {

// The absolute states of all nodes, e.g. "2 1 2 1".
QString states(const TRzCheckTree &tree)
{
    QStringList result;
    for (int i = 0; i < tree.Items().Count(); ++i)
        result << QString::number(tree.GetItemState(i));
    return result.join(u' ');
}

// A shown tree: A (checked) with children B and C, then D (unchecked) with child E.
std::unique_ptr<TRzCheckTree> shownTree()
{
    auto tree = std::make_unique<TRzCheckTree>();
    TCheckTreeModel &items = tree->Items();
    TCheckTreeNode *a = items.Add(QStringLiteral("A"));
    items.AddChild(a, QStringLiteral("B"));
    items.AddChild(a, QStringLiteral("C"));
    items.AddChild(items.Add(QStringLiteral("D")), QStringLiteral("E"));
    tree->SetItemState(0, csChecked);
    tree->SetItemState(3, csUnchecked);
    tree->expandAll();
    tree->resize(240, 200);
    tree->show();
    if (!QTest::qWaitForWindowExposed(tree.get()))
        return nullptr;
    return tree;
}

QModelIndex itemAt(const TRzCheckTree &tree, int absoluteIndex)
{
    return tree.IndexOf(tree.Items().Item(absoluteIndex));
}

const QColor frameColor(255, 0, 0);
const QColor highlightColor(0, 0, 255);
const QColor treeColor(255, 255, 224);

} // namespace

class TstRzCheckTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mouseToggle_data();
    void mouseToggle();
    void doubleClickOnCheckBoxTogglesTwice();
    void spaceKey();
    void stateIsSetBeforeFirstPaint();
    void classicCheckImages_data();
    void classicCheckImages();
    void rowsShowTheirCheckImage();
    void imagesFollowColoursAndStyle();
    void boxesShowTheirStateUnderEveryStyle_data();
    void boxesShowTheirStateUnderEveryStyle();
    void itemHeightSetsRowsAndImages();
    void rowsFollowNodes_data();
    void rowsFollowNodes();
    void cascadeReachesViewInOneRangePerParent_data();
    void cascadeReachesViewInOneRangePerParent();
    void itemsTellAssistiveTechnologyTheirState();
    void cutCaptionShowsWholeAsTooltip_data();
    void cutCaptionShowsWholeAsTooltip();
};

void TstRzCheckTree::mouseToggle_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("release");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QString>("expected");

    // Node B (index 1) is clicked; A, B, C checked and D, E unchecked before.
    QTest::newRow("click in the check area toggles and cascades")
        << "check"
        << "check" << Qt::LeftButton << "3 1 2 1 1";
    QTest::newRow("left edge of the check area") << "checkLeft"
                                                 << "checkLeft" << Qt::LeftButton << "3 1 2 1 1";
    QTest::newRow("first pixel of the text still counts")
        << "checkRight"
        << "checkRight" << Qt::LeftButton << "3 1 2 1 1";
    QTest::newRow("left of the check area") << "leftOfCheck"
                                            << "leftOfCheck" << Qt::LeftButton << "2 2 2 1 1";
    QTest::newRow("click on the text") << "text"
                                       << "text" << Qt::LeftButton << "2 2 2 1 1";
    QTest::newRow("release outside the viewport") << "check"
                                                  << "outside" << Qt::LeftButton << "2 2 2 1 1";
    QTest::newRow("press on the text, release in the check area")
        << "text"
        << "check" << Qt::LeftButton << "2 2 2 1 1";
    QTest::newRow("right button") << "check"
                                  << "check" << Qt::RightButton << "2 2 2 1 1";
}

void TstRzCheckTree::mouseToggle()
{
    QFETCH(QString, press);
    QFETCH(QString, release);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QString, expected);

    const auto tree = shownTree();
    QVERIFY(tree);
    const QRect area = tree->CheckArea(itemAt(*tree, 1));
    QCOMPARE(area.width(), 20);
    const QHash<QString, QPoint> points{
        {QStringLiteral("check"), area.center()},
        {QStringLiteral("checkLeft"), QPoint(area.left(), area.center().y())},
        {QStringLiteral("checkRight"), QPoint(area.right(), area.bottom())},
        {QStringLiteral("leftOfCheck"), QPoint(area.left() - 1, area.center().y())},
        {QStringLiteral("text"), QPoint(area.right() + 8, area.center().y())},
        {QStringLiteral("outside"), QPoint(area.center().x(), tree->viewport()->height() + 5)},
    };

    QTest::mousePress(tree->viewport(), button, {}, points.value(press));
    QCOMPARE(tree->currentIndex(), itemAt(*tree, 1));
    QTest::mouseRelease(tree->viewport(), button, {}, points.value(release));

    QCOMPARE(states(*tree), expected);
    QCOMPARE(tree->Items().ChangingState(),
             press == u"check" && button == Qt::LeftButton && release == u"outside");
}

void TstRzCheckTree::doubleClickOnCheckBoxTogglesTwice()
{
    const auto tree = shownTree();
    QVERIFY(tree);
    QStringList seen;
    tree->Items().OnCascadeComplete = [&](TCheckTreeNode *node) { seen << node->Text(); };
    const QPoint check = tree->CheckArea(itemAt(*tree, 0)).center();

    // The event sequence of a double click: press, release, double click, release.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, check);
    QCOMPARE(states(*tree), u"1 1 1 1 1");
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, check);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, check);

    QCOMPARE(states(*tree), u"2 2 2 1 1");
    QCOMPARE(seen, QStringList({QStringLiteral("A"), QStringLiteral("A")}));
    QVERIFY(tree->isExpanded(itemAt(*tree, 0)));
}

void TstRzCheckTree::spaceKey()
{
    const auto tree = shownTree();
    QVERIFY(tree);
    tree->Items().Add(QStringLiteral(" starts with a space"));
    tree->SetItemState(5, csUnchecked);
    tree->setFocus();
    tree->selectionModel()->setCurrentIndex(itemAt(*tree, 3), QItemSelectionModel::Clear);

    // The press neither selects the current row nor searches for a text starting with " ".
    QTest::keyPress(tree.get(), Qt::Key_Space);
    QCOMPARE(tree->currentIndex(), itemAt(*tree, 3));
    QVERIFY(tree->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(states(*tree), u"2 2 2 1 1 1");

    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                       true);
    QApplication::sendEvent(tree.get(), &repeated);
    QCOMPARE(states(*tree), u"2 2 2 1 1 1");

    QTest::keyRelease(tree.get(), Qt::Key_Space);
    QCOMPARE(states(*tree), u"2 2 2 2 2 1");

    // Other keys reach the tree.
    QTest::keyClick(tree.get(), Qt::Key_Down);
    QCOMPARE(tree->currentIndex(), itemAt(*tree, 4));
}

// A screen reader finds each row by its caption, as a check box in the tree's state, the mixed
// state described in words; the toolkit draws no box of its own for it, and a click beside the
// image toggles nothing.
void TstRzCheckTree::itemsTellAssistiveTechnologyTheirState()
{
    const auto tree = shownTree();
    QVERIFY(tree);
    tree->SetItemState(2, csUnchecked); // A becomes partly checked
    tree->SetMixedStateDescription(u"teilweise"_qs);
    const QImage drawn = tree->viewport()->grab().toImage();
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(tree.get());
    QVERIFY(accessible);
    QAccessibleTableInterface *table = accessible->tableInterface();
    QVERIFY(table);
    QStringList seen;
    for (int row = 0; row < table->rowCount(); ++row) {
        QAccessibleInterface *cell = table->cellAt(row, 0);
        QVERIFY(cell);
        const QAccessible::State state = cell->state();
        QVERIFY(state.checkable);
        seen << cell->text(QAccessible::Name) + (state.checked ? u"+"_qs : u"-"_qs)
                + cell->text(QAccessible::Description);
    }
    QCOMPARE(seen, (QStringList{u"A-teilweise"_qs, u"B+"_qs, u"C-"_qs, u"D-"_qs, u"E-"_qs}));

    tree->SetItemState(1, csUnchecked);
    QVERIFY(!table->cellAt(1, 0)->state().checked);
    QCOMPARE(tree->viewport()->grab().toImage() == drawn, false); // B's image changed
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualRect(itemAt(*tree, 3)).center());
    QCOMPARE(states(*tree), u"1 1 1 1 1");
}

// A node without a state reads 255 until the tree has been painted, and unchecked after; the
// view shows it unchecked all along, so painting tells the view of no change.
void TstRzCheckTree::stateIsSetBeforeFirstPaint()
{
    TRzCheckTree tree;
    tree.resize(200, 100);
    TCheckTreeNode *node = tree.Items().Add(QStringLiteral("A"));
    tree.Items().AddChild(node, QStringLiteral("B"));
    QStringList events;
    tree.Items().OnStateChange = [&](TCheckTreeNode *n, TRzCheckState) { events << n->Text(); };
    const QModelIndex row = tree.model()->index(0, 0);
    QSignalSpy changes(tree.model(), &QAbstractItemModel::dataChanged);

    QCOMPARE(tree.GetItemState(0), TRzCheckState(255));
    QCOMPARE(row.data(TRzCheckTree::StateIndexRole).toInt(), int(csUnchecked));
    QCOMPARE(row.data(Qt::CheckStateRole), QVariant(Qt::Unchecked));
    tree.grab();
    QCOMPARE(states(tree), u"1 1");
    QVERIFY(events.isEmpty());
    QCOMPARE(changes.count(), 0);

    // A node added later reads 255 again until the next paint.
    tree.Items().Add(QStringLiteral("C"));
    QCOMPARE(states(tree), u"1 1 255");
    tree.grab();
    QCOMPARE(states(tree), u"1 1 1");
}

void TstRzCheckTree::classicCheckImages_data()
{
    QTest::addColumn<int>("itemHeight");
    QTest::addColumn<int>("boxTop"); // where the 14 x 14 box starts in the image
    QTest::addColumn<QPoint>("point"); // relative to the box's top-left corner
    QTest::addColumn<QString>("unchecked");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("mixed");

    for (const auto &[itemHeight, boxTop] : {std::pair(0, 1), std::pair(25, 6)}) {
        const auto row = [&](const char *name, QPoint point, const char *unchecked,
                             const char *checked, const char *mixed) {
            QTest::addRow("height %d, %s", itemHeight, name)
                << itemHeight << boxTop << point << QString::fromLatin1(unchecked)
                << QString::fromLatin1(checked) << QString::fromLatin1(mixed);
        };
        row("left margin", QPoint(-1, 4), "key", "key", "key");
        row("above the box", QPoint(6, -1), "key", "key", "key");
        row("frame top left", QPoint(0, 0), "frame", "frame", "frame");
        row("frame bottom right", QPoint(13, 13), "frame", "frame", "frame");
        row("inside top left", QPoint(1, 1), "window", "window", "window");
        row("right of the box", QPoint(15, 4), "tree", "tree", "tree");
        row("tick, first column top", QPoint(3, 5), "window", "highlight", "highlight");
        row("above the tick", QPoint(3, 4), "window", "window", "highlight");
        row("tick, lowest pixel", QPoint(5, 9), "window", "highlight", "highlight");
        row("tick, last column top", QPoint(9, 3), "window", "highlight", "highlight");
        row("below the tick's last column", QPoint(9, 6), "window", "window", "highlight");
        row("mixed square, bottom right", QPoint(10, 10), "window", "window", "highlight");
        row("outside the mixed square", QPoint(11, 11), "window", "window", "window");
    }
}

void TstRzCheckTree::classicCheckImages()
{
    QFETCH(int, itemHeight);
    QFETCH(int, boxTop);
    QFETCH(QPoint, point);
    QFETCH(QString, unchecked);
    QFETCH(QString, checked);
    QFETCH(QString, mixed);

    TRzCheckTree tree;
    QPalette palette = tree.palette();
    palette.setColor(QPalette::Base, treeColor);
    tree.setPalette(palette);
    tree.SetThemedCheckImages(false);
    tree.SetFrameColor(frameColor);
    tree.SetHighlightColor(highlightColor);
    tree.SetItemHeight(itemHeight);

    const QHash<QString, QColor> colours{
        {QStringLiteral("key"), QColor(0, 0, 0, 0)},
        {QStringLiteral("frame"), frameColor},
        {QStringLiteral("window"), QApplication::palette().color(QPalette::Active, QPalette::Base)},
        {QStringLiteral("tree"), treeColor},
        {QStringLiteral("highlight"), highlightColor},
    };
    const int height = qMax(16, itemHeight);
    const QPoint pixel = point + QPoint(2, boxTop);
    QCOMPARE(tree.CheckImages().size(), 4);
    QCOMPARE(tree.CheckImages()[0].toImage(), tree.CheckImages()[1].toImage());
    const QString expected[] = {unchecked, unchecked, checked, mixed};
    for (int state = 1; state <= 3; ++state) {
        const QImage image = tree.CheckImages()[state].toImage();
        QCOMPARE(image.size(), QSize(20, height));
        const QColor actual = image.pixelColor(pixel);
        const QColor wanted = colours.value(expected[state]);
        QVERIFY2(actual == wanted || (wanted.alpha() == 0 && actual.alpha() == 0),
                 qPrintable(QStringLiteral("state %1: %2, expected %3")
                                .arg(state)
                                .arg(actual.name(QColor::HexArgb), expected[state])));
    }
}

void TstRzCheckTree::rowsShowTheirCheckImage()
{
    TRzCheckTree tree;
    tree.SetThemedCheckImages(false);
    tree.SetFrameColor(frameColor);
    tree.SetHighlightColor(highlightColor);
    tree.Items().Add(QStringLiteral("checked"));
    tree.Items().Add(QStringLiteral("unknown"));
    tree.SetItemState(0, csChecked);
    tree.SetItemState(1, csUnknown);
    tree.resize(200, 100);

    const QImage shot = tree.viewport()->grab().toImage();
    // Each row shows its image in the cell left of the text, centred on the row's height.
    const auto boxOrigin = [&](int index) {
        const QRect row = tree.visualRect(itemAt(tree, index));
        return row.topLeft() + QPoint(2, (row.height() - 16) / 2 + 1);
    };
    QCOMPARE(shot.pixelColor(boxOrigin(0)), frameColor);
    QCOMPARE(shot.pixelColor(boxOrigin(0) + QPoint(3, 5)), highlightColor);
    QVERIFY(shot.pixelColor(boxOrigin(1)) != frameColor); // no check box for unknown
}

void TstRzCheckTree::imagesFollowColoursAndStyle()
{
    TRzCheckTree tree;
    QCOMPARE(tree.FrameColor(), tree.palette().color(QPalette::Active, QPalette::Dark));
    QCOMPARE(tree.HighlightColor(), tree.palette().color(QPalette::Active, QPalette::Highlight));
    QVERIFY(tree.ThemedCheckImages()); // the offscreen platform's style is not "windows"
    const auto image = [&](int state) { return tree.CheckImages()[state].toImage(); };

    // Themed images: the style's indicator in its three states, in the 20 x 16 cell.
    QCOMPARE(image(1).size(), QSize(20, 16));
    QVERIFY(image(1) != image(2));
    QVERIFY(image(2) != image(3));
    QVERIFY(image(1) != image(3));

    tree.SetThemedCheckImages(false);
    const QPoint tick(2 + 3, 1 + 5);
    QCOMPARE(image(2).pixelColor(tick), tree.HighlightColor());
    tree.SetHighlightColor(highlightColor);
    QCOMPARE(image(2).pixelColor(tick), highlightColor);
    tree.SetHighlightColor(QColor()); // back to the palette's
    QCOMPARE(image(2).pixelColor(tick),
             tree.palette().color(QPalette::Active, QPalette::Highlight));

    QPalette palette = tree.palette();
    palette.setColor(QPalette::Base, treeColor);
    palette.setColor(QPalette::Dark, frameColor);
    tree.setPalette(palette);
    QCOMPARE(image(1).pixelColor(QPoint(17, 8)), treeColor);
    QCOMPARE(image(1).pixelColor(QPoint(2, 1)), frameColor);

    // A tree made under the plain "windows" style uses the classic images.
    QStyle *windowsStyle = QStyleFactory::create(QStringLiteral("Windows"));
    QVERIFY(windowsStyle);
    const QString previousStyle = QApplication::style()->name();
    QApplication::setStyle(windowsStyle);
    const bool themedUnderWindows = TRzCheckTree().ThemedCheckImages();
    QApplication::setStyle(previousStyle);
    QVERIFY(!themedUnderWindows);
}

void TstRzCheckTree::boxesShowTheirStateUnderEveryStyle_data()
{
    QTest::addColumn<QString>("style");
    // Every style this system offers: on Windows also its native one, which draws through the
    // system's themes.
    for (const QString &style : QStyleFactory::keys())
        QTest::newRow(qPrintable(style)) << style;
}

// What the user sees: the tree as painted on screen shows a different box for each state.
void TstRzCheckTree::boxesShowTheirStateUnderEveryStyle()
{
    QFETCH(QString, style);
    const QString previousStyle = QApplication::style()->name();
    QApplication::setStyle(style);
    std::optional<QImage> boxes[4];
    {
        TRzCheckTree tree;
        for (const char *caption : {"unchecked", "checked", "partly"})
            tree.Items().Add(QString::fromLatin1(caption));
        tree.SetItemState(0, csUnchecked);
        tree.SetItemState(1, csChecked);
        tree.SetItemState(2, csPartiallyChecked);
        tree.resize(200, 100);
        const QImage shot = tree.viewport()->grab().toImage();
        for (int index = 0; index < 3; ++index) {
            const QRect row = tree.visualRect(itemAt(tree, index));
            boxes[tree.GetItemState(index)]
                = shot.copy(QRect(row.left(), row.top(), 20, row.height()));
        }
    }
    QApplication::setStyle(previousStyle);
    QVERIFY(boxes[csUnchecked] != boxes[csChecked]);
    QVERIFY(boxes[csChecked] != boxes[csPartiallyChecked]);
    QVERIFY(boxes[csUnchecked] != boxes[csPartiallyChecked]);
    // An empty box is one colour inside its frame; a checked one carries a mark.
    const auto colours = [](const QImage &box) {
        QSet<QRgb> seen;
        for (int y = 4; y < box.height() - 4; ++y) {
            for (int x = 6; x < 14; ++x)
                seen.insert(box.pixel(x, y));
        }
        return seen.size();
    };
    QVERIFY2(colours(*boxes[csChecked]) > colours(*boxes[csUnchecked]),
             qPrintable(QStringLiteral("no mark in the checked box under %1").arg(style)));
}

void TstRzCheckTree::itemHeightSetsRowsAndImages()
{
    TRzCheckTree tree;
    tree.Items().Add(QStringLiteral("A"));
    tree.Items().Add(QStringLiteral("B"));
    tree.resize(200, 150);
    QVERIFY(tree.visualRect(itemAt(tree, 1)).height() >= 16);

    tree.SetItemHeight(30);
    QCOMPARE(tree.visualRect(itemAt(tree, 1)).height(), 30);
    QCOMPARE(tree.visualRect(itemAt(tree, 1)).top(), 30);
    QCOMPARE(tree.CheckImages()[2].size(), QSize(20, 30));
    QCOMPARE(tree.CheckArea(itemAt(tree, 1)).height(), 30);
}

void TstRzCheckTree::rowsFollowNodes_data()
{
    QTest::addColumn<bool>("bulk");
    QTest::newRow("one change at a time") << false;
    QTest::newRow("inside a bulk update") << true;
}

void TstRzCheckTree::rowsFollowNodes()
{
    QFETCH(bool, bulk);
    TRzCheckTree tree;
    // Fails the test when the view's model reports a change other than as it happens.
    QAbstractItemModelTester tester(tree.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    TCheckTreeModel &items = tree.Items();
    TCheckTreeNode *a = items.Add(QStringLiteral("A"));
    TCheckTreeNode *b = items.AddChild(a, QStringLiteral("B"));
    items.AddChild(b, QStringLiteral("B1"));
    items.AddChild(a, QStringLiteral("C"));
    tree.expandAll();
    tree.setCurrentIndex(tree.IndexOf(b));
    std::optional<TCheckTreeUpdate> update;
    if (bulk)
        update.emplace(items);
    items.Add(QStringLiteral("D"));
    TCheckTreeNode *x = items.Add(QStringLiteral("X"));
    items.SetText(a, QStringLiteral("A2"));
    items.SetItemState(2, csChecked); // B1
    items.Delete(b);
    items.Delete(x);
    items.AddChild(a, QStringLiteral("E"));
    items.SetItemState(0, csChecked);
    update.reset();

    // Texts by depth with their shown state; a row whose node does not lead back to it is
    // marked with "!".
    const auto texts = [&] {
        QStringList result;
        const std::function<void(const QModelIndex &, int)> walk
            = [&](const QModelIndex &parent, int depth) {
                  for (int row = 0; row < tree.model()->rowCount(parent); ++row) {
                      const QModelIndex index = tree.model()->index(row, 0, parent);
                      const TCheckTreeNode *node = TRzCheckTree::NodeOf(index);
                      const bool linked = node && tree.IndexOf(node) == index;
                      result << QString(depth, u'.') + index.data().toString()
                              + QString::number(index.data(TRzCheckTree::StateIndexRole).toInt())
                              + QString(linked ? 0 : 1, u'!');
                      walk(index, depth + 1);
                  }
              };
        walk({}, 0);
        return result.join(u' ');
    };
    QCOMPARE(texts(), u"A22 .C2 .E2 D1");
    QCOMPARE(items.Count(), 4);
    QCOMPARE(tree.GetItemState(2), csChecked);
    QCOMPARE(tree.isExpanded(tree.IndexOf(a)), !bulk); // a bulk update starts the rows anew

    if (bulk)
        update.emplace(items);
    items.Clear();
    items.Add(QStringLiteral("F"));
    update.reset();
    QCOMPARE(texts(), u"F1");
}

void TstRzCheckTree::cascadeReachesViewInOneRangePerParent_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("ranges"); // parent: first row-last row, in the order reported

    QTest::newRow("user toggles a group") << "toggle A"
                                          << "A: 0-49, top: 0-0";
    QTest::newRow("one member changes") << "set 4"
                                        << "A: 3-3, top: 0-0";
    QTest::newRow("two groups in a bulk update") << "bulk"
                                                 << "A: 0-49, B: 0-49, top: 0-1";
    QTest::newRow("every node at once") << "all"
                                        << "A: 0-49, B: 0-49, top: 0-1";
}

// Unchecking a group of many members reaches the view as one changed range of rows per parent,
// not as one change per node.
void TstRzCheckTree::cascadeReachesViewInOneRangePerParent()
{
    QFETCH(QString, change);
    QFETCH(QString, ranges);
    TRzCheckTree tree;
    TCheckTreeModel &items = tree.Items();
    for (const char *group : {"A", "B"}) {
        TCheckTreeNode *node = items.Add(QString::fromLatin1(group));
        for (int i = 0; i < 50; ++i)
            items.AddChild(node, QString::number(i));
        items.ChangeNodeCheckState(node, csChecked);
    }
    QSignalSpy changes(tree.model(), &QAbstractItemModel::dataChanged);

    if (change == u"toggle A") {
        items.ToggleCheckState(items.TopLevelItem(0));
    } else if (change == u"set 4") {
        items.SetItemState(4, csUnchecked);
    } else if (change == u"bulk") {
        const TCheckTreeUpdate update(items);
        items.SetItemState(0, csUnchecked);
        items.SetItemState(51, csUnchecked);
    } else {
        items.SetAllNodes(csUnchecked);
    }

    QStringList seen;
    for (const QList<QVariant> &signal : std::as_const(changes)) {
        const auto first = signal[0].value<QModelIndex>(), last = signal[1].value<QModelIndex>();
        QCOMPARE(first.parent(), last.parent());
        seen << (first.parent().isValid() ? first.parent().data().toString() : u"top"_qs)
                + u": %1-%2"_qs.arg(first.row()).arg(last.row());
    }
    seen.sort();
    QCOMPARE(seen.join(u", "), ranges);
    const QModelIndex member3 = tree.model()->index(3, 0, tree.model()->index(0, 0));
    QCOMPARE(member3.data(Qt::CheckStateRole), QVariant(Qt::Unchecked));
}

void TstRzCheckTree::cutCaptionShowsWholeAsTooltip_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("tooltip");
    QTest::newRow("fits: no tooltip") << QStringLiteral("Turm") << false;
    QTest::newRow("cut: the whole caption")
        << QStringLiteral("Abgestellte Flugzeuge auf dem Vorfeld vor dem Hangar Nord") << true;
}

void TstRzCheckTree::cutCaptionShowsWholeAsTooltip()
{
    QFETCH(QString, caption);
    QFETCH(bool, tooltip);
    TRzCheckTree tree;
    tree.Items().Add(caption);
    tree.SetItemState(0, csChecked);
    tree.resize(160, 100);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QToolTip::hideText();
    const QRect row = tree.visualRect(itemAt(tree, 0));
    const QPoint at = row.center();
    QHelpEvent help(QEvent::ToolTip, at, tree.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(tree.viewport(), &help);
    QCOMPARE(QToolTip::isVisible(), tooltip);
    QCOMPARE(QToolTip::text(), tooltip ? caption : QString());
    QToolTip::hideText();
}

QTEST_MAIN(TstRzCheckTree)
#include "tst_rzchecktree.moc"
