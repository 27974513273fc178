#include "cli/applycommand.h"

#include "cli/ctlerror.h"
#include "cli/ctloptions.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "cli/ctlwords.h"
#include "cli/entryindex.h"
#include "cli/jsonstream.h"
#include "config/inifile.h"
#include "config/languagetexts.h"
#include "config/sceneryapplier.h"
#include "config/scenerychoices.h"
#include "config/scenobj.h"
#include "config/staterecords.h"

#include <QHash>
#include <QJsonObject>

namespace {

// A file left as it was is named by the form it was found in, or "already" when that is the
// wanted one.
QString actionName(const TFileOutcome &outcome)
{
    switch (outcome.Action) {
    case raRenamed:
        return QStringLiteral("rename");
    case raRenameFailed:
        return QStringLiteral("failed");
    case raLeft:
        break;
    }
    const bool inWantedForm = outcome.Form == (outcome.Active ? ffActive : ffInactive);
    return inWantedForm ? QStringLiteral("already") : FormWord(outcome.Form);
}

// Why a file could not be switched: the system's own words where it refused the rename.
QString failureReason(TRenameCause cause, const QString &reason)
{
    if (cause == rcRefused || cause == rcInUse)
        return reason;
    return RenameFailureReason(lgEnglish, {QString(), reason, cause});
}

QJsonObject outcomeObject(const TFileOutcome &outcome)
{
    QJsonObject object{{QStringLiteral("file"), outcome.ActivePath},
                       {QStringLiteral("active"), outcome.Active},
                       {QStringLiteral("action"), actionName(outcome)}};
    if (!outcome.From.isEmpty()) {
        object.insert(QStringLiteral("from"), outcome.From);
        object.insert(QStringLiteral("to"), outcome.To);
    }
    if (outcome.Action == raRenameFailed)
        object.insert(QStringLiteral("reason"), failureReason(outcome.Cause, outcome.Reason));
    return object;
}

} // namespace

TApplyCommand::TApplyCommand(TCtlScenery &scenery, TCtlOutput &output)
    : FScenery(scenery)
    , FOutput(output)
{ }

int TApplyCommand::Run(const TCtlOptions &options)
{
    // undo and restore put the kept states into the tree as a load would set them; the same
    // Apply as for the user's own changes then carries them out.
    if (options.Command == u"apply") {
        for (const TChange &change : Changes(options))
            MakeChange(change);
    } else if (!LoadRecordedStates(FScenery.State(), FScenery.Tree(), options.Command == u"undo")) {
        throw ECtlError(QStringLiteral("nothing to undo: no apply has changed a state of this "
                                       "scenery yet"),
                        ceFailed);
    }

    TSceneryApplier applier(FScenery.State(), FScenery.Tree());
    if (options.DryRun) {
        const TApplyReport &report = applier.DryRun();
        Print(report, true, options.Json);
        if (!report.Error.isEmpty())
            throw ECtlError(QStringLiteral("apply would stop: ")
                                + QString(report.Error).replace(u'\n', QStringLiteral("; ")),
                            ceFailed);
        return ceSuccess;
    }
    try {
        applier.Apply();
    } catch (const EIniFileException &error) {
        // What was done before the failing write is reported too, and the error with it.
        TApplyReport report = applier.Report();
        report.Error = error.Message();
        Print(report, false, options.Json);
        throw ECtlError(QStringLiteral("cannot write the control file: ")
                            + QString(error.Message()).replace(u'\n', QStringLiteral("; ")),
                        ceFailed);
    }
    const TApplyReport &report = applier.Report();
    Print(report, false, options.Json);
    if (!report.Failures.isEmpty()) {
        throw ECtlError(
            QStringLiteral("%1 file(s) could not be renamed").arg(report.Failures.size()),
            ceFailed);
    }
    return ceSuccess;
}

