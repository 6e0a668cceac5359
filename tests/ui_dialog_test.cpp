// Dialogs from templates, the dialog manager's keys, the scripted user and
// the transcript.
#include <gtest/gtest.h>

#include "platform/host/machine.h"
#include "platform/host/ui.h"
#include "platform/kernel32.h"
#include "tests/support.h"
#include "tools/common/dialog_template.h"

namespace {

const int licenseDialog = 106, workDialog = 103;
const int editId = 1009;

dlg::Item item(uint16_t atom, uint16_t id, const char* text, uint32_t style, int16_t x, int16_t y) {
  dlg::Item i;
  i.classAtom = atom;
  i.windowClass = dlg::className(atom);
  i.id = id;
  i.text = text;
  i.style = style;
  i.x = x;
  i.y = y;
  i.cx = 50;
  i.cy = 14;
  return i;
}

// Laid out like the license dialog: Accept, the default Decline, an edit control.
dlg::Template licenseTemplate() {
  dlg::Template t;
  t.style = 0x90C800C0;
  t.cx = 391;
  t.cy = 262;
  t.caption = "License Agreement";
  t.pointSize = 8;
  t.face = "MS Sans Serif";
  t.items = {item(0x80, 1, "&Accept", 0x50010000, 137, 240), item(0x80, 2, "Decline", 0x50010001, 203, 240),
             item(0x81, editId, "", 0x50A10904, 12, 12)};
  return t;
}

// A hidden pop-up like the progress dialog, with a hidden OK and a Cancel.
dlg::Template workTemplate(bool visible) {
  dlg::Template t;
  t.style = WS_POPUP | DS_SETFONT | DS_MODALFRAME | (visible ? WS_VISIBLE : 0);
  t.cx = 187;
  t.cy = 99;
  t.pointSize = 8;
  t.face = "MS Sans Serif";
  t.items = {item(0x80, 1, "OK", 0x40010000, 131, 6), item(0x80, 2, "Cancel", 0x50010001, 68, 78),
             item(0x82, 0xFFFF, "Installing", 0x50000001, 50, 15)};
  return t;
}

struct Seen {
  int focus;
  int selectionStart;
  WPARAM command;
};
Seen seen;

INT_PTR CALLBACK licenseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextA(dialog, editId, (const char*)lParam);
    SetFocus(GetDlgItem(dialog, editId));
    PostMessageA(GetDlgItem(dialog, editId), EM_SETSEL, (WPARAM)-1, 0);
    return 0;
  }
  if (message == WM_COMMAND && (wParam == 1 || wParam == 2)) {
    seen = {ui::window(ui::focus())->id, ui::window(GetDlgItem(dialog, editId))->selectionStart, wParam};
    EndDialog(dialog, (INT_PTR)wParam);
    return 1;
  }
  return 0;
}

int cancels;

// Writes ten blocks of 1000 bytes, draining the queue after each, as the
// installation does; Cancel asks before it counts.
INT_PTR CALLBACK workProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return 1;
  }
  if (message == WM_COMMAND && wParam == IDOK) {
    HFILE file = _lcreat("C:\\OUT.BIN", 0);
    std::vector<char> block(1000);
    for (int i = 0; i < 10 && !cancels; i++) {
      _lwrite(file, block.data(), (UINT)block.size());
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(dialog, &msg)) DispatchMessageA(&msg);
      }
    }
    _lclose(file);
    EndDialog(dialog, IDOK);
    return 1;
  }
  if (message == WM_COMMAND && (wParam & 0xFFFF) == IDCANCEL) {
    if (MessageBoxA(dialog, "Are you sure?", "Abort Installation?", MB_YESNO) == IDYES) cancels++;
  }
  return 0;
}

class UiDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    test::freshMachine();
    ui::reset();
    ui::useTemplates({{licenseDialog, dlg::build(licenseTemplate())},
                      {workDialog, dlg::build(workTemplate(false))},
                      {workDialog + 1, dlg::build(workTemplate(true))}});
    seen = {};
    cancels = 0;
  }
  INT_PTR runLicense(const std::string& answers, HWND owner = nullptr) {
    ui::setAnswers(answers);
    return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(licenseDialog), owner, licenseProc, (LPARAM) "Terms\r\nof use");
  }
};

