#include "config/inifile.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "ui/scenform1.h"
#include "widgets/rzchecktree.h"
#include "widgets/rztoolbarbutton.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool UnderSanitizer = true; // a few times slower: smaller giants
#else
constexpr bool UnderSanitizer = false;
#endif

// Loading and applying any row takes well under this; only work that grows faster than the file
// comes near it. Under Wine every file operation is several times slower.
#ifdef Q_OS_WIN
constexpr qint64 PathologicalMs = 150'000;
#else
constexpr qint64 PathologicalMs = 30'000;
#endif

QByteArray latin1(const QString &text)
{
    return text.toLatin1();
}

QByteArray utf16(QStringView text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// Seeded random bytes, never starting with a byte-order mark.
QByteArray garbage(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &b : bytes)
        b = char(random.bounded(256));
    bytes[0] = 'x';
    return bytes;
}

QString stateMark(TRzCheckState state)
{
    switch (state) {
    case csChecked:
        return u" [x]"_s;
    case csUnchecked:
        return u" [ ]"_s;
    case csPartiallyChecked:
        return u" [-]"_s;
    default:
        return u" [?]"_s;
    }
}

// The first nodes of the tree, one line each: indented by level, text, check state.
QStringList outline(const TCheckTreeModel &tree, qsizetype maxLines)
{
    QStringList lines;
    for (int i = 0; i < tree.Count() && lines.size() < maxLines; ++i) {
        const TCheckTreeNode *node = tree.Item(i);
        lines << QString(node->Level() * 2, u' ') + node->Text() + stateMark(tree.GetItemState(i));
    }
    return lines;
}

// Every file of the program folder except the control file, relative and sorted.
QStringList filesBeside(const TProgramFolder &folder)
{
    QStringList files;
    const QDir dir(folder.Path());
    QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = dir.relativeFilePath(it.next());
        if (file != u"XXXX.ini")
            files << file;
    }
    files.sort();
    return files;
}

} // namespace

class TestBadControlFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadAndApply_data();
    void loadAndApply();
};

