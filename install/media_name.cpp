#include "install/media_name.h"

#include <stdio.h>
#include <string.h>

#include "package/package.h"

static const char* prefixOf(BYTE fileKind) {
  if (fileKind == FILE_KIND_JUK_) return "JUK_";
  if (fileKind == FILE_KIND_JUKE) return "JUKE";
  return "FILE";
}

void composeMediaName(char* name, BYTE fileKind, unsigned sequence, const char* fileSuffix) {
  int length = snprintf(name, MEDIA_NAME_SIZE, "%s%04u", prefixOf(fileKind), sequence);
  size_t suffixLength = strnlen(fileSuffix, PACKAGE_SUFFIX_SIZE);
  memcpy(name + length, fileSuffix, suffixLength);
  length += (int)suffixLength;
  while (length > 0 && name[length - 1] == ' ') length--;
  name[length] = 0;
}
