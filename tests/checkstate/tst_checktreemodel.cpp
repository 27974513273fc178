#include "checkstate/checktreemodel.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

#if defined(__SANITIZE_ADDRESS__)
#define SC_ASAN
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SC_ASAN
#endif
#endif
#ifdef SC_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

// A tree written as "A=2; .B=1; ..C; .D=0": one node a entry, one dot a level, an optional
// state index (no "=" keeps the node without a state). Text() holds the name.
struct TreeFixture
{
    TCheckTreeModel model;
    QHash<QString, TCheckTreeNode *> nodes;
    QStringList vetoes; // "B=1": the change of B to csUnchecked is refused
    QStringList events;

    explicit TreeFixture(const QString &tree)
    {
        QList<TCheckTreeNode *> path;
        for (QString entry : tree.split(u';', Qt::SkipEmptyParts)) {
            entry = entry.trimmed();
            qsizetype depth = 0;
            while (entry.at(depth) == u'.')
                ++depth;
            const QStringList parts = entry.mid(depth).split(u'=');
            path.resize(depth);
            TCheckTreeNode *node
                = depth == 0 ? model.Add(parts[0]) : model.AddChild(path.last(), parts[0]);
            path.append(node);
            nodes.insert(parts[0], node);
            if (parts.size() > 1)
                model.ForceCheckState(node, TRzCheckState(parts[1].toInt()));
        }
        model.OnStateChanging = [this](TCheckTreeNode *node, TRzCheckState state, bool &allow) {
            if (vetoes.contains(node->Text() + u'=' + QString::number(state)))
                allow = false;
        };
        model.OnStateChange = [this](TCheckTreeNode *node, TRzCheckState state) {
            events << node->Text() + u'=' + QString::number(state);
        };
        model.OnUpdateChildren = [this] { events << QStringLiteral("U"); };
        model.OnCascadeComplete
            = [this](TCheckTreeNode *node) { events << QStringLiteral("done ") + node->Text(); };
    }

    // The tree in the fixture's own notation; a node without a state has no "=".
    QString states() const
    {
        QStringList entries;
        for (int i = 0; i < model.Count(); ++i) {
            const TCheckTreeNode *node = model.Item(i);
            QString entry = QString(node->Level(), u'.') + node->Text();
            if (model.GetItemState(i) != 255)
                entry += u'=' + QString::number(model.GetItemState(i));
            entries << entry;
        }
        return entries.join(u"; ");
    }

    // Runs "toggle X", "set X n", "force X n", "delete X", "parents X", "recompute X",
    // "all n" or "normalise".
    void run(const QString &action)
    {
        const QStringList words = action.split(u' ');
        const QString &verb = words[0];
        TCheckTreeNode *node = words.size() > 1 ? nodes.value(words[1]) : nullptr;
        const auto state = [&](int word) { return TRzCheckState(words[word].toInt()); };
        if (verb == u"toggle")
            model.ToggleCheckState(node);
        else if (verb == u"set")
            model.SetItemState(model.AbsoluteIndex(node), state(2));
        else if (verb == u"force")
            model.ForceCheckState(node, state(2));
        else if (verb == u"delete")
            model.Delete(node);
        else if (verb == u"parents")
            model.UpdateParents(node);
        else if (verb == u"recompute")
            model.UpdateChildrenCascadingStates(node);
        else if (verb == u"all")
            model.SetAllNodes(state(1));
        else if (verb == u"normalise")
            model.NormaliseStates();
        else
            QFAIL("unknown action");
    }
};

// Builds the same tree in every lookup test: roots with no, flat and nested children.
void buildLookupTree(TCheckTreeModel &model)
{
    for (int r = 0; r < 6; ++r) {
        TCheckTreeNode *root = model.Add(QStringLiteral("r%1").arg(r));
        for (int c = 0; c < r % 3; ++c) {
            TCheckTreeNode *child = model.AddChild(root, QStringLiteral("r%1c%2").arg(r).arg(c));
            if (r == 2 || r == 4)
                model.AddChild(child, child->Text() + u'g');
        }
    }
}

QList<TCheckTreeNode *> preOrder(const TCheckTreeModel &model)
{
    QList<TCheckTreeNode *> result;
    const std::function<void(TCheckTreeNode *)> visit = [&](TCheckTreeNode *node) {
        result << node;
        for (int i = 0; i < node->Count(); ++i)
            visit(node->Item(i));
    };
    for (int i = 0; i < model.TopLevelCount(); ++i)
        visit(model.TopLevelItem(i));
    return result;
}

