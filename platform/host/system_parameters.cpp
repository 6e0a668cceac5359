// Cursors, screen metrics and system parameters, from the machine's
// settings; every SystemParametersInfoA call is recorded.
#include <cstring>

#include "platform/host/machine.h"
#include "platform/host/ui_internal.h"

namespace {

struct SystemCursor {
  WORD id;
  uintptr_t handle;  // the shared handle the system gives every process
  const char* name;
};

const SystemCursor systemCursors[] = {
    {32512, 0x00010003, "arrow"}, {32513, 0x00010005, "ibeam"},       {32514, 0x00010007, "wait"},
    {32515, 0x00010009, "cross"}, {32516, 0x0001000B, "uparrow"},     {32648, 0x00010013, "no"},
    {32649, 0x00010015, "hand"},  {32650, 0x00010017, "appstarting"},
};

HCURSOR currentCursorHandle;
std::vector<ui::ParameterCall> calls;

BOOL record(UINT action, UINT param, UINT winIni, BOOL result, long value = 0) {
  calls.push_back({action, param, winIni, result, value});
  return result;
}

LONG coordinate(const std::string& key, size_t index) {
  std::vector<std::string> values = machine::settingList(key);
  return index < values.size() ? (LONG)std::atol(values[index].c_str()) : 0;
}

}  // namespace

namespace ui {

void resetParameters() {
  currentCursorHandle = nullptr;
  calls.clear();
}

std::string cursorName(HCURSOR cursor) {
  for (const SystemCursor& c : systemCursors) {
    if (reinterpret_cast<HCURSOR>(c.handle) == cursor) return c.name;
  }
  return cursor ? "unknown" : "none";
}

std::string currentCursor() { return cursorName(currentCursorHandle); }

const std::vector<ParameterCall>& parameterCalls() { return calls; }

}  // namespace ui

extern "C" {

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance) return nullptr;  // the installer has no cursor resources
  for (const SystemCursor& c : systemCursors) {
    if (reinterpret_cast<LPCSTR>((uintptr_t)c.id) == name) return reinterpret_cast<HCURSOR>(c.handle);
  }
  return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  HCURSOR previous = currentCursorHandle;
  currentCursorHandle = cursor;
  return previous;
}

int WINAPI GetSystemMetrics(int index) {
  if (index == SM_CXSCREEN) return (int)coordinate("screen", 0);
  if (index == SM_CYSCREEN) return (int)coordinate("screen", 1);
  return 0;
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT param, PVOID data, UINT winIni) {
  std::string smoothing = machine::setting("font_smoothing");
  switch (action) {
    case SPI_GETWORKAREA: {
      if (!data) return record(action, param, winIni, FALSE);
      RECT area{coordinate("work_area", 0), coordinate("work_area", 1), coordinate("work_area", 2),
                coordinate("work_area", 3)};
      std::memcpy(data, &area, sizeof area);
      return record(action, param, winIni, TRUE);
    }
    case SPI_GETFONTSMOOTHING: {
      if (!data || smoothing == "broken") return record(action, param, winIni, FALSE);
      BOOL on = smoothing == "on";
      std::memcpy(data, &on, sizeof on);
      return record(action, param, winIni, TRUE, on);
    }
    case SPI_SETFONTSMOOTHING:
      if (smoothing != "broken") machine::changeSetting("font_smoothing", param ? "on" : "off");
      return record(action, param, winIni, TRUE);
    case SPI_SETSCREENSAVEACTIVE:
      machine::saveSetting("screen_saver_active", param ? "yes" : "no");
      return record(action, param, winIni, TRUE);
  }
  return record(action, param, winIni, FALSE);
}

}  // extern "C"
