// USER32's windows and classes on the simulated machine: one thread, one
// table of windows, handles that are never reused so a stale one fails.
#include <strings.h>

#include <algorithm>
#include <map>

#include "platform/host/machine.h"
#include "platform/host/ui_internal.h"

namespace {

struct Class {
  std::string name;
  UINT style;
  WNDPROC proc;
  HCURSOR cursor;
};

std::map<HWND, ui::Window> table;
std::vector<HWND> creationOrder;
std::vector<Class> classes;
HWND focused;
uintptr_t nextHandle;

// Window handles look like the system's: small even numbers, never reused.
const uintptr_t firstHandle = 0x000100A4;
const uintptr_t handleStep = 0x1A;
const ATOM firstAtom = 0xC0A0;  // registered classes' atoms start in the string-atom range

// Frame widths of the classic look at 96 pixels per inch.
const int captionHeight = 18;
const int dialogFrame = 3;
const int sizingFrame = 4;

Class* findClass(const std::string& name) {
  for (Class& c : classes) {
    if (strcasecmp(c.name.c_str(), name.c_str()) == 0) return &c;
  }
  return nullptr;
}

// The system's own classes: the dialog class and the controls.
void registerSystemClasses() {
  classes.push_back({"#32770", 0, ui::dialogWindowProc, LoadCursorA(nullptr, IDC_ARROW)});
  for (const char* name : {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"}) {
    classes.push_back({name, 0, ui::controlWindowProc, LoadCursorA(nullptr, IDC_ARROW)});
  }
}

RECT frameInsets(const ui::Window& w) {
  int edge = 0;
  if (w.style & WS_THICKFRAME) {
    edge = sizingFrame;
  } else if ((w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME)) {
    edge = dialogFrame;
  } else if (w.style & WS_BORDER) {
    edge = 1;
  }
  int caption = (w.style & WS_CAPTION) == WS_CAPTION ? captionHeight : 0;
  return RECT{edge, edge + caption, edge, edge};
}

void destroyTree(HWND handle);

}  // namespace

namespace ui {

Window* live(HWND handle) {
  auto it = table.find(handle);
  return it == table.end() ? nullptr : &it->second;
}

const Window* window(HWND handle) { return live(handle); }

std::vector<const Window*> windows() {
  std::vector<const Window*> list;
  for (HWND h : creationOrder) list.push_back(live(h));
  return list;
}

const Window* findWindow(const std::string& text) {
  for (HWND h : creationOrder) {
    if (live(h)->text == text) return live(h);
  }
  return nullptr;
}

std::vector<Window*> children(HWND parent) {
  std::vector<Window*> list;
  for (HWND h : creationOrder) {
    if (live(h)->parent == parent) list.push_back(live(h));
  }
  return list;
}

HWND focus() { return focused; }

bool isVisible(HWND handle) {
  for (Window* w = live(handle); w; w = live(w->parent)) {
    if (!w->visible) return false;
  }
  return live(handle) != nullptr;
}

HWND topLevel(HWND handle) {
  Window* w = live(handle);
  while (w && w->parent) w = live(w->parent);
  return w ? w->handle : nullptr;
}

RECT clientRect(const Window& w) {
  RECT in = frameInsets(w);
  LONG width = w.rect.right - w.rect.left - in.left - in.right;
  LONG height = w.rect.bottom - w.rect.top - in.top - in.bottom;
  return RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

POINT clientOrigin(const Window& w) {
  RECT in = frameInsets(w);
  POINT at{w.rect.left + in.left, w.rect.top + in.top};
  if (Window* parent = live(w.parent)) {
    POINT base = clientOrigin(*parent);
    at.x += base.x;
    at.y += base.y;
  }
  return at;
}

void setEnabled(HWND handle, bool on) {
  if (Window* w = live(handle)) w->enabled = on;
}

void paintDone(HWND handle) {
  if (Window* w = live(handle)) w->needsPaint = false;
}

void uncover(HWND closing) {
  for (HWND h : creationOrder) {
    Window* w = live(h);
    if (h != closing && !w->parent && w->visible && w->dialogId == 0) w->needsPaint = true;
  }
}

std::string classCursor(const std::string& className) {
  Class* c = findClass(className);
  return cursorName(c ? c->cursor : nullptr);
}

LRESULT send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = live(handle);
  if (!w || !w->proc) return 0;
  return w->proc(handle, message, wParam, lParam);
}

HWND createWindow(const NewWindow& n) {
  Class* c = findClass(n.className);
  if (!c) return nullptr;
  HWND handle = reinterpret_cast<HWND>(nextHandle);
  nextHandle += handleStep;
  Window w{handle, c->name, n.text, n.style, n.exStyle, n.id, nullptr, nullptr, n.rect, false, !(n.style & WS_DISABLED),
           0};
  if (n.style & WS_CHILD) {
    w.parent = n.parent;
  } else {
    w.owner = topLevel(n.parent);
  }
  w.proc = c->proc;
  w.dialogProc = n.dialogProc;
  table[handle] = w;
  creationOrder.push_back(handle);
  CREATESTRUCTA create{n.createParam,
                       nullptr,
                       nullptr,
                       n.parent,
                       (int)(n.rect.bottom - n.rect.top),
                       (int)(n.rect.right - n.rect.left),
                       (int)n.rect.top,
                       (int)n.rect.left,
                       (LONG)n.style,
                       n.text.c_str(),
                       c->name.c_str(),
                       n.exStyle};
  if (send(handle, WM_CREATE, 0, (LPARAM)&create) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if ((n.style & WS_VISIBLE) && live(handle)) ShowWindow(handle, SW_SHOW);
  return live(handle) ? handle : nullptr;
}

void resetWindows() {
  table.clear();
  creationOrder.clear();
  classes.clear();
  registerSystemClasses();
  focused = nullptr;
  nextHandle = firstHandle;
}

void reset() {
  resetWindows();
  resetQueue();
  resetParameters();
  resetDialogs();
  resetUser();
  resetDrawing();
}

}  // namespace ui

namespace {

void destroyTree(HWND handle) {
  ui::Window* w = ui::live(handle);
  if (!w || w->destroying) return;
  w->destroying = true;
  for (HWND h : std::vector<HWND>(creationOrder)) {
    ui::Window* owned = ui::live(h);
    if (owned && owned->owner == handle) destroyTree(h);
  }
  ui::send(handle, WM_DESTROY, 0, 0);
  for (ui::Window* child : ui::children(handle)) destroyTree(child->handle);
  if (focused == handle) focused = nullptr;
  ui::windowGone(handle);
  ui::dropTimers(handle);
  table.erase(handle);
  creationOrder.erase(std::remove(creationOrder.begin(), creationOrder.end(), handle), creationOrder.end());
}

}  // namespace

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
  static ATOM nextAtom = firstAtom;
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || findClass(wc->lpszClassName)) return 0;
  classes.push_back({wc->lpszClassName, wc->style, wc->lpfnWndProc, wc->hCursor});
  return nextAtom++;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE, LPVOID param) {
  if (!className || ((style & WS_CHILD) && !ui::live(parent))) return nullptr;
  ui::NewWindow n{
      exStyle, className, title ? title : "", style, RECT{x, y, x + width, y + height}, parent, (int)(intptr_t)menu,
      nullptr, param};
  return ui::createWindow(n);
}

