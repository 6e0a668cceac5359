// Entry point: reads the install mode from the command line and reads the
// package. The launcher window and the install sequence build on this.
#include "package/package.h"
#include "shell/shell.h"
#include "shell/state.h"

// The character after the first "/" (or, without any "/", the first "-").
static int modeFromCommandLine(const char* commandLine) {
  const char* mark = commandLine;
  while (*mark && *mark != '/') mark++;
  if (!*mark) {
    for (mark = commandLine; *mark && *mark != '-';) mark++;
  }
  if (*mark && (mark[1] == 'S' || mark[1] == 's')) return Silent;
  return Interactive;
}

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  InstallMode = modeFromCommandLine(commandLine);
  installerModule = instance;
  readSaverName(saverName, &startColour, &endColour);
  return 0;
}
