// vrn-machine run's user options.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support.h"

namespace {

TEST(UiRun, BadAnswersStopBeforeTheInstallerStarts) {
  std::string dir = test::freshFolder("run");
  std::string setup = dir + "/setup.exe", answers = dir + "/answers.txt";
  pe::writeFile(setup, test::makeInstaller(test::sampleInput()));
  std::ofstream(answers) << "# the user\ndialog 106 key F1\n";
  ASSERT_EQ(test::runTool(std::string(VRN_MACHINE) + " new " + test::quote(dir + "/m")).status, 0);
  test::Run run = test::runTool(std::string(VRN_MACHINE) + " run " + test::quote(dir + "/m") + " " +
                                test::quote(setup) + " --answers " + test::quote(answers));
  EXPECT_EQ(run.status, 120);
  EXPECT_NE(run.output.find("answers line 2: unknown key F1"), std::string::npos) << run.output;
  EXPECT_FALSE(std::ifstream(dir + "/m/C/DOWNLOAD/SETUP.EXE").good());
}

}  // namespace
