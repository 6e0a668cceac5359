// ADVAPI32's registry calls on the machine's registry.reg, which is read
// before every call and written after every change, in the format regedit
// exports (version 5.00): "text" for REG_SZ, dword:0000000a for REG_DWORD,
// hex(2): UTF-16LE bytes for REG_EXPAND_SZ, hex: for the rest.
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/advapi32.h"
#include "platform/host/machine.h"
#include "platform/host/system_records.h"

namespace {

const char* const header = "Windows Registry Editor Version 5.00";
const size_t hexLineLimit = 77;  // regedit breaks hex data after the comma that reaches this column

struct Key {
  std::string path;
  std::vector<machine::RegistryValue> values;
};

std::map<uintptr_t, std::string> openKeys;  // by handle
uintptr_t nextKey = 0x1000;

bool sameText(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

std::string registryFile() { return machine::folder() + "/registry.reg"; }

// The ANSI code page (1252) against Unicode, for the UTF-16 and UTF-8 forms.
const uint16_t cp1252High[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
                                 0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                 0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

uint16_t toUnicode(uint8_t c) { return c >= 0x80 && c < 0xA0 ? cp1252High[c - 0x80] : c; }

uint8_t toAnsi(uint16_t u) {
  for (int i = 0; i < 32; i++) {
    if (cp1252High[i] == u) return (uint8_t)(0x80 + i);
  }
  return u < 0x100 ? (uint8_t)u : '?';
}

std::string toUtf8(const std::string& ansi) {
  std::string out;
  for (unsigned char c : ansi) {
    uint16_t u = toUnicode(c);
    if (u < 0x80) {
      out += (char)u;
    } else if (u < 0x800) {
      out += (char)(0xC0 | u >> 6);
      out += (char)(0x80 | (u & 0x3F));
    } else {
      out += (char)(0xE0 | u >> 12);
      out += (char)(0x80 | (u >> 6 & 0x3F));
      out += (char)(0x80 | (u & 0x3F));
    }
  }
  return out;
}

std::string fromUtf8(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); i++) {
    unsigned char c = utf8[i];
    uint16_t u = c;
    if (c >= 0xE0 && i + 2 < utf8.size()) {
      u = (uint16_t)((c & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F));
      i += 2;
    } else if (c >= 0xC0 && i + 1 < utf8.size()) {
      u = (uint16_t)((c & 0x1F) << 6 | (utf8[i + 1] & 0x3F));
      i += 1;
    }
    out += (char)toAnsi(u);
  }
  return out;
}

bool isStringType(DWORD type) { return type == REG_EXPAND_SZ || type == 7; }  // 7: REG_MULTI_SZ

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
  return out;
}

std::string hexData(const std::string& prefix, const std::vector<uint8_t>& bytes) {
  std::string out = prefix;
  size_t column = prefix.size();
  char digits[4];
  for (size_t i = 0; i < bytes.size(); i++) {
    snprintf(digits, sizeof digits, "%02x", bytes[i]);
    out += digits;
    if (i + 1 == bytes.size()) break;
    out += ",";
    column += 3;
    if (column >= hexLineLimit) {
      out += "\\\r\n  ";
      column = 2;
    }
  }
  return out;
}

std::string valueLine(const machine::RegistryValue& v) {
  std::string name = v.name.empty() ? "@=" : "\"" + escaped(toUtf8(v.name)) + "\"=";
  if (v.type == REG_SZ) {
    std::string text(v.data.begin(), std::find(v.data.begin(), v.data.end(), 0));
    return name + "\"" + escaped(toUtf8(text)) + "\"";
  }
  if (v.type == REG_DWORD && v.data.size() == 4) {
    char text[16];
    snprintf(text, sizeof text, "dword:%08x", v.data[0] | v.data[1] << 8 | v.data[2] << 16 | (unsigned)v.data[3] << 24);
    return name + text;
  }
  std::vector<uint8_t> bytes;
  for (uint8_t c : v.data) {
    if (!isStringType(v.type)) {
      bytes.push_back(c);
      continue;
    }
    uint16_t u = toUnicode(c);
    bytes.push_back((uint8_t)u);
    bytes.push_back((uint8_t)(u >> 8));
  }
  std::string type = v.type == 3 ? "hex:" : "hex(" + std::to_string(v.type) + "):";  // 3: REG_BINARY
  return hexData(name + type, bytes);
}

