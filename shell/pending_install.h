// Temporary: the installation worker's interface until it lands.
#pragma once
#include "platform/user32.h"
#define PROGRESS_DIALOG 103
int checkInstallable();
INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
