// The simulated message queue, windows, timers and system parameters.
#include <gtest/gtest.h>

#include "platform/host/machine.h"
#include "platform/host/ui.h"
#include "tests/support.h"

namespace {

std::vector<std::pair<HWND, UINT>> received;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back({window, message});
  if (message == WM_CREATE) SetTimer(window, 1000, 1000, nullptr);
  if (message == WM_DESTROY && !ui::window(window)->parent) PostQuitMessage(7);
  return DefWindowProcA(window, message, wParam, lParam);
}

class UiQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    test::freshMachine();
    ui::reset();
    received.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = "TestClass";
    wc.hCursor = LoadCursorA(nullptr, IDC_WAIT);
    ASSERT_NE(RegisterClassA(&wc), 0);
    ASSERT_EQ(RegisterClassA(&wc), 0);  // a second registration fails
  }
  HWND make(DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr) {
    return CreateWindowExA(0, "TestClass", "T", style, 0, 0, 640, 480, parent, nullptr, nullptr, nullptr);
  }
  int count(UINT message) {
    int n = 0;
    for (auto& r : received) n += r.second == message;
    return n;
  }
};

TEST_F(UiQueue, TimerFiresInVirtualTimeAndQuitEndsTheLoop) {
  HWND window = make();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(received.front().second, (UINT)WM_CREATE);  // sent inside the call
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, (UINT)WM_PAINT);  // visible windows paint before timers fire
  DispatchMessageA(&msg);
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, (UINT)WM_TIMER);
  EXPECT_EQ(msg.wParam, 1000u);
  EXPECT_EQ(ui::now(), 1000u);
  EXPECT_TRUE(KillTimer(window, 1000));
  PostMessageA(window, WM_CLOSE, 0, 0);
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_EQ(ui::window(window), nullptr);
  EXPECT_EQ(count(WM_DESTROY), 1);
}

TEST_F(UiQueue, PeekDoesNotWaitForTimersAndCallsTheHook) {
  HWND window = make(WS_POPUP);
  std::vector<unsigned long> calls;
  ui::setPumpHook([&](unsigned long n) {
    calls.push_back(n);
    if (n == 2) PostMessageA(window, WM_COMMAND, 5, 0);
  });
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // the timer is not due
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_COMMAND);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(calls, (std::vector<unsigned long>{1, 2, 3}));
  EXPECT_EQ(ui::now(), 0u);
}

TEST_F(UiQueue, WaitingForWhatCannotComeStopsTheRun) {
  HWND window = make(WS_POPUP);
  KillTimer(window, 1000);
  MSG msg;
  try {
    GetMessageA(&msg, nullptr, 0, 0);
    FAIL() << "GetMessageA returned";
  } catch (const ui::RunStopped& stop) {
    EXPECT_EQ(stop.status, RUN_STUCK);
  }
}

TEST_F(UiQueue, DestroyingTakesChildrenAndStaleHandlesFail) {
  HWND parent = make(WS_POPUP);
  HWND child = make(WS_CHILD | WS_VISIBLE, parent);
  ASSERT_NE(child, nullptr);
  SetFocus(child);
  EXPECT_TRUE(DestroyWindow(parent));
  EXPECT_EQ(count(WM_DESTROY), 2);
  EXPECT_EQ(ui::window(child), nullptr);
  EXPECT_EQ(ui::focus(), nullptr);
  RECT r;
  EXPECT_FALSE(DestroyWindow(parent));
  EXPECT_FALSE(SetWindowTextA(child, "x"));
  EXPECT_FALSE(GetWindowRect(child, &r));
  EXPECT_FALSE(ShowWindow(child, SW_SHOW));
  EXPECT_FALSE(PostMessageA(parent, WM_CLOSE, 0, 0));
  MSG stale{parent, WM_CLOSE, 0, 0, 0, {0, 0}};
  EXPECT_EQ(DispatchMessageA(&stale), 0);
  EXPECT_EQ(make(WS_CHILD, parent), nullptr);
}

TEST_F(UiQueue, UpdateWindowPaintsAtOnceOnlyWhenVisible) {
  HWND window = make(WS_POPUP);
  UpdateWindow(window);
  EXPECT_EQ(count(WM_PAINT), 0);
  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);
  EXPECT_EQ(count(WM_PAINT), 1);
  UpdateWindow(window);  // DefWindowProcA validated it
  EXPECT_EQ(count(WM_PAINT), 1);
}

TEST_F(UiQueue, RectanglesTextAndClassCursor) {
  HWND window = make();
  EXPECT_TRUE(MoveWindow(window, 10, 20, 300, 200, FALSE));
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{10, 20, 310, 220}));
  GetClientRect(window, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{0, 0, 300, 200}));
  SetWindowTextA(window, "Aquarium");
  EXPECT_EQ(ui::findWindow("Aquarium")->handle, window);
  EXPECT_EQ(ui::classCursor("TestClass"), "wait");
  SetClassLongA(window, GCL_HCURSOR, (LONG)(intptr_t)LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(ui::classCursor("TestClass"), "arrow");
}

TEST(UiParameters, FontSmoothingFollowsTheMachine) {
  struct Case {
    const char* setting;
    BOOL queryResult;
    BOOL value;
  };
  for (Case c : {Case{"on", TRUE, 1}, Case{"off", TRUE, 0}, Case{"broken", FALSE, 99}}) {
    test::freshMachine({std::string("font_smoothing=") + c.setting});
    ui::reset();
    BOOL value = 99;
    EXPECT_EQ(SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &value, 0), c.queryResult) << c.setting;
    EXPECT_EQ(value, c.value) << c.setting;
  }
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_SENDCHANGE);
  machine::open(machine::folder());
  EXPECT_EQ(machine::setting("screen_saver_active"), "yes");
  ASSERT_EQ(ui::parameterCalls().size(), 2u);
  EXPECT_EQ(ui::parameterCalls()[1].action, (UINT)SPI_SETSCREENSAVEACTIVE);
}

TEST(UiParameters, ScreenAndWorkAreaComeFromSettings) {
  test::freshMachine({"screen=800 600", "work_area=0 30 800 600"});
  RECT area{};
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
  EXPECT_EQ((std::vector<LONG>{area.left, area.top, area.right, area.bottom}), (std::vector<LONG>{0, 30, 800, 600}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
}

}  // namespace
