#include "tests/support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/host/machine.h"
#include "platform/host/programs.h"
#include "platform/host/ui.h"
#include "shell/exit_status.h"
#include "shell/state.h"

namespace fs = std::filesystem;

namespace test {

std::string freshFolder(const std::string& name) {
  static int counter = 0;
  fs::path dir = fs::temp_directory_path() /
                 ("vrn-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + "-" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

std::string freshMachine(const std::vector<std::string>& settings) {
  std::string dir = freshFolder("machine") + "/m";
  machine::create(dir, settings);
  machine::open(dir);
  return dir;
}

void freshProcessState() {
  InstallMode = Interactive;
  abortRequested = 0;
  finishDespiteAbort = 0;
  progressDialog = nullptr;
  installerModule = installerInstance();
  saverName[0] = saverFileName[0] = dataFolder[0] = unsupportedTypes[0] = 0;
  startColour = 0x00FF0000;
  endColour = 0;
  runStatus = EXIT_DECLINED;
  ui::reset();
  machine::startedPrograms().clear();
}

const std::vector<uint8_t>& stub() {
  static const std::vector<uint8_t> bytes = pe::readFile(VRN_STUB);
  return bytes;
}

std::vector<uint8_t> patternBytes(size_t length, uint8_t seed) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; i++) bytes[i] = (uint8_t)(i * 7 + seed + (i >> 8));
  return bytes;
}

pack::Input sampleInput(const std::string& name, std::vector<size_t> sizes) {
  pack::Input input;
  input.saverName = name;
  for (size_t i = 0; i < sizes.size(); i++) {
    pack::InputFile file;
    file.source = "file" + std::to_string(i);
    file.bytes = patternBytes(sizes[i], (uint8_t)i);
    file.storage = pack::Storage::Stored;
    if (i >= 3) file.suffix = ".jpg";
    input.files.push_back(file);
  }
  return input;
}

std::vector<uint8_t> makeInstaller(const pack::Input& input) { return pack::build(stub(), input, nullptr); }

void placeInstaller(const std::vector<uint8_t>& installer, const std::string& windowsPath) {
  machine::setModulePath(windowsPath);
  std::string host = machine::hostPath(windowsPath);
  fs::create_directories(fs::path(host).parent_path());
  pe::writeFile(host, installer);
}

std::vector<uint8_t> machineFile(const std::string& windowsPath) {
  return pe::readFile(machine::hostPath(windowsPath));
}

bool machineFileExists(const std::string& windowsPath) {
  std::string host = machine::hostPath(windowsPath);
  return !host.empty() && fs::is_regular_file(host);
}

Run runTool(const std::string& commandLine) {
  std::string command = commandLine + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + commandLine);
  Run run{0, ""};
  std::array<char, 4096> buffer;
  size_t got;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace test
