// ADVAPI32: the registry calls of the uninstall entry.
#pragma once

#include "wintypes.h"

typedef DWORD REGSAM;
typedef HKEY* PHKEY;

#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define REG_OPTION_NON_VOLATILE 0
#define KEY_ALL_ACCESS 0xF003Fu
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_DWORD 4
#define ERROR_SUCCESS 0
#define ERROR_ACCESS_DENIED 5

extern "C" {
// Opens the key, creating it and its missing parents; returns an error code.
LONG WINAPI RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG WINAPI RegCloseKey(HKEY key);
}
