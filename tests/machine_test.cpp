// The simulated machine's core: its folder, Windows paths and file calls.
#include "platform/host/machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/crt.h"
#include "platform/kernel32.h"
#include "tests/support.h"

namespace fs = std::filesystem;

namespace {

TEST(Machine, FreshMachineHasWindowsFoldersSystemIniAndRegistry) {
  std::string dir = test::freshMachine();
  EXPECT_TRUE(fs::is_directory(dir + "/C/WINDOWS/SYSTEM32"));
  EXPECT_TRUE(test::machineFileExists("c:\\windows\\SYSTEM.INI"));
  std::ifstream registry(dir + "/registry.reg");
  std::string first;
  std::getline(registry, first);
  EXPECT_EQ(first, "Windows Registry Editor Version 5.00\r");
  char path[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryA(path, sizeof path), 10u);
  EXPECT_STREQ(path, "C:\\WINDOWS");
  EXPECT_EQ(GetWindowsDirectoryA(path, 5), 11u);  // too small: the size needed
}

TEST(Machine, PathsAreMatchedWithoutCaseAndKeepTheirCase) {
  test::freshMachine();
  machine::setModulePath("C:\\Download\\Setup.exe");
  struct Case {
    const char* windows;
    const char* full;
  } cases[] = {
      {"C:\\WINDOWS\\..\\WINDOWS\\.\\x.scr", "C:\\WINDOWS\\x.scr"},
      {"C:/a/b", "C:\\a\\b"},
      {"system.ini", "C:\\Download\\system.ini"},
      {"\\TEMP", "C:\\TEMP"},
      {"C:\\..\\..", "C:\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(machine::fullPath(c.windows), c.full) << c.windows;

  EXPECT_EQ(crtMakeDirectory("C:\\Program Files"), 0);
  EXPECT_EQ(crtMakeDirectory("c:\\program files"), -1);  // exists already
  EXPECT_EQ(crtMakeDirectory("C:\\No\\Such\\Parent"), -1);
  FILE* f = crtOpenFile("C:\\PROGRAM FILES\\Saver.SCR", "wb");
  ASSERT_NE(f, nullptr);
  fputs("x", f);
  fclose(f);
  EXPECT_TRUE(fs::exists(machine::folder() + "/C/Program Files/Saver.SCR"));
  EXPECT_EQ(crtStat("c:\\program files\\saver.scr"), 0);
  EXPECT_NE(crtStat("D:\\saver.scr"), 0);
  EXPECT_TRUE(machine::openFiles().empty());
}

TEST(Machine, HandleFilesSeekReadAndFailToOpen) {
  test::freshMachine();
  test::placeInstaller(test::patternBytes(100), "C:\\F.BIN");
  EXPECT_EQ(_lopen("C:\\MISSING.BIN", OF_SHARE_DENY_NONE), HFILE_ERROR);
  HFILE file = _lopen("c:\\f.bin", OF_SHARE_DENY_NONE);
  ASSERT_NE(file, HFILE_ERROR);
  BYTE buffer[64];
  EXPECT_EQ(_llseek(file, 90, FILE_BEGIN), 90);
  EXPECT_EQ(_lread(file, buffer, 64), 10u);  // fewer at the end
  EXPECT_EQ(_llseek(file, -20, FILE_CURRENT), 80);
  EXPECT_EQ(_lread(file, buffer, 1), 1u);
  EXPECT_EQ(buffer[0], test::patternBytes(100)[80]);
  EXPECT_EQ(_llseek(file, 0, FILE_END), 100);
  EXPECT_EQ(_lclose(file), 0);
  EXPECT_EQ(_lclose(file), HFILE_ERROR);
}

TEST(Machine, WritesStopWhenTheDiskIsFull) {
  test::freshMachine({"free_kilobytes=1"});
  HFILE file = _lcreat("C:\\BIG.BIN", 0);
  std::vector<uint8_t> bytes(1500, 7);
  EXPECT_EQ(_lwrite(file, reinterpret_cast<const char*>(bytes.data()), 1000), 1000u);
  EXPECT_LT(_lwrite(file, reinterpret_cast<const char*>(bytes.data()), 1000), 1000u);
  _lclose(file);
}

TEST(Machine, ShortPathsFollowTheEightThreeRule) {
  test::freshMachine();
  crtMakeDirectory("C:\\Documents and Settings");
  for (const char* name : {"C:\\Documents and Settings\\Long Name Saver.scr", "C:\\WINDOWS\\Aquarium.scr",
                           "C:\\WINDOWS\\Aquarium Deluxe.scr", "C:\\WINDOWS\\Aquarium Basic.scr"}) {
    fclose(crtOpenFile(name, "wb"));
  }
  struct Case {
    const char* path;
    const char* shortPath;
  } cases[] = {
      {"C:\\WINDOWS\\Aquarium.scr", "C:\\WINDOWS\\Aquarium.scr"},
      {"C:\\documents and settings\\long name saver.scr", "C:\\DOCUME~1\\LONGNA~1.SCR"},
      {"C:\\WINDOWS\\Aquarium Basic.scr", "C:\\WINDOWS\\AQUARI~1.SCR"},
      {"C:\\WINDOWS\\Aquarium Deluxe.scr", "C:\\WINDOWS\\AQUARI~2.SCR"},
  };
  char result[MAX_PATH];
  for (const Case& c : cases) {
    ASSERT_GT(GetShortPathNameA(c.path, result, MAX_PATH), 0u) << c.path;
    EXPECT_STREQ(result, c.shortPath);
  }
  EXPECT_EQ(GetShortPathNameA("C:\\WINDOWS\\None.scr", result, MAX_PATH), 0u);
  EXPECT_EQ(GetShortPathNameA("C:\\WINDOWS\\Aquarium.scr", result, 5), 24u);  // the size needed
}

TEST(VrnMachine, NewRunAndShow) {
  std::string dir = test::freshFolder("vrn-machine") + "/m";
  std::string tool = VRN_MACHINE;
  EXPECT_EQ(test::runTool(tool + " new " + dir + " no_such_setting=1").status, 120);
  ASSERT_EQ(test::runTool(tool + " new " + dir + " free_kilobytes=5000").status, 0);
  std::string installer = test::freshFolder("installer") + "/setup.exe";
  pe::writeFile(installer, test::makeInstaller(test::sampleInput("Coral Reef")));
  test::Run run = test::runTool(tool + " run " + dir + " " + installer + " --as 'C:\\Users\\Me\\Coral Setup.exe' /S");
  EXPECT_EQ(run.status, 0) << run.output;
  test::Run show = test::runTool(tool + " show " + dir);
  EXPECT_NE(show.output.find("C:\\Users\\Me\\Coral Setup.exe"), std::string::npos) << show.output;
  EXPECT_NE(show.output.find("[boot]"), std::string::npos) << show.output;
  EXPECT_NE(show.output.find("free_kilobytes"), std::string::npos);
}

}  // namespace
