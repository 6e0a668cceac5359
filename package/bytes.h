// Little-endian fields of the file formats the installer reads, decoded byte
// by byte so that both builds read them alike.
#pragma once

#include "platform/wintypes.h"

inline WORD getU16(const BYTE* p) { return (WORD)(p[0] | p[1] << 8); }
inline DWORD getU32(const BYTE* p) { return (DWORD)p[0] | (DWORD)p[1] << 8 | (DWORD)p[2] << 16 | (DWORD)p[3] << 24; }
