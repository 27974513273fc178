#include "platform/regularfile.h"
#include "tests/support/recordingplatform.h"
#include "tests/support/releasedfifo.h"
#include "ui/infoform.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QWindow>

#include <memory>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString caption = u"Informationen zur Szenerie"_s;
const QString cannotDisplay = u"The document cannot be displayed."_s;
const QString cannotDisplayGerman = u"Das Dokument kann nicht angezeigt werden."_s;

// The address of a readme: "file://" and its path; on Windows "file:///" and the path with the
// system's own separators.
QString fileAddress(const QString &path)
{
#ifdef Q_OS_WIN
    return u"file:///"_s + QDir::toNativeSeparators(path);
#else
    return u"file://"_s + path;
#endif
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A readme whose first line is `title`, followed by `body` and enough text to scroll.
QByteArray readme(const QString &title, const QString &body = {})
{
    QString html = u"<html><body><p>%1</p>%2"_s.arg(title, body);
    for (int i = 0; i < 200; ++i)
        html += u"<p>Line %1</p>"_s.arg(i);
    return (html + u"<p><a name=\"end\">End of the readme</a></p></body></html>"_s).toUtf8();
}

QString shownText(const TInfoForm &form)
{
    return form.WebBrowser1->toPlainText();
}

// A program folder with a German and an English readme, and the information window for it.
struct Program
{
    explicit Program(const QString &subfolder = u"Scenery"_s)
    {
        folder = dir.path() + u'/' + subfolder;
        QDir().mkpath(folder);
        platform = std::make_unique<TRecordingPlatform>(folder + u"/SceneryConfig"_s);
        writeFile(folder + u"/liesmich.html"_s, readme(u"Deutsche Anleitung"_s));
        writeFile(folder + u"/readme.html"_s, readme(u"English readme"_s));
    }

    TInfoForm &form(QWidget *parent = nullptr)
    {
        if (!window)
            window = std::make_unique<TInfoForm>(*platform, parent);
        return *window;
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<TRecordingPlatform> platform;
    std::unique_ptr<TInfoForm> window;
};

// Clicks the middle of the first occurrence of `text` in the browser.
void clickText(QTextBrowser &browser, const QString &text)
{
    QTextCursor cursor = browser.document()->find(text);
    QVERIFY(!cursor.isNull());
    cursor.setPosition((cursor.selectionStart() + cursor.selectionEnd()) / 2);
    QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, browser.cursorRect(cursor).center());
}

} // namespace

class TstInfoForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readmeOfLanguage_data();
    void readmeOfLanguage();
    void folderWithSpecialCharacters_data();
    void folderWithSpecialCharacters();
    void readmeEncodings_data();
    void readmeEncodings();
    void unreadableReadmeShowsBuiltInPage_data();
    void unreadableReadmeShowsBuiltInPage();
    void readsOnlyRegularFilesWithinLimits_data();
    void readsOnlyRegularFilesWithinLimits();
    void layoutAndEmptyProgressPane();
    void firstShowingCentresOverMainWindow_data();
    void firstShowingCentresOverMainWindow();
    void reopeningReloadsAndKeepsPlace();
    void links_data();
    void links();
};

void TstInfoForm::readmeOfLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");

    QTest::newRow("german") << u"german"_s << u"liesmich.html"_s << u"Deutsche Anleitung"_s;
    QTest::newRow("German") << u"German"_s << u"liesmich.html"_s << u"Deutsche Anleitung"_s;
    QTest::newRow("GERMAN") << u"GERMAN"_s << u"liesmich.html"_s << u"Deutsche Anleitung"_s;
    QTest::newRow("english") << u"english"_s << u"readme.html"_s << u"English readme"_s;
    QTest::newRow("eNgLiSh") << u"eNgLiSh"_s << u"readme.html"_s << u"English readme"_s;
    QTest::newRow("unknown language") << u"french"_s << QString() << cannotDisplay;
    QTest::newRow("no language") << QString() << QString() << cannotDisplay;
    QTest::newRow("surrounding space") << u" german"_s << QString() << cannotDisplay;
    // Only a to z are upper-cased: a dotless i does not become I.
    QTest::newRow("non-ASCII letter") << u"engl\u0131sh"_s << QString() << cannotDisplay;
}

