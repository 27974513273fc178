#include "config/inifile.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "ui/scenform1.h"
#include "widgets/image.h"
#include "widgets/rzchecktree.h"
#include "widgets/rzlabel.h"
#include "widgets/rzmarqueestatus.h"
#include "widgets/rztoolbarbutton.h"
#include "widgets/scalablepicture.h"

#include <QDir>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString ControlFileText = uR"([Settings]
Language=%1
[german]
Title=Deutscher Titel
ScrollerText=Laufschrift
[english]
Title=English title
ScrollerText=Scroller
[Szenerie]
tower=Turm
[Scenery]
tower=Tower
[Checked]
tower=1
)"_s;

const QString ProbeMessageGerman
    = u"Das Programm kann nicht in die Steuerdatei schreiben, da es aus dem Windows "
      u"Programmordner gestartet wurde!\r\nÄnderungen können hier nur mit "
      u"Administratorberechtigung erfolgen.\r\nDas Programm wird im Administratormodus neu "
      u"gestartet!"_s;
const QString ProbeMessageEnglish
    = u"The program has detected, that it was launched from the Windows program folder!\r\n"
      u"Changes can only be saved with administrator privileges.\r\nThe program is now "
      u"restarted in administrator mode!"_s;

QString storedLanguage(const TProgramFolder &folder)
{
    return TIniFile(folder.ControlFile()).ReadString(u"Settings"_s, u"Language"_s, u"-"_s);
}

// Keeps a folder immutable for the life of the guard.
class TReadOnlyFolder
{
public:
    explicit TReadOnlyFolder(TProgramFolder &folder)
        : FFolder(folder)
        , FApplied(folder.SetWritable(false))
    { }
    ~TReadOnlyFolder()
    {
        if (FApplied)
            FFolder.SetWritable(true);
    }
    bool Applied() const { return FApplied; }

private:
    TProgramFolder &FFolder;
    bool FApplied;
};

} // namespace

class TestLanguages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void languageStep_data();
    void languageStep();
    void emptyTitle();
    void switchAsksFirst_data();
    void switchAsksFirst();
    void writeProbe_data();
    void writeProbe();
    void failedSwitchChangesNothing();
    void switchShowsTheFirstEntry();
    void logoInTheInterfaceLanguage();
};

void TestLanguages::languageStep_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("object");
    QTest::newRow("german") << u"german"_s << u"german"_s << u"Deutscher Titel"_s << u"Turm"_s;
    QTest::newRow("ENGLISH") << u"ENGLISH"_s << u"english"_s << u"English title"_s << u"Tower"_s;
    QTest::newRow("English") << u"English"_s << u"english"_s << u"English title"_s << u"Tower"_s;
    // An unknown word keeps the language the program has (German at start), objects included.
    QTest::newRow("unknown word") << u"français"_s << u"german"_s << u"Deutscher Titel"_s
                                  << u"Turm"_s;
}

void TestLanguages::languageStep()
{
    QFETCH(QString, stored);
    QFETCH(QString, written);
    QFETCH(QString, title);
    QFETCH(QString, object);
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(stored));
    TRecordingPlatform platform(folder.ExeName());
    const TScenForm1 form(platform);
    QCOMPARE(storedLanguage(folder), written);
    QCOMPARE(platform.ApplicationTitle(), title);
    QCOMPARE(form.RzLabel1->Caption(), title);
    QCOMPARE(form.RzCheckTree1->Items().Item(0)->Text(), object);
    QCOMPARE(platform.Calls, QStringList());
}

void TestLanguages::emptyTitle()
{
    TProgramFolder folder;
    folder.WriteControlFile(
        ControlFileText.arg(u"german"_s).replace(u"Title=Deutscher Titel"_s, u"Title="_s));
    TRecordingPlatform platform(folder.ExeName());
    const TScenForm1 form(platform);
    QCOMPARE(form.RzLabel1->Caption(), QString());
    QCOMPARE(form.RzLabel3->Caption(), u" - Version 2.0.0.0 - Orvandel"_s);
}

void TestLanguages::switchAsksFirst_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("englishFlag");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("language"); // stored afterwards
    QTest::addColumn<QString>("object");
    QTest::addColumn<int>("state"); // of the object, which the user unchecked before
    QTest::newRow("English interface, German flag, No")
        << u"english"_s << false << 7 << u"Unsaved changes will be lost!\r\nContinue?"_s
        << u"english"_s << u"Tower"_s << int(csUnchecked);
    QTest::newRow("German interface, English flag, closed")
        << u"german"_s << true << 2
        << u"Ungespeicherte Änderungen gehen verloren!\r\nWeitermachen?"_s << u"german"_s
        << u"Turm"_s << int(csUnchecked);
    QTest::newRow("German interface, English flag, Yes")
        << u"german"_s << true << 6
        << u"Ungespeicherte Änderungen gehen verloren!\r\nWeitermachen?"_s << u"english"_s
        << u"Tower"_s << int(csChecked);
    QTest::newRow("English interface, English flag, Yes: reloaded")
        << u"english"_s << true << 6 << u"Unsaved changes will be lost!\r\nContinue?"_s
        << u"english"_s << u"Tower"_s << int(csChecked);
}

