// Entry point: reads the install mode, puts the launcher window over the work
// area and runs the message loop until the launcher window is destroyed.
#include "platform/user32.h"
#include "shell/exit_status.h"
#include "shell/shell.h"
#include "shell/state.h"

// The character after the first "/" (or, without any "/", the first "-").
int modeFromCommandLine(const char* commandLine) {
  const char* mark = commandLine;
  while (*mark && *mark != '/') mark++;
  if (!*mark) {
    for (mark = commandLine; *mark && *mark != '-';) mark++;
  }
  if (*mark && (mark[1] == 'S' || mark[1] == 's')) return Silent;
  return Interactive;
}

static ATOM registerLauncherClass(HINSTANCE instance) {
  WNDCLASSA launcherClass = {};
  launcherClass.style = CS_HREDRAW | CS_VREDRAW;
  launcherClass.lpfnWndProc = launcherWindowProc;
  launcherClass.hInstance = instance;
  launcherClass.hCursor = LoadCursorA(nullptr, IDC_WAIT);
  launcherClass.lpszClassName = LAUNCHER_CLASS;
  return RegisterClassA(&launcherClass);
}

static HWND createLauncherWindow(HINSTANCE instance) {
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return CreateWindowExA(0, LAUNCHER_CLASS, "TITLE", WS_POPUP | WS_VISIBLE, work.left, work.top, work.right - work.left,
                         work.bottom - work.top, nullptr, nullptr, instance, nullptr);
}

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  InstallMode = modeFromCommandLine(commandLine);
  installerModule = instance;
  if (!registerLauncherClass(instance)) return EXIT_CANNOT_START;
  HWND launcher = createLauncherWindow(instance);
  if (!launcher) return EXIT_CANNOT_START;
  ShowWindow(launcher, show);
  UpdateWindow(launcher);
  MSG msg = {};
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // The quit message carries the run's status; a broken queue ends with it too.
  return got == 0 ? (int)msg.wParam : runStatus;
}
