#include "cli/checkcommand.h"

#include "cli/ctlerror.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "cli/ctlwords.h"
#include "config/languagetexts.h"
#include "config/scenerycheck.h"
#include "config/sceneryfiles.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QString formText(const TFileCheck &check)
{
    switch (check.Form) {
    case ffBothForms:
    case ffOutsideScenery:
        return LeftAsItIs(check.Form);
    case ffAmbiguous:
        return RenameFailureReason(
            lgEnglish, {QString(), check.Ambiguous.join(QStringLiteral(", ")), rcAmbiguous});
    case ffBadName:
        return RenameFailureReason(lgEnglish, {QString(), QString(), rcBadName});
    default:
        return FormWord(check.Form);
    }
}

QString checkLine(const TFileCheck &check)
{
    QString line = (check.Agrees() ? QStringLiteral("ok       ") : QStringLiteral("DIFFERS  "))
        + check.Key + QStringLiteral(": ") + formText(check);
    if (check.LetterCaseVariant) {
        QStringList names;
        for (const QString &name : {check.ActiveName, check.InactiveName}) {
            if (!name.isEmpty())
                names << name;
        }
        line += QStringLiteral(", letter case differs: ") + names.join(QStringLiteral(", "));
    }
    if (!check.Expected) {
        line += QStringLiteral(", state %1 of \"%2\" names no form")
                    .arg(check.StateValue)
                    .arg(check.StateKey);
    } else if (!check.Agrees()) {
        line += QStringLiteral(", expected ") + FormWord(*check.Expected);
    }
    return line + QStringLiteral("  (%1 %2)").arg(KindWord(check.FileType), check.Entry);
}

QJsonObject checkObject(const TFileCheck &check)
{
    return {{QStringLiteral("key"), check.Key},
            {QStringLiteral("entry"), check.Entry},
            {QStringLiteral("kind"), KindWord(check.FileType)},
            {QStringLiteral("stateKey"), check.StateKey},
            {QStringLiteral("stateValue"), check.StateValue},
            {QStringLiteral("form"), FormWord(check.Form)},
            {QStringLiteral("expected"),
             check.Expected ? QJsonValue(FormWord(*check.Expected)) : QJsonValue()},
            {QStringLiteral("agrees"), check.Agrees()},
            {QStringLiteral("letterCaseVariant"), check.LetterCaseVariant},
            {QStringLiteral("activeName"), check.ActiveName},
            {QStringLiteral("inactiveName"), check.InactiveName},
            {QStringLiteral("ambiguousNames"), QJsonArray::fromStringList(check.Ambiguous)}};
}

} // namespace

TCheckCommand::TCheckCommand(TCtlScenery &scenery, TCtlOutput &output)
    : FScenery(scenery)
    , FOutput(output)
{ }

int TCheckCommand::Run(bool json)
{
    const QList<TFileCheck> checks = TSceneryCheck(FScenery.State(), FScenery.Tree()).Run();
    qsizetype agreeing = 0;
    for (const TFileCheck &check : checks)
        agreeing += check.Agrees() ? 1 : 0;
    const bool allAgree = agreeing == checks.size();

    if (json) {
        QJsonArray files;
        for (const TFileCheck &check : checks)
            files.append(checkObject(check));
        FOutput.Json({{QStringLiteral("controlFile"), FScenery.State().Scenery},
                      {QStringLiteral("agree"), allAgree},
                      {QStringLiteral("files"), files}});
    } else {
        for (const TFileCheck &check : checks)
            FOutput.Line(checkLine(check));
        FOutput.Line(QStringLiteral("%1 files: %2 agree, %3 differ")
                         .arg(checks.size())
                         .arg(agreeing)
                         .arg(checks.size() - agreeing));
    }
    return allAgree ? ceSuccess : ceFailed;
}
