#pragma once

#include "config/scenerystate.h"
#include "platform/rzversioninfo.h"
#include "platform/taskdialogrequest.h"

#include <QIcon>
#include <QWidget>

class QAction;
class QMenu;
class QTimer;
struct TLanguageTexts;
class TFolderLock;
class THTMLCredit;
class THTMLabel;
class TImage;
class TIniFile;
class TInfoForm;
class TPlatform;
class TRzCheckTree;
class TRzFormShape;
class TRzLabel;
class TRzMarqueeStatus;
class TRzPageControl;
class TRzTabSheet;
class TRzToolButton;
class TRzToolbarButton;
class TSelectionMenu;

// The main window: a borderless window shaped by its background picture. At its creation it
// finds and loads the control file; it applies the user's selection to the control file and
// the scenery files, switches the interface language, and opens the readme and the home page.
class TScenForm1 : public QWidget
{
    Q_OBJECT

public:
    // Builds the children, then runs FormCreate. When that ends the program (no control file,
    // the user declines to pick one, or the control file cannot be written),
    // platform.Terminated() is true and the window must not be shown.
    explicit TScenForm1(TPlatform &platform, const TRzVersionInfo &versionInfo = TRzVersionInfo(),
                        QWidget *parent = nullptr);
    ~TScenForm1() override;

    // The information window; without one, the window makes its own when first opened.
    void SetInfoForm(TInfoForm *infoForm) { FInfoForm = infoForm; }

    TRzFormShape *RzFormShape1 = nullptr;
    TRzToolbarButton *btnGerman = nullptr;
    TRzToolbarButton *btnEnglish = nullptr;
    TRzLabel *RzLabel1 = nullptr;
    TRzToolButton *RzToolButton1 = nullptr;
    TRzToolbarButton *RzToolbarButton3 = nullptr;
    TRzToolbarButton *RzToolbarButton2 = nullptr;
    TRzToolbarButton *RzToolbarButton1 = nullptr;
    TRzToolbarButton *btnApplyObj = nullptr;
    TRzMarqueeStatus *RzMarqueeStatus1 = nullptr;
    TRzLabel *RzLabel3 = nullptr;
    TRzPageControl *RzPageControl1 = nullptr;
    TRzTabSheet *TabSheet1 = nullptr;
    TRzLabel *RzLabel2 = nullptr;
    THTMLabel *HTMLabel1 = nullptr;
    TImage *Image1 = nullptr;
    THTMLCredit *HTMLCredit1 = nullptr;
    TRzCheckTree *RzCheckTree1 = nullptr;
    TSelectionMenu *SelectionMenu = nullptr; // the tree's context menu
    QIcon ImageList1; // the hammer of the hidden settings button
    QMenu *PopupMenu2 = nullptr;
    QAction *Optionen1 = nullptr;
    QAction *N1 = nullptr;
    QAction *Updatessuchen1 = nullptr;
    TTaskDialogRequest AdvTaskDialog1;
    // The question before the window closes with changes not yet applied.
    TTaskDialogRequest CloseDialog;
    TRzVersionInfo RzVersionInfo1;

    const TSceneryState &State() const { return FState; }

    void FormCreate();
    void ReadIni();
    void ReadIni(TIniFile &ini);
    void SetLanguage(TIniFile &ini);
    QString GetString(int nr) const;
    void btnGermanClick();
    void btnEnglishClick();
    void btnApplyObjClick();
    void RzToolbarButton1Click();
    void RzToolbarButton2Click();
    void RzToolbarButton3Click();
    void RzMarqueeStatus1Click();

    // Whether the tree differs from the states last loaded or applied.
    bool HasPendingChanges() const;
    // A notice replaces the scrolling text of the status line until the timer ends it.
    const QTimer &NoticeTimer() const { return *FNoticeTimer; }
    void EndNotice();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateChildren();
    QString ProgramFolder() const;
    QString ControlFileFolder() const;
    void SwitchLanguage(int language);
    void SetAccessibleNames(const TLanguageTexts &texts);
    // Applies the tree; true when every state was saved and every file switched.
    bool ApplyChanges();
    void ShowNotice(const QString &text);
    void RememberAppliedStates();
    // A digest of the control file as it is on disk now; empty when it is no regular file.
    QByteArray ControlFileStamp() const;
    // The same, from the stamp of what an accessor read or saved last.
    QByteArray ControlFileStamp(const QByteArray &accessorStamp) const;
    void WriteProbeFailed(const QString &error);
    // Loads the chosen control file at start, unless another program is changing the scenery.
    void OpenScenery();
    // Takes the lock of the scenery's folder; when another instance or sceneryctl holds it,
    // tells the user and returns false.
    bool LockScenery(TFolderLock &lock);
    // Runs an event handler; an error that ends it is shown in the standard error box.
    template<class Handler>
    void RunHandler(Handler handler);

    TPlatform &FPlatform;
    TSceneryState FState;
    TInfoForm *FInfoForm = nullptr;
    QTimer *FNoticeTimer = nullptr;
    QString FScrollerText;
    QList<int> FAppliedStates; // by absolute index, a node without a state counted as unchecked
    QByteArray FControlFileStamp; // the control file as this window last read or wrote it
    bool FCentred = false;
};
