// The package reads on real installers and on damaged or hand-made files.
#include "package/package.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/host/machine.h"
#include "tests/support.h"

namespace {

struct Names {
  char name[PACKAGE_NAME_SIZE];
  COLORREF start = 0x11111111, end = 0x22222222;
};

Names readNames() {
  Names n;
  std::memset(n.name, '#', sizeof n.name);
  n.name[0] = 0;
  readSaverName(n.name, &n.start, &n.end);
  return n;
}

std::vector<PackageEntry> readEntries(WORD* firstSequence = nullptr) {
  HFILE package = locatePackage();
  EXPECT_NE(package, HFILE_ERROR);
  WORD sequence = seekEntryTable(package);
  if (firstSequence) *firstSequence = sequence;
  std::vector<PackageEntry> entries;
  PackageEntry entry;
  while (readPackageEntry(package, &entry)) entries.push_back(entry);
  _lclose(package);
  return entries;
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override { test::freshMachine(); }
  uint32_t place(const pack::Input& input) {
    std::vector<uint8_t> installer = test::makeInstaller(input);
    test::placeInstaller(installer);
    return pack::anchorOffset(pe::parse(test::stub()));
  }
};

TEST_F(PackageTest, ThreeEntriesWithoutLicenseHaveA386ByteHeader) {
  pack::Input input = test::sampleInput("Aquarium", {100, 200, 300});
  input.startColour = 0x00102030;
  input.endColour = 0x00302010;
  input.firstSequenceNumber = 18;
  uint32_t header = place(input);

  Names n = readNames();
  EXPECT_STREQ(n.name, "Aquarium");
  EXPECT_EQ(n.start, 0x00102030u);
  EXPECT_EQ(n.end, 0x00302010u);

  WORD sequence;
  std::vector<PackageEntry> entries = readEntries(&sequence);
  EXPECT_EQ(sequence, 18);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].streamOffset, header + 386);
  EXPECT_EQ(entries[1].streamOffset, header + 486);
  EXPECT_EQ(entries[2].storedSize, 300u);
  EXPECT_EQ(entries[2].expandedSize, 0u);
  EXPECT_EQ(std::string(entries[2].fileSuffix, 15), std::string(15, ' '));

  DWORD total = 1;
  EXPECT_EQ(sumInstalledSize(&total), 1);
  EXPECT_EQ(total, 600u);
  EXPECT_EQ(checkPackageIntact(), 1);
  EXPECT_TRUE(machine::openFiles().empty());
}

TEST_F(PackageTest, LicenseOf1000BytesMovesTheNameAndTable) {
  pack::Input input = test::sampleInput();
  input.license = std::string(999, 'L') + "!";
  uint32_t header = place(input);

  HGLOBAL block = nullptr;
  char* text = readLicenseText(&block);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::strlen(text), 1000u);
  EXPECT_EQ(text[999], '!');
  GlobalUnlock(block);
  GlobalFree(block);

  EXPECT_STREQ(readNames().name, "Aquarium");
  std::vector<uint8_t> file = test::machineFile("C:\\DOWNLOAD\\SETUP.EXE");
  EXPECT_EQ(std::memcmp(&file[header + 1002], "Aquarium", 8), 0);
  EXPECT_EQ(pe::u32(file, header + 1262), 0x00FF0000u);
  EXPECT_EQ(readEntries()[0].streamOffset, header + 1274 + 4 * 28);
}

TEST_F(PackageTest, NoLicenseGivesNoText) {
  place(test::sampleInput());
  HGLOBAL block = nullptr;
  EXPECT_EQ(readLicenseText(&block), nullptr);
}

// Entries are rewritten in place in a real installer to make the cases.
void patchEntry(std::vector<uint8_t>& installer, uint32_t header, int index, uint32_t stored, uint32_t expanded) {
  size_t at = header + 274 + 28 * index;
  pe::put32(installer, at + 4, stored);
  pe::put32(installer, at + 8, expanded);
}

TEST_F(PackageTest, TerminatorEndsTheTableEvenWithEntriesAfterIt) {
  std::vector<uint8_t> installer = test::makeInstaller(test::sampleInput("A", {10, 20, 30, 40}));
  uint32_t header = pack::anchorOffset(pe::parse(test::stub()));
  patchEntry(installer, header, 1, 0, 999);  // the second record now ends the table
  test::placeInstaller(installer);
  EXPECT_EQ(readEntries().size(), 1u);
  DWORD total;
  sumInstalledSize(&total);
  EXPECT_EQ(total, 10u);

  patchEntry(installer, header, 0, 0, 0);
  test::placeInstaller(installer);
  EXPECT_TRUE(readEntries().empty());
  EXPECT_EQ(sumInstalledSize(&total), 1);
  EXPECT_EQ(total, 0u);
}