void TestBadControlFiles::loadAndApply_data()
{
    QTest::addColumn<QByteArray>("control"); // "%folder%" stands for the program folder
    QTest::addColumn<QStringList>("files"); // in the program folder; folders end in "/"
    QTest::addColumn<QList<int>>("toggled"); // top-level nodes the user clicks before Apply
    QTest::addColumn<int>("nodes");
    QTest::addColumn<QStringList>("tree"); // the first lines of the outline
    QTest::addColumn<QStringList>("filesAfter");
    QTest::addColumn<int>("stateCount"); // keys of the state section after Apply
    QTest::addColumn<QStringList>("states"); // its first keys with their values
    QTest::addColumn<QByteArray>("start"); // the control file starts with these bytes after all
    QTest::addColumn<QStringList>("shown"); // messages; "%ini" stands for the control file

    const QByteArray noise = garbage(256 * 1024, 7);
    QTest::newRow("binary garbage")
        << noise << QStringList{u"Scenery/tower.bgl"_s} << QList<int>() << 0 << QStringList()
        << QStringList{u"Scenery/tower.bgl"_s} << 0 << QStringList() << noise << QStringList();
    QTest::newRow("objects after binary garbage")
        << noise + "\r\n[Szenerie]\r\ntower=Turm\r\n[Checked]\r\ntower=0\r\n"
        << QStringList{u"Scenery/tower.bg_"_s} << QList<int>{0} << 1 << QStringList{u"Turm [ ]"_s}
        << QStringList{u"Scenery/tower.bgl"_s} << 1 << QStringList{u"tower=1"_s} << noise
        << QStringList();

    // The odd last byte belongs to no line; the file stays UTF-16 and keeps its keys.
    const QByteArray odd
        = "\xFF\xFE" + utf16(u"[Szenerie]\r\ntürm=Türm\r\n[Checked]\r\ntürm=1\r\n") + "A";
    QTest::newRow("UTF-16 with an odd byte count")
        << odd << QStringList{u"Scenery/türm.bgl"_s} << QList<int>{0} << 1
        << QStringList{u"Türm [x]"_s} << QStringList{u"Scenery/türm.bg_"_s} << 1
        << QStringList{u"türm=0"_s} << QByteArray("\xFF\xFE") + utf16(u"[Szenerie]\r\ntürm=Türm")
        << QStringList();
    QTest::newRow("UTF-8 byte-order mark and nothing else")
        << QByteArray("\xEF\xBB\xBF") << QStringList() << QList<int>() << 0 << QStringList()
        << QStringList() << 0 << QStringList()
        << QByteArray("\xEF\xBB\xBF[Settings]\r\nLanguage=german\r\n") << QStringList();
    QTest::newRow("UTF-16 byte-order mark and nothing else")
        << QByteArray("\xFF\xFE") << QStringList() << QList<int>() << 0 << QStringList()
        << QStringList() << 0 << QStringList()
        << QByteArray("\xFF\xFE") + utf16(u"[Settings]\r\nLanguage=german\r\n") << QStringList();

    const QByteArray head = "[Szenerie]\r\ntower=Turm\r\n[Checked]\r\ntower=1\r\n[Notizen]\r\n";
    QByteArray large = head;
    const int megabytes = UnderSanitizer ? 10 : 50;
    const QByteArray note = ' ' + QByteArray(190, 'n') + "\r\n";
    large.reserve(megabytes * 1024 * 1024 + 256);
    for (int i = 0; large.size() < megabytes * 1024 * 1024; ++i)
        large += "note" + QByteArray::number(i) + '=' + note;
    QTest::addRow("a file of %d MB", megabytes)
        << large << QStringList{u"Scenery/tower.bgl"_s} << QList<int>{0} << 1
        << QStringList{u"Turm [x]"_s} << QStringList{u"Scenery/tower.bg_"_s} << 1
        << QStringList{u"tower=0"_s}
        << QByteArray("[Szenerie]\r\ntower=Turm\r\n[Checked]\r\ntower=0\r\n[Notizen]\r\nnote0=")
        << QStringList();

    const QByteArray tenMegabytes(10 * 1024 * 1024, 'x');
    QTest::newRow("lines of 10 MB")
        << "[Szenerie]\r\ntower=" + tenMegabytes + "\r\n" + tenMegabytes + "\r\n[Checked]\r\n"
        << QStringList{u"Scenery/tower.bgl"_s} << QList<int>() << 1
        << QStringList{QString(2047, u'x') + u" [x]"_s} << QStringList{u"Scenery/tower.bgl"_s} << 1
        << QStringList{u"tower=1"_s} << "[Szenerie]\r\ntower=" + tenMegabytes << QStringList();

    // Every group has its own section with one member.
    const int sections = UnderSanitizer ? 20'000 : 100'000;
    QByteArray groupList = "[Gruppen]\r\n";
    QByteArray groupSections;
    for (int g = 0; g < sections; ++g) {
        const QByteArray name = QByteArray::number(g).rightJustified(6, '0');
        groupList += 'g' + name + "=Gruppe " + QByteArray::number(g) + "\r\n";
        groupSections += "[g" + name + "]\r\nChecked=g" + name + "\r\nm" + name + "=Teil\r\n";
    }
    QTest::addRow("%d sections", sections)
        << groupList + groupSections << QStringList{u"Scenery/m000000.bg_"_s} << QList<int>()
        << 2 * sections
        << QStringList{u"[Grp] Gruppe 0 [x]"_s, u"  Teil [x]"_s, u"[Grp] Gruppe 1 [x]"_s}
        << QStringList{u"Scenery/m000000.bgl"_s} << sections
        << QStringList{u"g000000=1"_s, u"g000001=1"_s} << groupList.left(40) << QStringList();

    // Keys that climb out of the Scenery folder name files that are never renamed; one that
    // returns into it is an ordinary object.
    QTest::newRow("keys with .. and absolute paths")
        << latin1(u"[Szenerie]\r\n..\\outside=A\r\n../outside=B\r\nsub\\..\\..\\outside=C\r\n"
                  u"\\..\\outside=D\r\n%folder%/outside=E\r\nsub\\..\\inner=F\r\n"
                  u"[Gruppen]\r\ngrp=G\r\n[grp]\r\nChecked=grp\r\n..\\..\\outside=M\r\n"
                  u"[Schalter]\r\nsw=S\r\n[sw]\r\nChecked=sw\r\n..\\outside=S0\r\nwinter=S1\r\n"
                  u"[Checked]\r\nsw=1\r\n"_s)
        << QStringList{u"outside.bgl"_s, u"Scenery/sub/"_s, u"Scenery/inner.bgl"_s,
                       u"Scenery/winter.bg_"_s}
        << QList<int>{0, 1, 2, 3, 4, 5, 6} << 11
        << QStringList{u"A [x]"_s,      u"B [x]"_s,    u"C [x]"_s,       u"D [x]"_s,
                       u"E [x]"_s,      u"F [x]"_s,    u"[Grp] G [x]"_s, u"  M [x]"_s,
                       u"[Sw] S [-]"_s, u"  S0 [ ]"_s, u"  S1 [x]"_s}
        << QStringList{u"Scenery/inner.bg_"_s, u"Scenery/winter.bgl"_s, u"outside.bgl"_s} << 8
        << QStringList{u"sw=1"_s,
                       u"..\\outside=0"_s,
                       u"../outside=0"_s,
                       u"sub\\..\\..\\outside=0"_s,
                       u"\\..\\outside=0"_s,
                       u"%folder%/outside=0"_s,
                       u"sub\\..\\inner=0"_s,
                       u"grp=0"_s}
        << QByteArray("[Szenerie]\r\n..\\outside=A\r\n") << QStringList();

    // The stored 1 picks a second alternative the switch lacks: nothing is picked, and Apply
    // leaves the one file and the stored value as they are.
    QTest::newRow("switch with one alternative")
        << QByteArray("[Schalter]\r\none=Eins\r\n[one]\r\nChecked=one\r\nonly=Nur\r\n"
                      "[Checked]\r\none=1\r\n")
        << QStringList{u"Scenery/only.bg_"_s} << QList<int>() << 2
        << QStringList{u"[Sw] Eins [ ]"_s, u"  Nur [ ]"_s} << QStringList{u"Scenery/only.bg_"_s}
        << 1 << QStringList{u"one=1"_s} << QByteArray("[Schalter]") << QStringList();
    QTest::newRow("switch with five alternatives")
        << QByteArray("[Schalter]\r\nfive=Fuenf\r\n[five]\r\nChecked=five\r\n"
                      "a0=A0\r\na1=A1\r\na2=A2\r\na3=A3\r\na4=A4\r\n[Checked]\r\nfive=1\r\n")
        << QStringList{u"Scenery/a0.bgl"_s, u"Scenery/a1.bg_"_s, u"Scenery/a2.bgl"_s,
                       u"Scenery/a3.bg_"_s, u"Scenery/a4.bgl"_s}
        << QList<int>() << 6 << QStringList{u"[Sw] Fuenf [-]"_s, u"  A0 [ ]"_s, u"  A1 [x]"_s,
                                            u"  A2 [ ]"_s,       u"  A3 [ ]"_s, u"  A4 [ ]"_s}
        << QStringList{u"Scenery/a0.bg_"_s, u"Scenery/a1.bgl"_s, u"Scenery/a2.bgl"_s,
                       u"Scenery/a3.bg_"_s, u"Scenery/a4.bgl"_s}
        << 1 << QStringList{u"five=1"_s} << QByteArray("[Schalter]") << QStringList();

    // A member named like its group is just a file; the group list as a group section lists
    // the groups as members, and without a "Checked" key its state key is empty.
    QTest::newRow("groups naming themselves as members")
        << QByteArray(
               "[Gruppen]\r\ncars=Autos\r\nGruppen=Alle\r\n"
               "[cars]\r\nChecked=cars\r\nShow=1\r\ncars=Das Auto\r\n[Checked]\r\ncars=1\r\n")
        << QStringList{u"Scenery/cars.bgl"_s, u"Scenery/Gruppen.bg_"_s} << QList<int>{0} << 5
        << QStringList{u"[Grp] Autos [x]"_s, u"  Das Auto [x]"_s, u"[Grp] Alle [x]"_s,
                       u"  Autos [x]"_s, u"  Alle [x]"_s}
        << QStringList{u"Scenery/Gruppen.bgl"_s, u"Scenery/cars.bgl"_s} << 2
        << QStringList{u"cars=0"_s, u"=1"_s} << QByteArray("[Gruppen]") << QStringList();

    // Captions are plain text in the tree, control characters and markup included.
    const char objects[] = "tag=<B>fett</B> &amp; <BR>\x01\x02\x7f\tTab\r\nnul=A\0B\r\n";
    QTest::newRow("captions with markup and control characters")
        << "[german]\r\nTitle=<B>Titel</B> & <A HREF=\"x\">\x01\r\n"
           "ScrollerText=Lauf\x07text <FONT COLOR=red>rot</FONT>\x1b\r\n[Szenerie]\r\n"
            + QByteArray(objects, sizeof objects - 1)
        << QStringList() << QList<int>() << 2
        << QStringList{u"<B>fett</B> &amp; <BR>\x01\x02\x7f\tTab [x]"_s,
                       QStringView(u"A\0B [x]", 7).toString()}
        << QStringList() << 2 << QStringList{u"tag=1"_s, u"nul=1"_s} << QByteArray("[german]")
        << QStringList();

    // Apply ends at the group whose state key cannot be written; the group before it is saved
    // and switched, the one after it stays as it was.
    QTest::newRow("a state key that cannot be written")
        << QByteArray("[Gruppen]\r\nfirst=Erste\r\nbad=Kaputt\r\nlast=Letzte\r\n"
                      "[first]\r\nChecked=first\r\nf=F\r\n[bad]\r\nChecked=a=b\r\nb=B\r\n"
                      "[last]\r\nChecked=last\r\nl=L\r\n[Checked]\r\nfirst=1\r\nlast=1\r\n")
        << QStringList{u"Scenery/f.bgl"_s, u"Scenery/b.bgl"_s, u"Scenery/l.bgl"_s}
        << QList<int>{0, 1, 2} << 6
        << QStringList{u"[Grp] Erste [x]"_s, u"  F [x]"_s, u"[Grp] Kaputt [x]"_s, u"  B [x]"_s}
        << QStringList{u"Scenery/b.bgl"_s, u"Scenery/f.bg_"_s, u"Scenery/l.bgl"_s} << 2
        << QStringList{u"first=0"_s, u"last=1"_s} << QByteArray("[Gruppen]")
        << QStringList{u"ShowException: In %ini kann nicht geschrieben werden\n"
                       u"Ungültiger Schlüsselname: „a=b“"_s};
}

