// Building paths in the installer's fixed path buffers. Every step says
// whether it fitted, so that no file is ever written to a cut-down path.
#pragma once

#include "platform/wintypes.h"

// Appends text to a MAX_PATH buffer; 0, with the path unchanged, when the
// result would not fit.
int appendPath(char* path, const char* text);
// Appends a backslash unless the path already ends with one.
int endWithBackslash(char* path);
// The Windows directory with a backslash at its end; 0 when the platform
// cannot give it or it does not fit.
int getWindowsFolder(char* folder);
// The text of fileName before its last "." (all of it without one).
void copyStem(char* stem, const char* fileName);
