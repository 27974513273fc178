#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/languagetexts.h"
#include "config/sceneryapplier.h"
#include "config/sceneryloader.h"
#include "config/staterecords.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/testfilesystem.h"

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// A control file with one object, a group of two and a switch, all read as checked.
const char *const Example = R"([Szenerie]
tower=Tower
[Gruppen]
cars=Autos
[cars]
Checked=cars_state
Show=1
car_a=A
car_b=B
[Schalter]
season=Jahreszeit
[season]
Checked=season_state
summer=Sommer
winter=Winter
[Checked]
tower=1
cars_state=1
season_state=1
)";

} // namespace

class TestSceneryApplier : public QObject
{
    Q_OBJECT

private:
    // A fresh program folder with the control file and the given scenery files ("x.bgl";
    // names ending in "/" are folders).
    void prepare(const QByteArray &ini, const QStringList &files)
    {
        FDir.emplace();
        QVERIFY(QDir(FDir->path()).mkpath(u"Scenery"_s));
        for (const QString &name : files) {
            if (name.endsWith(u'/')) {
                QVERIFY(QDir(FDir->path()).mkpath(u"Scenery/"_s + name));
                continue;
            }
            QFile file(FDir->filePath(u"Scenery/"_s + name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(name.toUtf8()); // the content tells where a file came from
        }
        QFile outside(FDir->filePath(u"outside.bgl"_s)); // beside the Scenery folder
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.close();
        FState = TSceneryState();
        FState.Scenery = FDir->filePath(u"XXXX.ini"_s);
        QFile control(FState.Scenery);
        QVERIFY(control.open(QIODevice::WriteOnly));
        control.write(ini);
        control.close();
        TSceneryLoader(FState, FTree).ReadIni();
        FTree.NormaliseStates(); // the tree has been shown before the user applies
    }

    // The user clicks the check boxes of these nodes, by absolute index.
    void toggle(const QList<int> &indices)
    {
        for (int index : indices)
            FTree.ToggleCheckState(FTree.Item(index));
    }

    QList<TRenameFailure> apply() { return TSceneryApplier(FState, FTree).Apply(); }

    // Every file below Scenery/ as "name:content", sorted.
    QStringList sceneryFiles() const
    {
        QStringList files;
        const QString root = FDir->filePath(u"Scenery"_s);
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return {u"unreadable "_s + path};
            files << QDir(root).relativeFilePath(path) + u':' + QString::fromUtf8(file.readAll());
        }
        files.sort();
        return files;
    }

    // The state section as "key=value" lines in file order.
    QStringList states() const
    {
        const TIniFile ini(FState.Scenery);
        QStringList keys, lines;
        ini.ReadSection(u"Checked"_s, keys);
        for (const QString &key : keys)
            lines << key + u'=' + ini.ReadString(u"Checked"_s, key, QString());
        return lines;
    }

    // Creates entries below Scenery/ (a leading "../" reaches beside it): "name" a file,
    // "name/" a folder, "name -> target" a symbolic link, "name|" a pipe.
    void makeEntries(const QStringList &entries)
    {
        const QDir scenery(FDir->filePath(u"Scenery"_s));
        for (const QString &entry : entries) {
            const qsizetype arrow = entry.indexOf(u" -> "_s);
            const QString name = arrow < 0 ? entry : entry.left(arrow);
            const QString path = QDir::cleanPath(scenery.filePath(name));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            if (arrow >= 0) {
                QVERIFY(QFile::link(entry.mid(arrow + 4), path));
            } else if (name.endsWith(u'/')) {
                QVERIFY(QDir().mkpath(path));
            } else if (name.endsWith(u'|')) {
#ifndef Q_OS_WIN
                QCOMPARE(::mkfifo(QFile::encodeName(path.chopped(1)).constData(), 0600), 0);
#endif
            } else {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(name.toUtf8());
            }
        }
    }

    // Every entry of the temporary folder in the form makeEntries takes, relative to Scenery/,
    // links not followed; the content of a file when it is not its own name.
    QStringList entries() const
    {
        QStringList found;
        const QDir scenery(FDir->filePath(u"Scenery"_s));
        QDirIterator it(FDir->path(), QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info = it.fileInfo();
            QString name = scenery.relativeFilePath(path);
            if (name == u"../XXXX.ini" || name == u"../outside.bgl" || name == u".")
                continue;
            if (info.isSymLink()) {
                name += u" -> "_s + scenery.relativeFilePath(info.symLinkTarget());
            } else if (info.isDir()) {
                name += u'/';
            } else if (!info.isFile()) {
                name += u'|';
            } else {
                QFile file(path);
                const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : "?";
                if (content != name.toUtf8())
                    name += u" was "_s + QString::fromUtf8(content);
            }
            found << name;
        }
        found.sort();
        return found;
    }

    std::optional<QTemporaryDir> FDir;
    TSceneryState FState;
    TCheckTreeModel FTree;

private Q_SLOTS:
    void processFile_data();
    void processFile();
    void switchesOnlyWhatIsSafe_data();
    void switchesOnlyWhatIsSafe();
    void dryRunSeesItsOwnRenames();
    void appliesTree_data();
    void appliesTree();
    void applyingTwiceRenamesNothing();
    void failedRenamesAreListed_data();
    void failedRenamesAreListed();
    void unsavableControlFileRenamesNothing();
    void interruptedApplyCanBeUndone();
    void longFailureListIsCut();
};

void TestSceneryApplier::processFile_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected");
    const QStringList both{u"x.bg_:x.bg_"_s, u"x.bgl:x.bgl"_s}; // reported as a failure
    QTest::newRow("activate, active exists")
        << true << QStringList{u"x.bgl"_s} << QStringList{u"x.bgl:x.bgl"_s};
    QTest::newRow("activate, both exist") << true << QStringList{u"x.bgl"_s, u"x.bg_"_s} << both;
    QTest::newRow("activate, inactive exists")
        << true << QStringList{u"x.bg_"_s} << QStringList{u"x.bgl:x.bg_"_s};
    QTest::newRow("activate, neither exists") << true << QStringList() << QStringList();
    QTest::newRow("deactivate, inactive exists")
        << false << QStringList{u"x.bg_"_s} << QStringList{u"x.bg_:x.bg_"_s};
    QTest::newRow("deactivate, both exist") << false << QStringList{u"x.bgl"_s, u"x.bg_"_s} << both;
    QTest::newRow("deactivate, active exists")
        << false << QStringList{u"x.bgl"_s} << QStringList{u"x.bg_:x.bgl"_s};
    QTest::newRow("deactivate, neither exists") << false << QStringList() << QStringList();
    QTest::newRow("letter case ignored, real base name kept")
        << false << QStringList{u"X.BGL"_s} << QStringList{u"X.bg_:X.BGL"_s};
}

