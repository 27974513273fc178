#pragma once

#include <QByteArray>
#include <QtGlobal>

// Starts the Qt application object a fuzz target draws with, on the offscreen platform. The object
// is never destroyed: Qt's own globals are gone by the time exit handlers would run its
// destructor. libFuzzer's options are no arguments for it.
template<class TApplication>
void StartFuzzApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new TApplication(argc, argv);
}