// Parents before children, siblings in the order regedit lists them.
bool treeOrder(const Key& a, const Key& b) {
  std::istringstream x(a.path), y(b.path);
  std::string p, q;
  while (true) {
    bool more = (bool)std::getline(x, p, '\\'), other = (bool)std::getline(y, q, '\\');
    if (!more || !other) return !more && other;
    int order = strcasecmp(p.c_str(), q.c_str());
    if (order != 0) return order < 0;
  }
}

void save(std::vector<Key> keys) {
  std::sort(keys.begin(), keys.end(), treeOrder);
  std::ofstream out(registryFile(), std::ios::binary | std::ios::trunc);
  out << header << "\r\n\r\n";
  for (const Key& key : keys) {
    out << "[" << toUtf8(key.path) << "]\r\n";
    for (const machine::RegistryValue& v : key.values) out << valueLine(v) << "\r\n";
    out << "\r\n";
  }
}

// Reads a quoted text from `at` (the opening quote); leaves `at` after it.
std::string unquote(const std::string& line, size_t& at) {
  std::string text;
  for (at++; at < line.size() && line[at] != '"'; at++) {
    if (line[at] == '\\' && at + 1 < line.size()) at++;
    text += line[at];
  }
  at++;
  return fromUtf8(text);
}

std::vector<uint8_t> hexBytes(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    if (item.find_first_not_of(" ") != std::string::npos) bytes.push_back((uint8_t)std::stoul(item, nullptr, 16));
  }
  return bytes;
}

machine::RegistryValue parseValue(const std::string& line) {
  machine::RegistryValue v;
  size_t at = 0;
  if (line[0] == '"') {
    v.name = unquote(line, at);
  } else {
    at = 1;  // "@"
  }
  std::string data = line.substr(at + 1);
  if (!data.empty() && data[0] == '"') {
    size_t from = 0;
    std::string text = unquote(data, from);
    v.type = REG_SZ;
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
  } else if (data.rfind("dword:", 0) == 0) {
    DWORD n = (DWORD)std::stoul(data.substr(6), nullptr, 16);
    v.type = REG_DWORD;
    v.data = {(uint8_t)n, (uint8_t)(n >> 8), (uint8_t)(n >> 16), (uint8_t)(n >> 24)};
  } else {
    size_t colon = data.find(':');
    v.type = data.rfind("hex(", 0) == 0 ? (DWORD)std::stoul(data.substr(4), nullptr, 16) : 3;
    std::vector<uint8_t> bytes = hexBytes(data.substr(colon + 1));
    if (!isStringType(v.type)) {
      v.data = bytes;
    } else {
      for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        v.data.push_back(toAnsi((uint16_t)(bytes[i] | bytes[i + 1] << 8)));
    }
  }
  return v;
}

std::vector<Key> load() {
  std::vector<Key> keys;
  std::ifstream in(registryFile(), std::ios::binary);
  std::string line, part;
  while (std::getline(in, part)) {
    if (!part.empty() && part.back() == '\r') part.pop_back();
    line += line.empty() ? part : part.substr(std::min(part.find_first_not_of(' '), part.size()));
    if (!line.empty() && line.back() == '\\' && line[0] != '[') {
      line.pop_back();
      continue;
    }
    if (!line.empty() && line[0] == '[') {
      keys.push_back({fromUtf8(line.substr(1, line.rfind(']') - 1)), {}});
    } else if (!keys.empty() && !line.empty() && (line[0] == '"' || line[0] == '@')) {
      keys.back().values.push_back(parseValue(line));
    }
    line.clear();
  }
  return keys;
}

