// vrn-pack build: the stub with a package of the saver's files.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "tools/common/lzhuf_encoder.h"
#include "tools/common/package_file.h"
#include "tools/vrn-pack/commands.h"

namespace {

std::vector<uint8_t> readBytes(const std::string& path) { return pe::readFile(path); }

uint32_t parseColour(const std::string& text) {
  size_t used = 0;
  unsigned long value = std::stoul(text, &used, 0);
  if (used != text.size() || value > 0xFFFFFFFFul) throw std::runtime_error("not a colour value: " + text);
  return (uint32_t)value;
}

pack::InputFile mediaFile(const std::string& option) {
  size_t first = option.find(':');
  pack::InputFile file;
  file.source = option.substr(0, first);
  file.suffix = std::filesystem::path(file.source).extension().string();
  if (first != std::string::npos) {
    size_t second = option.find(':', first + 1);
    std::string kind = option.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (kind == "file")
      file.kind = ' ';
    else if (kind == "juke")
      file.kind = 0;
    else if (kind == "juk_")
      file.kind = '_';
    else
      throw std::runtime_error("unknown media kind \"" + kind + "\" (file, juke or juk_)");
    if (second != std::string::npos) file.suffix = option.substr(second + 1);
  }
  file.bytes = readBytes(file.source);
  return file;
}

pack::InputFile plainFile(const std::string& path) {
  pack::InputFile file;
  file.source = path;
  file.bytes = readBytes(path);
  return file;
}

}  // namespace

int buildCommand(const Arguments& args) {
  pack::Input input;
  std::string stub, output, saver, data, uninstaller;
  std::vector<std::string> media;
  pack::Storage storage = pack::Storage::Automatic;
  for (size_t i = 0; i < args.size(); i++) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::runtime_error(a + " needs a value");
      return args[++i];
    };
    if (a == "--stub")
      stub = value();
    else if (a == "--name")
      input.saverName = value();
    else if (a == "--saver")
      saver = value();
    else if (a == "--data")
      data = value();
    else if (a == "--uninstaller")
      uninstaller = value();
    else if (a == "--license") {
      std::vector<uint8_t> text = readBytes(value());
      input.license.assign(text.begin(), text.end());
    } else if (a == "--colours") {
      input.startColour = parseColour(value());
      input.endColour = parseColour(value());
    } else if (a == "--first-sequence") {
      unsigned long n = std::stoul(value());
      if (n > 0xFFFF) throw std::runtime_error("--first-sequence must be below 65536");
      input.firstSequenceNumber = (uint16_t)n;
    } else if (a == "--media")
      media.push_back(value());
    else if (a == "--store")
      storage = pack::Storage::Stored;
    else if (a == "--compress")
      storage = pack::Storage::Compressed;
    else if (a == "-o")
      output = value();
    else
      throw std::runtime_error("unknown option " + a);
  }
  if (stub.empty() || output.empty() || saver.empty() || data.empty() || uninstaller.empty()) {
    return refuse("build needs --stub, --saver, --data, --uninstaller and -o");
  }
  input.files = {plainFile(saver), plainFile(data), plainFile(uninstaller)};
  for (const std::string& m : media) input.files.push_back(mediaFile(m));
  for (pack::InputFile& f : input.files) f.storage = storage;
  std::vector<uint8_t> installer = pack::build(readBytes(stub), input, lzhuf::encode);
  std::string temporary = output + ".part";
  pe::writeFile(temporary, installer);
  std::filesystem::rename(temporary, output);
  return 0;
}
