#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One finished run of a child program: how it ended, the wall time from start to end on a
// monotonic clock, the CPU time and the peak resident memory of the process as the kernel counts
// them when it is reaped, and what it wrote.
struct TChildRun
{
    int ExitStatus = -1; // -1 when it did not exit by itself
    int Signal = 0; // the signal that ended it, if any
    double WallSeconds = 0;
    double CpuSeconds = 0; // user and system, all threads
    double PeakRssMiB = 0;
    QByteArray Output;
    QByteArray Errors;

    bool Succeeded() const { return ExitStatus == 0; }
    // "exit status 1: <first line of stderr>" or "killed by signal 9", for an error report.
    QString Failure() const;
    // The number after "name " on a line of the output, or -1 when there is none.
    double OutputValue(const QByteArray &name) const;
};

// Runs program with the arguments in the working folder, with this process's environment plus the
// given variables (a variable given an empty value is removed), and waits for it. Its output and
// error output go to files while it runs, so a child that writes much never blocks on a pipe.
// Exit status 127: the program could not be started. A child's peak memory is at least this
// process's resident memory when it starts the child: keep large data out of this process.
TChildRun RunChild(const QString &program, const QStringList &arguments,
                   const QString &workingFolder,
                   const QList<QPair<QByteArray, QByteArray>> &environment = {});
