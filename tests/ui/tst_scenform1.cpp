#include "checkstate/checktreemodel.h"
#include "htmltext/htmlcredit.h"
#include "platform/folderlock.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "tests/support/testfilesystem.h"
#include "ui/infoform.h"
#include "ui/program.h"
#include "ui/scenform1.h"
#include "widgets/rzchecktree.h"
#include "widgets/rzpagecontrol.h"
#include "widgets/rztoolbarbutton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString NoControlFile = u"MessageDlg(error): Es wurde keine Steuerdatei (XXXX.ini) gefunden!"
                              u"\r\nControl file XXXX.ini not found!"_s;
const QString SeveralControlFiles
    = u"TaskDialog: Es wurde mehr als eine Steuerdatei (XXXX.ini) gefunden!\r\n"
      u"Wollen Sie die Steuerdatei selbst auswählen?\r\n"
      u"More than one control files (XXXX.ini) were found.\r\n"
      u"Do you want to select the correct one manually?"_s;
const QString FileFilter = u"Ini-Dateien (*.ini)|*.ini|Alle Dateien (*.*)|*.*"_s;

} // namespace

class TestScenForm1 : public QObject
{
    Q_OBJECT

private:
    // A program folder holding the executable's name and the given files (folders end in "/").
    void makeProgramFolder(const QStringList &entries)
    {
        FDir.emplace();
        for (const QString &entry : entries) {
            if (entry.endsWith(u'/')) {
                QVERIFY(QDir(FDir->path()).mkpath(entry));
                continue;
            }
            QFile file(FDir->filePath(entry));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Szenerie]\r\n" + QFileInfo(entry).baseName().toLatin1() + "=Objekt "
                       + QFileInfo(entry).fileName().toLatin1() + "\r\n");
        }
    }
    QString exeName() const { return FDir->filePath(u"scenery-configurator"_s); }
    QString programFolder() const { return FDir->path() + u'/'; }

    std::optional<QTemporaryDir> FDir;

private Q_SLOTS:
    void startLoadsTheOnlyControlFileOrAsksWhichOne_data();
    void startLoadsTheOnlyControlFileOrAsksWhichOne();
    void versionTextFromTheFileVersion_data();
    void versionTextFromTheFileVersion();
    void applyReportsWhatFailed_data();
    void applyReportsWhatFailed();
    void sceneryBusyChangesNothing_data();
    void sceneryBusyChangesNothing();
    void secondWindowDoesNotUndoTheFirst();
    void windowAppliesAgainAfterItsOwnSave();
    void applyRenamesBesideControlFile_data();
    void creditsPicturesBesideControlFile();
    void applyRenamesBesideControlFile();
    void windowShownOnlyAfterSuccessfulStart_data();
    void windowShownOnlyAfterSuccessfulStart();
    void titleAsTheWindowSystemShowsIt();
    void informationWindowOpensOverMainWindow_data();
    void informationWindowOpensOverMainWindow();
};

