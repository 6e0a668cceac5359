// The license dialog: the package's license text must be accepted before
// anything is installed. Decline is the default button.
#include "package/package.h"
#include "shell/dialog_ids.h"
#include "shell/shell.h"
#include "shell/state.h"

int showLicense() {
  HGLOBAL block;
  char* text = readLicenseText(&block);
  if (!text) return 1;
  INT_PTR result =
      DialogBoxParamA(installerModule, MAKEINTRESOURCEA(LICENSE_DIALOG), nullptr, licenseDialogProc, (LPARAM)text);
  GlobalUnlock(block);
  GlobalFree(block);
  return result == IDOK;
}

INT_PTR CALLBACK licenseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetDlgItemTextA(dialog, LICENSE_TEXT, (LPCSTR)lParam);
      centerOnScreen(dialog);
      HWND edit = GetDlgItem(dialog, LICENSE_TEXT);
      SetFocus(edit);
      // Posted, not sent: the dialog selects the whole text when it has
      // finished opening, and this undoes that afterwards.
      PostMessageA(edit, EM_SETSEL, (WPARAM)-1, 0);
      return 0;  // the focus is set
    }
    case WM_COMMAND:
      return endOnOkOrCancel(dialog, wParam);
  }
  return 0;
}
