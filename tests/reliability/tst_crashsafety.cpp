#include "config/inifile.h"
#include "tests/support/testfilesystem.h"
#include "walk/ftw.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Under the sanitizers the program is a few times slower, and under Wine every file operation
// is: fewer entries and kills there.
#if defined(__SANITIZE_ADDRESS__) || defined(Q_OS_WIN)
constexpr bool SlowRuns = true;
#else
constexpr bool SlowRuns = false;
#endif

// Every run waits at most this long for the child; only a hang comes near it.
constexpr int ChildTimeoutMs = 120'000;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder with a control file of many objects, groups and switches, and their scenery
// files in the forms the recorded states give. Every tenth object lies in a sub-folder.
class TGeneratedScenery
{
public:
    TGeneratedScenery(const QString &folder, int objects, int groups, int switches)
        : FFolder(folder)
    {
        QDir(folder).mkpath(u"Scenery/north"_s);
        QStringList objectLines, groupLines, switchLines, sectionLines, stateLines;
        for (int i = 0; i < objects; ++i) {
            const QString key
                = (i % 10 == 0 ? u"north\\obj%1"_s : u"obj%1"_s).arg(i, 5, 10, QChar(u'0'));
            objectLines << key + u"=Objekt %1"_s.arg(i);
            stateLines << key + (i % 3 == 0 ? u"=0"_s : u"=1"_s);
            FEntries.append({false, key, {key}});
        }
        for (int g = 0; g < groups; ++g) {
            const QString name = u"grp%1"_s.arg(g, 4, 10, QChar(u'0'));
            groupLines << name + u"=Gruppe %1"_s.arg(g);
            sectionLines << u'[' + name + u']' << u"Checked="_s + name + u"_on"_s << u"Show=1"_s;
            QStringList members;
            for (const char16_t m : {u'a', u'b', u'c'}) {
                members << name + u'_' + QChar(m);
                sectionLines << members.last() + u"=Teil"_s;
            }
            stateLines << name + (g % 2 == 0 ? u"_on=0"_s : u"_on=1"_s);
            FEntries.append({false, name + u"_on"_s, members});
        }
        for (int s = 0; s < switches; ++s) {
            const QString name = u"sw%1"_s.arg(s, 4, 10, QChar(u'0'));
            switchLines << name + u"=Schalter %1"_s.arg(s);
            sectionLines << u'[' + name + u']' << u"Checked="_s + name + u"_on"_s
                         << name + u"_summer=Sommer"_s << name + u"_winter=Winter"_s;
            stateLines << name + (s % 2 == 0 ? u"_on=0"_s : u"_on=1"_s);
            FEntries.append({true, name + u"_on"_s, {name + u"_summer"_s, name + u"_winter"_s}});
        }
        const QStringList lines = QStringList{u"[Settings]"_s, u"Language=german"_s, u"[german]"_s,
                                              u"Title=Absturztest"_s, u"[Szenerie]"_s}
            + objectLines + QStringList{u"[Gruppen]"_s} + groupLines + QStringList{u"[Schalter]"_s}
            + switchLines + sectionLines + QStringList{u"[Checked]"_s} + stateLines;
        QFile control(ControlFile());
        if (!control.open(QIODevice::WriteOnly)
            || control.write((lines.join(u"\r\n"_s) + u"\r\n"_s).toLatin1()) < 0)
            qFatal("cannot write the control file");
        control.close();
        const std::optional<QHash<QString, bool>> forms = RecordedForms();
        for (auto it = forms->cbegin(); it != forms->cend(); ++it) {
            QFile file(FilePath(it.key(), it.value()));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot create a scenery file");
        }
    }

    QString ControlFile() const { return FFolder + u"/XXXX.ini"_s; }
    QByteArray ControlBytes() const { return readFile(ControlFile()); }

    // The form of every scenery file that the control file records; nothing when a state is
    // missing or not 0 or 1, as in a truncated or mixed file.
    std::optional<QHash<QString, bool>> RecordedForms() const
    {
        const TIniFile ini(ControlFile());
        QHash<QString, bool> forms;
        for (const TEntry &entry : FEntries) {
            const qint32 state = ini.ReadInteger(u"Checked"_s, entry.StateKey, -1);
            if (state != 0 && state != 1)
                return std::nullopt;
            for (qsizetype i = 0; i < entry.Keys.size(); ++i)
                forms.insert(entry.Keys[i], entry.IsSwitch ? state == i : state == 1);
        }
        return forms;
    }

