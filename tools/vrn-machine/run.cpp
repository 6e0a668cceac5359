// vrn-machine run: puts an installer on the machine and runs it from its
// entry point, as a double click (or a command line) would, with a scripted
// (or interactive) user in front of it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/host/machine.h"
#include "platform/host/ui.h"
#include "platform/user32.h"
#include "shell/shell.h"
#include "tools/vrn-machine/commands.h"

namespace fs = std::filesystem;

// What the module handle of the running installer looks like: its image base.
static HINSTANCE const installerInstance = reinterpret_cast<HINSTANCE>(0x00400000);

struct RunOptions {
  std::string as = "C:\\DOWNLOAD\\SETUP.EXE";
  std::string commandLine;
  std::string answers;
  bool interactive = false;
  std::string transcript;
  bool printTranscript = false;
  std::string screenshot;
};

static std::string readText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

static RunOptions parseOptions(const Arguments& args) {
  RunOptions o;
  auto value = [&](size_t& i) -> std::string {
    if (i + 1 >= args.size()) throw std::runtime_error(args[i] + " needs a value");
    return args[++i];
  };
  auto addArgument = [&](const std::string& a) { o.commandLine += (o.commandLine.empty() ? "" : " ") + a; };
  for (size_t i = 2; i < args.size(); i++) {
    if (args[i] == "--as") {
      o.as = value(i);
    } else if (args[i] == "--answers") {
      o.answers = value(i);
    } else if (args[i] == "--interactive") {
      o.interactive = true;
    } else if (args[i] == "--transcript") {
      o.transcript = value(i);
    } else if (args[i] == "--print-transcript") {
      o.printTranscript = true;
    } else if (args[i] == "--screenshot") {
      o.screenshot = value(i);
    } else if (args[i] == "--") {
      for (i++; i < args.size(); i++) addArgument(args[i]);
    } else {
      addArgument(args[i]);
    }
  }
  return o;
}

static void finish(const RunOptions& o) {
  for (const std::string& unused : ui::unusedAnswers())
    std::fprintf(stderr, "vrn-machine: answer not used, %s\n", unused.c_str());
  if (o.printTranscript) {
    for (const std::string& line : machine::transcriptLines()) std::printf("%s\n", line.c_str());
  }
  if (o.screenshot.empty()) return;
  if (ui::firstPaint().width == 0) throw std::runtime_error("no screenshot: the installer painted no window");
  ui::writePng(ui::firstPaint(), o.screenshot);
}

int runCommand(const Arguments& args) {
  if (args.size() < 2) throw std::runtime_error("run needs a machine and an installer");
  RunOptions o = parseOptions(args);
  machine::open(args[0]);
  ui::reset();
  if (!o.answers.empty()) ui::setAnswers(readText(o.answers));
  ui::setInteractive(o.interactive);
  machine::setTranscript(o.transcript);
  machine::setModulePath(o.as);
  std::string target = machine::hostPath(o.as);
  fs::create_directories(fs::path(target).parent_path());
  fs::copy_file(args[1], target, fs::copy_options::overwrite_existing);

  int status;
  try {
    status = WinMain(installerInstance, nullptr, o.commandLine.data(), SW_SHOWDEFAULT);
  } catch (const machine::ProcessExit& exit) {
    status = exit.status;
  } catch (const ui::RunStopped& stop) {
    std::fprintf(stderr, "vrn-machine: %s\n", stop.reason.c_str());
    status = stop.status;
  }
  machine::closeAllFiles();
  finish(o);
  return status;
}
