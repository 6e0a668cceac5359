// Programs and documents that the installer asked the simulated machine to
// start, for tests and the transcript.
#pragma once

#include <string>
#include <vector>

namespace machine {

struct StartedProgram {
  std::string call;        // "ShellExecuteExA" or "WinExec"
  std::string verb;        // ShellExecuteExA's verb
  std::string file;        // the document or program, as given
  std::string parameters;  // ShellExecuteExA's parameters, or what follows the program in WinExec's command line
  int show;
};
// Only what actually started, in order; a failed start is in the transcript only.
std::vector<StartedProgram>& startedPrograms();

}  // namespace machine
