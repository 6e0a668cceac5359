// vrn-pack: makes installers from the stub and a saver's files, and looks
// inside them.
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "tools/vrn-pack/commands.h"

static const char usage[] =
    "usage:\n"
    "  vrn-pack build --stub STUB.EXE --name NAME --saver FILE --data FILE --uninstaller FILE\n"
    "                 [--license FILE] [--colours START END] [--first-sequence N]\n"
    "                 [--media FILE[:KIND[:SUFFIX]]]... [--store | --compress] -o INSTALLER\n"
    "      KIND is file (the default), juke or juk_; SUFFIX defaults to the file's extension.\n"
    "      Colours are Windows colour values 0x00BBGGRR (default 0x00FF0000 to 0).\n"
    "      Each file is compressed unless that does not make it smaller; --store and\n"
    "      --compress force one way for every file.\n"
    "  vrn-pack inspect INSTALLER\n"
    "  vrn-pack compress IN OUT          the bare compressed stream of IN\n"
    "  vrn-pack expand IN OUT SIZE       expands a bare stream to SIZE bytes with the installer's decoder\n";

struct Command {
  const char* name;
  int (*run)(const Arguments&);
};

static const Command commands[] = {
    {"build", buildCommand},
    {"inspect", inspectCommand},
    {"compress", compressCommand},
    {"expand", expandCommand},
};

int refuse(const std::string& reason) {
  std::fprintf(stderr, "vrn-pack: %s\n", reason.c_str());
  return 1;
}

int main(int argc, char** argv) {
  if (argc >= 2) {
    for (const Command& command : commands) {
      if (std::strcmp(argv[1], command.name) != 0) continue;
      try {
        return command.run(Arguments(argv + 2, argv + argc));
      } catch (const std::exception& e) {
        return refuse(e.what());
      }
    }
  }
  std::fputs(usage, stderr);
  return 2;
}
