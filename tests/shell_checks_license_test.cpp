// The pre-install checks and the license dialog, called on their own with a
// real installer on the machine and a scripted user.
#include <gtest/gtest.h>

#include "platform/host/system_records.h"
#include "tests/install_support.h"
#include "tests/shell_fixture.h"

namespace {

std::string transcriptText() { return test::joined(machine::transcriptLines()); }

// A machine with an installer whose files add up to total bytes.
void placeOfTotal(size_t total, const std::vector<std::string>& settings, const std::string& license = "") {
  test::freshMachine(settings);
  pack::Input input = test::sampleInput("Aquarium", {total - 2, 1, 1});
  input.license = license;
  test::placeInstaller(test::makeInstaller(input));
  test::freshProcessState();
  snprintf(saverName, sizeof saverName, "Aquarium");
}

TEST(DiskSpaceCheck, AsksOnlyWhenFreeDoesNotExceedNeed) {
  const struct {
    size_t total;
    const char* freeKilobytes;
    const char* need;
    const char* free;  // nullptr: no question
  } cases[] = {
      {759788, "741", "741", "741"},
      {759788, "742", nullptr, nullptr},
      {1023, "0", "0", "0"},
      {5000 * 1024, "1234", "5,000", "1,234"},
  };
  for (const auto& c : cases) {
    for (const char* ex : {"yes", "no"}) {  // the extended query, or the fallback
      SCOPED_TRACE(std::to_string(c.total) + " bytes, free " + c.freeKilobytes + ", extended " + ex);
      placeOfTotal(c.total, {std::string("free_kilobytes=") + c.freeKilobytes, std::string("disk_free_ex=") + ex});
      ui::setAnswers(c.need ? "message \"Disk Full\" OK" : "");
      DWORD total = 1;
      EXPECT_EQ(checkDiskSpace(&total), 1);
      EXPECT_EQ(total, c.total);
      std::string expected = c.need ? std::string("You will need ") + c.need +
                                          " kilobytes free in your Windows directory to install this screen saver.  "
                                          "It appears that you only have " +
                                          c.free +
                                          " kilobytes free on this drive.  Would you like to continue the "
                                          "installation?"
                                    : "";
      EXPECT_EQ(transcriptText().find("Disk Full") != std::string::npos, c.need != nullptr);
      if (c.need) {
        EXPECT_NE(transcriptText().find(expected), std::string::npos) << transcriptText();
      }
      EXPECT_TRUE(machine::openLibraries().empty());  // KERNEL32.DLL given back
    }
  }
}

TEST(DiskSpaceCheck, CancelStopsInBothModesAndAnUnknownDriveAlwaysPasses) {
  for (int mode : {Interactive, Silent}) {
    placeOfTotal(5000, {"free_kilobytes=1"});
    InstallMode = mode;
    ui::setAnswers("message \"Disk Full\" Cancel");
    DWORD total;
    EXPECT_EQ(checkDiskSpace(&total), 0);
  }
  EXPECT_EQ(freeKilobytes("Q:\\WINDOWS"), 0xFFFFFFFFu);  // no such drive: the query fails
  placeOfTotal(5000, {"free_kilobytes=1", "windows_directory=C:\\Operating Systems And Such Things\\WINDOWS"});
  ui::setAnswers("message \"Disk Full\" OK");
  DWORD total;
  EXPECT_EQ(checkDiskSpace(&total), 1);  // a long directory still queries its drive
  EXPECT_NE(transcriptText().find("only have 1 kilobytes"), std::string::npos) << transcriptText();
}

TEST(ExistingSaverCheck, AsksInInteractiveModeOnlyAndNamesTheFileInUpperCase) {
  const struct {
    const char* windowsDirectory;
    const char* saverPath;
    int mode;
    const char* answers;
    int result;
    bool asked;
  } cases[] = {
      {"C:\\WINDOWS", "C:\\WINDOWS\\Aquarium.scr", Interactive, "message \"Replace Screen Saver?\" No", 0, true},
      {"C:\\WINDOWS", "C:\\WINDOWS\\Aquarium.scr", Interactive, "message \"Replace Screen Saver?\" Yes", 1, true},
      {"C:\\WINDOWS", "C:\\WINDOWS\\Aquarium.scr", Silent, "", 1, false},
      {"C:\\WINDOWS", nullptr, Interactive, "", 1, false},
      {"C:\\", "C:\\Aquarium.scr", Interactive, "message \"Replace Screen Saver?\" No", 0, true},  // ends with "\"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.windowsDirectory) + " " + c.answers);
    placeOfTotal(3000, {std::string("windows_directory=") + c.windowsDirectory});
    if (c.saverPath) test::putMachineFile(c.saverPath, {1});
    InstallMode = c.mode;
    ui::setAnswers(c.answers);
    EXPECT_EQ(checkExistingSaver(), c.result);
    std::string question =
        "There is already a screen saver by the same name (Aquarium.SCR) installed on your system.  Would you like "
        "to replace it?";
    EXPECT_EQ(transcriptText().find(question) != std::string::npos, c.asked) << transcriptText();
  }
}

// Runs dialog 106 of the placed installer through licenseDialogProc; the
// look is taken when the dialog's first command arrives.
struct LicenseLook {
  HWND focus = nullptr;
  HWND edit = nullptr;
  int selectionStart = 0;
  RECT rect = {};
  bool notificationEnded = false;
};
LicenseLook look;

INT_PTR CALLBACK watchedLicenseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    INT_PTR result = licenseDialogProc(dialog, message, wParam, lParam);
    // A notification from the edit control carries a code in the high word.
    EXPECT_EQ(licenseDialogProc(dialog, WM_COMMAND, (0x0300u << 16) | IDOK, 0), 0);
    EXPECT_EQ(licenseDialogProc(dialog, WM_COMMAND, (0x0100u << 16) | IDCANCEL, 0), 0);
    look.notificationEnded = ui::window(dialog)->ended;
    return result;
  }
  if (message == WM_COMMAND && look.focus == nullptr) {
    look.focus = ui::focus();
    look.edit = GetDlgItem(dialog, 1009);
    look.selectionStart = ui::window(look.edit)->selectionStart;
    look.rect = ui::window(dialog)->rect;
  }
  return licenseDialogProc(dialog, message, wParam, lParam);
}

