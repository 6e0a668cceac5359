// vrn-machine run: a whole installer from WinMain to the end of the process,
// with the answers and the transcript in files, ending with its exit status.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support.h"

namespace {

std::string readText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(RunInstaller, ExitStatusAndTranscriptOfWholeRuns) {
  std::string dir = test::freshFolder("run");
  std::string tool = VRN_MACHINE;
  pack::Input input = test::sampleInput("Aquarium");
  input.license = "Terms";
  pe::writeFile(dir + "/setup.exe", test::makeInstaller(input));
  const struct {
    const char* name;
    const char* arguments;
    const char* answers;
    int status;
    const char* transcriptHas;
  } cases[] = {
      {"silent", "/S", "dialog 106 Accept\n", 0, "dialog 103 \"Aquarium Screen Saver Installation\" kept hidden"},
      {"interactive", "",
       "message \"Aquarium Screen Saver Installation\" OK\ndialog 106 Accept\n"
       "message \"Aquarium Screen Saver Installation\" OK\ndialog 104 OK\n",
       0, "program started by WinExec"},
      {"declined", "", "message \"Aquarium Screen Saver Installation\" OK\ndialog 106 Decline\n", 2,
       "dialog 106 ended with 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string machineDir = dir + "/" + c.name;
    ASSERT_EQ(test::runTool(tool + " new " + machineDir).status, 0);
    std::ofstream(dir + "/answers") << c.answers;
    test::Run run = test::runTool(tool + " run " + machineDir + " " + dir + "/setup.exe --answers " + dir +
                                  "/answers --transcript " + dir + "/transcript " + c.arguments);
    EXPECT_EQ(run.status, c.status) << run.output;
    EXPECT_NE(readText(dir + "/transcript").find(c.transcriptHas), std::string::npos) << readText(dir + "/transcript");
  }
}

}  // namespace