void TstInfoForm::readmeOfLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, file);
    QFETCH(QString, text);

    Program program;
    // Readmes in the current folder must not be taken.
    QTemporaryDir elsewhere;
    writeFile(elsewhere.path() + u"/liesmich.html"_s, readme(u"Falscher Ordner"_s));
    writeFile(elsewhere.path() + u"/readme.html"_s, readme(u"Wrong folder"_s));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    TInfoForm &form = program.form();
    form.Language = language;
    form.show();

    QCOMPARE(form.Address(),
             file.isEmpty() ? u"file:///"_s : fileAddress(program.folder + u'/' + file));
    QVERIFY2(shownText(form).contains(text), qPrintable(shownText(form)));
    QCOMPARE(form.windowTitle(), caption);
    QVERIFY(program.platform->Calls.isEmpty());
}

void TstInfoForm::folderWithSpecialCharacters_data()
{
    QTest::addColumn<QString>("subfolder");
    QTest::addColumn<QString>("addressEnd");

    QTest::newRow("spaces") << u"Sim Tools/My  Scenery"_s
                            << u"/Sim%20Tools/My%20%20Scenery/readme.html"_s;
    // Only spaces are escaped; the document must load all the same.
    QTest::newRow("hash and percent")
        << u"Sim #1/100%20 done"_s << u"/Sim%20#1/100%20%20done/readme.html"_s;
    QTest::newRow("umlaut") << u"Szenerie Mühle"_s << u"/Szenerie%20Mühle/readme.html"_s;
}

void TstInfoForm::folderWithSpecialCharacters()
{
    QFETCH(QString, subfolder);
    QFETCH(QString, addressEnd);

    Program program(subfolder);
    TInfoForm &form = program.form();
    form.Language = u"english"_s;
    form.show();

    QCOMPARE(form.Address(), fileAddress(program.dir.path() + addressEnd));
    QVERIFY2(shownText(form).contains(u"English readme"_s), qPrintable(shownText(form)));
}

void TstInfoForm::readmeEncodings_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("UTF-8 declared") << QByteArray("<html><head><meta charset=\"utf-8\"></head>"
                                                  "<body>Gr\xc3\xbc\xc3\x9f"
                                                  "e</body></html>");
    QTest::newRow("UTF-8 undeclared") << QByteArray("<html><body>Gr\xc3\xbc\xc3\x9f"
                                                    "e</body></html>");
    QTest::newRow("Latin-1 declared")
        << QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                      "charset=iso-8859-1\"></head><body>Gr\xfc\xdf"
                      "e</body></html>");
    QTest::newRow("Windows-1252 undeclared") << QByteArray("<html><body>Gr\xfc\xdf"
                                                           "e</body></html>");
}

void TstInfoForm::readmeEncodings()
{
    QFETCH(QByteArray, content);

    Program program;
    QVERIFY(writeFile(program.folder + u"/liesmich.html"_s, content));
    TInfoForm &form = program.form();
    form.Language = u"german"_s;
    form.show();

    QCOMPARE(shownText(form).trimmed(), u"Grüße"_s);
}

void TstInfoForm::unreadableReadmeShowsBuiltInPage_data()
{
    QTest::addColumn<bool>("shownBefore");
    QTest::addColumn<QString>("instead"); // what takes the readme's place

    QTest::newRow("missing") << false << QString();
    QTest::newRow("removed after an earlier showing") << true << QString();
    QTest::newRow("a folder of that name") << false << u"folder"_s;
    QTest::newRow("a FIFO of that name") << false << u"FIFO"_s;
    QTest::newRow("a readme above the size limit") << false << u"large"_s;
}

