// Expanding one compressed stream of the package into a target file.
#pragma once

#include <stdio.h>

#include "platform/wintypes.h"

// Expands the stream of storedSize bytes at streamOffset of the installer's
// own file into targetPath. 1 when it was decoded (also when an abort cut it
// short), 0 when the installer's file or the target cannot be opened.
int extractStream(DWORD streamOffset, DWORD expandedSize, DWORD storedSize, const char* targetPath);
// Decodes from input, positioned at the stream, to output; the bytes produced.
DWORD decodeStream(FILE* input, FILE* output, DWORD expandedSize, DWORD storedSize);
