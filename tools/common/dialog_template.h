// Classic dialog templates (DLGTEMPLATE followed by DLGITEMTEMPLATEs), as
// resource compilers write them for DIALOG statements: read from their
// little-endian bytes, and written back for tests' hand-made templates.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dlg {

// Controls' predefined classes, by the atom a template may name them with.
const char* className(uint16_t atom);  // null for an unknown atom

struct Item {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t id = 0;
  std::string windowClass;  // "Button", "Edit", "Static", ... or the class's name
  uint16_t classAtom = 0;   // 0x80 and up when the template names a predefined class
  std::string text;         // ANSI; empty when given as an ordinal
  uint16_t textOrdinal = 0;
  std::vector<uint8_t> creationData;
};

struct Template {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::string menu;
  std::string windowClass;
  std::string caption;
  uint16_t pointSize = 0;  // with DS_SETFONT
  std::string face;
  std::vector<Item> items;
};

// Throws std::runtime_error when the bytes are not one whole classic template
// (an extended DIALOGEX template included).
Template parse(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> build(const Template& dialog);

}  // namespace dlg
