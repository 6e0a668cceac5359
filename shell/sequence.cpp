// The install sequence: one pass from the launcher's first timer message to
// the end of the launcher window. Each phase returns the run's exit status,
// or RUN_GOES_ON; the status is carried to WinMain by the quit message.
#include <stdio.h>
#include <string.h>

#include "package/names.h"
#include "platform/kernel32.h"
#include "shell/exit_status.h"
#include "shell/shell.h"
#include "shell/state.h"
#include "shell/steps.h"

#define RUN_GOES_ON (-1)

char installCaption[INSTALL_CAPTION_SIZE];

// The Windows directory in upper case, as the confirmation shows it.
static void upperWindowsDirectory(char* directory) {
  UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) snprintf(directory, MAX_PATH, "the Windows directory");
  for (char* c = directory; *c; c++) {
    if (*c >= 'a' && *c <= 'z') *c = (char)(*c - 'a' + 'A');
  }
}

static int confirmInstallation(HWND launcher, DWORD total) {
  char directory[MAX_PATH];
  upperWindowsDirectory(directory);
  char size[NUMBER_TEXT_SIZE];
  formatThousands(total, size);
  char message[MESSAGE_SIZE];
  snprintf(message, sizeof message,
           "This program will install %s Screen Saver to %s and will make it your default Screen Saver.  This "
           "installation will take %s bytes.",
           saverName, directory, size);
  return MessageBoxA(launcher, message, installCaption, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

// Checks, naming, confirmation and license; nothing is written here.
static int prepare(HWND launcher) {
  if (!checkInstallerReadable(launcher)) return EXIT_CANNOT_START;
  DWORD total = 0;
  if (!checkExistingSaver() || !checkDiskSpace(&total)) return EXIT_DECLINED;
  // The questions so far have no owner: the launcher may have been closed.
  if (launcherClosed()) return EXIT_DECLINED;
  trimTrailingBlanks(saverName);
  snprintf(installCaption, sizeof installCaption, "%s Screen Saver Installation", saverName);
  // Checked at the start, before any question; a cut-down name is never used.
  if (snprintf(saverFileName, sizeof saverFileName, "%s.scr", saverName) >= (int)sizeof saverFileName) {
    return EXIT_CANNOT_START;
  }
  if (InstallMode == Interactive && !confirmInstallation(launcher, total)) return EXIT_DECLINED;
  if (!showLicense()) return EXIT_DECLINED;
  if (launcherClosed()) return EXIT_DECLINED;
  return RUN_GOES_ON;
}

static int installAndConclude(HWND launcher) {
  INT_PTR result = runProgressDialog(launcher);
  if (result == IDCANCEL) return EXIT_ACCESS_DENIED;  // the dialog has said why
  if (result == -1) return reportNotStarted(launcher);
  if (abortRequested) {
    rollBack();
    return EXIT_ABORTED;
  }
  if (unsupportedTypes[0]) {
    offerMissingCodecs(launcher);
    if (InstallMode == Interactive) showOrderingInfo(launcher);
    return EXIT_MEDIA_UNSUPPORTED;
  }
  if (InstallMode == Silent) return EXIT_INSTALLED;
  MessageBoxA(launcher, "Installation Complete!", installCaption, MB_ICONEXCLAMATION);
  showOrderingInfo(launcher);
  startInstalledSaver();
  return EXIT_INSTALLED;
}

void runInstallSequence(HWND launcher) {
  KillTimer(launcher, LAUNCHER_TIMER);
  SetClassLongA(launcher, GCL_HCURSOR, (LONG)(LONG_PTR)LoadCursorA(nullptr, IDC_ARROW));
  int status = prepare(launcher);
  if (status == RUN_GOES_ON) status = installAndConclude(launcher);
  runStatus = status;
  DestroyWindow(launcher);
}
