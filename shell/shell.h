// The installer's entry point.
#pragma once

#include "platform/wintypes.h"

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
