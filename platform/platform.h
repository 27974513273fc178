#pragma once

#include "platform/taskdialogrequest.h"

#include <QString>

// Result identifiers of dialog buttons.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// Kinds of the standard message dialog.
enum TMsgDlgType { mtError, mtConfirmation };

// Everything the program asks the user or asks of the operating system goes through this
// interface, so that tests can answer the dialogs and record the calls. The program gets the
// desktop implementation; tests get a recording one.
class TPlatform
{
public:
    virtual ~TPlatform() = default;

    // The standard message dialog: an error with "OK" (result 1) or a confirmation with "&Ja"
    // and "&Nein" (results 6 and 7); 2 when it was closed otherwise.
    virtual int MessageDlg(const QString &message, TMsgDlgType type) = 0;
    // The plain system message box with an error icon and one OK button.
    virtual void ErrorBox(const QString &text, const QString &caption) = 0;
    // The application's standard error box for an error that ended an event handler.
    virtual void ShowException(const QString &message) = 0;
    // Shows the question task dialog the request describes modally and returns the chosen
    // button's identifier.
    virtual int ExecuteTaskDialog(const TTaskDialogRequest &request) = 0;
    // The open-file dialog: the chosen file's full path, or the empty text when cancelled.
    virtual QString OpenFileDialog(const QString &initialFolder, const QString &filter) = 0;

    // Opens an address with the program registered for it (a web page in the browser); only web
    // and mail addresses as OpenableAddress() takes them, anything else is ignored.
    virtual void ShellOpen(const QString &address) = 0;
    // Starts the program with administrator rights; true when the start was accepted.
    virtual bool RunAsAdmin(const QString &fileName, const QString &parameters) = 0;
    virtual bool IsElevated() const = 0;

    // Full path of the program's executable; its folder is the program folder.
    virtual QString ExeName() const = 0;
    // Lets the application handle its pending events.
    virtual void ProcessMessages() = 0;
    // Ends the application: the message loop ends as soon as it has handled what is pending,
    // and a main window that was not shown yet is never shown.
    virtual void Terminate() = 0;
    virtual bool Terminated() const = 0;

    // The application's title: the caption of the standard error box. It is kept here rather
    // than as the toolkit's application name, which window systems append to every window title.
    void SetApplicationTitle(const QString &title) { FApplicationTitle = title; }
    QString ApplicationTitle() const { return FApplicationTitle; }

private:
    QString FApplicationTitle;
};