void TestScenForm1::startLoadsTheOnlyControlFileOrAsksWhichOne_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("pick"); // file chosen in the open-file dialog
    QTest::addColumn<QStringList>("expectedCalls"); // "%folder" stands for the program folder
    QTest::addColumn<QString>("loaded"); // file name of the control file, or empty

    QTest::newRow("none") << QStringList{u"readme.txt"_s, u"sub/"_s, u"sub/c.ini"_s} << QList<int>()
                          << QString() << QStringList{NoControlFile, u"Terminate"_s} << QString();
    QTest::newRow("one") << QStringList{u"a.ini"_s, u"b.txt"_s, u"sub/"_s, u"sub/c.ini"_s}
                         << QList<int>() << QString() << QStringList() << u"a.ini"_s;
    QTest::newRow("one inside a folder named like one")
        << QStringList{u"old.ini/"_s, u"old.ini/d.ini"_s} << QList<int>() << QString()
        << QStringList() << u"d.ini"_s;
    QTest::newRow("hidden file counts")
        << QStringList{u".x.ini"_s} << QList<int>() << QString() << QStringList() << u".x.ini"_s;
    QTest::newRow("several, No") << QStringList{u"a.ini"_s, u"b.ini"_s} << QList<int>{7}
                                 << QString() << QStringList{SeveralControlFiles, u"Terminate"_s}
                                 << QString();
    QTest::newRow("several, dialog closed otherwise")
        << QStringList{u"a.ini"_s, u"b.ini"_s} << QList<int>{-1} << QString()
        << QStringList{SeveralControlFiles, u"Terminate"_s} << QString();
    QTest::newRow("several, Yes, file dialog cancelled")
        << QStringList{u"a.ini"_s, u"b.ini"_s} << QList<int>{6} << QString()
        << QStringList{SeveralControlFiles, u"OpenFileDialog(%folder): "_s + FileFilter,
                       u"Terminate"_s}
        << QString();
    QTest::newRow("several, Yes, file picked")
        << QStringList{u"a.ini"_s, u"b.ini"_s} << QList<int>{6} << u"b.ini"_s
        << QStringList{SeveralControlFiles, u"OpenFileDialog(%folder): "_s + FileFilter}
        << u"b.ini"_s;
}