TEST_F(PackageTest, InstalledSizeAddsExpandedOrStoredSizes) {
  std::vector<uint8_t> installer = test::makeInstaller(test::sampleInput("A", {10, 20, 30, 100}));
  uint32_t header = pack::anchorOffset(pe::parse(test::stub()));
  patchEntry(installer, header, 0, 131922, 253952);
  patchEntry(installer, header, 1, 444449, 473068);
  patchEntry(installer, header, 2, 15918, 32768);
  test::placeInstaller(installer);
  DWORD total;
  EXPECT_EQ(sumInstalledSize(&total), 1);
  EXPECT_EQ(total, 759788u + 100u);
  EXPECT_EQ(checkPackageIntact(), 0);  // those streams lie beyond the file's end
}

TEST_F(PackageTest, DefaultColourBytesReadAsBlueAndBlack) {
  pack::Input input = test::sampleInput();
  input.startColour = 0x00FF0000;
  input.endColour = 0;
  place(input);
  Names n = readNames();
  EXPECT_EQ(n.start, 0x00FF0000u);
  EXPECT_EQ(n.end, 0u);
}

TEST_F(PackageTest, NameFieldWithoutNulGivesATerminatedName) {
  std::vector<uint8_t> installer = test::makeInstaller(test::sampleInput());
  uint32_t header = pack::anchorOffset(pe::parse(test::stub()));
  std::memset(&installer[header + 2], 'N', PACKAGE_NAME_SIZE);
  test::placeInstaller(installer);
  Names n = readNames();
  EXPECT_EQ(std::strlen(n.name), 259u);
}

TEST_F(PackageTest, MissingInstallerIsNotLocated) {
  machine::setModulePath("C:\\NOWHERE\\SETUP.EXE");
  EXPECT_EQ(locatePackage(), HFILE_ERROR);
  Names n = readNames();
  EXPECT_STREQ(n.name, "");
  EXPECT_EQ(n.start, 0x11111111u);
  DWORD total = 5;
  EXPECT_EQ(sumInstalledSize(&total), 0);
  EXPECT_EQ(total, 0u);
}

// A file cut off at any point reads as a package that is not there, or as a
// shorter table; it never reads past the end or crashes.
TEST_F(PackageTest, CutOffInstallersReadAsMissingOrShortPackages) {
  pack::Input input = test::sampleInput("Cut", {100, 200, 300});
  input.license = "terms";
  std::vector<uint8_t> whole = test::makeInstaller(input);
  uint32_t header = pack::anchorOffset(pe::parse(test::stub()));
  const pe::Image& image = pe::parse(test::stub());
  struct Case {
    const char* where;
    size_t length;
    bool named;
    size_t entries;
  } cases[] = {
      {"inside the MS-DOS header", 40, false, 0},
      {"inside the PE headers", 200, false, 0},
      {"inside the section table", image.optionalOffset + 224 + 20, false, 0},
      {"inside the resource directory", image.section(".rsrc")->rawOffset + 20, false, 0},
      {"inside the license", header + 4, false, 0},
      {"inside the name", header + 7 + 100, false, 0},
      {"inside the table", header + 7 + 272 + 28 + 10, true, 1},
      {"before the terminator ends", header + 7 + 272 + 3 * 28 + 27, true, 3},
      {"inside the streams", whole.size() - 1, true, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    test::placeInstaller(std::vector<uint8_t>(whole.begin(), whole.begin() + c.length));
    EXPECT_STREQ(readNames().name, c.named ? "Cut" : "");
    HFILE package = locatePackage();
    size_t found = 0;
    if (package != HFILE_ERROR) {
      seekEntryTable(package);
      PackageEntry entry;
      while (readPackageEntry(package, &entry)) found++;
      _lclose(package);
    }
    EXPECT_EQ(found, c.entries);
    EXPECT_EQ(checkPackageIntact(), 0);
  }
}

// A hand-made PE whose sections hold no ".rsrc": the walk stops after the
// section headers.
TEST_F(PackageTest, ImageWithoutResourceSectionIsNotLocated) {
  std::vector<uint8_t> image(1024, 0);
  image[0] = 'M';
  image[1] = 'Z';
  pe::put32(image, 60, 64);
  pe::put32(image, 64, 0x00004550);
  pe::put16(image, 68, 0x14C);
  pe::put16(image, 70, 2);    // two sections
  pe::put16(image, 84, 224);  // optional header size
  std::memcpy(&image[64 + 248], ".text\0\0\0", 8);
  std::memcpy(&image[64 + 288], ".rsrcX\0\0", 8);
  test::placeInstaller(image);
  EXPECT_EQ(locatePackage(), HFILE_ERROR);
  EXPECT_TRUE(machine::openFiles().empty());
}

}  // namespace
