// What the simulated machine offers the installation: free space, run-time
// libraries and the registry's own rules.
#include <gtest/gtest.h>

#include "platform/advapi32.h"
#include "platform/shell32.h"
#include "tests/install_support.h"

namespace {

TEST(MachineDisk, FreeSpaceComesFromTheSettingBothWays) {
  test::freshMachine({"free_kilobytes=5000000"});
  DWORD sectors, bytes, freeClusters, total;
  ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &freeClusters, &total));
  EXPECT_EQ((uint64_t)sectors * bytes * freeClusters, 5000000ull * 1024);
  EXPECT_GT(total, freeClusters);
  EXPECT_FALSE(GetDiskFreeSpaceA("Q:\\", &sectors, &bytes, &freeClusters, &total));

  HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
  ASSERT_NE(kernel, nullptr);
  auto getFree = reinterpret_cast<GetDiskFreeSpaceExA_t>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
  ASSERT_NE(getFree, nullptr);
  ULARGE_INTEGER caller, all, allFree;
  ASSERT_TRUE(getFree("C:\\WINDOWS\\", &caller, &all, &allFree));
  EXPECT_EQ(caller.QuadPart, 5000000ull * 1024);
  EXPECT_TRUE(FreeLibrary(kernel));

  machine::changeSetting("disk_free_ex", "no");
  kernel = LoadLibraryA("KERNEL32.DLL");
  EXPECT_EQ(GetProcAddress(kernel, "GetDiskFreeSpaceExA"), nullptr);
  FreeLibrary(kernel);
  EXPECT_TRUE(machine::openLibraries().empty());
}

struct LoadCase {
  std::vector<std::string> settings;
  std::vector<std::string> planted;  // files put on the drive
  const char* name;
  const char* loaded;  // nullptr: nothing
  bool foreign;
};

TEST(MachineLibraries, SearchTheInstallersFolderFirstForBareNames) {
  const LoadCase cases[] = {
      {{}, {}, "SHFOLDER.DLL", "C:\\WINDOWS\\SYSTEM32\\SHFOLDER.DLL", false},
      {{}, {}, "shfolder", "C:\\WINDOWS\\SYSTEM32\\shfolder.DLL", false},
      {{"shfolder=no"}, {}, "SHFOLDER.DLL", nullptr, false},
      {{"shfolder=no"}, {}, "C:\\WINDOWS\\SYSTEM32\\SHFOLDER.DLL", nullptr, false},
      {{}, {"C:\\DOWNLOAD\\SHFOLDER.DLL"}, "SHFOLDER.DLL", "C:\\DOWNLOAD\\SHFOLDER.DLL", true},
      {{},
       {"C:\\DOWNLOAD\\SHFOLDER.DLL"},
       "C:\\WINDOWS\\SYSTEM32\\SHFOLDER.DLL",
       "C:\\WINDOWS\\SYSTEM32\\SHFOLDER.DLL",
       false},
      {{"shfolder=no"}, {"C:\\WINDOWS\\SHFOLDER.DLL"}, "SHFOLDER.DLL", "C:\\WINDOWS\\SHFOLDER.DLL", true},
      {{}, {"C:\\DOWNLOAD\\KERNEL32.DLL"}, "KERNEL32.DLL", "C:\\WINDOWS\\SYSTEM32\\KERNEL32.DLL", false},
  };
  for (const LoadCase& c : cases) {
    test::freshMachine(c.settings);
    test::placeInstaller(test::makeInstaller(test::sampleInput()));
    for (const std::string& file : c.planted) test::putMachineFile(file, {'M', 'Z'});
    machine::libraryLoads().clear();
    HMODULE module = LoadLibraryA(c.name);
    EXPECT_EQ(module != nullptr, c.loaded != nullptr) << c.name;
    ASSERT_EQ(machine::libraryLoads().size(), 1u);
    EXPECT_EQ(machine::libraryLoads()[0].path, c.loaded ? c.loaded : "") << c.name;
    EXPECT_EQ(machine::libraryLoads()[0].planted, c.foreign) << c.name;
    if (!module) continue;
    auto getFolder =
        reinterpret_cast<SHGetFolderPathA_t>(reinterpret_cast<void (*)()>(GetProcAddress(module, "SHGetFolderPathA")));
    char folder[MAX_PATH] = "";
    if (getFolder) {
      EXPECT_EQ(getFolder(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder), 0);
    }
    bool systemFolder = c.loaded && !c.foreign && std::string(c.loaded).find("KERNEL32") == std::string::npos;
    EXPECT_EQ(std::string(folder), c.foreign      ? machine::plantedFolder
                                   : systemFolder ? machine::setting("common_appdata")
                                                  : "")
        << c.name;
    FreeLibrary(module);
  }
}

TEST(MachineLibraries, EveryLoadNeedsItsOwnFree) {
  test::freshMachine();
  HMODULE a = LoadLibraryA("C:\\WINDOWS\\SYSTEM32\\SHFOLDER.DLL");
  HMODULE b = LoadLibraryA("SHFOLDER.DLL");
  EXPECT_EQ(a, b);
  EXPECT_EQ(machine::openLibraries().size(), 2u);
  FreeLibrary(a);
  EXPECT_EQ(machine::openLibraries().size(), 1u);
  FreeLibrary(b);
  EXPECT_TRUE(machine::openLibraries().empty());
  EXPECT_FALSE(FreeLibrary(b));
}

TEST(MachineRegistry, CreatesParentsKeepsTypesAndRefusesWithoutRights) {
  test::freshMachine();
  HKEY key;
  DWORD disposition;
  char noClass[1] = "";
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\A\\B", 0, noClass, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
      ERROR_SUCCESS);
  EXPECT_EQ(disposition, 1u);               // created
  const char text[] = "Caf\xE9 \xA3 \x80";  // ANSI (code page 1252) bytes
  RegSetValueExA(key, "Expand", 0, REG_EXPAND_SZ, (const BYTE*)text, sizeof text);
  RegSetValueExA(key, "Text", 0, REG_SZ, (const BYTE*)text, sizeof text);
  const BYTE binary[] = {1, 2, 3};
  RegSetValueExA(key, nullptr, 0, 3, binary, sizeof binary);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_TRUE(machine::registryKeyExists("HKEY_LOCAL_MACHINE\\software\\a"));
  for (const char* name : {"Expand", "Text"}) {
    auto value = machine::registryValue("HKEY_LOCAL_MACHINE\\Software\\A\\B", name);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, std::vector<uint8_t>(text, text + sizeof text)) << name;
  }
  auto unnamed = machine::registryValue("HKEY_LOCAL_MACHINE\\Software\\A\\B", "");
  ASSERT_TRUE(unnamed);
  EXPECT_EQ(unnamed->type, 3u);
  EXPECT_EQ(unnamed->data, std::vector<uint8_t>(binary, binary + 3));

  ASSERT_EQ(
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\A\\B", 0, noClass, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
      ERROR_SUCCESS);
  EXPECT_EQ(disposition, 2u);  // opened
  RegCloseKey(key);
  machine::changeSetting("admin", "no");
  EXPECT_EQ(
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\A\\B", 0, noClass, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_ACCESS_DENIED);
  EXPECT_EQ(machine::openRegistryKeys(), 0);
}

}  // namespace
