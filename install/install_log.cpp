#include "install/install_log.h"

#include <string.h>

#include "install/paths.h"
#include "install/targets.h"
#include "platform/kernel32.h"
#include "shell/state.h"

static HANDLE installLog = INVALID_HANDLE_VALUE;

void openInstallLog() {
  char path[MAX_PATH] = "";
  installLog = INVALID_HANDLE_VALUE;
  if (!appendPath(path, dataFolder) || !appendPath(path, INSTALL_LOG_NAME)) return;
  installLog =
      CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, NULL);
  if (installLog != INVALID_HANDLE_VALUE) SetFilePointer(installLog, 0, NULL, FILE_END);
}

void logTarget(const char* targetPath) {
  if (installLog == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(installLog, targetPath, (DWORD)strlen(targetPath), &written, NULL);
  WriteFile(installLog, "\r\n", 2, &written, NULL);
}

void closeInstallLog() {
  if (installLog != INVALID_HANDLE_VALUE) CloseHandle(installLog);
  installLog = INVALID_HANDLE_VALUE;
}