void TestScenForm1::startLoadsTheOnlyControlFileOrAsksWhichOne()
{
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, answers);
    QFETCH(QString, pick);
    QFETCH(QStringList, expectedCalls);
    QFETCH(QString, loaded);
    makeProgramFolder(entries);
    const QByteArray otherBefore = [&] {
        QFile file(FDir->filePath(u"a.ini"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    TRecordingPlatform platform(exeName());
    platform.Answers = answers;
    if (!pick.isEmpty())
        platform.FilesToOpen << FDir->filePath(pick);
    const TScenForm1 form(platform);

    QCOMPARE(platform.Calls.join(u'\n'),
             expectedCalls.join(u'\n').replace(u"%folder"_s, programFolder()));
    QCOMPARE(platform.Terminated(), loaded.isEmpty());
    if (loaded.isEmpty()) {
        QCOMPARE(form.RzCheckTree1->Items().Count(), 0);
        return;
    }
    QCOMPARE(QFileInfo(form.State().Scenery).fileName(), loaded);
    QVERIFY(QFileInfo(form.State().Scenery).isAbsolute());
    QCOMPARE(form.RzPageControl1->tabText(0), loaded);
    QCOMPARE(form.RzCheckTree1->Items().Count(), 1);
    QCOMPARE(form.RzCheckTree1->Items().Item(0)->Text(), u"Objekt "_s + loaded);
    if (loaded == u"b.ini") { // the other candidate is never touched
        QFile file(FDir->filePath(u"a.ini"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), otherBefore);
    }
}

void TestScenForm1::versionTextFromTheFileVersion_data()
{
    QTest::addColumn<std::optional<TVersionStrings>>("strings");
    QTest::addColumn<QString>("expected");
    QTest::newRow("program version")
        << std::optional(TVersionStrings{{u"FileVersion"_s, u"2.0.0.0"_s}}) << u"Version 2.0.0.0"_s;
    QTest::newRow("no FileVersion") << std::optional(TVersionStrings{}) << u"Version "_s;
    QTest::newRow("no version information") << std::optional<TVersionStrings>() << QString();
}

void TestScenForm1::versionTextFromTheFileVersion()
{
    QFETCH(std::optional<TVersionStrings>, strings);
    QFETCH(QString, expected);
    makeProgramFolder({u"a.ini"_s});
    TRecordingPlatform platform(exeName());
    const TScenForm1 form(platform, TRzVersionInfo(strings));
    QCOMPARE(form.State().Version, expected);
    QCOMPARE(TScenForm1(platform).State().Version, u"Version 2.0.0.0"_s);
}

void TestScenForm1::windowShownOnlyAfterSuccessfulStart_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("shown");
    QTest::newRow("no control file: no loop, no window") << QStringList() << 0 << false;
    QTest::newRow("one control file: window and loop") << QStringList{u"a.ini"_s} << 99 << true;
}

void TestScenForm1::windowShownOnlyAfterSuccessfulStart()
{
    QFETCH(QStringList, entries);
    QFETCH(int, exitCode);
    QFETCH(bool, shown);
    makeProgramFolder(entries);
    TRecordingPlatform platform(exeName());

    struct ShowSpy : QObject
    {
        bool shown = false;
        bool eventFilter(QObject *object, QEvent *event) override
        {
            if (event->type() == QEvent::Show && object->isWidgetType()
                && static_cast<QWidget *>(object)->isWindow())
                shown = true;
            return false;
        }
    } spy;
    qApp->installEventFilter(&spy);
    QObject context; // ends the loop, if one runs
    QTimer::singleShot(0, &context, [] { QCoreApplication::exit(99); });
    QCOMPARE(RunProgram(platform), exitCode);
    qApp->removeEventFilter(&spy);
    QCOMPARE(spy.shown, shown);
}

void TestScenForm1::applyReportsWhatFailed_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("expected"); // start of the one message shown
    const QString german = u"MessageDlg(error): Folgende Dateien konnten nicht umbenannt werden:"
                           u"\r\n"_s;
    const QString english = u"MessageDlg(error): The following files could not be renamed:\r\n"_s;
    const QString file = QDir::toNativeSeparators(u"Scenery/tower.bgl: "_s);
    QTest::newRow("German, a rename refused") << u"german"_s << u"immutable"_s << german + file;
    QTest::newRow("English, a rename refused") << u"english"_s << u"immutable"_s << english + file;
    // Windows refuses to rename a file that another program (the simulator) holds open.
    QTest::newRow("German, held open by another program") << u"german"_s << u"held open"_s
                                                          << german + file
            + u"die Datei wird von einem anderen Programm verwendet (vom Simulator?)\r\n"_s;
    QTest::newRow("English, held open by another program")
        << u"english"_s << u"held open"_s
        << english + file + u"the file is in use by another program (the simulator?)\r\n"_s;
    const QString twins = QDir::toNativeSeparators(u"Scenery/Tower.bgl, Scenery/tower.bgl"_s);
    QTest::newRow("German, names differing only in letter case") << u"german"_s << u"letter case"_s
                                                                 << german + file
            + u"mehrere Namen unterscheiden sich nur in der Groß- und "
              u"Kleinschreibung: "_s
            + twins + u"\r\n"_s;
    QTest::newRow("English, names differing only in letter case")
        << u"english"_s << u"letter case"_s
        << english + file + u"several names differ only in letter case: "_s + twins + u"\r\n"_s;
    const QString badFile = QDir::toNativeSeparators(u"Scenery/tower\xd800.bgl: "_s);
    QTest::newRow("German, a name the system cannot take")
        << u"german"_s << u"bad name"_s
        << german + badFile + u"der Name kann auf diesem System kein Dateiname sein\r\n"_s;
    QTest::newRow("English, a name the system cannot take")
        << u"english"_s << u"bad name"_s
        << english + badFile + u"the name cannot be used as a file name on this system\r\n"_s;
    QTest::newRow("German, both forms present") << u"german"_s << u"both forms"_s
                                                << german + file
            + u"die Datei gibt es in beiden Formen (.bgl und .bg_); eine davon muss entfernt "
              u"werden\r\n"_s;
    QTest::newRow("English, both forms present") << u"english"_s << u"both forms"_s
                                                 << english + file
            + u"the file exists in both forms (.bgl and .bg_); one of them must be removed\r\n"_s;
    QTest::newRow("control file cannot be saved")
        << u"german"_s << u"unwritable control file"_s
        << u"ShowException: In %ini kann nicht geschrieben werden"_s;
}

