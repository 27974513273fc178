#include "config/inifile.h"
#include "platform/folderlock.h"
#include "platform/regularfile.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "tests/support/releasedfifo.h"
#include "tests/support/testfilesystem.h"
#include "tests/support/workedexample.h"
#include "ui/scenform1.h"
#include "widgets/rzchecktree.h"
#include "widgets/rztoolbarbutton.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <unistd.h>
#endif
#include <QScopeGuard>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The scenery files in the forms the worked example's states give them.
const QStringList AgreeingFiles{u"hangar_n.bgl"_s, u"tower.bg_"_s,         u"car_a.bgl"_s,
                                u"car_b.bgl"_s,    u"ground_summer.bg_"_s, u"ground_winter.bgl"_s};

struct TRun
{
    int ExitCode = -1;
    QStringList Out; // stdout, one entry per line
    QString Err;
};

// With a file-size limit (POSIX), the command runs as a user's shell would start it: the limit
// set, and the signal of a write beyond it at its default, which ends the process.
TRun sceneryctl(const QStringList &arguments, qint64 fileSizeLimit = -1)
{
    QProcess process;
#ifndef Q_OS_WIN
    if (fileSizeLimit >= 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            const struct rlimit limit = {rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, SIG_DFL);
        });
    }
#else
    Q_UNUSED(fileSizeLimit);
#endif
    process.start(QStringLiteral(SC_SCENERYCTL), arguments);
    TRun run;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    // Lines end in CR LF on Windows, as its text output does.
    const auto text = [](const QByteArray &bytes) {
        return QString::fromUtf8(bytes).replace(u"\r\n"_s, u"\n"_s);
    };
    run.Out = text(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    run.Err = text(process.readAllStandardError());
    return run;
}

TRun sceneryctl(const TProgramFolder &folder, const QStringList &arguments)
{
    return sceneryctl(QStringList{u"-C"_s, folder.Path()} + arguments);
}

QJsonObject json(const TRun &run)
{
    return QJsonDocument::fromJson(run.Out.join(u'\n').toUtf8()).object();
}

// What a command may change: the control file's bytes and the scenery file names.
QString snapshot(const TProgramFolder &folder)
{
    return QString::fromLatin1(folder.ReadControlFile().toHex()) + u'|'
        + folder.SceneryFiles().join(u',');
}

void prepare(TProgramFolder &folder, const QString &controlFile, const QStringList &files)
{
    folder.WriteControlFile(controlFile);
    folder.AddSceneryFiles(files);
}

// The worked example's four stored states, "hangar_n tower cars season", as in "1 0 1 1".
QString storedStates(const TProgramFolder &folder)
{
    const TIniFile ini(folder.ControlFile());
    QStringList values;
    for (const QString &key : {u"hangar_n"_s, u"tower"_s, u"cars"_s, u"season"_s})
        values << ini.ReadString(u"Checked"_s, key, u"(none)"_s);
    return values.join(u' ');
}

// The scenery files of the worked example in the forms these stored states give them.
QStringList filesOf(const QString &states)
{
    const QStringList value = states.split(u' ');
    const auto form
        = [](const QString &name, bool active) { return name + (active ? u".bgl"_s : u".bg_"_s); };
    QStringList files{
        form(u"hangar_n"_s, value[0] == u"1"),      form(u"tower"_s, value[1] == u"1"),
        form(u"car_a"_s, value[2] == u"1"),         form(u"car_b"_s, value[2] == u"1"),
        form(u"ground_summer"_s, value[3] == u"0"), form(u"ground_winter"_s, value[3] == u"1")};
    files.sort();
    return files;
}

// Clicks the check box of the node at this absolute index, as the user does.
void clickCheckBox(TRzCheckTree &tree, int index)
{
    const QModelIndex item = tree.IndexOf(tree.Items().Item(index));
    tree.scrollTo(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.CheckArea(item).center());
}

} // namespace

class TestSceneryCtl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpAndVersion_data();
    void helpAndVersion();
    void list_data();
    void list();
    void check_data();
    void check();
    void jsonForScripts();
    void lint_data();
    void lint();
    void lintDemo();
    void dryRunChangesNothingAndForetellsApply();
    void applyMatchesWindow_data();
    void applyMatchesWindow();
    void namesIgnoreLetterCase_data();
    void namesIgnoreLetterCase();
    void usageErrorsChangeNothing_data();
    void usageErrorsChangeNothing();
    void refusedRenameIsListed_data();
    void refusedRenameIsListed();
    void unwritableControlFile_data();
    void unwritableControlFile();
    void undoAndRestore_data();
    void undoAndRestore();
    void undoAndRestoreAsJson();
    void undoAndRestoreInUnwritableFolder_data();
    void undoAndRestoreInUnwritableFolder();
    void sceneryBusyChangesNothing();
    void fileSizeLimitIsReported();
    void controlFileNamedWithoutWorkingFolder();
    void folderLinkLeadingOut_data();
    void folderLinkLeadingOut();
    void sceneryBesideControlFile_data();
    void sceneryBesideControlFile();
    void controlCharactersAreShownEscaped_data();
    void controlCharactersAreShownEscaped();
    void controlFileThatIsNoRegularFile_data();
    void controlFileThatIsNoRegularFile();
};

void TestSceneryCtl::helpAndVersion_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("version") << u"--version"_s << u"sceneryctl 2.0.0.0"_s;
    QTest::newRow("help documents the exit status") << u"--help"_s << u"Exit status: 0 success"_s;
}

void TestSceneryCtl::helpAndVersion()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    const TRun run = sceneryctl({option});
    QCOMPARE(run.ExitCode, 0);
    QVERIFY2(run.Out.join(u'\n').contains(expected), qPrintable(run.Out.join(u'\n')));
}

void TestSceneryCtl::list_data()
{
    QTest::addColumn<QString>("storedLanguage");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");

    const QStringList german{u"[x] Hangar Nord  (hangar_n)"_s,
                             u"[ ] Tower  (tower)"_s,
                             u"[x] [Grp] Fahrzeuge  (grp_cars)"_s,
                             u"    [x] Tankwagen"_s,
                             u"    [x] Bus"_s,
                             u"[-] [Sw] Jahreszeit  (sw_season)"_s,
                             u"    [ ] Sommer"_s,
                             u"    [x] Winter"_s};
    const QStringList english{u"[x] Hangar north  (hangar_n)"_s,
                              u"[ ] Tower  (tower)"_s,
                              u"[x] [Grp] Vehicles  (grp_cars)"_s,
                              u"    [x] Tankwagen"_s,
                              u"    [x] Bus"_s,
                              u"[-] [Sw] Season  (sw_season)"_s,
                              u"    [ ] Sommer"_s,
                              u"    [x] Winter"_s};
    QTest::newRow("stored german") << u"german"_s << QStringList() << german;
    QTest::newRow("stored English, any letter case") << u"English"_s << QStringList() << english;
    QTest::newRow("--language english over stored german")
        << u"german"_s << QStringList{u"--language"_s, u"english"_s} << english;
    QTest::newRow("--language german over stored english")
        << u"english"_s << QStringList{u"--language"_s, u"german"_s} << german;
}

