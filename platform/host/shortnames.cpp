// GetShortPathNameA: the 8.3 form of an existing path, made the way the
// file system makes short names (first six characters, "~" and a number).
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "platform/host/machine.h"
#include "platform/kernel32.h"

namespace fs = std::filesystem;

namespace {

bool isShortName(const std::string& name) {
  auto dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find('.') != std::string::npos) {
    return false;
  }
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == ' ' || c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']';
  });
}

std::string shortChars(const std::string& text, size_t limit) {
  std::string out;
  for (char c : text) {
    if (out.size() == limit) break;
    if (c == ' ' || c == '.') continue;
    out += strchr("+,;=[]", c) ? '_' : (char)std::toupper((unsigned char)c);
  }
  return out;
}

std::string shortStem(const std::string& name) {
  auto dot = name.rfind('.');
  std::string ext = dot == std::string::npos || dot == 0 ? "" : shortChars(name.substr(dot + 1), 3);
  return shortChars(name.substr(0, dot == 0 ? std::string::npos : dot), 6) + "|" + ext;
}

// The short name of `name` among the entries of `folder`.
std::string shortName(const fs::path& folder, const std::string& name) {
  if (isShortName(name)) return name;
  std::vector<std::string> siblings;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string sibling = entry.path().filename().string();
    if (!isShortName(sibling) && shortStem(sibling) == shortStem(name)) siblings.push_back(sibling);
  }
  std::sort(siblings.begin(), siblings.end(),
            [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
  size_t number = std::find(siblings.begin(), siblings.end(), name) - siblings.begin() + 1;
  std::string stem = shortStem(name);
  std::string ext = stem.substr(stem.find('|') + 1);
  return stem.substr(0, stem.find('|')) + "~" + std::to_string(number) + (ext.empty() ? "" : "." + ext);
}

}  // namespace

std::string machine::longName(const std::string& hostFolder, const std::string& shortName) {
  std::error_code ec;
  if (shortName.find('~') == std::string::npos || !machine::settingOn("short_names")) return shortName;
  for (const auto& entry : fs::directory_iterator(hostFolder, ec)) {
    std::string name = entry.path().filename().string();
    if (strcasecmp(::shortName(hostFolder, name).c_str(), shortName.c_str()) == 0) return name;
  }
  return shortName;
}

extern "C" DWORD WINAPI GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) {
  std::string host = machine::hostPath(longPath);
  if (host.empty() || !fs::exists(host)) return 0;
  std::string full = machine::fullPath(longPath);
  std::string result = full.substr(0, 2);
  fs::path folder = machine::folder() + "/" + std::string(1, (char)std::toupper((unsigned char)full[0]));
  std::istringstream in(full.substr(2));
  for (std::string part; std::getline(in, part, '\\');) {
    if (part.empty()) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      std::string name = entry.path().filename().string();
      if (strcasecmp(name.c_str(), part.c_str()) == 0) {
        result += "\\" + (machine::settingOn("short_names") ? shortName(folder, name) : name);
        folder /= name;
        break;
      }
    }
  }
  if (result.size() == 2) result += "\\";
  if (result.size() + 1 > size) return (DWORD)result.size() + 1;
  memcpy(shortPath, result.c_str(), result.size() + 1);
  return (DWORD)result.size();
}
