// The window's two saves, Apply and the language switch, when the control file cannot be saved:
// the disk is full, a file-size limit stops the write, or since the window loaded another user
// has put a symbolic link in the control file's place (the program may run as root in a folder
// that user can write). The control file stays as it was, the link's target stays untouched,
// no file is renamed, the tree stays, and the accessor's error is shown.

#include "tests/support/democontrolfile.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "tests/support/testfilesystem.h"
#include "ui/scenform1.h"
#include "widgets/rzchecktree.h"
#include "widgets/rztoolbarbutton.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

#ifndef Q_OS_WIN
namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry of the program folder, relative and sorted, links included.
QStringList entriesOf(const QString &folder)
{
    QStringList entries;
    const QDir dir(folder);
    const QDir::Filters filter
        = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString &entry : dir.entryList(filter, QDir::Name)) {
        entries << entry;
        if (entry == u"Scenery") {
            for (const QString &file : QDir(dir.filePath(entry)).entryList(filter, QDir::Name))
                entries << u"Scenery/"_s + file;
        }
    }
    return entries;
}

} // namespace
#endif

class TestSaveFailure : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowKeepsControlFile_data();
    void windowKeepsControlFile();
};

void TestSaveFailure::windowKeepsControlFile_data()
{
    QTest::addColumn<bool>("apply"); // Apply, or else the switch to English
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("size");

    for (const bool apply : {true, false}) {
        const char *action = apply ? "Apply" : "language switch";
        for (const char *obstacle : {"file size limit", "full file system"}) {
            for (const char *size : {"2 KB", "100 KB"}) {
                QTest::addRow("%s, %s, %s", action, obstacle, size)
                    << apply << QString::fromLatin1(obstacle) << QString::fromLatin1(size);
            }
        }
        for (const char *obstacle : {"link to a file", "link to a missing path"}) {
            QTest::addRow("%s, control file replaced by a %s", action, obstacle)
                << apply << QString::fromLatin1(obstacle) << u"2 KB"_s;
        }
    }
}

void TestSaveFailure::windowKeepsControlFile()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no per-process file-size limit, a small file system needs a mount, and "
          "symbolic links need privileges");
#else
    QFETCH(bool, apply);
    QFETCH(QString, obstacle);
    QFETCH(QString, size);
    TProgramFolder folder;
    std::optional<TSmallFileSystem> small;
    if (obstacle == u"full file system") {
        small.emplace(folder.Path());
        if (!small->Mounted())
            QSKIP(qPrintable(u"a small tmpfs cannot be mounted here (needs root with "
                             u"CAP_SYS_ADMIN): "_s
                             + small->Error()));
        QVERIFY(QDir(folder.Path()).mkpath(u"Scenery"_s));
    }
    const QByteArray content = DemoControlFileOfSize(size);
    {
        QFile file(folder.ControlFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    folder.AddSceneryFiles(QDir(QStringLiteral(SC_DEMO_DIR "/Scenery")).entryList(QDir::Files));

    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    QCOMPARE(platform.Calls, QStringList());
    TCheckTreeModel &items = form.RzCheckTree1->Items();
    const int nodes = items.Count();
    QVERIFY(nodes > 0);
    const QString firstText = items.Item(0)->Text();
    for (int i = 0; i < items.TopLevelCount(); ++i)
        items.ToggleCheckState(items.TopLevelItem(i));
    const QStringList before = entriesOf(folder.Path());

    // Another user's victim: a file only root may write, or a path where none exists yet.
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(u"victim.ini"_s);
    const QByteArray victimContent("[Settings]\r\nLanguage=german\r\n");
    {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(victimContent), victimContent.size());
    }
    const QString missing = elsewhere.filePath(u"created.ini"_s);
    if (obstacle.startsWith(u"link")) {
        const QString made = folder.FilePath(u"made-by-someone"_s);
        QVERIFY(QFile::link(obstacle == u"link to a file" ? victim : missing, made));
        QCOMPARE(::rename(QFile::encodeName(made).constData(),
                          QFile::encodeName(folder.ControlFile()).constData()),
                 0);
    }
    const QString linkTarget = QFileInfo(folder.ControlFile()).symLinkTarget();
    if (obstacle == u"full file system")
        QVERIFY(FillFileSystem(folder.FilePath(u"filler"_s)));
    const QStringList entries = entriesOf(folder.Path());

    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.Path()));
    {
        std::optional<TFileSizeLimit> limit;
        if (obstacle == u"file size limit")
            QVERIFY(limit.emplace(content.size() / 2).Applied());
        if (!apply)
            platform.Answers = {mrYes};
        QTest::mouseClick(apply ? form.btnApplyObj : form.btnEnglish, Qt::LeftButton);
    }
    QDir::setCurrent(previous);

    QStringList shown;
    if (!apply) {
        shown << u"MessageDlg(confirmation): Ungespeicherte Änderungen gehen verloren!\r\n"
                 u"Weitermachen?"_s;
    }
    shown << u"ShowException: In "_s + folder.ControlFile() + u" kann nicht geschrieben werden"_s;
    QCOMPARE(platform.Calls, shown);
    QCOMPARE(entriesOf(folder.Path()), entries); // nothing renamed, no temporary file left
    QCOMPARE(QFileInfo(folder.ControlFile()).symLinkTarget(), linkTarget);
    if (linkTarget.isEmpty())
        QCOMPARE(folder.ReadControlFile(), content);
    QCOMPARE(readBytes(victim), victimContent);
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(items.Count(), nodes);
    QCOMPARE(items.Item(0)->Text(), firstText);
    QCOMPARE(form.State().Language, 0);
    QStringList unchanged = entries;
    unchanged.removeOne(u"filler"_s);
    QCOMPARE(unchanged, before); // the obstacle itself renamed nothing either
#endif
}

QTEST_MAIN(TestSaveFailure)
#include "tst_savefailure.moc"
