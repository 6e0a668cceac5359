// The few platform calls the decoder makes, for the fuzz targets: an empty
// message queue and plain runtime reads.
#include <stdlib.h>

#include "platform/crt.h"
#include "platform/user32.h"

size_t crtRead(void* buffer, size_t size, size_t count, FILE* file) { return fread(buffer, size, count, file); }
void crtExit(int) { abort(); }  // a short write cannot happen into memory

extern "C" {
BOOL WINAPI PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) { return FALSE; }
BOOL WINAPI IsDialogMessageA(HWND, LPMSG) { return FALSE; }
BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }
LRESULT WINAPI DispatchMessageA(const MSG*) { return 0; }
}
