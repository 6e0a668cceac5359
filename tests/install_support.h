// Helpers for the installation's tests: the shared state as the install
// sequence leaves it before the progress dialog, media files by format, and
// the machine's uninstall entry.
#pragma once

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/machine.h"
#include "platform/host/system_records.h"
#include "shell/state.h"
#include "tests/support.h"

namespace test {

inline void startInstallation(const std::string& name, int mode = Interactive) {
  snprintf(saverName, sizeof saverName, "%s", name.c_str());
  snprintf(saverFileName, sizeof saverFileName, "%s.scr", name.c_str());
  dataFolder[0] = 0;
  unsupportedTypes[0] = 0;
  abortRequested = 0;
  finishDespiteAbort = 0;
  progressDialog = nullptr;
  InstallMode = mode;
}

inline std::string uninstallKey(const std::string& name) {
  return "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
}

// A value's data as text, up to its NUL.
inline std::string valueText(const machine::RegistryValue& value) {
  return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
}

// The first bytes of a file of the format, then a pattern.
inline std::vector<uint8_t> mediaContent(const std::string& format, size_t length = 64) {
  using namespace std::string_literals;
  static const std::vector<std::pair<std::string, std::string>> signatures = {
      {"mpg", "\0\0\1\xBA"s},
      {"avi", "RIFF\x10\0\0\0AVI "s},
      {"wav", "RIFF\x10\0\0\0WAVE"s},
      {"mid", "MThd"},
      {"mp3", "ID3\3"},
      {"bmp", "BM"},
      {"jpg", "\xFF\xD8\xFF\xE0"},
      {"gif", "GIF89a"},
      {"png", "\x89PNG\r\n\x1a\n"},
      {"txt", "plain text"},
  };
  std::vector<uint8_t> bytes = patternBytes(length, 0x41);
  for (const auto& [name, signature] : signatures) {
    if (name == format) std::copy(signature.begin(), signature.end(), bytes.begin());
  }
  return bytes;
}

inline void putMachineFile(const std::string& windowsPath, const std::vector<uint8_t>& bytes) {
  std::string host = machine::hostPath(windowsPath);
  std::filesystem::create_directories(std::filesystem::path(host).parent_path());
  pe::writeFile(host, bytes);
}

inline std::string machineText(const std::string& windowsPath) {
  std::vector<uint8_t> bytes = machineFile(windowsPath);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace test
