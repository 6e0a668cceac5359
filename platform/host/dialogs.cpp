// Modal dialogs made from the running installer's own templates, and the
// dialog manager's keyboard: Enter, Escape, Tab and Space.
#include <algorithm>
#include <map>
#include <stdexcept>

#include "platform/host/machine.h"
#include "platform/host/ui_internal.h"
#include "platform/kernel32.h"
#include "tools/common/dialog_template.h"
#include "tools/common/pe_image.h"

namespace {

const char* const dialogClass = "#32770";
const char* const dialogResourceType = "#5";  // RT_DIALOG
const uint16_t templateLanguage = 1033;

// Dialog base units of 8-point "MS Sans Serif", and of the system font for
// templates without a font, at 96 pixels per inch.
const int fontBaseX = 6, fontBaseY = 13;
const int systemBaseX = 8, systemBaseY = 16;
const int referenceDpi = 96;

std::vector<HWND> modal;  // open modal dialogs, innermost last
std::map<int, std::vector<uint8_t>> givenTemplates;

std::string resourceName(LPCSTR name) {
  uintptr_t value = reinterpret_cast<uintptr_t>(name);
  return value <= 0xFFFF ? "#" + std::to_string(value) : std::string(name);
}

// The template from the running installer's file; throws when it has none.
dlg::Template loadTemplate(LPCSTR name) {
  if (!givenTemplates.empty()) {
    auto it = givenTemplates.find((int)reinterpret_cast<uintptr_t>(name));
    if (it == givenTemplates.end()) throw std::runtime_error("no such template");
    return dlg::parse(it->second);
  }
  pe::Image image = pe::parse(pe::readFile(machine::hostPath(machine::modulePath())));
  std::string wanted = resourceName(name);
  for (const pe::Resource& r : image.resources) {
    if (r.type != dialogResourceType || r.name != wanted || r.language != templateLanguage) continue;
    if (r.fileOffset > image.bytes.size() || r.size > image.bytes.size() - r.fileOffset) break;
    return dlg::parse(
        std::vector<uint8_t>(image.bytes.begin() + r.fileOffset, image.bytes.begin() + r.fileOffset + r.size));
  }
  throw std::runtime_error("no dialog " + wanted);
}

struct Units {
  int baseX, baseY;
  LONG x(int v) const { return MulDiv(v, baseX, 4); }
  LONG y(int v) const { return MulDiv(v, baseY, 8); }
};

Units unitsOf(const dlg::Template& t) {
  int dpi = (int)machine::settingNumber("dpi");
  bool font = (t.style & DS_SETFONT) != 0;
  return Units{MulDiv(font ? fontBaseX : systemBaseX, dpi, referenceDpi),
               MulDiv(font ? fontBaseY : systemBaseY, dpi, referenceDpi)};
}

// Where the dialog's window goes: centred in the work area with DS_CENTER,
// else at the template's position in its owner's client area.
RECT dialogRect(const dlg::Template& t, const Units& u, HWND owner, DWORD exStyle) {
  ui::Window probe{};
  probe.style = t.style;
  probe.exStyle = exStyle;
  probe.rect = RECT{0, 0, 1000, 1000};
  RECT client = ui::clientRect(probe);
  LONG width = u.x(t.cx) + 1000 - client.right, height = u.y(t.cy) + 1000 - client.bottom;
  POINT at{u.x(t.x), u.y(t.y)};
  if (t.style & DS_CENTER) {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    at = POINT{area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
  } else if (const ui::Window* o = ui::live(owner)) {
    POINT base = ui::clientOrigin(*o);
    at.x += base.x;
    at.y += base.y;
  }
  return RECT{at.x, at.y, at.x + width, at.y + height};
}

HWND createControls(HWND dialog, const dlg::Template& t, const Units& u) {
  HWND firstTabStop = nullptr;
  for (const dlg::Item& item : t.items) {
    RECT r{u.x(item.x), u.y(item.y), u.x(item.x + item.cx), u.y(item.y + item.cy)};
    ui::NewWindow n{item.exStyle,     item.windowClass, item.text, item.style | WS_CHILD, r, dialog,
                    (int16_t)item.id, nullptr,          nullptr};
    HWND control = ui::createWindow(n);
    if (!firstTabStop && control && (item.style & WS_TABSTOP) && !(item.style & WS_DISABLED)) firstTabStop = control;
  }
  return firstTabStop;
}

bool isClass(const ui::Window* w, const char* name) { return w && w->className == name; }

bool isPushButton(const ui::Window* w) { return isClass(w, "Button") && (w->style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON; }

// Focus as the dialog manager gives it: an edit control gets all its text selected.
void focusControl(HWND control) {
  SetFocus(control);
  if (isClass(ui::live(control), "Edit")) ui::send(control, EM_SETSEL, 0, -1);
}

void pressButton(HWND dialog, int id) {
  ui::send(dialog, WM_COMMAND, (WPARAM)(WORD)id | (WPARAM)BN_CLICKED << 16, (LPARAM)GetDlgItem(dialog, id));
}

int defaultButton(HWND dialog) {
  for (ui::Window* c : ui::children(dialog)) {
    if (isPushButton(c) && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return c->id;
  }
  return IDOK;
}

void nextTabStop(HWND dialog) {
  std::vector<ui::Window*> stops;
  for (ui::Window* c : ui::children(dialog)) {
    if ((c->style & WS_TABSTOP) && c->visible && c->enabled) stops.push_back(c);
  }
  if (stops.empty()) return;
  auto at = std::find_if(stops.begin(), stops.end(), [](ui::Window* c) { return c->handle == ui::focus(); });
  focusControl(at == stops.end() || at + 1 == stops.end() ? stops.front()->handle : (*(at + 1))->handle);
}

bool handleKey(HWND dialog, const MSG& msg) {
  const ui::Window* focused = ui::live(ui::focus());
  switch (msg.wParam) {
    case VK_RETURN:
      if (isClass(focused, "Edit") && (focused->style & ES_WANTRETURN)) return false;
      pressButton(dialog, isPushButton(focused) ? focused->id : defaultButton(dialog));
      return true;
    case VK_ESCAPE:
      pressButton(dialog, IDCANCEL);
      return true;
    case VK_TAB:
      nextTabStop(dialog);
      return true;
    case VK_SPACE:
      if (!isPushButton(focused)) return false;
      pressButton(dialog, focused->id);
      return true;
  }
  return false;
}

std::string controlKind(const ui::Window& c) {
  if (isPushButton(&c)) return (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? "default button" : "button";
  std::string kind = c.className;
  std::transform(kind.begin(), kind.end(), kind.begin(), [](unsigned char ch) { return (char)std::tolower(ch); });
  return kind;
}

void transcribeDialog(const ui::Window& d) {
  ui::transcriptLine("dialog " + std::to_string(d.dialogId) + " \"" + d.text + "\" " +
                     (d.visible ? "shown" : "kept hidden") + ", owner " + ui::describeOwner(d.owner));
  for (const ui::Window* c : ui::children(d.handle)) {
    std::string line = "  " + controlKind(*c) + " " + std::to_string(c->id) + (c->visible ? "" : " (hidden)");
    if (c->text.find_first_of("\r\n") == std::string::npos) {
      ui::transcriptLine(line + " \"" + c->text + "\"");
    } else {
      ui::transcriptLine(line);
      ui::transcriptText("    ", c->text);
    }
  }
}

// Makes the dialog and its controls and sends WM_INITDIALOG; the dialog is
// shown when its template asks for it or its procedure shows it.
HWND openDialog(const dlg::Template& t, int id, HWND owner, DLGPROC proc, LPARAM param) {
  Units u = unitsOf(t);
  DWORD exStyle = t.exStyle | ((t.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
  ui::NewWindow n{exStyle,
                  t.windowClass.empty() ? dialogClass : t.windowClass,
                  t.caption,
                  t.style & ~WS_VISIBLE,
                  dialogRect(t, u, owner, exStyle),
                  owner,
                  0,
                  nullptr,
                  nullptr};
  HWND dialog = ui::createWindow(n);
  if (!dialog) return nullptr;
  HWND firstTabStop = createControls(dialog, t, u);
  ui::live(dialog)->dialogProc = proc;
  ui::live(dialog)->dialogId = id;
  if (ui::send(dialog, WM_INITDIALOG, (WPARAM)firstTabStop, param) && firstTabStop) focusControl(firstTabStop);
  ui::Window* d = ui::live(dialog);
  if (!d) return nullptr;
  if ((t.style & WS_VISIBLE) && !d->visible) ShowWindow(dialog, SW_SHOW);
  transcribeDialog(*d);
  return dialog;
}

INT_PTR runModalLoop(HWND dialog) {
  MSG msg;
  while (ui::live(dialog) && !ui::live(dialog)->ended) {
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      PostQuitMessage((int)msg.wParam);
      break;
    }
    if (!IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  const ui::Window* d = ui::live(dialog);
  return d && d->ended ? d->result : 0;
}

}  // namespace

namespace ui {

void resetDialogs() {
  modal.clear();
  givenTemplates.clear();
}

void useTemplates(std::map<int, std::vector<uint8_t>> templates) { givenTemplates = std::move(templates); }

const Window* innermostDialog() { return modal.empty() ? nullptr : live(modal.back()); }

// Changes while it opens show in the dialog's own transcript lines.
void dialogVisibilityChanged(Window& dialog) {
  if (std::find(modal.begin(), modal.end(), dialog.handle) != modal.end() && !dialog.ended) {
    transcriptLine("dialog " + std::to_string(dialog.dialogId) + (dialog.visible ? " shown" : " hidden"));
  }
}

std::string describeOwner(HWND owner) {
  const Window* o = live(owner);
  if (!o) return "none";
  if (o->dialogId) return "dialog " + std::to_string(o->dialogId);
  return "window \"" + o->text + "\"";
}

LRESULT CALLBACK dialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = live(window);
  INT_PTR handled = w && w->dialogProc ? w->dialogProc(window, message, wParam, lParam) : 0;
  if (handled) return handled;
  if (message == WM_PAINT) paintDone(window);
  if (message == WM_CLOSE) {
    const Window* cancel = live(GetDlgItem(window, IDCANCEL));
    if (!cancel || cancel->enabled) {
      PostMessageA(window, WM_COMMAND, IDCANCEL | (WPARAM)BN_CLICKED << 16, (LPARAM)GetDlgItem(window, IDCANCEL));
    }
  }
  return 0;
}

LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = live(window);
  if (!w) return 0;
  if (message == WM_PAINT) paintDone(window);
  if (message == EM_SETSEL && w->className == "Edit") {
    int length = (int)w->text.size();
    int start = (int)wParam, end = (int)lParam;
    if (start == -1) {
      w->selectionStart = w->selectionEnd = -1;
    } else {
      if (end < 0 || end > length) end = length;
      start = std::min(start, length);
      w->selectionStart = std::min(start, end);
      w->selectionEnd = std::max(start, end);
    }
  }
  return 0;
}

}  // namespace ui

extern "C" {

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  dlg::Template t;
  try {
    t = loadTemplate(name);
  } catch (const std::exception&) {
    return -1;
  }
  bool ownerWasEnabled = ui::live(owner) && ui::live(owner)->enabled;
  if (ownerWasEnabled) ui::setEnabled(owner, false);
  HWND dialog = openDialog(t, (int)reinterpret_cast<uintptr_t>(name), owner, proc, param);
  INT_PTR result = -1;
  if (dialog) {
    modal.push_back(dialog);
    result = runModalLoop(dialog);
    modal.pop_back();
    ui::transcriptLine("dialog " + std::to_string((int)reinterpret_cast<uintptr_t>(name)) + " ended with " +
                       std::to_string(result));
    DestroyWindow(dialog);
  }
  if (ownerWasEnabled) ui::setEnabled(owner, true);
  if (ui::live(owner)) SetFocus(owner);
  ui::uncover(dialog);
  return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
  ui::Window* d = ui::live(dialog);
  if (!d || !d->dialogId) return FALSE;
  d->ended = true;
  d->result = result;
  d->visible = false;
  return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  for (ui::Window* c : ui::children(dialog)) {
    if ((WORD)c->id == (WORD)id) return c->handle;
  }
  return nullptr;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) { return SetWindowTextA(GetDlgItem(dialog, id), text); }

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
  if (!msg || !ui::live(dialog)) return FALSE;
  if (!msg->hwnd || ui::topLevel(msg->hwnd) != dialog) return FALSE;
  if (msg->message == WM_KEYDOWN && handleKey(dialog, *msg)) return TRUE;
  TranslateMessage(msg);
  DispatchMessageA(msg);
  return TRUE;
}

}  // extern "C"
