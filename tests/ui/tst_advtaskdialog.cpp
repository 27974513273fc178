#include "ui/advmessageform.h"
#include "ui/advtaskdialog.h"
#include "ui/desktopplatform.h"
#include "ui/messagedialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(TCommonButtons)

using namespace Qt::StringLiterals;

namespace {

// The configuration the program uses: a question with Yes and No, content only.
void configureQuestion(TAdvTaskDialog &dialog, const QString &content = QStringLiteral("Frage?"))
{
    dialog.SetCommonButtons({cbYes, cbNo});
    dialog.SetIcon(tiQuestion);
    dialog.SetContent(content);
}

std::unique_ptr<TAdvMessageForm> shownForm(TAdvTaskDialog &dialog)
{
    auto form = std::make_unique<TAdvMessageForm>(dialog);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("the dialog did not become active");
    return form;
}

QStringList names(const QList<QPushButton *> &buttons)
{
    QStringList result;
    for (const QPushButton *button : buttons)
        result << button->objectName();
    return result;
}

int contentHeight(const QString &content)
{
    TAdvTaskDialog dialog;
    configureQuestion(dialog, content);
    return TAdvMessageForm(dialog).contentRect().height();
}

} // namespace

class TestAdvTaskDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttons_data();
    void buttons();
    void defaultButton_data();
    void defaultButton();
    void enterAndTab();
    void accelerators_data();
    void accelerators();
    void endingKeys_data();
    void endingKeys();
    void caption_data();
    void caption();
    void copyToClipboard();
    void displayText_data();
    void displayText();
    void lineBreaksMakeLines();
    void clientWidth_data();
    void clientWidth();
    void buttonRow();
    void painting();
    void executeAnswers_data();
    void executeAnswers();
    void contentChangeWhileShown();
    void ownerDestroyedWhileShown();
    void desktopPlatformShowsTheRequest();
    void desktopPlatformOwnerDestroyedWhileShown();
    void screenReaderReadsTheTexts();
};

void TestAdvTaskDialog::buttons_data()
{
    QTest::addColumn<TCommonButtons>("common");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<int>>("results");

    QTest::newRow("yes and no") << TCommonButtons{cbNo, cbYes} << QStringList{u"Yes"_s, u"No"_s}
                                << QStringList{u"&Ja"_s, u"&Nein"_s} << QList<int>{6, 7};
    QTest::newRow("none configured gives OK")
        << TCommonButtons{} << QStringList{u"OK"_s} << QStringList{u"OK"_s} << QList<int>{1};
    QTest::newRow("all, in creation order")
        << TCommonButtons{cbClose, cbRetry, cbCancel, cbNo, cbYes, cbOK}
        << QStringList{u"OK"_s, u"Yes"_s, u"No"_s, u"Cancel"_s, u"Retry"_s, u"Abort"_s}
        << QStringList{u"OK"_s,        u"&Ja"_s,          u"&Nein"_s,
                       u"Abbrechen"_s, u"&Wiederholen"_s, u"&Abbrechen"_s}
        << QList<int>{1, 6, 7, 2, 4, 3};
}

void TestAdvTaskDialog::buttons()
{
    QFETCH(TCommonButtons, common);
    QFETCH(QStringList, names);
    QFETCH(QStringList, captions);
    QFETCH(QList<int>, results);

    for (qsizetype i = 0; i < names.size(); ++i) {
        TAdvTaskDialog dialog;
        dialog.SetCommonButtons(common);
        TAdvMessageForm form(dialog);
        QCOMPARE(::names(form.buttons()), names);
        QPushButton *button = form.buttons().at(i);
        QCOMPARE(button->text(), captions.at(i));
        QCOMPARE(button->height(), DialogUnits(form.font()).y(14));
        const int captionWidth
            = form.fontMetrics().horizontalAdvance(QString(captions.at(i)).remove(u'&'));
        QCOMPARE(button->width(), qMax(captionWidth + 16, 60));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(form.result(), results.at(i));
    }
}

