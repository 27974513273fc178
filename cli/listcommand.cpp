#include "cli/listcommand.h"

#include "cli/ctlerror.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "cli/ctlwords.h"
#include "cli/jsonstream.h"
#include "cli/jsontext.h"
#include "config/languagetexts.h"
#include "config/scenobj.h"

using namespace Qt::StringLiterals;

namespace {

QString stateBox(TRzCheckState state)
{
    switch (state) {
    case csChecked:
        return QStringLiteral("[x]");
    case csUnchecked:
        return QStringLiteral("[ ]");
    case csPartiallyChecked:
        return QStringLiteral("[-]");
    default:
        return QStringLiteral("[?]");
    }
}

QString stateName(TRzCheckState state)
{
    switch (state) {
    case csChecked:
        return QStringLiteral("checked");
    case csUnchecked:
        return QStringLiteral("unchecked");
    case csPartiallyChecked:
        return QStringLiteral("partial");
    default:
        return QStringLiteral("none");
    }
}

void printNode(TCtlOutput &output, const TCheckTreeNode *node, int level)
{
    QString line = QString(level * 4, u' ') + stateBox(node->CheckState()) + u' ' + node->Text();
    if (level == 0)
        line += QStringLiteral("  (") + TCtlScenery::Entry(node).FileName + u')';
    output.Line(line);
    for (int i = 0; i < node->Count(); ++i)
        printNode(output, node->Item(i), level + 1);
}

// Members in the order QJsonObject keeps them, sorted by key.
void writeNode(TJsonText &json, const TCheckTreeNode *node)
{
    const TScenObj *entry = node->Level() == 0 ? &TCtlScenery::Entry(node) : nullptr;
    json.BeginObject();
    if (entry) {
        json.Key("caption"_L1);
        json.Value(entry->Name(node->Text()));
    }
    json.Key("children"_L1);
    json.BeginArray();
    for (int i = 0; i < node->Count(); ++i)
        writeNode(json, node->Item(i));
    json.EndArray();
    if (entry) {
        json.Key("key"_L1);
        json.Value(entry->FileName);
        json.Key("kind"_L1);
        json.Value(KindWord(entry->FileType));
    }
    json.Key("state"_L1);
    json.Value(stateName(node->CheckState()));
    json.Key("text"_L1);
    json.Value(node->Text());
    json.EndObject();
}

} // namespace

TListCommand::TListCommand(TCtlScenery &scenery, TCtlOutput &output)
    : FScenery(scenery)
    , FOutput(output)
{ }

int TListCommand::Run(bool json)
{
    const TCheckTreeModel &tree = FScenery.Tree();
    if (!json) {
        for (int i = 0; i < tree.TopLevelCount(); ++i)
            printNode(FOutput, tree.TopLevelItem(i), 0);
        return ceSuccess;
    }
    TJsonStream stream(FOutput);
    stream.Member(QStringLiteral("controlFile"), FScenery.State().Scenery);
    stream.BeginArray(QStringLiteral("entries"));
    for (int i = 0; i < tree.TopLevelCount(); ++i) {
        TJsonText element(2);
        writeNode(element, tree.TopLevelItem(i));
        stream.Element(element);
    }
    stream.EndArray();
    stream.Member(QStringLiteral("language"), LanguageWord(FScenery.State()));
    stream.End();
    return ceSuccess;
}
