// vrn-pack from the command line: what it writes and what it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support.h"

namespace fs = std::filesystem;

namespace {

class VrnPack : public ::testing::Test {
 protected:
  std::string dir = test::freshFolder("pack");
  std::string file(const std::string& name, size_t size) {
    std::string path = dir + "/" + name;
    pe::writeFile(path, test::patternBytes(size));
    return path;
  }
  std::string baseArgs(const std::string& name = "Aquarium") {
    return std::string(VRN_PACK) + " build --stub " + test::quote(VRN_STUB) + " --name " + test::quote(name) +
           " --saver " + file("saver.scr", 1000) + " --data " + file("data.dat", 500) + " --uninstaller " +
           file("un.exe", 700) + " -o " + dir + "/setup.exe";
  }
};

TEST_F(VrnPack, BuildsAnInstallerThatInspects) {
  std::string media = file("photo.jpg", 64);
  test::Run build = test::runTool(baseArgs() + " --first-sequence 18 --colours 0x00102030 0x302010 --media " + media +
                                  " --media " + media + ":juke --media " + media + ":juk_:.jpeg");
  ASSERT_EQ(build.status, 0) << build.output;
  test::Run inspect = test::runTool(std::string(VRN_PACK) + " inspect " + dir + "/setup.exe");
  ASSERT_EQ(inspect.status, 0) << inspect.output;
  for (const char* expected :
       {"\"Aquarium\"", "start 0x00102030, end 0x00302010", "first sequence:  18", "Aquarium.scr", "Aquarium.dat",
        "UNINSTAL.EXE", "FILE0018.jpg", "JUKE0019.jpg", "JUK_0020.jpeg", "installed size:  2392 bytes"}) {
    EXPECT_NE(inspect.output.find(expected), std::string::npos) << expected << "\n" << inspect.output;
  }
}

TEST_F(VrnPack, RefusesBadInputAndWritesNothing) {
  std::string longLicense = dir + "/license.txt";
  pe::writeFile(longLicense, std::vector<uint8_t>(65536, 'x'));
  std::string badStub = file("bad.exe", 4096);
  struct Case {
    std::string args;
    std::string message;
  } cases[] = {
      {baseArgs(std::string(260, 'n')), "1 to 259 characters"},
      {baseArgs("A/B"), "not a plain file name"},
      {baseArgs("..\\Evil"), "not a plain file name"},
      {baseArgs("C:Saver"), "not a plain file name"},
      {baseArgs(".."), "not a plain file name"},
      {baseArgs() + " --license " + longLicense, "longer than 65535 bytes"},
      {baseArgs() + " --media " + file("m.jpg", 10) + ":file:.jpgjpgjpgjpgjpgj", "longer than 15 characters"},
      {baseArgs() + " --media " + test::quote(file("m.jpg", 10) + ":file:\\..\\x"), "not a plain file name part"},
      {baseArgs() + " --media " + file("empty.jpg", 0), "is empty"},
      {baseArgs() + " --stub " + badStub, "not an MS-DOS executable"},
      {std::string(VRN_PACK) + " build --stub " + VRN_STUB + " --name A --saver " + file("s", 1) + " -o " + dir +
           "/setup.exe",
       "needs --stub, --saver, --data, --uninstaller"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    test::Run run = test::runTool(c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir + "/setup.exe"));
  }
}

TEST_F(VrnPack, RefusesAStubWhoseAnchorIsNotAtTheEnd) {
  std::string moved = dir + "/moved.exe";
  std::vector<uint8_t> bytes = test::stub();
  bytes.insert(bytes.end(), 16, 0);  // data after the anchor
  pe::writeFile(moved, bytes);
  test::Run run = test::runTool(baseArgs() + " --stub " + moved);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("not the last bytes of the file"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(dir + "/setup.exe"));
}

}  // namespace