void TestSceneryCtl::list()
{
    QFETCH(QString, storedLanguage);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    TProgramFolder folder;
    prepare(folder,
            QString(WorkedExampleControlFile)
                .replace(u"Language=german"_s, u"Language="_s + storedLanguage),
            AgreeingFiles);
    const QString before = snapshot(folder);

    const TRun run = sceneryctl(folder, arguments + QStringList{u"list"_s});
    QCOMPARE(run.Err, QString());
    QCOMPARE(run.ExitCode, 0);
    QCOMPARE(run.Out, expected);
    QCOMPARE(snapshot(folder), before); // not even the language is written
}

void TestSceneryCtl::check_data()
{
    QTest::addColumn<QString>("controlFile");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("changedLines"); // replace the agreeing line of the same key
    QTest::addColumn<int>("exitCode");

    const auto replaced = [](QStringList files, const QString &from, const QStringList &to) {
        files.removeAll(from);
        return files + to;
    };
    QTest::newRow("everything agrees")
        << WorkedExampleControlFile << AgreeingFiles << QStringList() << 0;
    QTest::newRow("missing file")
        << WorkedExampleControlFile << replaced(AgreeingFiles, u"car_b.bgl"_s, {})
        << QStringList{u"DIFFERS  car_b: missing, expected active  (group grp_cars)"_s} << 1;
    QTest::newRow("both forms present")
        << WorkedExampleControlFile << AgreeingFiles + QStringList{u"tower.bgl"_s}
        << QStringList{u"DIFFERS  tower: both forms present, expected inactive  (object tower)"_s}
        << 1;
#ifndef Q_OS_WIN // Windows file names ignore letter case: such twins cannot exist there
    QTest::newRow("names differing only in letter case")
        << WorkedExampleControlFile << AgreeingFiles + QStringList{u"Car_A.bgl"_s}
        << QStringList{u"DIFFERS  car_a: several names differ only in letter case: "
                       u"Scenery/Car_A.bgl, Scenery/car_a.bgl, expected active  (group grp_cars)"_s}
        << 1;
#endif
    QTest::newRow("state disagrees")
        << WorkedExampleControlFile
        << replaced(AgreeingFiles, u"hangar_n.bgl"_s, {u"hangar_n.bg_"_s})
        << QStringList{u"DIFFERS  hangar_n: inactive, expected active  (object hangar_n)"_s} << 1;
    QTest::newRow("letter-case variant agrees and is named")
        << WorkedExampleControlFile
        << replaced(AgreeingFiles, u"ground_winter.bgl"_s, {u"Ground_Winter.bgl"_s})
        << QStringList{u"ok       ground_winter: active, letter case differs: "
                       u"Scenery/Ground_Winter.bgl  (switch sw_season)"_s}
        << 0;
    QTest::newRow("switch value 0 makes alternative 0 the active one")
        << QString(WorkedExampleControlFile).replace(u"season=1"_s, u"season=0"_s) << AgreeingFiles
        << QStringList{u"DIFFERS  ground_summer: inactive, expected active  (switch sw_season)"_s,
                       u"DIFFERS  ground_winter: active, expected inactive  (switch sw_season)"_s}
        << 1;
    QTest::newRow("missing state counts as 1")
        << QString(WorkedExampleControlFile).replace(u"cars=1\n"_s, QString()) << AgreeingFiles
        << QStringList() << 0;
    QTest::newRow("state other than 0 and 1 agrees with nothing")
        << QString(WorkedExampleControlFile).replace(u"tower=0\n"_s, u"tower=5\n"_s)
        << AgreeingFiles
        << QStringList{u"DIFFERS  tower: inactive, state 5 of \"tower\" names no form  "
                       u"(object tower)"_s}
        << 1;
}

void TestSceneryCtl::check()
{
    QFETCH(QString, controlFile);
    QFETCH(QStringList, files);
    QFETCH(QStringList, changedLines);
    QFETCH(int, exitCode);
    TProgramFolder folder;
    prepare(folder, controlFile, files);
    const QString before = snapshot(folder);

    QStringList expected{u"ok       hangar_n: active  (object hangar_n)"_s,
                         u"ok       tower: inactive  (object tower)"_s,
                         u"ok       car_a: active  (group grp_cars)"_s,
                         u"ok       car_b: active  (group grp_cars)"_s,
                         u"ok       ground_summer: inactive  (switch sw_season)"_s,
                         u"ok       ground_winter: active  (switch sw_season)"_s};
    for (const QString &line : changedLines) {
        const QString key = line.mid(9, line.indexOf(u':') - 9);
        for (QString &agreeing : expected) {
            if (agreeing.startsWith(u"ok       "_s + key + u':'))
                agreeing = line;
        }
    }
    const qsizetype differing = changedLines.filter(u"DIFFERS"_s).size();
    expected << u"6 files: %1 agree, %2 differ"_s.arg(6 - differing).arg(differing);

    const TRun run = sceneryctl(folder, {u"check"_s});
    QCOMPARE(run.Out, expected);
    QCOMPARE(run.ExitCode, exitCode);
    QCOMPARE(snapshot(folder), before);
}

