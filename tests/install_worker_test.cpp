// The progress dialog installing real installers on the simulated machine,
// with the scripted user pressing Cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "install/progress_dialog.h"
#include "package/package.h"
#include "platform/host/ui.h"
#include "platform/winmm.h"
#include "tests/install_support.h"
#include "tools/common/lzhuf_encoder.h"

namespace {

const std::string folder = "C:\\Documents and Settings\\All Users\\Application Data\\Kestrom\\Vivarune\\Aquarium\\";

// Files 3 and up are media files whose content plays (a bitmap), unless
// the test changes them.
pack::Input saverInput(std::vector<size_t> sizes, uint16_t firstSequence = 1) {
  pack::Input input = test::sampleInput("Aquarium", sizes);
  input.firstSequenceNumber = firstSequence;
  for (size_t i = 3; i < input.files.size(); i++) {
    std::vector<uint8_t> start = test::mediaContent("bmp", 2);
    std::copy(start.begin(), start.end(), input.files[i].bytes.begin());
  }
  return input;
}

std::vector<uint8_t> compressor(const std::vector<uint8_t>& bytes) { return lzhuf::encode(bytes); }

std::vector<std::string> targetsOf(const pack::Input& input) {
  std::vector<std::string> targets = {"C:\\WINDOWS\\Aquarium.scr", folder + "Aquarium.dat", folder + "UNINSTAL.EXE"};
  pack::Package package = pack::read(pack::build(test::stub(), input, &compressor));
  for (size_t i = 3; i < input.files.size(); i++) targets.push_back(folder + pack::targetName(package, i));
  return targets;
}

std::string logOf(const std::vector<std::string>& targets) {
  std::string log;
  for (const std::string& t : targets) log += t + "\r\n";
  return log;
}

class Worker : public ::testing::Test {
 protected:
  INT_PTR install(const pack::Input& input, const std::string& answers = "", int mode = Interactive,
                  const std::vector<std::string>& settings = {}, pack::Compressor compress = nullptr) {
    test::freshMachine(settings);
    ui::reset();
    machine::mediaCommands().clear();
    test::placeInstaller(pack::build(test::stub(), input, compress));
    return again(answers, mode);
  }
  INT_PTR again(const std::string& answers = "", int mode = Interactive) {
    test::startInstallation("Aquarium", mode);
    ui::setAnswers(answers);
    return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(PROGRESS_DIALOG), nullptr, progressDialogProc, 0);
  }
  void expectEverythingReleased() {
    EXPECT_TRUE(machine::openFiles().empty());
    EXPECT_TRUE(machine::openLibraries().empty());
    EXPECT_TRUE(machine::openMediaDevices().empty());
    EXPECT_EQ(machine::openRegistryKeys(), 0);
  }
  size_t sizeOf(const std::string& path) { return test::machineFile(path).size(); }
};

int countCommands(char kind, DWORD result) {
  const std::vector<machine::MediaCommand>& commands = machine::mediaCommands();
  return (int)std::count_if(commands.begin(), commands.end(),
                            [&](const machine::MediaCommand& c) { return c.kind == kind && c.result == result; });
}

TEST_F(Worker, InstallsEveryEntryLogsAndRegisters) {
  for (pack::Compressor compress : {(pack::Compressor) nullptr, &compressor}) {
    pack::Input input = saverInput({4096, 2049, 3000, 5000, 100});
    for (pack::InputFile& f : input.files) f.storage = compress ? pack::Storage::Compressed : pack::Storage::Stored;
    EXPECT_EQ(install(input, "", Interactive, {}, compress), IDOK);
    std::vector<std::string> targets = targetsOf(input);
    for (size_t i = 0; i < targets.size(); i++) EXPECT_EQ(test::machineFile(targets[i]), input.files[i].bytes) << i;
    EXPECT_EQ(test::machineText(folder + "INSTALL.LOG"), logOf(targets));
    EXPECT_EQ(machine::registryValues(test::uninstallKey("Aquarium")).size(), 7u);
    EXPECT_NE(test::machineText("C:\\WINDOWS\\system.ini").find("SCRNSAVE.EXE=C:\\WINDOWS\\Aquarium.scr\r\n"),
              std::string::npos);
    EXPECT_EQ(machine::setting("screen_saver_active"), "yes");
    EXPECT_STREQ(unsupportedTypes, "");
    EXPECT_EQ(countCommands('o', 0), 2);  // each media file opened, by its extension or by MPEGVideo
    EXPECT_EQ(countCommands('c', 0), 2);
    expectEverythingReleased();
  }
}

TEST_F(Worker, MediaNamesFollowKindAndSequence) {
  pack::Input input = saverInput({10, 20, 30, 40, 50, 60}, 18);
  input.files[3].kind = ' ';
  input.files[4].kind = 0;
  input.files[4].suffix = ".jpg";
  input.files[5].kind = '_';
  input.files[5].suffix = "   ";
  EXPECT_EQ(install(input), IDOK);
  for (const char* name : {"FILE0018.jpg", "JUKE0019.jpg", "JUK_0020"}) {
    EXPECT_TRUE(test::machineFileExists(folder + name)) << name;
  }
}

