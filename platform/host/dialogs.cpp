// Modal dialogs made from the running installer's own templates.
#include "platform/host/ui_internal.h"

namespace ui {

void resetDialogs() {}
void dialogVisibilityChanged(Window&) {}

LRESULT CALLBACK dialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = live(window);
  INT_PTR handled = w && w->dialogProc ? w->dialogProc(window, message, wParam, lParam) : 0;
  if (handled) return handled;
  if (message == WM_PAINT) paintDone(window);
  return 0;
}

LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_PAINT) paintDone(window);
  return 0;
}

}  // namespace ui
