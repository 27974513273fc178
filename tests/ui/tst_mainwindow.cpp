#include "config/inifile.h"
#include "htmltext/htmlabel.h"
#include "htmltext/htmlcredit.h"
#include "platform/folderlock.h"
#include "tests/support/democontrolfile.h"
#include "tests/support/programfolder.h"
#include "tests/support/recordingplatform.h"
#include "ui/scenform1.h"
#include "ui/windowfonts.h"
#include "widgets/image.h"
#include "widgets/rzchecktree.h"
#include "widgets/rzformshape.h"
#include "widgets/rzlabel.h"
#include "widgets/rzmarqueestatus.h"
#include "widgets/rzpagecontrol.h"
#include "widgets/rztoolbarbutton.h"
#include "widgets/rztoolbutton.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString ControlFileText = uR"([Settings]
Language=%1
URL=https://scenery.example.net/
[german]
Title=Musterhafen Konfigurator
ScrollerText=Willkommen in Musterhafen
[english]
Title=Musterhafen Configurator
ScrollerText=Welcome to Musterhafen
[Szenerie]
tower=Turm
[Scenery]
tower=Tower
)"_s;

// The control file with the tower stored as active, and its scenery file in that form.
void prepareActiveTower(TProgramFolder &folder, const QString &language)
{
    folder.WriteControlFile(ControlFileText.arg(language) + u"[Checked]\r\ntower=1\r\n"_s);
    folder.AddSceneryFiles({u"tower.bgl"_s});
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void childrenInPlaceWithTheirTexts_data();
    void childrenInPlaceWithTheirTexts();
    void closeAsksWhenChangesArePending_data();
    void closeAsksWhenChangesArePending();
    void applyIsConfirmedOnTheStatusLine_data();
    void applyIsConfirmedOnTheStatusLine();
    void shapedByItsBackground();
    void homePageOpensAddress_data();
    void homePageOpensAddress();
    void creditsClickLeavesNoFocusFrame();
    void accessibleNamesInTheInterfaceLanguage_data();
    void accessibleNamesInTheInterfaceLanguage();
    void screenReaderReadsWhatIsShown_data();
    void screenReaderReadsWhatIsShown();
    void keysApplyTheSelection_data();
    void keysApplyTheSelection();
    void tabReachesEveryControlWithAMark();
    void escapeChangesNothing();
    void scrollBarTabAndSelectionLookLikeThePage();
    void longTitleIsCutAtAWord();
    void boldIsVisiblyBold_data();
    void boldIsVisiblyBold();
};

