// GDI32 and USER32's painting calls.
#include "platform/host/ui_internal.h"

namespace ui {

void resetDrawing() {}
void windowGone(HWND) {}

}  // namespace ui

extern "C" {

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}
}
