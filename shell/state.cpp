#include "shell/state.h"

#include "package/package.h"
#include "shell/exit_status.h"

int InstallMode = Interactive;
int abortRequested;
int finishDespiteAbort;
HWND progressDialog;
HINSTANCE installerModule;
char saverName[MAX_PATH];
char saverFileName[MAX_PATH];
char dataFolder[MAX_PATH];
char unsupportedTypes[UNSUPPORTED_TYPES_SIZE];
COLORREF startColour = DEFAULT_START_COLOUR;
COLORREF endColour = DEFAULT_END_COLOUR;
int runStatus = EXIT_DECLINED;