void TestSceneryApplier::processFile()
{
    QFETCH(bool, active);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    prepare({}, files);
    TSceneryFiles scenery(FDir->path());
    scenery.ProcessFile(TSceneryFiles::ActivePath(u"x"_s), active);
    QCOMPARE(sceneryFiles(), expected);
    const bool bothForms = files.size() == 2;
    QCOMPARE(scenery.Failures().size(), bothForms ? 1 : 0);
    if (bothForms)
        QCOMPARE(scenery.Failures().first().Cause, rcBothForms);
}

void TestSceneryApplier::switchesOnlyWhatIsSafe_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("form"); // as found before any rename
    QTest::addColumn<QStringList>("after"); // empty: as before
    QTest::addColumn<QString>("failure"); // the line of the failure list, in English

    // Any entry of the other name is a form of the object: it is never replaced, and the user is
    // told to remove one of the two.
    const QString BothForms
        = u"the file exists in both forms (.bgl and .bg_); one of them must be removed"_s;
    QTest::newRow("dangling link holds the other name")
        << u"x"_s << false << QStringList{u"x.bgl"_s, u"x.bg_ -> gone"_s} << int(raLeft)
        << int(ffBothForms) << QStringList() << u"Scenery/x.bgl: "_s + BothForms;
    QTest::newRow("link to a folder holds the other name")
        << u"x"_s << true << QStringList{u"x.bg_"_s, u"dir/"_s, u"x.bgl -> dir"_s} << int(raLeft)
        << int(ffBothForms) << QStringList() << u"Scenery/x.bg_: "_s + BothForms;
    QTest::newRow("pipe holds the other name")
        << u"x"_s << false << QStringList{u"x.bgl"_s, u"x.bg_|"_s} << int(raLeft)
        << int(ffBothForms) << QStringList() << u"Scenery/x.bgl: "_s + BothForms;
    QTest::newRow("folder holds the other name")
        << u"x"_s << false << QStringList{u"x.bgl"_s, u"x.bg_/"_s} << int(raLeft)
        << int(ffBothForms) << QStringList() << u"Scenery/x.bgl: "_s + BothForms;

    // Only a file, or a link to one, is an object's form; anything else under its name is left.
    QTest::newRow("pipe alone under the name")
        << u"x"_s << false << QStringList{u"x.bgl|"_s} << int(raLeft) << int(ffMissing)
        << QStringList() << QString();
    QTest::newRow("folder alone under the name")
        << u"x"_s << false << QStringList{u"x.bgl/"_s} << int(raLeft) << int(ffMissing)
        << QStringList() << QString();
    QTest::newRow("dangling link alone under the name")
        << u"x"_s << false << QStringList{u"x.bgl -> gone"_s} << int(raLeft) << int(ffMissing)
        << QStringList() << QString();
    QTest::newRow("link to a folder alone under the name")
        << u"x"_s << true << QStringList{u"dir/"_s, u"x.bg_ -> dir"_s} << int(raLeft)
        << int(ffMissing) << QStringList() << QString();

    // Containment is decided on the folder the system reaches, not on the key's text.
    QTest::newRow("folder link leading out of Scenery")
        << u"sub\\victim"_s << false
        << QStringList{u"../elsewhere/victim.bgl"_s, u"sub -> ../elsewhere"_s} << int(raLeft)
        << int(ffOutsideScenery) << QStringList() << QString();
    QTest::newRow("folder link within Scenery")
        << u"sub\\tower"_s << false
        << QStringList{u"real/"_s, u"real/tower.bgl"_s, u"sub -> real"_s} << int(raRenamed)
        << int(ffActive)
        << QStringList{u"real/"_s, u"real/tower.bg_ was real/tower.bgl"_s, u"sub -> real"_s}
        << QString();
    // The entry is renamed, not what it points to: a link stays a link to the same file.
    QTest::newRow("file link: only the link is renamed")
        << u"x"_s << false << QStringList{u"x.bgl -> ../outside.bgl"_s} << int(raRenamed)
        << int(ffActive) << QStringList{u"x.bg_ -> ../outside.bgl"_s} << QString();

    // The target system cannot tell these names apart: which one is meant is unknown.
    QTest::newRow("letter case: two inexact candidates")
        << u"Tower"_s << false << QStringList{u"tower.bgl"_s, u"TOWER.BGL"_s} << int(raRenameFailed)
        << int(ffAmbiguous) << QStringList()
        << u"Scenery/Tower.bgl: several names differ only in letter case: Scenery/TOWER.BGL, Scenery/tower.bgl"_s;
    QTest::newRow("letter case: the exact name and a variant")
        << u"tower"_s << false << QStringList{u"tower.bgl"_s, u"Tower.bgl"_s} << int(raRenameFailed)
        << int(ffAmbiguous) << QStringList()
        << u"Scenery/tower.bgl: several names differ only in letter case: Scenery/Tower.bgl, Scenery/tower.bgl"_s;
    QTest::newRow("letter case: the other form twice")
        << u"tower"_s << true << QStringList{u"tower.bg_"_s, u"Tower.bg_"_s} << int(raRenameFailed)
        << int(ffAmbiguous) << QStringList()
        << u"Scenery/tower.bgl: several names differ only in letter case: Scenery/Tower.bg_, Scenery/tower.bg_"_s;
    QTest::newRow("letter case: two folders")
        << u"Airport\\tower"_s << false
        << QStringList{u"airport/"_s, u"AIRPORT/"_s, u"airport/tower.bgl"_s} << int(raRenameFailed)
        << int(ffAmbiguous) << QStringList()
        << u"Scenery/Airport/tower.bgl: several names differ only in letter case: Scenery/AIRPORT, Scenery/airport"_s;

    QTest::newRow("letter case: accented letters")
        << u"\u00c4RGER"_s << false << QStringList{u"\u00e4rger.bgl"_s} << int(raRenamed)
        << int(ffActive) << QStringList{u"\u00e4rger.bg_ was \u00e4rger.bgl"_s} << QString();
    QTest::newRow("letter case: Cyrillic letters")
        << u"\u0411\u0430\u0448\u043d\u044f"_s << false
        << QStringList{u"\u0431\u0430\u0448\u043d\u044f.bgl"_s} << int(raRenamed) << int(ffActive)
        << QStringList{u"\u0431\u0430\u0448\u043d\u044f.bg_ was \u0431\u0430\u0448\u043d\u044f.bgl"_s}
        << QString();
    QTest::newRow("letter case: Cyrillic twins")
        << u"\u0431\u0430\u0448\u043d\u044f"_s << false
        << QStringList{u"\u0431\u0430\u0448\u043d\u044f.bgl"_s,
                       u"\u0411\u0410\u0428\u041d\u042f.bgl"_s}
        << int(raRenameFailed) << int(ffAmbiguous) << QStringList()
        << u"Scenery/\u0431\u0430\u0448\u043d\u044f.bgl: several names differ only in letter case: "
           u"Scenery/\u0411\u0410\u0428\u041d\u042f.bgl, Scenery/\u0431\u0430\u0448\u043d\u044f.bgl"_s;

    // Half of a surrogate pair has no file name here; it must not stand for another name.
    QTest::newRow("name the system cannot take")
        << u"bad\xd800"_s << false << QStringList{u"bad?.bgl"_s, u"bad\xfffd.bgl"_s}
        << int(raRenameFailed) << int(ffBadName) << QStringList()
        << u"Scenery/bad\xd800.bgl: the name cannot be used as a file name on this system"_s;
}

