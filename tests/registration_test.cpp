// The data folder, the access test, the uninstall entry and the default
// screen saver on the simulated machine.
#include "install/registration.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/advapi32.h"
#include "platform/host/ui.h"
#include "tests/install_support.h"

namespace {

const std::string commonFolder = "C:\\Documents and Settings\\All Users\\Application Data\\";

class RegistrationTest : public ::testing::Test {
 protected:
  void start(const std::vector<std::string>& settings, const std::string& name = "Aquarium") {
    test::freshMachine(settings);
    test::placeInstaller(test::makeInstaller(test::sampleInput(name)));
    test::startInstallation(name);
    ui::reset();
    machine::libraryLoads().clear();
    machine::registryWrites().clear();
  }
};

struct FolderCase {
  std::vector<std::string> settings;
  std::string folder;
  std::string firstCreated;  // the first of the folders it had to create
  int created;
};

TEST_F(RegistrationTest, DataFolderIsUnderTheCommonFolderOrTheWindowsDirectory) {
  const FolderCase cases[] = {
      {{}, commonFolder + "Kestrom\\Vivarune\\Aquarium\\", commonFolder + "Kestrom", 3},
      {{"shfolder=no"},
       "C:\\WINDOWS\\All Users\\Application Data\\Kestrom\\Vivarune\\Aquarium\\",
       "C:\\WINDOWS\\All Users",
       5},
      {{"common_appdata="},  // the library's call fails
       "C:\\WINDOWS\\All Users\\Application Data\\Kestrom\\Vivarune\\Aquarium\\",
       "C:\\WINDOWS\\All Users",
       5},
      {{"common_appdata=C:\\ProgramData"},
       "C:\\ProgramData\\Kestrom\\Vivarune\\Aquarium\\",
       "C:\\ProgramData\\Kestrom",
       3},
  };
  for (const FolderCase& c : cases) {
    start(c.settings);
    resolveDataFolder();
    EXPECT_EQ(dataFolder, c.folder);
    // Every folder from the first one made to the saver's own exists.
    std::string path = c.folder.substr(0, c.folder.size() - 1);
    int made = 0;
    for (; path.size() >= c.firstCreated.size(); path = path.substr(0, path.rfind('\\')), made++) {
      EXPECT_TRUE(std::filesystem::is_directory(machine::hostPath(path))) << path;
    }
    EXPECT_EQ(made, c.created) << c.folder;
    EXPECT_TRUE(machine::openLibraries().empty());
  }
}

TEST_F(RegistrationTest, LoadsSHFOLDERFromTheSystemDirectoryOnly) {
  start({});
  test::putMachineFile("C:\\DOWNLOAD\\SHFOLDER.DLL", {'M', 'Z'});  // beside the installer
  resolveDataFolder();
  EXPECT_EQ(dataFolder, commonFolder + "Kestrom\\Vivarune\\Aquarium\\");
  ASSERT_EQ(machine::libraryLoads().size(), 1u);
  EXPECT_EQ(machine::libraryLoads()[0].requested, "C:\\WINDOWS\\SYSTEM32\\SHFOLDER.DLL");
  EXPECT_FALSE(machine::libraryLoads()[0].planted);

  // The planted file is what a bare name would have loaded.
  HMODULE planted = LoadLibraryA("SHFOLDER.DLL");
  ASSERT_NE(planted, nullptr);
  EXPECT_TRUE(machine::libraryLoads().back().planted);
  EXPECT_EQ(machine::libraryLoads().back().path, "C:\\DOWNLOAD\\SHFOLDER.DLL");
  FreeLibrary(planted);
}

TEST_F(RegistrationTest, WithoutSHFOLDERAPlantedCopyIsNotUsedEither) {
  start({"shfolder=no"});
  test::putMachineFile("C:\\DOWNLOAD\\SHFOLDER.DLL", {'M', 'Z'});
  resolveDataFolder();
  EXPECT_EQ(dataFolder, std::string("C:\\WINDOWS\\All Users\\Application Data\\Kestrom\\Vivarune\\Aquarium\\"));
  for (const machine::LibraryLoad& load : machine::libraryLoads()) EXPECT_FALSE(load.planted) << load.path;
  EXPECT_FALSE(std::filesystem::exists(machine::hostPath(machine::plantedFolder)));
}

TEST_F(RegistrationTest, AccessTestCreatesTheEmptyKeyOrRefuses) {
  start({});
  EXPECT_EQ(checkUninstallAccess(), 1);
  EXPECT_TRUE(machine::registryKeyExists(test::uninstallKey("Aquarium")));
  EXPECT_TRUE(machine::registryValues(test::uninstallKey("Aquarium")).empty());
  EXPECT_EQ(machine::openRegistryKeys(), 0);

  start({"admin=no"});
  ui::setAnswers("message \"Error!!!\" OK");
  EXPECT_EQ(checkUninstallAccess(), 0);
  EXPECT_FALSE(machine::registryKeyExists(test::uninstallKey("Aquarium")));
  EXPECT_EQ(machine::transcriptLines(),
            (std::vector<std::string>{"message box \"Error!!!\", owner none, icon none",
                                      "  | You do not have access to make the required system configuration "
                                      "modifications. Please rerun this installation from an administrators account.",
                                      "  buttons: OK", "  answer: OK"}));
}

struct ExpectedValue {
  const char* name;
  DWORD type;
  std::string text;  // strings; numbers as their decimal text
  DWORD size;
};

void expectValues(const std::string& key, const std::vector<ExpectedValue>& expected) {
  std::vector<machine::RegistryValue> values = machine::registryValues(key);
  ASSERT_EQ(values.size(), expected.size());
  const std::vector<machine::RegistryWrite>& writes = machine::registryWrites();
  ASSERT_EQ(writes.size(), expected.size());
  for (size_t i = 0; i < expected.size(); i++) {
    const ExpectedValue& e = expected[i];
    EXPECT_EQ(values[i].name, e.name);
    EXPECT_EQ(values[i].type, e.type) << e.name;
    EXPECT_EQ(writes[i].name, e.name);
    EXPECT_EQ(writes[i].size, e.size) << e.name;
    if (e.type == REG_DWORD) {
      ASSERT_EQ(values[i].data.size(), 4u);
      EXPECT_EQ(std::to_string(values[i].data[0] | values[i].data[1] << 8), e.text) << e.name;
    } else {
      EXPECT_EQ(test::valueText(values[i]), e.text) << e.name;
    }
  }
}

TEST_F(RegistrationTest, UninstallEntryHasSevenValuesInOrder) {
  start({"common_appdata=C:\\ProgramData"});
  resolveDataFolder();
  std::string folder = dataFolder;
  writeUninstallEntry((folder + "UNINSTAL.EXE").c_str(), "C:\\WINDOWS\\Aquarium.scr");
  std::string uninstaller = folder + "UNINSTAL.EXE";  // no blank: not quoted
  expectValues(test::uninstallKey("Aquarium"),
               {
                   {"DisplayName", REG_SZ, "Aquarium Screen Saver", 22},
                   {"UninstallString", REG_EXPAND_SZ, uninstaller, (DWORD)uninstaller.size() + 1},
                   {"InstallLocation", REG_EXPAND_SZ, folder.substr(0, folder.size() - 1), (DWORD)folder.size()},
                   {"DisplayIcon", REG_SZ, "C:\\WINDOWS\\Aquarium.scr,-0", 27},
                   {"Publisher", REG_SZ, "Made with Kestrom's Vivarune", 29},
                   {"VersionMajor", REG_DWORD, "7", 4},
                   {"VersionMinor", REG_DWORD, "0", 4},
               });
  EXPECT_EQ(machine::openRegistryKeys(), 0);
}

TEST_F(RegistrationTest, UninstallStringWithABlankIsQuoted) {
  start({});
  resolveDataFolder();
  std::string uninstaller = std::string(dataFolder) + "UNINSTAL.EXE";
  writeUninstallEntry(uninstaller.c_str(), "C:\\WINDOWS\\Aquarium.scr");
  auto value = machine::registryValue(test::uninstallKey("Aquarium"), "UninstallString");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, (DWORD)REG_EXPAND_SZ);
  EXPECT_EQ(test::valueText(*value), "\"" + uninstaller + "\"");
  auto location = machine::registryValue(test::uninstallKey("Aquarium"), "InstallLocation");
  ASSERT_TRUE(location);
  EXPECT_EQ(test::valueText(*location), std::string(dataFolder, strlen(dataFolder) - 1));  // never quoted
}

