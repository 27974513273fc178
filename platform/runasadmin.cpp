#include "platform/runasadmin.h"

#ifdef Q_OS_WIN
#include <shlobj.h>
#else
#include <QDir>
#include <QFileInfo>
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

namespace {

// What the restarted program needs to show its window on the user's display. pkexec passes on
// none of it, and root has no display of its own. Only variables that are set are passed.
QStringList displayEnvironment()
{
    QStringList assignments;
    const QString display = qEnvironmentVariable("DISPLAY");
    if (!display.isEmpty()) {
        assignments << QStringLiteral("DISPLAY=") + display;
        // The X server's cookie, in the file that X clients read when none is named.
        QString cookie = qEnvironmentVariable("XAUTHORITY");
        if (cookie.isEmpty()) {
            const QString standard = QDir::home().filePath(QStringLiteral(".Xauthority"));
            if (QFileInfo(standard).isFile())
                cookie = standard;
        }
        if (!cookie.isEmpty())
            assignments << QStringLiteral("XAUTHORITY=") + QFileInfo(cookie).absoluteFilePath();
    }
    // A Wayland socket is named relative to the user's runtime folder. Root gets its full path
    // instead of that folder: programs running as root would leave files owned by root in it.
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(wayland))
        assignments << QStringLiteral("WAYLAND_DISPLAY=") + wayland;
    else if (!wayland.isEmpty() && QDir::isAbsolutePath(runtime))
        assignments << QStringLiteral("WAYLAND_DISPLAY=") + QDir(runtime).filePath(wayland);
    // The same window system as this instance: Qt picks it from these.
    for (const char *name : {"XDG_SESSION_TYPE", "QT_QPA_PLATFORM"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            assignments << QString::fromLatin1(name) + u'=' + value;
    }
    return assignments;
}

} // namespace

bool RunAsAdmin(void *, const QString &fileName, const QString &parameters)
{
    // pkexec asks for the consent and starts a program as root, given by its absolute path, in
    // root's home folder and with a cleared environment. env puts back the working folder and
    // the display, and keeps what pkexec sets (PKEXEC_UID names the user who asked).
    QStringList arguments{QStringLiteral("/usr/bin/env")};
    const QString folder = QDir::currentPath();
    if (QFileInfo(folder).isDir())
        arguments << QStringLiteral("-C") << folder;
    arguments += displayEnvironment();
    // env takes every argument with "=" for a variable: such a program path goes through sh.
    if (fileName.contains(u'='))
        arguments << QStringLiteral("/bin/sh") << QStringLiteral("-c")
                  << QStringLiteral("exec \"$0\" \"$@\"");
    arguments << fileName;
    if (!parameters.isEmpty())
        arguments += QProcess::splitCommand(parameters);
    return QProcess::startDetached(QStringLiteral("pkexec"), arguments);
}

bool RunsElevated()
{
    return ::geteuid() == 0;
}

#endif
