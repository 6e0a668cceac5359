// Drawing into windows' pictures: brushes, frames, text with real metrics,
// and the PNG of a picture.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/gdi32.h"
#include "platform/host/ui.h"
#include "tests/support.h"

namespace {

const char* paintText = "Aquarium Screen Saver";

// A splash paint: a gradient of 4 bands, a white frame, shadowed text.
LRESULT CALLBACK splashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  RECT r;
  GetClientRect(window, &r);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  for (int i = 0; i < 4; i++) {
    RECT band{0, i * r.bottom / 4, r.right + 1, (i + 1) * r.bottom / 4};
    HBRUSH brush = CreateSolidBrush(0x00FF0000u - (COLORREF)i * 0x00400000u);
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
  FrameRect(dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
  HFONT font = CreateFontA(-64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0x00FFFFFF);
  RECT text{33, 25, r.right - 1, r.bottom - 1};
  DrawTextA(dc, paintText, -1, &text, DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  DeleteObject(font);
  EndPaint(window, &ps);
  return 0;
}

class UiDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    test::freshMachine({"font_smoothing=off"});
    ui::reset();
    WNDCLASSA wc{};
    wc.lpfnWndProc = splashProc;
    wc.lpszClassName = "Splash";
    RegisterClassA(&wc);
  }
  HWND show(int width, int height) {
    HWND w = CreateWindowExA(0, "Splash", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr, nullptr,
                             nullptr);
    UpdateWindow(w);
    return w;
  }
};

TEST_F(UiDrawing, BandsFrameAndTextLandInThePicture) {
  HWND window = show(800, 400);
  ui::Picture p = ui::picture(window);
  ASSERT_EQ((std::vector<int>{p.width, p.height}), (std::vector<int>{800, 400}));
  struct Pixel {
    int x, y;
    std::uint32_t colour;
  };
  for (Pixel px : {Pixel{0, 0, 0xFFFFFF}, Pixel{799, 399, 0xFFFFFF}, Pixel{5, 5, 0xFF0000}, Pixel{5, 99, 0xFF0000},
                   Pixel{5, 100, 0xBF0000}, Pixel{400, 398, 0x3F0000}, Pixel{1, 398, 0x3F0000}}) {
    EXPECT_EQ(p.at(px.x, px.y), px.colour) << px.x << "," << px.y;
  }
  EXPECT_EQ(ui::gdiObjects(), 0u);  // every brush and the font deleted
  const ui::TextLine& line = ui::lastTextLines().at(0);
  EXPECT_EQ((std::vector<int>{line.x, line.y}), (std::vector<int>{33, 25}));
  int white = 0;
  for (int y = line.y; y < line.y + 72; y++) {
    for (int x = line.x; x < line.x + line.width; x++) white += p.at(x, y) == 0xFFFFFF;
  }
  EXPECT_GT(white, 1000);  // unsmoothed glyphs are pure white
  EXPECT_EQ(ui::firstPaint().pixels, p.pixels);
  std::vector<long> fontArgs = {-64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  bool sawFont = false;
  for (const ui::DrawOperation& op : ui::drawOperations()) {
    if (op.call == "CreateFontA") sawFont = op.args == fontArgs && op.text == "Arial";
  }
  EXPECT_TRUE(sawFont);
}

TEST_F(UiDrawing, TextBreaksAtWordsWithRealMetrics) {
  HWND window = show(560, 300);
  // 48-point Arial at 96 dpi: Liberation Sans' 64-pixel cell is 72 high.
  ASSERT_EQ(ui::lastTextLines().size(), 2u);
  EXPECT_EQ(ui::lastTextLines()[0].text, "Aquarium Screen");
  EXPECT_EQ(ui::lastTextLines()[1].text, "Saver");
  EXPECT_EQ(ui::lastTextLines()[1].y, 25 + 72);
  EXPECT_LE(ui::lastTextLines()[0].width, 560 - 1 - 33);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  HFONT font = CreateFontA(-64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SelectObject(dc, font);
  struct Case {
    const char* text;
    int width;
    UINT format;
    std::vector<std::string> lines;
  };
  for (const Case& c : {Case{"one\r\ntwo\nthree", 1000, DT_WORDBREAK, {"one", "two", "three"}},
                        Case{"Screensavers", 150, DT_WORDBREAK, {"Scre", "ensa", "vers"}},
                        Case{"A && B &C", 1000, 0, {"A & B C"}}, Case{"A && B", 1000, DT_NOPREFIX, {"A && B"}}}) {
    RECT r{0, 0, c.width, 1000};
    int height = DrawTextA(dc, c.text, -1, &r, c.format | DT_CALCRECT);
    std::vector<std::string> lines;
    for (const ui::TextLine& l : ui::lastTextLines()) lines.push_back(l.text);
    EXPECT_EQ(lines, c.lines) << c.text;
    EXPECT_EQ(height, 72 * (int)c.lines.size()) << c.text;
  }
  DeleteObject(font);
  EndPaint(window, &ps);
}

TEST_F(UiDrawing, PngHoldsThePicture) {
  ui::Picture p;
  p.width = 3;
  p.height = 2;
  p.pixels = {0x0000FF, 0x00FF00, 0xFF0000, 0, 0xFFFFFF, 0x123456};
  std::string file = test::freshFolder("png") + "/p.png";
  ui::writePng(p, file);
  std::ifstream in(file, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 60u);
  EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
  EXPECT_EQ(bytes[19], 3);  // width
  EXPECT_EQ(bytes[23], 2);  // height
  // The first row's raw bytes stand in the stored block: filter 0, then RGB.
  std::vector<unsigned char> row = {0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), row.begin(), row.end()), bytes.end());
}

}  // namespace
