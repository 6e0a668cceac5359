// The thread's message queue and timers, in virtual time: when the queue is
// idle the clock jumps to the next timer, so a one-second timer costs nothing.
#include <algorithm>
#include <deque>
#include <functional>

#include "platform/host/ui_internal.h"

namespace {

struct Timer {
  HWND window;
  UINT_PTR id;
  UINT period;
  unsigned long due;
  TIMERPROC proc;
};

std::deque<MSG> posted;
std::vector<Timer> timers;
bool quitPosted;
int quitCode;
unsigned long virtualClock;
unsigned long peeks;
std::function<void(unsigned long)> pumpHook;
UINT_PTR nextTimerId;

// Timers alone may keep a waiting loop busy; past this many virtual hours
// with nothing else to do the run counts as stuck.
const unsigned long idleLimit = 24ul * 3600 * 1000;
const UINT_PTR firstTimerId = 0x7FEB;  // ids of window-less timers
const UINT minimumPeriod = 10;         // the system's USER_TIMER_MINIMUM

bool forWindow(HWND message, HWND filter) {
  if (!filter) return true;
  for (HWND h = message; h; h = ui::live(h) ? ui::live(h)->parent : nullptr) {
    if (h == filter) return true;
  }
  return false;
}

bool inRange(UINT message, UINT low, UINT high) {
  return (low == 0 && high == 0) || (message >= low && message <= high);
}

MSG make(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{window, message, wParam, lParam, (DWORD)virtualClock, POINT{0, 0}};
}

bool takePosted(MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
  for (auto it = posted.begin(); it != posted.end(); ++it) {
    if (!forWindow(it->hwnd, filter) || !inRange(it->message, low, high)) continue;
    *msg = *it;
    if (remove) posted.erase(it);
    return true;
  }
  return false;
}

bool takePaint(MSG* msg, HWND filter, UINT low, UINT high) {
  if (!inRange(WM_PAINT, low, high)) return false;
  for (const ui::Window* w : ui::windows()) {
    if (w->needsPaint && ui::isVisible(w->handle) && forWindow(w->handle, filter)) {
      *msg = make(w->handle, WM_PAINT, 0, 0);
      return true;
    }
  }
  return false;
}

bool takeTimer(MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
  if (!inRange(WM_TIMER, low, high)) return false;
  for (Timer& t : timers) {
    if (t.due > virtualClock || !forWindow(t.window, filter)) continue;
    *msg = make(t.window, WM_TIMER, t.id, (LPARAM)t.proc);
    if (remove) t.due = virtualClock + t.period;
    return true;
  }
  return false;
}

// The order the system keeps: posted messages, the quit message, paints, timers.
bool take(MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
  if (takePosted(msg, filter, low, high, remove)) return true;
  if (quitPosted && !filter) {
    *msg = make(nullptr, WM_QUIT, (WPARAM)quitCode, 0);
    if (remove) quitPosted = false;
    return true;
  }
  return takePaint(msg, filter, low, high) || takeTimer(msg, filter, low, high, remove);
}

bool advanceToNextTimer(HWND filter) {
  const Timer* next = nullptr;
  for (const Timer& t : timers) {
    if (forWindow(t.window, filter) && (!next || t.due < next->due)) next = &t;
  }
  if (!next) return false;
  virtualClock = std::max(virtualClock, next->due);
  return true;
}

[[noreturn]] void stuck(const char* why) { throw ui::RunStopped{RUN_STUCK, why}; }

}  // namespace

namespace ui {

void resetQueue() {
  posted.clear();
  timers.clear();
  quitPosted = false;
  quitCode = 0;
  virtualClock = 0;
  peeks = 0;
  pumpHook = nullptr;
  nextTimerId = firstTimerId;
}

void dropTimers(HWND window) {
  timers.erase(std::remove_if(timers.begin(), timers.end(), [window](const Timer& t) { return t.window == window; }),
               timers.end());
}

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  posted.push_back(make(window, message, wParam, lParam));
}

void setPumpHook(std::function<void(unsigned long)> hook) { pumpHook = std::move(hook); }
unsigned long pumpCalls() { return peeks; }
unsigned long now() { return virtualClock; }

}  // namespace ui

extern "C" {

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && !ui::live(window)) return FALSE;
  ui::post(window, message, wParam, lParam);
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT low, UINT high) {
  unsigned long idleSince = virtualClock;
  for (;;) {
    ui::actOnDueAnswers();
    if (take(msg, window, low, high, true)) return msg->message != WM_QUIT;
    if (advanceToNextTimer(window)) {
      if (virtualClock - idleSince > idleLimit) stuck("only timers run, and nothing else can happen");
      continue;
    }
    if (!ui::userActs()) stuck("the installer waits for a message that nothing can send");
  }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT low, UINT high, UINT remove) {
  ++peeks;
  if (pumpHook) pumpHook(peeks);
  ui::actOnDueAnswers();
  return take(msg, window, low, high, (remove & PM_REMOVE) != 0);
}

BOOL WINAPI TranslateMessage(const MSG* msg) { return msg && msg->message == WM_KEYDOWN; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  return ui::send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) {
  if (window && !ui::live(window)) return 0;
  if (!window) id = nextTimerId++;
  UINT period = std::max(milliseconds, minimumPeriod);
  KillTimer(window, id);
  timers.push_back(Timer{window, id, period, virtualClock + period, proc});
  return window ? 1 : id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
  size_t before = timers.size();
  timers.erase(
      std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; }),
      timers.end());
  return timers.size() != before;
}

}  // extern "C"
