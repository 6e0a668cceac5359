// vrn-machine new, show and settings.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "platform/host/machine.h"
#include "tools/vrn-machine/commands.h"

namespace fs = std::filesystem;

int newCommand(const Arguments& args) {
  if (args.empty()) throw std::runtime_error("new needs a folder");
  if (fs::exists(args[0]) && !fs::is_empty(args[0])) throw std::runtime_error(args[0] + " exists and is not empty");
  machine::create(args[0], Arguments(args.begin() + 1, args.end()));
  return 0;
}

int settingsCommand(const Arguments&) {
  for (const machine::Setting& s : machine::defaultSettings()) {
    std::printf("%-18s %-26s %s\n", s.key, s.value, s.meaning);
  }
  return 0;
}

static void printFiles(const fs::path& drive) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(drive)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& p : files) {
    std::string windows = "C:\\" + fs::relative(p, drive).string();
    std::replace(windows.begin(), windows.end(), '/', '\\');
    if (fs::is_directory(p)) {
      std::printf("  %-64s <DIR>\n", windows.c_str());
    } else {
      std::printf("  %-64s %10ju\n", windows.c_str(), (uintmax_t)fs::file_size(p));
    }
  }
}

static void printFile(const std::string& title, const std::string& hostPath) {
  std::printf("\n%s:\n", title.c_str());
  std::ifstream in(hostPath);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::printf("  %s\n", line.c_str());
  }
}

int showCommand(const Arguments& args) {
  if (args.size() != 1) throw std::runtime_error("show needs a folder");
  machine::open(args[0]);
  std::printf("Settings:\n");
  for (const machine::Setting& s : machine::defaultSettings()) {
    std::printf("  %-18s = %s\n", s.key, machine::setting(s.key).c_str());
  }
  std::printf("\nFiles:\n");
  printFiles(args[0] + "/C");
  printFile("Registry", args[0] + "/registry.reg");
  printFile("system.ini", machine::hostPath(machine::windowsDirectory() + "\\system.ini"));
  return 0;
}