TEST(LicenseDialog, AcceptGoesOnEverythingElseStops) {
  const struct {
    const char* answer;
    int result;
  } cases[] = {
      {"dialog 106 Accept", 1},     {"dialog 106 Decline", 0},   {"dialog 106 close", 0},
      {"dialog 106 key Escape", 0}, {"dialog 106 key Enter", 0},  // Enter presses Decline, the default
  };
  for (const auto& c : cases) {
    for (int mode : {Interactive, Silent}) {
      SCOPED_TRACE(c.answer);
      placeOfTotal(3000, {}, "Terms\r\nof use");
      InstallMode = mode;
      ui::setAnswers(c.answer);
      EXPECT_EQ(showLicense(), c.result);
      EXPECT_NE(transcriptText().find("    | of use"), std::string::npos) << transcriptText();
      EXPECT_TRUE(ui::unusedAnswers().empty());
    }
  }
}

TEST(LicenseDialog, NoTextNoDialog) {
  placeOfTotal(3000, {});
  EXPECT_EQ(showLicense(), 1);
  EXPECT_EQ(transcriptText().find("dialog 106"), std::string::npos);
}

TEST(LicenseDialog, OpensCentredWithTheFocusOnTheTextAndNothingSelected) {
  placeOfTotal(3000, {}, "Terms");
  ui::setAnswers("dialog 106 key Escape");
  look = {};
  EXPECT_EQ(
      DialogBoxParamA(test::installerInstance(), MAKEINTRESOURCEA(106), nullptr, watchedLicenseProc, (LPARAM) "Terms"),
      IDCANCEL);
  EXPECT_FALSE(look.notificationEnded);
  EXPECT_EQ(look.focus, look.edit);
  EXPECT_EQ(look.selectionStart, -1);
  int width = look.rect.right - look.rect.left, height = look.rect.bottom - look.rect.top;
  EXPECT_GT(width, 391);  // template size in dialog units, larger in pixels
  EXPECT_EQ(look.rect.left, 1024 / 2 - width / 2);
  EXPECT_EQ(look.rect.top, 768 / 2 - height / 2);
}

}  // namespace
