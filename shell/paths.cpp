// Joining a directory and a file name without overflowing the path buffer.
#include <stdio.h>
#include <string.h>

#include "shell/shell.h"

int joinPath(char* path, size_t size, const char* directory, const char* name) {
  size_t length = strlen(directory);
  const char* separator = length > 0 && directory[length - 1] == '\\' ? "" : "\\";
  int needed = snprintf(path, size, "%s%s%s", directory, separator, name);
  return needed >= 0 && (size_t)needed < size;
}
