#pragma once

#include "platform/taskdialogrequest.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class TAdvMessageForm;

enum TTaskDialogOption {
    doHyperlinks,
    doCommandLinks,
    doCommandLinksNoIcon,
    doExpandedDefault,
    doExpandedFooter,
    doAllowMinimize,
    doVerifyChecked,
    doProgressBar,
    doProgressBarMarquee,
    doTimer,
    doNoDefaultRadioButton,
    doAllowDialogCancel
};
enum TNonNativeDialog { nndAuto, nndAlways };

using TTaskDialogOptions = EnumSet<TTaskDialogOption>;

// The question dialog component: the texts, icon, buttons and options of a dialog, and Execute,
// which shows it modally and returns the identifier of the button chosen (1 OK, 2 Cancel,
// 3 Close, 4 Retry, 6 Yes, 7 No). Without a system task dialog it always shows the built dialog
// TAdvMessageForm.
class TAdvTaskDialog : public QObject
{
    Q_OBJECT

public:
    explicit TAdvTaskDialog(QWidget *owner = nullptr);
    ~TAdvTaskDialog() override;

    // Takes the texts, buttons, icon and position of a request (not its owner).
    void Assign(const TTaskDialogRequest &request);

    QString Title() const { return FTitle; }
    void SetTitle(const QString &value);
    // Instruction, Content and Footer changed while the dialog shows make it lay out again.
    QString Instruction() const { return FInstruction; }
    void SetInstruction(const QString &value);
    QString Content() const { return FContent; }
    void SetContent(const QString &value);
    QString Footer() const { return FFooter; }
    void SetFooter(const QString &value);

    TCommonButtons CommonButtons() const { return FCommonButtons; }
    void SetCommonButtons(TCommonButtons value);
    // 0: OK, Yes or Retry; 1: OK or Yes; 2: Cancel or No; 6, 7, 8: Yes, No, Close; -1: none.
    int DefaultButton() const { return FDefaultButton; }
    void SetDefaultButton(int value);
    TTaskDialogIcon Icon() const { return FIcon; }
    void SetIcon(TTaskDialogIcon value);
    TTaskDialogOptions Options() const { return FOptions; }
    void SetOptions(TTaskDialogOptions value);
    int NonNativeMinFormWidth() const { return FNonNativeMinFormWidth; }
    void SetNonNativeMinFormWidth(int value);
    TTaskDialogPosition DialogPosition() const { return FDialogPosition; }
    void SetDialogPosition(TTaskDialogPosition value);
    bool ApplicationIsParent() const { return FApplicationIsParent; }
    void SetApplicationIsParent(bool value);
    TNonNativeDialog NonNativeDialog() const { return FNonNativeDialog; }
    void SetNonNativeDialog(TNonNativeDialog value);

    // The widget the component was created on, if any.
    QWidget *Owner() const { return qobject_cast<QWidget *>(parent()); }
    // The built dialog while Execute shows it, otherwise none.
    TAdvMessageForm *DialogForm() const;

    virtual int Execute();

private:
    void TextChanged();

    QString FTitle;
    QString FInstruction;
    QString FContent;
    QString FFooter;
    TCommonButtons FCommonButtons;
    int FDefaultButton = 0;
    TTaskDialogIcon FIcon = tiBlank;
    TTaskDialogOptions FOptions;
    int FNonNativeMinFormWidth = 350;
    TTaskDialogPosition FDialogPosition = dpScreenCenter;
    bool FApplicationIsParent = false;
    TNonNativeDialog FNonNativeDialog = nndAuto;
    QPointer<TAdvMessageForm> FDialogForm;
};
