#include "bench/firstpaintprobe.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// The CPU time of the process so far, over all its threads, in seconds.
double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Time for the window to settle after its first paint (fonts cached, first scroll steps done).
constexpr int SettleMilliseconds = 2000;

// A window not shown by then is taken as one that never will be.
constexpr int GiveUpMilliseconds = 60000;

} // namespace

TFirstPaintProbe::TFirstPaintProbe(const QString &windowName, double idleSeconds, TListOf listOf)
    : FWindowName(windowName)
    , FIdleSeconds(idleSeconds)
    , FListOf(std::move(listOf))
{
    QCoreApplication::instance()->installEventFilter(this);
    QTimer::singleShot(GiveUpMilliseconds, this, [this] {
        if (FPainted)
            return;
        std::fprintf(stderr, "the window was not shown within %d s\n", GiveUpMilliseconds / 1000);
        std::fflush(stderr);
        QCoreApplication::exit(3);
    });
}

double TFirstPaintProbe::IdleSecondsFromArguments(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--idle") == 0)
            return std::atof(argv[i + 1]);
    }
    return 0;
}

bool TFirstPaintProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (!FPainted && event->type() == QEvent::Paint && watched->isWidgetType()
        && IsShownBy(static_cast<QWidget *>(watched))) {
        FPainted = true;
        // Queued, so that the paint of this window and its children is finished first.
        QTimer::singleShot(0, this, [this] { Painted(); });
    }
    return false;
}

bool TFirstPaintProbe::IsShownBy(QWidget *painted)
{
    QWidget *window = painted->window();
    if (window->objectName() != FWindowName)
        return false;
    if (!FListOf)
        return true;
    const QAbstractItemView *list = FListOf(window);
    if (!list || painted != list->viewport() || !list->model())
        return false;
    const int rows = list->model()->rowCount();
    FShownRows = rows;
    return rows > 0;
}

void TFirstPaintProbe::Painted()
{
    std::printf("shown-rows %d\n", FShownRows);
    std::fflush(stdout);
    // The filter sees every event of the application; idle measuring must not pay for it.
    QCoreApplication::instance()->removeEventFilter(this);
    if (FIdleSeconds <= 0) {
        QCoreApplication::quit();
        return;
    }
    QTimer::singleShot(SettleMilliseconds, this, [this] { StartMeasuring(); });
}

void TFirstPaintProbe::StartMeasuring()
{
    FCpuAtStart = processCpuSeconds();
    QTimer::singleShot(int(FIdleSeconds * 1000), this, [this] { StopMeasuring(); });
}

void TFirstPaintProbe::StopMeasuring()
{
    const double used = processCpuSeconds() - FCpuAtStart;
    std::printf("idle-cpu-percent %.3f\n", 100.0 * used / FIdleSeconds);
    std::fflush(stdout);
    QCoreApplication::quit();
}
