// Where each entry goes, and which installers may install at all.
#include <gtest/gtest.h>

#include <functional>

#include "install/installable.h"
#include "install/targets.h"
#include "tests/install_support.h"

namespace {

PackageEntry entryOf(BYTE kind, const std::string& suffix) {
  PackageEntry entry{};
  entry.storedSize = 1;
  memset(entry.fileSuffix, ' ', PACKAGE_SUFFIX_SIZE);
  memcpy(entry.fileSuffix, suffix.data(), std::min(suffix.size(), (size_t)PACKAGE_SUFFIX_SIZE));
  entry.fileKind = kind;
  return entry;
}

struct TargetCase {
  DWORD index;
  BYTE kind;
  std::string suffix;
  WORD firstSequence;
  const char* target;  // nullptr: refused
};

TEST(Targets, EachEntryHasItsPlace) {
  const std::string nul("\0", 1);
  const TargetCase cases[] = {
      {0, ' ', "", 1, "C:\\WINDOWS\\Mr. Fish.scr"},
      {1, ' ', "", 1, "C:\\D\\Mr. Fish.dat"},
      {2, ' ', "", 1, "C:\\D\\UNINSTAL.EXE"},
      {3, ' ', ".jpg", 18, "C:\\D\\FILE0018.jpg"},
      {4, 0, ".jpg", 18, "C:\\D\\JUKE0019.jpg"},
      {4, '_', ".jpg", 18, "C:\\D\\JUK_0019.jpg"},
      {3, 'x', "", 18, "C:\\D\\FILE0018"},  // an all-blank suffix
      {3, ' ', ".mid" + nul + "junk", 1, "C:\\D\\FILE0001.mid"},
      {5, ' ', ".a b  ", 12343, "C:\\D\\FILE12345.a b"},
      {3, ' ', ".abcdefghijklmn", 9, "C:\\D\\FILE0009.abcdefghijklmn"},
      {3, ' ', "\\..\\..\\x.exe", 1, nullptr},
      {3, ' ', "/../x", 1, nullptr},
      {3, ' ', ":stream", 1, nullptr},
      {3, ' ', ".jp?", 1, nullptr},
      {3, ' ', "\t", 1, nullptr},
  };
  for (const TargetCase& c : cases) {
    InstallPlaces places{"C:\\WINDOWS\\Mr. Fish.scr", "C:\\D\\", "Mr. Fish.scr", c.firstSequence};
    PackageEntry entry = entryOf(c.kind, c.suffix);
    char target[MAX_PATH] = "unchanged";
    int built = buildTargetPath(target, &places, c.index, &entry);
    EXPECT_EQ(built, c.target != nullptr) << c.suffix;
    if (c.target) {
      EXPECT_STREQ(target, c.target);
    }
  }
}

TEST(Targets, APathThatDoesNotFitIsRefused) {
  std::string folder = "C:\\" + std::string(MAX_PATH - 16, 'f') + "\\";  // 248 characters
  InstallPlaces places{"C:\\WINDOWS\\A.scr", folder.c_str(), "A.scr", 1};
  PackageEntry entry = entryOf(' ', ".jpg");
  char target[MAX_PATH];
  EXPECT_EQ(buildTargetPath(target, &places, 2, &entry), 0);  // UNINSTAL.EXE: 260 and the NUL
  EXPECT_EQ(buildTargetPath(target, &places, 1, &entry), 1);  // A.dat: 253
}

struct InstallableCase {
  std::string what;
  std::vector<std::string> settings;
  std::function<void(std::vector<uint8_t>&, const pack::Package&)> damage;
  int installable;
};

void putName(std::vector<uint8_t>& bytes, const pack::Package& p, const std::string& name) {
  size_t at = p.headerOffset + 2 + p.license.size();
  std::fill(bytes.begin() + at, bytes.begin() + at + PACKAGE_NAME_SIZE, 0);
  std::copy(name.begin(), name.end(), bytes.begin() + at);
}

void putSuffix(std::vector<uint8_t>& bytes, const pack::Package& p, size_t entry, const std::string& suffix) {
  size_t at = p.headerOffset + PACKAGE_FIXED_SIZE + p.license.size() + entry * PACKAGE_ENTRY_SIZE + 12;
  std::copy(suffix.begin(), suffix.end(), bytes.begin() + at);
}

TEST(Installable, RefusesDamagedPackagesUnsafeNamesAndLongPaths) {
  using Bytes = std::vector<uint8_t>;
  const std::string longFolder = "C:\\" + std::string(200, 'w');
  const InstallableCase cases[] = {
      {"sound", {}, [](Bytes&, const pack::Package&) {}, 1},
      {"trailing blanks", {}, [](Bytes& b, const pack::Package& p) { putName(b, p, "Aquarium   "); }, 1},
      {"cut short", {}, [](Bytes& b, const pack::Package&) { b.pop_back(); }, 0},
      {"stream beyond the end",
       {},
       [](Bytes& b, const pack::Package& p) { b[p.headerOffset + 276 + 28 * 3] = 0xFF; },
       0},
      {"separator in the name", {}, [](Bytes& b, const pack::Package& p) { putName(b, p, "..\\..\\Evil"); }, 0},
      {"drive in the name", {}, [](Bytes& b, const pack::Package& p) { putName(b, p, "C:Evil"); }, 0},
      {"only dots", {}, [](Bytes& b, const pack::Package& p) { putName(b, p, ". ."); }, 0},
      {"blank name", {}, [](Bytes& b, const pack::Package& p) { putName(b, p, "   "); }, 0},
      {"separator in a suffix", {}, [](Bytes& b, const pack::Package& p) { putSuffix(b, p, 3, "\\..\\..\\x.exe"); }, 0},
      {"name too long for the data folder",
       {},
       [](Bytes& b, const pack::Package& p) { putName(b, p, std::string(200, 'n')); },
       0},
      {"long common folder", {"common_appdata=" + longFolder}, [](Bytes&, const pack::Package&) {}, 1},
      {"too long common folder",
       {"common_appdata=" + longFolder + std::string(30, 'x')},
       [](Bytes&, const pack::Package&) {},
       0},
      {"too long Windows directory",
       {"windows_directory=" + longFolder + std::string(50, 'x')},
       [](Bytes&, const pack::Package&) {},
       0},
  };
  for (const InstallableCase& c : cases) {
    test::freshMachine(c.settings);
    std::vector<uint8_t> installer = test::makeInstaller(test::sampleInput("Aquarium", {10, 20, 30, 40}));
    c.damage(installer, pack::read(installer));
    test::placeInstaller(installer);
    EXPECT_EQ(checkInstallable(), c.installable) << c.what;
  }
}

}  // namespace
