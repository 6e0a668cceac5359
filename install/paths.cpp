#include "install/paths.h"

#include <string.h>

#include "platform/kernel32.h"

int appendPath(char* path, const char* text) {
  size_t length = strlen(path);
  size_t added = strlen(text);
  if (length + added >= MAX_PATH) return 0;
  memcpy(path + length, text, added + 1);
  return 1;
}

int endWithBackslash(char* path) {
  size_t length = strlen(path);
  if (length > 0 && path[length - 1] == '\\') return 1;
  return appendPath(path, "\\");
}

int getWindowsFolder(char* folder) {
  UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {  // failed, or the size it would need
    folder[0] = 0;
    return 0;
  }
  return endWithBackslash(folder);
}

void copyStem(char* stem, const char* fileName) {
  const char* dot = strrchr(fileName, '.');
  size_t length = dot ? (size_t)(dot - fileName) : strlen(fileName);
  memcpy(stem, fileName, length);
  stem[length] = 0;
}
