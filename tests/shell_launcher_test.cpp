// The launcher window on real installers: its first paint, the font
// smoothing around it, and closing it before the install sequence.
#include <gtest/gtest.h>

#include "platform/gdi32.h"
#include "tests/shell_fixture.h"

namespace {

const std::string cancel = "message \"Aquarium Screen Saver Installation\" Cancel";

// The drawing calls of the first paint, BeginPaint to EndPaint.
std::vector<ui::DrawOperation> firstPaint() {
  std::vector<ui::DrawOperation> ops;
  bool painting = false;
  for (const ui::DrawOperation& op : ui::drawOperations()) {
    if (op.call == "BeginPaint") painting = true;
    if (painting && op.call != "BeginPaint" && op.call != "CreateSolidBrush" && op.call != "DeleteObject") {
      ops.push_back(op);
    }
    if (op.call == "EndPaint" && painting) break;
  }
  return ops;
}

std::vector<ui::DrawOperation> calls(const std::vector<ui::DrawOperation>& ops, const std::string& name) {
  std::vector<ui::DrawOperation> out;
  for (const ui::DrawOperation& op : ops) {
    if (op.call == name) out.push_back(op);
  }
  return out;
}

std::vector<ui::DrawOperation> paintWith(int height, COLORREF start, COLORREF end) {
  pack::Input input = test::sampleInput("Aquarium");
  input.startColour = start;
  input.endColour = end;
  test::InstallerRun run = test::runInstaller(input, {"work_area=0 0 1024 " + std::to_string(height)}, "", cancel);
  EXPECT_EQ(run.status, EXIT_DECLINED) << run.stopped;
  return firstPaint();
}

TEST(LauncherPaint, BandsFollowTheClientHeight) {
  const struct {
    int height;
    int band;
    long top, bottom;
  } cases[] = {
      {1000, 0, 0, 3},      {1000, 1, 3, 7}, {1000, 255, 996, 1000}, {768, 0, 0, 3}, {768, 100, 300, 303},
      {768, 255, 765, 768}, {100, 0, 0, 0},  {100, 1, 0, 0},         {100, 2, 0, 1}, {100, 255, 99, 100},
  };
  for (const auto& c : cases) {
    std::vector<ui::DrawOperation> fills = calls(paintWith(c.height, 0x00FF0000, 0), "FillRect");
    ASSERT_EQ(fills.size(), 256u);
    SCOPED_TRACE("height " + std::to_string(c.height) + " band " + std::to_string(c.band));
    EXPECT_EQ(fills[c.band].args[0], 0);
    EXPECT_EQ(fills[c.band].args[1], c.top);
    EXPECT_EQ(fills[c.band].args[2], 1025);  // one column past the client area
    EXPECT_EQ(fills[c.band].args[3], c.bottom);
  }
  int empty = 0;
  for (const ui::DrawOperation& fill : calls(paintWith(100, 0x00FF0000, 0), "FillRect")) {
    empty += fill.args[1] == fill.args[3];
  }
  EXPECT_EQ(empty, 156);
}

TEST(LauncherPaint, BandColoursTruncateEachChannel) {
  const struct {
    COLORREF start, end;
    int band;
    COLORREF colour;
  } cases[] = {
      {0x00FF0000, 0, 0, 0x00FF0000},
      {0x00FF0000, 0, 1, 0x00FF0000},
      {0x00FF0000, 0, 2, 0x00FE0000},
      {0x00FF0000, 0, 128, 0x00800000},
      {0x00FF0000, 0, 255, 0x00010000},
      {0, 0x00FFFFFF, 1, 0},
      {0, 0x00FFFFFF, 2, 0x00010101},
      {0, 0x00FFFFFF, 255, 0x00FEFEFE},
      {0x00102030, 0x00302010, 128, 0x00202020},
      {0x00102030, 0x00302010, 255, 0x002F2011},
      {0xAB102030, 0xCD302010, 255, 0x002F2011},  // the top byte is ignored
  };
  for (const auto& c : cases) {
    std::vector<ui::DrawOperation> fills = calls(paintWith(768, c.start, c.end), "FillRect");
    ASSERT_EQ(fills.size(), 256u);
    EXPECT_EQ((COLORREF)fills[c.band].args[4], c.colour) << std::hex << c.start << " " << c.end << " " << c.band;
  }
}

TEST(LauncherPaint, FramesThenShadowThenWhiteTextAt96Dpi) {
  std::vector<ui::DrawOperation> ops = paintWith(738, 0x00FF0000, 0);
  std::vector<ui::DrawOperation> frames = calls(ops, "FrameRect");
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].args, (std::vector<long>{0, 0, 1024, 738, 0x00FFFFFF}));
  EXPECT_EQ(frames[1].args, (std::vector<long>{1, 1, 1023, 737, 0x00FFFFFF}));
  std::vector<ui::DrawOperation> fonts = calls(ops, "CreateFontA");
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].args, (std::vector<long>{-64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(fonts[0].text, "Arial");
  std::vector<ui::DrawOperation> texts = calls(ops, "DrawTextA");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].args, (std::vector<long>{33, 25, 1023, 737, 2064}));
  EXPECT_EQ(texts[1].args, (std::vector<long>{31, 23, 1021, 735, 2064}));
  EXPECT_EQ(texts[0].text, "Aquarium Screen Saver");
  // Order: bands, frames, black shadow, white text, colour restored.
  std::vector<std::string> order;
  for (const ui::DrawOperation& op : ops) {
    if (op.call == "SetTextColor") order.push_back("colour " + std::to_string(op.args[0]));
    if (op.call != "FillRect" && op.call != "SetTextColor") order.push_back(op.call);
  }
  EXPECT_EQ(test::joined(order),
            test::joined({"FrameRect", "FrameRect", "CreateFontA", "SetBkMode", "colour 0", "DrawTextA",
                          "colour 16777215", "DrawTextA", "colour 0", "SetBkMode", "EndPaint"}));
  EXPECT_EQ(calls(ops, "SetBkMode")[0].args[0], TRANSPARENT);
}

