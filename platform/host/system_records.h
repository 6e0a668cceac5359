// What the simulated machine's registry, libraries, media layer and profile
// hold and record, for tests and tools to look at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/kernel32.h"

namespace machine {

// The registry, as it is in the machine's registry.reg. Key paths start at
// the root key's name, e.g. "HKEY_LOCAL_MACHINE\Software"; names and paths
// are matched without regard to case.
struct RegistryValue {
  std::string name;
  DWORD type;
  std::vector<uint8_t> data;  // as stored; strings with their NUL
};
bool registryKeyExists(const std::string& keyPath);
std::vector<RegistryValue> registryValues(const std::string& keyPath);  // in the order they were made
std::optional<RegistryValue> registryValue(const std::string& keyPath, const std::string& name);
// Every RegSetValueExA call with the size it passed, in order.
struct RegistryWrite {
  std::string keyPath;
  std::string name;
  DWORD type;
  DWORD size;
};
std::vector<RegistryWrite>& registryWrites();
int openRegistryKeys();

// Run-time libraries. A file found on the drive where a library is searched
// for is loaded as a foreign ("planted") library: its SHGetFolderPathA gives
// plantedFolder, so a test can see that it ran.
extern const char* const plantedFolder;
struct LibraryLoad {
  std::string requested;  // the name passed to LoadLibraryA
  std::string path;       // what was loaded, empty when nothing was
  bool planted;
};
std::vector<LibraryLoad>& libraryLoads();
std::vector<std::string> openLibraries();  // one path per reference not yet freed

// The media control interface: every open and close.
struct MediaCommand {
  char kind;               // 'o' open, 'c' close
  UINT device;             // the device opened or closed (0 after a failed open)
  std::string deviceType;  // the device that took (or refused) the open
  std::string element;     // the file's path as passed
  DWORD result;
};
std::vector<MediaCommand>& mediaCommands();
std::vector<UINT> openMediaDevices();
// The media format of a file's content by its signature ("mpg", "avi", "wav",
// "mid", "mp3", "bmp", "jpg", "gif", "png"), or "" when none is recognised.
std::string mediaFormat(const std::vector<uint8_t>& content);

}  // namespace machine

// What KERNEL32.DLL's "GetDiskFreeSpaceExA" resolves to.
extern "C" BOOL WINAPI hostGetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeToCaller,
                                               PULARGE_INTEGER totalBytes, PULARGE_INTEGER totalFree);