Key* findKey(std::vector<Key>& keys, const std::string& path) {
  for (Key& key : keys) {
    if (sameText(key.path, path)) return &key;
  }
  return nullptr;
}

std::string rootName(HKEY key) {
  switch ((uintptr_t)key) {
    case 0x80000000u:
      return "HKEY_CLASSES_ROOT";
    case 0x80000001u:
      return "HKEY_CURRENT_USER";
    case 0x80000002u:
      return "HKEY_LOCAL_MACHINE";
    case 0x80000003u:
      return "HKEY_USERS";
  }
  auto it = openKeys.find((uintptr_t)key);
  return it == openKeys.end() ? std::string() : it->second;
}

// Creates the key and every missing parent; true when it made the key itself.
bool createKey(std::vector<Key>& keys, const std::string& path) {
  std::istringstream in(path);
  std::string sofar;
  bool made = false;
  for (std::string part; std::getline(in, part, '\\');) {
    if (part.empty()) continue;
    sofar += (sofar.empty() ? "" : "\\") + part;
    made = sofar.find('\\') != std::string::npos && !findKey(keys, sofar);
    if (made) keys.push_back({sofar, {}});
  }
  return made;
}

std::string tidyPath(const std::string& root, const char* subKey) {
  std::string path = root;
  std::istringstream in(subKey ? subKey : "");
  for (std::string part; std::getline(in, part, '\\');) {
    if (!part.empty()) path += "\\" + part;
  }
  return path;
}

}  // namespace

namespace machine {

bool registryKeyExists(const std::string& keyPath) {
  std::vector<Key> keys = load();
  return findKey(keys, keyPath) != nullptr;
}

std::vector<RegistryValue> registryValues(const std::string& keyPath) {
  std::vector<Key> keys = load();
  Key* key = findKey(keys, keyPath);
  return key ? key->values : std::vector<RegistryValue>();
}

std::optional<RegistryValue> registryValue(const std::string& keyPath, const std::string& name) {
  for (const RegistryValue& v : registryValues(keyPath)) {
    if (sameText(v.name, name)) return v;
  }
  return std::nullopt;
}

std::vector<RegistryWrite>& registryWrites() {
  static std::vector<RegistryWrite> writes;
  return writes;
}

int openRegistryKeys() { return (int)::openKeys.size(); }

}  // namespace machine

extern "C" {

LONG WINAPI RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                            PHKEY result, LPDWORD disposition) {
  std::string root = rootName(parent);
  if (root.empty()) return 6;  // ERROR_INVALID_HANDLE
  if (root.rfind("HKEY_LOCAL_MACHINE", 0) == 0 && !machine::settingOn("admin")) return ERROR_ACCESS_DENIED;
  std::vector<Key> keys = load();
  std::string path = tidyPath(root, subKey);
  size_t before = keys.size();
  bool made = createKey(keys, path);
  if (keys.size() != before) save(keys);
  uintptr_t handle = nextKey += 4;
  openKeys[handle] = findKey(keys, path) ? findKey(keys, path)->path : path;
  *result = (HKEY)handle;
  if (disposition) *disposition = made ? 1 : 2;  // REG_CREATED_NEW_KEY, REG_OPENED_EXISTING_KEY
  return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  auto it = openKeys.find((uintptr_t)key);
  if (it == openKeys.end()) return 6;  // ERROR_INVALID_HANDLE
  std::vector<Key> keys = load();
  Key* stored = findKey(keys, it->second);
  if (!stored) return 1018;  // ERROR_KEY_DELETED
  machine::RegistryValue value{name ? name : "", type, std::vector<uint8_t>(data, data + size)};
  machine::registryWrites().push_back({it->second, value.name, type, size});
  auto old = std::find_if(stored->values.begin(), stored->values.end(),
                          [&](const machine::RegistryValue& v) { return sameText(v.name, value.name); });
  if (old != stored->values.end()) {
    *old = value;
  } else {
    stored->values.push_back(value);
  }
  save(keys);
  return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY key) { return openKeys.erase((uintptr_t)key) ? ERROR_SUCCESS : 6; }

}  // extern "C"
