// Installers with compressed entries, and vrn-pack's raw stream commands.
#include <gtest/gtest.h>

#include <random>

#include "decoder/extract.h"
#include "platform/host/machine.h"
#include "tests/support.h"
#include "tools/common/lzhuf_encoder.h"

namespace {

std::vector<uint8_t> textBytes(size_t size) {
  static const char words[] = "screen saver aquarium bubbles reef fish light water ";
  std::vector<uint8_t> bytes;
  for (size_t i = 0; bytes.size() < size; i = (i * 7 + 3) % (sizeof words - 1)) bytes.push_back((uint8_t)words[i]);
  return bytes;
}

std::vector<uint8_t> noise(size_t size) {
  std::mt19937 random(5);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = (uint8_t)random();
  return bytes;
}

class PackCompressed : public ::testing::Test {
 protected:
  std::string dir = test::freshFolder("compressed");
  std::string file(const std::string& name, const std::vector<uint8_t>& bytes) {
    pe::writeFile(dir + "/" + name, bytes);
    return dir + "/" + name;
  }
  test::Run vrnPack(const std::string& args) { return test::runTool(std::string(VRN_PACK) + " " + args); }
};

TEST_F(PackCompressed, BuildCompressesWhatShrinksAndTheInstallerExpandsIt) {
  std::vector<std::vector<uint8_t>> contents = {textBytes(70000), textBytes(5000), noise(3000), textBytes(20000)};
  struct Case {
    std::string option;
    std::vector<bool> compressed;
  } cases[] = {
      {"", {true, true, false, true}},
      {"--store", {false, false, false, false}},
      {"--compress", {true, true, true, true}},
  };
  for (const Case& c : cases) {
    test::Run build =
        vrnPack("build --stub " + test::quote(VRN_STUB) + " --name Reef --saver " + file("reef.scr", contents[0]) +
                " --data " + file("reef.dat", contents[1]) + " --uninstaller " + file("un.exe", contents[2]) +
                " --media " + file("a.txt", contents[3]) + " " + c.option + " -o " + dir + "/setup.exe");
    ASSERT_EQ(build.status, 0) << build.output;
    test::Run inspect = vrnPack("inspect " + dir + "/setup.exe");
    ASSERT_EQ(inspect.status, 0) << inspect.output;
    EXPECT_NE(inspect.output.find("installed size:  98000 bytes"), std::string::npos) << inspect.output;

    std::vector<uint8_t> installer = pe::readFile(dir + "/setup.exe");
    pack::Package package = pack::read(installer);
    test::freshMachine();
    test::placeInstaller(installer);
    for (size_t i = 0; i < contents.size(); i++) {
      const pack::Entry& e = package.entries[i];
      EXPECT_EQ(e.expandedSize != 0, c.compressed[i]) << c.option << " " << i;
      if (!e.expandedSize) {
        EXPECT_EQ(
            std::vector<uint8_t>(installer.begin() + e.streamOffset, installer.begin() + e.streamOffset + e.storedSize),
            contents[i]);
        continue;
      }
      EXPECT_LT(e.storedSize, c.option.empty() ? e.expandedSize : UINT32_MAX);
      ASSERT_EQ(extractStream(e.streamOffset, e.expandedSize, e.storedSize, "C:\\ENTRY.BIN"), 1);
      EXPECT_EQ(test::machineFile("C:\\ENTRY.BIN"), contents[i]) << c.option << " " << i;
    }
  }
}

TEST_F(PackCompressed, CompressAndExpandRoundTrip) {
  for (const std::vector<uint8_t>& input : {textBytes(50000), noise(20000), std::vector<uint8_t>{7}}) {
    ASSERT_EQ(vrnPack("compress " + file("in", input) + " " + dir + "/packed").status, 0);
    EXPECT_EQ(pe::readFile(dir + "/packed"), lzhuf::encode(input));
    test::Run expand = vrnPack("expand " + dir + "/packed " + dir + "/out " + std::to_string(input.size()));
    ASSERT_EQ(expand.status, 0) << expand.output;
    EXPECT_EQ(pe::readFile(dir + "/out"), input);
  }
  EXPECT_EQ(vrnPack("expand " + dir + "/packed").status, 1);
  EXPECT_EQ(vrnPack("expand " + dir + "/missing " + dir + "/out 5").status, 1);
}

// Text compresses to well under half with the 4096-byte window.
TEST(Encoder, ShrinksText) {
  std::vector<uint8_t> text = textBytes(100000);
  EXPECT_LT(lzhuf::encode(text).size(), text.size() / 4);
}

}  // namespace
