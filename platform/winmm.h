// WINMM: the media control interface, used only to open and close a file.
#pragma once

#include "wintypes.h"

typedef DWORD MCIERROR;
typedef UINT MCIDEVICEID;

typedef struct {
  DWORD_PTR dwCallback;
  MCIDEVICEID wDeviceID;
  LPCSTR lpstrDeviceType;
  LPCSTR lpstrElementName;
  LPCSTR lpstrAlias;
} MCI_OPEN_PARMSA;

typedef struct {
  DWORD_PTR dwCallback;
} MCI_GENERIC_PARMS;

WIN32_LAYOUT(MCI_OPEN_PARMSA, 20);
WIN32_LAYOUT(MCI_GENERIC_PARMS, 4);

#define MCI_OPEN 0x0803
#define MCI_CLOSE 0x0804
#define MCI_OPEN_TYPE 0x00002000u
#define MCI_OPEN_ELEMENT 0x00000200u

extern "C" {
MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params);  // 0: success
}
