#pragma once

#include "platform/platform.h"

#include <QDialog>
#include <QFont>
#include <QList>
#include <QPixmap>
#include <QRect>

class QKeyEvent;
class QPushButton;

// The font of message windows: the application's font for QMessageBox, else its default font.
QFont messageFont();

// Converts dialog units of a font to pixels: a horizontal unit is a quarter of the average width
// of the letters "A" to "Z" and "a" to "z", a vertical unit an eighth of their height.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont &font);

    int x(int units) const;
    int y(int units) const;
    int averageWidth() const { return FAverageWidth; }
    int height() const { return FHeight; }

private:
    int FAverageWidth = 0;
    int FHeight = 0;
};

// The text with CR LF pairs and lone CRs turned into line feeds, the line break of Qt's text
// layout.
QString withLineFeeds(QString text);

// Clicks the button whose accelerator letter is the key pressed without modifiers, as the
// platform's dialogs do besides Alt+letter; true when a button took the key.
bool clickAccelerator(const QList<QPushButton *> &buttons, const QKeyEvent *event);

// The standard message window: an icon, the message, and one row of buttons that all close it
// with their result. The error kind has "OK" (1); the confirmation has "&Ja" (6) and "&Nein" (7).
// Escape clicks the last button, the close box gives 2, Ctrl+C copies a text version.
class TMessageDialog : public QDialog
{
    Q_OBJECT

public:
    TMessageDialog(const QString &message, TMsgDlgType type, QWidget *parent = nullptr);

    QString message() const { return FMessage; }
    QList<QPushButton *> buttons() const { return FButtons; }
    // Where the icon and the message are drawn, in client coordinates.
    QRect iconRect() const { return FIconRect; }
    QRect messageRect() const { return FMessageRect; }
    // The text Ctrl+C puts on the clipboard.
    QString plainText() const;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void addButton(const QString &caption, int result);
    void layoutControls();

    QString FMessage;
    QString FShownMessage;
    QPixmap FIcon;
    QRect FIconRect;
    QRect FMessageRect;
    QList<QPushButton *> FButtons;
};

// Shows the message window modally and returns the result of the button that closed it, or 2
// when its close box did.
int MessageDlg(const QString &message, TMsgDlgType type, QWidget *parent = nullptr);
