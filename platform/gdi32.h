// GDI32: the brushes, font and text attributes of the launcher's paint.
#pragma once

#include "wintypes.h"

#define WHITE_BRUSH 0
#define TRANSPARENT 1
#define OPAQUE 2
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define FW_DONTCARE 0
#define ANSI_CHARSET 0
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0

extern "C" {
HBRUSH WINAPI CreateSolidBrush(COLORREF colour);
BOOL WINAPI DeleteObject(HGDIOBJ object);
HGDIOBJ WINAPI GetStockObject(int index);
HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);    // the previous object
int WINAPI SetBkMode(HDC dc, int mode);                 // the previous mode
COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour);  // the previous colour
int WINAPI GetDeviceCaps(HDC dc, int index);
}
