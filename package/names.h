// Which names from a package may become parts of a file path: a name may
// never lead a write outside the folders the installer writes to.
#pragma once

#include <stddef.h>

// 1 when the text, up to `length` bytes or its NUL, holds no path separator,
// drive colon, wildcard or control character: it stays within one folder.
int isPlainNamePart(const char* text, size_t length);
// 1 for a saver name that is a plain name part and not made only of dots and
// blanks (which the file system would fold into "." or "..").
int isSafeSaverName(const char* name);
// Cuts blanks (only spaces) from the end of a text, in place.
void trimTrailingBlanks(char* text);
