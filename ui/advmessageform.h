#pragma once

#include "ui/advtaskdialog.h"

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QRect>

class QLabel;
class QPushButton;

// The dialog window TAdvTaskDialog builds: icon, main instruction, content text and a row of
// common buttons above a footer strip. Each button closes it with its identifier; nothing else
// does unless the component allows cancelling (Escape and the close box then give 2).
class TAdvMessageForm : public QDialog
{
    Q_OBJECT

public:
    TAdvMessageForm(TAdvTaskDialog &dialog, QWidget *parent = nullptr);

    // Places every control and sizes the window from the component's current texts.
    void layoutControls();

    // The push button of a common button, none when it is not shown.
    QPushButton *button(TCommonButton which) const;
    QList<QPushButton *> buttons() const { return FButtons; }
    // Geometry of the last layout, in client coordinates.
    QRect iconRect() const { return FIconRect; }
    QRect contentRect() const { return FContentRect; }
    int buttonRowTop() const { return FButtonRowTop; }
    QLabel *instructionLabel() const { return FInstructionLabel; }

    // The content as the dialog draws it: each backslash-n pair becomes a line break unless the
    // first pair follows a colon (a path such as C:\new); CR LF and CR also break lines.
    static QString displayText(const QString &content);
    // What Ctrl+C copies: Title, Instruction and Content, one a line, CR LF between them.
    QString clipboardText() const;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void createButtons();
    void chooseDefaultButton();
    int buttonWidth(const QString &caption) const;
    bool cancelAllowed() const;

    TAdvTaskDialog &FDialog;
    QPixmap FIcon;
    QLabel *FInstructionLabel = nullptr;
    QList<QPushButton *> FButtons;
    QList<TCommonButton> FButtonKinds;
    QRect FIconRect;
    QRect FContentRect;
    int FButtonRowTop = 0;
    int FVertSpacing = 0;
};
