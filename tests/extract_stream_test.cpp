// extractStream on the simulated machine: how the stream is read and the
// target written, aborts, full disks and files that cannot be opened.
#include <gtest/gtest.h>

#include <random>

#include "decoder/extract.h"
#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"
#include "platform/host/machine.h"
#include "shell/exit_status.h"
#include "shell/state.h"
#include "tests/support.h"
#include "tools/common/lzhuf_encoder.h"

namespace {

const char kInstaller[] = "C:\\DOWNLOAD\\SETUP.EXE";
const char kTarget[] = "C:\\OUT.BIN";

std::vector<uint8_t> randomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = (uint8_t)random();
  return bytes;
}

class Extract : public ::testing::Test {
 protected:
  void SetUp() override { machineDir = test::freshMachine(settings()); }
  void TearDown() override {
    abortRequested = 0;
    finishDespiteAbort = 0;
  }
  virtual std::vector<std::string> settings() { return {}; }

  // Puts `before` bytes of filler and then the stream into the module file.
  DWORD place(const std::vector<uint8_t>& stream, size_t before = 100) {
    std::vector<uint8_t> file(before, 0xCC);
    file.insert(file.end(), stream.begin(), stream.end());
    test::placeInstaller(file, kInstaller);
    return (DWORD)before;
  }
  std::vector<size_t> operations(const std::string& path, char kind) {
    std::vector<size_t> sizes;
    for (const machine::FileOperation& op : machine::fileOperations()) {
      if (op.kind == kind && op.path == path) sizes.push_back(op.bytes);
    }
    return sizes;
  }
  int expand(const std::vector<uint8_t>& stream, DWORD expandedSize) {
    DWORD at = place(stream);
    machine::fileOperations().clear();
    return extractStream(at, expandedSize, (DWORD)stream.size(), kTarget);
  }

  std::string machineDir;
};

TEST_F(Extract, RoundTripsThroughTheEncoder) {
  std::string text;
  while (text.size() < 30000) text += "The quick brown fox jumps over the lazy dog, again and again. ";
  std::vector<uint8_t> runs;
  for (int i = 0; i < 400; i++) runs.insert(runs.end(), (size_t)(i % 97 + 1), (uint8_t)(i * 31));
  struct Case {
    const char* name;
    std::vector<uint8_t> input;
  } cases[] = {
      {"one byte", {0x41}},
      {"blank", {' '}},
      {"all one value", std::vector<uint8_t>(70000, 0xAB)},
      {"random", randomBytes(50000, 1)},
      {"text", std::vector<uint8_t>(text.begin(), text.end())},
      {"runs past the rebuild", runs},
      {"random past the rebuild", randomBytes(40000, 2)},
      {"one chunk", randomBytes(16384, 3)},
      {"pattern", test::patternBytes(100000)},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> stream = lzhuf::encode(c.input);
    ASSERT_EQ(expand(stream, (DWORD)c.input.size()), 1) << c.name;
    EXPECT_EQ(test::machineFile(kTarget), c.input) << c.name;
  }
}

TEST_F(Extract, TheEmptyInputIsTheEmptyStream) {
  EXPECT_TRUE(lzhuf::encode({}).empty());
  ASSERT_EQ(expand({}, 0), 1);
  EXPECT_TRUE(test::machineFileExists(kTarget));
  EXPECT_TRUE(test::machineFile(kTarget).empty());
  EXPECT_TRUE(operations(kTarget, 'w').empty());
}

TEST_F(Extract, SmallFixtures) {
  struct Case {
    std::vector<uint8_t> stream;
    DWORD size;
    std::vector<uint8_t> expected;
  } cases[] = {
      {{}, 1, {0x38}},                           // zero bits only
      {{0x09}, 1, {0x41}},                       // 00001001
      {{0xC8, 0x00, 0x00}, 3, {' ', ' ', ' '}},  // a match of 3 at position 0: preset blanks
      {{0x00}, 4, {0x38, 0x38, 0x38, 0x38}},     // then a match: what runs past the size is dropped
  };
  for (const Case& c : cases) {
    ASSERT_EQ(expand(c.stream, c.size), 1);
    EXPECT_EQ(test::machineFile(kTarget), c.expected);
  }
}

