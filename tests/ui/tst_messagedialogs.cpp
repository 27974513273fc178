#include "tests/support/recordingplatform.h"
#include "ui/desktopplatform.h"
#include "ui/infoform.h"
#include "ui/messagedialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TMsgDlgType)

namespace {

std::unique_ptr<TMessageDialog> shownDialog(const QString &message, TMsgDlgType type)
{
    auto dialog = std::make_unique<TMessageDialog>(message, type);
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get()))
        qWarning("the dialog did not become active");
    return dialog;
}

QStringList captions(const QList<QPushButton *> &buttons)
{
    QStringList result;
    for (const QPushButton *button : buttons)
        result << button->text();
    return result;
}

// The title the window system shows for a window; off Windows, where it cannot be asked, the
// title the toolkit hands on (its substitute for an empty one is the application's name).
QString shownTitle(QWidget &window)
{
#ifdef Q_OS_WIN
    if (QGuiApplication::platformName() == u"windows") {
        wchar_t title[256] = {};
        GetWindowTextW(reinterpret_cast<HWND>(window.winId()), title, 256);
        return QString::fromWCharArray(title);
    }
#endif
    const QString title = window.windowTitle();
    return title.isEmpty() ? QCoreApplication::applicationName() : title.trimmed();
}

#ifdef Q_OS_WIN
// The title of the system's message box that this thread shows; closes the box.
QString closeSystemBox()
{
    struct Found
    {
        HWND box = nullptr;
    } found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (IsWindowVisible(window) && QString::fromWCharArray(className) == u"#32770") {
                reinterpret_cast<Found *>(data)->box = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (!found.box)
        return u"(no box)"_s;
    wchar_t title[256] = {};
    GetWindowTextW(found.box, title, 256);
    PostMessageW(found.box, WM_COMMAND, IDOK, 0);
    return QString::fromWCharArray(title);
}
#endif

} // namespace

class TestMessageDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kinds_data();
    void kinds();
    void answers_data();
    void answers();
    void layout_data();
    void layout();
    void copyToClipboard();
    void modal_data();
    void modal();
    void titlesAsTheWindowSystemShowsThem_data();
    void titlesAsTheWindowSystemShowsThem();
};

void TestMessageDialogs::kinds_data()
{
    QTest::addColumn<TMsgDlgType>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("buttons");

    QTest::newRow("error") << mtError << u"Fehler"_s << QStringList{u"OK"_s};
    QTest::newRow("confirmation") << mtConfirmation << u"Best\u00e4tigen"_s
                                  << QStringList{u"&Ja"_s, u"&Nein"_s};
}

void TestMessageDialogs::kinds()
{
    QFETCH(TMsgDlgType, type);
    QFETCH(QString, caption);
    QFETCH(QStringList, buttons);

    auto dialog = shownDialog(u"Text"_s, type);
    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(captions(dialog->buttons()), buttons);
    QPushButton *first = dialog->buttons().first();
    QVERIFY(first->isDefault());
    QCOMPARE(QApplication::focusWidget(), first);
    QVERIFY(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    // A screen reader gets the painted message from the dialog and from the focused button.
    for (QWidget *widget : {static_cast<QWidget *>(dialog.get()), static_cast<QWidget *>(first)})
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description),
                 u"Text"_s);
}

void TestMessageDialogs::answers_data()
{
    QTest::addColumn<TMsgDlgType>("type");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");

    QTest::newRow("error: OK") << mtError << u"click OK"_s << 1;
    QTest::newRow("error: Enter") << mtError << u"Enter"_s << 1;
    QTest::newRow("error: Escape") << mtError << u"Escape"_s << 1;
    QTest::newRow("error: close box") << mtError << u"close box"_s << 2;
    QTest::newRow("confirmation: Ja") << mtConfirmation << u"click &Ja"_s << 6;
    QTest::newRow("confirmation: Nein") << mtConfirmation << u"click &Nein"_s << 7;
    QTest::newRow("confirmation: Enter") << mtConfirmation << u"Enter"_s << 6;
    QTest::newRow("confirmation: Escape") << mtConfirmation << u"Escape"_s << 7;
    QTest::newRow("confirmation: close box") << mtConfirmation << u"close box"_s << 2;
    QTest::newRow("confirmation: Alt+N") << mtConfirmation << u"Alt+N"_s << 7;
    QTest::newRow("confirmation: N") << mtConfirmation << u"N"_s << 7;
}

void TestMessageDialogs::answers()
{
    QFETCH(TMsgDlgType, type);
    QFETCH(QString, action);
    QFETCH(int, result);

    auto dialog = shownDialog(u"Text"_s, type);
    QWidget *focus = QApplication::focusWidget();
    if (action.startsWith(u"click ")) {
        for (QPushButton *button : dialog->buttons()) {
            if (button->text() == action.mid(6))
                QTest::mouseClick(button, Qt::LeftButton);
        }
    } else if (action == u"Enter") {
        QTest::keyClick(focus, Qt::Key_Return);
    } else if (action == u"Escape") {
        QTest::keyClick(focus, Qt::Key_Escape);
    } else if (action == u"close box") {
        dialog->close();
    } else if (action == u"Alt+N") {
        QTest::keyClick(focus, Qt::Key_N, Qt::AltModifier);
    } else {
        QTest::keyClick(focus, Qt::Key_N);
    }
    // A mnemonic shortcut clicks its button from a short animation, not at once.
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), result);
}

