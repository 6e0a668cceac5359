// The installation and what follows it: the rollback after an abort, the
// offer of missing media support, the ordering dialog and the saver's start.
#include <stdio.h>
#include <string.h>

#include "install/progress_dialog.h"
#include "platform/kernel32.h"
#include "platform/shell32.h"
#include "shell/contacts.h"
#include "shell/dialog_ids.h"
#include "shell/shell.h"
#include "shell/state.h"
#include "shell/steps.h"

#define UNINSTALLER_NAME "UNINSTAL.EXE"

INT_PTR runProgressDialog(HWND launcher) {
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  INT_PTR result = DialogBoxParamA(installerModule, MAKEINTRESOURCEA(PROGRESS_DIALOG), launcher, progressDialogProc, 0);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  return result;
}

static BOOL openDocument(const char* file, const char* parameters, int show) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.lpVerb = "open";
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = show;
  return ShellExecuteExA(&info);
}

// Not waited for: the uninstaller runs on while the launcher closes.
void rollBack() {
  char path[MAX_PATH + sizeof UNINSTALLER_NAME];
  snprintf(path, sizeof path, "%s%s", dataFolder, UNINSTALLER_NAME);
  openDocument(path, "/s", SW_SHOWNORMAL);
}

void offerMissingCodecs(HWND launcher) {
  char message[MESSAGE_SIZE];
  snprintf(message, sizeof message,
           "The following file types are not currently supported by your Windows media player:\r\n\r\n%s\r\nThese "
           "file types must be supported before you can run this file.  Click on the OK button below to download a "
           "copy from %s.  If you wish to get this file at a later time, click Cancel.",
           unsupportedTypes, MEDIA_PLAYER_DOWNLOAD_PAGE);
  if (MessageBoxA(launcher, message, "Missing support codecs", MB_OKCANCEL) != IDOK) return;
  if (!openDocument(MEDIA_PLAYER_DOWNLOAD_PAGE, nullptr, SW_SHOWMAXIMIZED)) {
    MessageBoxA(launcher, "Could not connect to this site.", MEDIA_PLAYER_DOWNLOAD_PAGE, MB_ICONERROR);
  }
}

void showOrderingInfo(HWND launcher) {
  DialogBoxParamA(installerModule, MAKEINTRESOURCEA(ORDERING_DIALOG), launcher, orderingDialogProc, 0);
}

int saverPath(char* path) {
  char directory[MAX_PATH];
  UINT length = GetWindowsDirectoryA(directory, sizeof directory);
  if (length == 0 || length >= sizeof directory) return snprintf(path, MAX_PATH, "%s", saverFileName) < MAX_PATH;
  return joinPath(path, MAX_PATH, directory, saverFileName);
}

// The command line is the path alone; a blank in it would make the rest an
// argument, so such a path is quoted.
void startInstalledSaver() {
  char path[MAX_PATH];
  if (!saverPath(path)) return;
  char shortPath[MAX_PATH];
  DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
  if (length == 0 || length >= sizeof shortPath) return;
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof commandLine, strchr(shortPath, ' ') ? "\"%s\"" : "%s", shortPath);
  WinExec(commandLine, SW_SHOW);
}
