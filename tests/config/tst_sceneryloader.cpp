#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/sceneryloader.h"
#include "config/scenobj.h"
#include "tests/support/workedexample.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One line per node in absolute-index order: indentation by level, text, "=" and the state
// (255 for a node that has none yet).
QStringList dump(const TCheckTreeModel &tree)
{
    QStringList lines;
    for (int i = 0; i < tree.Count(); ++i) {
        const TCheckTreeNode *node = tree.Item(i);
        lines << QString(node->Level() * 2, u' ') + node->Text() + u" ="_s
                + QString::number(tree.GetItemState(i));
    }
    return lines;
}

} // namespace

class TestSceneryLoader : public QObject
{
    Q_OBJECT

private:
    QString writeControlFile(const QByteArray &text)
    {
        const QString path = FDir.filePath(QStringLiteral("XXXX.ini"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the fixture");
        // Windows-1252 with CRLF, as control files are shipped.
        file.write(QByteArray(text).replace("\n", "\r\n"));
        return path;
    }

    QTemporaryDir FDir;

private Q_SLOTS:
    void loadsTree_data();
    void loadsTree();
    void attachesEntriesAndReadsSettings();
    void entryCaptionIsTheListedOne_data();
    void entryCaptionIsTheListedOne();
    void entriesWithoutTreeAreTheTreesEntries_data();
    void entriesWithoutTreeAreTheTreesEntries();
    void equalChildCaptionsAreOneCopy();
    void reloadReplacesTree();
    void nodeWithoutStateIsUncheckedOnceNormalised();
};

void TestSceneryLoader::loadsTree_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("expected");

    const QByteArray example = WorkedExampleControlFile.toLatin1();
    QTest::newRow("worked example, German")
        << example << QStringList{u"Hangar Nord =2"_s, u"Tower =1"_s,   u"[Grp] Fahrzeuge =2"_s,
                                  u"  Tankwagen =2"_s, u"  Bus =2"_s,   u"[Sw] Jahreszeit =3"_s,
                                  u"  Sommer =1"_s,    u"  Winter =2"_s};
    const QStringList english{u"Hangar north =2"_s, u"Tower =1"_s,   u"[Grp] Vehicles =2"_s,
                              u"  Tankwagen =2"_s,  u"  Bus =2"_s,   u"[Sw] Season =3"_s,
                              u"  Sommer =1"_s,     u"  Winter =2"_s};
    QTest::newRow("English") << QByteArray(example).replace("Language=german", "Language=english")
                             << english;
    QTest::newRow("ENGLISH in capitals")
        << QByteArray(example).replace("Language=german", "Language= ENGLISH ") << english;
    QTest::newRow("unknown language keeps German and its objects")
        << QByteArray(example).replace("Language=german", "Language=french")
        << QStringList{u"Hangar Nord =2"_s, u"Tower =1"_s,   u"[Grp] Fahrzeuge =2"_s,
                       u"  Tankwagen =2"_s, u"  Bus =2"_s,   u"[Sw] Jahreszeit =3"_s,
                       u"  Sommer =1"_s,    u"  Winter =2"_s};
    // A switch picks exactly the stored alternative; its own box shows one of two.
    QTest::newRow("switch read as 0")
        << QByteArray(example).replace("season=1", "season=0")
        << QStringList{u"Hangar Nord =2"_s, u"Tower =1"_s,   u"[Grp] Fahrzeuge =2"_s,
                       u"  Tankwagen =2"_s, u"  Bus =2"_s,   u"[Sw] Jahreszeit =3"_s,
                       u"  Sommer =2"_s,    u"  Winter =1"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("settings only") << QByteArray("[Settings]\nLanguage=german\n") << QStringList();

    QTest::newRow("umlauts in captions")
        << QString::fromUtf8("[Szenerie]\nhs=Hangar Süd\nbw=Bäume & Straßen\n").toLatin1()
        << QStringList{QString::fromUtf8("Hangar Süd =2"), QString::fromUtf8("Bäume & Straßen =2")};
    QTest::newRow("state values") << QByteArray(
        "[Szenerie]\na=A\nb=B\nc=C\nd=D\ne=E\nf=F\ng=G\nh=H\n"
        "[Checked]\na=0x1\nb=abc\nc=\nd=2\ne=-1\ng=0\nh= 0 \n")
                                  << QStringList{u"A =2"_s,   u"B =2"_s, u"C =2"_s, u"D =255"_s,
                                                 u"E =255"_s, u"F =2"_s, u"G =1"_s, u"H =1"_s};
    QTest::newRow("empty caption is kept")
        << QByteArray("[Szenerie]\nx=\n[Checked]\nx=0\n") << QStringList{u" =1"_s};

    QTest::newRow("group hidden with Show=0")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\nChecked=k\nShow=0\na=A\nb=B\n[Checked]\nk=0\n")
        << QStringList{u"Autos =1"_s};
    QTest::newRow("group hidden with Show in another spelling")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\nChecked=k\nsHOW=0\na=A\n[Checked]\nk=0\n")
        << QStringList{u"Autos =1"_s};
    QTest::newRow("group shown with Show=2")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\nChecked=k\nShow=2\na=A\n")
        << QStringList{u"[Grp] Autos =2"_s, u"  A =2"_s};
    QTest::newRow("group shown with Show=no")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\nShow=no\na=A\n")
        << QStringList{u"[Grp] Autos =2"_s, u"  A =2"_s};
    QTest::newRow("group of only Checked and Show")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\nChecked=k\nShow=1\n")
        << QStringList{u"[Grp] Autos =2"_s};
    QTest::newRow("group section without keys")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\n[Checked]\n") << QStringList{u"Autos =2"_s};
    QTest::newRow("group section missing")
        << QByteArray("[Gruppen]\ng=Autos\n") << QStringList{u"Autos =2"_s};
    QTest::newRow("setting keys in other spelling are members")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\nchecked=k\nshow=1\na=A\n[Checked]\nk=0\n")
        << QStringList{u"[Grp] Autos =1"_s, u"  k =1"_s, u"  1 =1"_s, u"  A =1"_s};
    QTest::newRow("group state 5 leaves it without state")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\nChecked=k\na=A\nb=B\n[Checked]\nk=5\n")
        << QStringList{u"[Grp] Autos =255"_s, u"  A =255"_s, u"  B =255"_s};
    QTest::newRow("group without Checked uses the empty state key")
        << QByteArray("[Gruppen]\ng=Autos\n[g]\na=A\n[Checked]\n=0\n")
        << QStringList{u"[Grp] Autos =1"_s, u"  A =1"_s};

    QTest::newRow("switch with three alternatives")
        << QByteArray("[Schalter]\ns=Boden\n[s]\nChecked=k\nx=X\ny=Y\nz=Z\n[Checked]\nk=0\n")
        << QStringList{u"[Sw] Boden =3"_s, u"  X =2"_s, u"  Y =1"_s, u"  Z =255"_s};
    // Its rows are the alternatives Apply switches: "Checked" in any spelling is none of them.
    QTest::newRow("switch whose Checked key is spelled otherwise")
        << QByteArray("[Schalter]\ns=Boden\n[s]\nchecked=k\nx=X\ny=Y\n[Checked]\nk=0\n")
        << QStringList{u"[Sw] Boden =3"_s, u"  X =2"_s, u"  Y =1"_s};
    QTest::newRow("switch knows no Show key")
        << QByteArray("[Schalter]\ns=Boden\n[s]\nShow=0\nx=X\n")
        << QStringList{u"[Sw] Boden =3"_s, u"  0 =1"_s, u"  X =2"_s};
    QTest::newRow("kinds in fixed order: objects, groups, switches")
        << QByteArray("[Schalter]\ns=S\n[Gruppen]\ng=G\n[Szenerie]\no=O\n")
        << QStringList{u"O =2"_s, u"G =2"_s, u"[Sw] S =255"_s};
}

void TestSceneryLoader::loadsTree()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, expected);