void TstInfoForm::unreadableReadmeShowsBuiltInPage()
{
    QFETCH(bool, shownBefore);
    QFETCH(QString, instead);
#ifdef Q_OS_WIN
    if (instead == u"FIFO")
        QSKIP("Windows has no FIFOs in its file system");
#endif

    Program program;
    TInfoForm &form = program.form();
    form.Language = u"english"_s;
    if (shownBefore) {
        form.show();
        QVERIFY(shownText(form).contains(u"English readme"_s));
        form.close();
    }
    const QString path = program.folder + u"/readme.html"_s;
    QVERIFY(QFile::remove(path));
    if (instead == u"folder")
        QVERIFY(QDir().mkdir(path));
    if (instead == u"large") {
        QVERIFY(writeFile(path, readme(u"English readme"_s)));
        QVERIFY(QFile::resize(path, MaxDocumentFileSize + 1));
    }
    std::optional<TReleasedFifo> fifo;
    if (instead == u"FIFO")
        QVERIFY(fifo.emplace(path, readme(u"English readme"_s)).Created());
    form.show();

    QCOMPARE(form.Address(), fileAddress(path));
    QVERIFY2(shownText(form).contains(cannotDisplayGerman), qPrintable(shownText(form)));
    QVERIFY(shownText(form).contains(cannotDisplay));
    QVERIFY(!shownText(form).contains(u"English readme"_s));
    QVERIFY(form.isVisible());
    QVERIFY(program.platform->Calls.isEmpty());
}

void TstInfoForm::readsOnlyRegularFilesWithinLimits_data()
{
    QTest::addColumn<QString>("markup"); // "%1" stands for the resource's name
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("read");

    const QString picture = u"<p><img src=\"%1\"></p>"_s;
    const int image = QTextDocument::ImageResource;
    const QString stylesheet = u"<link rel=\"stylesheet\" href=\"%1\">"_s;
    const int style = QTextDocument::StyleSheetResource;
    QTest::newRow("picture") << picture << image << u"pic.png"_s << true;
    QTest::newRow("picture at the size limit") << picture << image << u"limit.png"_s << true;
    QTest::newRow("picture above the size limit") << picture << image << u"large.png"_s << false;
    QTest::newRow("picture from a FIFO") << picture << image << u"fifo.png"_s << false;
    QTest::newRow("picture from an endless device") << picture << image << u"/dev/zero"_s << false;
    QTest::newRow("stylesheet") << stylesheet << style << u"notes.css"_s << true;
    QTest::newRow("stylesheet from a FIFO") << stylesheet << style << u"fifo.css"_s << false;
}

// What a readme names may be anything: only regular files within a size limit are read.
void TstInfoForm::readsOnlyRegularFilesWithinLimits()
{
    QFETCH(QString, markup);
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(bool, read);
#ifdef Q_OS_WIN
    if (name.startsWith(u"fifo") || name.startsWith(u"/dev/"))
        QSKIP("Windows has neither FIFOs nor devices in its file system");
#endif

    Program program;
    QImage image(3, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    const QByteArray css = "p { color: green }";
    QVERIFY(writeFile(program.folder + u"/pic.png"_s, png));
    QVERIFY(writeFile(program.folder + u"/notes.css"_s, css));
    // A picture followed by zeros, which the decoder ignores; sparse, so it takes no room.
    for (const auto &[file, size] : {std::pair(u"/large.png"_s, MaxPictureFileSize + 1),
                                     std::pair(u"/limit.png"_s, MaxPictureFileSize)}) {
        QVERIFY(writeFile(program.folder + file, png));
        QVERIFY(QFile::resize(program.folder + file, size));
    }
    std::optional<TReleasedFifo> fifo;
    if (name.startsWith(u"fifo"))
        QVERIFY(fifo.emplace(program.folder + u'/' + name, name.endsWith(u".png") ? png : css)
                    .Created());
    QVERIFY(writeFile(program.folder + u"/readme.html"_s,
                      readme(u"English readme"_s, markup.arg(name))));

    TInfoForm &form = program.form();
    form.Language = u"english"_s;
    form.show();

    QVERIFY(shownText(form).contains(u"English readme"_s));
    const QVariant resource = form.WebBrowser1->document()->resource(type, QUrl(name));
    // The document keeps a picture it has shown as a decoded image.
    const QByteArray bytes = resource.toByteArray();
    const QImage shown = resource.typeId() == QMetaType::QByteArray ? QImage::fromData(bytes)
                                                                    : resource.value<QImage>();
    QCOMPARE(type == QTextDocument::ImageResource ? !shown.isNull() : bytes == css, read);
}

void TstInfoForm::layoutAndEmptyProgressPane()
{
    Program program;
    TInfoForm &form = program.form();
    form.Language = u"german"_s;
    form.show();

    QCOMPARE(form.size(), QSize(684, 476));
    QCOMPARE(form.WebBrowser1->geometry(), QRect(0, 0, 684, 457));
    QCOMPARE(form.RzStatusBar1->geometry(), QRect(0, 457, 684, 19));
    QVERIFY(form.RzStatusBar1->isSizeGripEnabled());
    QCOMPARE(form.RzProgressStatus1->parentWidget(), form.RzStatusBar1);
    QCOMPARE(form.RzProgressStatus1->geometry(), QRect(0, 0, 100, 19));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint));

    form.resize(800, 600);
    QCOMPARE(form.WebBrowser1->geometry(), QRect(0, 0, 800, 581));
    QCOMPARE(form.RzStatusBar1->geometry(), QRect(0, 581, 800, 19));
    QCOMPARE(form.RzProgressStatus1->geometry(), QRect(0, 0, 100, 19));

    // Empty after loading and after a second showing; a busy indicator would be no empty bar.
    form.close();
    form.show();
    QProgressBar &pane = *form.RzProgressStatus1;
    QVERIFY(pane.maximum() > pane.minimum());
    QCOMPARE(pane.value(), pane.minimum());
    QVERIFY(!pane.isTextVisible());
}