TEST_F(Worker, ReinstallingAppendsToTheLog) {
  pack::Input input = saverInput({10, 20, 30, 40});
  EXPECT_EQ(install(input), IDOK);
  EXPECT_EQ(again(), IDOK);
  std::string log = logOf(targetsOf(input));
  EXPECT_EQ(test::machineText(folder + "INSTALL.LOG"), log + log);
}

TEST_F(Worker, AnEmptyTableInstallsNothingButOpensTheLog) {
  pack::Input input = saverInput({10, 20, 30});
  std::vector<uint8_t> installer = test::makeInstaller(input);
  pack::Package package = pack::read(installer);
  size_t firstEntry = package.headerOffset + PACKAGE_FIXED_SIZE;
  std::fill(installer.begin() + firstEntry, installer.begin() + firstEntry + PACKAGE_ENTRY_SIZE, 0);
  test::freshMachine();
  ui::reset();
  test::placeInstaller(installer);
  EXPECT_EQ(again(), IDOK);
  EXPECT_EQ(test::machineText(folder + "INSTALL.LOG"), "");
  EXPECT_FALSE(test::machineFileExists("C:\\WINDOWS\\Aquarium.scr"));
  EXPECT_TRUE(machine::registryValues(test::uninstallKey("Aquarium")).empty());
  EXPECT_EQ(test::machineText("C:\\WINDOWS\\system.ini").find("SCRNSAVE"), std::string::npos);
}

TEST_F(Worker, UnplayableMediaAreListedAndTheSaverIsNotMadeTheDefault) {
  pack::Input input = saverInput({10, 20, 30, 40, 50});
  input.files[3].bytes = test::mediaContent("jpg");
  input.files[4].bytes = test::mediaContent("jpg");
  EXPECT_EQ(install(input), IDOK);
  EXPECT_STREQ(unsupportedTypes, ".jpg\r\n");
  EXPECT_EQ(test::machineText("C:\\WINDOWS\\system.ini").find("SCRNSAVE"), std::string::npos);
  expectEverythingReleased();
}

TEST_F(Worker, CancelAnsweredNoChangesNothing) {
  pack::Input input = saverInput({300000, 20, 30, 40});
  EXPECT_EQ(install(input, "dialog 103 Cancel after-bytes 1\nmessage \"Abort Installation?\" No"), IDOK);
  EXPECT_EQ(abortRequested, 0);
  std::vector<std::string> targets = targetsOf(input);
  for (size_t i = 0; i < targets.size(); i++) EXPECT_EQ(test::machineFile(targets[i]), input.files[i].bytes) << i;
  EXPECT_NE(test::machineText("C:\\WINDOWS\\system.ini").find("SCRNSAVE.EXE"), std::string::npos);
}

// Bytes written (files and log lines) once the entries before `entry` are done.
std::string cancelDuring(const pack::Input& input, size_t entry) {
  std::vector<std::string> targets = targetsOf(input);
  size_t bytes = 1;
  for (size_t i = 0; i < entry; i++) bytes += input.files[i].bytes.size() + targets[i].size() + 2;
  return "dialog 103 Cancel after-bytes " + std::to_string(bytes) + "\nmessage \"Abort Installation?\" Yes";
}

TEST_F(Worker, AnAbortDuringTheSaverStillWritesTheWholeUninstaller) {
  pack::Input input = saverInput({300000, 5000, 9000, 40});
  EXPECT_EQ(install(input, cancelDuring(input, 0)), IDOK);
  EXPECT_EQ(abortRequested, 1);
  std::vector<std::string> targets = targetsOf(input);
  EXPECT_EQ(sizeOf(targets[0]), 2048u);
  EXPECT_EQ(sizeOf(targets[1]), 2048u);  // cut at its first checkpoint
  EXPECT_EQ(test::machineFile(targets[2]), input.files[2].bytes);
  EXPECT_EQ(machine::registryValues(test::uninstallKey("Aquarium")).size(), 7u);
  EXPECT_EQ(sizeOf(targets[3]), 40u);
  EXPECT_EQ(test::machineText(folder + "INSTALL.LOG"), logOf(targets));
  EXPECT_TRUE(machine::mediaCommands().empty());
  EXPECT_NE(test::machineText("C:\\WINDOWS\\system.ini").find("SCRNSAVE.EXE"), std::string::npos);
  expectEverythingReleased();
}