    TSceneryState state;
    state.Scenery = writeControlFile(ini);
    TCheckTreeModel tree;
    TSceneryLoader(state, tree).ReadIni();
    QCOMPARE(dump(tree), expected);
}

void TestSceneryLoader::attachesEntriesAndReadsSettings()
{
    TSceneryState state;
    state.Scenery = writeControlFile(WorkedExampleControlFile.toLatin1());
    TCheckTreeModel tree;
    TSceneryLoader(state, tree).ReadIni();

    QCOMPARE(state.Language, 0);
    QCOMPARE(state.URL, u"https://scenery.example.net/"_s);
    QStringList entries;
    for (int i = 0; i < tree.TopLevelCount(); ++i) {
        const TCheckTreeNode *node = tree.TopLevelItem(i);
        const TScenObj *entry = node->DataAs<TScenObj>();
        QVERIFY(entry);
        entries << entry->Name(node->Text()) + u'|' + entry->FileName + u'|'
                + FileTypeText(entry->FileType);
    }
    QCOMPARE(entries,
             (QStringList{u"Hangar Nord|hangar_n|Scenery"_s, u"Tower|tower|Scenery"_s,
                          u"Fahrzeuge|grp_cars|Group"_s, u"Jahreszeit|sw_season|Switch"_s}));
    QVERIFY(!tree.Item(3)->DataAs<TScenObj>()); // children carry no entry

    state.Scenery = writeControlFile("[Settings]\nLanguage=english\n");
    TSceneryLoader(state, tree).ReadIni();
    QCOMPARE(state.Language, 1);
    QCOMPARE(state.URL, DefaultHomePage);
}