void TstInfoForm::firstShowingCentresOverMainWindow_data()
{
    QTest::addColumn<QRect>("mainWindow");
    QTest::addColumn<bool>("atLeftEdge");
    QTest::addColumn<bool>("atTopEdge");

    QTest::newRow("centred") << QRect(100, 80, 900, 700) << false << false;
    QTest::newRow("smaller main window") << QRect(300, 200, 200, 100) << false << false;
    QTest::newRow("left of the desktop") << QRect(-600, 50, 300, 600) << true << false;
    QTest::newRow("above the desktop") << QRect(50, -500, 900, 300) << false << true;
    QTest::newRow("left of and above") << QRect(-900, -900, 100, 100) << true << true;
}

void TstInfoForm::firstShowingCentresOverMainWindow()
{
    QFETCH(QRect, mainWindow);
    QFETCH(bool, atLeftEdge);
    QFETCH(bool, atTopEdge);

    QWidget main;
    main.setGeometry(mainWindow);
    Program program;
    TInfoForm &form = program.form(&main);
    QVERIFY(form.isWindow());
    form.show();

    const QRect frame = form.frameGeometry();
    const QRect desktop = form.screen()->availableVirtualGeometry();
    if (atLeftEdge)
        QCOMPARE(frame.left(), desktop.left());
    else
        QVERIFY2(qAbs(frame.center().x() - mainWindow.center().x()) <= 1,
                 qPrintable(QDebug::toString(frame)));
    if (atTopEdge)
        QCOMPARE(frame.top(), desktop.top());
    else
        QVERIFY2(qAbs(frame.center().y() - mainWindow.center().y()) <= 1,
                 qPrintable(QDebug::toString(frame)));
}

void TstInfoForm::reopeningReloadsAndKeepsPlace()
{
    QWidget main;
    main.setGeometry(100, 80, 900, 700);
    Program program;
    QPointer<TInfoForm> form = &program.form(&main);
    form->Language = u"english"_s;
    form->show();
    QVERIFY(shownText(*form).contains(u"English readme"_s));

    // The user moves, resizes and scrolls the window, then closes it with the close box.
    QWindow &window = *form->windowHandle();
    window.setFramePosition(QPoint(30, 40));
    window.resize(700, 500);
    QTRY_COMPARE(form->pos(), QPoint(30, 40));
    QTRY_COMPARE(form->size(), QSize(700, 500));
    QScrollBar &scroll = *form->WebBrowser1->verticalScrollBar();
    QTRY_VERIFY(scroll.maximum() > 0);
    scroll.setValue(scroll.maximum());
    form->close();
    QVERIFY(form);
    QVERIFY(form->isHidden());

    QVERIFY(writeFile(program.folder + u"/readme.html"_s, readme(u"Updated readme"_s)));
    main.move(400, 300);
    // Shown modally as the main window does, closed from the event loop.
    QMetaObject::invokeMethod(form, &QWidget::close, Qt::QueuedConnection);
    QCOMPARE(form->exec(), int(QDialog::Rejected));

    QVERIFY(form->isHidden());
    QVERIFY2(shownText(*form).contains(u"Updated readme"_s), qPrintable(shownText(*form)));
    QCOMPARE(scroll.value(), 0);
    QCOMPARE(form->pos(), QPoint(30, 40));
    QCOMPARE(form->size(), QSize(700, 500));
    QVERIFY(program.platform->Calls.isEmpty());
}

