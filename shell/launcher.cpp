// The launcher window: a splash over the work area that reads the package,
// starts the install sequence from its timer and ends the program when it
// is destroyed.
#include "package/package.h"
#include "shell/shell.h"
#include "shell/state.h"

static int destroyed;  // the user may close the window while a question is open

int launcherClosed() { return destroyed; }

LRESULT CALLBACK launcherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      destroyed = 0;
      readSaverName(saverName, &startColour, &endColour);
      SetWindowTextA(window, saverName);
      SetTimer(window, LAUNCHER_TIMER, LAUNCHER_DELAY, nullptr);
      return 0;
    case WM_DESTROY:
      destroyed = 1;
      PostQuitMessage(runStatus);
      return 0;
    case WM_PAINT:
      paintLauncher(window);
      return 0;
    case WM_TIMER:
      runInstallSequence(window);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