void TestAdvTaskDialog::defaultButton_data()
{
    QTest::addColumn<TCommonButtons>("common");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QString>("expected"); // empty: no default button

    QTest::newRow("0, yes and no") << TCommonButtons{cbYes, cbNo} << 0 << u"Yes"_s;
    QTest::newRow("0, ok and yes") << TCommonButtons{cbOK, cbYes} << 0 << u"OK"_s;
    QTest::newRow("0, cancel and retry") << TCommonButtons{cbCancel, cbRetry} << 0 << u"Retry"_s;
    QTest::newRow("0, cancel only") << TCommonButtons{cbCancel} << 0 << QString();
    QTest::newRow("1, yes and no") << TCommonButtons{cbYes, cbNo} << 1 << u"Yes"_s;
    QTest::newRow("2, ok and cancel") << TCommonButtons{cbOK, cbCancel} << 2 << u"Cancel"_s;
    QTest::newRow("2, yes and no") << TCommonButtons{cbYes, cbNo} << 2 << u"No"_s;
    QTest::newRow("7, yes and no") << TCommonButtons{cbYes, cbNo} << 7 << u"No"_s;
    QTest::newRow("8, close and ok") << TCommonButtons{cbClose, cbOK} << 8 << u"Abort"_s;
    QTest::newRow("8 absent falls back to OK") << TCommonButtons{cbOK, cbYes} << 8 << u"OK"_s;
    QTest::newRow("other value gives OK") << TCommonButtons{cbOK, cbNo} << 5 << u"OK"_s;
    QTest::newRow("-1 gives none") << TCommonButtons{cbYes, cbNo} << -1 << QString();
}

void TestAdvTaskDialog::defaultButton()
{
    QFETCH(TCommonButtons, common);
    QFETCH(int, defaultButton);
    QFETCH(QString, expected);

    TAdvTaskDialog dialog;
    dialog.SetCommonButtons(common);
    dialog.SetDefaultButton(defaultButton);
    auto form = std::make_unique<TAdvMessageForm>(dialog);
    QStringList defaults;
    for (const QPushButton *button : form->buttons()) {
        if (button->isDefault())
            defaults << button->objectName();
    }
    QCOMPARE(defaults.join(u','), expected);
    form = shownForm(dialog);
    if (!expected.isEmpty()) {
        QCOMPARE(QApplication::focusWidget()->objectName(), expected);
    } else if (defaultButton == -1) {
        for (const QPushButton *button : form->buttons())
            QVERIFY(!(button->focusPolicy() & Qt::TabFocus));
    }
}

void TestAdvTaskDialog::enterAndTab()
{
    TAdvTaskDialog dialog;
    configureQuestion(dialog);
    {
        auto form = shownForm(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(form->result(), 6);
    }
    auto form = shownForm(dialog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form->button(cbNo));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form->button(cbYes));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(form->result(), 7);
}

void TestAdvTaskDialog::accelerators_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("result");

    QTest::newRow("Alt+J") << Qt::Key_J << Qt::KeyboardModifiers(Qt::AltModifier) << 6;
    QTest::newRow("Alt+N") << Qt::Key_N << Qt::KeyboardModifiers(Qt::AltModifier) << 7;
    QTest::newRow("J") << Qt::Key_J << Qt::KeyboardModifiers() << 6;
    QTest::newRow("N") << Qt::Key_N << Qt::KeyboardModifiers() << 7;
    QTest::newRow("other letter") << Qt::Key_X << Qt::KeyboardModifiers() << 0;
}

void TestAdvTaskDialog::accelerators()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, result);

    TAdvTaskDialog dialog;
    configureQuestion(dialog);
    auto form = shownForm(dialog);
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    // A mnemonic shortcut clicks its button from a short animation, not at once.
    QTRY_COMPARE(form->result(), result);
    QCOMPARE(form->isVisible(), result == 0);
}

void TestAdvTaskDialog::endingKeys_data()
{
    QTest::addColumn<TCommonButtons>("common");
    QTest::addColumn<bool>("allowCancel");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result"); // 0: the dialog stays open

    const TCommonButtons question{cbYes, cbNo};
    for (const QString &action : {u"Escape"_s, u"close box"_s, u"Alt+F4"_s}) {
        QTest::addRow("%s, cancel not allowed", qPrintable(action))
            << question << false << action << 0;
        QTest::addRow("%s, cancel allowed", qPrintable(action))
            << question << true << action << (action == u"Alt+F4" ? 0 : 2);
    }
    QTest::newRow("Escape, a cancel button allows it")
        << TCommonButtons{cbOK, cbCancel} << false << u"Escape"_s << 2;
}

void TestAdvTaskDialog::endingKeys()
{
    QFETCH(TCommonButtons, common);
    QFETCH(bool, allowCancel);
    QFETCH(QString, action);
    QFETCH(int, result);

    TAdvTaskDialog dialog;
    dialog.SetCommonButtons(common);
    if (allowCancel)
        dialog.SetOptions({doAllowDialogCancel});
    auto form = shownForm(dialog);
    if (action == u"Escape")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else if (action == u"Alt+F4")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::AltModifier);
    else
        form->close();
    QCOMPARE(form->result(), result);
    QCOMPARE(form->isVisible(), result == 0);
    QCOMPARE(form->windowFlags().testFlag(Qt::WindowCloseButtonHint),
             allowCancel || common.contains(cbCancel));
}