QList<int> visitOrder(const QString &order, int count)
{
    QList<int> indices(count);
    std::iota(indices.begin(), indices.end(), 0);
    if (order == u"descending")
        std::reverse(indices.begin(), indices.end());
    else if (order == u"random")
        std::shuffle(indices.begin(), indices.end(), QRandomGenerator(count));
    return indices;
}

} // namespace

class TstCheckTreeModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cascades_data();
    void cascades();
    void observerMirrorsEveryChange();
    void lookupByAbsoluteIndex_data();
    void lookupByAbsoluteIndex();
    void invalidIndexChangesNothing_data();
    void invalidIndexChangesNothing();
    void entriesStayWithTheirNodes_data();
    void entriesStayWithTheirNodes();
    void deletedNodesArePoisoned();
};

void TstCheckTreeModel::cascades_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("expectedEvents");

    // Events: "B=2" a reported change, "U" the end of a downward cascade, "done B" the end of a
    // toggle. A leaving node is still linked while its parent cascades, so it is reported too.
    struct Row
    {
        const char *name, *tree, *options, *action, *expected, *expectedEvents;
    };
    const Row rows[] = {
        // Programmatic changes.
        {"set checked on a parent of two stateless children", "A; .B; .C; D", "", "set A 2",
         "A=2; .B=2; .C=2; D", "A=2, B=2, C=2, U"},
        {"set the state a node already has fires nothing", "A=2; .B=1", "", "set A 2", "A=2; .B=1",
         ""},
        {"set partially checked unchecks the subtree and recomputes the parents",
         "R=1; .A=1; ..B=2; ..C=2; .D=1", "", "set A 3", "R=3; .A=3; ..B=1; ..C=1; .D=1",
         "A=3, B=1, C=1, U, R=3"},
        {"set unknown unchecks the subtree", "A=2; .B=2", "", "set A 0", "A=0; .B=1",
         "A=0, B=1, U"},
        {"set a stateless node to unknown", "A; .B=2", "", "set A 0", "A=0; .B=1", "A=0, B=1, U"},
        // The user's toggle.
        {"unchecking one of two checked children", "A=2; .B=2; .C=2", "", "toggle B",
         "A=3; .B=1; .C=2", "B=1, U, A=3, done B"},
        {"unchecking the other one as well", "A=3; .B=1; .C=2", "", "toggle C", "A=1; .B=1; .C=1",
         "C=1, U, A=1, done C"},
        {"checking the parent checks both children", "A=1; .B=1; .C=1", "", "toggle A",
         "A=2; .B=2; .C=2", "A=2, B=2, C=2, U, done A"},
        {"toggling a partial node checks its whole subtree", "A=3; .B=1; ..C=1; .D=2", "",
         "toggle A", "A=2; .B=2; ..C=2; .D=2", "A=2, B=2, C=2, U, done A"},
        {"toggling a stateless node checks it", "A; .B", "", "toggle B", "A=2; .B=2",
         "B=2, U, A=2, done B"},
        {"toggling an unknown node does nothing", "A=0; .B=1", "", "toggle A", "A=0; .B=1", ""},
        {"unknown siblings are not counted", "A=1; .B=1; .C=0", "", "toggle B", "A=2; .B=2; .C=0",
         "B=2, U, A=2, done B"},
        {"three levels: a checked grandchild makes its ancestors partial",
         "A=1; .B=1; ..C=1; ..D=1; .E=1", "", "toggle C", "A=3; .B=3; ..C=2; ..D=1; .E=1",
         "C=2, U, B=3, A=3, done C"},
        {"the upward walk goes on above a level that kept its state",
         "R=1; .A=3; ..B=1; ..C=2; ..D=1", "", "toggle B", "R=3; .A=3; ..B=2; ..C=2; ..D=1",
         "B=2, U, R=3, done B"},
        {"without cascades only the node changes", "A=1; .B=1; .C=1", "nocascade", "toggle B",
         "A=1; .B=2; .C=1", "B=2, done B"},
        // Refused changes and silent mode.
        {"refused uncheck of a checked node checks its children", "A=2; .B=1; .C=3", "veto:A=1",
         "toggle A", "A=2; .B=2; .C=2", "B=2, C=2, U, done A"},
        {"refused check of a partial node unchecks its children", "A=3; .B=2; .C=1", "veto:A=2",
         "toggle A", "A=3; .B=1; .C=1", "B=1, U, done A"},
        {"a refused child keeps its state and the cascade goes on", "A=1; .B=1; .C=1", "veto:B=2",
         "toggle A", "A=2; .B=1; .C=2", "A=2, C=2, U, done A"},
        {"silent changes ask nobody and report nothing", "A=1; .B=1", "silent veto:B=2", "toggle A",
         "A=2; .B=2", "U, done A"},
        // Upward recomputation and subtree recomputation.
        {"only unknown children make the parent unchecked", "A=2; .B=0; .C=0", "", "parents B",
         "A=1; .B=0; .C=0", "A=1"},
        {"one checked and one unknown child make the parent checked", "A=1; .B=2; .C=0", "",
         "parents C", "A=2; .B=2; .C=0", "A=2"},
        {"recomputing a subtree from its leaves", "A=1; .B=1; ..C=2; .D=1", "", "recompute A",
         "A=3; .B=2; ..C=2; .D=1", "U, B=2, A=3, U"},
        {"recomputing is off without cascades", "A=1; .B=1; ..C=2", "nocascade", "recompute A",
         "A=1; .B=1; ..C=2", ""},
        // Removal.
        {"removing the only child of a checked parent", "A=2; .B=2", "", "delete B", "A=1",
         "A=1, B=1, U"},
        {"removing the unchecked child of a partial parent", "A=3; .B=2; .C=1", "", "delete C",
         "A=2; .B=2", "A=2, C=2, U"},
        {"descendants leave without cascades", "A=3; .B=2; ..C=2; .D=1", "", "delete B",
         "A=1; .D=1", "A=1, B=1, C=1, U"},
        {"removing without cascades leaves the parent", "A=2; .B=2", "nocascade", "delete B", "A=2",
         ""},
        // Direct storing.
        {"force stores without cascade", "A=1; .B=1", "", "force A 2", "A=2; .B=1", "A=2"},
        {"force in silent mode reports nothing", "A=1; .B=1", "silent", "force A 2", "A=2; .B=1",
         ""},
        {"set all nodes stores without events", "A=1; .B; C=3", "", "all 2", "A=2; .B=2; C=2", ""},
        {"normalising unchecks stateless nodes only", "A; .B=2; .C=0; D", "", "normalise",
         "A=1; .B=2; .C=0; D=1", ""},
    };
    for (const Row &row : rows) {
        QTest::newRow(row.name) << row.tree << row.options << row.action << row.expected
                                << row.expectedEvents;
    }
}

