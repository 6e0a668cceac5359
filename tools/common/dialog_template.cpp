#include "tools/common/dialog_template.h"

#include <stdexcept>

namespace dlg {

namespace {

const uint32_t setFontStyle = 0x40;   // DS_SETFONT
const uint16_t ordinalMark = 0xFFFF;  // a WORD of all ones: an ordinal follows
const uint16_t firstClassAtom = 0x80;
const char* const classNames[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};

struct Reader {
  const std::vector<uint8_t>& b;
  size_t at = 0;

  uint16_t u16() {
    if (at + 2 > b.size()) throw std::runtime_error("dialog template ends early at byte " + std::to_string(at));
    uint16_t v = (uint16_t)(b[at] | b[at + 1] << 8);
    at += 2;
    return v;
  }
  uint32_t u32() {
    uint32_t low = u16();
    return low | (uint32_t)u16() << 16;
  }
  int16_t s16() { return (int16_t)u16(); }
  // UTF-16 up to its NUL, as ANSI; characters beyond Latin-1 become "?".
  std::string text() {
    std::string s;
    for (uint16_t c; (c = u16()) != 0;) s += c < 0x100 ? (char)c : '?';
    return s;
  }
  // A name or an ordinal; the ordinal goes to *ordinal and the name is empty.
  std::string nameOrOrdinal(uint16_t* ordinal) {
    *ordinal = 0;
    if (at + 2 <= b.size() && b[at] == 0xFF && b[at + 1] == 0xFF) {
      u16();
      *ordinal = u16();
      return std::string();
    }
    return text();
  }
  void alignTo(size_t n) { at = (at + n - 1) / n * n; }
};

struct Writer {
  std::vector<uint8_t> b;
  void u16(uint16_t v) {
    b.push_back((uint8_t)v);
    b.push_back((uint8_t)(v >> 8));
  }
  void u32(uint32_t v) {
    u16((uint16_t)v);
    u16((uint16_t)(v >> 16));
  }
  void text(const std::string& s) {
    for (unsigned char c : s) u16(c);
    u16(0);
  }
  void ordinal(uint16_t v) {
    u16(ordinalMark);
    u16(v);
  }
  void alignTo(size_t n) {
    while (b.size() % n) b.push_back(0);
  }
};

Item readItem(Reader& r) {
  Item item;
  r.alignTo(4);
  item.style = r.u32();
  item.exStyle = r.u32();
  item.x = r.s16();
  item.y = r.s16();
  item.cx = r.s16();
  item.cy = r.s16();
  item.id = r.u16();
  item.windowClass = r.nameOrOrdinal(&item.classAtom);
  if (item.classAtom) {
    const char* name = className(item.classAtom);
    if (!name) throw std::runtime_error("dialog item of unknown class atom " + std::to_string(item.classAtom));
    item.windowClass = name;
  }
  item.text = r.nameOrOrdinal(&item.textOrdinal);
  // The creation data's first WORD counts its own bytes.
  uint16_t size = r.u16();
  if (size > 2) {
    for (uint16_t i = 2; i < size; i += 2) {
      uint16_t v = r.u16();
      item.creationData.push_back((uint8_t)v);
      item.creationData.push_back((uint8_t)(v >> 8));
    }
    item.creationData.resize(size - 2);
  }
  return item;
}

}  // namespace

const char* className(uint16_t atom) {
  size_t index = (size_t)atom - firstClassAtom;
  return atom >= firstClassAtom && index < std::size(classNames) ? classNames[index] : nullptr;
}

Template parse(const std::vector<uint8_t>& bytes) {
  Reader r{bytes};
  Template t;
  if (bytes.size() >= 4 && bytes[2] == 0xFF && bytes[3] == 0xFF) {
    throw std::runtime_error("an extended dialog template, not a classic one");
  }
  t.style = r.u32();
  t.exStyle = r.u32();
  uint16_t count = r.u16();
  t.x = r.s16();
  t.y = r.s16();
  t.cx = r.s16();
  t.cy = r.s16();
  uint16_t ordinal;
  t.menu = r.nameOrOrdinal(&ordinal);
  if (ordinal) t.menu = "#" + std::to_string(ordinal);
  t.windowClass = r.nameOrOrdinal(&ordinal);
  if (ordinal) t.windowClass = "#" + std::to_string(ordinal);
  t.caption = r.text();
  if (t.style & setFontStyle) {
    t.pointSize = r.u16();
    t.face = r.text();
  }
  for (uint16_t i = 0; i < count; i++) t.items.push_back(readItem(r));
  return t;
}

std::vector<uint8_t> build(const Template& t) {
  Writer w;
  w.u32(t.style);
  w.u32(t.exStyle);
  w.u16((uint16_t)t.items.size());
  for (int16_t v : {t.x, t.y, t.cx, t.cy}) w.u16((uint16_t)v);
  w.text(t.menu);
  w.text(t.windowClass);
  w.text(t.caption);
  if (t.style & setFontStyle) {
    w.u16(t.pointSize);
    w.text(t.face);
  }
  for (const Item& item : t.items) {
    w.alignTo(4);
    w.u32(item.style);
    w.u32(item.exStyle);
    for (int16_t v : {item.x, item.y, item.cx, item.cy}) w.u16((uint16_t)v);
    w.u16(item.id);
    if (item.classAtom) {
      w.ordinal(item.classAtom);
    } else {
      w.text(item.windowClass);
    }
    if (item.textOrdinal) {
      w.ordinal(item.textOrdinal);
    } else {
      w.text(item.text);
    }
    if (item.creationData.empty()) {
      w.u16(0);
    } else {
      w.u16((uint16_t)(item.creationData.size() + 2));
      for (uint8_t byte : item.creationData) w.b.push_back(byte);
      w.alignTo(2);
    }
  }
  return w.b;
}

}  // namespace dlg
