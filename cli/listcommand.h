#pragma once

class TCtlOutput;
class TCtlScenery;

// Prints the object tree as the window shows it after loading: every node's check state and
// text, children indented, each entry followed by its key.
class TListCommand
{
public:
    TListCommand(TCtlScenery &scenery, TCtlOutput &output);
    int Run(bool json);

private:
    TCtlScenery &FScenery;
    TCtlOutput &FOutput;
};
