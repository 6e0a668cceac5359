// The launcher's paint: a vertical gradient of 256 bands, a white frame two
// pixels wide and the saver's name in white over a black shadow. Font
// smoothing is switched off around it for the whole system.
#include <stdio.h>

#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "shell/shell.h"
#include "shell/state.h"

#define GRADIENT_BANDS 256
#define TEXT_POINTS 48
#define POINTS_PER_INCH 72
#define SHADOW_OFFSET 2
#define TEXT_FORMAT (DT_NOPREFIX | DT_WORDBREAK)

// 1 when smoothing was on and this call switched it off.
static int fontSmoothingOff() {
  BOOL smoothing = 0;
  if (!SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &smoothing, 0) || !smoothing) return 0;
  return SystemParametersInfoA(SPI_SETFONTSMOOTHING, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != 0;
}

static int channel(COLORREF colour, int shift) { return (int)((colour >> shift) & 0xFF); }

// Each channel moves from start toward end by i/256 of the way, truncated.
static COLORREF bandColour(int band) {
  COLORREF colour = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int s = channel(startColour, shift);
    int e = channel(endColour, shift);
    colour |= (COLORREF)(s + (e - s) * band / GRADIENT_BANDS) << shift;
  }
  return colour;
}

static void paintGradient(HDC dc, int width, int height) {
  for (int band = 0; band < GRADIENT_BANDS; band++) {
    RECT rect = {0, band * height / GRADIENT_BANDS, width + 1, (band + 1) * height / GRADIENT_BANDS};
    HBRUSH brush = CreateSolidBrush(bandColour(band));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
  }
}

static void paintFrame(HDC dc, RECT* rect) {
  HBRUSH white = (HBRUSH)GetStockObject(WHITE_BRUSH);
  FrameRect(dc, rect, white);
  InflateRect(rect, -1, -1);
  FrameRect(dc, rect, white);
}

static void paintName(HDC dc, RECT* rect) {
  char text[PAINT_TEXT_SIZE];
  snprintf(text, sizeof text, "%s Screen Saver", saverName);
  int height = -MulDiv(TEXT_POINTS, GetDeviceCaps(dc, LOGPIXELSY), POINTS_PER_INCH);
  HFONT font = CreateFontA(height, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, 0, "Arial");
  HGDIOBJ previousFont = SelectObject(dc, font);
  int previousMode = SetBkMode(dc, TRANSPARENT);
  COLORREF previousColour = SetTextColor(dc, 0);
  rect->left += GetDeviceCaps(dc, LOGPIXELSX) / 3;
  rect->top += GetDeviceCaps(dc, LOGPIXELSY) / 4;
  DrawTextA(dc, text, -1, rect, TEXT_FORMAT);
  OffsetRect(rect, -SHADOW_OFFSET, -SHADOW_OFFSET);
  SetTextColor(dc, 0x00FFFFFF);
  DrawTextA(dc, text, -1, rect, TEXT_FORMAT);
  SetTextColor(dc, previousColour);
  SetBkMode(dc, previousMode);
  SelectObject(dc, previousFont);
  DeleteObject(font);
}

void paintLauncher(HWND window) {
  int restoreSmoothing = fontSmoothingOff();
  RECT rect;
  GetClientRect(window, &rect);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  paintGradient(dc, rect.right, rect.bottom);
  paintFrame(dc, &rect);
  paintName(dc, &rect);
  EndPaint(window, &paint);
  if (restoreSmoothing) SystemParametersInfoA(SPI_SETFONTSMOOTHING, 1, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}
