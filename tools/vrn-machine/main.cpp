// vrn-machine: makes simulated Windows machines, runs installers on them and
// shows what they hold.
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "tools/vrn-machine/commands.h"

static const char usage[] =
    "usage:\n"
    "  vrn-machine new DIR [SETTING=VALUE]...\n"
    "  vrn-machine run DIR INSTALLER [OPTIONS] [-- ARGS]\n"
    "      --as PATH          where the installer is put (default C:\\DOWNLOAD\\SETUP.EXE)\n"
    "      --answers FILE     the user's answers to message boxes and dialogs (see README.md)\n"
    "      --interactive      asks at the terminal what the answers do not say\n"
    "      --transcript FILE  writes what the user saw and what was started\n"
    "      --print-transcript prints it at the end\n"
    "      --screenshot FILE  the launcher window after its first paint, as PNG\n"
    "  vrn-machine show DIR\n"
    "  vrn-machine settings   lists the settings of a machine and their defaults\n";

struct Command {
  const char* name;
  int (*run)(const Arguments&);
};

static const Command commands[] = {
    {"new", newCommand},
    {"run", runCommand},
    {"show", showCommand},
    {"settings", settingsCommand},
};

int main(int argc, char** argv) {
  if (argc >= 2) {
    for (const Command& command : commands) {
      if (std::strcmp(argv[1], command.name) != 0) continue;
      try {
        return command.run(Arguments(argv + 2, argv + argc));
      } catch (const std::exception& e) {
        std::fprintf(stderr, "vrn-machine: %s\n", e.what());
        return MACHINE_ERROR;
      }
    }
  }
  std::fputs(usage, stderr);
  return MACHINE_ERROR;
}