void TstInfoForm::links_data()
{
    QTest::addColumn<QString>("linkText");
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("shown");

    const QString readmeShown = u"English readme"_s;
    QTest::newRow("web address") << u"Home page"_s << false
                                 << u"ShellOpen: https://www.example.org/musterhafen/?a=1&b=2"_s
                                 << readmeShown;
    QTest::newRow("web address by keyboard")
        << u"Home page"_s << true << u"ShellOpen: https://www.example.org/musterhafen/?a=1&b=2"_s
        << readmeShown;
    QTest::newRow("mail address") << u"Write to us"_s << false
                                  << u"ShellOpen: mailto:info@example.org"_s << readmeShown;
    QTest::newRow("relative local file")
        << u"More notes"_s << false << QString() << u"Further notes"_s;
    // Neither a web nor a local address: nothing happens.
    QTest::newRow("script address") << u"Run a script"_s << false << QString() << readmeShown;
    QTest::newRow("network share") << u"Shared folder"_s << false << QString() << readmeShown;
    QTest::newRow("local anchor") << u"Jump to the end"_s << false << QString() << readmeShown;
}

void TstInfoForm::links()
{
    QFETCH(QString, linkText);
    QFETCH(bool, byKeyboard);
    QFETCH(QString, call);
    QFETCH(QString, shown);

    Program program;
    QDir().mkdir(program.folder + u"/docs"_s);
    QVERIFY(writeFile(program.folder + u"/docs/notes.html"_s,
                      "<html><body><p>Further notes</p></body></html>"));
    QVERIFY(writeFile(
        program.folder + u"/readme.html"_s,
        readme(u"English readme"_s,
               u"<p><a href=\"https://www.example.org/musterhafen/?a=1&amp;b=2\">Home page</a>"
               u"</p><p><a href=\"mailto:info@example.org\">Write to us</a></p>"
               u"<p><a href=\"docs/notes.html\">More notes</a></p>"
               u"<p><a href=\"#end\">Jump to the end</a></p>"
               u"<p><a href=\"javascript:alert(1)\">Run a script</a></p>"
               u"<p><a href=\"smb://fileserver/scenery\">Shared folder</a></p>"_s)));
    TInfoForm &form = program.form();
    form.Language = u"english"_s;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTextBrowser &browser = *form.WebBrowser1;

    if (byKeyboard) {
        browser.setFocus();
        QTest::keyClick(&browser, Qt::Key_Tab);
        QCOMPARE(browser.textCursor().selectedText(), linkText);
        QTest::keyClick(&browser, Qt::Key_Return);
    } else {
        clickText(browser, linkText);
    }

    QCOMPARE(program.platform->Calls, call.isEmpty() ? QStringList() : QStringList{call});
    QVERIFY2(shownText(form).contains(shown), qPrintable(shownText(form)));
    const bool toAnchor = linkText == u"Jump to the end"_s;
    QCOMPARE(browser.verticalScrollBar()->value() > 0, toAnchor);

    // The next showing starts again at the top of the readme.
    form.close();
    form.show();
    QVERIFY(shownText(form).contains(u"English readme"_s));
    QCOMPARE(browser.verticalScrollBar()->value(), 0);
}

QTEST_MAIN(TstInfoForm)

#include "tst_infoform.moc"
