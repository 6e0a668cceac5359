// What the license and ordering dialogs share: centring, and ending on OK or
// Cancel (Escape and the close box arrive as IDCANCEL).
#include "shell/shell.h"

void centerOnScreen(HWND dialog) {
  RECT rect;
  GetWindowRect(dialog, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  MoveWindow(dialog, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2,
             width, height, FALSE);
}

// A notification carries its code in the high word, so wParam is compared whole.
int endOnOkOrCancel(HWND dialog, WPARAM wParam) {
  if (wParam != IDOK && wParam != IDCANCEL) return 0;
  EndDialog(dialog, (INT_PTR)wParam);
  return 1;
}

INT_PTR CALLBACK orderingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      centerOnScreen(dialog);
      return 1;
    case WM_COMMAND:
      return endOnOkOrCancel(dialog, wParam);
  }
  return 0;
}