void TstCheckTreeModel::cascades()
{
    QFETCH(QString, tree);
    QFETCH(QString, options);
    QFETCH(QString, action);
    QFETCH(QString, expected);
    QFETCH(QString, expectedEvents);

    TreeFixture fixture(tree);
    QCOMPARE(fixture.states(), tree);
    for (const QString &option : options.split(u' ', Qt::SkipEmptyParts)) {
        if (option == u"nocascade")
            fixture.model.SetCascadeChecks(false);
        else if (option == u"silent")
            fixture.model.SetSilentCheckChanges(true);
        else if (option.startsWith(u"veto:"))
            fixture.vetoes << option.mid(5);
    }
    fixture.model.SetChangingState(true);

    fixture.run(action);

    QCOMPARE(fixture.states(), expected);
    QCOMPARE(fixture.events.join(u", "), expectedEvents);
    if (action.startsWith(u"toggle"))
        QVERIFY(!fixture.model.ChangingState());
}

void TstCheckTreeModel::observerMirrorsEveryChange()
{
    struct Recorder : TCheckTreeObserver
    {
        TCheckTreeModel *model = nullptr;
        QStringList calls;
        void NodeAdding(TCheckTreeNode *parent, int index) override
        {
            // Not linked yet: the parent still has index children.
            QCOMPARE(parent ? parent->Count() : model->TopLevelCount(), index);
            calls << QStringLiteral("adding ") + (parent ? parent->Text() : QString())
                    + QString::number(index);
        }
        void NodeAdded(TCheckTreeNode *node) override
        {
            calls << QStringLiteral("added ") + node->Text();
        }
        void NodeRemoving(TCheckTreeNode *node) override
        {
            // Still linked, so that a view can find the node's row.
            QCOMPARE(node->Parent()->Item(node->Index()), node);
            calls << QStringLiteral("removing ") + node->Text();
        }
        void NodeRemoved() override { calls << QStringLiteral("removed"); }
        void NodesClearing() override
        {
            QVERIFY(model->Count() > 0);
            calls << QStringLiteral("clearing");
        }
        void NodesCleared() override
        {
            QCOMPARE(model->Count(), 0);
            calls << QStringLiteral("cleared");
        }
        void NodeTextChanged(TCheckTreeNode *node) override
        {
            calls << QStringLiteral("text ") + node->Text();
        }
        void NodeStateChanged(TCheckTreeNode *node) override
        {
            calls << node->Text() + u'=' + QString::number(node->StateIndex());
        }
        void StatesSettled() override { calls << QStringLiteral("settled"); }
        void UpdateStarted() override { calls << QStringLiteral("begin"); }
        void UpdateEnded() override { calls << QStringLiteral("end"); }
    } recorder;

    TCheckTreeModel model;
    recorder.model = &model;
    model.SetObserver(&recorder);
    model.BeginUpdate();
    TCheckTreeNode *a = model.Add(QStringLiteral("A"));
    {
        const TCheckTreeUpdate nested(model); // only the outermost bracket is reported
        TCheckTreeNode *b = model.AddChild(a, QStringLiteral("B"));
        model.AddChild(b, QStringLiteral("C"));
    }
    model.EndUpdate();
    model.EndUpdate(); // unbalanced: ignored
    TCheckTreeNode *b = a->Item(0);
    model.SetText(a, QStringLiteral("A2"));
    model.NormaliseStates(); // views show a node without a state unchecked already
    model.SetItemState(0, csChecked);
    // A handler's change inside a cascade belongs to the same batch.
    model.OnStateChange = [&](TCheckTreeNode *node, TRzCheckState) {
        if (node == b)
            model.ForceCheckState(a, csPartiallyChecked);
    };
    model.SetItemState(0, csUnchecked);
    model.OnStateChange = nullptr;
    model.SetItemState(0, csUnchecked); // back from the handler's partly checked state
    model.ChangeNodeCheckState(a, csUnchecked); // no change: nothing to report
    model.Delete(b);
    model.Clear();

    QCOMPARE(recorder.calls.join(u", "),
             u"begin, adding 0, added A, adding A0, added B, adding B0, added C, end, "
             u"text A2, A2=2, B=2, C=2, settled, A2=1, B=1, A2=3, C=1, settled, "
             u"A2=1, settled, removing B, removed, clearing, cleared");
}

