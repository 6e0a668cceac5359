// The pump points of the decode loop, and an abort confirmed inside a pump.
#include <gtest/gtest.h>

#include <random>

#include "decoder/extract.h"
#include "decoder/huffman.h"
#include "decoder/output_writer.h"
#include "platform/host/machine.h"
#include "platform/host/ui.h"
#include "shell/state.h"
#include "tests/support.h"
#include "tools/common/lzhuf_encoder.h"

namespace {

const char kInstaller[] = "C:\\DOWNLOAD\\SETUP.EXE";

class Pump : public ::testing::Test {
 protected:
  void SetUp() override {
    test::freshMachine();
    test::freshProcessState();
  }
  void TearDown() override { test::freshProcessState(); }
  // Two streams one after the other in the module file.
  void place(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second) {
    streams[0] = lzhuf::encode(first);
    streams[1] = lzhuf::encode(second);
    std::vector<uint8_t> file = streams[0];
    file.insert(file.end(), streams[1].begin(), streams[1].end());
    test::placeInstaller(file, kInstaller);
  }
  int extract(int which, size_t size, const char* target) {
    DWORD at = which == 0 ? 0 : (DWORD)streams[0].size();
    return extractStream(at, (DWORD)size, (DWORD)streams[which].size(), target);
  }
  std::vector<uint8_t> streams[2];
};

std::vector<uint8_t> sample(size_t size) {
  std::mt19937 random(11);
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; i++) bytes[i] = (uint8_t)(random() % 4 == 0 ? random() : 'a' + i % 7);
  return bytes;
}

// Output bytes so far, at each pump.
TEST_F(Pump, PumpsAfterTheFirstSymbolAndEachFurther102400Bytes) {
  std::vector<uint8_t> input = sample(310000);
  place(input, {1});
  std::vector<unsigned long> producedAtPump;
  ui::setPumpHook([&](unsigned long) { producedAtPump.push_back(outputWriter.written + outputWriter.pending); });
  ASSERT_EQ(extract(0, input.size(), "C:\\A.BIN"), 1);
  ASSERT_EQ(producedAtPump.size(), 4u);
  for (size_t i = 0; i < producedAtPump.size(); i++) {
    EXPECT_GT(producedAtPump[i], i * 102400) << i;
    EXPECT_LE(producedAtPump[i], i * 102400 + MAX_MATCH) << i;
  }
  EXPECT_EQ(test::machineFile("C:\\A.BIN"), input);
}

TEST_F(Pump, AnAbortInThePumpAfter102400StopsThereAndTheNextStreamStartsClean) {
  std::vector<uint8_t> first = sample(200000), second = sample(50000);
  place(first, second);
  int pumps = 0;
  ui::setPumpHook([&](unsigned long) {
    if (++pumps == 2) abortRequested = 1;  // the user confirms Cancel during the second pump
  });
  ASSERT_EQ(extract(0, first.size(), "C:\\A.BIN"), 1);
  std::vector<uint8_t> written = test::machineFile("C:\\A.BIN");
  EXPECT_EQ(written.size(), 98304u);  // six whole chunks
  EXPECT_EQ(written, std::vector<uint8_t>(first.begin(), first.begin() + 98304));

  ui::setPumpHook(nullptr);
  abortRequested = 0;
  ASSERT_EQ(extract(1, second.size(), "C:\\B.BIN"), 1);
  EXPECT_EQ(test::machineFile("C:\\B.BIN"), second);
}

TEST_F(Pump, TheUninstallerEntryFinishesDespiteAnAbort) {
  std::vector<uint8_t> input = sample(250000);
  place(input, {1});
  finishDespiteAbort = 1;
  ui::setPumpHook([&](unsigned long) { abortRequested = 1; });
  ASSERT_EQ(extract(0, input.size(), "C:\\A.BIN"), 1);
  EXPECT_EQ(test::machineFile("C:\\A.BIN"), input);
}

}  // namespace