void TestScenForm1::applyReportsWhatFailed()
{
    QFETCH(QString, language);
    QFETCH(QString, obstacle);
    QFETCH(QString, expected);
#ifdef Q_OS_WIN
    if (obstacle == u"letter case" || obstacle == u"bad name")
        QSKIP("Windows names ignore letter case and take any UTF-16 text");
#else
    if (obstacle == u"held open")
        QSKIP("Only Windows refuses to rename a file that another program holds open");
#endif
    const bool controlFileWritable = obstacle != u"unwritable control file";
    FDir.emplace();
    QVERIFY(QDir(FDir->path()).mkpath(u"Scenery"_s));
    const QString key = obstacle == u"bad name" ? u"tower\xd800"_s : u"tower"_s;
    QStringList files{u"tower.bgl"_s}; // they all stay as they are

    if (obstacle == u"letter case")
        files << u"Tower.bgl"_s;
    if (obstacle == u"both forms")
        files << u"tower.bg_"_s;
    if (obstacle == u"bad name") // what the key would name, were it converted anyway
        files << u"tower?.bgl"_s << u"tower\xfffd.bgl"_s;
    for (const QString &name : files + QStringList{u"radar.bg_"_s}) {
        QFile scenery(FDir->filePath(u"Scenery/"_s + name));
        QVERIFY(scenery.open(QIODevice::WriteOnly));
    }
    QFile tower(FDir->filePath(u"Scenery/tower.bgl"_s));
    // On Windows an open file shares reading and writing but not deletion, as the simulator's do.
    if (obstacle == u"held open")
        QVERIFY(tower.open(QIODevice::ReadOnly));
    if (obstacle == u"immutable" && !SetImmutable(tower.fileName(), true))
        QSKIP("this file system cannot make a file immutable");
    const auto restore = qScopeGuard([&] { SetImmutable(tower.fileName(), false); });
    const QString ini = FDir->filePath(u"XXXX.ini"_s);
    {
        // UTF-16, so that the control file can hold any key.
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xff\xfe");
        const QString text = u"[Settings]\r\nLanguage="_s + language + u"\r\n[Szenerie]\r\n"_s + key
            + u"=Turm\r\nradar=Radar\r\n[Scenery]\r\n"_s + key
            + u"=Tower\r\nradar=Radar\r\n[Checked]\r\nradar=0\r\n"_s;
        file.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
    TRecordingPlatform platform(exeName());
    TScenForm1 form(platform);
    form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(0));
    form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(1));
    if (!controlFileWritable) {
        QVERIFY(QFile::remove(ini));
        QVERIFY(QDir().mkdir(ini));
    }
    platform.Calls.clear();
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);

    QCOMPARE(platform.Calls.size(), 1);
    QVERIFY2(platform.Calls.first().startsWith(
                 QString(expected).replace(u"%ini"_s, QDir::toNativeSeparators(ini))),
             qPrintable(platform.Calls.first()));
    if (controlFileWritable) {
        QVERIFY(platform.Calls.first().endsWith(
            language == u"german"
                ? u"\r\n\r\nBitte den Simulator schließen und erneut "
                  u"[Übernehmen] klicken."_s
                : u"\r\n\r\nPlease close the simulator and click [Apply] again."_s));
        // One line for the one file; the other file was switched all the same.
        QCOMPARE(platform.Calls.first().count(u"\r\n"_s), 3);
        QVERIFY(QFile::exists(FDir->filePath(u"Scenery/radar.bgl"_s)));
    }
    for (const QString &name : std::as_const(files))
        QVERIFY2(QFile::exists(FDir->filePath(u"Scenery/"_s + name)), qPrintable(name));
}

void TestScenForm1::applyRenamesBesideControlFile_data()
{
    QTest::addColumn<bool>("deleted");
    // A desktop launcher starts the program in the user's home folder.
    QTest::newRow("started in another folder") << false;
    QTest::newRow("started in a folder deleted since") << true;
}

