#include "ui/program.h"

#include "platform/platform.h"
#include "ui/infoform.h"
#include "ui/scenform1.h"

#include <QApplication>

int RunProgram(TPlatform &platform)
{
    TScenForm1 ScenForm1(platform);
    // Owned by the main window, so that it opens centred over it.
    TInfoForm InfoForm(platform, &ScenForm1);
    ScenForm1.SetInfoForm(&InfoForm);
    if (platform.Terminated())
        return 0;
    ScenForm1.show();
    return QApplication::exec();
}
