// The scenery configurator as it starts from its folder, with a probe that ends it after the
// window's first paint with its object tree filled (or measures its idle CPU with "--idle
// SECONDS"). Copy it beside a control file and run it there, as the program itself.
#include "bench/firstpaintprobe.h"
#include "platform/filereplace.h"
#include "ui/desktopplatform.h"
#include "ui/program.h"
#include "widgets/rzchecktree.h"

#include <QApplication>

int main(int argc, char **argv)
{
    ReportFileSizeLimitAsError();
    QApplication app(argc, argv);
    TFirstPaintProbe probe(QStringLiteral("ScenForm1"),
                           TFirstPaintProbe::IdleSecondsFromArguments(argc, argv),
                           [](QWidget *window) { return window->findChild<TRzCheckTree *>(); });
    TDesktopPlatform platform;
    return RunProgram(platform);
}
