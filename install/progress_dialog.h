// The progress dialog (template 103): it installs every package entry when
// it opens and ends with IDOK, or with IDCANCEL when nothing was installed.
#pragma once

#include "platform/user32.h"

#define PROGRESS_DIALOG 103
#define SAVER_NAME_CONTROL 1001

INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog's OK command: the whole installation, then EndDialog. Returns 1.
INT_PTR runInstallation(HWND dialog);
