// Basic Win32 types shared by every platform header. Written from the
// platform's documented sizes: on the 32-bit target every handle and pointer
// is 4 bytes, DWORD and LONG are 32 bits.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#define WINAPI __stdcall
#else
#define WINAPI
#endif
#define CALLBACK WINAPI

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef uint16_t ATOM;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef DWORD COLORREF;

typedef char* LPSTR;
typedef const char* LPCSTR;
typedef const char* LPCCH;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* PVOID;
typedef DWORD* LPDWORD;
typedef LONG* PLONG;

typedef void* HANDLE;
typedef int HFILE;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HWND__* HWND;
typedef struct HDC__* HDC;
typedef struct HMENU__* HMENU;
typedef struct HICON__* HICON;
typedef HICON HCURSOR;
typedef void* HGDIOBJ;
typedef struct HBRUSH__* HBRUSH;
typedef struct HFONT__* HFONT;
typedef struct HKEY__* HKEY;
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;
typedef INT_PTR(WINAPI* FARPROC)();

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

typedef struct {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;

typedef struct {
  LONG x;
  LONG y;
} POINT;

typedef struct {
  uint64_t QuadPart;
} ULARGE_INTEGER, *PULARGE_INTEGER;

typedef struct SECURITY_ATTRIBUTES_ SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
typedef struct OVERLAPPED_ OVERLAPPED, *LPOVERLAPPED;

// Checks the 32-bit layouts where they matter: in the Windows build.
#if defined(_WIN32) && !defined(_WIN64)
#define WIN32_LAYOUT(type, size) static_assert(sizeof(type) == (size), #type " layout")
#else
#define WIN32_LAYOUT(type, size) static_assert(sizeof(type) > 0, #type)
#endif

WIN32_LAYOUT(RECT, 16);
WIN32_LAYOUT(ULARGE_INTEGER, 8);
