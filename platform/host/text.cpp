#include "platform/host/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const char* const fontFolder = "/usr/share/fonts/truetype";
const int boldWeight = 700;        // FW_BOLD
const int defaultCellHeight = 16;  // the system font's, for a height of 0

// Windows-1252's characters 0x80-0x9F; the rest of the code page is Latin-1.
const unsigned short cp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

unsigned long unicodeOf(unsigned char c) { return c >= 0x80 && c < 0xA0 ? cp1252High[c - 0x80] : c; }

std::string findFontFile(const std::string& name) {
  std::error_code ec;
  for (const auto& dir : fs::directory_iterator(fontFolder, ec)) {
    fs::path candidate = dir.path() / name;
    if (dir.path().filename().string().rfind("liberation", 0) == 0 && fs::exists(candidate)) return candidate;
  }
  throw std::runtime_error("Liberation Sans is not installed (fonts-liberation): no " + name);
}

FT_Face faceFor(int weight) {
  static FT_Library library;
  static std::map<bool, FT_Face> faces;
  bool bold = weight >= boldWeight;
  if (faces.count(bold)) return faces[bold];
  if (!library && FT_Init_FreeType(&library)) throw std::runtime_error("FreeType cannot start");
  std::string file = findFontFile(bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf");
  FT_Face face;
  if (FT_New_Face(library, file.c_str(), 0, &face)) throw std::runtime_error("cannot read " + file);
  return faces[bold] = face;
}

// The face set to the font's em size in pixels, as GDI maps the height.
FT_Face sizedFace(const ui::FontSpec& font) {
  FT_Face face = faceFor(font.weight);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  int cellUnits = os2 ? os2->usWinAscent + os2->usWinDescent : face->units_per_EM;
  int height = font.height == 0 ? defaultCellHeight : font.height;
  int em = height < 0 ? -height : (int)std::lround((double)height * face->units_per_EM / cellUnits);
  FT_Set_Pixel_Sizes(face, 0, (FT_UInt)std::max(em, 1));
  return face;
}

int advanceOf(FT_Face face, unsigned char c) {
  if (FT_Load_Char(face, unicodeOf(c), FT_LOAD_DEFAULT)) return 0;
  return (int)((face->glyph->advance.x + 32) >> 6);
}

// Puts a blank-separated run into lines no wider than width; a word wider
// than a line is cut between characters.
void breakParagraph(const ui::FontSpec& font, const std::string& text, int width, std::vector<std::string>& lines) {
  size_t start = 0;
  do {
    size_t end = start, lastBreak = std::string::npos;
    while (end < text.size()) {
      if (text[end] == ' ') lastBreak = end;
      if (ui::textWidth(font, text.substr(start, end + 1 - start)) > width && text[end] != ' ') break;
      end++;
    }
    if (end < text.size()) {
      if (lastBreak != std::string::npos && lastBreak > start) end = lastBreak;
      if (end == start) end = start + 1;
    }
    std::string line = text.substr(start, end - start);
    line.erase(line.find_last_not_of(' ') + 1);
    lines.push_back(line);
    start = end;
    while (start < text.size() && text[start] == ' ' && end < text.size()) start++;
  } while (start < text.size());
}

}  // namespace

namespace ui {

TextMetrics metricsOf(const FontSpec& font) {
  FT_Face face = sizedFace(font);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double scale = (double)face->size->metrics.y_ppem / face->units_per_EM;
  if (!os2) return TextMetrics{(int)(face->size->metrics.ascender >> 6), (int)(-face->size->metrics.descender >> 6)};
  return TextMetrics{(int)std::lround(os2->usWinAscent * scale), (int)std::lround(os2->usWinDescent * scale)};
}

int textWidth(const FontSpec& font, const std::string& text) {
  FT_Face face = sizedFace(font);
  int width = 0;
  for (unsigned char c : text) width += advanceOf(face, c);
  return width;
}

std::vector<std::string> breakLines(const FontSpec& font, const std::string& text, unsigned format, int width) {
  std::vector<std::string> lines;
  if (format & DT_SINGLELINE) return {text};
  size_t start = 0;
  for (;;) {
    size_t end = text.find_first_of("\r\n", start);
    std::string paragraph = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if ((format & DT_WORDBREAK) && !paragraph.empty()) {
      breakParagraph(font, paragraph, width, lines);
    } else {
      lines.push_back(paragraph);
    }
    if (end == std::string::npos) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

void drawLine(Picture& picture, const FontSpec& font, const std::string& text, int x, int y, COLORREF colour,
              const RECT& clip, bool smooth) {
  FT_Face face = sizedFace(font);
  int baseline = y + metricsOf(font).ascent;
  FT_Int32 flags = FT_LOAD_RENDER | (smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
  for (unsigned char c : text) {
    if (FT_Load_Char(face, unicodeOf(c), flags)) continue;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    int left = x + face->glyph->bitmap_left, top = baseline - face->glyph->bitmap_top;
    for (int row = 0; row < (int)bitmap.rows; row++) {
      for (int col = 0; col < (int)bitmap.width; col++) {
        int px = left + col, py = top + row;
        if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) continue;
        if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) continue;
        const unsigned char* line = bitmap.buffer + row * bitmap.pitch;
        int alpha =
            bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? ((line[col >> 3] >> (7 - (col & 7))) & 1) * 255 : line[col];
        std::uint32_t& pixel = picture.pixels[(size_t)py * picture.width + px];
        std::uint32_t mixed = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          int fg = (colour >> shift) & 0xFF, bg = (pixel >> shift) & 0xFF;
          mixed |= (std::uint32_t)((fg * alpha + bg * (255 - alpha) + 127) / 255) << shift;
        }
        pixel = mixed;
      }
    }
    x += (int)((face->glyph->advance.x + 32) >> 6);
  }
}

}  // namespace ui
