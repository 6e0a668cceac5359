// Text as GDI lays it out and draws it, with real glyph metrics: every face
// is drawn with Liberation Sans, metric-compatible with Arial.
#pragma once

#include <string>
#include <vector>

#include "platform/host/ui.h"

namespace ui {

struct FontSpec {
  int height;  // CreateFontA's: negative for the character height, positive for the cell
  int weight;
};

struct TextMetrics {
  int ascent;
  int descent;
  int lineHeight() const { return ascent + descent; }
};

TextMetrics metricsOf(const FontSpec& font);
int textWidth(const FontSpec& font, const std::string& text);

// Breaks a text into lines as DrawTextA does for its format and width.
std::vector<std::string> breakLines(const FontSpec& font, const std::string& text, unsigned format, int width);

// Draws one line with its cell's top-left at (x, y), within clip.
void drawLine(Picture& picture, const FontSpec& font, const std::string& text, int x, int y, COLORREF colour,
              const RECT& clip, bool smooth);

}  // namespace ui
