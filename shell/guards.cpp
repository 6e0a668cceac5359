// What the install sequence makes sure of before it asks or writes
// anything: that the installer can read its whole package, and that the
// saver's name gives file names and paths that fit. Both messages are shown
// in silent mode too: a deployment must not report success with nothing
// installed.
#include <stdio.h>

#include "install/installable.h"
#include "package/package.h"
#include "shell/exit_status.h"
#include "shell/shell.h"
#include "shell/state.h"
#include "shell/steps.h"

int checkInstallerReadable(HWND launcher) {
  if (!checkPackageIntact()) {
    MessageBoxA(launcher,
                "This installer is damaged or incomplete: the screen saver it carries cannot be read.  Please "
                "download the installer again.  Nothing has been installed.",
                "Damaged Installer", MB_OK | MB_ICONERROR);
    return 0;
  }
  if (!checkInstallable()) {
    char message[MESSAGE_SIZE];
    snprintf(message, sizeof message,
             "The name of this screen saver cannot be used for its files on this system: it is too long, or it "
             "holds characters that a file name cannot hold.\r\n\r\n%s\r\n\r\nNothing has been installed.",
             saverName);
    MessageBoxA(launcher, message, "Cannot Install Screen Saver", MB_OK | MB_ICONERROR);
    return 0;
  }
  return 1;
}

int reportNotStarted(HWND launcher) {
  MessageBoxA(launcher, "The installation could not be started.  Nothing has been installed.", installCaption,
              MB_OK | MB_ICONERROR);
  return EXIT_CANNOT_START;
}