void TestSceneryApplier::switchesOnlyWhatIsSafe()
{
#ifdef Q_OS_WIN
    QSKIP("links, pipes and names that differ only in letter case need a POSIX file system");
#endif
    QFETCH(QString, key);
    QFETCH(bool, active);
    QFETCH(QStringList, before);
    QFETCH(int, action);
    QFETCH(int, form);
    QFETCH(QStringList, after);
    QFETCH(QString, failure);
    prepare({}, {});
    makeEntries(before);
    const QStringList expected = after.isEmpty() ? entries() : after;

    TSceneryFiles scenery(FDir->path());
    scenery.ProcessFile(TSceneryFiles::ActivePath(key), active);
    QCOMPARE(scenery.Outcomes().size(), 1);
    QCOMPARE(int(scenery.Outcomes().first().Action), action);
    QCOMPARE(int(scenery.Outcomes().first().Form), form);
    QCOMPARE(entries(), expected);
    QStringList failures;
    for (const TRenameFailure &refused : scenery.Failures())
        failures << refused.FileName + u": "_s + RenameFailureReason(1, refused);
    QCOMPARE(failures, failure.isEmpty() ? QStringList() : QStringList{failure});
}

// A dry run renames nothing, yet every later lookup sees the folder as the renames before it
// would leave it.
void TestSceneryApplier::dryRunSeesItsOwnRenames()
{
    prepare({}, {u"x.bgl"_s});
    TSceneryFiles scenery(FDir->path(), true);
    scenery.ProcessFile(TSceneryFiles::ActivePath(u"x"_s), false);
    scenery.ProcessFile(TSceneryFiles::ActivePath(u"X"_s), true);
    QCOMPARE(scenery.Outcomes().size(), 2);
    for (int i = 0; i < 2; ++i) {
        const TFileOutcome &outcome = scenery.Outcomes().at(i);
        QCOMPARE(int(outcome.Action), int(raRenamed));
        QCOMPARE(int(outcome.Form), int(i == 0 ? ffActive : ffInactive));
        QCOMPARE(outcome.To, i == 0 ? u"Scenery/x.bg_"_s : u"Scenery/x.bgl"_s);
    }
    QCOMPARE(sceneryFiles(), QStringList{u"x.bgl:x.bgl"_s});
}

