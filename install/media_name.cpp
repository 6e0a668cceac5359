#include "install/media_name.h"

#include <stdio.h>
#include <string.h>

#include "package/names.h"
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
  name[length + suffixLength] = 0;
  trimTrailingBlanks(name);
}