TEST_F(RegistrationTest, AFullStopInTheNameStaysInTheKeyAndDisplayName) {
  start({}, "Mr. Fish");
  EXPECT_EQ(checkUninstallAccess(), 1);
  writeUninstallEntry("C:\\X\\UNINSTAL.EXE", "C:\\WINDOWS\\Mr. Fish.scr");
  auto name = machine::registryValue(test::uninstallKey("Mr. Fish"), "DisplayName");
  ASSERT_TRUE(name);
  EXPECT_EQ(test::valueText(*name), "Mr. Fish Screen Saver");
  EXPECT_FALSE(machine::registryKeyExists(test::uninstallKey("Mr")));
}

TEST_F(RegistrationTest, WritingAgainOverwritesTheSameSevenValues) {
  start({});
  writeUninstallEntry("C:\\X\\UNINSTAL.EXE", "C:\\WINDOWS\\Aquarium.scr");
  std::vector<machine::RegistryValue> first = machine::registryValues(test::uninstallKey("Aquarium"));
  writeUninstallEntry("C:\\X\\UNINSTAL.EXE", "C:\\WINDOWS\\Aquarium.scr");
  std::vector<machine::RegistryValue> second = machine::registryValues(test::uninstallKey("Aquarium"));
  ASSERT_EQ(second.size(), 7u);
  for (size_t i = 0; i < 7; i++) {
    EXPECT_EQ(second[i].name, first[i].name);
    EXPECT_EQ(second[i].data, first[i].data);
  }
}

