#include "ui/program.h"

#include "platform/platform.h"
#include "ui/scenform1.h"

#include <QApplication>

int RunProgram(TPlatform &platform)
{
    // The information window is made when the user first opens it.
    TScenForm1 ScenForm1(platform);
    if (platform.Terminated())
        return 0;
    ScenForm1.show();
    return QApplication::exec();
}
