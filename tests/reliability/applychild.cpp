// Loads a control file into an object tree, sets the states a user would, and applies them.
// The crash-safety test starts it, kills it during Apply, and checks what it left on disk.
//
//   applychild <control file> flip|keep|undo|restore [kill-after-µs] [file-size-limit-bytes]
//
// flip: every entry takes the opposite of its stored state; keep: every entry keeps it (a switch
// gets the alternative its stored value names checked); undo and restore: every entry takes the
// state kept from before the last Apply, or the shipped one, as the window's menu sets them.
// Scenery files are relative to the control file's folder, which becomes the working directory as
// when the program is started there. With a kill delay, the process kills itself (SIGKILL; on
// Windows TerminateProcess) that long after Apply began. With a size limit, writes beyond it fail
// (RLIMIT_FSIZE, SIGXFSZ ignored), as on a full disk; Windows has no such limit. Prints "ready"
// before Apply and "applied <µs>" after it; exit codes: 0 applied, 2 the control file could not be
// written (message printed), 3 another error, 4 renames refused, 64 usage.

#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/sceneryapplier.h"
#include "config/sceneryloader.h"
#include "config/scenobj.h"
#include "config/staterecords.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

void print(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// The stored value of a switch decides which alternative the user checks.
void setSwitch(TCheckTreeModel &tree, TCheckTreeNode *node, int value)
{
    for (int i = 0; i < node->Count(); ++i)
        tree.ChangeNodeCheckState(node->Item(i), i == value ? csChecked : csUnchecked);
}

void setUserStates(TCheckTreeModel &tree, const QString &controlFile, bool flip)
{
    const TIniFile ini(controlFile);
    for (int i = 0; i < tree.TopLevelCount(); ++i) {
        TCheckTreeNode *node = tree.TopLevelItem(i);
        const TScenObj *entry = node->DataAs<TScenObj>();
        if (entry->FileType == ftSwitch) {
            const QString stateKey
                = ini.ReadString(entry->FileName, ControlFile::CheckedKey, QString());
            const int stored = ini.ReadInteger(ControlFile::States, stateKey, 1);
            setSwitch(tree, node, flip ? 1 - stored : stored);
        } else if (flip) {
            tree.ToggleCheckState(node);
        }
    }
}

void startKillTimer(qint64 microseconds)
{
    std::thread([microseconds] {
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
#ifdef Q_OS_WIN
        // An exit status with the high bit set is what a crash leaves on Windows.
        TerminateProcess(GetCurrentProcess(), 0xC000013A);
#else
        ::kill(::getpid(), SIGKILL);
#endif
    }).detach();
}

bool limitFileSize([[maybe_unused]] qint64 bytes)
{
#ifdef Q_OS_WIN
    return false; // Windows has no such limit
#else
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3 || argc > 5)
        return 64;
    const QString controlFile = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString mode = QString::fromLatin1(argv[2]);
    if (mode != u"flip" && mode != u"keep" && mode != u"undo" && mode != u"restore")
        return 64;
    const qint64 killAfter = argc > 3 ? QByteArray(argv[3]).toLongLong() : -1;
    if (argc > 4 && !limitFileSize(QByteArray(argv[4]).toLongLong()))
        return 3;
    if (!QDir::setCurrent(QFileInfo(controlFile).absolutePath()))
        return 3;

    try {
        TSceneryState state;
        state.Scenery = controlFile;
        TCheckTreeModel tree;
        TSceneryLoader(state, tree).ReadIni();
        tree.NormaliseStates(); // the tree has been shown before the user changes it
        if (mode == u"undo") {
            TSceneryLoader(state, tree).LoadStates(TStateRecords::Previous);
        } else if (mode == u"restore") {
            TSceneryLoader(state, tree)
                .LoadStates(TStateRecords::ShippedSection(TIniFile(controlFile)));
        } else {
            setUserStates(tree, controlFile, mode == u"flip");
        }

        print(QStringLiteral("ready"));
        if (killAfter >= 0)
            startKillTimer(killAfter);
        QElapsedTimer timer;
        timer.start();
        const QList<TRenameFailure> failures = TSceneryApplier(state, tree).Apply();
        print(QStringLiteral("applied %1").arg(timer.nsecsElapsed() / 1000));
        for (const TRenameFailure &failure : failures)
            print(QStringLiteral("refused: %1: %2").arg(failure.FileName, failure.Reason));
        return failures.isEmpty() ? 0 : 4;
    } catch (const EIniFileException &error) {
        print(QStringLiteral("error: ") + error.Message());
        return 2;
    } catch (const std::exception &error) {
        print(QStringLiteral("exception: ") + QString::fromLocal8Bit(error.what()));
        return 3;
    }
}
