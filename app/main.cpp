// Entry point of the scenery configurator.
#include "platform/filereplace.h"
#include "ui/desktopplatform.h"
#include "ui/program.h"

#include <QApplication>

int main(int argc, char **argv)
{
    ReportFileSizeLimitAsError();
    QApplication app(argc, argv);
    TDesktopPlatform platform;
    return RunProgram(platform);
}
