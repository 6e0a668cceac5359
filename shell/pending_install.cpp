// Temporary stand-ins until the installation worker lands.
#include "shell/pending_install.h"

#include "package/package.h"
int checkInstallable() { return checkPackageIntact(); }
INT_PTR CALLBACK progressDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