TEST_F(RegistrationTest, RegistryFileIsInRegeditExportFormat) {
  start({"common_appdata=C:\\ProgramData"});
  writeUninstallEntry("C:\\ProgramData\\Kestrom\\Vivarune\\Aquarium\\UNINSTAL.EXE", "C:\\WINDOWS\\Aquarium.scr");
  std::vector<uint8_t> bytes = pe::readFile(machine::folder() + "/registry.reg");
  std::string text(bytes.begin(), bytes.end());
  const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aquarium]\r\n";
  const std::string expected = key +
                               "\"DisplayName\"=\"Aquarium Screen Saver\"\r\n"
                               "\"UninstallString\"=hex(2):43,00,3a,00,5c,00,50,00,72,00,6f,00,67,00,72,00,61,00,\\\r\n"
                               "  6d,00,44,00,61,00,74,00,61,00,5c,00,4b,00,65,00,73,00,74,00,72,00,6f,00,6d,\\\r\n"
                               "  00,5c,00,56,00,69,00,76,00,61,00,72,00,75,00,6e,00,65,00,5c,00,41,00,71,00,\\\r\n"
                               "  75,00,61,00,72,00,69,00,75,00,6d,00,5c,00,55,00,4e,00,49,00,4e,00,53,00,54,\\\r\n"
                               "  00,41,00,4c,00,2e,00,45,00,58,00,45,00,00,00\r\n";
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  EXPECT_NE(text.find("\"DisplayIcon\"=\"C:\\\\WINDOWS\\\\Aquarium.scr,-0\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"VersionMajor\"=dword:00000007\r\n\"VersionMinor\"=dword:00000000\r\n"), std::string::npos);
  EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n", 0), 0u);
}

TEST_F(RegistrationTest, DefaultScreenSaverIsTheShortPathInSystemIni) {
  start({}, "Coral Reef");
  test::putMachineFile("C:\\WINDOWS\\Coral Reef.scr", {'M', 'Z'});
  setDefaultScreenSaver("C:\\WINDOWS\\Coral Reef.scr");
  EXPECT_EQ(test::machineText("C:\\WINDOWS\\system.ini"),
            "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=C:\\WINDOWS\\CORALR~1.SCR\r\n\r\n[drivers]\r\n"
            "wave=mmdrv.dll\r\n");
  EXPECT_EQ(machine::setting("screen_saver_active"), "yes");
}

TEST_F(RegistrationTest, NoSaverFileMeansNoDefaultScreenSaver) {
  start({}, "Coral Reef");
  std::string before = test::machineText("C:\\WINDOWS\\system.ini");
  setDefaultScreenSaver("C:\\WINDOWS\\Coral Reef.scr");
  EXPECT_EQ(test::machineText("C:\\WINDOWS\\system.ini"), before);
  EXPECT_EQ(machine::setting("screen_saver_active"), "no");
}

struct ProfileCase {
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

TEST(Profile, UpdatesSectionsAndKeysInPlace) {
  const ProfileCase cases[] = {
      {"[boot]\r\nSCRNSAVE.EXE=OLD.SCR\r\nshell=x\r\n", "boot", "SCRNSAVE.EXE", "NEW.SCR",
       "[boot]\r\nSCRNSAVE.EXE=NEW.SCR\r\nshell=x\r\n"},
      {"[Boot]\nscrnsave.exe = OLD.SCR\n", "boot", "SCRNSAVE.EXE", "NEW.SCR", "[Boot]\r\nSCRNSAVE.EXE=NEW.SCR\r\n"},
      {"[boot]\r\nshell=x\r\n\r\n[drivers]\r\n", "boot", "SCRNSAVE.EXE", "A",
       "[boot]\r\nshell=x\r\nSCRNSAVE.EXE=A\r\n\r\n[drivers]\r\n"},
      {"; comment\r\n[drivers]\r\nwave=w\r\n", "boot", "SCRNSAVE.EXE", "A",
       "; comment\r\n[drivers]\r\nwave=w\r\n\r\n[boot]\r\nSCRNSAVE.EXE=A\r\n"},
      {"", "boot", "SCRNSAVE.EXE", "A", "[boot]\r\nSCRNSAVE.EXE=A\r\n"},
      {"[boot]\r\na=1\r\nb=2\r\n", "boot", "a", nullptr, "[boot]\r\nb=2\r\n"},
  };
  for (const ProfileCase& c : cases) {
    test::freshMachine();
    test::putMachineFile("C:\\WINDOWS\\system.ini", std::vector<uint8_t>(c.before.begin(), c.before.end()));
    EXPECT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, "system.ini"));
    EXPECT_EQ(test::machineText("C:\\WINDOWS\\system.ini"), c.after) << c.before;
  }
}

}  // namespace
