#include "platform/runasadmin.h"

#ifdef Q_OS_WIN
#include <shlobj.h>
#else
#include <QProcess>

#include <unistd.h>
#endif

#ifdef Q_OS_WIN

void FillRunAsRequest(SHELLEXECUTEINFOW &info, void *hWnd, const wchar_t *file,
                      const wchar_t *parameters)
{
    // SEE_MASK_NOASYNC: return when the start is complete; SEE_MASK_FLAG_NO_UI: no error box.
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = static_cast<HWND>(hWnd);
    info.lpVerb = L"runas";
    info.lpFile = file;
    info.lpParameters = parameters && *parameters ? parameters : nullptr;
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
}

bool RunAsAdmin(void *hWnd, const QString &fileName, const QString &parameters)
{
    const std::wstring file = fileName.toStdWString();
    const std::wstring arguments = parameters.toStdWString();
    SHELLEXECUTEINFOW info;
    FillRunAsRequest(info, hWnd, file.c_str(), arguments.c_str());
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
