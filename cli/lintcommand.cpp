#include "cli/lintcommand.h"

#include "cli/ctlerror.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "config/scenerylint.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QString place(const TLintFinding &finding)
{
    QString text;
    if (!finding.Section.isEmpty())
        text = u'[' + finding.Section + u']';
    if (!finding.Key.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + finding.Key;
    return text;
}

} // namespace

TLintCommand::TLintCommand(TCtlScenery &scenery, TCtlOutput &output, int language)
    : FScenery(scenery)
    , FOutput(output)
    , FLanguage(language)
{ }

int TLintCommand::Run(bool json)
{
    const QList<TLintFinding> findings = TSceneryLint(FScenery.State().Scenery, FLanguage).Run();
    qsizetype counts[3] = {0, 0, 0};
    for (const TLintFinding &finding : findings)
        ++counts[finding.Level];
    const bool clean = counts[llError] == 0 && counts[llWarning] == 0;

    if (json) {
        QJsonArray list;
        for (const TLintFinding &finding : findings) {
            list.append(QJsonObject{{QStringLiteral("level"), LintLevelName(finding.Level)},
                                    {QStringLiteral("kind"), finding.Kind},
                                    {QStringLiteral("section"), finding.Section},
                                    {QStringLiteral("key"), finding.Key},
                                    {QStringLiteral("reason"), finding.Reason}});
        }
        FOutput.Json({{QStringLiteral("controlFile"), FScenery.State().Scenery},
                      {QStringLiteral("clean"), clean},
                      {QStringLiteral("errors"), counts[llError]},
                      {QStringLiteral("warnings"), counts[llWarning]},
                      {QStringLiteral("information"), counts[llInformation]},
                      {QStringLiteral("findings"), list}});
    } else {
        for (const TLintFinding &finding : findings) {
            FOutput.Line(LintLevelText(FLanguage, finding.Level).leftJustified(12) + place(finding)
                         + QStringLiteral(": ") + finding.Reason);
        }
        FOutput.Line(
            LintSummary(FLanguage, counts[llError], counts[llWarning], counts[llInformation]));
    }
    return clean ? ceSuccess : ceFailed;
}