void TestMainWindow::childrenInPlaceWithTheirTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text"); // caption, or hint where the child has no caption

    const struct
    {
        const char *child;
        QRect geometry;
        QString german, english;
    } rows[] = {
        {"RzFormShape1", {0, 0, 633, 455}, {}, {}},
        {"btnGerman", {18, 8, 23, 22}, u"Deutsche Version"_s, u"Deutsche Version"_s},
        {"btnEnglish", {47, 8, 23, 22}, u"English version"_s, u"English version"_s},
        {"RzLabel1",
         {86, 10, 249, 21},
         u"Musterhafen Konfigurator"_s,
         u"Musterhafen Configurator"_s},
        {"RzToolbarButton3", {531, 8, 23, 22}, u"Information"_s, u"Information"_s},
        {"RzToolbarButton2", {570, 8, 23, 22}, u"Minimize"_s, u"Minimize"_s},
        {"RzToolbarButton1", {593, 8, 23, 22}, u"Close"_s, u"Close"_s},
        {"btnApplyObj", {264, 350, 111, 37}, u"&Übernehmen"_s, u"&Apply"_s}, // with accelerators
        {"RzMarqueeStatus1",
         {8, 389, 617, 33},
         u"Willkommen in Musterhafen"_s,
         u"Welcome to Musterhafen"_s},
        {"RzLabel3",
         {8, 435, 614, 13},
         u"Musterhafen Konfigurator - Version 2.0.0.0 - Orvandel"_s,
         u"Musterhafen Configurator - Version 2.0.0.0 - Orvandel"_s},
        {"RzPageControl1", {6, 42, 619, 305}, u"XXXX.ini"_s, u"XXXX.ini"_s},
        {"RzLabel2",
         {12, 6, -1, -1},
         u"Bitte die Objekte auswählen, die aktiv sein sollen"_s,
         u"Please select the objects, that should be active"_s},
        {"HTMLabel1",
         {12, 257, 592, 17},
         u"<B>Wichtig:</B> Die Änderungen müssen durch Klick auf [Übernehmen] gespeichert werden!"_s,
         u"<B>Important:</B> Changes must be saved by clicking [Apply]!"_s},
        {"Image1", {392, 98, 200, 54}, {}, {}},
        {"HTMLCredit1",
         {382, 26, 222, 63},
         // Without an "HTMLCredits" key: the default credits, with the control file's home page.
         u"<P align=\"center\"><FONT size=\"10\"><B>Musterhafen Konfigurator</B></FONT><BR>"
         u"Version 2.0.0.0<BR><BR>Orvandel<BR><A href=\"https://scenery.example.net/\">"
         u"scenery.example.net</A><BR></P>"_s,
         u"<P align=\"center\"><FONT size=\"10\"><B>Musterhafen Configurator</B></FONT><BR>"
         u"Version 2.0.0.0<BR><BR>Orvandel<BR><A href=\"https://scenery.example.net/\">"
         u"scenery.example.net</A><BR></P>"_s},
        {"RzCheckTree1", {3, 22, 365, 229}, u"Turm"_s, u"Tower"_s},
        {"RzToolButton1",
         {478, 6, 39, 25},
         u"Einstellungen|-|Updates suchen"_s,
         u"Settings|-|Search for updates"_s},
    };
    for (const char *language : {"german", "english"}) {
        for (const auto &row : rows) {
            QTest::addRow("%s, %s", language, row.child)
                << QString::fromLatin1(language) << QString::fromLatin1(row.child) << row.geometry
                << (QByteArray(language) == "german" ? row.german : row.english);
        }
    }
}

void TestMainWindow::childrenInPlaceWithTheirTexts()
{
    QFETCH(QString, language);
    QFETCH(QString, child);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(language));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    QVERIFY(!platform.Terminated());
    QCOMPARE(form.windowTitle(), u"ScenForm1"_s);
    QCOMPARE(form.size(), QSize(633, 455));

    const QHash<QString, QWidget *> children{
        {u"RzFormShape1"_s, form.RzFormShape1},
        {u"btnGerman"_s, form.btnGerman},
        {u"btnEnglish"_s, form.btnEnglish},
        {u"RzLabel1"_s, form.RzLabel1},
        {u"RzToolbarButton3"_s, form.RzToolbarButton3},
        {u"RzToolbarButton2"_s, form.RzToolbarButton2},
        {u"RzToolbarButton1"_s, form.RzToolbarButton1},
        {u"btnApplyObj"_s, form.btnApplyObj},
        {u"RzMarqueeStatus1"_s, form.RzMarqueeStatus1},
        {u"RzLabel3"_s, form.RzLabel3},
        {u"RzPageControl1"_s, form.RzPageControl1},
        {u"RzLabel2"_s, form.RzLabel2},
        {u"Image1"_s, form.Image1},
        {u"HTMLabel1"_s, form.HTMLabel1},
        {u"HTMLCredit1"_s, form.HTMLCredit1},
        {u"RzCheckTree1"_s, form.RzCheckTree1},
        {u"RzToolButton1"_s, form.RzToolButton1},
    };
    QWidget *widget = children.value(child);
    QVERIFY(widget);
    QRect expected = geometry;
    // Sized to its caption: the width, and the height of the face's line (13 pixels in the
    // bitmap face of the design, 11 in the scalable look-alike that draws it here).
    if (expected.width() < 0)
        expected.setWidth(widget->width());
    if (expected.height() < 0) {
        QVERIFY(widget->height() >= 11 && widget->height() <= 13);
        expected.setHeight(widget->height());
    }
    QCOMPARE(widget->geometry(), expected);

    QString actual;
    if (auto *label = qobject_cast<TRzLabel *>(widget))
        actual = label->Caption();
    else if (auto *button = qobject_cast<TRzToolbarButton *>(widget))
        actual = button->GetCaption().isEmpty() ? button->Hint() : button->GetCaption();
    else if (auto *status = qobject_cast<TRzMarqueeStatus *>(widget))
        actual = status->Caption();
    else if (auto *html = qobject_cast<THTMLTextWidget *>(widget))
        actual = html->GetDisplText();
    else if (auto *pages = qobject_cast<TRzPageControl *>(widget))
        actual = pages->tabText(0);
    else if (widget == form.RzCheckTree1)
        actual = form.RzCheckTree1->Items().Item(0)->Text();
    else if (widget == form.RzToolButton1) {
        QStringList items;
        for (const QAction *action : form.PopupMenu2->actions())
            items << (action->isSeparator() ? u"-"_s : action->text());
        actual = items.join(u'|');
        QCOMPARE(form.RzToolButton1->toolTip(), items.first());
    }
    QCOMPARE(actual, text);
    if (widget == form.RzToolButton1)
        QVERIFY(widget->isHidden());
    if (widget == form.btnApplyObj)
        QVERIFY(!form.btnApplyObj->ShowHint());
}

