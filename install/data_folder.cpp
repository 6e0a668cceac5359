// The per-saver data folder under the common application data folder.
#include <string.h>

#include "install/paths.h"
#include "install/registration.h"
#include "platform/crt.h"
#include "platform/kernel32.h"
#include "platform/shell32.h"
#include "shell/state.h"

// SHGetFolderPathA from the system directory's SHFOLDER.DLL, loaded by its
// full path: a file of that name beside the installer is never run.
static int getCommonDataFolder(char* folder) {
  char library[MAX_PATH];
  UINT length = GetSystemDirectoryA(library, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || !endWithBackslash(library) || !appendPath(library, "SHFOLDER.DLL")) {
    return 0;
  }
  HMODULE module = LoadLibraryA(library);
  if (!module) return 0;
  FARPROC found = GetProcAddress(module, "SHGetFolderPathA");
  SHGetFolderPathA_t getFolderPath = reinterpret_cast<SHGetFolderPathA_t>(reinterpret_cast<void (*)()>(found));
  folder[0] = 0;
  if (getFolderPath && getFolderPath(NULL, CSIDL_COMMON_APPDATA, NULL, SHGFP_TYPE_CURRENT, folder) != 0) {
    folder[0] = 0;
  }
  FreeLibrary(module);
  return folder[0] != 0;
}

// Without the common folder: its old place under the Windows directory, or
// the root of the current drive when even that is unknown.
static int startDataFolder(char* folder, size_t* existing) {
  if (getCommonDataFolder(folder)) {
    *existing = strlen(folder);
    return endWithBackslash(folder);
  }
  if (!getWindowsFolder(folder)) {
    strcpy(folder, "\\");
    *existing = 1;
    return 1;
  }
  *existing = strlen(folder);
  return appendPath(folder, "All Users\\") && appendPath(folder, "Application Data\\");
}

int planDataFolder(char* folder, const char* name, size_t* existing) {
  int fits = startDataFolder(folder, existing) && appendPath(folder, "Kestrom\\") && appendPath(folder, "Vivarune\\") &&
             appendPath(folder, name) && appendPath(folder, "\\");
  if (!fits) folder[0] = 0;
  return fits;
}

void resolveDataFolder() {
  size_t existing;
  if (!planDataFolder(dataFolder, saverName, &existing)) return;
  for (size_t i = existing; dataFolder[i]; i++) {
    if (dataFolder[i] != '\\') continue;
    dataFolder[i] = 0;
    crtMakeDirectory(dataFolder);  // an existing folder and a failure are alike
    dataFolder[i] = '\\';
  }
}