void TestSceneryCtl::jsonForScripts()
{
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, {u"hangar_n.bg_"_s, u"Tower.bg_"_s});

    const QJsonObject list = json(sceneryctl(folder, {u"--json"_s, u"list"_s}));
    QCOMPARE(list.value(u"language"_s).toString(), u"german"_s);
    const QJsonObject group = list.value(u"entries"_s).toArray().at(2).toObject();
    QCOMPARE(group.value(u"key"_s).toString(), u"grp_cars"_s);
    QCOMPARE(group.value(u"kind"_s).toString(), u"group"_s);
    QCOMPARE(group.value(u"text"_s).toString(), u"[Grp] Fahrzeuge"_s);
    QCOMPARE(group.value(u"state"_s).toString(), u"checked"_s);
    QCOMPARE(group.value(u"children"_s).toArray().at(1).toObject().value(u"text"_s).toString(),
             u"Bus"_s);

    const TRun checkRun = sceneryctl(folder, {u"check"_s, u"--json"_s});
    QCOMPARE(checkRun.ExitCode, 1);
    const QJsonObject check = json(checkRun);
    QCOMPARE(check.value(u"agree"_s).toBool(), false);
    const QJsonArray files = check.value(u"files"_s).toArray();
    QCOMPARE(files.size(), 6);
    const QJsonObject hangar = files.at(0).toObject();
    QCOMPARE(hangar.value(u"form"_s).toString(), u"inactive"_s);
    QCOMPARE(hangar.value(u"expected"_s).toString(), u"active"_s);
    QCOMPARE(hangar.value(u"agrees"_s).toBool(), false);
    const QJsonObject tower = files.at(1).toObject();
    QCOMPARE(tower.value(u"agrees"_s).toBool(), true);
    QCOMPARE(tower.value(u"letterCaseVariant"_s).toBool(), true);
    QCOMPARE(tower.value(u"inactiveName"_s).toString(), u"Scenery/Tower.bg_"_s);

    const QJsonObject dryRun = json(
        sceneryctl(folder, {u"apply"_s, u"--dry-run"_s, u"--json"_s, u"--on"_s, u"tower"_s}));
    QCOMPARE(dryRun.value(u"dryRun"_s).toBool(), true);
    QCOMPARE(dryRun.value(u"states"_s).toArray().at(1).toObject(),
             (QJsonObject{{u"key"_s, u"tower"_s}, {u"value"_s, u"1"_s}}));
    const QJsonObject rename = dryRun.value(u"files"_s).toArray().at(1).toObject();
    QCOMPARE(rename.value(u"action"_s).toString(), u"rename"_s);
    QCOMPARE(rename.value(u"from"_s).toString(), u"Scenery/Tower.bg_"_s);
    QCOMPARE(rename.value(u"to"_s).toString(), u"Scenery/Tower.bgl"_s);
}

void TestSceneryCtl::lint_data()
{
    QTest::addColumn<QString>("controlFile");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("readmes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("exitCode");

    const QStringList readmes{u"liesmich.html"_s, u"readme.html"_s};
    QTest::newRow("clean") << WorkedExampleControlFile << AgreeingFiles << readmes
                           << QStringList{u"0 errors, 0 warnings, 0 information"_s} << 0;
    QTest::newRow("information alone is clean")
        << WorkedExampleControlFile + u"old_tower=1\n"_s << AgreeingFiles << readmes
        << QStringList{u"information [Checked] old_tower: no entry uses this state key: it is "
                       u"kept as it is"_s,
                       u"0 errors, 0 warnings, 1 information"_s}
        << 0;
    QTest::newRow("a warning fails")
        << WorkedExampleControlFile << AgreeingFiles << QStringList{u"liesmich.html"_s}
        << QStringList{u"warning     readme.html: readme.html is missing beside the control "
                       u"file: the information window shows no readme in English"_s,
                       u"0 errors, 1 warning, 0 information"_s}
        << 1;
    QTest::newRow("an error fails")
        << WorkedExampleControlFile << AgreeingFiles.mid(1) << readmes
        << QStringList{u"error       [Szenerie] hangar_n: neither Scenery/hangar_n.bgl nor "
                       u"Scenery/hangar_n.bg_ exists"_s,
                       u"1 error, 0 warnings, 0 information"_s}
        << 1;
}

void TestSceneryCtl::lint()
{
    QFETCH(QString, controlFile);
    QFETCH(QStringList, files);
    QFETCH(QStringList, readmes);
    QFETCH(QStringList, expected);
    QFETCH(int, exitCode);
    TProgramFolder folder;
    prepare(folder, controlFile, files);
    for (const QString &name : readmes) {
        QFile readme(folder.FilePath(name));
        QVERIFY(readme.open(QIODevice::WriteOnly));
    }
    const QString before = snapshot(folder);

    const TRun run = sceneryctl(folder, {u"lint"_s});
    QCOMPARE(run.Err, QString());
    QCOMPARE(run.Out, expected);
    QCOMPARE(run.ExitCode, exitCode);
    QCOMPARE(snapshot(folder), before);
}

// The demo lints clean but for the file it leaves out on purpose, in text and in JSON.
void TestSceneryCtl::lintDemo()
{
    const QStringList demo{u"-C"_s, QStringLiteral(SC_DEMO_DIR)};
    const TRun text = sceneryctl(demo + QStringList{u"lint"_s});
    QCOMPARE(text.Out,
             (QStringList{u"error       [Szenerie] radar: neither Scenery/radar.bgl nor "
                          u"Scenery/radar.bg_ exists"_s,
                          u"1 error, 0 warnings, 0 information"_s}));
    QCOMPARE(text.ExitCode, 1);
    const TRun german = sceneryctl(demo + QStringList{u"--language"_s, u"german"_s, u"lint"_s});
    QCOMPARE(german.Out,
             (QStringList{u"Fehler      [Szenerie] radar: weder Scenery/radar.bgl noch "
                          u"Scenery/radar.bg_ existiert"_s,
                          u"1 Fehler, 0 Warnungen, 0 Hinweise"_s}));
    QCOMPARE(german.ExitCode, 1);

    const TRun run = sceneryctl(demo + QStringList{u"--json"_s, u"lint"_s});
    QCOMPARE(run.ExitCode, 1);
    const QJsonObject result = json(run);
    QCOMPARE(result.value(u"clean"_s).toBool(true), false);
    QCOMPARE(result.value(u"errors"_s).toInt(), 1);
    QCOMPARE(result.value(u"warnings"_s).toInt(), 0);
    const QJsonArray findings = result.value(u"findings"_s).toArray();
    QCOMPARE(findings.size(), 1);
    const QJsonObject finding = findings.at(0).toObject();
    QCOMPARE(finding.value(u"level"_s).toString(), u"error"_s);
    QCOMPARE(finding.value(u"kind"_s).toString(), u"file-missing"_s);
    QCOMPARE(finding.value(u"section"_s).toString(), u"Szenerie"_s);
    QCOMPARE(finding.value(u"key"_s).toString(), u"radar"_s);
}

void TestSceneryCtl::dryRunChangesNothingAndForetellsApply()
{
    TProgramFolder folder;
    // A stored word the window would rewrite as "english": the command line never writes it.
    prepare(folder,
            QString(WorkedExampleControlFile).replace(u"Language=german"_s, u"Language=English"_s),
            {u"hangar_n.bgl"_s, u"tower.bg_"_s, u"car_a.bgl"_s, u"car_a.bg_"_s, u"car_b.bgl"_s,
             u"ground_summer.bgl"_s, u"ground_winter.bgl"_s});
    const QStringList arguments{u"apply"_s, u"--off"_s, u"hangar_n"_s, u"--on"_s,
                                u"Tower"_s, u"--off"_s, u"grp_cars"_s};
    const QString before = snapshot(folder);

    const TRun dryRun = sceneryctl(folder, arguments + QStringList{u"--dry-run"_s});
    QCOMPARE(dryRun.Err, QString());
    QCOMPARE(dryRun.ExitCode, 0);
    QCOMPARE(snapshot(folder), before);
    // The switch's value 1 picks its second alternative: only the first one's file changes.
    QCOMPARE(
        dryRun.Out,
        (QStringList{u"would write [Checked] hangar_n=0"_s, u"would write [Checked] tower=1"_s,
                     u"would write [Checked] cars=0"_s, u"would write [Checked] season=1"_s,
                     u"would rename Scenery/hangar_n.bgl -> Scenery/hangar_n.bg_"_s,
                     u"would rename Scenery/tower.bg_ -> Scenery/tower.bgl"_s,
                     u"would skip Scenery/car_a.bgl: both forms present"_s,
                     u"would rename Scenery/car_b.bgl -> Scenery/car_b.bg_"_s,
                     u"would rename Scenery/ground_summer.bgl -> Scenery/ground_summer.bg_"_s}));

    // The real run does what the dry run told.
    const TRun applied = sceneryctl(folder, arguments);
    // car_a exists in both forms: reported, so the command ends with status 1.
    QCOMPARE(applied.ExitCode, 1);
    QStringList foretold;
    for (QString line : dryRun.Out) {
        line.remove(0, 6); // "would "
        foretold << line.replace(u"write "_s, u"wrote "_s)
                        .replace(u"rename "_s, u"renamed "_s)
                        .replace(u"skip "_s, u"skipped "_s);
    }
    QCOMPARE(applied.Out, foretold);
    QCOMPARE(folder.SceneryFiles(),
             (QStringList{u"car_a.bg_"_s, u"car_a.bgl"_s, u"car_b.bg_"_s, u"ground_summer.bg_"_s,
                          u"ground_winter.bgl"_s, u"hangar_n.bg_"_s, u"tower.bgl"_s}));
    QVERIFY(folder.ReadControlFile().contains("Language=English\r\n"));
}

void TestSceneryCtl::applyMatchesWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<int>>("clicks"); // absolute indices of the window's check boxes

    // Absolute indices: 0 hangar_n, 1 tower, 2 grp_cars, 3 car_a, 4 car_b, 5 sw_season,
    // 6 ground_summer, 7 ground_winter.
    QTest::newRow("loaded states applied as they are") << QStringList() << QList<int>();
    QTest::newRow("object and group unchecked")
        << QStringList{u"--off"_s, u"hangar_n"_s, u"--off"_s, u"grp_cars"_s} << QList<int>{0, 2};
    QTest::newRow("object checked, switch to alternative 0")
        << QStringList{u"--on"_s, u"tower"_s, u"--switch"_s, u"sw_season=0"_s} << QList<int>{1, 6};
    QTest::newRow("names in another letter case")
        << QStringList{u"--off"_s, u"HANGAR_N"_s, u"--switch"_s, u"Sw_Season=1"_s}
        << QList<int>{0, 7};
}