    // Scenery files that exist in both forms or in neither; empty when each has exactly one.
    QStringList BrokenFiles() const
    {
        QStringList broken;
        for (const TEntry &entry : FEntries) {
            for (const QString &key : entry.Keys) {
                if (QFileInfo::exists(FilePath(key, true))
                    == QFileInfo::exists(FilePath(key, false)))
                    broken << key;
            }
        }
        return broken;
    }

    // Scenery files whose form differs from the recorded state.
    QStringList Mismatches() const
    {
        const std::optional<QHash<QString, bool>> forms = RecordedForms();
        if (!forms)
            return {u"(the control file records no complete set of states)"_s};
        QStringList wrong;
        for (auto it = forms->cbegin(); it != forms->cend(); ++it) {
            if (!QFileInfo::exists(FilePath(it.key(), it.value())))
                wrong << it.key();
        }
        wrong.sort();
        return wrong;
    }

    // Entries of the program folder that are neither the control file nor a scenery file.
    QStringList StrayEntries() const
    {
        QSet<QString> known{u"XXXX.ini"_s, u"Scenery"_s, u"Scenery/north"_s};
        for (const TEntry &entry : FEntries) {
            for (const QString &key : entry.Keys) {
                const QString path = u"Scenery/"_s + QString(key).replace(u'\\', u'/');
                known << path + u".bgl"_s << path + u".bg_"_s;
            }
        }
        QStringList strays;
        const QDir folder(FFolder);
        QDirIterator it(FFolder,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString entry = folder.relativeFilePath(it.next());
            if (!known.contains(entry))
                strays << entry;
        }
        return strays;
    }

    // The control files the start-up search of the program folder finds.
    QStringList StartUpCandidates() const
    {
        QStringList found;
        TFtw ftw;
        ftw.Filter = u"*.ini"_s;
        ftw.StartPath = FFolder + u'/';
        ftw.OnProcessFile = [&found](const QString &path, const TSearchRec &info) {
            if (!(info.Attr & faDirectory))
                found << QFileInfo(path + u'/' + info.Name).fileName();
            return FindMore;
        };
        ftw.Execute();
        return found;
    }

private:
    struct TEntry
    {
        bool IsSwitch;
        QString StateKey;
        QStringList Keys; // object key, group members, or the two alternatives
    };

    QString FilePath(const QString &key, bool active) const
    {
        return FFolder + u"/Scenery/"_s + QString(key).replace(u'\\', u'/')
            + (active ? u".bgl"_s : u".bg_"_s);
    }

    QString FFolder;
    QList<TEntry> FEntries;
};

struct TChildRun
{
    bool Killed = false;
    int ExitCode = -1;
    QString Output;
    qint64 ApplyMicroseconds = -1;
};

TChildRun runChild(const QString &controlFile, const QString &mode, qint64 killAfter = -1,
                   qint64 sizeLimit = -1)
{
    QStringList arguments{controlFile, mode};
    if (killAfter >= 0 || sizeLimit >= 0)
        arguments << QString::number(killAfter);
    if (sizeLimit >= 0)
        arguments << QString::number(sizeLimit);
    QProcess child;
    child.start(QStringLiteral(SC_APPLY_CHILD), arguments);
    TChildRun run;
    if (!child.waitForFinished(ChildTimeoutMs)) {
        child.kill();
        child.waitForFinished();
        run.Output = u"(no end in time)"_s;
        return run;
    }
    run.Killed = child.exitStatus() == QProcess::CrashExit;
    run.ExitCode = run.Killed ? -1 : child.exitCode();
    run.Output = QString::fromLocal8Bit(child.readAllStandardOutput())
        + QString::fromLocal8Bit(child.readAllStandardError());
    for (const QString &line : run.Output.split(u'\n')) {
        if (line.startsWith(u"applied "))
            run.ApplyMicroseconds = line.mid(8).toLongLong();
    }
    return run;
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killDuringApply_data();
    void killDuringApply();
    void temporaryFileLeftByKill();
    void saveFailsOnFullDisk_data();
    void saveFailsOnFullDisk();
};

void TestCrashSafety::killDuringApply_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("kills");
    QTest::newRow("apply") << u"flip"_s << (SlowRuns ? 12 : 40);
    QTest::newRow("undo") << u"undo"_s << (SlowRuns ? 6 : 20);
    QTest::newRow("restore") << u"restore"_s << (SlowRuns ? 6 : 20);
}

