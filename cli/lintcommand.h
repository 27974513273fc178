#pragma once

class TCtlOutput;
class TCtlScenery;

// Prints what is wrong with the package as its author would ship it: one finding a line with its
// level, section and key, and the reason. Changes nothing. Exit status 0 when there is no error
// and no warning (information does not count), 1 otherwise.
class TLintCommand
{
public:
    // The reasons and the text output are in the language (0 German, 1 English); JSON keeps the
    // English names of the levels for scripts.
    TLintCommand(TCtlScenery &scenery, TCtlOutput &output, int language);
    int Run(bool json);

private:
    TCtlScenery &FScenery;
    TCtlOutput &FOutput;
    int FLanguage;
};
