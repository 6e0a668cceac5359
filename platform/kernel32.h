// KERNEL32: files, paths, modules, memory and the profile call the installer
// makes. Only what the code calls is declared.
#pragma once

#include "wintypes.h"

// _lopen modes and origins.
#define OF_SHARE_DENY_NONE 64
#define HFILE_ERROR (-1)
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

// CreateFileA.
#define GENERIC_WRITE 0x40000000u
#define OPEN_ALWAYS 4
#define FILE_ATTRIBUTE_NORMAL 0x80u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

// GlobalAlloc / LocalAlloc.
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define LMEM_FIXED 0x0000u

typedef BOOL(WINAPI* GetDiskFreeSpaceExA_t)(LPCSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                                            PULARGE_INTEGER totalFree);

extern "C" {
// Handle-based file calls: -1 on a failed open; reads return the count read.
HFILE WINAPI _lopen(LPCSTR path, int mode);
UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT count);
LONG WINAPI _llseek(HFILE file, LONG offset, int origin);  // new absolute position
HFILE WINAPI _lclose(HFILE file);
HFILE WINAPI _lcreat(LPCSTR path, int attributes);  // creates or truncates
UINT WINAPI _lwrite(HFILE file, LPCCH buffer, UINT count);

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                          DWORD flags, HANDLE templateFile);
DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD written, LPOVERLAPPED overlapped);
BOOL WINAPI CloseHandle(HANDLE object);

// Path queries: the length copied, 0 on failure (or the size needed when the
// buffer is too small).
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size);
DWORD WINAPI GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size);  // 0: no such file
BOOL WINAPI GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector, LPDWORD freeClusters,
                              LPDWORD totalClusters);

HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
BOOL WINAPI FreeLibrary(HMODULE module);

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID WINAPI GlobalLock(HGLOBAL memory);
BOOL WINAPI GlobalUnlock(HGLOBAL memory);
HGLOBAL WINAPI GlobalFree(HGLOBAL memory);
HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL WINAPI LocalFree(HLOCAL memory);

// A file name without a folder names the Windows directory's profile.
BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
UINT WINAPI WinExec(LPCSTR commandLine, UINT show);  // above 31 on success
int WINAPI MulDiv(int number, int numerator, int denominator);
}
