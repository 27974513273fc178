#include "ui/advmessageform.h"

#include "ui/messagedialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int IconSize = 32;
// Twice the height of a window edge is kept free when the dialog is as wide as the screen.
constexpr int EdgeHeight = 2;
constexpr int ContentFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs;
const QColor FooterColor(240, 240, 240);
const QColor FooterLineColor(223, 223, 223);
const QColor InstructionColor(0, 83, 196);

struct CommonButtonInfo
{
    TCommonButton kind;
    const char16_t *name;
    const char16_t *caption;
    int result;
};

// In creation order. The captions are German whatever the interface language.
constexpr CommonButtonInfo CommonButtonTable[] = {
    {cbOK, u"OK", u"OK", 1},
    {cbYes, u"Yes", u"&Ja", 6},
    {cbNo, u"No", u"&Nein", 7},
    {cbCancel, u"Cancel", u"Abbrechen", 2},
    {cbRetry, u"Retry", u"&Wiederholen", 4},
    {cbClose, u"Abort", u"&Abbrechen", 3},
};

QIcon standardIcon(const QStyle *style, TTaskDialogIcon icon)
{
    switch (icon) {
    case tiWarning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case tiQuestion:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case tiError:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case tiInformation:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case tiShield:
        return style->standardIcon(QStyle::SP_VistaShield);
    case tiBlank:
    case tiNotUsed:
        break;
    }
    return {};
}

} // namespace

