#pragma once

#include <QList>
#include <QString>

class TCheckTreeNode;
class TCtlOptions;
class TCtlOutput;
class TCtlScenery;
struct TApplyReport;

// Changes the named entries in the loaded tree, through the tree's own cascade rules, then
// applies the selection as the window does, or with a dry run reports what that would do.
// "undo" and "restore" take the states kept for undo or the shipped ones instead of named
// changes, and apply them the same way.
class TApplyCommand
{
public:
    TApplyCommand(TCtlScenery &scenery, TCtlOutput &output);
    int Run(const TCtlOptions &options);

private:
    // One change to make; every name is checked before the first change is made.
    struct TChange
    {
        QString Name;
        TCheckTreeNode *Node;
        int State; // an object or group: csChecked or csUnchecked; a switch: the alternative
    };

    QList<TChange> Changes(const TCtlOptions &options) const;
    void MakeChange(const TChange &change);
    void Print(const TApplyReport &report, bool dryRun, bool json);

    TCtlScenery &FScenery;
    TCtlOutput &FOutput;
};
