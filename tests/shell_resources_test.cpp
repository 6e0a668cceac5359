// The shell's dialog templates as the Windows build wrote them into the stub.
#include <gtest/gtest.h>

#include "shell/contacts.h"
#include "shell/dialog_ids.h"
#include "tests/support.h"
#include "tools/common/dialog_template.h"

namespace {

dlg::Template dialogOfStub(int id) {
  const pe::Image image = pe::parse(test::stub());
  const pe::Resource* resource = image.resource("#5", "#" + std::to_string(id));
  if (!resource) throw std::runtime_error("no dialog " + std::to_string(id));
  EXPECT_EQ(resource->language, 1033);
  const std::vector<uint8_t>& b = image.bytes;
  return dlg::parse(
      std::vector<uint8_t>(b.begin() + resource->fileOffset, b.begin() + resource->fileOffset + resource->size));
}

struct ItemRow {
  const char* windowClass;
  uint16_t id;
  std::string text;
  int x, y, cx, cy;
  uint32_t style;
};

void expectItems(const dlg::Template& dialog, const std::vector<ItemRow>& rows) {
  ASSERT_EQ(dialog.items.size(), rows.size());
  for (size_t i = 0; i < rows.size(); i++) {
    const dlg::Item& item = dialog.items[i];
    const ItemRow& row = rows[i];
    SCOPED_TRACE("item " + std::to_string(i + 1) + " \"" + row.text + "\"");
    EXPECT_EQ(item.windowClass, row.windowClass);
    EXPECT_GE(item.classAtom, 0x80);  // a predefined class, named by its atom
    EXPECT_EQ(item.id, row.id);
    EXPECT_EQ(item.text, row.text);
    EXPECT_EQ(item.x, row.x);
    EXPECT_EQ(item.y, row.y);
    EXPECT_EQ(item.cx, row.cx);
    EXPECT_EQ(item.cy, row.cy);
    EXPECT_EQ(item.style, row.style);
    EXPECT_EQ(item.exStyle, 0u);
  }
}

void expectFrame(const dlg::Template& dialog, const std::string& caption, int cx, int cy) {
  EXPECT_EQ(dialog.style, 0x90C800C0u);
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.caption, caption);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, cx);
  EXPECT_EQ(dialog.cy, cy);
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.face, "MS Sans Serif");
  EXPECT_EQ(dialog.menu, "");
  EXPECT_EQ(dialog.windowClass, "");
}

TEST(ShellDialogs, LicenseDialogIsAsItsTableGivesIt) {
  dlg::Template dialog = dialogOfStub(LICENSE_DIALOG);
  expectFrame(dialog, "License Agreement", 391, 262);
  // Tab order Accept, Decline, text; Decline is the default button.
  expectItems(dialog, {
                          {"Button", 1, "Accept", 137, 240, 50, 14, 0x50010000},
                          {"Button", 2, "Decline", 203, 240, 50, 14, 0x50010001},
                          {"Edit", LICENSE_TEXT, "", 12, 12, 366, 216, 0x50A10904},
                      });
}

TEST(ShellDialogs, OrderingDialogIsAsItsTableGivesIt) {
  dlg::Template dialog = dialogOfStub(ORDERING_DIALOG);
  expectFrame(dialog, "Vivarune Deluxe Ordering Info", 205, 154);
  const uint16_t none = 0xFFFF;  // -1
  const uint32_t centred = 0x50020001;
  expectItems(dialog,
              {
                  {"Static", none, "VIVARUNE DELUXE", 23, 28, 158, 10, centred},
                  {"Button", 1, "OK", 78, 134, 50, 14, 0x50010001},
                  {"Static", none, "This custom screen saver was created with", 23, 7, 158, 10, centred},
                  {"Static", none, "Requires No Programming", 23, 48, 158, 8, centred},
                  {"Static", none, "Order your copy now\nby calling " ORDERING_TELEPHONE, 23, 69, 158, 21, centred},
                  {"Static", none, "Or visit our website at\n" ORDERING_WEB_SITE, 23, 96, 158, 23, centred},
              });
}

}  // namespace