void TestMainWindow::closeAsksWhenChangesArePending_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("clicks"); // on the first entry
    QTest::addColumn<bool>("busy"); // another program holds the scenery
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("tower"); // the stored state afterwards

    QTest::newRow("nothing changed: no question")
        << u"german"_s << 0 << false << 0 << true << u"1"_s;
    QTest::newRow("changed back: no question") << u"german"_s << 2 << false << 0 << true << u"1"_s;
    QTest::newRow("Ja: applies, then closes") << u"german"_s << 1 << false << 6 << true << u"0"_s;
    QTest::newRow("Nein: closes without applying")
        << u"german"_s << 1 << false << 7 << true << u"1"_s;
    QTest::newRow("Abbrechen: stays") << u"german"_s << 1 << false << 2 << false << u"1"_s;
    QTest::newRow("English question") << u"english"_s << 1 << false << 7 << true << u"1"_s;
    QTest::newRow("Ja, but Apply cannot run: stays")
        << u"german"_s << 1 << true << 6 << false << u"1"_s;
}

// Closing with changes not applied yet asks first: apply and close, close, or stay.
void TestMainWindow::closeAsksWhenChangesArePending()
{
    QFETCH(QString, language);
    QFETCH(int, clicks);
    QFETCH(bool, busy);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QString, tower);
    TProgramFolder folder;
    prepareActiveTower(folder, language);
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (int i = 0; i < clicks; ++i)
        form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(0));
    platform.Calls.clear();
    platform.TaskDialogs.clear();
    platform.Answers = {answer};
    std::optional<TFolderLock> other;
    if (busy) {
        other.emplace(folder.Path());
        QVERIFY(other->TryLock());
    }
    QTest::mouseClick(form.RzToolbarButton1, Qt::LeftButton);

    QCOMPARE(form.isVisible(), !closed);
    if (clicks % 2 == 0) {
        QCOMPARE(platform.Calls, QStringList());
    } else {
        QCOMPARE(platform.Calls.value(0),
                 u"TaskDialog: "_s
                     + (language == u"english"
                            ? u"The changes have not been applied yet!\r\nApply them before "
                              u"closing?\r\n\r\nJa: apply and close\r\nNein: close without "
                              u"applying\r\nAbbrechen: keep working"_s
                            : u"Die Änderungen wurden noch nicht übernommen!\r\nVor dem Beenden "
                              u"übernehmen?\r\n\r\nJa: übernehmen und beenden\r\nNein: "
                              u"beenden, ohne zu übernehmen\r\nAbbrechen: weiterarbeiten"_s));
        // Staying needs its own button, and the question shows over the window it is about.
        QCOMPARE(platform.TaskDialogs.size(), 1);
        const TTaskDialogRequest &question = platform.TaskDialogs.first();
        QCOMPARE(question.CommonButtons, TCommonButtons({cbYes, cbNo, cbCancel}));
        QCOMPARE(question.DialogPosition, dpOwnerFormCenter);
        QCOMPARE(question.Owner, &form);
    }
    QCOMPARE(TIniFile(folder.ControlFile()).ReadString(u"Checked"_s, u"tower"_s, {}), tower);
    QCOMPARE(folder.SceneryFiles(), QStringList{tower == u"1" ? u"tower.bgl"_s : u"tower.bg_"_s});
}