TEST(DialogTemplate, BuildsAndParsesEveryField) {
  dlg::Template t = licenseTemplate();
  t.items[2].creationData = {1, 2, 3, 4};
  t.items.push_back(item(0x82, 7, "", 0, 1, 2));
  t.items.back().windowClass = "MyClass";
  t.items.back().classAtom = 0;
  std::vector<uint8_t> bytes = dlg::build(t);
  EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | (uint32_t)bytes[3] << 24, 0x90C800C0u);
  dlg::Template back = dlg::parse(bytes);
  EXPECT_EQ(back.caption, "License Agreement");
  EXPECT_EQ(back.face, "MS Sans Serif");
  EXPECT_EQ(back.pointSize, 8);
  EXPECT_EQ((std::vector<int>{back.cx, back.cy}), (std::vector<int>{391, 262}));
  ASSERT_EQ(back.items.size(), 4u);
  EXPECT_EQ(back.items[0].text, "&Accept");
  EXPECT_EQ(back.items[1].style, 0x50010001u);
  EXPECT_EQ(back.items[2].windowClass, "Edit");
  EXPECT_EQ(back.items[2].id, editId);
  EXPECT_EQ(back.items[2].creationData, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(back.items[3].windowClass, "MyClass");
  EXPECT_EQ((std::vector<int>{back.items[3].x, back.items[3].y}), (std::vector<int>{1, 2}));
  bytes.pop_back();
  EXPECT_THROW(dlg::parse(bytes), std::runtime_error);
  EXPECT_THROW(dlg::parse({1, 0, 0xFF, 0xFF, 0, 0}), std::runtime_error);  // DIALOGEX
}

TEST_F(UiDialog, EachWayOfClosingGivesItsCommand) {
  struct Case {
    const char* answer;
    INT_PTR result;
  };
  for (Case c : {Case{"dialog 106 Accept", 1}, Case{"dialog 106 decline", 2}, Case{"dialog 106 #1", 1},
                 Case{"dialog 106 key Escape", 2}, Case{"dialog 106 key Enter", 2}, Case{"dialog 106 close", 2},
                 Case{"dialog 106 key Tab\ndialog 106 key Enter", 1},  // Tab wraps to Accept
                 Case{"dialog 106 key Tab\ndialog 106 key Tab\ndialog 106 key Space", 2}}) {
    SetUp();
    EXPECT_EQ(runLicense(c.answer), c.result) << c.answer;
    EXPECT_TRUE(ui::unusedAnswers().empty()) << c.answer;
  }
}

TEST_F(UiDialog, OpensWithTheProceduresFocusAndNoSelection) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Owner";
  RegisterClassA(&wc);
  HWND owner = CreateWindowExA(0, "Owner", "Aquarium", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 738, nullptr, nullptr,
                               nullptr, nullptr);
  EXPECT_EQ(runLicense("dialog 106 Accept", owner), 1);
  EXPECT_EQ(seen.focus, editId);
  EXPECT_EQ(seen.selectionStart, -1);  // the posted EM_SETSEL came first
  const std::vector<std::string>& t = machine::transcriptLines();
  std::vector<std::string> expected = {"dialog 106 \"License Agreement\" shown, owner window \"Aquarium\"",
                                       "  button 1 \"&Accept\"",
                                       "  default button 2 \"Decline\"",
                                       "  edit 1009",
                                       "    | Terms",
                                       "    | of use",
                                       "dialog 106: the user presses Accept",
                                       "dialog 106 ended with 1"};
  EXPECT_EQ(t, expected);
}

