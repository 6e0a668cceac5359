// vrn-machine run: puts an installer on the machine and runs it from its
// entry point, as a double click (or a command line) would.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/host/machine.h"
#include "platform/user32.h"
#include "shell/shell.h"
#include "tools/vrn-machine/commands.h"

namespace fs = std::filesystem;

// What the module handle of the running installer looks like: its image base.
static HINSTANCE const installerInstance = reinterpret_cast<HINSTANCE>(0x00400000);

int runCommand(const Arguments& args) {
  if (args.size() < 2) throw std::runtime_error("run needs a machine and an installer");
  machine::open(args[0]);
  std::string as = "C:\\DOWNLOAD\\SETUP.EXE";
  std::string commandLine;
  for (size_t i = 2; i < args.size(); i++) {
    if (args[i] == "--as" && i + 1 < args.size()) {
      as = args[++i];
    } else if (args[i] == "--") {
      for (i++; i < args.size(); i++) commandLine += (commandLine.empty() ? "" : " ") + args[i];
    } else {
      commandLine += (commandLine.empty() ? "" : " ") + args[i];
    }
  }
  machine::setModulePath(as);
  std::string target = machine::hostPath(as);
  fs::create_directories(fs::path(target).parent_path());
  fs::copy_file(args[1], target, fs::copy_options::overwrite_existing);

  int status;
  try {
    status = WinMain(installerInstance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
  } catch (const machine::ProcessExit& exit) {
    status = exit.status;
  }
  machine::closeAllFiles();
  return status;
}