void TestMainWindow::applyIsConfirmedOnTheStatusLine_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("clicks"); // on the first entry
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("scroller");
    QTest::newRow("German, one file")
        << u"german"_s << 1 << u"Änderungen übernommen: 1 Datei umbenannt"_s
        << u"Willkommen in Musterhafen"_s;
    QTest::newRow("English, no file") << u"english"_s << 0 << u"Changes applied: 0 files renamed"_s
                                      << u"Welcome to Musterhafen"_s;
}

// An Apply without failures says so on the status line, still, for a few seconds; then the
// scrolling text returns.
void TestMainWindow::applyIsConfirmedOnTheStatusLine()
{
    QFETCH(QString, language);
    QFETCH(int, clicks);
    QFETCH(QString, notice);
    QFETCH(QString, scroller);
    TProgramFolder folder;
    prepareActiveTower(folder, language);
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    for (int i = 0; i < clicks; ++i)
        form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(0));
    platform.Calls.clear();
    QTest::mouseClick(form.btnApplyObj, Qt::LeftButton);

    QCOMPARE(platform.Calls, QStringList()); // no message box
    TRzMarqueeStatus &status = *form.RzMarqueeStatus1;
    QCOMPARE(status.Caption(), notice);
    QCOMPARE(status.ScrollType(), stNone);
    QVERIFY(form.NoticeTimer().isActive());
    QCOMPARE(form.NoticeTimer().interval(), 4000);
    QVERIFY(!form.HasPendingChanges());

    form.EndNotice(); // what the timer does when it runs out
    QCOMPARE(status.Caption(), scroller);
    QCOMPARE(status.ScrollType(), stRightToLeft);
    QVERIFY(!form.NoticeTimer().isActive());
}

void TestMainWindow::homePageOpensAddress_data()
{
    QTest::addColumn<QString>("url"); // "-" for no URL key
    QTest::addColumn<QString>("opened");
    QTest::newRow("address of the control file")
        << u"https://scenery.example.net/"_s << u"https://scenery.example.net/"_s;
    QTest::newRow("no address: the built-in one") << u"-"_s << u"https://www.example.org/"_s;
    const QString longest = u"https://example.net/"_s + QString(1979, u'a');
    QTest::newRow("1999 characters are handed over whole") << longest << longest;
    QTest::newRow("2000 characters: nothing opened") << longest + u'a' << QString();
}

void TestMainWindow::homePageOpensAddress()
{
    QFETCH(QString, url);
    QFETCH(QString, opened);
    TProgramFolder folder;
    QString text = ControlFileText.arg(u"german"_s);
    text.replace(u"URL=https://scenery.example.net/\n"_s,
                 url == u"-" ? QString() : u"URL="_s + url + u'\n');
    folder.WriteControlFile(text);
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    platform.Calls.clear();
    QTest::mouseClick(form.RzMarqueeStatus1, Qt::LeftButton);
    QTest::mouseClick(form.Image1, Qt::LeftButton);
    const QStringList expected = opened.isEmpty()
        ? QStringList()
        : QStringList{u"ShellOpen: "_s + opened, u"ShellOpen: "_s + opened};
    QCOMPARE(platform.Calls, expected);
}

// The credits box draws a focus frame around a link while it has the focus; a click on it must
// not give it the focus.
void TestMainWindow::creditsClickLeavesNoFocusFrame()
{
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(u"german"_s));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::mouseClick(form.HTMLCredit1, Qt::LeftButton);
    QVERIFY(!form.HTMLCredit1->hasFocus());
}

