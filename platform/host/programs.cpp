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

// One transcript line: program started by CALL (DETAIL): "FILE" "PARAMETERS",
// show N; or "program not started", with the reason.
void record(const machine::StartedProgram& program, const std::string& detail, const char* failure) {
  std::string line = std::string(failure ? "program not started" : "program started") + " by " + program.call + " (" +
                     detail + "): \"" + program.file + "\" \"" + program.parameters + "\", show " +
                     std::to_string(program.show);
  machine::transcript(failure ? line + ": " + failure : line);
  if (!failure) machine::startedPrograms().push_back(program);
}

}  // namespace

extern "C" {

BOOL WINAPI ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  machine::StartedProgram program{"ShellExecuteExA", text(info->lpVerb), text(info->lpFile), text(info->lpParameters),
                                  info->nShow};
  const char* failure = nullptr;
  UINT code = STARTED_INSTANCE;
  if (isWebAddress(program.file) && !machine::settingOn("browser")) {
    failure = "the browser cannot connect";
    code = SE_ERR_NOASSOC_CODE;
  } else if (!isWebAddress(program.file) && !programExists(program.file)) {
    failure = "no such file";
    code = ERROR_FILE_NOT_FOUND_CODE;
  }
  record(program, "verb \"" + program.verb + "\"", failure);
  info->hInstApp = (HINSTANCE)(INT_PTR)code;
  return failure ? FALSE : TRUE;
}

UINT WINAPI WinExec(LPCSTR commandLine, UINT show) {
  machine::StartedProgram program{"WinExec", "", "", "", (int)show};
  splitCommandLine(text(commandLine), &program.file, &program.parameters);
  bool exists = programExists(program.file);
  record(program, "command line \"" + text(commandLine) + "\"", exists ? nullptr : "no such program");
  return exists ? STARTED_INSTANCE : ERROR_FILE_NOT_FOUND_CODE;
}
}
