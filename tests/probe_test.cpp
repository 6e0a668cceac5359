// The media probe against the simulated media layer.
#include <gtest/gtest.h>

#include "install/media_probe.h"
#include "tests/install_support.h"

namespace {

struct MediaFile {
  std::string path;
  std::string format;  // of its content
};

struct ProbeCase {
  std::vector<std::string> settings;
  std::vector<MediaFile> files;
  std::string unsupported;
};

std::string probeAll(const ProbeCase& c) {
  test::freshMachine(c.settings);
  test::startInstallation("Aquarium");
  for (const MediaFile& f : c.files) {
    test::putMachineFile(f.path, test::mediaContent(f.format));
    probeMediaFile(f.path.c_str());
  }
  return unsupportedTypes;
}

TEST(Probe, ListsEachUnplayableTypeOnceAsWritten) {
  const std::string d = "C:\\DATA\\";
  const ProbeCase cases[] = {
      {{}, {{d + "A.mid", "jpg"}, {d + "B.mid", "jpg"}}, ".mid\r\n"},
      {{}, {{d + "A.JPG", "jpg"}, {d + "B.jpg", "jpg"}}, ".JPG\r\n.jpg\r\n"},
      {{}, {{d + "A.mpg", "jpg"}, {d + "B.mp", "jpg"}}, ".mpg\r\n"},  // .mp is part of .mpg
      {{}, {{d + "A.mp", "jpg"}, {d + "B.mpg", "jpg"}}, ".mp\r\n.mpg\r\n"},
      {{}, {{d + "A.wav", "wav"}, {d + "B.mid", "mid"}, {d + "C.avi", "avi"}, {d + "D.mpg", "mpg"}}, ""},
      {{}, {{d + "A.jpg", "bmp"}, {d + "B.bmp", "bmp"}}, ""},  // by the MPEGVideo device
      {{"mpegvideo=no"}, {{d + "A.bmp", "bmp"}, {d + "B.mp3", "mp3"}, {d + "C.wav", "wav"}}, ".bmp\r\n.mp3\r\n"},
      {{"media_types=wav"}, {{d + "A.mid", "mid"}, {d + "B.wav", "wav"}}, ".mid\r\n"},
      {{}, {{d + "A.wav", "mid"}}, ""},  // the wave device refuses it, MPEGVideo plays it
      {{}, {{d + "A.txt", "txt"}}, ".txt\r\n"},
      {{}, {{"C:\\My.Saver\\FILE0018", "jpg"}}, "FILE0018\r\n"},  // no "." in the name
  };
  for (const ProbeCase& c : cases) {
    EXPECT_EQ(probeAll(c), c.unsupported) << c.files[0].path;
    EXPECT_TRUE(machine::openMediaDevices().empty());
  }
}

TEST(Probe, AFileTheFirstOpenTakesIsClosedAndMPEGVideoIsNotTried) {
  machine::mediaCommands().clear();
  probeAll({{}, {{"C:\\DATA\\JUKE0001.wav", "wav"}}, ""});
  const std::vector<machine::MediaCommand>& commands = machine::mediaCommands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].kind, 'o');
  EXPECT_EQ(commands[0].deviceType, "waveaudio");
  EXPECT_EQ(commands[0].result, 0u);
  EXPECT_EQ(commands[1].kind, 'c');
  EXPECT_EQ(commands[1].device, commands[0].device);
  EXPECT_EQ(commands[1].result, 0u);
}

TEST(Probe, OpensByTheShortPathAndTriesMPEGVideoSecond) {
  machine::mediaCommands().clear();
  probeAll({{}, {{"C:\\Saver Data\\Reef Picture.bmp", "bmp"}}, ""});
  const std::vector<machine::MediaCommand>& commands = machine::mediaCommands();
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].element, "C:\\SAVERD~1\\REEFPI~1.BMP");
  EXPECT_NE(commands[0].result, 0u);
  EXPECT_EQ(commands[1].deviceType, "MPEGVideo");
  EXPECT_EQ(commands[1].result, 0u);
  EXPECT_EQ(commands[2].kind, 'c');
  EXPECT_EQ(commands[2].device, commands[1].device);
}

TEST(Probe, AMissingFileCountsAsUnsupported) {
  test::freshMachine();
  test::startInstallation("Aquarium");
  probeMediaFile("C:\\DATA\\FILE0001.avi");
  EXPECT_STREQ(unsupportedTypes, ".avi\r\n");
}

TEST(Probe, ATypeThatNoLongerFitsIsLeftOut) {
  test::freshMachine();
  test::startInstallation("Aquarium");
  std::string full(UNSUPPORTED_TYPES_SIZE - 6, 'x');  // room for ".ab" and a line end, not ".abc"
  strcpy(unsupportedTypes, full.c_str());
  test::putMachineFile("C:\\DATA\\A.abc", test::mediaContent("txt"));
  probeMediaFile("C:\\DATA\\A.abc");
  EXPECT_EQ(std::string(unsupportedTypes), full);
  test::putMachineFile("C:\\DATA\\A.ab", test::mediaContent("txt"));
  probeMediaFile("C:\\DATA\\A.ab");
  EXPECT_EQ(std::string(unsupportedTypes), full + ".ab\r\n");
  EXPECT_EQ(strlen(unsupportedTypes), (size_t)UNSUPPORTED_TYPES_SIZE - 1);
}

TEST(MediaLayer, RecognisesFormatsByTheirSignatures) {
  for (const char* format : {"mpg", "avi", "wav", "mid", "mp3", "bmp", "jpg", "gif", "png"}) {
    EXPECT_EQ(machine::mediaFormat(test::mediaContent(format)), format);
  }
  EXPECT_EQ(machine::mediaFormat({0, 0, 1, 0xB3}), "mpg");
  EXPECT_EQ(machine::mediaFormat({0xFF, 0xFB, 0x90, 0x64}), "mp3");  // a frame header without a tag
  EXPECT_EQ(machine::mediaFormat(test::mediaContent("txt")), "");
}

}  // namespace
