// The simulated machine's user interface as tests and vrn-machine see it:
// the windows and their state, the message pump, the system parameters that
// were asked or changed, the scripted user and the drawing that was done.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/user32.h"

namespace ui {

// vrn-machine's statuses for a run that cannot go on.
#define RUN_UNANSWERED 121    // a question the answers do not answer
#define RUN_STUCK 122         // the installer waits for a message that cannot come
#define RUN_SCRIPT_ERROR 123  // the answers ask for something the user cannot do

// Thrown out of the installer's calls to end such a run.
struct RunStopped {
  int status;
  std::string reason;
};

// Forgets every window, class, message, timer, recorded call and answer.
void reset();

struct Window {
  HWND handle;
  std::string className;
  std::string text;
  DWORD style;
  DWORD exStyle;
  int id;       // a control's identifier
  HWND parent;  // a child's parent
  HWND owner;   // a top-level window's owner
  RECT rect;    // top-level: screen coordinates; child: its parent's client coordinates
  bool visible;
  bool enabled;
  int dialogId;            // the template a dialog was made from, else 0
  int selectionStart = 0;  // an edit control's selection (EM_SETSEL);
  int selectionEnd = 0;    // a start of -1 means none
  WNDPROC proc = nullptr;
  DLGPROC dialogProc = nullptr;
  bool needsPaint = false;
  bool ended = false;  // a dialog after EndDialog
  bool destroying = false;
  INT_PTR result = 0;
};

std::vector<const Window*> windows();  // live windows in creation order
const Window* window(HWND handle);     // null for a stale handle
const Window* findWindow(const std::string& text);
HWND focus();
bool isVisible(HWND handle);  // the window and all its parents

// Dialog templates by number, in place of the running installer's own.
void useTemplates(std::map<int, std::vector<std::uint8_t>> templates);

// Cursors: the class cursor of a class and the one set last, by name
// ("arrow", "wait", ... or "none").
std::string classCursor(const std::string& className);
std::string currentCursor();
std::string cursorName(HCURSOR cursor);

struct ParameterCall {
  UINT action;
  UINT param;
  UINT winIni;
  BOOL result;
  long value;  // what a query delivered
};
const std::vector<ParameterCall>& parameterCalls();

// Called at the start of every PeekMessageA with the number of calls so far.
void setPumpHook(std::function<void(unsigned long)> hook);
unsigned long pumpCalls();
unsigned long now();  // the virtual clock, in milliseconds

// The scripted user: the answers (see README.md), or questions at the
// terminal. Throws std::runtime_error naming the line of a bad script.
void setAnswers(const std::string& script);
void setInteractive(bool on);
std::vector<std::string> unusedAnswers();

// Drawing.
struct DrawOperation {
  HWND window;
  std::string call;        // "FillRect", "FrameRect", "DrawTextA", "CreateFontA", ...
  std::vector<long> args;  // rectangle, colour and the like, in the call's order
  std::string text;        // DrawTextA's text or CreateFontA's face
};
const std::vector<DrawOperation>& drawOperations();
size_t gdiObjects();  // brushes and fonts made and not yet deleted

struct TextLine {
  int x, y;  // top-left of the line's cell
  int width;
  std::string text;
};
// The lines that the last DrawTextA laid out.
const std::vector<TextLine>& lastTextLines();

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00BBGGRR, row by row
  std::uint32_t at(int x, int y) const { return pixels[(size_t)y * width + x]; }
};
Picture picture(HWND window);  // its client area as drawn so far
const Picture& firstPaint();   // the first top-level window after its first paint
void writePng(const Picture& picture, const std::string& hostFile);

}  // namespace ui