void TestAdvTaskDialog::caption_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");

    QTest::newRow("title") << u"Szenerie"_s << u"Szenerie"_s;
    QTest::newRow("empty title: program name")
        << QString() << QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void TestAdvTaskDialog::caption()
{
    QFETCH(QString, title);
    QFETCH(QString, caption);

    TAdvTaskDialog dialog;
    dialog.SetTitle(title);
    QCOMPARE(TAdvMessageForm(dialog).windowTitle(), caption);
    QCOMPARE(caption.isEmpty(), false);
}

void TestAdvTaskDialog::copyToClipboard()
{
    TAdvTaskDialog dialog;
    configureQuestion(dialog, u"Inhalt"_s);
    dialog.SetTitle(u"Titel"_s);
    dialog.SetInstruction(u"Anweisung"_s);
    auto form = shownForm(dialog);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"Titel\r\nAnweisung\r\nInhalt"_s);
    QVERIFY(form->isVisible());
}

void TestAdvTaskDialog::displayText_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("shown");

    QTest::newRow("backslash n") << u"a\\nb\\nc"_s << u"a\nb\nc"_s;
    QTest::newRow("first pair after a colon") << u"C:\\new\\nx"_s << u"C:\\new\\nx"_s;
    QTest::newRow("colon later") << u"a\\nC:\\new"_s << u"a\nC:\new"_s;
    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("ampersand and tab stay") << u"a&b\tc"_s << u"a&b\tc"_s;
}

void TestAdvTaskDialog::displayText()
{
    QFETCH(QString, content);
    QFETCH(QString, shown);
    QCOMPARE(TAdvMessageForm::displayText(content), shown);
}

void TestAdvTaskDialog::lineBreaksMakeLines()
{
    const int oneLine = contentHeight(u"Erste Zeile"_s);
    QVERIFY(oneLine > 0);
    // Every line break adds one line; a font with leading adds it between the lines.
    const int twoLines = contentHeight(u"Erste\r\nZweite"_s);
    const int lineStep = twoLines - oneLine;
    QVERIFY2(lineStep >= oneLine && lineStep < 2 * oneLine, qPrintable(QString::number(lineStep)));
    QCOMPARE(contentHeight(u"Erste\\nZweite"_s), twoLines);
    QCOMPARE(contentHeight(u"C:\\new\\nZweite"_s), oneLine);
    QCOMPARE(contentHeight(u"Deutsch?\r\n\r\nEnglish?"_s), oneLine + 2 * lineStep);
    // A long line wraps at word boundaries inside the 350 pixel window.
    const QString longLine = QString(u"Wort "_s).repeated(40).trimmed();
    QVERIFY(contentHeight(longLine) > 2 * oneLine);
}

void TestAdvTaskDialog::clientWidth_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content");
    QTest::addColumn<TCommonButtons>("common");

    QTest::newRow("short text") << QString() << u"Frage?"_s << TCommonButtons{cbYes, cbNo};
    QTest::newRow("long text wraps")
        << QString() << QString(u"Wort "_s).repeated(60) << TCommonButtons{cbYes, cbNo};
    QTest::newRow("unbreakable word")
        << QString() << u"kurz "_s + QString(120, u'W') << TCommonButtons{cbYes, cbNo};
    QTest::newRow("long caption") << QString(u"Ein recht langer Fenstertitel "_s).repeated(2)
                                  << u"Frage?"_s << TCommonButtons{cbYes, cbNo};
    QTest::newRow("many buttons") << QString() << u"Frage?"_s
                                  << TCommonButtons{cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose};
}

