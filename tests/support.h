// Helpers shared by the tests: fresh simulated machines, real installers
// made from the Windows build's stub, and runs of the command-line tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wintypes.h"
#include "tools/common/package_file.h"

namespace test {

// A fresh, empty folder under the system's temporary folder.
std::string freshFolder(const std::string& name);
// Makes a machine with the given settings and opens it.
std::string freshMachine(const std::vector<std::string>& settings = {});

// What the module handle of the running installer looks like: its image base.
inline HINSTANCE installerInstance() { return reinterpret_cast<HINSTANCE>(0x00400000); }
// The installer's shared state, the windows and the programs started, as a
// new process has them.
void freshProcessState();

const std::vector<uint8_t>& stub();
// Bytes 0, 1, 2, ... of the given length, so that misplaced bytes show.
std::vector<uint8_t> patternBytes(size_t length, uint8_t seed = 0);
// A saver with three files of the given sizes, stored.
pack::Input sampleInput(const std::string& name = "Aquarium", std::vector<size_t> sizes = {100, 200, 300});
std::vector<uint8_t> makeInstaller(const pack::Input& input);
// Puts an installer on the opened machine and makes it the running module.
void placeInstaller(const std::vector<uint8_t>& installer, const std::string& windowsPath = "C:\\DOWNLOAD\\SETUP.EXE");

// Reads a file of the opened machine by its Windows path.
std::vector<uint8_t> machineFile(const std::string& windowsPath);
bool machineFileExists(const std::string& windowsPath);

struct Run {
  int status;
  std::string output;  // standard output and standard error
};
Run runTool(const std::string& commandLine);
std::string quote(const std::string& text);

}  // namespace test