void TestSceneryCtl::applyMatchesWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<int>, clicks);
    const QStringList files{u"hangar_n.bgl"_s, u"tower.bg_"_s,         u"car_a.bgl"_s,
                            u"car_b.bg_"_s,    u"ground_summer.bgl"_s, u"ground_winter.bg_"_s};
    TProgramFolder byCommand, byWindow;
    prepare(byCommand, WorkedExampleControlFile, files);
    prepare(byWindow, WorkedExampleControlFile, files);

    const TRun run = sceneryctl(byCommand, QStringList{u"apply"_s} + arguments);
    QCOMPARE(run.Err, QString());
    QCOMPARE(run.ExitCode, 0);

    TRecordingPlatform platform(byWindow.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.RzCheckTree1->expandAll();
    for (int index : clicks)
        clickCheckBox(*form.RzCheckTree1, index);
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QCOMPARE(platform.Calls, QStringList());

    QCOMPARE(byCommand.ReadControlFile(), byWindow.ReadControlFile());
    QCOMPARE(byCommand.SceneryFiles(), byWindow.SceneryFiles());
}

// An object and a group whose names differ only in letter case, and a name beyond ASCII.
const QString FoldedNamesControlFile = uR"([Settings]
Language=german
[Szenerie]
Ärger=Ärger
tower=Tower
[Gruppen]
Tower=Türme
[Tower]
Checked=towers
mast=Mast
[Checked]
Ärger=1
tower=1
towers=1
)"_s;

void TestSceneryCtl::namesIgnoreLetterCase_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("one entry named twice, letter case differs")
        << QStringList{u"--off"_s, u"ärger"_s, u"--off"_s, u"ÄRGER"_s} << 0
        << QStringList{u"would write [Checked] Ärger=0"_s, u"would write [Checked] tower=1"_s,
                       u"would write [Checked] towers=1"_s,
                       u"would rename Scenery/Ärger.bgl -> Scenery/Ärger.bg_"_s}
        << QString();
    QTest::newRow("one name for an object and a group")
        << QStringList{u"--off"_s, u"TOWER"_s} << 0
        << QStringList{u"would write [Checked] Ärger=1"_s, u"would write [Checked] tower=0"_s,
                       u"would write [Checked] towers=0"_s,
                       u"would rename Scenery/tower.bgl -> Scenery/tower.bg_"_s,
                       u"would rename Scenery/mast.bgl -> Scenery/mast.bg_"_s}
        << QString();
    QTest::newRow("object and group on and off")
        << QStringList{u"--on"_s, u"tower"_s, u"--off"_s, u"ärger"_s, u"--off"_s, u"Tower"_s} << 2
        << QStringList() << u"sceneryctl: conflicting changes for Tower\n"_s;
}

void TestSceneryCtl::namesIgnoreLetterCase()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, out);
    QFETCH(QString, err);
    TProgramFolder folder;
    prepare(folder, FoldedNamesControlFile, {u"Ärger.bgl"_s, u"tower.bgl"_s, u"mast.bgl"_s});

    const TRun run = sceneryctl(folder, QStringList{u"apply"_s, u"--dry-run"_s} + arguments);
    QCOMPARE(run.Err, err);
    QCOMPARE(run.ExitCode, exitCode);
    QCOMPARE(run.Out, out);
}

