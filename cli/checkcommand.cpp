#include "cli/checkcommand.h"

#include "cli/ctlerror.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "cli/ctlwords.h"
#include "cli/jsonstream.h"
#include "cli/jsontext.h"
#include "config/languagetexts.h"
#include "config/scenerycheck.h"
#include "config/sceneryfiles.h"

using namespace Qt::StringLiterals;

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

TJsonText checkObject(const TFileCheck &check)
{
    TJsonText json(2);
    json.BeginObject();
    json.Key("activeName"_L1);
    json.Value(check.ActiveName);
    json.Key("agrees"_L1);
    json.Value(check.Agrees());
    json.Key("ambiguousNames"_L1);
    json.Value(check.Ambiguous);
    json.Key("entry"_L1);
    json.Value(check.Entry);
    json.Key("expected"_L1);
    if (check.Expected)
        json.Value(FormWord(*check.Expected));
    else
        json.Null();
    json.Key("form"_L1);
    json.Value(FormWord(check.Form));
    json.Key("inactiveName"_L1);
    json.Value(check.InactiveName);
    json.Key("key"_L1);
    json.Value(check.Key);
    json.Key("kind"_L1);
    json.Value(KindWord(check.FileType));
    json.Key("letterCaseVariant"_L1);
    json.Value(check.LetterCaseVariant);
    json.Key("stateKey"_L1);
    json.Value(check.StateKey);
    json.Key("stateValue"_L1);
    json.Value(qint64(check.StateValue));
    json.EndObject();
    return json;
}

} // namespace

TCheckCommand::TCheckCommand(TCtlScenery &scenery, TCtlOutput &output)
    : FScenery(scenery)
    , FOutput(output)
{ }

int TCheckCommand::Run(bool json)
{
    TSceneryCheck check(FScenery.Ini(), FScenery.TakeEntries());
    // The check has read what it needs of the control file: the parsed copy goes before the
    // folder listings come.
    FScenery.ReleaseIni();
    qsizetype files = 0;
    qsizetype agreeing = 0;
    const auto count = [&](const TFileCheck &file) {
        ++files;
        agreeing += file.Agrees() ? 1 : 0;
    };

    if (json) {
        // Whether all agree comes first in the object, so the files are looked at twice (with
        // the folder listings of the first time) rather than kept.
        check.Run(count);
        TJsonStream stream(FOutput);
        stream.Member(QStringLiteral("agree"), agreeing == files);
        stream.Member(QStringLiteral("controlFile"), FScenery.State().Scenery);
        stream.BeginArray(QStringLiteral("files"));
        check.Run([&](const TFileCheck &file) { stream.Element(checkObject(file)); });
        stream.EndArray();
        stream.End();
    } else {
        check.Run([&](const TFileCheck &file) {
            count(file);
            FOutput.Line(checkLine(file));
        });
        FOutput.Line(QStringLiteral("%1 files: %2 agree, %3 differ")
                         .arg(files)
                         .arg(agreeing)
                         .arg(files - agreeing));
    }
    return agreeing == files ? ceSuccess : ceFailed;
}
