#include "cli/sceneryctl.h"

#include "cli/applycommand.h"
#include "cli/checkcommand.h"
#include "cli/ctlerror.h"
#include "cli/ctloptions.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "cli/lintcommand.h"
#include "cli/listcommand.h"

#include <exception>

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
            return TLintCommand(scenery, output, options.Language.value_or(1)).Run(options.Json);
        return TApplyCommand(scenery, output).Run(options);
    } catch (const ECtlError &error) {
        output.Error(error.Message());
        return error.ExitCode();
    } catch (const std::exception &error) {
        output.Error(QString::fromLocal8Bit(error.what()));
        return ceFailed;
    }
}