void TestSceneryCtl::usageErrorsChangeNothing_data()
{
    QTest::addColumn<QString>("extraFile"); // besides the control file and the scenery files
    QTest::addColumn<bool>("removeControlFile");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");

    QTest::newRow("unknown name, after a valid one")
        << QString() << false
        << QStringList{u"apply"_s, u"--off"_s, u"tower"_s, u"--on"_s, u"radar"_s}
        << u"sceneryctl: unknown name: radar\n"_s;
    QTest::newRow("--on on a switch")
        << QString() << false << QStringList{u"apply"_s, u"--on"_s, u"sw_season"_s}
        << u"sceneryctl: sw_season is a switch: use --switch sw_season=0 or =1\n"_s;
    QTest::newRow("--switch on a group")
        << QString() << false << QStringList{u"apply"_s, u"--switch"_s, u"grp_cars=1"_s}
        << u"sceneryctl: grp_cars is not a switch\n"_s;
    QTest::newRow("--switch with a value other than 0 and 1")
        << QString() << false << QStringList{u"apply"_s, u"--switch"_s, u"sw_season=2"_s}
        << u"sceneryctl: --switch wants NAME=0 or NAME=1, not sw_season=2\n"_s;
    QTest::newRow("the same entry on and off")
        << QString() << false
        << QStringList{u"apply"_s, u"--on"_s, u"tower"_s, u"--off"_s, u"TOWER"_s}
        << u"sceneryctl: conflicting changes for TOWER\n"_s;
    QTest::newRow("changes outside apply")
        << QString() << false << QStringList{u"list"_s, u"--off"_s, u"tower"_s}
        << u"sceneryctl: --on, --off and --switch belong to apply\n"_s;
    QTest::newRow("changes with undo")
        << QString() << false << QStringList{u"undo"_s, u"--on"_s, u"tower"_s}
        << u"sceneryctl: --on, --off and --switch belong to apply\n"_s;
    QTest::newRow("--dry-run outside apply, undo and restore")
        << QString() << false << QStringList{u"check"_s, u"--dry-run"_s}
        << u"sceneryctl: --dry-run belongs to apply, undo and restore\n"_s;
    QTest::newRow("--dry-run with lint")
        << QString() << false << QStringList{u"lint"_s, u"--dry-run"_s}
        << u"sceneryctl: --dry-run belongs to apply, undo and restore\n"_s;
    QTest::newRow("unknown command")
        << QString() << false << QStringList{u"show"_s}
        << u"sceneryctl: unknown command: show (list, check, apply, undo, restore or lint)\n"_s;
    QTest::newRow("unknown option") << QString() << false << QStringList{u"apply"_s, u"--force"_s}
                                    << u"sceneryctl: Unknown option 'force'.\n"_s;
    QTest::newRow("unknown language")
        << QString() << false << QStringList{u"--language"_s, u"french"_s, u"list"_s}
        << u"sceneryctl: unknown language: french (german or english)\n"_s;
    QTest::newRow("no control file") << QString() << true << QStringList{u"list"_s}
                                     << u"sceneryctl: no control file (*.ini) in %folder\n"_s;
    QTest::newRow("several control files, named")
        << u"other.ini"_s << false << QStringList{u"apply"_s}
        << u"sceneryctl: several control files in %folder: other.ini, XXXX.ini; "
           u"choose one with --control\n"_s;
    QTest::newRow("several control files, one name with an escape sequence")
        << u"other\x1b[31m.ini"_s << false << QStringList{u"apply"_s}
        << u"sceneryctl: several control files in %folder: other\\u001b[31m.ini, XXXX.ini; "
           u"choose one with --control\n"_s;
    QTest::newRow("missing control file named")
        << QString() << false << QStringList{u"--control"_s, u"none.ini"_s, u"apply"_s}
        << u"sceneryctl: no such control file: %folder/none.ini\n"_s;
}

void TestSceneryCtl::usageErrorsChangeNothing()
{
    QFETCH(QString, extraFile);
    QFETCH(bool, removeControlFile);
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
#ifdef Q_OS_WIN
    if (extraFile.contains(QChar(0x1b)))
        QSKIP("Windows file names cannot hold control characters");
#endif
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, {u"hangar_n.bg_"_s, u"tower.bgl"_s});
    if (!extraFile.isEmpty()) {
        QFile extra(folder.FilePath(extraFile));
        QVERIFY(extra.open(QIODevice::WriteOnly));
    }
    if (removeControlFile)
        QVERIFY(QFile::remove(folder.ControlFile()));
    const QString before = snapshot(folder);

    const TRun run = sceneryctl(folder, arguments);
    QCOMPARE(run.Err,
             QDir::toNativeSeparators(
                 QString(error).replace(u"%folder"_s, QDir(folder.Path()).absolutePath())));
    QCOMPARE(run.ExitCode, 2);
    QCOMPARE(run.Out, QStringList());
    QCOMPARE(snapshot(folder), before);
}

void TestSceneryCtl::refusedRenameIsListed_data()
{
    QTest::addColumn<bool>("heldOpen");
    QTest::addColumn<QString>("reason"); // empty: the system's own words
    QTest::newRow("a file that cannot be renamed") << false << QString();
    // Windows refuses to rename a file that another program (the simulator) holds open.
    QTest::newRow("held open by another program")
        << true << u"in use by another program (the simulator?)"_s;
}

void TestSceneryCtl::refusedRenameIsListed()
{
    QFETCH(bool, heldOpen);
    QFETCH(QString, reason);
#ifndef Q_OS_WIN
    if (heldOpen)
        QSKIP("Only Windows refuses to rename a file that another program holds open");
#endif
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, {u"hangar_n.bgl"_s, u"car_a.bg_"_s});
    // An open file shares reading and writing but not deletion, as the simulator's do.
    QFile held(folder.FilePath(u"Scenery/hangar_n.bgl"_s));
    if (heldOpen)
        QVERIFY(held.open(QIODevice::ReadOnly));
    else if (!SetImmutable(held.fileName(), true))
        QSKIP("this file system cannot make a file immutable");
    const auto restore = qScopeGuard([&] { SetImmutable(held.fileName(), false); });

    const TRun run = sceneryctl(folder, {u"apply"_s, u"--off"_s, u"hangar_n"_s});
    QCOMPARE(run.ExitCode, 1);
    QCOMPARE(run.Err, u"sceneryctl: 1 file(s) could not be renamed\n"_s);
    const QString refusal = u"could not rename Scenery/hangar_n.bgl -> Scenery/hangar_n.bg_: "_s;
    const QStringList refused = run.Out.filter(refusal);
    QCOMPARE(refused.size(), 1);
    if (reason.isEmpty())
        QVERIFY(refused.first().size() > refusal.size()); // the system's reason follows
    else
        QCOMPARE(refused.first(), refusal + reason);
    // The other entries went on, and the states were written.
    QVERIFY(run.Out.contains(u"renamed Scenery/car_a.bg_ -> Scenery/car_a.bgl"_s));
    QVERIFY(folder.ReadControlFile().contains("hangar_n=0\r\n"));
}