void TestMainWindow::accessibleNamesInTheInterfaceLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("names"); // "child=role:name"
    QTest::addColumn<QString>("applyDescription");
    QTest::newRow("German") << u"german"_s
                            << QStringList{u"btnGerman=button:Deutsch"_s,
                                           u"btnEnglish=button:Englisch"_s,
                                           u"RzToolbarButton3=button:Informationen zur Szenerie"_s,
                                           u"RzToolbarButton2=button:Minimieren"_s,
                                           u"RzToolbarButton1=button:Schließen"_s,
                                           u"btnApplyObj=button:Übernehmen"_s,
                                           u"Image1=link:Homepage der Szenerie"_s,
                                           u"RzCheckTree1=tree:Objekte"_s,
                                           u"RzMarqueeStatus1=other:Willkommen in Musterhafen"_s}
                            << u"Aktiviert und deaktiviert die Objekte so, wie sie angehakt sind "
                               u"(Strg+S)"_s;
    QTest::newRow("English")
        << u"english"_s
        << QStringList{u"btnGerman=button:German"_s,
                       u"btnEnglish=button:English"_s,
                       u"RzToolbarButton3=button:Information about the scenery"_s,
                       u"RzToolbarButton2=button:Minimise"_s,
                       u"RzToolbarButton1=button:Close"_s,
                       u"btnApplyObj=button:Apply"_s,
                       u"Image1=link:The scenery's home page"_s,
                       u"RzCheckTree1=tree:Objects"_s,
                       u"RzMarqueeStatus1=other:Welcome to Musterhafen"_s}
        << u"Activates and deactivates the objects as they are ticked "
           u"(Ctrl+S)"_s;
}

// What a screen reader reads: every control by a name in the interface language, buttons as
// buttons.
void TestMainWindow::accessibleNamesInTheInterfaceLanguage()
{
    QFETCH(QString, language);
    QFETCH(QStringList, names);
    QFETCH(QString, applyDescription);
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(language));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    const QHash<QString, QWidget *> fields{{u"btnGerman"_s, form.btnGerman},
                                           {u"btnEnglish"_s, form.btnEnglish},
                                           {u"RzToolbarButton3"_s, form.RzToolbarButton3},
                                           {u"RzToolbarButton2"_s, form.RzToolbarButton2},
                                           {u"RzToolbarButton1"_s, form.RzToolbarButton1},
                                           {u"btnApplyObj"_s, form.btnApplyObj},
                                           {u"Image1"_s, form.Image1},
                                           {u"RzCheckTree1"_s, form.RzCheckTree1},
                                           {u"RzMarqueeStatus1"_s, form.RzMarqueeStatus1}};
    QStringList descriptions;
    for (const QString &expected : std::as_const(names)) {
        const QString child = expected.section(u'=', 0, 0);
        QWidget *widget = fields.value(child);
        QVERIFY2(widget, qPrintable(child));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        const QAccessible::Role role = accessible->role();
        const QString kind = role == QAccessible::Button ? u"button"_s
            : role == QAccessible::Link                  ? u"link"_s
            : role == QAccessible::Tree                  ? u"tree"_s
                                                         : u"other"_s;
        QCOMPARE(child + u'=' + kind + u':' + accessible->text(QAccessible::Name), expected);
        // Buttons and the link say what they do, in the interface language.
        if (kind == u"button" || kind == u"link") {
            const QString description = accessible->text(QAccessible::Description);
            QVERIFY2(!description.isEmpty(), qPrintable(child));
            QCOMPARE(descriptions.contains(description), false);
            descriptions << description;
        }
        if (child == u"btnApplyObj")
            QCOMPARE(accessible->text(QAccessible::Description), applyDescription);
    }
}

void TestMainWindow::screenReaderReadsWhatIsShown_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the window, by the program's title")
        << u"window"_s << u"Musterhafen Konfigurator"_s;
    QTest::newRow("the notice")
        << u"notice"_s
        << u"Wichtig: Die Änderungen müssen durch Klick auf [Übernehmen] gespeichert werden!"_s;
    QTest::newRow("the status line after Apply")
        << u"status"_s << u"Änderungen übernommen: 1 Datei umbenannt"_s;
    QTest::newRow("the credits, entities and list items as shown")
        << u"credits"_s << u"Meier & Partner <GmbH>\nTurm\nHalle"_s;
}

