#include "platform/runasadmin.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#else
#include <QProcess>

#include <unistd.h>
#endif

#ifdef Q_OS_WIN

bool RunAsAdmin(void *hWnd, const QString &fileName, const QString &parameters)
{
    // SEE_MASK_NOASYNC: return when the start is complete; SEE_MASK_FLAG_NO_UI: no error box.
    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = static_cast<HWND>(hWnd);
    info.lpVerb = L"runas";
    const std::wstring file = fileName.toStdWString();
    const std::wstring arguments = parameters.toStdWString();
    info.lpFile = file.c_str();
    info.lpParameters = parameters.isEmpty() ? nullptr : arguments.c_str();
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

bool RunsElevated()
{
    return IsUserAnAdmin() != FALSE;
}

#else

bool RunAsAdmin(void *, const QString &fileName, const QString &parameters)
{
    // pkexec asks for the consent and starts the program as root; it takes the absolute path.
    QStringList arguments{fileName};
    if (!parameters.isEmpty())
        arguments += QProcess::splitCommand(parameters);
    return QProcess::startDetached(QStringLiteral("pkexec"), arguments);
}

bool RunsElevated()
{
    return ::geteuid() == 0;
}

#endif