void TestSceneryCtl::unwritableControlFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("errorPrefix");
    QTest::newRow("apply") << QStringList{u"apply"_s, u"--off"_s, u"hangar_n"_s}
                           << u"sceneryctl: cannot write the control file: "_s;
    // A dry run foretells the failure instead of the writes and renames Apply would not do.
    QTest::newRow("dry run") << QStringList{u"apply"_s, u"--off"_s, u"hangar_n"_s, u"--dry-run"_s}
                             << u"sceneryctl: apply would stop: "_s;
}

void TestSceneryCtl::unwritableControlFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, errorPrefix);
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, {u"hangar_n.bgl"_s, u"tower.bg_"_s});
    const QString before = snapshot(folder);
    if (!folder.SetWritable(false))
        QSKIP("this file system cannot make a folder immutable");
    const auto restore = qScopeGuard([&] { folder.SetWritable(true); });

    const TRun run = sceneryctl(folder, arguments);
    QCOMPARE(run.ExitCode, 1);
    const QString error = u"In %1 kann nicht geschrieben werden"_s.arg(
        QDir::toNativeSeparators(folder.ControlFile()));
    QCOMPARE(run.Err, errorPrefix + error + u'\n');
    QCOMPARE(run.Out, QStringList()); // no state was written
    const TRun asJson = sceneryctl(folder, arguments + QStringList{u"--json"_s});
    QCOMPARE(asJson.ExitCode, 1);
    QCOMPARE(json(asJson).value(u"states"_s).toArray(), QJsonArray());
    QCOMPARE(json(asJson).value(u"error"_s).toString(), error);
    QCOMPARE(snapshot(folder), before);
}

void TestSceneryCtl::undoAndRestore_data()
{
    QTest::addColumn<QList<QStringList>>("before"); // commands run first, each must succeed
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("out"); // lines the output must hold
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("states"); // hangar_n tower cars season, afterwards

    // Shipped: 1 0 1 1.
    const QStringList offHangar{u"apply"_s, u"--off"_s, u"hangar_n"_s};
    const QStringList summer{u"apply"_s, u"--switch"_s, u"sw_season=0"_s};
    const QStringList undo{u"undo"_s};
    const QStringList restore{u"restore"_s};
    const QString nothingToUndo
        = u"sceneryctl: nothing to undo: no apply has changed a state of this scenery yet\n"_s;

    QTest::newRow("undo the last of two applies")
        << QList<QStringList>{offHangar, summer} << undo << 0
        << QStringList{u"wrote [Checked] season=1"_s,
                       u"renamed Scenery/ground_winter.bg_ -> Scenery/ground_winter.bgl"_s}
        << QString() << u"0 0 1 1"_s;
    QTest::newRow("undo twice: the undone apply again")
        << QList<QStringList>{offHangar, summer, undo} << undo << 0 << QStringList() << QString()
        << u"0 0 1 0"_s;
    QTest::newRow("an apply that changes nothing keeps the undo")
        << QList<QStringList>{offHangar, {u"apply"_s}} << undo << 0 << QStringList() << QString()
        << u"1 0 1 1"_s;
    QTest::newRow("restore after several applies")
        << QList<QStringList>{offHangar,
                              {u"apply"_s, u"--on"_s, u"tower"_s},
                              summer,
                              {u"apply"_s, u"--off"_s, u"grp_cars"_s}}
        << restore << 0
        << QStringList{u"wrote [Checked] hangar_n=1"_s, u"wrote [Checked] tower=0"_s,
                       u"renamed Scenery/car_a.bg_ -> Scenery/car_a.bgl"_s}
        << QString() << u"1 0 1 1"_s;
    QTest::newRow("a restore is undone like an apply")
        << QList<QStringList>{offHangar, summer, restore} << undo << 0 << QStringList() << QString()
        << u"0 0 1 0"_s;
    QTest::newRow("restore before any apply")
        << QList<QStringList>() << restore << 0 << QStringList() << QString() << u"1 0 1 1"_s;
    QTest::newRow("undo, dry run")
        << QList<QStringList>{offHangar} << QStringList{u"undo"_s, u"--dry-run"_s} << 0
        << QStringList{u"would write [Checked] hangar_n=1"_s,
                       u"would rename Scenery/hangar_n.bg_ -> Scenery/hangar_n.bgl"_s}
        << QString() << u"0 0 1 1"_s;
    QTest::newRow("restore, dry run")
        << QList<QStringList>{offHangar, summer} << QStringList{u"restore"_s, u"--dry-run"_s} << 0
        << QStringList{u"would write [Checked] season=1"_s,
                       u"would rename Scenery/ground_summer.bgl -> Scenery/ground_summer.bg_"_s}
        << QString() << u"0 0 1 0"_s;
    QTest::newRow("nothing to undo before any apply")
        << QList<QStringList>() << undo << 1 << QStringList() << nothingToUndo << u"1 0 1 1"_s;
    QTest::newRow("nothing to undo after an apply that changed nothing")
        << QList<QStringList>{{u"apply"_s}} << undo << 1 << QStringList() << nothingToUndo
        << u"1 0 1 1"_s;
    QTest::newRow("nothing to undo, dry run")
        << QList<QStringList>() << QStringList{u"undo"_s, u"--dry-run"_s} << 1 << QStringList()
        << nothingToUndo << u"1 0 1 1"_s;
}

// Undo takes the states from before the last apply that changed one, restore those the scenery
// was shipped with; both apply them at once, files included, as apply does.
void TestSceneryCtl::undoAndRestore()
{
    QFETCH(QList<QStringList>, before);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, out);
    QFETCH(QString, err);
    QFETCH(QString, states);
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, filesOf(u"1 0 1 1"_s));
    for (const QStringList &command : before) {
        const TRun run = sceneryctl(folder, command);
        QVERIFY2(run.ExitCode == 0, qPrintable(command.join(u' ') + u": "_s + run.Err));
    }
    const QString earlier = snapshot(folder);

    const TRun run = sceneryctl(folder, arguments);
    QCOMPARE(run.Err, err);
    QCOMPARE(run.ExitCode, exitCode);
    for (const QString &line : out)
        QVERIFY2(run.Out.contains(line), qPrintable(run.Out.join(u'\n')));
    QCOMPARE(storedStates(folder), states);
    QCOMPARE(folder.SceneryFiles(), filesOf(states));
    if (exitCode != 0 || arguments.contains(u"--dry-run"_s))
        QCOMPARE(snapshot(folder), earlier);
}

