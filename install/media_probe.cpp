#include "install/media_probe.h"

#include <string.h>

#include "platform/kernel32.h"
#include "platform/winmm.h"
#include "shell/state.h"

static const char lineEnd[] = "\r\n";

// The type of a file: its name from the last "." on, or the whole name when
// it has no "." (a "." in a folder's name is not the file's type).
static const char* typeOf(const char* path) {
  const char* name = strrchr(path, '\\');
  name = name ? name + 1 : path;
  const char* dot = strrchr(name, '.');
  return dot ? dot : name;
}

// Each type once, in the case it was written; a type that no longer fits is
// left out (the list is then not empty, which is what its reader acts on).
static void recordUnsupportedType(const char* path) {
  const char* type = typeOf(path);
  if (strstr(unsupportedTypes, type)) return;
  if (strlen(unsupportedTypes) + strlen(type) + strlen(lineEnd) >= UNSUPPORTED_TYPES_SIZE) return;
  strcat(unsupportedTypes, type);
  strcat(unsupportedTypes, lineEnd);
}

void probeMediaFile(const char* targetPath) {
  char shortPath[MAX_PATH];
  DWORD length = GetShortPathNameA(targetPath, shortPath, MAX_PATH);
  MCI_OPEN_PARMSA open;
  memset(&open, 0, sizeof open);
  open.lpstrDeviceType = "MPEGVideo";
  open.lpstrElementName = length > 0 && length < MAX_PATH ? shortPath : targetPath;
  if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, (DWORD_PTR)&open) != 0 &&
      mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, (DWORD_PTR)&open) != 0) {
    recordUnsupportedType(targetPath);
    return;
  }
  MCI_GENERIC_PARMS close;
  memset(&close, 0, sizeof close);
  mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, (DWORD_PTR)&close);
}
