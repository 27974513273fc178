#include "cli/sceneryctl.h"
#include "platform/filereplace.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    ReportFileSizeLimitAsError();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sceneryctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SC_VERSION));
    return RunSceneryCtl(QCoreApplication::arguments());
}
