#include "platform/host/machine.h"

#include <strings.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace machine {

static std::string machineFolder;
static std::map<std::string, std::string> settings;
static std::string installerPath;
static std::string transcriptFile;
static std::uint64_t diskBytesUsed;
static std::uint64_t bytesWrittenInRun;
static std::vector<std::string> transcriptSoFar;

const std::vector<Setting>& defaultSettings() {
  static const std::vector<Setting> defaults = {
      {"windows_directory", "C:\\WINDOWS", "the Windows directory"},
      {"system_directory", "C:\\WINDOWS\\SYSTEM32", "the system directory"},
      {"current_directory", "", "the working directory; empty: the installer's folder"},
      {"common_appdata", "C:\\Documents and Settings\\All Users\\Application Data",
       "what SHGetFolderPathA gives for the common application data folder"},
      {"shfolder", "yes", "SHFOLDER.DLL is in the system directory"},
      {"disk_free_ex", "yes", "KERNEL32.DLL exports GetDiskFreeSpaceExA"},
      {"free_kilobytes", "2097152", "free space of drive C:, in kilobytes; writes beyond it fail"},
      {"admin", "yes", "the user may write HKEY_LOCAL_MACHINE"},
      {"short_names", "yes", "the file system keeps 8.3 short names"},
      {"screen", "1024 768", "screen width and height in pixels"},
      {"work_area", "0 0 1024 738", "the desktop work area: left top right bottom"},
      {"dpi", "96", "pixels per logical inch"},
      {"font_smoothing", "on", "the font smoothing setting: on, off, or broken (the query fails)"},
      {"media_types", "wav mid avi mpg mp3 bmp", "media formats the media layer opens, by content"},
      {"mpegvideo", "yes", "the MPEGVideo device exists"},
      {"screen_saver_active", "no", "the system's screen saver is switched on"},
      {"browser", "yes", "a web browser opens http and https addresses"},
  };
  return defaults;
}

static void loadSettings(const std::string& file) {
  settings.clear();
  for (const Setting& s : defaultSettings()) settings[s.key] = s.value;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
    auto trim = [](std::string s) {
      s.erase(0, s.find_first_not_of(" \t"));
      s.erase(s.find_last_not_of(" \t\r") + 1);
      return s;
    };
    settings[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
  }
}

static void saveSettings(const std::string& file) {
  std::ofstream out(file);
  for (const Setting& s : defaultSettings()) {
    out << "# " << s.meaning << "\n" << s.key << " = " << settings[s.key] << "\n";
  }
}

static std::string trimSeparators(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

void create(const std::string& dir, const std::vector<std::string>& overrides) {
  loadSettings("");
  for (const std::string& o : overrides) {
    auto eq = o.find('=');
    if (eq == std::string::npos || !settings.count(o.substr(0, eq))) {
      throw std::runtime_error("unknown setting: " + o);
    }
    settings[o.substr(0, eq)] = o.substr(eq + 1);
  }
  fs::create_directories(dir + "/C");
  machineFolder = dir;
  saveSettings(dir + "/machine.ini");
  std::ofstream(dir + "/registry.reg") << "Windows Registry Editor Version 5.00\r\n\r\n";
  for (const char* key : {"windows_directory", "system_directory", "common_appdata"}) {
    if (!settings[key].empty()) fs::create_directories(hostPath(settings[key]));
  }
  std::ofstream(hostPath(windowsDirectory() + "\\system.ini"))
      << "[boot]\r\nshell=Explorer.exe\r\n\r\n[drivers]\r\nwave=mmdrv.dll\r\n";
}

void open(const std::string& dir) {
  if (!fs::is_directory(dir + "/C")) throw std::runtime_error("not a machine: " + dir);
  machineFolder = dir;
  loadSettings(dir + "/machine.ini");
  diskBytesUsed = 0;
  bytesWrittenInRun = 0;
  transcriptSoFar.clear();
}

const std::string& folder() { return machineFolder; }

std::string setting(const std::string& key) {
  auto it = settings.find(key);
  return it == settings.end() ? std::string() : it->second;
}

long long settingNumber(const std::string& key) { return std::atoll(setting(key).c_str()); }

bool settingOn(const std::string& key) {
  std::string v = setting(key);
  return v == "yes" || v == "on" || v == "1" || v == "true";
}

std::vector<std::string> settingList(const std::string& key) {
  std::istringstream in(setting(key));
  std::vector<std::string> items;
  for (std::string item; in >> item;) items.push_back(item);
  return items;
}

void changeSetting(const std::string& key, const std::string& value) { settings[key] = value; }

void saveSetting(const std::string& key, const std::string& value) {
  settings[key] = value;
  saveSettings(machineFolder + "/machine.ini");
}

std::string fullPath(const std::string& windowsPath) {
  std::string path = windowsPath;
  for (char& c : path) c = c == '/' ? '\\' : c;
  if (path.size() < 2 || path[1] != ':') {
    std::string cwd = setting("current_directory");
    if (cwd.empty()) cwd = installerPath.substr(0, installerPath.rfind('\\'));
    if (cwd.empty()) cwd = "C:";
    path = path.size() && path[0] == '\\' ? cwd.substr(0, 2) + path : cwd + "\\" + path;
  }
  std::vector<std::string> parts;
  std::istringstream in(path.substr(2));
  for (std::string part; std::getline(in, part, '\\');) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result(1, path[0]);
  result += ":";
  for (const std::string& part : parts) result += "\\" + part;
  if (parts.empty()) result += "\\";
  return result;
}

std::string hostPath(const std::string& windowsPath) {
  std::string full = fullPath(windowsPath);
  std::string host = machineFolder + "/" + std::string(1, (char)std::toupper((unsigned char)full[0]));
  if (!fs::is_directory(host)) return std::string();
  std::istringstream in(full.substr(2));
  for (std::string part; std::getline(in, part, '\\');) {
    if (part.empty()) continue;
    std::string match;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(host, ec)) {
      std::string name = entry.path().filename().string();
      if (strcasecmp(name.c_str(), part.c_str()) == 0) {
        match = name;
        break;
      }
    }
    if (match.empty()) match = longName(host, part);
    host += "/" + match;
  }
  return host;
}

std::string windowsDirectory() { return trimSeparators(fullPath(setting("windows_directory"))); }
std::string systemDirectory() { return trimSeparators(fullPath(setting("system_directory"))); }

void setModulePath(const std::string& windowsPath) { installerPath = fullPath(windowsPath); }
const std::string& modulePath() { return installerPath; }

bool reserveDiskBytes(std::uint64_t bytes) {
  std::uint64_t limit = (std::uint64_t)settingNumber("free_kilobytes") * 1024;
  if (diskBytesUsed + bytes > limit) return false;
  diskBytesUsed += bytes;
  return true;
}

void countBytesWritten(std::uint64_t bytes) { bytesWrittenInRun += bytes; }
std::uint64_t bytesWritten() { return bytesWrittenInRun; }

void setTranscript(const std::string& hostFile) {
  transcriptFile = hostFile;
  if (!hostFile.empty()) std::ofstream(hostFile, std::ios::trunc);
}

void transcript(const std::string& text) {
  transcriptSoFar.push_back(text);
  if (transcriptFile.empty()) return;
  std::ofstream(transcriptFile, std::ios::app) << text << "\n";
}

const std::vector<std::string>& transcriptLines() { return transcriptSoFar; }

}  // namespace machine