// What a screen reader reads is what the window shows: its title, the painted notice, the status
// line's current text, and the credits as the renderer shows them.
void TestMainWindow::screenReaderReadsWhatIsShown()
{
    QFETCH(QString, what);
    QFETCH(QString, expected);
    TProgramFolder folder;
    prepareActiveTower(folder, u"german"_s);
    QByteArray text = folder.ReadControlFile();
    text.replace("[german]\r\n",
                 "[german]\r\nHTMLCredits=<B>Meier &amp; Partner &lt;GmbH&gt;</B>"
                 "<UL><LI>Turm</LI><LI>Halle</LI></UL>\r\n");
    folder.WriteControlFile(QString::fromLatin1(text));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const auto read = [](QWidget *widget, QAccessible::Text kind) {
        return QAccessible::queryAccessibleInterface(widget)->text(kind);
    };
    QString said;
    if (what == u"window") {
        said = read(&form, QAccessible::Name);
        QCOMPARE(form.windowTitle(), u"ScenForm1"_s); // the caption itself stays
    } else if (what == u"notice") {
        said = read(form.HTMLabel1, QAccessible::Name);
    } else if (what == u"status") {
        QTest::keyClick(form.RzCheckTree1, Qt::Key_Space);
        QTest::keyClick(form.RzCheckTree1, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bg_"_s});
        QCOMPARE(QAccessible::queryAccessibleInterface(form.RzMarqueeStatus1)->role(),
                 QAccessible::StatusBar);
        said = read(form.RzMarqueeStatus1, QAccessible::Name);
    } else {
        said = read(form.HTMLCredit1, QAccessible::Description);
    }
    QCOMPARE(said, expected);
}

void TestMainWindow::keysApplyTheSelection_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QKeyCombination>("first"); // what brings the focus to Apply, if anything
    QTest::addColumn<QKeyCombination>("key");
    const QKeyCombination none;
    QTest::newRow("Ctrl+S, as in every program that saves")
        << u"german"_s << none << QKeyCombination(Qt::ControlModifier, Qt::Key_S);
    QTest::newRow("Alt+Ü, the German caption's accelerator")
        << u"german"_s << none << QKeyCombination(Qt::AltModifier, Qt::Key_Udiaeresis);
    QTest::newRow("Alt+A, the English caption's accelerator")
        << u"english"_s << none << QKeyCombination(Qt::AltModifier, Qt::Key_A);
    QTest::newRow("Tab to Apply, Space")
        << u"german"_s << QKeyCombination(Qt::Key_Tab) << QKeyCombination(Qt::Key_Space);
    QTest::newRow("Tab to Apply, Return")
        << u"english"_s << QKeyCombination(Qt::Key_Tab) << QKeyCombination(Qt::Key_Return);
}

// The whole way from a change to Apply works without a mouse: Space on the tree's row, then a
// key that applies.
void TestMainWindow::keysApplyTheSelection()
{
    QFETCH(QString, language);
    QFETCH(QKeyCombination, first);
    QFETCH(QKeyCombination, key);
    TProgramFolder folder;
    prepareActiveTower(folder, language);
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.RzCheckTree1);
    form.RzCheckTree1->setCurrentIndex(form.RzCheckTree1->model()->index(0, 0));
    QTest::keyClick(form.RzCheckTree1, Qt::Key_Space);
    QVERIFY(form.HasPendingChanges());
    if (first != QKeyCombination())
        QTest::keyClick(QApplication::focusWidget(), first.key(), first.keyboardModifiers());
    QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bg_"_s});
    QVERIFY(!form.HasPendingChanges());
}

