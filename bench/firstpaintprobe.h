#pragma once

#include <QObject>
#include <QString>

class QTimer;

// Watches the application for the first paint of the top-level window of a given object name.
// In start-up mode the application quits as soon as that paint is done, so the process's run time
// is its start-up. In idle mode it waits until the window has settled, then measures the CPU time
// the whole process spends over the given seconds, prints it as "idle-cpu-percent <share of one
// core>" and quits.
class TFirstPaintProbe : public QObject
{
public:
    // idleSeconds 0: start-up mode.
    TFirstPaintProbe(const QString &windowName, double idleSeconds);

    // Reads "--idle SECONDS" from the arguments; 0 when it is not given.
    static double IdleSecondsFromArguments(int argc, char **argv);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Painted();
    void StartMeasuring();
    void StopMeasuring();

    QString FWindowName;
    double FIdleSeconds;
    bool FPainted = false;
    double FCpuAtStart = 0;
};