void TestAdvTaskDialog::clientWidth()
{
    QFETCH(QString, title);
    QFETCH(QString, content);
    QFETCH(TCommonButtons, common);

    TAdvTaskDialog dialog;
    dialog.SetTitle(title);
    dialog.SetContent(content);
    dialog.SetCommonButtons(common);
    TAdvMessageForm form(dialog);
    const DialogUnits units(form.font());
    const QFontMetrics metrics(form.font());

    int buttons = 0;
    for (const QPushButton *button : form.buttons())
        buttons += button->width() + units.x(4);
    int expected = std::max({350, metrics.horizontalAdvance(form.windowTitle()) + 50,
                             2 * units.x(8) + std::max(32 + units.x(10), buttons)});
    const int textLeft = units.x(8) + 32 + units.x(10);
    const int widestWord = metrics.horizontalAdvance(QString(120, u'W'));
    if (content.contains(QString(120, u'W')))
        expected += widestWord - (expected - units.x(8) - textLeft);
    // Wrapped text may measure one pixel wider than the word's advance.
    QVERIFY2(qAbs(form.width() - expected) <= 1, qPrintable(QString::number(form.width())));
    QCOMPARE(form.contentRect().left(), textLeft);
    QCOMPARE(form.contentRect().right() + 1, form.width() - units.x(8));
}

void TestAdvTaskDialog::buttonRow()
{
    const DialogUnits units(messageFont());
    for (const QString &content : {u"Frage?"_s, u"1\r\n2\r\n3\r\n4\r\n5"_s}) {
        TAdvTaskDialog dialog;
        configureQuestion(dialog, content);
        TAdvMessageForm form(dialog);
        QCOMPARE(form.iconRect(), QRect(units.x(8), units.y(8), 32, 32));
        QCOMPARE(form.contentRect().top(), units.y(8));
        const int rowTop = units.y(8) + qMax(form.contentRect().height(), 32) + units.y(10);
        QCOMPARE(form.buttonRowTop(), rowTop);
        QPushButton *yes = form.button(cbYes);
        QPushButton *no = form.button(cbNo);
        const int gap = units.x(4);
        QCOMPARE(
            yes->pos(),
            QPoint(form.width() - (yes->width() + gap + no->width()) - units.x(10) - 4, rowTop));
        QCOMPARE(no->pos(), QPoint(yes->x() + yes->width() + gap, rowTop));
        QCOMPARE(form.height(), rowTop + units.y(14) + units.y(8));
    }

    // An instruction puts the content below it.
    TAdvTaskDialog dialog;
    configureQuestion(dialog);
    dialog.SetInstruction(u"Anweisung"_s);
    TAdvMessageForm form(dialog);
    QVERIFY(form.instructionLabel()->isVisibleTo(&form));
    QCOMPARE(form.contentRect().top(),
             form.instructionLabel()->geometry().bottom() + 1 + units.y(10));
    dialog.SetIcon(tiNotUsed);
    QVERIFY(TAdvMessageForm(dialog).iconRect().isNull());
}

void TestAdvTaskDialog::painting()
{
    TAdvTaskDialog dialog;
    configureQuestion(dialog);
    TAdvMessageForm form(dialog);
    const QImage image = form.grab().toImage();
    const int stripTop = form.buttonRowTop() - DialogUnits(form.font()).y(10) / 2;
    QCOMPARE(QColor(image.pixel(1, 1)), form.palette().color(QPalette::Base));
    QCOMPARE(QColor(image.pixel(1, stripTop - 1)), form.palette().color(QPalette::Base));
    QCOMPARE(QColor(image.pixel(1, stripTop)), QColor(223, 223, 223));
    QCOMPARE(QColor(image.pixel(1, stripTop + 1)), QColor(240, 240, 240));
    QCOMPARE(QColor(image.pixel(1, form.height() - 1)), QColor(240, 240, 240));
}

void TestAdvTaskDialog::executeAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");

    QTest::newRow("yes") << u"Yes"_s << 6;
    QTest::newRow("no") << u"No"_s << 7;
}

void TestAdvTaskDialog::executeAnswers()
{
    QFETCH(QString, button);
    QFETCH(int, result);

    QWidget owner;
    TAdvTaskDialog dialog(&owner);
    configureQuestion(dialog);
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto *form = qobject_cast<TAdvMessageForm *>(QApplication::activeModalWidget());
        if (!form)
            return;
        QCOMPARE(dialog.DialogForm(), form);
        QCOMPARE(form->parentWidget(), &owner);
        answered = true;
        QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);
    });
    QCOMPARE(dialog.Execute(), result);
    QVERIFY(answered);
    QVERIFY(!dialog.DialogForm());
    QVERIFY(!owner.findChild<TAdvMessageForm *>());
}

void TestAdvTaskDialog::contentChangeWhileShown()
{
    TAdvTaskDialog dialog;
    configureQuestion(dialog);
    int heightBefore = 0;
    int heightAfter = 0;
    QTimer::singleShot(0, this, [&] {
        TAdvMessageForm *form = dialog.DialogForm();
        if (!form)
            return;
        heightBefore = form->height();
        dialog.SetContent(u"1\r\n2\r\n3\r\n4\r\n5"_s);
        heightAfter = form->height();
        form->button(cbNo)->click();
    });
    QCOMPARE(dialog.Execute(), 7);
    QVERIFY(heightAfter > heightBefore);
}

