#pragma once

#include "platform/platform.h"

// The platform layer of the running program: real dialogs, the desktop's handlers for
// addresses, and the operating system's elevated start.
class TDesktopPlatform : public TPlatform
{
public:
    int MessageDlg(const QString &message, TMsgDlgType type) override;
    void ErrorBox(const QString &text, const QString &caption) override;
    void ShowException(const QString &message) override;
    int ExecuteTaskDialog(const TTaskDialogRequest &request) override;
    QString OpenFileDialog(const QString &initialFolder, const QString &filter) override;
    void ShellOpen(const QString &address) override;
    bool RunAsAdmin(const QString &fileName, const QString &parameters) override;
    bool IsElevated() const override;
    QString ExeName() const override;
    void ProcessMessages() override;
    void Terminate() override;
    bool Terminated() const override { return FTerminated; }

    // Turns a filter of the form "Caption (*.a)|*.a|Other (*.*)|*.*" into the file dialog's form;
    // "*.*" stands for every file.
    static QString FileDialogFilter(const QString &filter);

private:
    bool FTerminated = false;
};
