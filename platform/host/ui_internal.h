// What the simulated user interface's files share among themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/host/ui.h"

namespace ui {

// windows.cpp
void resetWindows();
Window* live(HWND handle);
struct NewWindow {
  DWORD exStyle;
  std::string className;
  std::string text;
  DWORD style;
  RECT rect;  // as Window::rect
  HWND parent;
  int id;
  DLGPROC dialogProc;
  LPVOID createParam;
};
HWND createWindow(const NewWindow& w);  // sends WM_CREATE; null when it fails
LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::vector<Window*> children(HWND parent);
RECT clientRect(const Window& w);
POINT clientOrigin(const Window& w);  // on the screen
void setEnabled(HWND window, bool on);
HWND topLevel(HWND window);
void paintDone(HWND window);  // validates it
void uncover(HWND closing);   // a modal window closed: what it covered repaints

// messages.cpp
void resetQueue();
void dropTimers(HWND window);
void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// system_parameters.cpp
void resetParameters();

// dialogs.cpp
void resetDialogs();
LRESULT CALLBACK dialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK controlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void dialogVisibilityChanged(Window& dialog);
const Window* innermostDialog();  // the open modal dialog that has the user's attention
std::string describeOwner(HWND owner);

// user.cpp
void resetUser();
void actOnDueAnswers();  // at every pump of the queue
bool userActs();         // the queue is idle: true when the user did something
void transcriptLine(const std::string& line);
void transcriptText(const std::string& indent, const std::string& text);

// gdi.cpp
void resetDrawing();
void windowGone(HWND window);

}  // namespace ui
