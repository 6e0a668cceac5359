// The progress dialog's template as the Windows build wrote it into the stub.
#include <gtest/gtest.h>

#include "tests/support.h"
#include "tools/common/dialog_template.h"

namespace {

const uint32_t WS_POPUP_ = 0x80000000, WS_CHILD_ = 0x40000000, WS_VISIBLE_ = 0x10000000, WS_CAPTION_ = 0x00C00000,
               WS_SYSMENU_ = 0x00080000, WS_TABSTOP_ = 0x00010000, DS_SETFONT_ = 0x40, DS_MODALFRAME_ = 0x80,
               DS_CENTER_ = 0x800, BS_DEFPUSHBUTTON_ = 1, SS_CENTER_ = 1, SS_NOPREFIX_ = 0x80;

struct ControlCase {
  const char* windowClass;
  uint16_t id;
  const char* text;
  int16_t x, y, cx, cy;
  uint32_t styleSet;    // bits that must be set
  uint32_t styleClear;  // bits that must be clear
};

TEST(ProgressDialogTemplate, IsBuiltAsTheTableGivesIt) {
  pe::Image image = pe::parse(test::stub());
  const pe::Resource* r = image.resource("#5", "#103");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->language, 1033);
  dlg::Template t = dlg::parse(
      std::vector<uint8_t>(image.bytes.begin() + r->fileOffset, image.bytes.begin() + r->fileOffset + r->size));
  EXPECT_EQ(t.style, WS_POPUP_ | DS_MODALFRAME_ | DS_CENTER_ | DS_SETFONT_);
  EXPECT_EQ(t.style & (WS_VISIBLE_ | WS_CAPTION_ | WS_SYSMENU_), 0u);
  EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{0, 0, 187, 99}));
  EXPECT_EQ(t.caption, "");
  EXPECT_EQ(t.pointSize, 8);
  EXPECT_EQ(t.face, "MS Sans Serif");

  const ControlCase controls[] = {
      {"Button", 1, "OK", 131, 6, 50, 14, WS_CHILD_, WS_VISIBLE_},
      {"Button", 2, "Cancel", 68, 78, 50, 14, WS_CHILD_ | WS_VISIBLE_ | WS_TABSTOP_ | BS_DEFPUSHBUTTON_, 0},
      {"Static", 0xFFFF, "Installing", 50, 15, 86, 8, WS_CHILD_ | WS_VISIBLE_ | SS_CENTER_, 0},
      {"Static", 0xFFFF, "Please Wait...", 48, 50, 90, 8, WS_CHILD_ | WS_VISIBLE_ | SS_CENTER_, 0},
      {"Static", 1001, "", 4, 31, 178, 8, WS_CHILD_ | WS_VISIBLE_ | SS_CENTER_ | SS_NOPREFIX_, 0},
  };
  ASSERT_EQ(t.items.size(), std::size(controls));
  for (size_t i = 0; i < t.items.size(); i++) {
    const dlg::Item& item = t.items[i];
    const ControlCase& c = controls[i];
    EXPECT_EQ(item.windowClass, c.windowClass) << i;
    EXPECT_EQ(item.id, c.id) << i;
    EXPECT_EQ(item.text, c.text) << i;
    EXPECT_EQ((std::vector<int>{item.x, item.y, item.cx, item.cy}), (std::vector<int>{c.x, c.y, c.cx, c.cy})) << i;
    EXPECT_EQ(item.style & c.styleSet, c.styleSet) << i;
    EXPECT_EQ(item.style & c.styleClear, 0u) << i;
  }
  EXPECT_EQ(t.items[0].style & 0xF, 0u);  // a plain push button
}

}  // namespace
