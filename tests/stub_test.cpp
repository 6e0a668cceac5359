// The installer stub as the Windows build produced it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "tests/support.h"

namespace {

const pe::Image& stubImage() {
  static const pe::Image image = pe::parse(test::stub());
  return image;
}

TEST(Stub, IsA32BitGuiImageWithResources) {
  const pe::Image& image = stubImage();
  EXPECT_EQ(image.machine, 0x14C);
  EXPECT_EQ(image.optionalHeaderSize, 224);
  EXPECT_EQ(image.magic, 0x10B);
  EXPECT_EQ(image.subsystem, 2);  // Windows GUI
  ASSERT_NE(image.section(".rsrc"), nullptr);
}

TEST(Stub, AnchorIsTheFirstResourceAndItsDataEndsTheFile) {
  const pe::Image& image = stubImage();
  ASSERT_FALSE(image.resources.empty());
  const pe::Resource& anchor = image.resources.front();
  EXPECT_EQ(anchor.type, "LASTRES");
  EXPECT_EQ(anchor.name, "#1000");
  EXPECT_EQ(anchor.language, 1033);
  EXPECT_EQ(anchor.size, 4u);
  EXPECT_EQ(anchor.fileOffset + 4, image.bytes.size());
  EXPECT_EQ(image.sections.back().name, ".rsrc");
  const pe::Section& rsrc = image.sections.back();
  EXPECT_EQ(rsrc.rawOffset + rsrc.rawSize, image.bytes.size());
  EXPECT_EQ(pack::anchorOffset(image), anchor.fileOffset);
}

TEST(Stub, ImportsOnlySystemLibraries) {
  const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL",
                                        "SHELL32.DLL",  "WINMM.DLL",  "MSVCRT.DLL"};
  ASSERT_FALSE(stubImage().imports.empty());
  for (std::string name : stubImage().imports) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    EXPECT_TRUE(system.count(name)) << name;
  }
}

TEST(Stub, HasOneIconOf32By32In16Colours) {
  const pe::Image& image = stubImage();
  const pe::Resource* group = image.resource("#14", "#101");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->language, 1033);
  const std::vector<uint8_t>& b = image.bytes;
  ASSERT_EQ(pe::u16(b, group->fileOffset + 4), 1);  // one image
  size_t entry = group->fileOffset + 6;
  EXPECT_EQ(b[entry], 32);
  EXPECT_EQ(b[entry + 1], 32);
  EXPECT_EQ(b[entry + 2], 16);
  EXPECT_EQ(pe::u16(b, entry + 6), 4);  // bits per pixel
}

}  // namespace
