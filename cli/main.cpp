#include "cli/sceneryctl.h"
#include "platform/filereplace.h"
#include "platform/largepages.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    ReportFileSizeLimitAsError();
    // A command reads the control file once and ends: small memory matters more to it than the
    // page faults that large pages save the window at start-up.
    LargePages::ForgoForProcess();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sceneryctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SC_VERSION));
    return RunSceneryCtl(QCoreApplication::arguments());
}