// The font smoothing calls of a run: action, value and what was asked to happen.
std::string smoothingCalls(const std::string& setting) {
  test::InstallerRun run = test::runInstaller(test::sampleInput("Aquarium"), {"font_smoothing=" + setting}, "", cancel);
  EXPECT_EQ(run.status, EXIT_DECLINED);
  std::string text;
  for (const ui::ParameterCall& call : ui::parameterCalls()) {
    if (call.action == SPI_GETFONTSMOOTHING) text += "get;";
    if (call.action == SPI_SETFONTSMOOTHING)
      text += "set " + std::to_string(call.param) + " " + std::to_string(call.winIni) + ";";
  }
  return text;
}

TEST(LauncherPaint, FontSmoothingIsSwitchedOffAroundEachPaintOnlyWhenOn) {
  EXPECT_EQ(smoothingCalls("on"), "get;set 0 3;set 1 3;");  // one paint, wrapped
  EXPECT_EQ(smoothingCalls("off").find("set"), std::string::npos);
  EXPECT_EQ(smoothingCalls("broken").find("set"), std::string::npos);
}

TEST(Launcher, ClosedBeforeTheTimerEndsWithoutTheInstallSequence) {
  std::string classCursor;
  test::InstallerRun run = test::runInstaller(test::sampleInput("Aquarium"), {"work_area=10 20 810 620"}, "", "", [] {
    // The user closes the splash half a second after it appears.
    SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      const ui::Window* launcher = ui::windows().front();
      EXPECT_EQ(launcher->className, "VRNInstallClass");
      EXPECT_EQ(launcher->style, WS_POPUP | WS_VISIBLE);
      EXPECT_EQ(launcher->text, "Aquarium");
      EXPECT_EQ(launcher->rect.left, 10);
      EXPECT_EQ(launcher->rect.top, 20);
      EXPECT_EQ(launcher->rect.right, 810);
      EXPECT_EQ(launcher->rect.bottom, 620);
      EXPECT_EQ(ui::classCursor("VRNInstallClass"), "wait");
      PostMessageA(launcher->handle, WM_CLOSE, 0, 0);
    });
  });
  EXPECT_EQ(run.status, EXIT_DECLINED) << run.stopped;
  EXPECT_TRUE(run.transcript.empty()) << test::joined(run.transcript);
  EXPECT_FALSE(test::machineFileExists("C:\\WINDOWS\\Aquarium.scr"));
  EXPECT_EQ(ui::classCursor("VRNInstallClass"), "wait");  // the install sequence never ran
}

TEST(Launcher, PackageThatCannotBeReadPaintsAnEmptyName) {
  test::freshMachine();
  test::placeInstaller(test::stub());
  test::InstallerRun run = test::runPlaced("", "message \"Damaged Installer\" OK");
  EXPECT_EQ(run.status, EXIT_CANNOT_START);
  std::vector<ui::DrawOperation> texts = calls(firstPaint(), "DrawTextA");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, " Screen Saver");
  EXPECT_EQ(calls(firstPaint(), "FillRect")[0].args[4], 0x00FF0000);  // the default colours
}

}  // namespace