// Tab takes the focus from the objects to Apply, the home page and along the title band, and
// back to the objects; Shift+Tab the other way. The focused control shows a mark.
void TestMainWindow::tabReachesEveryControlWithAMark()
{
    TProgramFolder folder;
    prepareActiveTower(folder, u"german"_s);
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QStringList order{u"RzCheckTree1"_s,     u"btnApplyObj"_s,      u"Image1"_s,
                            u"btnGerman"_s,        u"btnEnglish"_s,       u"RzToolbarButton3"_s,
                            u"RzToolbarButton2"_s, u"RzToolbarButton1"_s, u"RzCheckTree1"_s};
    QStringList reached{QApplication::focusWidget()->objectName()};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget *control = form.findChild<QWidget *>(order[i]);
        QVERIFY(control);
        const QImage unfocused = control->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
        if (control != form.RzCheckTree1)
            QVERIFY2(control->grab().toImage() != unfocused, qPrintable(order[i]));
    }
    QCOMPARE(reached, order);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), form.RzToolbarButton1);

    // A click on a button leaves no focus on it.
    QTest::mouseClick(form.btnGerman, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), form.RzToolbarButton1);
}

// Escape on the main window neither closes it, nor asks, nor applies or drops the change.
void TestMainWindow::escapeChangesNothing()
{
    TProgramFolder folder;
    prepareActiveTower(folder, u"german"_s);
    const QByteArray stored = folder.ReadControlFile();
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.RzCheckTree1->Items().ToggleCheckState(form.RzCheckTree1->Items().Item(0));
    const QStringList calls = platform.Calls;
    for (QWidget *focused :
         {static_cast<QWidget *>(form.RzCheckTree1), static_cast<QWidget *>(form.btnApplyObj)}) {
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Escape);
    }
    QVERIFY(form.isVisible());
    QCOMPARE(platform.Calls, calls);
    QVERIFY(form.HasPendingChanges());
    QCOMPARE(folder.SceneryFiles(), QStringList{u"tower.bgl"_s});
    QCOMPARE(folder.ReadControlFile(), stored);
}

// On the demo's page: the scroll bar's handle stands out darker than its track, the tab has the
// page's colour, and a selected row is one bar across its check box.
void TestMainWindow::scrollBarTabAndSelectionLookLikeThePage()
{
    TProgramFolder folder;
    folder.WriteControlFile(QString::fromLatin1(DemoControlFileOfSize(u"2 KB"_s)));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QScrollBar *bar = form.RzCheckTree1->verticalScrollBar();
    QVERIFY(bar->isVisible());
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    const QRect handle = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                      QStyle::SC_ScrollBarSlider, bar);
    const QImage barImage = bar->grab().toImage();
    const int handleGrey = qGray(barImage.pixel(handle.center()));
    const int trackGrey = qGray(barImage.pixel(0, handle.center().y()));
    QVERIFY2(trackGrey - handleGrey >= 40,
             qPrintable(u"handle %1, track %2"_s.arg(handleGrey).arg(trackGrey)));

    QTabBar *tabs = form.RzPageControl1->tabBar();
    const QRect tab = tabs->tabRect(0);
    const QColor tabColour = tabs->grab().toImage().pixelColor(tab.left() + 3, tab.center().y());
    QCOMPARE(tabColour, form.TabSheet1->Color());

    const QModelIndex item = form.RzCheckTree1->model()->index(0, 0);
    form.RzCheckTree1->setCurrentIndex(item);
    QVERIFY(form.RzCheckTree1->selectionModel()->isSelected(item));
    const QRect row = form.RzCheckTree1->visualRect(item);
    const QImage rows = form.RzCheckTree1->viewport()->grab().toImage();
    // Left of the box, and beyond the caption, inside the focus frame of the text: the same
    // bar, give or take the style's shading.
    const QColor besideBox = rows.pixelColor(row.left() + 1, row.top() + 2);
    const QColor besideText = rows.pixelColor(row.right() - 4, row.top() + 2);
    QVERIFY2(qAbs(besideBox.red() - besideText.red()) + qAbs(besideBox.green() - besideText.green())
                     + qAbs(besideBox.blue() - besideText.blue())
                 <= 16,
             qPrintable(besideBox.name() + u" beside the box, "_s + besideText.name()));
}

