#pragma once

#include <QDialog>
#include <QString>

class QProgressBar;
class QShowEvent;
class QStatusBar;
class QTextBrowser;
class QUrl;
class TPlatform;

// The information window: shows the scenery's readme, which lies beside the program, in the
// language of the interface. It is created once and shown modally again and again; closing it
// only hides it, and every showing loads the readme afresh.
class TInfoForm : public QDialog
{
    Q_OBJECT

public:
    explicit TInfoForm(TPlatform &platform, QWidget *parent = nullptr);

    QStatusBar *RzStatusBar1;
    // Shows an empty bar; nothing ever updates it.
    QProgressBar *RzProgressStatus1;
    QTextBrowser *WebBrowser1;

    // The interface language, "german" or "english", set by the main window before each showing.
    QString Language;

    // The address the browser was last sent to, e.g. "file:///opt/My%20Scenery/readme.html".
    QString Address() const { return FAddress; }

    // Picks the readme for Language and loads it afresh; runs at every showing.
    void FormActivate();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // "file://" + path on POSIX, "file:///" + native path on Windows, every space written as
    // "%20" and nothing else escaped; "file:///" alone for no path.
    static QString readmeAddress(const QString &readmePath);
    QString programFolder() const;
    void navigate(const QUrl &url);
    void WebBrowser1AnchorClicked(const QUrl &link);
    void placeOverParent();

    TPlatform &FPlatform;
    QString FAddress;
    bool FShownBefore = false;
};
