#include "config/scenerychoices.h"

#include "checkstate/checktreemodel.h"
#include "config/sceneryentries.h"
#include "config/scenobj.h"

namespace {

bool isOfType(const TCheckTreeNode *node, TFileType type)
{
    const TScenObj *entry = node ? node->DataAs<TScenObj>() : nullptr;
    return entry && entry->FileType == type;
}

} // namespace

namespace SceneryChoices {

bool Toggle(TCheckTreeModel &tree, TCheckTreeNode *node)
{
    TCheckTreeNode *parent = node->Parent();
    if (isOfType(parent, ftGroup)) {
        tree.ToggleCheckState(parent);
        return true;
    }
    if (isOfType(parent, ftSwitch)) {
        // Only the first two children are alternatives; a further one has no state to take.
        if (node->Index() < SwitchedAlternatives)
            PickAlternative(tree, parent, node->Index());
        return true;
    }
    if (isOfType(node, ftSwitch) && node->HasChildren()) {
        const bool firstPicked = node->Item(0)->CheckState() == csChecked;
        PickAlternative(tree, node, firstPicked && node->Count() > 1 ? 1 : 0);
        return true;
    }
    return false;
}

void PickAlternative(TCheckTreeModel &tree, TCheckTreeNode *switchNode, int alternative)
{
    for (int i = 0; i < switchNode->Count() && i < SwitchedAlternatives; ++i) {
        tree.ChangeNodeCheckState(switchNode->Item(i), i == alternative ? csChecked : csUnchecked);
    }
}

void SetAll(TCheckTreeModel &tree, bool checked)
{
    const TCheckTreeUpdate update(tree);
    for (int i = 0; i < tree.TopLevelCount(); ++i) {
        TCheckTreeNode *node = tree.TopLevelItem(i);
        if (!isOfType(node, ftSwitch))
            tree.ChangeNodeCheckState(node, checked ? csChecked : csUnchecked);
    }
}

void Install(TCheckTreeModel &tree)
{
    tree.OnToggle = [&tree](TCheckTreeNode *node, bool &handled) { handled = Toggle(tree, node); };
}

} // namespace SceneryChoices
