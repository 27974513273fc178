#pragma once

class TPlatform;

// The program: creates the main window, which finds and loads the control file, then the
// information window, and runs the message loop until the main window closes. When the start
// ended the program, the main window is never shown.
int RunProgram(TPlatform &platform);