void TestSceneryApplier::appliesTree_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("expectedFiles");
    QTest::addColumn<QStringList>("expectedStates");

    // Absolute indices: 0 tower, 1 cars, 2 car_a, 3 car_b, 4 season, 5 summer, 6 winter.
    const QByteArray example = Example;
    const QStringList inactive{u"car_a.bg_"_s, u"car_b.bg_"_s, u"summer.bg_"_s, u"tower.bg_"_s,
                               u"winter.bg_"_s};
    QTest::newRow("everything checked as loaded")
        << example << inactive << QList<int>()
        << QStringList{u"car_a.bgl:car_a.bg_"_s, u"car_b.bgl:car_b.bg_"_s,
                       u"summer.bg_:summer.bg_"_s, u"tower.bgl:tower.bg_"_s,
                       u"winter.bgl:winter.bg_"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=1"_s};
    QTest::newRow("object and group unchecked by the user")
        << example << QStringList{u"tower.bgl"_s, u"car_a.bgl"_s, u"car_b.bg_"_s}
        << QList<int>{0, 1}
        << QStringList{u"car_a.bg_:car_a.bgl"_s, u"car_b.bg_:car_b.bg_"_s, u"tower.bg_:tower.bgl"_s}
        << QStringList{u"tower=0"_s, u"cars_state=0"_s, u"season_state=1"_s};
    QTest::newRow("object with both files: state written, nothing renamed, reported")
        << example << QStringList{u"tower.bgl"_s, u"tower.bg_"_s} << QList<int>{0}
        << QStringList{u"tower.bg_:tower.bg_"_s, u"tower.bgl:tower.bgl"_s}
        << QStringList{u"tower=0"_s, u"cars_state=1"_s, u"season_state=1"_s};
    // The control file stores one state per group: a member's click acts on the whole group.
    QTest::newRow("group: a member's click switches the whole group")
        << QByteArray(example).replace("cars_state=1", "cars_state=0")
        << QStringList{u"car_a.bg_"_s, u"car_b.bg_"_s} << QList<int>{2}
        << QStringList{u"car_a.bgl:car_a.bg_"_s, u"car_b.bgl:car_b.bg_"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=1"_s};
    // A switch has exactly one alternative picked: the stored one, or the one the user picks.
    QTest::newRow("switch read as 0 and untouched: nothing renamed")
        << QByteArray(example).replace("season_state=1", "season_state=0")
        << QStringList{u"summer.bgl"_s, u"winter.bg_"_s} << QList<int>()
        << QStringList{u"summer.bgl:summer.bgl"_s, u"winter.bg_:winter.bg_"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=0"_s};
    QTest::newRow("switch read as 1 and untouched: nothing renamed")
        << example << QStringList{u"summer.bg_"_s, u"winter.bgl"_s} << QList<int>()
        << QStringList{u"summer.bg_:summer.bg_"_s, u"winter.bgl:winter.bgl"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=1"_s};
    QTest::newRow("switch: the user checks alternative 0 only")
        << QByteArray(example).replace("season_state=1", "season_state=0")
        << QStringList{u"summer.bg_"_s, u"winter.bgl"_s} << QList<int>{5}
        << QStringList{u"summer.bgl:summer.bg_"_s, u"winter.bg_:winter.bgl"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=0"_s};
    QTest::newRow("switch: the user moves from alternative 1 to 0")
        << example << QStringList{u"summer.bg_"_s, u"winter.bgl"_s} << QList<int>{5}
        << QStringList{u"summer.bgl:summer.bg_"_s, u"winter.bg_:winter.bgl"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=0"_s};
    QTest::newRow("switch: the picked alternative cannot be unchecked on its own")
        << example << QStringList{u"summer.bg_"_s, u"winter.bgl"_s} << QList<int>{6}
        << QStringList{u"summer.bg_:summer.bg_"_s, u"winter.bgl:winter.bgl"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=1"_s};
    QTest::newRow("switch: its own box swaps the pick")
        << example << QStringList{u"summer.bg_"_s, u"winter.bgl"_s} << QList<int>{4}
        << QStringList{u"summer.bgl:summer.bg_"_s, u"winter.bg_:winter.bgl"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=0"_s};
    QTest::newRow("switch with three alternatives: only two take part")
        << QByteArray(example).replace("winter=Winter", "winter=Winter\nspring=Frühling")
        << QStringList{u"summer.bgl"_s, u"winter.bg_"_s, u"spring.bgl"_s} << QList<int>()
        << QStringList{u"spring.bgl:spring.bgl"_s, u"summer.bg_:summer.bgl"_s,
                       u"winter.bgl:winter.bg_"_s}
        << QStringList{u"tower=1"_s, u"cars_state=1"_s, u"season_state=1"_s};
    QTest::newRow("key with a dot of its own")
        << QByteArray("[Szenerie]\nhangar.old=Alt\n[Checked]\nhangar.old=1\n")
        << QStringList{u"hangar.old.bgl"_s} << QList<int>{0}
        << QStringList{u"hangar.old.bg_:hangar.old.bgl"_s} << QStringList{u"hangar.old=0"_s};
    QTest::newRow("key with a sub-folder, letter case ignored")
        << QByteArray("[Szenerie]\nAirport\\Tower=Turm\n")
        << QStringList{u"airport/"_s, u"airport/TOWER.bg_"_s} << QList<int>()
        << QStringList{u"airport/TOWER.bgl:airport/TOWER.bg_"_s}
        << QStringList{u"Airport\\Tower=1"_s};
    QTest::newRow("missing file: state written all the same")
        << QByteArray("[Szenerie]\nradar=Radar\n") << QStringList() << QList<int>{0}
        << QStringList() << QStringList{u"radar=0"_s};
    QTest::newRow("new state key appended to its section")
        << QByteArray("[Szenerie]\na=A\nb=B\n[Checked]\na=1\n[Other]\nx=1\n")
        << QStringList{u"a.bgl"_s, u"b.bgl"_s} << QList<int>{1}
        << QStringList{u"a.bgl:a.bgl"_s, u"b.bg_:b.bgl"_s} << QStringList{u"a=1"_s, u"b=0"_s};

    // Faults the tool mends.
    QTest::newRow("key climbing out of the scenery folder is never renamed")
        << QByteArray("[Szenerie]\n..\\outside=Draussen\nsub\\..\\inner=Drinnen\n")
        << QStringList{u"inner.bgl"_s, u"sub/"_s} << QList<int>{0, 1}
        << QStringList{u"inner.bg_:inner.bgl"_s}
        << QStringList{u"..\\outside=0"_s, u"sub\\..\\inner=0"_s};
    {
        // On Windows these names open a device, a drive or a file's hidden stream; there they
        // cannot even be created, elsewhere they are plain files that stay as they are.
        QStringList files{u"sub/"_s};
#ifndef Q_OS_WIN
        files << u"con.bgl"_s << u"LPT1.txt.bgl"_s << u"sub/x:y.bgl"_s;
#endif
        QStringList expected;
        for (const QString &file : files) {
            if (!file.endsWith(u'/'))
                expected << file + u':' + file;
        }
        expected.sort();
        QTest::newRow("key naming a device, a drive or a stream is never renamed")
            << QByteArray("[Szenerie]\ncon=Konsole\nLPT1.txt=Drucker\nsub\\x:y=Strom\n"
                          "C:\\Windows\\win=Laufwerk\n")
            << files << QList<int>{0, 1, 2, 3} << expected
            << QStringList{u"con=0"_s, u"LPT1.txt=0"_s, u"sub\\x:y=0"_s, u"C:\\Windows\\win=0"_s};
    }
    QTest::newRow("switch without a state key is applied like a group without one")
        << QByteArray("[Schalter]\ns=S\n[s]\nx=X\ny=Y\n[Szenerie]\n")
        << QStringList{u"x.bgl"_s, u"y.bg_"_s} << QList<int>{}
        << QStringList{u"x.bg_:x.bgl"_s, u"y.bgl:y.bg_"_s} << QStringList{u"=1"_s};
    QTest::newRow("switch with one alternative reads no other node")
        << QByteArray("[Schalter]\ns=S\nt=T\n[s]\nChecked=s\nx=X\n[t]\nChecked=t\nu=U\nv=V\n"
                      "[Checked]\ns=0\nt=1\n")
        << QStringList{u"x.bg_"_s, u"u.bgl"_s, u"v.bg_"_s} << QList<int>()
        << QStringList{u"u.bg_:u.bgl"_s, u"v.bgl:v.bg_"_s, u"x.bgl:x.bg_"_s}
        << QStringList{u"s=0"_s, u"t=1"_s};
}

void TestSceneryApplier::appliesTree()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, files);
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, expectedFiles);
    QFETCH(QStringList, expectedStates);
    prepare(ini, files);
    toggle(clicks);
    const QList<TRenameFailure> failures = apply();
    // Only an object whose files exist in both forms is reported.
    const bool bothForms = files.contains(u"tower.bgl"_s) && files.contains(u"tower.bg_"_s);
    QCOMPARE(failures.size(), bothForms ? 1 : 0);
    QCOMPARE(sceneryFiles(), expectedFiles);
    QCOMPARE(states(), expectedStates);
    QVERIFY(QFile::exists(FDir->filePath(u"outside.bgl"_s)));
}

void TestSceneryApplier::applyingTwiceRenamesNothing()
{
    prepare(Example, {u"tower.bg_"_s, u"car_a.bg_"_s, u"car_b.bgl"_s, u"summer.bgl"_s});
    toggle({4, 5});
    QVERIFY(apply().isEmpty());
    const QStringList files = sceneryFiles();
    const QByteArray control = [&] {
        QFile file(FState.Scenery);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    // A rename changes the folder; compare its modification time to the finest step.
    const auto folderTime = [&] { return FileStamp(FDir->filePath(u"Scenery"_s)); };
    const auto before = folderTime();
    QVERIFY(apply().isEmpty());
    QCOMPARE(folderTime(), before);
    QCOMPARE(sceneryFiles(), files);
    QFile file(FState.Scenery);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), control);
}

void TestSceneryApplier::failedRenamesAreListed_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("a file that cannot be renamed") << false;
    QTest::newRow("read-only scenery folder") << true;
}

void TestSceneryApplier::failedRenamesAreListed()
{
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && !PermissionBitsApply())
        QSKIP("file permissions do not stop root, and Windows folders have none");
    prepare(Example, {u"tower.bgl"_s, u"car_a.bg_"_s, u"car_b.bgl"_s});
    const QString scenery = FDir->filePath(u"Scenery"_s);
    const QString tower = FDir->filePath(u"Scenery/tower.bgl"_s);
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(scenery, QFile::ReadOwner | QFile::ExeOwner));
    else if (!SetImmutable(tower, true))
        QSKIP("this file system cannot make a file immutable");
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(scenery, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!readOnlyFolder)
            SetImmutable(tower, false);
    });
    toggle({0});

    const QList<TRenameFailure> failures = apply();
    QStringList failed;
    for (const TRenameFailure &failure : failures) {
        QVERIFY(!failure.Reason.isEmpty());
        QCOMPARE(failure.Cause, rcRefused);
        failed << failure.FileName;
    }
    if (readOnlyFolder)
        QCOMPARE(failed, (QStringList{u"Scenery/tower.bgl"_s, u"Scenery/car_a.bg_"_s}));
    else
        QCOMPARE(failed, QStringList{u"Scenery/tower.bgl"_s});
    // The others went on; the states were written before any rename.
    QCOMPARE(sceneryFiles().contains(u"car_a.bgl:car_a.bg_"_s), !readOnlyFolder);
    QCOMPARE(states(), (QStringList{u"tower=0"_s, u"cars_state=1"_s, u"season_state=1"_s}));
}

