#pragma once

#include "platform/platform.h"

#include <QList>
#include <QStringList>

// Answers the program's dialogs from prepared answers and records every call as one line of
// text, so that tests can drive the program without a dialog ever blocking.
class TRecordingPlatform : public TPlatform
{
public:
    explicit TRecordingPlatform(const QString &exeName = {});

    int MessageDlg(const QString &message, TMsgDlgType type) override;
    void ErrorBox(const QString &text, const QString &caption) override;
    void ShowException(const QString &message) override;
    int ExecuteTaskDialog(const TTaskDialogRequest &request) override;
    QString OpenFileDialog(const QString &initialFolder, const QString &filter) override;
    void ShellOpen(const QString &address) override;
    bool RunAsAdmin(const QString &fileName, const QString &parameters) override;
    bool IsElevated() const override { return Elevated; }
    QString ExeName() const override { return FExeName; }
    void ProcessMessages() override { }
    void Terminate() override;
    bool Terminated() const override { return FTerminated; }

    // Answers of the message and task dialogs, taken in order; when none is left, a dialog is
    // closed without a choice (result 2).
    QList<int> Answers;
    // Answers of the open-file dialog, taken in order; when none is left, it is cancelled.
    QStringList FilesToOpen;
    bool Elevated = false;
    bool RunAsAdminResult = true;

    // One line per call, e.g. "MessageDlg(confirmation): …", "Terminate".
    QStringList Calls;
    // The task dialogs asked for, in order.
    QList<TTaskDialogRequest> TaskDialogs;

private:
    int NextAnswer();

    QString FExeName;
    bool FTerminated = false;
};
