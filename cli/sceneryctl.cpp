#include "cli/sceneryctl.h"

#include "cli/applycommand.h"
#include "cli/checkcommand.h"
#include "cli/ctlerror.h"
#include "cli/ctloptions.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "cli/lintcommand.h"
#include "cli/listcommand.h"
#include "config/language.h"

#include <QJsonObject>

#include <exception>

namespace {

// The error goes to the error output; a script that asked for JSON gets it as JSON too, so that
// it never reads an empty result.
int Fail(TCtlOutput &output, const TCtlOptions &options, const QString &message, int exitCode)
{
    output.Error(message);
    if (options.Json && !output.WroteJson())
        output.Json(QJsonObject{{QStringLiteral("error"), message}});
    return exitCode;
}

} // namespace

int RunSceneryCtl(const QStringList &arguments)
{
    TCtlOutput output;
    TCtlOptions options;
    switch (options.Parse(arguments)) {
    case TCtlOptions::prHelp:
        options.ShowHelp();
    case TCtlOptions::prVersion:
        options.ShowVersion();
    case TCtlOptions::prError:
        output.Error(options.ErrorText());
        return ceUsage;
    case TCtlOptions::prRun:
        break;
    }

    try {
        TCtlScenery scenery(options);
        if (options.Command == u"list")
            return TListCommand(scenery, output).Run(options.Json);
        if (options.Command == u"check")
            return TCheckCommand(scenery, output).Run(options.Json);
        if (options.Command == u"lint")
            return TLintCommand(scenery, output, options.Language.value_or(lgEnglish))
                .Run(options.Json);
        return TApplyCommand(scenery, output).Run(options);
    } catch (const ECtlError &error) {
        return Fail(output, options, error.Message(), error.ExitCode());
    } catch (const std::exception &error) {
        return Fail(output, options, QString::fromLocal8Bit(error.what()), ceFailed);
    }
}
