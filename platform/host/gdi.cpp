// GDI32 and USER32's painting calls: every call is recorded, and drawing
// lands in a picture of each window's client area.
#include <cstring>
#include <map>

#include "platform/gdi32.h"
#include "platform/host/machine.h"
#include "platform/host/text.h"
#include "platform/host/ui_internal.h"

namespace {

struct Object {
  enum Kind { Brush, Font } kind;
  COLORREF colour;
  ui::FontSpec font;
};

struct DeviceContext {
  HWND window;
  HGDIOBJ font;
  HGDIOBJ brush;
  int bkMode;
  COLORREF textColour;
  COLORREF bkColour;
};

// Handles in the ranges the system gives each kind; stock objects are fixed.
const uintptr_t whiteBrush = 0x01900010, systemFont = 0x018A0023;
const uintptr_t firstObject = 0x0A100040, firstDc = 0x01010050, handleStep = 4;

std::map<HGDIOBJ, Object> objects;
std::map<HDC, DeviceContext> contexts;
std::map<HWND, ui::Picture> pictures;
std::vector<ui::DrawOperation> operations;
std::vector<ui::TextLine> textLines;
ui::Picture firstPicture;
bool painted;
uintptr_t nextObject, nextDc;

HGDIOBJ handle(uintptr_t value) { return reinterpret_cast<HGDIOBJ>(value); }

void record(HWND window, const char* call, std::vector<long> args, const std::string& text = std::string()) {
  operations.push_back({window, call, std::move(args), text});
}

HGDIOBJ addObject(const Object& o) {
  HGDIOBJ h = handle(nextObject);
  nextObject += handleStep;
  objects[h] = o;
  return h;
}

const Object* objectOf(HGDIOBJ h) {
  auto it = objects.find(h);
  return it == objects.end() ? nullptr : &it->second;
}

DeviceContext* contextOf(HDC dc) {
  auto it = contexts.find(dc);
  return it == contexts.end() ? nullptr : &it->second;
}

ui::Picture& pictureOf(HWND window) {
  RECT client = ui::clientRect(*ui::live(window));
  ui::Picture& p = pictures[window];
  if (p.width != client.right || p.height != client.bottom) {
    p.width = client.right;
    p.height = client.bottom;
    p.pixels.assign((size_t)p.width * p.height, 0);
  }
  return p;
}

void fill(ui::Picture& p, RECT r, COLORREF colour) {
  colour &= 0x00FFFFFF;
  for (LONG y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, p.height); y++) {
    for (LONG x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, p.width); x++) {
      p.pixels[(size_t)y * p.width + x] = colour;
    }
  }
}

// The brush's colour, or false for what is not a brush.
bool brushColour(HBRUSH brush, COLORREF* colour) {
  const Object* o = objectOf(brush);
  if (!o || o->kind != Object::Brush) return false;
  *colour = o->colour;
  return true;
}

ui::FontSpec fontOf(const DeviceContext& dc) {
  const Object* o = objectOf(dc.font);
  return o && o->kind == Object::Font ? o->font : ui::FontSpec{0, 0};
}

std::string withoutPrefixes(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] == '&' && i + 1 < text.size()) i++;
    out += text[i];
  }
  return out;
}

}  // namespace

namespace ui {

void resetDrawing() {
  objects.clear();
  objects[handle(whiteBrush)] = Object{Object::Brush, 0x00FFFFFF, {}};
  objects[handle(systemFont)] = Object{Object::Font, 0, FontSpec{0, 0}};
  contexts.clear();
  pictures.clear();
  operations.clear();
  textLines.clear();
  firstPicture = Picture();
  painted = false;
  nextObject = firstObject;
  nextDc = firstDc;
}

void windowGone(HWND window) { pictures.erase(window); }

const std::vector<DrawOperation>& drawOperations() { return operations; }
const std::vector<TextLine>& lastTextLines() { return textLines; }
const Picture& firstPaint() { return firstPicture; }

Picture picture(HWND window) {
  auto it = pictures.find(window);
  return it == pictures.end() ? Picture() : it->second;
}

size_t gdiObjects() { return objects.size() - 2; }

}  // namespace ui

extern "C" {

HBRUSH WINAPI CreateSolidBrush(COLORREF colour) {
  record(nullptr, "CreateSolidBrush", {(long)colour});
  return static_cast<HBRUSH>(addObject(Object{Object::Brush, colour, {}}));
}

HGDIOBJ WINAPI GetStockObject(int index) { return index == WHITE_BRUSH ? handle(whiteBrush) : nullptr; }

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  record(nullptr, "CreateFontA",
         {height, width, escapement, orientation, weight, (long)italic, (long)underline, (long)strikeOut, (long)charSet,
          (long)outPrecision, (long)clipPrecision, (long)quality, (long)pitchAndFamily},
         face ? face : "");
  return static_cast<HFONT>(addObject(Object{Object::Font, 0, ui::FontSpec{height, weight}}));
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  if (!objectOf(object)) return FALSE;
  if (object != handle(whiteBrush) && object != handle(systemFont)) objects.erase(object);
  record(nullptr, "DeleteObject", {});
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  DeviceContext* c = contextOf(dc);
  const Object* o = objectOf(object);
  if (!c || !o) return nullptr;
  HGDIOBJ& slot = o->kind == Object::Font ? c->font : c->brush;
  HGDIOBJ previous = slot;
  slot = object;
  return previous;
}

