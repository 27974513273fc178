#pragma once

class TCtlOutput;
class TCtlScenery;

// Prints, for every scenery file, its form on disk and whether it agrees with the state in the
// control file. Exit status 0 when every file agrees, 1 otherwise.
class TCheckCommand
{
public:
    TCheckCommand(TCtlScenery &scenery, TCtlOutput &output);
    int Run(bool json);

private:
    TCtlScenery &FScenery;
    TCtlOutput &FOutput;
};