void TestSceneryCtl::undoAndRestoreAsJson()
{
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, filesOf(u"1 0 1 1"_s));
    // Nothing to undo yet: a script that asked for JSON reads the error as JSON.
    const TRun nothing = sceneryctl(folder, {u"undo"_s, u"--json"_s});
    QCOMPARE(nothing.ExitCode, 1);
    QCOMPARE(json(nothing).value(u"error"_s).toString(),
             u"nothing to undo: no apply has changed a state of this scenery yet"_s);
    QCOMPARE(sceneryctl(folder, {u"apply"_s, u"--off"_s, u"hangar_n"_s}).ExitCode, 0);

    for (const QString &command : {u"undo"_s, u"restore"_s}) {
        const TRun run = sceneryctl(folder, {command, u"--dry-run"_s, u"--json"_s});
        QCOMPARE(run.ExitCode, 0);
        const QJsonObject result = json(run);
        QCOMPARE(result.value(u"dryRun"_s).toBool(), true);
        QCOMPARE(result.value(u"states"_s).toArray().first().toObject(),
                 (QJsonObject{{u"key"_s, u"hangar_n"_s}, {u"value"_s, u"1"_s}}));
        QCOMPARE(result.value(u"files"_s).toArray().first().toObject().value(u"action"_s),
                 u"rename"_s);
    }
    const TRun run = sceneryctl(folder, {u"undo"_s, u"--json"_s});
    QCOMPARE(run.ExitCode, 0);
    QCOMPARE(json(run).value(u"dryRun"_s).toBool(), false);
    QCOMPARE(json(run).value(u"files"_s).toArray().first().toObject().value(u"to"_s),
             u"Scenery/hangar_n.bgl"_s);
    QCOMPARE(storedStates(folder), u"1 0 1 1"_s);
}

void TestSceneryCtl::undoAndRestoreInUnwritableFolder_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("undo") << u"undo"_s;
    QTest::newRow("restore") << u"restore"_s;
}

// Undo and restore go through Apply: a control file that cannot be written stops them before
// any file is renamed, with apply's message.
void TestSceneryCtl::undoAndRestoreInUnwritableFolder()
{
    QFETCH(QString, command);
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, filesOf(u"1 0 1 1"_s));
    QCOMPARE(sceneryctl(folder, {u"apply"_s, u"--off"_s, u"hangar_n"_s}).ExitCode, 0);
    const QString before = snapshot(folder);
    if (!folder.SetWritable(false))
        QSKIP("this file system cannot make a folder immutable");
    const auto restore = qScopeGuard([&] { folder.SetWritable(true); });

    const TRun run = sceneryctl(folder, {command});
    QCOMPARE(run.ExitCode, 1);
    QCOMPARE(
        run.Err,
        u"sceneryctl: cannot write the control file: In %1 kann nicht geschrieben werden\n"_s.arg(
            QDir::toNativeSeparators(folder.ControlFile())));
    QCOMPARE(run.Out, QStringList());
    QCOMPARE(snapshot(folder), before);
}

// While another instance holds the scenery's lock, apply changes nothing and says why; reading
// commands and a dry run still work. Once the lock is released, apply goes through.
void TestSceneryCtl::sceneryBusyChangesNothing()
{
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, {u"hangar_n.bgl"_s, u"tower.bg_"_s});
    const QString before = snapshot(folder);
    const QStringList apply{u"apply"_s, u"--off"_s, u"hangar_n"_s};
    {
        TFolderLock other(folder.Path());
        QVERIFY(other.TryLock());
        const QList<QStringList> commands{apply, {u"undo"_s}, {u"restore"_s}};
        for (const QStringList &command : commands) {
            const TRun run = sceneryctl(folder, command);
            QCOMPARE(run.ExitCode, 1);
            QCOMPARE(
                run.Err,
                u"sceneryctl: another program is changing this scenery; nothing was changed\n"_s);
            QCOMPARE(snapshot(folder), before);
        }
        QCOMPARE(sceneryctl(folder, apply + QStringList{u"--dry-run"_s}).ExitCode, 0);
        QCOMPARE(sceneryctl(folder, {u"list"_s}).ExitCode, 0);
    }
    QCOMPARE(sceneryctl(folder, apply).ExitCode, 0);
    QVERIFY(snapshot(folder) != before);
}

// A write beyond the user's file-size limit is an error like a full disk, not a silent death.
void TestSceneryCtl::fileSizeLimitIsReported()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no per-process file-size limit");
#endif
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, AgreeingFiles);
    const QString before = snapshot(folder);
    const TRun run
        = sceneryctl(QStringList{u"-C"_s, folder.Path(), u"apply"_s, u"--off"_s, u"hangar_n"_s},
                     folder.ReadControlFile().size() / 2);
    QCOMPARE(run.ExitCode, 1);
    QVERIFY2(run.Err.contains(u"kann nicht geschrieben werden"_s), qPrintable(run.Err));
    QCOMPARE(snapshot(folder), before);
}

// A control file named with its full path needs no working folder: a deleted one is no error.
void TestSceneryCtl::controlFileNamedWithoutWorkingFolder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows does not let a folder in use be deleted");
#else
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, AgreeingFiles);
    QTemporaryDir parent;
    const QByteArray gone = QFile::encodeName(parent.filePath(u"gone"_s));
    QVERIFY(QDir().mkpath(parent.filePath(u"gone"_s)));
    QProcess process;
    process.setChildProcessModifier([gone] {
        if (::chdir(gone.constData()) == 0)
            ::rmdir(gone.constData());
    });
    process.start(QStringLiteral(SC_SCENERYCTL),
                  {u"--control"_s, folder.ControlFile(), u"apply"_s, u"--off"_s, u"hangar_n"_s});
    QVERIFY(process.waitForFinished(-1));
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(folder.SceneryFiles().contains(u"hangar_n.bg_"_s));
#endif
}