QList<TApplyCommand::TChange> TApplyCommand::Changes(const TCtlOptions &options) const
{
    QList<TChange> changes;
    if (options.On.isEmpty() && options.Off.isEmpty() && options.Switches.isEmpty())
        return changes;
    const TEntryIndex index(FScenery.Tree());
    // The state of each node's first change: a later one must agree with it.
    QHash<const TCheckTreeNode *, int> states;
    const auto entriesNamed = [&](const QString &name, bool wantSwitch) {
        const QList<TCheckTreeNode *> nodes = index.Find(name);
        if (nodes.isEmpty())
            throw ECtlError(QStringLiteral("unknown name: %1").arg(name), ceUsage);
        for (const TCheckTreeNode *node : nodes) {
            const bool isSwitch = TCtlScenery::Entry(node).FileType == ftSwitch;
            if (isSwitch && !wantSwitch) {
                throw ECtlError(QStringLiteral("%1 is a switch: use --switch %1=0 or =1").arg(name),
                                ceUsage);
            }
            if (!isSwitch && wantSwitch)
                throw ECtlError(QStringLiteral("%1 is not a switch").arg(name), ceUsage);
        }
        return nodes;
    };
    const auto add = [&](const QString &name, TCheckTreeNode *node, int state) {
        if (states.value(node, state) != state)
            throw ECtlError(QStringLiteral("conflicting changes for %1").arg(name), ceUsage);
        states.insert(node, state);
        changes.append({name, node, state});
    };

    for (const QString &name : options.On) {
        for (TCheckTreeNode *node : entriesNamed(name, false))
            add(name, node, csChecked);
    }
    for (const QString &name : options.Off) {
        for (TCheckTreeNode *node : entriesNamed(name, false))
            add(name, node, csUnchecked);
    }
    for (const TSwitchChoice &choice : options.Switches) {
        for (TCheckTreeNode *node : entriesNamed(choice.Name, true)) {
            if (choice.Alternative >= node->Count()) {
                throw ECtlError(QStringLiteral("switch %1 has no alternative %2")
                                    .arg(choice.Name)
                                    .arg(choice.Alternative),
                                ceUsage);
            }
            add(choice.Name, node, choice.Alternative);
        }
    }
    return changes;
}

// The same changes a user makes with the mouse; the tree cascades them.
void TApplyCommand::MakeChange(const TChange &change)
{
    TCheckTreeModel &tree = FScenery.Tree();
    if (TCtlScenery::Entry(change.Node).FileType != ftSwitch) {
        tree.ChangeNodeCheckState(change.Node, TRzCheckState(change.State));
        return;
    }
    SceneryChoices::PickAlternative(tree, change.Node, change.State);
}

void TApplyCommand::Print(const TApplyReport &report, bool dryRun, bool json)
{
    if (json) {
        TJsonStream stream(FOutput);
        stream.Member(QStringLiteral("controlFile"), FScenery.State().Scenery);
        stream.Member(QStringLiteral("dryRun"), dryRun);
        if (!report.Error.isEmpty())
            stream.Member(QStringLiteral("error"), report.Error);
        stream.BeginArray(QStringLiteral("failures"));
        for (const TRenameFailure &failure : report.Failures) {
            stream.Element(QJsonObject{
                {QStringLiteral("file"), failure.FileName},
                {QStringLiteral("reason"), failureReason(failure.Cause, failure.Reason)},
                {QStringLiteral("inUse"), failure.Cause == rcInUse}});
        }
        stream.EndArray();
        stream.BeginArray(QStringLiteral("files"));
        for (const TFileOutcome &outcome : report.Files)
            stream.Element(outcomeObject(outcome));
        stream.EndArray();
        stream.BeginArray(QStringLiteral("states"));
        for (const TStateWrite &state : report.States) {
            stream.Element(QJsonObject{{QStringLiteral("key"), state.Key},
                                       {QStringLiteral("value"), state.Value}});
        }
        stream.EndArray();
        stream.End();
        return;
    }

    const QString prefix = dryRun ? QStringLiteral("would ") : QString();
    for (const TStateWrite &state : report.States) {
        FOutput.Line(prefix + (dryRun ? QStringLiteral("write ") : QStringLiteral("wrote "))
                     + QStringLiteral("[Checked] ") + state.Key + u'=' + state.Value);
    }
    for (const TFileOutcome &outcome : report.Files) {
        if (outcome.Action == raRenamed) {
            FOutput.Line(prefix + (dryRun ? QStringLiteral("rename ") : QStringLiteral("renamed "))
                         + outcome.From + QStringLiteral(" -> ") + outcome.To);
        } else if (outcome.Action == raRenameFailed) {
            // The system's words for a file held open differ by version; the cause is plain.
            const QString reason = outcome.Cause == rcInUse
                ? QStringLiteral("in use by another program (the simulator?)")
                : failureReason(outcome.Cause, outcome.Reason);
            // A name that was never resolved has no real names to show.
            const QString names = outcome.From.isEmpty()
                ? outcome.ActivePath
                : outcome.From + QStringLiteral(" -> ") + outcome.To;
            FOutput.Line(QStringLiteral("could not rename ") + names + QStringLiteral(": ")
                         + reason);
        } else if (const QString reason = LeftAsItIs(outcome.Form); !reason.isEmpty()) {
            FOutput.Line(prefix + (dryRun ? QStringLiteral("skip ") : QStringLiteral("skipped "))
                         + outcome.ActivePath + QStringLiteral(": ") + reason);
        }
    }
}
