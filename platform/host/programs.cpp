// SHELL32's ShellExecuteExA and KERNEL32's WinExec on the simulated machine:
// nothing runs, but what would have started is recorded and written to the
// transcript. A program starts when its file exists; a web address opens
// when the machine's browser works.
#include "platform/host/programs.h"

#include <strings.h>

#include <filesystem>

#include "platform/host/machine.h"
#include "platform/kernel32.h"
#include "platform/shell32.h"

namespace fs = std::filesystem;

#define STARTED_INSTANCE 33  // above 32: success, for hInstApp and WinExec
#define ERROR_FILE_NOT_FOUND_CODE 2
#define SE_ERR_NOASSOC_CODE 31

namespace machine {

std::vector<StartedProgram>& startedPrograms() {
  static std::vector<StartedProgram> started;
  return started;
}

}  // namespace machine

namespace {

bool isWebAddress(const std::string& file) {
  return strncasecmp(file.c_str(), "http://", 7) == 0 || strncasecmp(file.c_str(), "https://", 8) == 0;
}

bool programExists(const std::string& windowsPath) {
  std::string host = machine::hostPath(windowsPath);
  return !host.empty() && fs::is_regular_file(host);
}

std::string text(const char* value) { return value ? value : ""; }

// WinExec's command line: a quoted program name, or everything up to the first blank.
void splitCommandLine(const std::string& commandLine, std::string* program, std::string* arguments) {
  size_t end;
  if (!commandLine.empty() && commandLine[0] == '"') {
    end = commandLine.find('"', 1);
    *program = commandLine.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    end = end == std::string::npos ? commandLine.size() : end + 1;
  } else {
    end = std::min(commandLine.find(' '), commandLine.size());
    *program = commandLine.substr(0, end);
  }
  size_t rest = commandLine.find_first_not_of(' ', end);
  *arguments = rest == std::string::npos ? "" : commandLine.substr(rest);
}

}  // namespace

extern "C" {

BOOL WINAPI ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  std::string file = text(info->lpFile);
  bool started = isWebAddress(file) ? machine::settingOn("browser") : programExists(file);
  machine::transcript("ShellExecuteExA: verb \"" + text(info->lpVerb) + "\", file \"" + file + "\", parameters \"" +
                      text(info->lpParameters) + "\", show " + std::to_string(info->nShow) +
                      (started ? " -> started" : " -> failed"));
  info->hInstApp = (HINSTANCE)(INT_PTR)(started              ? STARTED_INSTANCE
                                        : isWebAddress(file) ? SE_ERR_NOASSOC_CODE
                                                             : ERROR_FILE_NOT_FOUND_CODE);
  if (!started) return FALSE;
  machine::startedPrograms().push_back(
      {"ShellExecuteExA", text(info->lpVerb), file, text(info->lpParameters), info->nShow});
  return TRUE;
}

UINT WINAPI WinExec(LPCSTR commandLine, UINT show) {
  std::string program, arguments;
  splitCommandLine(text(commandLine), &program, &arguments);
  bool started = programExists(program);
  machine::transcript("WinExec: command line \"" + text(commandLine) + "\", show " + std::to_string(show) +
                      (started ? " -> started " + machine::fullPath(program) : " -> failed: no program " + program));
  if (!started) return ERROR_FILE_NOT_FOUND_CODE;
  machine::startedPrograms().push_back({"WinExec", "", machine::fullPath(program), arguments, (int)show});
  return STARTED_INSTANCE;
}
}