void TestSceneryLoader::entryCaptionIsTheListedOne_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("text"); // of the entry's node
    QTest::addColumn<QString>("caption");

    // Captions that look like a prefix: only the one the tree put in front is not the caption.
    QTest::newRow("hidden group") << QByteArray("[Gruppen]\ng=[Grp] Autos\n[g]\nShow=0\na=A\n")
                                  << u"[Grp] Autos"_s << u"[Grp] Autos"_s;
    QTest::newRow("shown group") << QByteArray("[Gruppen]\ng=[Grp] Autos\n[g]\na=A\n")
                                 << u"[Grp] [Grp] Autos"_s << u"[Grp] Autos"_s;
    QTest::newRow("switch") << QByteArray("[Schalter]\ns=[Sw] Boden\n[s]\nx=X\n")
                            << u"[Sw] [Sw] Boden"_s << u"[Sw] Boden"_s;
    QTest::newRow("object") << QByteArray("[Szenerie]\no=[Grp] O\n") << u"[Grp] O"_s
                            << u"[Grp] O"_s;
}

void TestSceneryLoader::entryCaptionIsTheListedOne()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, text);
    QFETCH(QString, caption);

    TSceneryState state;
    state.Scenery = writeControlFile(ini);
    TCheckTreeModel tree;
    TSceneryLoader(state, tree).ReadIni();
    const TCheckTreeNode *node = tree.TopLevelItem(0);
    QCOMPARE(node->Text(), text);
    QCOMPARE(node->DataAs<TScenObj>()->Name(node->Text()), caption);
}

void TestSceneryLoader::entriesWithoutTreeAreTheTreesEntries_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<std::optional<qint32>>("language");

    const QByteArray both = "[Szenerie]\na=A\nb=B\n[Scenery]\nb=B\n[Gruppen]\ng=G\n[Groups]\nh=H\n"
                            "[Schalter]\ns=S\n[Switches]\nt=T\nu=U\n";
    QTest::newRow("stored language") << both << std::optional<qint32>();
    QTest::newRow("stored English")
        << "[Settings]\nLanguage=eNGLISH\n" + both << std::optional<qint32>();
    QTest::newRow("stored word unknown")
        << "[Settings]\nLanguage=french\n" + both << std::optional<qint32>();
    QTest::newRow("language chosen")
        << "[Settings]\nLanguage=german\n" + both << std::optional<qint32>(lgEnglish);
    QTest::newRow("keys listed twice, hidden and empty groups")
        << QByteArray("[Szenerie]\na=A\nA=A2\n[Gruppen]\ng=G\ne=E\n[g]\nShow=0\nm=M\n")
        << std::optional<qint32>();
}