void TestBadControlFiles::loadAndApply()
{
    QFETCH(QByteArray, control);
    QFETCH(QStringList, files);
    QFETCH(QList<int>, toggled);
    QFETCH(int, nodes);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, filesAfter);
    QFETCH(int, stateCount);
    QFETCH(QStringList, states);
    QFETCH(QByteArray, start);
    QFETCH(QStringList, shown);

    TProgramFolder folder;
    const QString placeholder = u"%folder%"_s;
    control.replace(placeholder.toLatin1(), QFile::encodeName(folder.Path()));
    {
        QFile file(folder.ControlFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(control), control.size());
    }
    for (const QString &name : std::as_const(files)) {
        if (name.endsWith(u'/')) {
            QVERIFY(QDir(folder.Path()).mkpath(name));
            continue;
        }
        QFile file(folder.FilePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QElapsedTimer timer;
    timer.start();
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.grab(); // painted once, as the user sees it before any click
    TCheckTreeModel &items = form.RzCheckTree1->Items();
    QCOMPARE(items.Count(), nodes);
    QCOMPARE(outline(items, tree.size()), tree);

    for (const int index : std::as_const(toggled))
        items.ToggleCheckState(items.TopLevelItem(index));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.Path()));
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QDir::setCurrent(previous);
    const qint64 elapsed = timer.elapsed();

    QCOMPARE(platform.Calls,
             shown.replaceInStrings(u"%ini"_s, QDir::toNativeSeparators(folder.ControlFile())));
    QCOMPARE(filesBeside(folder), filesAfter);
    const TIniFile ini(folder.ControlFile());
    QStringList keys;
    ini.ReadSection(u"Checked"_s, keys);
    QCOMPARE(keys.size(), stateCount);
    QStringList written;
    for (const QString &key : keys.mid(0, states.size()))
        written << key + u'=' + ini.ReadString(u"Checked"_s, key, u"(missing)"_s);
    QCOMPARE(written, states.replaceInStrings(placeholder, folder.Path()));
    QCOMPARE(ini.ReadString(u"Settings"_s, u"Language"_s, QString()), u"german"_s);
    QVERIFY(folder.ReadControlFile().startsWith(start));
    QVERIFY2(elapsed < PathologicalMs, qPrintable(u"%1 ms"_s.arg(elapsed)));
}

QTEST_MAIN(TestBadControlFiles)
#include "tst_badcontrolfiles.moc"