// A title too long for the title band is cut after a whole word, and "…" shows the cut.
void TestMainWindow::longTitleIsCutAtAWord()
{
    const QString title = u"Flugplatz Musterhafen mit Vorfeld, Hangars und allen Fahrzeugen"_s;
    TProgramFolder folder;
    folder.WriteControlFile(QString(ControlFileText.arg(u"german"_s))
                                .replace(u"Title=Musterhafen Konfigurator"_s, u"Title="_s + title));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    const TRzLabel &label = *form.RzLabel1;
    QCOMPARE(label.Caption(), title);
    const QString shown = label.ShownText();
    QVERIFY2(shown.endsWith(u"…"_s), qPrintable(shown));
    const QString kept = shown.chopped(1);
    QVERIFY(title.startsWith(kept + u' '));
    QVERIFY(label.fontMetrics().horizontalAdvance(shown) <= label.width());
}

void TestMainWindow::boldIsVisiblyBold_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("pixelHeight");
    QTest::newRow("Tahoma, 11 pixels (the notice)") << u"Tahoma"_s << 11;
    QTest::newRow("MS Sans Serif, 11 pixels (the labels)") << u"MS Sans Serif"_s << 11;
    QTest::newRow("MS Sans Serif, 13 pixels (the title)") << u"MS Sans Serif"_s << 13;
}

// Bold text carries clearly more ink than regular text in the faces and sizes of the window, as
// drawn; and so does the notice's "Wichtig:" on screen.
void TestMainWindow::boldIsVisiblyBold()
{
    QFETCH(QString, face);
    QFETCH(int, pixelHeight);
    const auto ink = [](const QImage &image, int width) {
        qint64 sum = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < qMin(width, image.width()); ++x)
                sum += 255 - qGray(image.pixel(x, y));
        }
        return sum;
    };
    const auto drawn = [&](bool bold) {
        QImage image(200, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(WindowFont(face, pixelHeight, bold));
        painter.drawText(2, 20, u"Wichtig: Titel"_s);
        painter.end();
        return ink(image, image.width());
    };
    RegisterWindowFonts();
    const qint64 regular = drawn(false), bold = drawn(true);
    QVERIFY(regular > 0);
    QVERIFY2(bold * 10 >= regular * 13,
             qPrintable(u"bold %1, regular %2"_s.arg(bold).arg(regular)));

    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(u"german"_s));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    const qint64 boldNotice = ink(form.HTMLabel1->grab().toImage(), 50);
    form.HTMLabel1->SetHTMLText({u"Wichtig: Die Änderungen müssen durch Klick auf [Übernehmen] "
                                 u"gespeichert werden!"_s});
    const qint64 plainNotice = ink(form.HTMLabel1->grab().toImage(), 50);
    QVERIFY2(boldNotice * 10 >= plainNotice * 13,
             qPrintable(u"bold %1, regular %2"_s.arg(boldNotice).arg(plainNotice)));
}

void TestMainWindow::shapedByItsBackground()
{
    TProgramFolder folder;
    folder.WriteControlFile(ControlFileText.arg(u"german"_s));
    TRecordingPlatform platform(folder.ExeName());
    TScenForm1 form(platform);
    const QImage background = form.RzFormShape1->Picture();
    QCOMPARE(background.size(), QSize(632, 455));
    QCOMPARE(background.pixel(0, 454), qRgb(255, 255, 255)); // the key colour

    // One run per row: a single pixel in row 0, the title band, then the rounded panel.
    QHash<int, QRect> rows;
    for (const QRect &rect : form.RzFormShape1->GetRegionFromBitmap(background)) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            QVERIFY2(!rows.contains(y), "more than one run in a row");
            rows.insert(y, QRect(rect.left(), y, rect.width(), 1));
        }
    }
    QCOMPARE(rows.value(0), QRect(8, 0, 1, 1));
    for (int y = 1; y <= 33; ++y)
        QCOMPARE(rows.value(y), QRect(6, y, 621, 1));
    for (int y = 42; y <= 445; ++y)
        QCOMPARE(rows.value(y), QRect(0, y, 632, 1));
    for (int y : {34, 454}) { // corners
        QVERIFY(rows.value(y).left() > 0);
        QCOMPARE(rows.value(y).right(), 631 - rows.value(y).left());
    }

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect screen = form.screen()->availableGeometry();
    QVERIFY(qAbs(form.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(form.geometry().center().y() - screen.center().y()) <= 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
