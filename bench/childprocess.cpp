#include "bench/childprocess.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

double monotonicSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// This process's environment with the given variables set, replaced or removed.
std::vector<QByteArray> childEnvironment(const QList<QPair<QByteArray, QByteArray>> &changes)
{
    std::vector<QByteArray> result;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray variable(*entry);
        const QByteArray name = variable.left(variable.indexOf('='));
        bool changed = false;
        for (const auto &change : changes)
            changed = changed || change.first == name;
        if (!changed)
            result.push_back(variable);
    }
    for (const auto &change : changes) {
        if (!change.second.isEmpty())
            result.push_back(change.first + '=' + change.second);
    }
    return result;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString TChildRun::Failure() const
{
    const QString firstError = QString::fromLocal8Bit(Errors.trimmed().split('\n').value(0));
    if (Signal != 0)
        return QStringLiteral("killed by signal %1").arg(Signal);
    return QStringLiteral("exit status %1: %2").arg(ExitStatus).arg(firstError);
}

double TChildRun::OutputValue(const QByteArray &name) const
{
    for (const QByteArray &line : Output.split('\n')) {
        if (line.startsWith(name + ' ')) {
            bool ok = false;
            const double value = line.mid(name.size() + 1).trimmed().toDouble(&ok);
            if (ok)
                return value;
        }
    }
    return -1;
}

TChildRun RunChild(const QString &program, const QStringList &arguments,
                   const QString &workingFolder,
                   const QList<QPair<QByteArray, QByteArray>> &environment)
{
    TChildRun run;
    QTemporaryFile output, errors;
    if (!output.open() || !errors.open()) {
        run.Errors = "cannot create the files for the child's output";
        return run;
    }
    const QByteArray outputPath = QFile::encodeName(output.fileName());
    const QByteArray errorsPath = QFile::encodeName(errors.fileName());
    const QByteArray folder = QFile::encodeName(workingFolder);

    std::vector<QByteArray> argumentBytes{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        argumentBytes.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : argumentBytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> environmentBytes = childEnvironment(environment);
    std::vector<char *> envp;
    for (QByteArray &variable : environmentBytes)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    // fork, not posix_spawn: a child that shares this process's memory until its exec inherits
    // this process's peak resident memory as the floor of its own; a forked one starts from
    // this process's present, small resident memory.
    const double start = monotonicSeconds();
    const pid_t pid = fork();
    if (pid == 0) {
        const int input = open("/dev/null", O_RDONLY);
        const int out = open(outputPath.constData(), O_WRONLY | O_TRUNC);
        const int err = open(errorsPath.constData(), O_WRONLY | O_TRUNC);
        if (input < 0 || out < 0 || err < 0 || dup2(input, 0) < 0 || dup2(out, 1) < 0
            || dup2(err, 2) < 0 || chdir(folder.constData()) != 0)
            _exit(127);
        execve(argv[0], argv.data(), envp.data());
        static const char message[] = "cannot execute the program\n";
        [[maybe_unused]] const ssize_t written = write(2, message, sizeof message - 1);
        _exit(127);
    }
    if (pid < 0) {
        run.Errors = QByteArray("cannot start ") + argv[0] + ": " + std::strerror(errno);
        return run;
    }
    int status = 0;
    rusage usage{};
    pid_t reaped = 0;
    do
        reaped = wait4(pid, &status, 0, &usage);
    while (reaped < 0 && errno == EINTR);
    run.WallSeconds = monotonicSeconds() - start;
    if (reaped != pid) {
        run.Errors = QByteArray("lost the child: ") + std::strerror(errno);
        return run;
    }
    run.CpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.PeakRssMiB = double(usage.ru_maxrss) / 1024.0; // the kernel counts KiB
    if (WIFEXITED(status))
        run.ExitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.Signal = WTERMSIG(status);
    run.Output = readAll(output.fileName());
    run.Errors = readAll(errors.fileName());
    return run;
}