int WINAPI SetBkMode(HDC dc, int mode) {
  DeviceContext* c = contextOf(dc);
  if (!c) return 0;
  record(c->window, "SetBkMode", {mode});
  int previous = c->bkMode;
  c->bkMode = mode;
  return previous;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
  DeviceContext* c = contextOf(dc);
  if (!c) return 0xFFFFFFFFu;  // CLR_INVALID
  record(c->window, "SetTextColor", {(long)colour});
  COLORREF previous = c->textColour;
  c->textColour = colour;
  return previous;
}

int WINAPI GetDeviceCaps(HDC, int index) {
  if (index == LOGPIXELSX || index == LOGPIXELSY) return (int)machine::settingNumber("dpi");
  return 0;
}

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  ui::Window* w = ui::live(window);
  if (!w || !paint) return nullptr;
  HDC dc = reinterpret_cast<HDC>(nextDc);
  nextDc += handleStep;
  contexts[dc] = DeviceContext{window, handle(systemFont), handle(whiteBrush), OPAQUE, 0, 0x00FFFFFF};
  std::memset(paint, 0, sizeof *paint);
  paint->hdc = dc;
  paint->rcPaint = ui::clientRect(*w);
  pictureOf(window);
  ui::paintDone(window);
  record(window, "BeginPaint", {});
  return dc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (!paint || !contexts.erase(paint->hdc)) return FALSE;
  record(window, "EndPaint", {});
  ui::Window* w = ui::live(window);
  if (!painted && w && !w->parent && !w->dialogId) {
    painted = true;
    firstPicture = pictures[window];
  }
  return TRUE;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  DeviceContext* c = contextOf(dc);
  COLORREF colour;
  if (!c || !rect || !brushColour(brush, &colour)) return 0;
  record(c->window, "FillRect", {rect->left, rect->top, rect->right, rect->bottom, (long)colour});
  fill(pictureOf(c->window), *rect, colour);
  return 1;
}

int WINAPI FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  DeviceContext* c = contextOf(dc);
  COLORREF colour;
  if (!c || !rect || !brushColour(brush, &colour)) return 0;
  record(c->window, "FrameRect", {rect->left, rect->top, rect->right, rect->bottom, (long)colour});
  ui::Picture& p = pictureOf(c->window);
  const RECT& r = *rect;
  if (r.right <= r.left || r.bottom <= r.top) return 1;
  fill(p, RECT{r.left, r.top, r.right, r.top + 1}, colour);
  fill(p, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour);
  fill(p, RECT{r.left, r.top, r.left + 1, r.bottom}, colour);
  fill(p, RECT{r.right - 1, r.top, r.right, r.bottom}, colour);
  return 1;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left -= dx;
  rect->right += dx;
  rect->top -= dy;
  rect->bottom += dy;
  return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

int WINAPI DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
  DeviceContext* c = contextOf(dc);
  if (!c || !text || !rect) return 0;
  std::string s = length < 0 ? std::string(text) : std::string(text, (size_t)length);
  record(c->window, "DrawTextA", {rect->left, rect->top, rect->right, rect->bottom, (long)format}, s);
  if (!(format & DT_NOPREFIX)) s = withoutPrefixes(s);
  ui::FontSpec font = fontOf(*c);
  int lineHeight = ui::metricsOf(font).lineHeight();
  int width = rect->right - rect->left;
  textLines.clear();
  int y = rect->top, widest = 0;
  for (const std::string& line : ui::breakLines(font, s, format, width)) {
    int w = ui::textWidth(font, line);
    int x = format & DT_CENTER ? rect->left + (width - w) / 2 : format & DT_RIGHT ? rect->right - w : rect->left;
    textLines.push_back({x, y, w, line});
    widest = std::max(widest, w);
    y += lineHeight;
  }
  if (format & DT_CALCRECT) {
    rect->right = rect->left + widest;
    rect->bottom = y;
    return y - rect->top;
  }
  ui::Picture& p = pictureOf(c->window);
  RECT clip = format & DT_NOCLIP ? RECT{0, 0, p.width, p.height} : *rect;
  bool smooth = machine::setting("font_smoothing") == "on";
  for (const ui::TextLine& line : textLines) {
    if (c->bkMode == OPAQUE) {
      RECT cell{std::max(line.x, (int)clip.left), std::max(line.y, (int)clip.top),
                std::min(line.x + line.width, (int)clip.right), std::min(line.y + lineHeight, (int)clip.bottom)};
      fill(p, cell, c->bkColour);
    }
    ui::drawLine(p, font, line.text, line.x, line.y, c->textColour, clip, smooth);
  }
  return y - rect->top;
}

}  // extern "C"