void TestMessageDialogs::layout_data()
{
    QTest::addColumn<TMsgDlgType>("type");
    QTest::addColumn<QString>("message");

    QTest::newRow("short error") << mtError << u"Kurz"_s;
    QTest::newRow("short confirmation") << mtConfirmation << u"Sprache wechseln?"_s;
    QTest::newRow("long text wraps")
        << mtConfirmation << u"Ein Satz mit vielen Worten. "_s.repeated(30);
    QTest::newRow("several lines") << mtError << u"Eins\r\nZwei\r\nDrei\r\nVier"_s;
}

void TestMessageDialogs::layout()
{
    QFETCH(TMsgDlgType, type);
    QFETCH(QString, message);

    TMessageDialog dialog(message, type);
    const DialogUnits units(dialog.font());
    const QFontMetrics metrics(dialog.font());
    const int margin = units.x(8);
    const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;

    QCOMPARE(dialog.iconRect(), QRect(margin, units.y(8), 32, 32));
    const QRect text = dialog.messageRect();
    QCOMPARE(text.top(), units.y(8));
    QVERIFY(text.left() > dialog.iconRect().right());
    QVERIFY(text.width() <= halfScreen);
    QVERIFY(text.height() >= 32);
    if (message.size() > 200)
        QVERIFY(text.height() > 2 * metrics.height());
    if (message.contains(u'\n'))
        QVERIFY(text.height() >= 4 * metrics.height());

    const QList<QPushButton *> buttons = dialog.buttons();
    int widest = 0;
    for (const QPushButton *button : buttons)
        widest = qMax(widest, metrics.horizontalAdvance(QString(button->text()).remove(u'&')));
    const int buttonWidth = qMax(units.x(50), widest + 8);
    const int rowWidth = int(buttons.size()) * (buttonWidth + units.x(4)) - units.x(4);
    const int rowTop = text.bottom() + 1 + units.y(10);
    const int rowLeft = (dialog.width() - rowWidth) / 2;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QCOMPARE(
            buttons.at(i)->geometry(),
            QRect(rowLeft + int(i) * (buttonWidth + units.x(4)), rowTop, buttonWidth, units.y(14)));
    }
    QCOMPARE(dialog.width(), qMax(text.right() + 1, margin + rowWidth) + margin);
    QCOMPARE(dialog.height(), rowTop + units.y(14) + units.y(8));
}

void TestMessageDialogs::copyToClipboard()
{
    auto dialog = shownDialog(u"Sprache wechseln?"_s, mtConfirmation);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    const QString text = QGuiApplication::clipboard()->text();
    QCOMPARE(text, dialog->plainText());
    QVERIFY(text.contains(u"Best\u00e4tigen"_s));
    QVERIFY(text.contains(u"Sprache wechseln?"_s));
    QVERIFY(text.contains(u"Ja   Nein"_s));
    QVERIFY(dialog->isVisible());
}

void TestMessageDialogs::modal_data()
{
    QTest::addColumn<TMsgDlgType>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");

    QTest::newRow("confirmation answered yes") << mtConfirmation << u"&Ja"_s << 6;
    QTest::newRow("confirmation answered no") << mtConfirmation << u"&Nein"_s << 7;
    QTest::newRow("error") << mtError << u"OK"_s << 1;
}

void TestMessageDialogs::modal()
{
    QFETCH(TMsgDlgType, type);
    QFETCH(QString, button);
    QFETCH(int, result);

    QString shownMessage;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<TMessageDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shownMessage = dialog->message();
        for (QPushButton *candidate : dialog->buttons()) {
            if (candidate->text() == button)
                candidate->click();
        }
    });
    QCOMPARE(MessageDlg(u"Frage"_s, type), result);
    QCOMPARE(shownMessage, u"Frage"_s);
}

void TestMessageDialogs::titlesAsTheWindowSystemShowsThem_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::newRow("error dialog") << u"error"_s << u"Fehler"_s;
    QTest::newRow("confirmation dialog") << u"confirmation"_s << u"Bestätigen"_s;
    QTest::newRow("information window") << u"information"_s << u"Informationen zur Szenerie"_s;
    QTest::newRow("error box without a caption") << u"error box"_s << QString();
}

// Exactly the texts given: the toolkit appends the application's name to every title when it is
// given one, and puts that name in place of an empty title.
void TestMessageDialogs::titlesAsTheWindowSystemShowsThem()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    if (window == u"error box") {
        TDesktopPlatform platform;
        QString shown;
#ifdef Q_OS_WIN
        // The system's box, whatever platform the toolkit runs on.
        QTimer::singleShot(200, [&] { shown = closeSystemBox(); });
        platform.ErrorBox(u"Die Steuerdatei kann nicht geschrieben werden"_s, QString());
        QCOMPARE(shown, title);
        return;
#endif
        QTimer::singleShot(0, [&] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                shown = shownTitle(*box);
                box->close();
            }
        });
        platform.ErrorBox(u"Die Steuerdatei kann nicht geschrieben werden"_s, QString());
        QCOMPARE(shown, title);
        return;
    }
    std::unique_ptr<QWidget> shownWindow;
    if (window == u"information") {
        static TRecordingPlatform platform;
        shownWindow = std::make_unique<TInfoForm>(platform);
        shownWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(shownWindow.get()));
    } else {
        shownWindow = shownDialog(u"Text"_s, window == u"error" ? mtError : mtConfirmation);
    }
    QCOMPARE(shownTitle(*shownWindow), title);
}

QTEST_MAIN(TestMessageDialogs)
#include "tst_messagedialogs.moc"
