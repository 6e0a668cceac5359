// vrn-machine run --only-install: the sample saver packed by vrn-pack and
// installed onto a fresh machine by the progress dialog alone.
#include <gtest/gtest.h>

#include "tests/install_support.h"

namespace {

const std::string examples = std::string(VRN_SOURCE_DIR) + "/examples/aquarium/";

TEST(OnlyInstall, InstallsTheSampleSaverOntoAFreshMachine) {
  std::string dir = test::freshFolder("only-install");
  std::string setup = dir + "/setup.exe";
  test::Run pack = test::runTool(std::string(VRN_PACK) + " build --stub " + test::quote(VRN_STUB) +
                                 " --name 'Aquarium  ' --saver " + examples + "aquarium.scr --data " + examples +
                                 "aquarium.dat --uninstaller " + examples + "uninstal.exe --media " + examples +
                                 "reef.bmp --media " + examples + "bubbles.wav:juke --first-sequence 18 -o " + setup);
  ASSERT_EQ(pack.status, 0) << pack.output;
  ASSERT_EQ(test::runTool(std::string(VRN_MACHINE) + " new " + dir + "/m").status, 0);
  test::Run run = test::runTool(std::string(VRN_MACHINE) + " run " + dir + "/m " + setup + " --only-install");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("progress dialog ended with 1"), std::string::npos) << run.output;

  machine::open(dir + "/m");
  const std::string folder = "C:\\Documents and Settings\\All Users\\Application Data\\Kestrom\\Vivarune\\Aquarium\\";
  const std::vector<std::pair<std::string, std::string>> files = {
      {"C:\\WINDOWS\\Aquarium.scr", "aquarium.scr"}, {folder + "Aquarium.dat", "aquarium.dat"},
      {folder + "UNINSTAL.EXE", "uninstal.exe"},     {folder + "FILE0018.bmp", "reef.bmp"},
      {folder + "JUKE0019.wav", "bubbles.wav"},
  };
  std::string log;
  for (const auto& [target, source] : files) {
    EXPECT_EQ(test::machineFile(target), pe::readFile(examples + source)) << target;
    log += target + "\r\n";
  }
  EXPECT_EQ(test::machineText(folder + "INSTALL.LOG"), log);
  std::vector<uint8_t> reg = pe::readFile(dir + "/m/registry.reg");
  std::string registry(reg.begin(), reg.end());
  EXPECT_NE(registry.find("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aquarium]\r\n"
                          "\"DisplayName\"=\"Aquarium Screen Saver\"\r\n\"UninstallString\"=hex(2):22,00,43,00,"),
            std::string::npos)
      << registry;
  EXPECT_NE(registry.find("\"Publisher\"=\"Made with Kestrom's Vivarune\"\r\n"), std::string::npos);
  EXPECT_NE(test::machineText("C:\\WINDOWS\\system.ini")
                .find("[boot]\r\nshell=Explorer.exe\r\n"
                      "SCRNSAVE.EXE=C:\\WINDOWS\\Aquarium.scr\r\n"),
            std::string::npos);
  EXPECT_EQ(machine::setting("screen_saver_active"), "yes");
}

}  // namespace