void TestScenForm1::applyRenamesBesideControlFile()
{
    QFETCH(bool, deleted);
#ifdef Q_OS_WIN
    if (deleted)
        QSKIP("Windows does not delete a folder that a process works in");
#endif
    makeProgramFolder({u"XXXX.ini"_s, u"Scenery/"_s});
    QFile tower(FDir->filePath(u"Scenery/XXXX.bgl"_s));
    QVERIFY(tower.open(QIODevice::WriteOnly));
    tower.close();
    TRecordingPlatform platform(exeName());
    TScenForm1 form(platform);
    form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(0));

    const QString previous = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
    std::optional<QTemporaryDir> elsewhere(std::in_place);
    QVERIFY(QDir(elsewhere->path()).mkpath(u"Scenery"_s)); // an unrelated folder of that name
    QVERIFY(QDir::setCurrent(elsewhere->path()));
    if (deleted)
        elsewhere.reset();
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);

    QCOMPARE(platform.Calls, QStringList());
    QVERIFY(QFile::exists(FDir->filePath(u"Scenery/XXXX.bg_"_s)));
    QVERIFY(!QFile::exists(FDir->filePath(u"Scenery/XXXX.bgl"_s)));
}

// A picture of the credits named relative to the package is found when the program was started
// in another folder.
void TestScenForm1::creditsPicturesBesideControlFile()
{
    makeProgramFolder({u"pics/"_s});
    QImage logo(4, 4, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    QVERIFY(logo.save(FDir->filePath(u"pics/logo.png"_s)));
    QFile control(FDir->filePath(u"XXXX.ini"_s));
    QVERIFY(control.open(QIODevice::WriteOnly));
    control.write("[german]\r\nHTMLCredits=<IMG src=\"FILE://pics/logo.png\"> Musterhafen\r\n");
    control.close();

    const QString previous = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    TRecordingPlatform platform(exeName());
    TScenForm1 form(platform);
    form.HTMLCredit1->grab(); // pictures are loaded when the text is laid out

    const TPicture *picture = form.HTMLCredit1->ImageCache().FindPicture(u"FILE://pics/logo.png"_s);
    QVERIFY(picture);
    QCOMPARE(picture->Size(), QSize(4, 4));
}

void TestScenForm1::sceneryBusyChangesNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("start (writes the language)") << u"start"_s;
    QTest::newRow("apply") << u"apply"_s;
    QTest::newRow("language switch") << u"switch"_s;
}

// Another instance or sceneryctl holds the scenery's lock while it writes and renames: whatever
// would write the control file or rename a file says so and changes nothing; once the lock is
// released, the same action goes through.
void TestScenForm1::sceneryBusyChangesNothing()
{
    QFETCH(QString, action);
    TProgramFolder folder;
    // No stored language: the start writes one.
    folder.WriteControlFile(u"[Szenerie]\r\ntower=Turm\r\n[Scenery]\r\ntower=Tower\r\n"
                            u"[Checked]\r\ntower=1\r\n"_s);
    folder.AddSceneryFiles({u"tower.bgl"_s});

    std::optional<TRecordingPlatform> platform;
    std::optional<TScenForm1> form;
    // A window on the scenery with one change made, or for the start none yet.
    auto open = [&] {
        form.reset();
        platform.emplace(folder.ExeName());
        if (action == u"start")
            return;
        form.emplace(*platform);
        form->RzCheckTree1->Items().ToggleCheckState(form->RzCheckTree1->Items().Item(0));
    };
    auto act = [&] {
        platform->Calls.clear();
        platform->Answers = {mrYes};
        if (action == u"start")
            form.emplace(*platform);
        else
            QTest::mouseClick(action == u"apply" ? form->btnApplyObj : form->btnEnglish,
                              Qt::LeftButton);
    };
    const QString busy = u"MessageDlg(error): Ein anderes Programm ändert gerade diese Szenerie."
                         u"\r\nEs wurde nichts geändert. Bitte gleich noch einmal versuchen."_s;
    QStringList expected{busy};
    if (action == u"start")
        expected << u"Terminate"_s;
    if (action == u"switch")
        expected.prepend(u"MessageDlg(confirmation): Ungespeicherte Änderungen gehen verloren!"
                         u"\r\nWeitermachen?"_s);
    open();
    const QByteArray before = folder.ReadControlFile();
    {
        TFolderLock other(folder.Path());
        QVERIFY(other.TryLock());
        act();
        QCOMPARE(platform->Calls, expected);
        QCOMPARE(folder.ReadControlFile(), before);
        QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bgl"_s});
    }
    open();
    act();
    QVERIFY2(!platform->Calls.contains(busy), qPrintable(platform->Calls.join(u'\n')));
    QVERIFY(folder.ReadControlFile() != before);
    if (action == u"apply")
        QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bg_"_s});
}

