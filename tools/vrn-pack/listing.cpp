// vrn-pack inspect: the header and entries of an installer's package.
#include <cstdio>

#include "tools/common/package_file.h"
#include "tools/vrn-pack/commands.h"

int inspectCommand(const Arguments& args) {
  if (args.size() != 1) return refuse("inspect needs one installer");
  std::vector<uint8_t> bytes = pe::readFile(args[0]);
  pack::Package p = pack::read(bytes);
  std::printf("package at offset %u (0x%X) of %zu bytes\n", p.headerOffset, p.headerOffset, bytes.size());
  std::printf("saver name:      \"%s\"\n", p.saverName.c_str());
  std::printf("colours:         start 0x%08X, end 0x%08X\n", p.startColour, p.endColour);
  std::printf("license:         %zu bytes\n", p.license.size());
  std::printf("first sequence:  %u\n", p.firstSequenceNumber);
  std::printf("entries:         %zu\n", p.entries.size());
  std::printf("  #  offset      stored    expanded  kind  suffix            target\n");
  uint32_t total = 0;
  for (size_t i = 0; i < p.entries.size(); i++) {
    const pack::Entry& e = p.entries[i];
    std::string kind = e.kind == 0 ? "0x00" : e.kind == ' ' ? "' '" : std::string("'") + (char)e.kind + "'";
    std::printf("%3zu  %-10u  %-8u  %-8u  %-4s  \"%s\"  %s\n", i, e.streamOffset, e.storedSize, e.expandedSize,
                kind.c_str(), e.suffix.c_str(), pack::targetName(p, i).c_str());
    total += e.expandedSize ? e.expandedSize : e.storedSize;
  }
  std::printf("installed size:  %u bytes\n", total);
  return 0;
}