void TestSceneryLoader::entriesWithoutTreeAreTheTreesEntries()
{
    QFETCH(QByteArray, ini);
    QFETCH(std::optional<qint32>, language);

    TSceneryState state;
    state.Scenery = writeControlFile(ini);
    TCheckTreeModel tree;
    TSceneryLoader(state, tree).ReadIni(language);
    QStringList loaded;
    for (int i = 0; i < tree.TopLevelCount(); ++i) {
        const TScenObj *entry = tree.TopLevelItem(i)->DataAs<TScenObj>();
        loaded << FileTypeText(entry->FileType) + u' ' + entry->FileName;
    }

    TSceneryState other;
    other.Scenery = state.Scenery;
    TCheckTreeModel untouched;
    const TIniFile file(state.Scenery);
    QStringList read;
    for (const TScenObj &entry : TSceneryLoader(other, untouched).ReadEntries(file, language))
        read << FileTypeText(entry.FileType) + u' ' + entry.FileName;
    QCOMPARE(read, loaded);
    QCOMPARE(other.Language, state.Language);
    QCOMPARE(untouched.Count(), 0);
}

// Sceneries repeat the captions of alternatives and members in many sections: each is kept once.
void TestSceneryLoader::equalChildCaptionsAreOneCopy()
{
    TSceneryState state;
    state.Scenery = writeControlFile("[Gruppen]\ng=G\nh=H\n[g]\na=Bus\n[h]\nb=Bus\nc=Tankwagen\n"
                                     "[Schalter]\ns=S\nt=T\n[s]\nx=Sommer\ny=Winter\n"
                                     "[t]\nx=Sommer\ny=Winter\n");
    TCheckTreeModel tree;
    TSceneryLoader(state, tree).ReadIni();
    QCOMPARE(dump(tree),
             (QStringList{u"[Grp] G =2"_s, u"  Bus =2"_s, u"[Grp] H =2"_s, u"  Bus =2"_s,
                          u"  Tankwagen =2"_s, u"[Sw] S =3"_s, u"  Sommer =1"_s, u"  Winter =2"_s,
                          u"[Sw] T =3"_s, u"  Sommer =1"_s, u"  Winter =2"_s}));
    const auto text
        = [&](int group, int child) { return tree.TopLevelItem(group)->Item(child)->Text(); };
    QVERIFY(text(0, 0).isSharedWith(text(1, 0)));
    QVERIFY(text(2, 0).isSharedWith(text(3, 0)));
    QVERIFY(text(2, 1).isSharedWith(text(3, 1)));
}

void TestSceneryLoader::reloadReplacesTree()
{
    TSceneryState state;
    state.Scenery = writeControlFile(WorkedExampleControlFile.toLatin1());
    TCheckTreeModel tree;
    TSceneryLoader loader(state, tree);
    loader.ReadIni();
    tree.ToggleCheckState(tree.Item(0)); // an unapplied change
    loader.ReadIni();
    QCOMPARE(tree.Count(), 8);
    QCOMPARE(tree.GetItemState(0), csChecked);
}

void TestSceneryLoader::nodeWithoutStateIsUncheckedOnceNormalised()
{
    TSceneryState state;
    state.Scenery = writeControlFile("[Szenerie]\na=A\n[Checked]\na=7\n");
    TCheckTreeModel tree;
    TSceneryLoader(state, tree).ReadIni();
    QCOMPARE(int(tree.GetItemState(0)), 255);
    tree.NormaliseStates();
    QCOMPARE(tree.GetItemState(0), csUnchecked);
}

QTEST_GUILESS_MAIN(TestSceneryLoader)
#include "tst_sceneryloader.moc"
