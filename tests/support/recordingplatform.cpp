#include "tests/support/recordingplatform.h"

TRecordingPlatform::TRecordingPlatform(const QString &exeName)
    : FExeName(exeName)
{ }

int TRecordingPlatform::NextAnswer()
{
    return Answers.isEmpty() ? mrCancel : Answers.takeFirst();
}

int TRecordingPlatform::MessageDlg(const QString &message, TMsgDlgType type)
{
    Calls << QStringLiteral("MessageDlg(%1): %2")
                 .arg(type == mtError ? QStringLiteral("error") : QStringLiteral("confirmation"),
                      message);
    return NextAnswer();
}

void TRecordingPlatform::ErrorBox(const QString &text, const QString &caption)
{
    Calls << QStringLiteral("ErrorBox(%1): %2").arg(caption, text);
}

void TRecordingPlatform::ShowException(const QString &message)
{
    Calls << QStringLiteral("ShowException: ") + message;
}

int TRecordingPlatform::ExecuteTaskDialog(const TTaskDialogRequest &request)
{
    TaskDialogs << request;
    Calls << QStringLiteral("TaskDialog: ") + request.Content;
    return NextAnswer();
}

QString TRecordingPlatform::OpenFileDialog(const QString &initialFolder, const QString &filter)
{
    Calls << QStringLiteral("OpenFileDialog(%1): %2").arg(initialFolder, filter);
    return FilesToOpen.isEmpty() ? QString() : FilesToOpen.takeFirst();
}

void TRecordingPlatform::ShellOpen(const QString &address)
{
    Calls << QStringLiteral("ShellOpen: ") + address;
}

bool TRecordingPlatform::RunAsAdmin(const QString &fileName, const QString &parameters)
{
    Calls << QStringLiteral("RunAsAdmin(%1, %2)").arg(fileName, parameters);
    return RunAsAdminResult;
}

void TRecordingPlatform::Terminate()
{
    FTerminated = true;
    Calls << QStringLiteral("Terminate");
}
