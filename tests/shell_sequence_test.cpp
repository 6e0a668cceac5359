// The install sequence on real installers: what the user sees and what is
// started in each way a run can end, in both modes, with the exit status.
#include <gtest/gtest.h>

#include "platform/host/system_records.h"
#include "tests/shell_fixture.h"

namespace {

const std::string caption = "\"Aquarium Screen Saver Installation\"";
const std::string confirm = "message " + caption + " OK\n";
const std::string uninstaller =
    "C:\\Documents and Settings\\All Users\\Application Data\\Kestrom\\Vivarune\\Aquarium\\UNINSTAL.EXE";
const std::string downloadPage = "https://www.microsoft.com/windows/windowsmedia/download/";

std::string box(const std::string& boxCaption, const std::string& text) {
  return "box " + boxCaption + ": " + text.substr(0, 30);
}
const std::string confirmation = box(caption, "This program will install Aquarium Screen Saver");
const std::string complete = box(caption, "Installation Complete!");
const std::string codecs = box("\"Missing support codecs\"", "The following file types are not currently supported");
const std::string saverStarted =
    "program started by WinExec (command line \"C:\\WINDOWS\\Aquarium.scr\"): \"C:\\WINDOWS\\Aquarium.scr\" \"\", "
    "show 5";
const std::string pageOpened =
    "program started by ShellExecuteExA (verb \"open\"): \"" + downloadPage + "\" \"\", show 3";

struct Outcome {
  const char* name;
  std::vector<size_t> sizes;  // a fourth file is a media file nothing plays
  std::vector<std::string> settings;
  const char* commandLine;
  std::string answers;
  int status;
  std::vector<std::string> headlines;
  bool installed;  // the saver is in the Windows directory
};

TEST(InstallSequence, OutcomesInBothModes) {
  const std::vector<size_t> clean = {100, 200, 300};
  const std::vector<size_t> unplayable = {100, 200, 300, 400};
  const Outcome outcomes[] = {
      {"interactive, clean", clean, {}, "", confirm + "message " + caption + " OK\ndialog 104 OK", EXIT_INSTALLED,
       {confirmation, "dialog 103", complete, "dialog 104", saverStarted}, true},
      {"silent, clean", clean, {}, "/S", "", EXIT_INSTALLED, {"dialog 103 hidden"}, true},
      {"interactive, unplayable media, page opened", unplayable, {}, "",
       confirm + "message \"Missing support codecs\" OK\ndialog 104 key Escape", EXIT_MEDIA_UNSUPPORTED,
       {confirmation, "dialog 103", codecs, pageOpened, "dialog 104"}, true},
      {"silent, unplayable media, later", unplayable, {}, "-s", "message \"Missing support codecs\" Cancel",
       EXIT_MEDIA_UNSUPPORTED, {"dialog 103 hidden", codecs}, true},
      {"silent, unplayable media, no browser", unplayable, {"browser=no"}, "/s",
       "message \"Missing support codecs\" OK\nmessage \"" + downloadPage + "\" OK", EXIT_MEDIA_UNSUPPORTED,
       {"dialog 103 hidden", codecs,
        "program not started by ShellExecuteExA (verb \"open\"): \"" + downloadPage +
            "\" \"\", show 3: the browser cannot connect",
        box("\"" + downloadPage + "\"", "Could not connect to this site.")},
       true},
      {"interactive, aborted", clean, {}, "",
       confirm + "dialog 103 Cancel after-bytes 1\nmessage \"Abort Installation?\" Yes", EXIT_ABORTED,
       {confirmation, "dialog 103", box("\"Abort Installation?\"", "Are you sure you would like to abort"),
        "program started by ShellExecuteExA (verb \"open\"): \"" + uninstaller + "\" \"/s\", show 1"},
       true},
      {"interactive, access denied", clean, {"admin=no"}, "", confirm + "message \"Error!!!\" OK",
       EXIT_ACCESS_DENIED, {confirmation, "dialog 103", box("\"Error!!!\"", "")}, false},
      {"silent, access denied", clean, {"admin=no"}, "/S", "message \"Error!!!\" OK", EXIT_ACCESS_DENIED,
       {"dialog 103 hidden", box("\"Error!!!\"", "")}, false},
      {"confirmation cancelled", clean, {}, "", "message " + caption + " Cancel", EXIT_DECLINED, {confirmation},
       false},
      {"disk full, cancelled", clean, {"free_kilobytes=0"}, "/S", "message \"Disk Full\" Cancel", EXIT_DECLINED,
       {box("\"Disk Full\"", "You will need 0 kilobytes free")}, false},
  };
  for (const Outcome& o : outcomes) {
    SCOPED_TRACE(o.name);
    test::InstallerRun run = test::runInstaller(test::sampleInput("Aquarium", o.sizes), o.settings, o.commandLine,
                                                o.answers);
    EXPECT_EQ(run.status, o.status) << run.stopped << "\n" << test::joined(run.transcript);
    std::vector<std::string> got = test::headlines(run.transcript);
    // The access-denied message's text is the installation's own.
    for (std::string& line : got) {
      if (line.rfind("box \"Error!!!\"", 0) == 0) line = box("\"Error!!!\"", "");
    }
    EXPECT_EQ(test::joined(got), test::joined(o.headlines)) << test::joined(run.transcript);
    EXPECT_EQ(test::machineFileExists("C:\\WINDOWS\\Aquarium.scr"), o.installed);
    EXPECT_TRUE(ui::unusedAnswers().empty()) << ui::unusedAnswers().front();
    EXPECT_TRUE(ui::windows().empty());  // the launcher is gone at the end of every run
  }
}

}  // namespace