TAdvMessageForm::TAdvMessageForm(TAdvTaskDialog &dialog, QWidget *parent)
    : QDialog(parent)
    , FDialog(dialog)
{
    if (dialog.CommonButtons().contains(cbCancel)) {
        TTaskDialogOptions options = dialog.Options();
        dialog.SetOptions(options << doAllowDialogCancel);
    }
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::MSWindowsFixedSizeDialogHint;
    if (dialog.Options().contains(doAllowMinimize))
        flags |= Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    if (cancelAllowed())
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setFont(messageFont());
    setBackgroundRole(QPalette::Base);

    setWindowTitle(dialog.Title().isEmpty()
                       ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
                       : dialog.Title());
    if (dialog.Icon() != tiNotUsed)
        FIcon = standardIcon(style(), dialog.Icon())
                    .pixmap(QSize(IconSize, IconSize), devicePixelRatioF());

    FInstructionLabel = new QLabel(this);
    FInstructionLabel->setTextFormat(Qt::PlainText);
    FInstructionLabel->setWordWrap(true);
    QFont instructionFont = font();
    instructionFont.setPointSize(11);
    instructionFont.setBold(true);
    FInstructionLabel->setFont(instructionFont);
    QPalette instructionPalette = FInstructionLabel->palette();
    instructionPalette.setColor(QPalette::WindowText, InstructionColor);
    FInstructionLabel->setPalette(instructionPalette);

    createButtons();
    chooseDefaultButton();
    layoutControls();

    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (dialog.DialogPosition() == dpOwnerFormCenter && owner) {
        move(owner->geometry().center() - QPoint(width() / 2, height() / 2));
    } else {
        QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

int TAdvMessageForm::buttonWidth(const QString &caption) const
{
    const int textWidth = fontMetrics().horizontalAdvance(QString(caption).remove(u'&'));
    return qMax(textWidth + 16, 60);
}

void TAdvMessageForm::createButtons()
{
    const int buttonHeight = DialogUnits(font()).y(14);
    TCommonButtons kinds = FDialog.CommonButtons();
    if (kinds.isEmpty())
        kinds << cbOK;
    for (const CommonButtonInfo &info : CommonButtonTable) {
        if (!kinds.contains(info.kind))
            continue;
        const QString caption = QString::fromUtf16(info.caption);
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromUtf16(info.name));
        button->resize(buttonWidth(caption), buttonHeight);
        const int result = info.result;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        FButtons.append(button);
        FButtonKinds.append(info.kind);
    }
}

QPushButton *TAdvMessageForm::button(TCommonButton which) const
{
    const qsizetype index = FButtonKinds.indexOf(which);
    return index < 0 ? nullptr : FButtons.at(index);
}

void TAdvMessageForm::chooseDefaultButton()
{
    const auto present = [this](TCommonButton kind) { return button(kind) != nullptr; };
    const auto firstPresent = [&](TCommonButton preferred, TCommonButton other) {
        return present(preferred) ? preferred : other;
    };
    TCommonButton kind = cbOK;
    switch (FDialog.DefaultButton()) {
    case -1:
        // No default, and the buttons are reached by the mouse only.
        for (QPushButton *button : std::as_const(FButtons)) {
            button->setAutoDefault(false);
            button->setFocusPolicy(Qt::ClickFocus);
        }
        return;
    case 0:
        kind = present(cbOK) ? cbOK : firstPresent(cbYes, cbRetry);
        break;
    case 1:
        kind = firstPresent(cbOK, cbYes);
        break;
    case 2:
        kind = firstPresent(cbCancel, cbNo);
        break;
    case 6:
        kind = cbYes;
        break;
    case 7:
        kind = cbNo;
        break;
    case 8:
        kind = cbClose;
        break;
    default:
        break;
    }
    QPushButton *defaultButton = button(kind) ? button(kind) : button(cbOK);
    if (!defaultButton)
        return;
    defaultButton->setDefault(true);
    defaultButton->setFocus();
    // The texts are painted, not labels: assistive technology reads them from the dialog and
    // from the button that has the focus when the dialog opens.
    QStringList spoken{FDialog.Instruction(), displayText(FDialog.Content())};
    spoken.removeAll(QString());
    setAccessibleDescription(spoken.join(u'\n'));
    defaultButton->setAccessibleDescription(accessibleDescription());
    // The default button comes first in the tab order, the others follow in creation order.
    QWidget *previous = defaultButton;
    for (QPushButton *button : std::as_const(FButtons)) {
        if (button == defaultButton)
            continue;
        setTabOrder(previous, button);
        previous = button;
    }
}

void TAdvMessageForm::layoutControls()
{
    const DialogUnits units(font());
    const int horzMargin = units.x(8);
    const int vertMargin = units.y(8);
    const int horzSpacing = units.x(10);
    FVertSpacing = units.y(10);
    const int gap = units.x(4);
    const int buttonHeight = units.y(14);
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen->geometry().width();

    FIconRect
        = FDialog.Icon() == tiNotUsed ? QRect() : QRect(horzMargin, vertMargin, IconSize, IconSize);
    const int textLeft = horzMargin + IconSize + horzSpacing;

    int contentTop = vertMargin;
    int instructionWidth = 0;
    if (FDialog.Instruction().isEmpty()) {
        FInstructionLabel->hide();
    } else {
        FInstructionLabel->setText(FDialog.Instruction());
        const QRect bounds = FInstructionLabel->fontMetrics().boundingRect(
            QRect(0, 0, screenWidth / 2, 0), Qt::AlignLeft | Qt::TextWordWrap,
            FDialog.Instruction());
        FInstructionLabel->setGeometry(textLeft, vertMargin, bounds.width(), bounds.height());
        FInstructionLabel->show();
        instructionWidth = bounds.width();
        contentTop = vertMargin + bounds.height() + FVertSpacing;
    }

    int buttonsWidth = 0;
    for (const QPushButton *button : std::as_const(FButtons))
        buttonsWidth += button->width();
    const int gapsBetween = int(FButtons.size() - 1) * gap;

    int clientWidth = std::max({FDialog.NonNativeMinFormWidth(),
                                fontMetrics().horizontalAdvance(windowTitle()) + 50,
                                2 * horzMargin
                                    + std::max(IconSize + horzSpacing + instructionWidth,
                                               buttonsWidth + int(FButtons.size()) * gap)});
    clientWidth = std::min(clientWidth, screenWidth - 2 * EdgeHeight);

    // A word wider than the text area widens the window by the difference.
    int areaWidth = clientWidth - horzMargin - textLeft;
    const QString text = displayText(FDialog.Content());
    const QRect bounds = text.isEmpty()
        ? QRect()
        : fontMetrics().boundingRect(QRect(0, 0, areaWidth, 0), ContentFlags, text);
    if (bounds.width() > areaWidth) {
        clientWidth += bounds.width() - areaWidth;
        areaWidth = bounds.width();
    }
    FContentRect = QRect(textLeft, contentTop, areaWidth, bounds.height());

    FButtonRowTop = contentTop + std::max(bounds.height(), IconSize) + FVertSpacing;
    int left = clientWidth - (buttonsWidth + gapsBetween) - horzSpacing - 4;
    for (QPushButton *button : std::as_const(FButtons)) {
        button->move(left, FButtonRowTop);
        left += button->width() + gap;
    }
    setFixedSize(clientWidth, FButtonRowTop + buttonHeight + vertMargin);
    update();
}

QString TAdvMessageForm::displayText(const QString &content)
{
    QString text = content;
    const qsizetype first = text.indexOf(u"\\n");
    if (first >= 0 && (first == 0 || text.at(first - 1) != u':'))
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return withLineFeeds(text);
}

QString TAdvMessageForm::clipboardText() const
{
    const QString lineBreak = QStringLiteral("\r\n");
    return FDialog.Title() + lineBreak + FDialog.Instruction() + lineBreak + FDialog.Content();
}

bool TAdvMessageForm::cancelAllowed() const
{
    return FDialog.Options().contains(doAllowDialogCancel);
}

void TAdvMessageForm::reject()
{
    // Escape and the close box end the dialog only when cancelling is allowed.
    if (cancelAllowed())
        done(mrCancel);
}

void TAdvMessageForm::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_C && modifiers.testFlag(Qt::ControlModifier)) {
        if (modifiers == Qt::ControlModifier)
            QApplication::beep();
        QGuiApplication::clipboard()->setText(clipboardText());
        return;
    }
    if (event->key() == Qt::Key_F4 && modifiers.testFlag(Qt::AltModifier))
        return;
    if (clickAccelerator(FButtons, event))
        return;
    QDialog::keyPressEvent(event);
}

void TAdvMessageForm::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor windowColor = palette().color(QPalette::Base);
    painter.fillRect(rect(), windowColor);
    const int stripTop = FButtonRowTop - FVertSpacing / 2;
    painter.fillRect(QRect(0, stripTop, width(), height() - stripTop), FooterColor);
    painter.fillRect(QRect(0, stripTop, width(), 1), FooterLineColor);
    if (!FIconRect.isNull()) {
        if (FIcon.isNull())
            painter.fillRect(FIconRect, windowColor);
        else
            painter.drawPixmap(FIconRect, FIcon);
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(FContentRect, ContentFlags, displayText(FDialog.Content()));
}