void TestAdvTaskDialog::ownerDestroyedWhileShown()
{
    auto *owner = new QWidget;
    auto *dialog = new TAdvTaskDialog(owner);
    configureQuestion(*dialog);
    QTimer::singleShot(0, this, [owner] { delete owner; });
    // The component and its form go with the owner; Execute returns without an answer.
    QCOMPARE(dialog->Execute(), 0);
}

// The program asks through the platform with a plain request; the desktop builds the dialog from
// all of it, over the owner window.
void TestAdvTaskDialog::desktopPlatformShowsTheRequest()
{
    QWidget owner;
    owner.setGeometry(0, 0, 300, 200);
    TTaskDialogRequest request;
    request.Title = u"Musterhafen"_s;
    request.Instruction = u"Änderungen"_s;
    request.Content = u"Vor dem Beenden übernehmen?"_s;
    request.Footer = u"Fußzeile"_s;
    request.CommonButtons = {cbYes, cbNo, cbCancel};
    request.DefaultButton = 7;
    request.Icon = tiQuestion;
    request.DialogPosition = dpOwnerFormCenter;
    request.Owner = &owner;
    // What the shown dialog says, read while it shows; it is then answered with No.
    QStringList shown;
    QTimer::singleShot(0, this, [&] {
        auto *form = qobject_cast<TAdvMessageForm *>(QApplication::activeModalWidget());
        if (!form)
            return;
        // The component that built it, if it belongs to the owner.
        const auto *dialog = owner.findChild<TAdvTaskDialog *>();
        const QPoint centred
            = owner.geometry().center() - QPoint(form->width() / 2, form->height() / 2);
        QStringList defaults;
        for (const QPushButton *button : form->buttons()) {
            if (button->isDefault())
                defaults << button->objectName();
        }
        shown << (form->parentWidget() == &owner ? u"over the owner"_s : u"elsewhere"_s)
              << (form->pos() == centred ? u"centred on it"_s : u"not centred on it"_s)
              << form->windowTitle()
              << QAccessible::queryAccessibleInterface(form)->text(QAccessible::Description)
              << (dialog ? dialog->Footer() : QString()) << ::names(form->buttons()).join(u',')
              << u"default "_s + defaults.join(u',')
              << (dialog && dialog->Icon() == tiQuestion ? u"question icon"_s : u"other icon"_s);
        form->button(cbNo)->click();
    });
    TDesktopPlatform platform;
    QCOMPARE(platform.ExecuteTaskDialog(request), 7);
    QCOMPARE(shown,
             (QStringList{u"over the owner"_s, u"centred on it"_s, u"Musterhafen"_s,
                          u"Änderungen\nVor dem Beenden übernehmen?"_s, u"Fußzeile"_s,
                          u"Yes,No,Cancel"_s, u"default No"_s, u"question icon"_s}));
    QVERIFY(!owner.findChild<TAdvTaskDialog *>());
    QVERIFY(!owner.findChild<TAdvMessageForm *>());
}

void TestAdvTaskDialog::desktopPlatformOwnerDestroyedWhileShown()
{
    auto *owner = new QWidget;
    TTaskDialogRequest request;
    request.CommonButtons = {cbYes, cbNo};
    request.Owner = owner;
    QTimer::singleShot(0, this, [owner] { delete owner; });
    QCOMPARE(TDesktopPlatform().ExecuteTaskDialog(request), 0);
}

// The instruction and the content are painted: a screen reader gets them from the dialog and from
// the button that has the focus when it opens.
void TestAdvTaskDialog::screenReaderReadsTheTexts()
{
    TAdvTaskDialog dialog;
    dialog.SetTitle(u"Musterhafen Konfigurator"_s);
    dialog.SetInstruction(u"Änderungen"_s);
    dialog.SetContent(u"Vor dem Beenden übernehmen?"_s);
    dialog.SetCommonButtons({cbYes, cbNo, cbCancel});
    TAdvMessageForm form(dialog);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (QWidget *widget : {static_cast<QWidget *>(&form), QApplication::focusWidget()}) {
        QVERIFY(widget);
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description),
                 u"Änderungen\nVor dem Beenden übernehmen?"_s);
    }
}

QTEST_MAIN(TestAdvTaskDialog)
#include "tst_advtaskdialog.moc"
