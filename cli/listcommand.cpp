#include "cli/listcommand.h"

#include "cli/ctlerror.h"
#include "cli/ctloutput.h"
#include "cli/ctlscenery.h"
#include "cli/ctlwords.h"
#include "cli/jsonstream.h"
#include "config/languagetexts.h"
#include "config/scenobj.h"

#include <QJsonArray>
#include <QJsonObject>

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

QJsonObject nodeObject(const TCheckTreeNode *node)
{
    QJsonObject object{{QStringLiteral("text"), node->Text()},
                       {QStringLiteral("state"), stateName(node->CheckState())}};
    if (node->Level() == 0) {
        const TScenObj &entry = TCtlScenery::Entry(node);
        object.insert(QStringLiteral("key"), entry.FileName);
        object.insert(QStringLiteral("kind"), KindWord(entry.FileType));
        object.insert(QStringLiteral("caption"), entry.Name);
    }
    QJsonArray children;
    for (int i = 0; i < node->Count(); ++i)
        children.append(nodeObject(node->Item(i)));
    object.insert(QStringLiteral("children"), children);
    return object;
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
    for (int i = 0; i < tree.TopLevelCount(); ++i)
        stream.Element(nodeObject(tree.TopLevelItem(i)));
    stream.EndArray();
    stream.Member(QStringLiteral("language"), LanguageWord(FScenery.State()));
    stream.End();
    return ceSuccess;
}