BOOL WINAPI DestroyWindow(HWND window) {
  if (!ui::live(window)) return FALSE;
  destroyTree(window);
  return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
  ui::Window* w = ui::live(window);
  if (!w) return FALSE;
  bool was = w->visible;
  w->visible = command != SW_HIDE;
  if (w->visible && !was) w->needsPaint = true;
  if (w->visible != was && w->dialogId) ui::dialogVisibilityChanged(*w);
  return was;
}

BOOL WINAPI UpdateWindow(HWND window) {
  ui::Window* w = ui::live(window);
  if (!w) return FALSE;
  if (w->needsPaint && ui::isVisible(window)) ui::send(window, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  ui::Window* w = ui::live(window);
  if (!w) return FALSE;
  w->text = text ? text : "";
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
  ui::Window* w = ui::live(window);
  if (!w || !rect) return FALSE;
  *rect = w->rect;
  if (ui::Window* parent = ui::live(w->parent)) {
    POINT at = ui::clientOrigin(*parent);
    OffsetRect(rect, at.x, at.y);
  }
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
  ui::Window* w = ui::live(window);
  if (!w || !rect) return FALSE;
  *rect = ui::clientRect(*w);
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  ui::Window* w = ui::live(window);
  if (!w) return FALSE;
  bool resized = width != w->rect.right - w->rect.left || height != w->rect.bottom - w->rect.top;
  w->rect = RECT{x, y, x + width, y + height};
  Class* c = findClass(w->className);
  if (repaint || (resized && c && (c->style & (CS_HREDRAW | CS_VREDRAW)))) w->needsPaint = true;
  return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow(window);
  if (message == WM_PAINT) ui::paintDone(window);
  return 0;
}

DWORD WINAPI SetClassLongA(HWND window, int index, LONG value) {
  ui::Window* w = ui::live(window);
  Class* c = w ? findClass(w->className) : nullptr;
  if (!c || index != GCL_HCURSOR) return 0;
  DWORD previous = (DWORD)(uintptr_t)c->cursor;
  c->cursor = reinterpret_cast<HCURSOR>((uintptr_t)(DWORD)value);
  return previous;
}

HWND WINAPI SetFocus(HWND window) {
  if (window && !ui::live(window)) return nullptr;
  HWND previous = focused;
  focused = window;
  return previous;
}

}  // extern "C"
