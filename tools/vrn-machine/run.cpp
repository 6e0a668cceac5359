// vrn-machine run: puts an installer on the machine and runs it from its
// entry point, as a double click (or a command line) would.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "install/progress_dialog.h"
#include "package/package.h"
#include "platform/host/machine.h"
#include "platform/host/ui.h"
#include "platform/user32.h"
#include "shell/shell.h"
#include "shell/state.h"
#include "tools/vrn-machine/commands.h"

namespace fs = std::filesystem;

// What the module handle of the running installer looks like: its image base.
static HINSTANCE const installerInstance = reinterpret_cast<HINSTANCE>(0x00400000);

// --only-install: the progress dialog alone, as the install sequence opens
// it once the saver's name is known; the status is the dialog's result.
static int runOnlyInstall() {
  COLORREF start, end;
  readSaverName(saverName, &start, &end);
  size_t length = std::strlen(saverName);
  while (length > 0 && saverName[length - 1] == ' ') saverName[--length] = 0;
  std::snprintf(saverFileName, sizeof saverFileName, "%.*s.scr", MAX_PATH - 5, saverName);
  installerModule = installerInstance;
  ui::reset();
  try {
    INT_PTR result =
        DialogBoxParamA(installerInstance, MAKEINTRESOURCEA(PROGRESS_DIALOG), nullptr, progressDialogProc, 0);
    std::printf("progress dialog ended with %d\n", (int)result);
    return (int)result;
  } catch (const ui::RunStopped& stop) {
    std::fprintf(stderr, "vrn-machine: %s\n", stop.reason.c_str());
    return stop.status;
  }
}

int runCommand(const Arguments& args) {
  if (args.size() < 2) throw std::runtime_error("run needs a machine and an installer");
  machine::open(args[0]);
  std::string as = "C:\\DOWNLOAD\\SETUP.EXE";
  std::string commandLine;
  bool onlyInstall = false;
  for (size_t i = 2; i < args.size(); i++) {
    if (args[i] == "--only-install") {
      onlyInstall = true;
    } else if (args[i] == "--as" && i + 1 < args.size()) {
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
    status = onlyInstall ? runOnlyInstall() : WinMain(installerInstance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
  } catch (const machine::ProcessExit& exit) {
    status = exit.status;
  }
  machine::closeAllFiles();
  return status;
}
