#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAbstractItemView;
class QWidget;

// Watches the application for the first paint of the top-level window of a given object name.
// A window with a list counts as shown when the list has painted its rows: a window that painted
// before its entries were loaded is not yet what the user waits for. The probe then prints
// "shown-rows <top-level rows of the list>" (-1 for a window without one).
// In start-up mode the application quits as soon as that paint is done, so the process's run time
// is its start-up. In idle mode it waits until the window has settled, then measures the CPU time
// the whole process spends over the given seconds, prints it as "idle-cpu-percent <share of one
// core>" and quits. A window that is not shown within a minute ends the program with status 3.
class TFirstPaintProbe : public QObject
{
public:
    using TListOf = std::function<QAbstractItemView *(QWidget *window)>;

    // idleSeconds 0: start-up mode. listOf finds the window's list; none for a window without.
    TFirstPaintProbe(const QString &windowName, double idleSeconds, TListOf listOf = {});

    // Reads "--idle SECONDS" from the arguments; 0 when it is not given.
    static double IdleSecondsFromArguments(int argc, char **argv);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool IsShownBy(QWidget *painted);
    void Painted();
    void StartMeasuring();
    void StopMeasuring();

    QString FWindowName;
    double FIdleSeconds;
    TListOf FListOf;
    bool FPainted = false;
    int FShownRows = -1;
    double FCpuAtStart = 0;
};
