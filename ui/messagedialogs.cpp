#include "ui/messagedialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int IconSize = 32;
constexpr int TextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs;

QScreen *screenFor(const QWidget *parent)
{
    if (parent && parent->screen())
        return parent->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

QFont messageFont()
{
    return QApplication::font("QMessageBox");
}

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    FAverageWidth = metrics.horizontalAdvance(letters) / 52;
    FHeight = metrics.height();
}

int DialogUnits::x(int units) const
{
    return qRound(units * FAverageWidth / 4.0);
}

int DialogUnits::y(int units) const
{
    return qRound(units * FHeight / 8.0);
}

QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

bool clickAccelerator(const QList<QPushButton *> &buttons, const QKeyEvent *event)
{
    const int key = event->key();
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || key < Qt::Key_A
        || key > Qt::Key_Z)
        return false;
    const QKeySequence mnemonic(QKeyCombination(Qt::AltModifier, Qt::Key(key)));
    for (QPushButton *button : buttons) {
        if (button->isEnabled() && QKeySequence::mnemonic(button->text()) == mnemonic) {
            button->click();
            return true;
        }
    }
    return false;
}

TMessageDialog::TMessageDialog(const QString &message, TMsgDlgType type, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , FMessage(message)
    , FShownMessage(withLineFeeds(message))
{
    setFont(messageFont());
    // Captions and button texts stay German whatever the interface language.
    const bool confirmation = type == mtConfirmation;
    setWindowTitle(confirmation ? QStringLiteral("Best\u00e4tigen") : QStringLiteral("Fehler"));
    FIcon = style()
                ->standardIcon(confirmation ? QStyle::SP_MessageBoxQuestion
                                            : QStyle::SP_MessageBoxCritical)
                .pixmap(QSize(IconSize, IconSize), devicePixelRatioF());
    if (confirmation) {
        addButton(QStringLiteral("&Ja"), mrYes);
        addButton(QStringLiteral("&Nein"), mrNo);
    } else {
        addButton(QStringLiteral("OK"), mrOk);
    }
    QPushButton *defaultButton = FButtons.first();
    defaultButton->setDefault(true);
    defaultButton->setFocus();
    // The message is painted, not a label: assistive technology reads it from the dialog and
    // from the button that has the focus when the dialog opens.
    setAccessibleDescription(FShownMessage);
    defaultButton->setAccessibleDescription(FShownMessage);
    layoutControls();
}

void TMessageDialog::addButton(const QString &caption, int result)
{
    auto *button = new QPushButton(caption, this);
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    FButtons.append(button);
}

void TMessageDialog::layoutControls()
{
    const DialogUnits units(font());
    const QFontMetrics metrics(font());
    const int margin = units.x(8);
    const int vertMargin = units.y(8);
    const int spacing = units.x(10);
    const int vertSpacing = units.y(10);
    const int gap = units.x(4);

    const int maxTextWidth = screenFor(parentWidget())->geometry().width() / 2;
    const QRect text = metrics.boundingRect(QRect(0, 0, maxTextWidth, 0), TextFlags, FShownMessage);
    FIconRect = QRect(margin, vertMargin, IconSize, IconSize);
    FMessageRect = QRect(FIconRect.right() + 1 + spacing, vertMargin, text.width(),
                         qMax(text.height(), IconSize));

    int widestCaption = 0;
    for (const QPushButton *button : std::as_const(FButtons))
        widestCaption
            = qMax(widestCaption, metrics.horizontalAdvance(QString(button->text()).remove(u'&')));
    const int buttonWidth = qMax(units.x(50), widestCaption + 8);
    const int buttonHeight = units.y(14);
    const int rowWidth = int(FButtons.size()) * buttonWidth + int(FButtons.size() - 1) * gap;

    const int clientWidth = qMax(FMessageRect.right() + 1, margin + rowWidth) + margin;
    const int rowTop = FMessageRect.bottom() + 1 + vertSpacing;
    int left = (clientWidth - rowWidth) / 2;
    for (QPushButton *button : std::as_const(FButtons)) {
        button->setGeometry(left, rowTop, buttonWidth, buttonHeight);
        left += buttonWidth + gap;
    }
    setFixedSize(clientWidth, rowTop + buttonHeight + vertMargin);

    const QRect screen = screenFor(parentWidget())->availableGeometry();
    move(screen.center() - QPoint(width() / 2, height() / 2));
}

QString TMessageDialog::plainText() const
{
    const QString rule = QStringLiteral("---------------------------\n");
    QStringList captions;
    for (const QPushButton *button : FButtons)
        captions << QString(button->text()).remove(u'&');
    return rule + windowTitle() + u'\n' + rule + FMessage + u'\n' + rule
        + captions.join(QStringLiteral("   ")) + u'\n' + rule;
}

void TMessageDialog::reject()
{
    // Reached through the close box; Escape is handled as a click on the last button.
    done(mrCancel);
}

void TMessageDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        FButtons.last()->click();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(plainText());
        return;
    }
    if (clickAccelerator(FButtons, event))
        return;
    QDialog::keyPressEvent(event);
}

void TMessageDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(FIconRect, FIcon);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(FMessageRect, TextFlags, FShownMessage);
}

int MessageDlg(const QString &message, TMsgDlgType type, QWidget *parent)
{
    TMessageDialog dialog(message, type, parent);
    return dialog.exec();
}