void TestSceneryApplier::unsavableControlFileRenamesNothing()
{
    prepare(Example, {u"tower.bgl"_s, u"car_a.bg_"_s});
    toggle({0});
    // The control file turns into something that cannot be written between load and apply.
    QVERIFY(QFile::remove(FState.Scenery));
    QVERIFY(QDir().mkdir(FState.Scenery));
    try {
        apply();
        QFAIL("no error raised");
    } catch (const EIniFileException &error) {
        QCOMPARE(error.Message(),
                 QStringLiteral("In %1 kann nicht geschrieben werden")
                     .arg(QDir::toNativeSeparators(FState.Scenery)));
    }
    QCOMPARE(sceneryFiles(), (QStringList{u"car_a.bg_:car_a.bg_"_s, u"tower.bgl:tower.bgl"_s}));
}

// Apply stops at a state key the file cannot hold; the states before it are saved and their
// files switched, and so is the copy of the states before, so that undo can take them back.
void TestSceneryApplier::interruptedApplyCanBeUndone()
{
    prepare("[Szenerie]\ntower=Tower\n[Gruppen]\nbad=Kaputt\n[bad]\nChecked=[bad\nx=X\n"
            "[Checked]\ntower=0\n",
            {u"tower.bg_"_s, u"x.bgl"_s});
    toggle({0});
    QVERIFY_THROWS_EXCEPTION(EIniFileException, apply());
    QCOMPARE(states(), QStringList{u"tower=1"_s});
    QCOMPARE(sceneryFiles(), (QStringList{u"tower.bgl:tower.bg_"_s, u"x.bgl:x.bgl"_s}));

    {
        const TIniFile ini(FState.Scenery);
        QVERIFY(TStateRecords::CanUndo(ini));
    }
    TSceneryLoader(FState, FTree).LoadStates(TStateRecords::Previous);
    QVERIFY_THROWS_EXCEPTION(EIniFileException, apply());
    QCOMPARE(states(), QStringList{u"tower=0"_s});
    QCOMPARE(sceneryFiles(), (QStringList{u"tower.bg_:tower.bg_"_s, u"x.bgl:x.bgl"_s}));
}

// A message box has no scroll bar: thousands of failures must not make it taller than the screen.
void TestSceneryApplier::longFailureListIsCut()
{
    QList<TRenameFailure> failures;
    for (int i = 0; i < 1000; ++i)
        failures.append({u"Scenery/object%1.bgl"_s.arg(i), u"Permission denied"_s, rcRefused});
    const QStringList lines = RenameFailureMessage(1, failures).split(u"\r\n"_s);
    QCOMPARE(lines.size(), 1 + 20 + 1 + 2); // head, 20 files, the count, blank line, advice
    QCOMPARE(lines.at(20),
             QDir::toNativeSeparators(u"Scenery/object19.bgl"_s) + u": Permission denied"_s);
    QCOMPARE(lines.at(21), u"… and 980 more"_s);
}

QTEST_GUILESS_MAIN(TestSceneryApplier)
#include "tst_sceneryapplier.moc"