TEST_F(UiDialog, OwnerIsDisabledWhileTheDialogRuns) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Owner";
  RegisterClassA(&wc);
  HWND owner = CreateWindowExA(0, "Owner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  std::vector<bool> enabled;
  ui::setPumpHook([&](unsigned long) { enabled.push_back(ui::window(owner)->enabled); });
  ui::setAnswers("dialog 103 Cancel after-bytes 0\nmessage \"Abort Installation?\" No");
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(workDialog), owner, workProc, 0), IDOK);
  ASSERT_FALSE(enabled.empty());
  EXPECT_FALSE(enabled.front());
  EXPECT_TRUE(ui::window(owner)->enabled);
}

TEST_F(UiDialog, CancelArrivesOnceTheBytesAreWritten) {
  ui::setAnswers("dialog 103 Cancel after-bytes 4500\nmessage \"Abort Installation?\" Yes");
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(workDialog), nullptr, workProc, 0), IDOK);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(test::machineFile("C:\\OUT.BIN").size(), 5000u);  // the pump after the fifth block
  const std::vector<std::string>& t = machine::transcriptLines();
  EXPECT_EQ(t.front(), "dialog 103 \"\" kept hidden, owner none");
  EXPECT_EQ(t[1], "  button 1 (hidden) \"OK\"");
  std::vector<std::string> box(t.end() - 6, t.end());
  EXPECT_EQ(box, (std::vector<std::string>{"dialog 103: the user presses Cancel",
                                           "message box \"Abort Installation?\", owner dialog 103, icon none",
                                           "  | Are you sure?", "  buttons: Yes, No", "  answer: Yes",
                                           "dialog 103 ended with 1"}));
}

TEST_F(UiDialog, WhatTheUserCannotDoOrIsNotToldStopsTheRun) {
  struct Case {
    int dialog;
    const char* answers;
    int status;
  };
  for (Case c : {Case{licenseDialog, "", RUN_UNANSWERED}, Case{licenseDialog, "dialog 106 Maybe", RUN_SCRIPT_ERROR},
                 Case{workDialog, "dialog 103 OK", RUN_SCRIPT_ERROR},       // hidden: cannot be pressed
                 Case{workDialog, "dialog 103 close", RUN_SCRIPT_ERROR},    // no close box
                 Case{workDialog, "dialog 103 Cancel", RUN_UNANSWERED}}) {  // the question is not answered
    SetUp();
    ui::setAnswers(c.answers);
    DLGPROC proc = c.dialog == licenseDialog ? licenseProc : workProc;
    try {
      DialogBoxParamA(nullptr, MAKEINTRESOURCEA(c.dialog), nullptr, proc, (LPARAM) "");
      ADD_FAILURE() << c.answers;
    } catch (const ui::RunStopped& stop) {
      EXPECT_EQ(stop.status, c.status) << c.answers << ": " << stop.reason;
    }
  }
}

TEST_F(UiDialog, WorkDialogNeedsNoAnswerAndShowsOnlyWhenAsked) {
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(workDialog), nullptr, workProc, 0), IDOK);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(workDialog + 1), nullptr, workProc, 0), IDOK);
  std::vector<std::string> heads;
  for (const std::string& line : machine::transcriptLines()) {
    if (line.rfind("dialog 10", 0) == 0 && line.find('"') != std::string::npos) heads.push_back(line);
  }
  EXPECT_EQ(heads,
            (std::vector<std::string>{"dialog 103 \"\" kept hidden, owner none", "dialog 104 \"\" shown, owner none"}));
}

TEST_F(UiDialog, MissingTemplateGivesMinusOne) {
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, licenseProc, 0), -1);
  ui::useTemplates({});
  test::placeInstaller(test::stub());
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, licenseProc, 0), -1);
}

TEST_F(UiDialog, BadScriptsNameTheirLine) {
  for (const char* script :
       {"message \"Disk Full\"", "dialog 106 key Home", "dialog x OK", "say hello", "message \"open OK"}) {
    try {
      ui::setAnswers(std::string("# first\n") + script);
      ADD_FAILURE() << script;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("answers line 2: ", 0), 0u) << e.what();
    }
  }
}

}  // namespace
