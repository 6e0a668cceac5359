// The copy of stored streams: sizes around the buffer, the extra read at an
// exact end, the checkpoints and an abort.
#include <gtest/gtest.h>

#include "install/copy_stream.h"
#include "platform/host/ui.h"
#include "tests/install_support.h"

namespace {

const char* const target = "C:\\OUT.BIN";

// Copies the entry at `index` of a placed installer; the pumps it made.
unsigned long copyEntry(size_t index) {
  HFILE package = locatePackage();
  seekEntryTable(package);
  PackageEntry entry;
  for (size_t i = 0; i <= index; i++) readPackageEntry(package, &entry);
  BYTE buffer[COPY_BUFFER_SIZE];
  unsigned long before = ui::pumpCalls();
  copyStoredStream(package, &entry, target, buffer);
  _lclose(package);
  return ui::pumpCalls() - before;
}

struct CopyCase {
  size_t size;
  bool last;  // the stream ends the file
  unsigned long pumps;
};

TEST(CopyStoredStream, CopiesExactlyTheStreamAndPumpsAtItsCheckpoints) {
  const CopyCase cases[] = {
      {1, false, 1},
      {2048, false, 1},
      {2049, false, 1},
      {4096, false, 1},
      {4096, true, 1},
      {102399, false, 1},
      {102400, false, 2},  // the extra read after an exact end passes the
                           // checkpoint
      {102401, false, 2},
      {102400, true, 1},  // at the end of the file the extra read gets nothing
      {204801, false, 3},
  };
  for (const CopyCase& c : cases) {
    test::freshMachine();
    test::startInstallation("Aquarium");
    std::vector<size_t> sizes = {10, 20, 30, c.size};
    if (!c.last) sizes.push_back(5000);
    pack::Input input = test::sampleInput("Aquarium", sizes);
    test::placeInstaller(test::makeInstaller(input));
    EXPECT_EQ(copyEntry(3), c.pumps) << c.size;
    EXPECT_EQ(test::machineFile(target), input.files[3].bytes) << c.size;
    EXPECT_TRUE(machine::openFiles().empty());
  }
}

TEST(CopyStoredStream, AnAbortStopsAtTheCheckpointUnlessTheEntryMustFinish) {
  for (int finish : {0, 1}) {
    test::freshMachine();
    test::startInstallation("Aquarium");
    pack::Input input = test::sampleInput("Aquarium", {10, 20, 30, 300000, 10});
    test::placeInstaller(test::makeInstaller(input));
    finishDespiteAbort = finish;
    ui::setPumpHook([](unsigned long) { abortRequested = 1; });
    copyEntry(3);
    ui::setPumpHook(nullptr);
    EXPECT_EQ(test::machineFile(target).size(), finish ? 300000u : 2048u);
  }
}

}  // namespace