void TestLanguages::switchAsksFirst()
{
    QFETCH(QString, start);
    QFETCH(bool, englishFlag);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QString, language);
    QFETCH(QString, object);
    QFETCH(int, state);
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(start));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(0));
    const QByteArray before = folder.ReadControlFile();

    platform.Answers = {answer};
    QTest::mouseClick(englishFlag ? form.btnEnglish : form.btnGerman, Qt::LeftButton);
    QCOMPARE(platform.Calls, QStringList{u"MessageDlg(confirmation): "_s + question});
    QCOMPARE(storedLanguage(folder), language);
    QCOMPARE(form.RzCheckTree1->Items().Item(0)->Text(), object);
    QCOMPARE(int(form.RzCheckTree1->GetItemState(0)), state);
    if (answer != 6)
        QCOMPARE(folder.ReadControlFile(), before);
}

void TestLanguages::writeProbe_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("elevated");
    QTest::addColumn<QStringList>("expected"); // "%exe" stands for the program, "%ini" the file
    QTest::newRow("German") << u"german"_s << false
                            << QStringList{u"ErrorBox(): "_s + ProbeMessageGerman,
                                           u"RunAsAdmin(%exe, )"_s, u"Terminate"_s};
    QTest::newRow("English") << u"english"_s << false
                             << QStringList{u"ErrorBox(): "_s + ProbeMessageEnglish,
                                            u"RunAsAdmin(%exe, )"_s, u"Terminate"_s};
    QTest::newRow("already elevated: no second restart")
        << u"german"_s << true
        << QStringList{u"ErrorBox(): In %ini kann nicht geschrieben werden"_s, u"Terminate"_s};
}

void TestLanguages::writeProbe()
{
    QFETCH(QString, language);
    QFETCH(bool, elevated);
    QFETCH(QStringList, expected);
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(language));
    const QByteArray before = folder.ReadControlFile();
    TReadOnlyFolder readOnly(folder);
    if (!readOnly.Applied())
        QSKIP("the file system cannot make the folder read-only for this user");
    TRecordingPlatform platform(folder.ExeName());
    platform.Elevated = elevated;
    const TScenForm1 form(platform);
    QCOMPARE(platform.Calls.join(u'\n'),
             expected.join(u'\n')
                 .replace(u"%exe"_s, folder.ExeName())
                 .replace(u"%ini"_s, QDir::toNativeSeparators(folder.ControlFile())));
    QVERIFY(platform.Terminated()); // the window is never shown
    QCOMPARE(folder.ReadControlFile(), before);
}

void TestLanguages::failedSwitchChangesNothing()
{
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(u"german"_s));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(0));
    TReadOnlyFolder readOnly(folder);
    if (!readOnly.Applied())
        QSKIP("the file system cannot make the folder read-only for this user");
    platform.Answers = {6};
    QTest::mouseClick(form.btnEnglish, Qt::LeftButton);
    QCOMPARE(platform.Calls.join(u'\n'),
             u"MessageDlg(confirmation): Ungespeicherte Änderungen gehen verloren!\r\n"
             u"Weitermachen?\nShowException: In "_s
                 + QDir::toNativeSeparators(folder.ControlFile())
                 + u" kann nicht geschrieben werden"_s);
    QVERIFY(!platform.Terminated());
    QCOMPARE(form.State().Language, 0);
    QCOMPARE(form.RzCheckTree1->Items().Item(0)->Text(), u"Turm"_s);
    QCOMPARE(form.RzCheckTree1->GetItemState(0), csUnchecked);
}

// The tree is rebuilt from the other language's lists and shows its first entry, wherever the
// user had scrolled to.
void TestLanguages::switchShowsTheFirstEntry()
{
    QString objects = u"[Szenerie]\r\n"_s;
    QString english = u"[Scenery]\r\n"_s;
    for (int i = 0; i < 40; ++i) {
        objects += u"o%1=Objekt %1\r\n"_s.arg(i);
        english += u"o%1=Object %1\r\n"_s.arg(i);
    }
    TProgramFolder folder;
    folder.WriteControlFile(u"[Settings]\r\nLanguage=german\r\n"_s + objects + english);
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QScrollBar &scrollBar = *form.RzCheckTree1->verticalScrollBar();
    scrollBar.setValue(scrollBar.maximum());
    QVERIFY(scrollBar.value() > 0);

    platform.Answers = {6};
    QTest::mouseClick(form.btnEnglish, Qt::LeftButton);
    QCOMPARE(form.RzCheckTree1->Items().Item(0)->Text(), u"Object 0"_s);
    QCOMPARE(scrollBar.value(), 0);
}

// The home-page badge names the scenery in the interface language.
void TestLanguages::logoInTheInterfaceLanguage()
{
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(u"german"_s));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    const auto shown = [&] { return form.Image1->pixmap().toImage(); };
    const auto picture = [&](const QString &name) {
        return TScalablePicture::FromFile(u":/pictures/"_s + name)
            .ForRatio(1.0)
            .convertToFormat(shown().format());
    };
    QCOMPARE(shown(), picture(u"logo.pam"_s));
    platform.Answers = {6};
    QTest::mouseClick(form.btnEnglish, Qt::LeftButton);
    QCOMPARE(shown(), picture(u"logo-english.pam"_s));
    QVERIFY(picture(u"logo-english.pam"_s) != picture(u"logo.pam"_s));
}

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
