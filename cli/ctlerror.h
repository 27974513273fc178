#pragma once

#include <QString>

#include <stdexcept>

// Exit statuses of sceneryctl.
enum TCtlExit {
    ceSuccess = 0,
    ceFailed = 1, // something did not agree, or could not be done
    ceUsage = 2, // bad option, unknown name, no or several control files
};

// Ends a command with a one-line message on stderr and the given exit status.
class ECtlError : public std::runtime_error
{
public:
    ECtlError(const QString &message, TCtlExit exitCode)
        : std::runtime_error(message.toStdString())
        , FMessage(message)
        , FExitCode(exitCode)
    { }
    const QString &Message() const { return FMessage; }
    TCtlExit ExitCode() const { return FExitCode; }

private:
    QString FMessage;
    TCtlExit FExitCode;
};
