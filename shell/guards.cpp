// What the install sequence makes sure of before it writes anything: that
// the installer can read its whole package, and that the saver's names fit.
#include <stdio.h>

#include "shell/exit_status.h"
#include "shell/pending_install.h"
#include "shell/shell.h"
#include "shell/state.h"
#include "shell/steps.h"

// Shown in both modes: a silent deployment must not report success when
// there was nothing to install.
int checkInstallerReadable(HWND launcher) {
  if (checkInstallable()) return 1;
  MessageBoxA(launcher,
              "This installer is damaged or incomplete: the screen saver it carries cannot be read.  Please "
              "download the installer again.  Nothing has been installed.",
              "Damaged Installer", MB_OK | MB_ICONERROR);
  return 0;
}

int nameSaverFile(HWND launcher) {
  char path[MAX_PATH];
  if (snprintf(saverFileName, MAX_PATH, "%s.scr", saverName) < MAX_PATH && saverPath(path)) return 1;
  saverFileName[0] = 0;
  char message[MESSAGE_SIZE];
  snprintf(message, sizeof message,
           "The name of this screen saver is too long to be installed on this system:\r\n\r\n%s\r\n\r\nNothing has "
           "been installed.",
           saverName);
  MessageBoxA(launcher, message, installCaption, MB_OK | MB_ICONERROR);
  return 0;
}

int reportNotStarted(HWND launcher) {
  MessageBoxA(launcher, "The installation could not be started.  Nothing has been installed.", installCaption,
              MB_OK | MB_ICONERROR);
  return EXIT_CANNOT_START;
}