void TstCheckTreeModel::lookupByAbsoluteIndex_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("change");

    for (const char *order : {"ascending", "descending", "random"}) {
        for (const char *change :
             {"none", "child inserted in the middle", "root deleted in the middle",
              "grandchild deleted", "appended at the end", "cleared and rebuilt"}) {
            QTest::addRow("%s, %s", order, change)
                << QString::fromLatin1(order) << QString::fromLatin1(change);
        }
    }
}

void TstCheckTreeModel::lookupByAbsoluteIndex()
{
    QFETCH(QString, order);
    QFETCH(QString, change);

    TCheckTreeModel model;
    buildLookupTree(model);
    for (int i : visitOrder(order, model.Count()))
        QCOMPARE(model.Item(i), preOrder(model).at(i));

    // The lookup keeps the node found last: leave it on a node at or behind the change, where a
    // kept node would be stale or freed, and read that index first afterwards.
    int probe = 8; // r3, behind the changes in the middle
    if (change == u"child inserted in the middle") {
        model.Item(probe);
        model.AddChild(model.TopLevelItem(1), QStringLiteral("new"));
    } else if (change == u"root deleted in the middle") {
        model.Item(probe);
        model.Delete(model.TopLevelItem(2));
    } else if (change == u"grandchild deleted") {
        probe = 11; // the grandchild itself
        model.Item(probe);
        model.Delete(model.TopLevelItem(4)->Item(0)->Item(0));
    } else if (change == u"appended at the end") {
        probe = model.Count() - 1;
        model.Item(probe);
        TCheckTreeNode *last = model.TopLevelItem(model.TopLevelCount() - 1);
        model.AddChild(model.AddChild(last, QStringLiteral("new")), QStringLiteral("newer"));
        model.Add(QStringLiteral("newest"));
    } else if (change == u"cleared and rebuilt") {
        model.Item(probe);
        model.Clear();
        model.Add(QStringLiteral("first"));
        buildLookupTree(model);
    } else {
        model.Item(probe);
    }
    QCOMPARE(model.Item(probe), preOrder(model).at(probe));

    const QList<TCheckTreeNode *> expected = preOrder(model);
    QCOMPARE(model.Count(), expected.size());
    for (int i : visitOrder(order, model.Count())) {
        QCOMPARE(model.Item(i), expected.at(i));
        QCOMPARE(model.Item(i), expected.at(i)); // a repeated read hits the kept node
    }
    for (int i : visitOrder(order, model.Count()))
        QCOMPARE(model.AbsoluteIndex(expected.at(i)), i);
}