// Two windows on one scenery: the one that applies second was showing states that are no longer
// stored. It says so, shows the stored states and changes nothing; its next Apply keeps them.
void TestScenForm1::secondWindowDoesNotUndoTheFirst()
{
    TProgramFolder folder;
    folder.WriteControlFile(u"[Settings]\r\nLanguage=german\r\n[Szenerie]\r\ntower=Turm\r\n"
                            u"fence=Zaun\r\n[Checked]\r\ntower=1\r\nfence=0\r\n"_s);
    folder.AddSceneryFiles({u"tower.bgl"_s, u"fence.bg_"_s});
    TRecordingPlatform platformA(folder.ExeName()), platformB(folder.ExeName());
    TScenForm1 first(platformA), second(platformB);
    TCheckTreeModel &a = first.RzCheckTree1->Items(), &b = second.RzCheckTree1->Items();

    a.ToggleCheckState(a.Item(0)); // tower off
    QTest::mouseClick(first.btnApplyObj, Qt::LeftButton);
    QCOMPARE(folder.SceneryFiles(), (QStringList{u"fence.bg_"_s, u"tower.bg_"_s}));

    b.ToggleCheckState(b.Item(1)); // fence on, in a window that still shows the tower on
    const QByteArray stored = folder.ReadControlFile();
    QTest::mouseClick(second.btnApplyObj, Qt::LeftButton);
    QCOMPARE(platformB.Calls,
             QStringList{u"MessageDlg(error): Ein anderes Programm hat die Auswahl geändert, seit "
                         u"sie hier angezeigt wird.\r\nSie wurde neu eingelesen, es wurde nichts "
                         u"geändert. Bitte prüfen und erneut [Übernehmen] klicken."_s});
    QCOMPARE(folder.ReadControlFile(), stored);
    QCOMPARE(folder.SceneryFiles(), (QStringList{u"fence.bg_"_s, u"tower.bg_"_s}));
    QCOMPARE(b.GetItemState(0), csUnchecked); // the tower as the first window stored it

    b.ToggleCheckState(b.Item(1));
    QTest::mouseClick(second.btnApplyObj, Qt::LeftButton);
    QCOMPARE(folder.SceneryFiles(), (QStringList{u"fence.bgl"_s, u"tower.bg_"_s}));
}

// The window's own saves, of Apply and of the language, are not taken for another program's.
void TestScenForm1::windowAppliesAgainAfterItsOwnSave()
{
    TProgramFolder folder;
    folder.WriteControlFile(u"[Settings]\r\nLanguage=german\r\n[Szenerie]\r\ntower=Turm\r\n"
                            u"[Scenery]\r\ntower=Tower\r\n[Checked]\r\ntower=1\r\n"_s);
    folder.AddSceneryFiles({u"tower.bgl"_s});
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    TCheckTreeModel &items = form.RzCheckTree1->Items();

    items.ToggleCheckState(items.Item(0));
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bg_"_s});
    items.ToggleCheckState(items.Item(0));
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bgl"_s});

    platform.Answers.append(mrYes); // the question before switching the language
    QTest::mouseClick(form.btnEnglish, Qt::LeftButton);
    items.ToggleCheckState(items.Item(0));
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);
    QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bg_"_s});
    QVERIFY2(!platform.Calls.join(u'\n').contains(u"MessageDlg(error)"_s),
             qPrintable(platform.Calls.join(u'\n')));
}

