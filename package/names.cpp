#include "package/names.h"

#include <string.h>

int isPlainNamePart(const char* text, size_t length) {
  for (size_t i = 0; i < length && text[i]; i++) {
    unsigned char c = (unsigned char)text[i];
    if (c < 32 || strchr("\\/:*?\"<>|", c)) return 0;
  }
  return 1;
}

void trimTrailingBlanks(char* text) {
  size_t length = strlen(text);
  while (length > 0 && text[length - 1] == ' ') text[--length] = 0;
}

int isSafeSaverName(const char* name) {
  if (!isPlainNamePart(name, strlen(name))) return 0;
  for (const char* c = name; *c; c++) {
    if (*c != '.' && *c != ' ') return 1;
  }
  return 0;
}
