#include "ui/desktopplatform.h"

#include "platform/openableaddress.h"
#include "platform/runasadmin.h"
#include "ui/advtaskdialog.h"
#include "ui/messagedialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <pwd.h>
#endif

int TDesktopPlatform::MessageDlg(const QString &message, TMsgDlgType type)
{
    return ::MessageDlg(message, type, QApplication::activeWindow());
}

void TDesktopPlatform::ErrorBox(const QString &text, const QString &caption)
{
#ifdef Q_OS_WIN
    // The system's own box: its title is the caption as given, an empty one included.
    const QWidget *owner = QApplication::activeWindow();
    MessageBoxW(owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr,
                reinterpret_cast<const wchar_t *>(text.utf16()),
                reinterpret_cast<const wchar_t *>(caption.utf16()), MB_OK | MB_ICONERROR);
#else
    // The toolkit shows the application's name in place of an empty title; a blank one shows
    // as empty.
    QMessageBox box(QMessageBox::Critical, caption.isEmpty() ? QStringLiteral(" ") : caption, text,
                    QMessageBox::Ok);
    box.exec();
#endif
}

void TDesktopPlatform::ShowException(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

int TDesktopPlatform::ExecuteTaskDialog(const TTaskDialogRequest &request)
{
    // The component belongs to the owner window: when that window goes while the dialog shows,
    // both go with it and there is no answer.
    const QPointer<TAdvTaskDialog> dialog
        = new TAdvTaskDialog(qobject_cast<QWidget *>(request.Owner));
    dialog->Assign(request);
    const int result = dialog->Execute();
    delete dialog.data();
    return result;
}

QString TDesktopPlatform::FileDialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList choices;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ').replace(QStringLiteral("*.*"), QStringLiteral("*"));
        QString caption = parts.at(i);
        const qsizetype open = caption.lastIndexOf(u'(');
        if (open > 0)
            caption = caption.left(open).trimmed();
        choices << caption + QStringLiteral(" (") + patterns + u')';
    }
    return choices.join(QStringLiteral(";;"));
}

QString TDesktopPlatform::OpenFileDialog(const QString &initialFolder, const QString &filter)
{
    const QString filters = FileDialogFilter(filter);
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), initialFolder,
                                        filters, nullptr);
}

void TDesktopPlatform::ShellOpen(const QString &address)
{
    const QUrl url = OpenableAddress(address);
    if (url.isEmpty())
        return;
#ifndef Q_OS_WIN
    // An instance started through pkexec runs as root: a web browser must not. The address is
    // opened as the user who started the instance, or not at all.
    if (RunsElevated()) {
        bool known = false;
        const uint uid = qEnvironmentVariable("PKEXEC_UID").toUInt(&known);
        const passwd *user = known ? ::getpwuid(uid) : nullptr;
        if (user && uid != 0) {
            QProcess::startDetached(QStringLiteral("runuser"),
                                    {QStringLiteral("-u"), QString::fromLocal8Bit(user->pw_name),
                                     QStringLiteral("--"), QStringLiteral("xdg-open"),
                                     QString::fromUtf8(url.toEncoded())});
        }
        return;
    }
#endif
    QDesktopServices::openUrl(url);
}

bool TDesktopPlatform::RunAsAdmin(const QString &fileName, const QString &parameters)
{
    QWidget *owner = QApplication::activeWindow();
    return ::RunAsAdmin(owner ? reinterpret_cast<void *>(owner->winId()) : nullptr, fileName,
                        parameters);
}

bool TDesktopPlatform::IsElevated() const
{
    return RunsElevated();
}

QString TDesktopPlatform::ExeName() const
{
    return QCoreApplication::applicationFilePath();
}

void TDesktopPlatform::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TDesktopPlatform::Terminate()
{
    // The flag stops a start that has not reached the message loop; the queued quit ends a
    // loop that runs, once it has handled what is pending.
    FTerminated = true;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
