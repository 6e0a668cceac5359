// The install sequence on real installers: what the user sees and what is
// started in each way a run can end, in both modes, with the exit status.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/host/system_records.h"
#include "tests/install_support.h"
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
      {"interactive, clean",
       clean,
       {},
       "",
       confirm + "message " + caption + " OK\ndialog 104 OK",
       EXIT_INSTALLED,
       {confirmation, "dialog 103", complete, "dialog 104", saverStarted},
       true},
      {"silent, clean", clean, {}, "/S", "", EXIT_INSTALLED, {"dialog 103 hidden"}, true},
      {"interactive, unplayable media, page opened",
       unplayable,
       {},
       "",
       confirm + "message \"Missing support codecs\" OK\ndialog 104 key Escape",
       EXIT_MEDIA_UNSUPPORTED,
       {confirmation, "dialog 103", codecs, pageOpened, "dialog 104"},
       true},
      {"silent, unplayable media, later",
       unplayable,
       {},
       "-s",
       "message \"Missing support codecs\" Cancel",
       EXIT_MEDIA_UNSUPPORTED,
       {"dialog 103 hidden", codecs},
       true},
      {"silent, unplayable media, no browser",
       unplayable,
       {"browser=no"},
       "/s",
       "message \"Missing support codecs\" OK\nmessage \"" + downloadPage + "\" OK",
       EXIT_MEDIA_UNSUPPORTED,
       {"dialog 103 hidden", codecs,
        "program not started by ShellExecuteExA (verb \"open\"): \"" + downloadPage +
            "\" \"\", show 3: the browser cannot connect",
        box("\"" + downloadPage + "\"", "Could not connect to this site.")},
       true},
      {"interactive, aborted",
       clean,
       {},
       "",
       confirm + "dialog 103 Cancel after-bytes 1\nmessage \"Abort Installation?\" Yes",
       EXIT_ABORTED,
       {confirmation, "dialog 103", box("\"Abort Installation?\"", "Are you sure you would like to abort"),
        "program started by ShellExecuteExA (verb \"open\"): \"" + uninstaller + "\" \"/s\", show 1"},
       true},
      {"interactive, access denied",
       clean,
       {"admin=no"},
       "",
       confirm + "message \"Error!!!\" OK",
       EXIT_ACCESS_DENIED,
       {confirmation, "dialog 103", box("\"Error!!!\"", "")},
       false},
      {"silent, access denied",
       clean,
       {"admin=no"},
       "/S",
       "message \"Error!!!\" OK",
       EXIT_ACCESS_DENIED,
       {"dialog 103 hidden", box("\"Error!!!\"", "")},
       false},
      {"confirmation cancelled", clean, {}, "", "message " + caption + " Cancel", EXIT_DECLINED, {confirmation}, false},
      {"disk full, cancelled",
       clean,
       {"free_kilobytes=0"},
       "/S",
       "message \"Disk Full\" Cancel",
       EXIT_DECLINED,
       {box("\"Disk Full\"", "You will need 0 kilobytes free")},
       false},
  };
  for (const Outcome& o : outcomes) {
    SCOPED_TRACE(o.name);
    test::InstallerRun run =
        test::runInstaller(test::sampleInput("Aquarium", o.sizes), o.settings, o.commandLine, o.answers);
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

// Nothing of the saver on the machine: no file, folder, uninstall entry or
// screen saver setting.
void expectNothingWritten(const std::string& name) {
  EXPECT_FALSE(test::machineFileExists("C:\\WINDOWS\\" + name + ".scr"));
  EXPECT_TRUE(
      machine::hostPath("C:\\Documents and Settings\\All Users\\Application Data\\Kestrom").empty() ||
      !std::filesystem::exists(machine::hostPath("C:\\Documents and Settings\\All Users\\Application Data\\Kestrom")));
  EXPECT_FALSE(
      machine::registryKeyExists("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  std::vector<uint8_t> ini = test::machineFile("C:\\WINDOWS\\system.ini");
  EXPECT_EQ(std::string(ini.begin(), ini.end()).find("SCRNSAVE"), std::string::npos);
}

bool transcriptHas(const test::InstallerRun& run, const std::string& text) {
  return test::joined(run.transcript).find(text) != std::string::npos;
}

TEST(InstallSequence, DamagedOrMissingPackageStopsAtTheStartInBothModes) {
  std::vector<uint8_t> whole = test::makeInstaller(test::sampleInput("Aquarium"));
  const struct {
    const char* name;
    std::vector<uint8_t> installer;
  } cases[] = {
      {"cut off", std::vector<uint8_t>(whole.begin(), whole.end() - 50)},
      {"no package", test::stub()},
  };
  for (const auto& c : cases) {
    for (const char* commandLine : {"", "/S"}) {
      SCOPED_TRACE(std::string(c.name) + " " + commandLine);
      test::freshMachine();
      test::placeInstaller(c.installer);
      test::InstallerRun run = test::runPlaced(commandLine, "message \"Damaged Installer\" OK");
      EXPECT_EQ(run.status, EXIT_CANNOT_START) << run.stopped;
      EXPECT_EQ(test::joined(test::headlines(run.transcript)),
                box("\"Damaged Installer\"", "This installer is damaged or incomplete") + "\n");
      EXPECT_TRUE(machine::startedPrograms().empty());
      expectNothingWritten("Aquarium");
    }
  }
}

TEST(InstallSequence, NameThatDoesNotFitStopsBeforeAnythingIsWritten) {
  std::string name(259, 'N');
  test::InstallerRun run =
      test::runInstaller(test::sampleInput(name), {}, "/S", "message \"Cannot Install Screen Saver\" OK");
  EXPECT_EQ(run.status, EXIT_CANNOT_START) << run.stopped;
  EXPECT_TRUE(transcriptHas(run, "  | " + name + "\n")) << test::joined(run.transcript);
  EXPECT_FALSE(transcriptHas(run, "dialog 103"));
  expectNothingWritten(name.substr(0, 100));
  // The splash showed the whole name, not a cut-down one.
  std::string drawn;
  for (const ui::DrawOperation& op : ui::drawOperations()) {
    if (op.call == "DrawTextA") drawn = op.text;
  }
  EXPECT_EQ(drawn, name + " Screen Saver");
}

TEST(InstallSequence, LongNameThatFitsIsShownAndInstalledWhole) {
  std::string name(110, 'L');  // the data file's path holds it twice
  std::string longCaption = "\"" + name + " Screen Saver Installation\"";
  test::InstallerRun run =
      test::runInstaller(test::sampleInput(name), {"common_appdata=C:\\A"}, "",
                         "message " + longCaption + " OK\nmessage " + longCaption + " OK\ndialog 104 OK");
  EXPECT_EQ(run.status, EXIT_INSTALLED) << run.stopped << test::joined(run.transcript);
  EXPECT_TRUE(transcriptHas(run, "install " + name + " Screen Saver to C:\\WINDOWS and"));
  EXPECT_TRUE(test::machineFileExists("C:\\WINDOWS\\" + name + ".scr"));
}

TEST(InstallSequence, TrailingBlanksAreTrimmedOnlyAfterTheChecks) {
  test::freshMachine();
  test::placeInstaller(test::makeInstaller(test::sampleInput("Aquarium  ")));
  test::putMachineFile("C:\\WINDOWS\\Aquarium  .SCR", {1});
  test::InstallerRun run = test::runPlaced(
      "", "message \"Replace Screen Saver?\" Yes\n" + confirm + "message " + caption + " OK\ndialog 104 OK");
  EXPECT_EQ(run.status, EXIT_INSTALLED) << run.stopped << test::joined(run.transcript);
  EXPECT_TRUE(transcriptHas(run, "There is already a screen saver by the same name (Aquarium  .SCR) installed"));
  EXPECT_TRUE(transcriptHas(run, "This program will install Aquarium Screen Saver to C:\\WINDOWS and"));
  EXPECT_TRUE(test::machineFileExists("C:\\WINDOWS\\Aquarium.scr"));
  EXPECT_EQ(machine::startedPrograms().back().file, "C:\\WINDOWS\\Aquarium.scr");
}

TEST(InstallSequence, WindowsDirectoryIsShownUpperCasedAndASaverPathWithABlankIsQuoted) {
  test::InstallerRun run =
      test::runInstaller(test::sampleInput("Aquarium"), {"windows_directory=C:\\My Windows", "short_names=no"}, "",
                         confirm + "message " + caption + " OK\ndialog 104 OK");
  EXPECT_EQ(run.status, EXIT_INSTALLED) << run.stopped;
  EXPECT_TRUE(transcriptHas(run, "install Aquarium Screen Saver to C:\\MY WINDOWS and will"));
  ASSERT_EQ(machine::startedPrograms().size(), 1u);
  const machine::StartedProgram& saver = machine::startedPrograms()[0];
  EXPECT_EQ(saver.call, "WinExec");
  EXPECT_EQ(saver.file, "C:\\My Windows\\Aquarium.scr");
  EXPECT_EQ(saver.parameters, "");
  EXPECT_EQ(saver.show, SW_SHOW);
}

TEST(InstallSequence, ConfirmationShowsTheInstalledSizeWithSeparators) {
  test::InstallerRun run =
      test::runInstaller(test::sampleInput("Aquarium", {1000, 2000, 3000}), {}, "", "message " + caption + " Cancel");
  EXPECT_EQ(run.status, EXIT_DECLINED);
  EXPECT_TRUE(transcriptHas(run, "This installation will take 6,000 bytes."));
}

}  // namespace