TEST_F(Extract, WritesWholeChunksAndReadsWholeBlocks) {
  struct Case {
    size_t size;
    std::vector<size_t> chunks;
  } cases[] = {
      {16384, {16384}},
      {16385, {16384, 1}},
      {40000, {16384, 16384, 7232}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> input = randomBytes(c.size, 4);
    ASSERT_EQ(expand(lzhuf::encode(input), (DWORD)c.size), 1);
    EXPECT_EQ(operations(kTarget, 'w'), c.chunks) << c.size;
    EXPECT_EQ(test::machineFile(kTarget), input);
  }
  // Any 40000 bytes make a stream; enough output uses up all of them.
  ASSERT_EQ(expand(randomBytes(40000, 5), 1000000), 1);
  EXPECT_EQ(operations(machine::fullPath(kInstaller), 'r'), (std::vector<size_t>{16384, 16384, 7232}));
  ASSERT_EQ(expand(randomBytes(100, 6), 10000), 1);
  EXPECT_EQ(operations(machine::fullPath(kInstaller), 'r'), (std::vector<size_t>{100}));
}

// A package cut off inside a stream: the missing bytes decode as zeros and
// nothing outside the file is read.
TEST_F(Extract, AFileEndingInsideTheStreamReadsZeros) {
  std::vector<uint8_t> stream = lzhuf::encode(randomBytes(3000, 7));
  std::vector<uint8_t> kept(stream.begin(), stream.begin() + 1000);
  std::vector<uint8_t> padded = kept;
  padded.resize(stream.size(), 0);
  ASSERT_EQ(expand(padded, 3000), 1);
  std::vector<uint8_t> expected = test::machineFile(kTarget);
  DWORD at = place(kept);
  ASSERT_EQ(extractStream(at, 3000, (DWORD)stream.size(), kTarget), 1);
  EXPECT_EQ(test::machineFile(kTarget), expected);
}

TEST_F(Extract, AnAbortStopsAtTheFirstPumpUnlessTheEntryMustFinish) {
  std::vector<uint8_t> input = randomBytes(50000, 8);
  std::vector<uint8_t> stream = lzhuf::encode(input);
  abortRequested = 1;
  ASSERT_EQ(expand(stream, (DWORD)input.size()), 1);
  EXPECT_TRUE(test::machineFile(kTarget).empty());
  finishDespiteAbort = 1;
  ASSERT_EQ(expand(stream, (DWORD)input.size()), 1);
  EXPECT_EQ(test::machineFile(kTarget), input);
}

TEST_F(Extract, NothingIsWrittenWhenAFileCannotBeOpened) {
  std::vector<uint8_t> stream = lzhuf::encode({1, 2, 3});
  DWORD at = place(stream);
  EXPECT_EQ(extractStream(at, 3, (DWORD)stream.size(), "C:\\NO\\SUCH\\FOLDER\\OUT.BIN"), 0);
  machine::setModulePath("C:\\DOWNLOAD\\MISSING.EXE");
  EXPECT_EQ(extractStream(at, 3, (DWORD)stream.size(), kTarget), 0);
  EXPECT_FALSE(test::machineFileExists(kTarget));
  EXPECT_TRUE(machine::openFiles().empty());
}

class ExtractOnAFullDisk : public Extract {
  std::vector<std::string> settings() override { return {"free_kilobytes=20"}; }
};

// The text ends the process with status 0 here; a failure must not look like
// success, so it ends with the write-failure status instead.
TEST_F(ExtractOnAFullDisk, AShortWriteEndsTheProcessWithAFailureStatus) {
  std::vector<uint8_t> input = randomBytes(60000, 9);
  std::vector<uint8_t> stream = lzhuf::encode(input);
  DWORD at = place(stream);
  machine::fileOperations().clear();
  try {
    extractStream(at, (DWORD)input.size(), (DWORD)stream.size(), kTarget);
    FAIL() << "the process went on";
  } catch (const machine::ProcessExit& exit) {
    EXPECT_EQ(exit.status, EXIT_WRITE_FAILED);
  }
  std::vector<uint8_t> written = test::machineFile(kTarget);
  EXPECT_LE(written.size(), 20u * 1024);
  EXPECT_EQ(written, std::vector<uint8_t>(input.begin(), input.begin() + written.size()));
  EXPECT_TRUE(machine::openFiles().empty());
}

}  // namespace