// Apply, and undo and restore which go through it, run in a child process that is killed with
// SIGKILL after a delay drawn from a fixed list of seeds. Whatever moment the kill hits, the
// control file is the old or the new content byte for byte, every scenery file exists in exactly
// one form, and a control file still holding the old states means that no file was renamed. The
// next run of the tool then sets every file right, whether it applies the recorded states again
// or undoes the interrupted run, and its start-up still finds one control file.
void TestCrashSafety::killDuringApply()
{
    QFETCH(QString, mode);
    QFETCH(int, kills);
    const int objects = SlowRuns ? 600 : 1600;
    const int groups = SlowRuns ? 60 : 200;
    const int switches = SlowRuns ? 60 : 200;

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const TGeneratedScenery scenery(dir.path(), objects, groups, switches);
    const QString control = scenery.ControlFile();
    const std::optional<QHash<QString, bool>> shipped = scenery.RecordedForms();

    // Two whole runs give the typical Apply time and the two contents every later run leaves:
    // the shipped states (A) and their opposites (B), each with the copy of the other's states
    // for undo, and the shipped states.
    const TChildRun there = runChild(control, u"flip"_s);
    QVERIFY2(there.ExitCode == 0, qPrintable(there.Output));
    const QByteArray contentB = scenery.ControlBytes();
    QCOMPARE(scenery.Mismatches(), QStringList());
    const TChildRun back = runChild(control, u"flip"_s);
    QVERIFY2(back.ExitCode == 0, qPrintable(back.Output));
    const QByteArray contentA = scenery.ControlBytes();
    QVERIFY(contentB != contentA);
    QCOMPARE(scenery.RecordedForms(), shipped);
    QCOMPARE(scenery.Mismatches(), QStringList());
    const qint64 typicalApply = (there.ApplyMicroseconds + back.ApplyMicroseconds) / 2;

    int killedBeforeSave = 0;
    int killedAfterSave = 0;
    int finished = 0;
    int recoveries = 0;
    QStringList strays;
    for (int seed = 1; seed <= kills; ++seed) {
        // Restoring the shipped states while they are applied changes nothing.
        if (mode == u"restore" && scenery.ControlBytes() == contentA) {
            const TChildRun away = runChild(control, u"flip"_s);
            QVERIFY2(away.ExitCode == 0, qPrintable(away.Output));
            QCOMPARE(scenery.ControlBytes(), contentB);
        }
        const QByteArray before = scenery.ControlBytes();
        const qint64 delay = QRandomGenerator(quint32(seed)).bounded(typicalApply + 1);
        const TChildRun run = runChild(control, mode, delay);
        const QString where = u"seed %1, kill after %2 µs"_s.arg(seed).arg(delay);
        QVERIFY2(run.Killed || run.ExitCode == 0, qPrintable(where + u": "_s + run.Output));

        const QByteArray after = scenery.ControlBytes();
        QVERIFY2(
            after == contentA || after == contentB,
            qPrintable(where
                       + u": the control file (%1 bytes) is neither the old nor the new one"_s.arg(
                           after.size())));
        QVERIFY2(scenery.BrokenFiles().isEmpty(),
                 qPrintable(where + u": not in exactly one form: "_s
                            + scenery.BrokenFiles().mid(0, 5).join(u", "_s)));
        if (after == before) {
            QVERIFY2(run.Killed, qPrintable(where));
            QVERIFY2(scenery.Mismatches().isEmpty(),
                     qPrintable(where + u": renamed before the states were saved: "_s
                                + scenery.Mismatches().mid(0, 5).join(u", "_s)));
            ++killedBeforeSave;
        } else {
            ++(run.Killed ? killedAfterSave : finished);
        }
        strays << scenery.StrayEntries();
        QCOMPARE(scenery.StartUpCandidates(), QStringList{u"XXXX.ini"_s});

        // A kill between the save and the last rename leaves files behind the recorded states.
        // The next run puts every file in its place: applying those states again keeps the
        // control file, undoing the interrupted run brings back the one before it.
        if (!scenery.Mismatches().isEmpty()) {
            const bool undo = seed % 2 == 0;
            const TChildRun recovery = runChild(control, undo ? u"undo"_s : u"keep"_s);
            QVERIFY2(recovery.ExitCode == 0, qPrintable(where + u": "_s + recovery.Output));
            QCOMPARE(scenery.ControlBytes(), undo ? before : after);
            QVERIFY2(scenery.Mismatches().isEmpty(),
                     qPrintable(where + u": not set right by the next run: "_s
                                + scenery.Mismatches().mid(0, 5).join(u", "_s)));
            ++recoveries;
        }
    }
    strays.removeDuplicates();
    qInfo("%s: %d kills (seeds 1 to %d, delays up to %lld µs, %d entries): %d before the save, "
          "%d after it, %d runs ended first; %d runs set files right; stray files: %s",
          qPrintable(mode), kills, kills, typicalApply, objects + groups + switches,
          killedBeforeSave, killedAfterSave, finished, recoveries,
          strays.isEmpty() ? "none" : qPrintable(strays.join(u", "_s)));
    QVERIFY2(killedBeforeSave + killedAfterSave > 0, "no run was killed during Apply");
    // Only a kill in the instant between naming the saved content and renaming it over the
    // control file may leave that content under a temporary name, which the start-up ignores.
    for (const QString &stray : std::as_const(strays))
        QVERIFY2(stray.startsWith(u"XXXX.ini."_s) && !stray.endsWith(u".ini"_s), qPrintable(stray));
}

