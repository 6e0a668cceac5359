// KERNEL32's WritePrivateProfileStringA: an update of an INI file in place.
// Sections and keys are found without regard to case; every other line stays
// as it was; lines end in CRLF. A file name without a folder names a file
// in the Windows directory.
#include <strings.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/host/machine.h"
#include "platform/kernel32.h"

namespace {

std::string trimmed(const std::string& text) {
  size_t from = text.find_first_not_of(" \t");
  if (from == std::string::npos) return "";
  return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}

bool isSection(const std::string& line) { return !trimmed(line).empty() && trimmed(line)[0] == '['; }

bool isSectionNamed(const std::string& line, const char* section) {
  std::string t = trimmed(line);
  size_t close = t.find(']');
  return isSection(line) && close != std::string::npos &&
         strcasecmp(trimmed(t.substr(1, close - 1)).c_str(), section) == 0;
}

bool isKeyNamed(const std::string& line, const char* key) {
  size_t eq = line.find('=');
  return eq != std::string::npos && strcasecmp(trimmed(line.substr(0, eq)).c_str(), key) == 0;
}

std::string profilePath(const char* fileName) {
  bool bare = !strpbrk(fileName, "\\/:");
  return bare ? machine::windowsDirectory() + "\\" + fileName : std::string(fileName);
}

std::vector<std::string> readLines(const std::string& host) {
  std::vector<std::string> lines;
  std::ifstream in(host, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The index of the section's header line, or lines.size().
size_t findSection(const std::vector<std::string>& lines, const char* section) {
  size_t i = 0;
  while (i < lines.size() && !isSectionNamed(lines[i], section)) i++;
  return i;
}

// One past the section's last non-blank line.
size_t sectionEnd(const std::vector<std::string>& lines, size_t header) {
  size_t end = header + 1;
  for (size_t i = header + 1; i < lines.size() && !isSection(lines[i]); i++) {
    if (!trimmed(lines[i]).empty()) end = i + 1;
  }
  return end;
}

void update(std::vector<std::string>& lines, const char* section, const char* key, const char* value) {
  size_t header = findSection(lines, section);
  if (header == lines.size()) {
    if (!key || !value) return;
    if (!lines.empty() && !trimmed(lines.back()).empty()) lines.push_back("");
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(std::string(key) + "=" + value);
    return;
  }
  size_t end = sectionEnd(lines, header);
  if (!key) {
    lines.erase(lines.begin() + header, lines.begin() + end);
    return;
  }
  for (size_t i = header + 1; i < end; i++) {
    if (!isKeyNamed(lines[i], key)) continue;
    if (value) {
      lines[i] = std::string(key) + "=" + value;
    } else {
      lines.erase(lines.begin() + i);
    }
    return;
  }
  if (value) lines.insert(lines.begin() + end, std::string(key) + "=" + value);
}

}  // namespace

extern "C" BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!section || !fileName) return FALSE;
  std::string host = machine::hostPath(profilePath(fileName));
  if (host.empty()) return FALSE;
  std::vector<std::string> lines = readLines(host);
  update(lines, section, key, value);
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  return out.good() ? TRUE : FALSE;
}
