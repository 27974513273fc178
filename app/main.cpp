// Entry point of the scenery configurator.
#include "ui/desktopplatform.h"
#include "ui/program.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TDesktopPlatform platform;
    return RunProgram(platform);
}
