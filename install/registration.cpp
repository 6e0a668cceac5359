// The uninstall entry and the default screen saver.
#include "install/registration.h"

#include <stdio.h>
#include <string.h>

#include "install/paths.h"
#include "platform/advapi32.h"
#include "platform/kernel32.h"
#include "platform/user32.h"
#include "shell/state.h"

#define UNINSTALL_KEY_SIZE 1024  // the list's path, a backslash and a saver file name
#define VERSION_MAJOR 7
#define VERSION_MINOR 0

static const char uninstallList[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

static void composeUninstallKey(char* key) {
  char stem[MAX_PATH];
  copyStem(stem, saverFileName);
  snprintf(key, UNINSTALL_KEY_SIZE, "%s\\%s", uninstallList, stem);
}

static LONG openUninstallKey(HKEY* key, DWORD* disposition) {
  char path[UNINSTALL_KEY_SIZE];
  char noClass[1] = "";
  composeUninstallKey(path);
  return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, key,
                         disposition);
}

int checkUninstallAccess() {
  HKEY key;
  LONG result = openUninstallKey(&key, NULL);
  if (result == ERROR_ACCESS_DENIED) {
    MessageBoxA(NULL,
                "You do not have access to make the required system configuration modifications. Please rerun "
                "this installation from an administrators account.",
                "Error!!!", MB_OK);
    return 0;
  }
  if (result == ERROR_SUCCESS) RegCloseKey(key);
  return 1;
}

static void setText(HKEY key, const char* name, DWORD type, const char* text) {
  RegSetValueExA(key, name, 0, type, (const BYTE*)text, (DWORD)strlen(text) + 1);
}

static void setNumber(HKEY key, const char* name, DWORD number) {
  BYTE bytes[4] = {(BYTE)number, (BYTE)(number >> 8), (BYTE)(number >> 16), (BYTE)(number >> 24)};
  RegSetValueExA(key, name, 0, REG_DWORD, bytes, sizeof bytes);
}

// A path with a blank is quoted, so that the uninstall list cannot take its
// first word for the program to start.
static void quoteIfBlank(char* quoted, const char* path) {
  snprintf(quoted, MAX_PATH + 2, strchr(path, ' ') ? "\"%s\"" : "%s", path);
}

void writeUninstallEntry(const char* uninstallerPath, const char* saverPath) {
  HKEY key;
  DWORD disposition;
  if (openUninstallKey(&key, &disposition) != ERROR_SUCCESS) return;
  char text[MAX_PATH + 16];  // a path or the name with a short addition
  snprintf(text, sizeof text, "%s Screen Saver", saverName);
  setText(key, "DisplayName", REG_SZ, text);
  quoteIfBlank(text, uninstallerPath);
  setText(key, "UninstallString", REG_EXPAND_SZ, text);
  const char* lastBackslash = strrchr(uninstallerPath, '\\');
  int folderLength = lastBackslash ? (int)(lastBackslash - uninstallerPath) : 0;
  snprintf(text, sizeof text, "%.*s", folderLength, uninstallerPath);
  setText(key, "InstallLocation", REG_EXPAND_SZ, text);
  snprintf(text, sizeof text, "%s,-0", saverPath);
  setText(key, "DisplayIcon", REG_SZ, text);
  setText(key, "Publisher", REG_SZ, "Made with Kestrom's Vivarune");
  setNumber(key, "VersionMajor", VERSION_MAJOR);
  setNumber(key, "VersionMinor", VERSION_MINOR);
  RegCloseKey(key);
}

// Without the saver's file there is nothing to make the default.
void setDefaultScreenSaver(const char* saverPath) {
  char shortPath[MAX_PATH];
  DWORD length = GetShortPathNameA(saverPath, shortPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", shortPath, "system.ini");
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, NULL, SPIF_UPDATEINIFILE);
}