void TestSceneryCtl::folderLinkLeadingOut_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expectedLine");
    QTest::newRow("check") << QStringList{u"check"_s}
                           << u"DIFFERS  sub\\victim: outside the Scenery folder, expected active  "
                              u"(object sub\\victim)"_s;
    QTest::newRow("apply") << QStringList{u"apply"_s, u"--off"_s, u"sub\\victim"_s}
                           << u"skipped Scenery/sub\\victim.bgl: outside the Scenery folder"_s;
}

// A folder inside Scenery that is a link to a folder elsewhere leads out of it: the key's text
// alone does not show that.
void TestSceneryCtl::folderLinkLeadingOut()
{
#ifdef Q_OS_WIN
    QSKIP("symbolic links need rights that Windows users seldom have");
#endif
    QFETCH(QStringList, arguments);
    QFETCH(QString, expectedLine);
    TProgramFolder folder, elsewhere;
    prepare(folder, u"[Szenerie]\nsub\\victim=Opfer\n[Checked]\nsub\\victim=1\n"_s, {});
    elsewhere.AddSceneryFiles({u"victim.bgl"_s});
    QVERIFY(QFile::link(elsewhere.FilePath(u"Scenery"_s), folder.FilePath(u"Scenery/sub"_s)));

    const TRun run = sceneryctl(folder, arguments);
    QVERIFY2(run.Out.contains(expectedLine), qPrintable(run.Out.join(u'\n')));
    QCOMPARE(elsewhere.SceneryFiles(), QStringList{u"victim.bgl"_s});
}

void TestSceneryCtl::sceneryBesideControlFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expectedLine");
    QTest::addColumn<QStringList>("expectedFiles");
    QTest::newRow("apply") << QStringList{u"apply"_s, u"--off"_s, u"hangar_n"_s} << 0
                           << u"renamed Scenery/hangar_n.bgl -> Scenery/hangar_n.bg_"_s
                           << QStringList{u"hangar_n.bg_"_s, u"tower.bg_"_s};
    QTest::newRow("check") << QStringList{u"check"_s} << 1
                           << u"ok       hangar_n: active  (object hangar_n)"_s
                           << QStringList{u"hangar_n.bgl"_s, u"tower.bg_"_s};
}

// A control file named in another folder brings its own Scenery folder, whatever -C says.
void TestSceneryCtl::sceneryBesideControlFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, expectedLine);
    QFETCH(QStringList, expectedFiles);
    TProgramFolder folder, elsewhere;
    prepare(folder, WorkedExampleControlFile, {u"hangar_n.bgl"_s, u"tower.bg_"_s});
    elsewhere.AddSceneryFiles({u"hangar_n.bg_"_s});
    QFile::remove(elsewhere.ControlFile());

    const TRun run
        = sceneryctl(elsewhere, QStringList{u"--control"_s, folder.ControlFile()} + arguments);
    QCOMPARE(run.Err, QString());
    QVERIFY2(run.Out.contains(expectedLine), qPrintable(run.Out.join(u'\n')));
    QCOMPARE(run.ExitCode, exitCode); // the other files of the example are missing
    QCOMPARE(folder.SceneryFiles(), expectedFiles);
    QCOMPARE(elsewhere.SceneryFiles(), QStringList{u"hangar_n.bg_"_s});
}

void TestSceneryCtl::controlCharactersAreShownEscaped_data()
{
    QTest::addColumn<QString>("caption"); // of hangar_n in the control file
    QTest::addColumn<QString>("shown");
    // A control file must not be able to drive the terminal (clear it, retitle it, recolour it).
    QTest::newRow("escape sequence") << u"Hangar \x1b[2JNord"_s << u"Hangar \\u001b[2JNord"_s;
    QTest::newRow("bell and delete") << u"Hangar\x07\x7fNord"_s << u"Hangar\\u0007\\u007fNord"_s;
    QTest::newRow("tab") << u"Hangar\tNord"_s << u"Hangar\\tNord"_s;
    QTest::newRow("C1 control from a UTF-8 file")
        << u"Hangar \u009b2JNord"_s << u"Hangar \\u009b2JNord"_s;
    QTest::newRow("letters and signs stay") << u"Hängar № 1 ✈"_s << u"Hängar № 1 ✈"_s;
}

void TestSceneryCtl::controlCharactersAreShownEscaped()
{
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    TProgramFolder folder;
    folder.AddSceneryFiles(AgreeingFiles);
    QFile file(folder.ControlFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString(WorkedExampleControlFile)
                   .replace(u"hangar_n=Hangar Nord"_s, u"hangar_n="_s + caption)
                   .replace(u"\n"_s, u"\r\n"_s)
                   .toUtf8());
    file.close();

    const TRun run = sceneryctl(folder, {u"list"_s});
    QCOMPARE(run.ExitCode, 0);
    QCOMPARE(run.Out.value(0), u"[x] "_s + shown + u"  (hangar_n)"_s);
}

void TestSceneryCtl::controlFileThatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    // Opening a FIFO for reading waits for a writer: the command would hang.
    QTest::newRow("FIFO") << u"FIFO"_s << u"not a regular file"_s;
    QTest::newRow("link to a device") << u"device"_s << u"not a regular file"_s;
    // The accessor reads a file larger than its limit as empty: that is no empty tree.
    QTest::newRow("larger than the accessor reads")
        << u"large"_s << u"larger than %1 bytes"_s.arg(MaxControlFileSize);
}

void TestSceneryCtl::controlFileThatIsNoRegularFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TProgramFolder folder;
    prepare(folder, WorkedExampleControlFile, AgreeingFiles);
    const QByteArray content = folder.ReadControlFile();
    std::optional<TReleasedFifo> fifo;
    if (kind == u"large") {
        // Sparse: the size counts, not the bytes written.
        QFile file(folder.ControlFile());
        QVERIFY(file.resize(MaxControlFileSize + 1));
    } else {
#ifdef Q_OS_WIN
        QSKIP("Windows has neither FIFOs nor devices in its file system");
#endif
        QVERIFY(QFile::remove(folder.ControlFile()));
        if (kind == u"FIFO")
            QVERIFY(fifo.emplace(folder.ControlFile(), content).Created());
        else
            QVERIFY(QFile::link(u"/dev/zero"_s, folder.ControlFile()));
    }

    const TRun run = sceneryctl(folder, {u"list"_s});
    QCOMPARE(
        run.Err,
        u"sceneryctl: cannot read the control file %1: %2\n"_s.arg(
            QDir::toNativeSeparators(QDir(folder.Path()).absoluteFilePath(u"XXXX.ini"_s)), reason));
    QCOMPARE(run.ExitCode, 1);
    QCOMPARE(run.Out, QStringList());
}

QTEST_MAIN(TestSceneryCtl)
#include "tst_sceneryctl.moc"