// The window's title is "ScenForm1" on screen too: the toolkit appends the application's name to
// every window title, so the control file's title must not be given to it as that name.
void TestScenForm1::titleAsTheWindowSystemShowsIt()
{
    makeProgramFolder({u"a.ini"_s});
    TRecordingPlatform platform(exeName());
    TScenForm1 form(platform);
    QCOMPARE(platform.ApplicationTitle(), u"Konfigurator"_s);
    QCOMPARE(form.windowTitle(), u"ScenForm1"_s);
#ifdef Q_OS_WIN
    if (QGuiApplication::platformName() == u"windows") {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        wchar_t title[256] = {};
        GetWindowTextW(reinterpret_cast<HWND>(form.winId()), title, 256);
        QCOMPARE(QString::fromWCharArray(title), u"ScenForm1"_s);
        return;
    }
#endif
    // Where no window system can be asked: the title was not given to the toolkit as the
    // application's name (which defaults to the executable's).
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

void TestScenForm1::informationWindowOpensOverMainWindow_data()
{
    QTest::addColumn<bool>("english"); // switched to English before the first opening
    QTest::addColumn<QString>("readme");

    QTest::newRow("German") << false << u"liesmich.html"_s;
    QTest::newRow("English chosen before") << true << u"readme.html"_s;
}

// The program's information window is made when the user first opens it: then it shows the
// readme of the language chosen by then, centred over the main window, wherever that is.
void TestScenForm1::informationWindowOpensOverMainWindow()
{
    QFETCH(bool, english);
    QFETCH(QString, readme);
    makeProgramFolder({u"a.ini"_s, u"liesmich.html"_s, u"readme.html"_s});
    TRecordingPlatform platform(exeName());
    QRect main, info;
    QString address, text;
    bool madeBefore = true, ownedByMain = false;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        TScenForm1 *form = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!form)
                form = qobject_cast<TScenForm1 *>(widget);
        }
        QVERIFY(form);
        form->move(40, 30);
        if (english) {
            platform.Answers = {mrYes};
            QTest::mouseClick(form->btnEnglish, Qt::LeftButton);
        }
        madeBefore = form->findChild<TInfoForm *>() != nullptr;
        QTimer::singleShot(0, &context, [&] {
            auto *shown = qobject_cast<TInfoForm *>(QApplication::activeModalWidget());
            QVERIFY(shown);
            ownedByMain = shown->parentWidget() == form;
            main = form->frameGeometry();
            info = shown->frameGeometry();
            address = shown->Address();
            text = shown->WebBrowser1->toPlainText();
            shown->close();
        });
        QTest::mouseClick(form->RzToolbarButton3, Qt::LeftButton);
        QCoreApplication::exit(0);
    });
    QCOMPARE(RunProgram(platform), 0);
    QVERIFY(!madeBefore);
    QVERIFY(ownedByMain);
    QVERIFY2(QDir::fromNativeSeparators(address).endsWith(u'/' + readme), qPrintable(address));
    QVERIFY2(text.contains(u"Objekt "_s + readme), qPrintable(text));
    QVERIFY(!info.isEmpty());
    QVERIFY2((info.center() - main.center()).manhattanLength() <= 2,
             qPrintable(
                 u"main window %1,%2, information window centred at %3,%4"_s.arg(main.center().x())
                     .arg(main.center().y())
                     .arg(info.center().x())
                     .arg(info.center().y())));
}

QTEST_MAIN(TestScenForm1)
#include "tst_scenform1.moc"
