// The generated file name of a media entry (entries 3 and up).
#pragma once

#include "platform/wintypes.h"

// Longest name: "JUK_", ten digits (any unsigned number), a 15-character
// suffix and the NUL.
#define MEDIA_NAME_SIZE 32

// Writes prefix by kind, the sequence number (at least four digits) and the
// suffix up to its first NUL, without trailing blanks.
void composeMediaName(char* name, BYTE fileKind, unsigned sequence, const char* fileSuffix);
