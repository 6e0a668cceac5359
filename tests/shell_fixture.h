// Runs of real installers on the simulated machine, in this process, from
// WinMain to the end of the run, with a scripted user.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/host/machine.h"
#include "platform/host/programs.h"
#include "platform/host/ui.h"
#include "shell/exit_status.h"
#include "shell/shell.h"
#include "shell/state.h"
#include "tests/support.h"

namespace test {

struct InstallerRun {
  int status;
  std::vector<std::string> transcript;  // of this run
  std::string stopped;                  // why the simulated user could not go on
};

// Runs the placed installer; `before` runs after the reset, before WinMain.
inline InstallerRun runPlaced(const std::string& commandLine, const std::string& answers,
                              const std::function<void()>& before = nullptr) {
  freshProcessState();
  ui::setAnswers(answers);
  if (before) before();
  size_t first = machine::transcriptLines().size();
  std::string line = commandLine;
  InstallerRun run{-1, {}, ""};
  try {
    run.status = WinMain(installerInstance(), nullptr, line.data(), SW_SHOWDEFAULT);
  } catch (const machine::ProcessExit& exit) {
    run.status = exit.status;
  } catch (const ui::RunStopped& stop) {
    run.status = stop.status;
    run.stopped = stop.reason;
  }
  machine::closeAllFiles();
  const std::vector<std::string>& lines = machine::transcriptLines();
  run.transcript.assign(lines.begin() + (long)first, lines.end());
  return run;
}

// A fresh machine with the settings and the installer on it, then a run.
inline InstallerRun runInstaller(const pack::Input& input, const std::vector<std::string>& settings,
                                 const std::string& commandLine, const std::string& answers,
                                 const std::function<void()>& before = nullptr) {
  freshMachine(settings);
  placeInstaller(makeInstaller(input));
  return runPlaced(commandLine, answers, before);
}

// The transcript's headlines: each message box with its first text line,
// each dialog shown and each program started, without the details.
inline std::vector<std::string> headlines(const std::vector<std::string>& transcript) {
  std::vector<std::string> out;
  for (size_t i = 0; i < transcript.size(); i++) {
    const std::string& line = transcript[i];
    if (line.rfind("message box ", 0) == 0) {
      std::string caption = line.substr(12, line.find(", owner") - 12);
      std::string text = i + 1 < transcript.size() ? transcript[i + 1].substr(4) : "";
      out.push_back("box " + caption + ": " + text.substr(0, 30));
    } else if (line.rfind("dialog ", 0) == 0 && line.find('"') != std::string::npos) {
      out.push_back(line.substr(0, line.find(' ', 7)) +
                    (line.find(" kept hidden") != std::string::npos ? " hidden" : ""));
    } else if (line.rfind("program ", 0) == 0) {
      out.push_back(line);
    }
  }
  return out;
}

inline std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace test
