// SHELL32: starting a program or a document by its registered verb, and the
// folder query that SHFOLDER.DLL exports (looked up at run time only).
#pragma once

#include "wintypes.h"

typedef struct {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb;
  LPCSTR lpFile;
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;
  void* lpIDList;
  LPCSTR lpClass;
  HKEY hkeyClass;
  DWORD dwHotKey;
  HANDLE hIcon;
  HANDLE hProcess;
} SHELLEXECUTEINFOA;

WIN32_LAYOUT(SHELLEXECUTEINFOA, 60);

#define CSIDL_COMMON_APPDATA 0x0023
#define SHGFP_TYPE_CURRENT 0

typedef HRESULT(WINAPI* SHGetFolderPathA_t)(HWND owner, int folder, HANDLE token, DWORD flags, LPSTR path);

extern "C" {
BOOL WINAPI ShellExecuteExA(SHELLEXECUTEINFOA* info);
}
