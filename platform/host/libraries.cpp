// KERNEL32's run-time library calls over the libraries the machine has:
// KERNEL32.DLL (a known library, always the system directory's) and, when
// the shfolder setting says so, SHFOLDER.DLL in the system directory. A bare
// name is searched the way the loader searches: the running installer's
// folder, the system directory, the Windows directory. A file of the name
// found on the drive first is loaded as a foreign library, and its code runs.
#include <strings.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "platform/host/machine.h"
#include "platform/host/system_records.h"
#include "platform/kernel32.h"
#include "platform/shell32.h"

namespace fs = std::filesystem;

namespace machine {
const char* const plantedFolder = "C:\\PLANTED LIBRARY RAN";
}

namespace {

enum class Kind { Kernel32, Shfolder, Planted };

struct Library {
  std::string path;
  Kind kind;
  int references;
};

std::map<uintptr_t, Library> loaded;  // by module handle
uintptr_t nextModule = 0x10000000;
const uintptr_t moduleSpacing = 0x10000;  // modules load at 64 KB boundaries

const HRESULT S_OK_ = 0;
const HRESULT E_FAIL_ = (HRESULT)0x80004005u;
const HRESULT E_INVALIDARG_ = (HRESULT)0x80070057u;
const int csidlMask = 0xFF;  // the folder number without its CSIDL_FLAG_ bits

bool sameText(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

HRESULT copyFolder(const std::string& folder, LPSTR path) {
  if (folder.empty() || folder.size() >= MAX_PATH) return E_FAIL_;
  memcpy(path, folder.c_str(), folder.size() + 1);
  return S_OK_;
}

HRESULT WINAPI systemGetFolderPath(HWND, int folder, HANDLE, DWORD, LPSTR path) {
  if ((folder & csidlMask) != CSIDL_COMMON_APPDATA) return E_INVALIDARG_;
  return copyFolder(machine::setting("common_appdata"), path);
}

HRESULT WINAPI plantedGetFolderPath(HWND, int, HANDLE, DWORD, LPSTR path) {
  machine::transcript(std::string("Planted SHGetFolderPathA ran and gave ") + machine::plantedFolder);
  return copyFolder(machine::plantedFolder, path);
}

// Function pointers pass through the generic type, as the loader hands them out.
template <typename Function>
FARPROC exported(Function* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

bool fileOnDrive(const std::string& path) {
  std::string host = machine::hostPath(path);
  return !host.empty() && fs::is_regular_file(host);
}

// What a full path loads, if anything.
bool resolve(const std::string& path, Kind* kind) {
  std::string system = machine::systemDirectory() + "\\";
  if (sameText(path, system + "KERNEL32.DLL")) {
    *kind = Kind::Kernel32;
  } else if (sameText(path, system + "SHFOLDER.DLL") && machine::settingOn("shfolder")) {
    *kind = Kind::Shfolder;
  } else if (fileOnDrive(path)) {
    *kind = Kind::Planted;
  } else {
    return false;
  }
  return true;
}

// The path that a name loads: a full path as it is, a bare name by the search.
std::string search(const std::string& name, Kind* kind) {
  if (name.find_first_of("\\/:") != std::string::npos) {
    std::string path = machine::fullPath(name);
    return resolve(path, kind) ? path : "";
  }
  std::string file = name.find('.') == std::string::npos ? name + ".DLL" : name;
  if (sameText(file, "KERNEL32.DLL")) {  // a known library: never searched for
    return resolve(machine::systemDirectory() + "\\" + file, kind) ? machine::systemDirectory() + "\\" + file : "";
  }
  const std::string& module = machine::modulePath();
  for (const std::string& folder :
       {module.substr(0, module.rfind('\\')), machine::systemDirectory(), machine::windowsDirectory()}) {
    if (resolve(folder + "\\" + file, kind)) return folder + "\\" + file;
  }
  return "";
}

HMODULE addReference(const std::string& path, Kind kind) {
  for (auto& [handle, library] : loaded) {
    if (sameText(library.path, path)) {
      library.references++;
      return (HMODULE)handle;
    }
  }
  uintptr_t handle = nextModule += moduleSpacing;
  loaded[handle] = {path, kind, 1};
  return (HMODULE)handle;
}

}  // namespace

namespace machine {

std::vector<LibraryLoad>& libraryLoads() {
  static std::vector<LibraryLoad> loads;
  return loads;
}

std::vector<std::string> openLibraries() {
  std::vector<std::string> paths;
  for (const auto& [handle, library] : loaded) paths.insert(paths.end(), library.references, library.path);
  return paths;
}

}  // namespace machine

extern "C" {

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
  Kind kind = Kind::Planted;
  std::string path = fileName ? search(fileName, &kind) : "";
  bool planted = !path.empty() && kind == Kind::Planted;
  machine::libraryLoads().push_back({fileName ? fileName : "", path, planted});
  if (planted) machine::transcript("LoadLibraryA loaded the planted file " + path);
  return path.empty() ? nullptr : addReference(path, kind);
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  auto it = loaded.find((uintptr_t)module);
  if (it == loaded.end() || (uintptr_t)name <= 0xFFFF) return nullptr;  // ordinals are not exported here
  Kind kind = it->second.kind;
  if (kind == Kind::Kernel32 && strcmp(name, "GetDiskFreeSpaceExA") == 0 && machine::settingOn("disk_free_ex")) {
    return exported(&hostGetDiskFreeSpaceExA);
  }
  if (strcmp(name, "SHGetFolderPathA") != 0) return nullptr;
  if (kind == Kind::Shfolder) return exported(&systemGetFolderPath);
  if (kind == Kind::Planted) return exported(&plantedGetFolderPath);
  return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
  auto it = loaded.find((uintptr_t)module);
  if (it == loaded.end()) return FALSE;
  if (--it->second.references == 0) loaded.erase(it);
  return TRUE;
}

}  // extern "C"