TEST_F(Worker, AnAbortDuringTheUninstallerDoesNotStopIt) {
  pack::Input input = saverInput({100, 200, 300000, 5000});
  EXPECT_EQ(install(input, cancelDuring(input, 2)), IDOK);
  EXPECT_EQ(abortRequested, 1);
  std::vector<std::string> targets = targetsOf(input);
  EXPECT_EQ(test::machineFile(targets[2]), input.files[2].bytes);
  EXPECT_EQ(sizeOf(targets[3]), 2048u);
  EXPECT_TRUE(machine::mediaCommands().empty());
}

TEST_F(Worker, AnAbortAtTheSixthOfEightEntriesCutsTheRestShort) {
  pack::Input input = saverInput({100, 200, 300, 400, 500, 250000, 6000, 7000});
  EXPECT_EQ(install(input, cancelDuring(input, 5)), IDOK);
  std::vector<std::string> targets = targetsOf(input);
  for (size_t i = 0; i < 5; i++) EXPECT_EQ(test::machineFile(targets[i]), input.files[i].bytes) << i;
  for (size_t i = 5; i < 8; i++) EXPECT_EQ(sizeOf(targets[i]), 2048u) << i;
  EXPECT_EQ(test::machineText(folder + "INSTALL.LOG"), logOf(targets));
  std::vector<machine::MediaCommand> opens;
  for (const machine::MediaCommand& c : machine::mediaCommands()) {
    if (c.kind == 'o' && c.result == 0) opens.push_back(c);
  }
  ASSERT_EQ(opens.size(), 2u);  // entries 3 and 4 only
  EXPECT_NE(opens[1].element.find("FILE0002"), std::string::npos);
  std::vector<std::string> t = machine::transcriptLines();
  EXPECT_EQ(std::count(t.begin(), t.end(), "dialog 103: the user presses Cancel"), 1);
  EXPECT_EQ(t.back(), "dialog 103 ended with 1");
}

TEST_F(Worker, ASecondCancelAfterAnAbortAsksNothing) {
  pack::Input input = saverInput({300000, 300000, 30});
  std::string answers = cancelDuring(input, 0) + "\ndialog 103 Cancel after-bytes 4097";  // in entry 1
  EXPECT_EQ(install(input, answers), IDOK);
  std::vector<std::string> t = machine::transcriptLines();
  EXPECT_EQ(std::count(t.begin(), t.end(), "dialog 103: the user presses Cancel"), 2);
  EXPECT_EQ(std::count(t.begin(), t.end(), "  answer: Yes"), 1);
  EXPECT_TRUE(ui::unusedAnswers().empty());
}

TEST_F(Worker, AccessDeniedEndsWithCancelAndWritesNothing) {
  pack::Input input = saverInput({10, 20, 30, 40});
  EXPECT_EQ(install(input, "message \"Error!!!\" OK", Interactive, {"admin=no"}), IDCANCEL);
  EXPECT_FALSE(test::machineFileExists("C:\\WINDOWS\\Aquarium.scr"));
  EXPECT_FALSE(std::filesystem::exists(machine::hostPath(folder)));
  EXPECT_FALSE(machine::registryKeyExists(test::uninstallKey("Aquarium")));
  EXPECT_EQ(machine::bytesWritten(), 0u);
}

TEST_F(Worker, ADamagedPackageEndsWithCancelAndWritesNothing) {
  pack::Input input = saverInput({10, 20, 30, 4000});
  std::vector<uint8_t> installer = test::makeInstaller(input);
  installer.resize(installer.size() - 100);
  test::freshMachine();
  ui::reset();
  test::placeInstaller(installer);
  EXPECT_EQ(again(), IDCANCEL);
  EXPECT_FALSE(test::machineFileExists("C:\\WINDOWS\\Aquarium.scr"));
  EXPECT_FALSE(machine::registryKeyExists(test::uninstallKey("Aquarium")));
  EXPECT_EQ(machine::bytesWritten(), 0u);
}

TEST_F(Worker, SilentModeKeepsTheDialogHidden) {
  for (int mode : {Silent, Interactive}) {
    pack::Input input = saverInput({10, 20, 30});
    EXPECT_EQ(install(input, "", mode), IDOK);
    std::vector<std::string> t = machine::transcriptLines();
    bool shown = t.front().find("\" shown, owner") != std::string::npos;
    EXPECT_EQ(shown, mode == Interactive) << t.front();
    EXPECT_EQ(test::machineFile("C:\\WINDOWS\\Aquarium.scr"), input.files[0].bytes);
  }
}

TEST_F(Worker, DialogShowsTheSaverName) {
  EXPECT_EQ(install(saverInput({10, 20, 30})), IDOK);
  std::vector<std::string> t = machine::transcriptLines();
  std::string all = std::accumulate(t.begin(), t.end(), std::string(),
                                    [](std::string a, const std::string& b) { return a + b + "\n"; });
  EXPECT_NE(all.find("Aquarium Screen Saver Installation"), std::string::npos) << all;
  EXPECT_NE(all.find("\"Aquarium Screen Saver\""), std::string::npos) << all;
}

}  // namespace
