#include "ui/advtaskdialog.h"

#include "ui/advmessageform.h"

TAdvTaskDialog::TAdvTaskDialog(QWidget *owner)
    : QObject(owner)
{ }

TAdvTaskDialog::~TAdvTaskDialog()
{
    // The form reads this component's properties: it must not outlive it.
    delete FDialogForm.data();
}

void TAdvTaskDialog::Assign(const TTaskDialogRequest &request)
{
    SetTitle(request.Title);
    SetInstruction(request.Instruction);
    SetContent(request.Content);
    SetFooter(request.Footer);
    SetCommonButtons(request.CommonButtons);
    SetDefaultButton(request.DefaultButton);
    SetIcon(request.Icon);
    SetDialogPosition(request.DialogPosition);
}

TAdvMessageForm *TAdvTaskDialog::DialogForm() const
{
    return FDialogForm;
}

void TAdvTaskDialog::SetTitle(const QString &value)
{
    if (FTitle == value)
        return;
    FTitle = value;
}

void TAdvTaskDialog::SetInstruction(const QString &value)
{
    if (FInstruction == value)
        return;
    FInstruction = value;
    TextChanged();
}

void TAdvTaskDialog::SetContent(const QString &value)
{
    if (FContent == value)
        return;
    FContent = value;
    TextChanged();
}

void TAdvTaskDialog::SetFooter(const QString &value)
{
    if (FFooter == value)
        return;
    FFooter = value;
    TextChanged();
}

void TAdvTaskDialog::SetCommonButtons(TCommonButtons value)
{
    if (FCommonButtons == value)
        return;
    FCommonButtons = value;
}

void TAdvTaskDialog::SetDefaultButton(int value)
{
    if (FDefaultButton == value)
        return;
    FDefaultButton = value;
}

void TAdvTaskDialog::SetIcon(TTaskDialogIcon value)
{
    if (FIcon == value)
        return;
    FIcon = value;
}

void TAdvTaskDialog::SetOptions(TTaskDialogOptions value)
{
    if (FOptions == value)
        return;
    FOptions = value;
}

void TAdvTaskDialog::SetNonNativeMinFormWidth(int value)
{
    if (FNonNativeMinFormWidth == value)
        return;
    FNonNativeMinFormWidth = value;
}

void TAdvTaskDialog::SetDialogPosition(TTaskDialogPosition value)
{
    if (FDialogPosition == value)
        return;
    FDialogPosition = value;
}

void TAdvTaskDialog::SetApplicationIsParent(bool value)
{
    if (FApplicationIsParent == value)
        return;
    FApplicationIsParent = value;
}

void TAdvTaskDialog::SetNonNativeDialog(TNonNativeDialog value)
{
    if (FNonNativeDialog == value)
        return;
    FNonNativeDialog = value;
}

void TAdvTaskDialog::TextChanged()
{
    if (FDialogForm)
        FDialogForm->layoutControls();
}

int TAdvTaskDialog::Execute()
{
    // There is no system task dialog on this platform: the built dialog always answers.
    QWidget *ownerForm = Owner() && !FApplicationIsParent ? Owner()->window() : nullptr;
    auto *form = new TAdvMessageForm(*this, ownerForm);
    FDialogForm = form;
    const QPointer<TAdvTaskDialog> alive(this);
    const int result = form->exec();
    if (!alive)
        return result;
    // The form is gone already when its owner window was destroyed while it was shown.
    delete FDialogForm.data();
    FDialogForm = nullptr;
    return result;
}