void TstCheckTreeModel::invalidIndexChangesNothing_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<int>("index");

    QTest::newRow("negative") << "A=2; .B=2" << -1;
    QTest::newRow("one past the last") << "A=2; .B=2" << 2;
    QTest::newRow("far past the last") << "A=2; .B=2" << 1000;
    QTest::newRow("empty tree") << "" << 0;
}

void TstCheckTreeModel::invalidIndexChangesNothing()
{
    QFETCH(QString, tree);
    QFETCH(int, index);

    TreeFixture fixture(tree);
    const auto expectError = [](const auto &call) {
        try {
            call();
        } catch (const ECheckTreeError &error) {
            return QString::fromUtf8(error.what());
        }
        return QString();
    };

    QCOMPARE(expectError([&] { fixture.model.GetItemState(index); }), u"Ungültiger Index");
    QCOMPARE(expectError([&] { fixture.model.SetItemState(index, csUnchecked); }),
             u"Ungültiger Index");
    QCOMPARE(expectError([&] { fixture.model.Item(index); }), u"Ungültiger Index");
    QCOMPARE(fixture.states(), tree);
    QVERIFY(fixture.events.isEmpty());
}

void TstCheckTreeModel::entriesStayWithTheirNodes_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("roots");

    QTest::newRow("none") << "none" << 1500;
    QTest::newRow("roots deleted") << "roots deleted" << 1500;
    QTest::newRow("children deleted") << "children deleted" << 1500;
    QTest::newRow("cleared and rebuilt") << "cleared and rebuilt" << 1500;
    // Enough nodes and entries that their blocks fill more than one slab of large pages.
    QTest::newRow("large tree") << "none" << 75000;
    QTest::newRow("large tree cleared and rebuilt") << "cleared and rebuilt" << 75000;
}

void TstCheckTreeModel::entriesStayWithTheirNodes()
{
    QFETCH(QString, change);
    QFETCH(int, roots);

    // More roots than one block of entries holds; every third root has two children, the first
    // of them with an entry too. Each entry is its node's text.
    TCheckTreeModel model;
    const auto build = [&model, roots](const QString &prefix) {
        for (int r = 0; r < roots; ++r) {
            const QString text = prefix + QString::number(r);
            TCheckTreeNode *root = model.Add(text, QString(text));
            if (r % 3 == 0) {
                model.AddChild(root, text + u'a', text + u'a');
                model.AddChild(root, text + u'b');
            }
        }
    };
    build(QStringLiteral("r"));
    if (change == u"roots deleted") {
        for (int r = model.TopLevelCount() - 2; r >= 0; r -= 7)
            model.Delete(model.TopLevelItem(r));
    } else if (change == u"children deleted") {
        for (int r = 0; r < model.TopLevelCount(); r += 3)
            model.Delete(model.TopLevelItem(r)->Item(0));
    } else if (change == u"cleared and rebuilt") {
        model.Clear();
        build(QStringLiteral("s"));
    }

    int withEntry = 0;
    for (int i = 0; i < model.Count(); ++i) {
        const TCheckTreeNode *node = model.Item(i);
        QVERIFY(!node->DataAs<int>()); // the entries are of another type
        const QString *entry = node->DataAs<QString>();
        if (node->Text().endsWith(u'b')) {
            QVERIFY(!entry);
            continue;
        }
        QVERIFY2(entry, qPrintable(node->Text()));
        QCOMPARE(*entry, node->Text());
        ++withEntry;
    }
    QVERIFY(withEntry > 1024);
}

// Nodes live in blocks of a pool; a deleted node's place must still count as freed memory for
// AddressSanitizer, so that a use of it is reported.
void TstCheckTreeModel::deletedNodesArePoisoned()
{
#ifdef SC_ASAN
    TCheckTreeModel model;
    TCheckTreeNode *root = model.Add(QStringLiteral("r"));
    TCheckTreeNode *child = model.AddChild(root, QStringLiteral("c"));
    TCheckTreeNode *kept = model.Add(QStringLiteral("k"));
    model.Delete(child);
    QVERIFY(__asan_address_is_poisoned(child));
    QVERIFY(!__asan_address_is_poisoned(root));
    TCheckTreeNode *reused = model.AddChild(root, QStringLiteral("n"));
    QVERIFY(!__asan_address_is_poisoned(reused));
    model.Clear();
    for (const TCheckTreeNode *node : {root, kept, reused})
        QVERIFY(__asan_address_is_poisoned(node));
#else
    QSKIP("only a build with AddressSanitizer poisons freed places");
#endif
}

QTEST_GUILESS_MAIN(TstCheckTreeModel)
#include "tst_checktreemodel.moc"