// Where the file system offers no unnamed files, the save writes a named temporary file beside
// the control file, and a kill can leave it there. The next start still finds one control file,
// and Apply works as before.
void TestCrashSafety::temporaryFileLeftByKill()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const TGeneratedScenery scenery(dir.path(), 20, 2, 2);
    QFile leftover(dir.filePath(u"XXXX.ini.tNfbdP"_s));
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.write(scenery.ControlBytes().left(100));
    leftover.close();

    QCOMPARE(scenery.StartUpCandidates(), QStringList{u"XXXX.ini"_s});
    const QByteArray before = scenery.ControlBytes();
    const TChildRun run = runChild(scenery.ControlFile(), u"flip"_s);
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Output));
    QVERIFY(scenery.ControlBytes() != before);
    QCOMPARE(scenery.Mismatches(), QStringList());
    QCOMPARE(scenery.StrayEntries(), QStringList{u"XXXX.ini.tNfbdP"_s});
}

void TestCrashSafety::saveFailsOnFullDisk_data()
{
    QTest::addColumn<bool>("fullFileSystem");
    QTest::addColumn<int>("objects");
    QTest::addColumn<int>("groups");
    QTest::addColumn<int>("switches");
    // The sizes users have: the demo's (below the 16 KiB that Qt buffers before it writes),
    // just above that buffer, and a large control file.
    for (const bool full : {false, true}) {
        const char *where = full ? "full file system" : "file size limit";
        QTest::addRow("%s, 2 KB", where) << full << 40 << 4 << 4;
        QTest::addRow("%s, 17 KB", where) << full << 300 << 30 << 30;
        QTest::addRow("%s, 100 KB", where) << full << 2000 << 180 << 160;
    }
}

// The control file cannot be saved: Apply raises the write error, renames nothing, and leaves
// the old control file as it was, byte for byte, and no temporary file beside it.
void TestCrashSafety::saveFailsOnFullDisk()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no per-process file-size limit, and a small file system needs a mount");
#else
    QFETCH(bool, fullFileSystem);
    QFETCH(int, objects);
    QFETCH(int, groups);
    QFETCH(int, switches);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::optional<TSmallFileSystem> small;
    if (fullFileSystem) {
        small.emplace(dir.path());
        if (!small->Mounted())
            QSKIP(qPrintable(u"a small tmpfs cannot be mounted here (needs root with "
                             u"CAP_SYS_ADMIN): "_s
                             + small->Error()));
    }
    const TGeneratedScenery scenery(dir.path(), objects, groups, switches);
    const QByteArray before = scenery.ControlBytes();
    qInfo("control file of %lld bytes", qlonglong(before.size()));
    qint64 sizeLimit = -1;
    if (fullFileSystem)
        QVERIFY(FillFileSystem(dir.filePath(u"filler"_s)));
    else
        sizeLimit = before.size() / 2;

    const TChildRun run = runChild(scenery.ControlFile(), u"flip"_s, -1, sizeLimit);
    QCOMPARE(run.ExitCode, 2);
    QVERIFY2(run.Output.startsWith(u"ready\nerror: In "_s
                                   + QDir::toNativeSeparators(scenery.ControlFile())
                                   + u" kann nicht geschrieben werden\n"_s),
             qPrintable(run.Output));
    QCOMPARE(scenery.ControlBytes(), before);
    QCOMPARE(scenery.Mismatches(), QStringList());
    QCOMPARE(scenery.StrayEntries(), fullFileSystem ? QStringList{u"filler"_s} : QStringList());
#endif
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
