#include "install/progress_dialog.h"

#include <stdio.h>

#include "shell/state.h"

#define TITLE_SIZE (MAX_PATH + 32)  // the saver's name and a fixed text

static void openProgressDialog(HWND dialog) {
  if (InstallMode == Interactive) ShowWindow(dialog, SW_SHOW);
  progressDialog = dialog;
  char text[TITLE_SIZE];
  snprintf(text, sizeof text, "%s Screen Saver Installation", saverName);
  SetWindowTextA(dialog, text);
  snprintf(text, sizeof text, "%s Screen Saver", saverName);
  SetDlgItemTextA(dialog, SAVER_NAME_CONTROL, text);
  PostMessageA(dialog, WM_COMMAND, IDOK, (LPARAM)GetDlgItem(dialog, IDOK));
}

// Reached only from a checkpoint's message pump; asks once.
static void askToAbort(HWND dialog) {
  if (abortRequested) return;
  int answer =
      MessageBoxA(dialog, "Are you sure you would like to abort this installation?", "Abort Installation?", MB_YESNO);
  if (answer == IDYES) abortRequested = 1;
}

INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      openProgressDialog(dialog);
      return 1;
    case WM_COMMAND:
      if (wParam == IDOK) return runInstallation(dialog);
      if (wParam == IDCANCEL) askToAbort(dialog);
      return 0;
  }
  return 0;
}
