// The yardstick of start-up and idle CPU: an empty Qt Widgets window of the configurator's size,
// built with the same flags, ended by the same probe after its first paint. With "--idle SECONDS"
// a 10 ms timer repaints a strip of the status line's size on every tick, the least any window
// with a scrolling status line does.
#include "bench/firstpaintprobe.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const double idleSeconds = TFirstPaintProbe::IdleSecondsFromArguments(argc, argv);
    TFirstPaintProbe probe(QStringLiteral("EmptyWindow"), idleSeconds);
    QWidget window;
    window.setObjectName(QStringLiteral("EmptyWindow"));
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(633, 455);
    QTimer tick;
    if (idleSeconds > 0) {
        QObject::connect(&tick, &QTimer::timeout, &window,
                         [&window] { window.update(8, 389, 617, 33); });
        tick.start(10);
    }
    window.show();
    return QApplication::exec();
}
