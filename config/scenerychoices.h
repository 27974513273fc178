#pragma once

class TCheckTreeModel;
class TCheckTreeNode;

// The choices the object tree offers. The control file stores one state per group and one
// picked alternative per switch, so a group is switched as a whole and a switch always has
// exactly one alternative checked; the tree's own tri-state rules would allow more.
namespace SceneryChoices {

// Carries out a user's toggle (click or Space) of a group member, a switch or one of its
// alternatives, and returns true; returns false for every other node, which toggles as usual.
// A member toggles its group; an alternative is picked (an alternative cannot be unchecked on
// its own); the switch's own box swaps the pick.
bool Toggle(TCheckTreeModel &tree, TCheckTreeNode *node);

// Checks the switch's alternative and unchecks the other; the switch node then shows the
// partly checked state: one of its two.
void PickAlternative(TCheckTreeModel &tree, TCheckTreeNode *switchNode, int alternative);

// Checks or unchecks every plain object and every group, as the user's toggles would; a switch
// keeps its pick, since it always has one of its two alternatives.
void SetAll(TCheckTreeModel &tree, bool checked);

// Makes the tree follow these rules for the user's toggles.
void Install(TCheckTreeModel &tree);

} // namespace SceneryChoices
