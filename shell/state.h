// State shared by the installer's parts for one run.
#pragma once

#include "platform/user32.h"

#define Silent 1
#define Interactive 2

#define UNSUPPORTED_TYPES_SIZE 256

extern int InstallMode;            // written once by WinMain
extern int abortRequested;         // set by the progress dialog's Cancel, never reset
extern int finishDespiteAbort;     // set while the uninstaller entry is written
extern HWND progressDialog;        // gets the first look at every pumped message
extern HINSTANCE installerModule;  // the module whose dialog templates are used
extern char saverName[MAX_PATH];
extern char saverFileName[MAX_PATH];
extern char dataFolder[MAX_PATH];
extern char unsupportedTypes[UNSUPPORTED_TYPES_SIZE];
extern COLORREF startColour;
extern COLORREF endColour;

// The exit status (shell/exit_status.h) that the launcher's quit message
// carries; closing the launcher before the install sequence declines.
extern int runStatus;
