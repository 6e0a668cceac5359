#include "tools/common/package_file.h"

#include <cstring>
#include <stdexcept>

#include "install/media_name.h"
#include "package/names.h"
#include "package/package.h"

namespace pack {

std::string validate(const Input& input) {
  const std::string& name = input.saverName;
  if (name.empty() || name.size() > PACKAGE_NAME_SIZE - 1) {
    return "the saver's name must have 1 to 259 characters";
  }
  if (!isSafeSaverName(name.c_str()) || name.find('\0') != std::string::npos) {
    return "the saver's name \"" + name +
           "\" is not a plain file name (no \\ / : * ? \" < > |, "
           "control characters, or only dots and blanks)";
  }
  if (input.license.size() > PACKAGE_MAX_LICENSE) return "the license text is longer than 65535 bytes";
  if (input.files.size() < 3) return "a package needs the saver, its data file and the uninstaller";
  for (const InputFile& file : input.files) {
    if (file.bytes.empty()) return file.source + " is empty: a package cannot hold an empty file";
    if (file.suffix.size() > PACKAGE_SUFFIX_SIZE)
      return "the suffix \"" + file.suffix + "\" is longer than 15 characters";
    if (!isPlainNamePart(file.suffix.data(), file.suffix.size())) {
      return "the suffix \"" + file.suffix + "\" is not a plain file name part";
    }
  }
  return "";
}

uint32_t anchorOffset(const pe::Image& stub) {
  if (stub.machine != 0x14C || stub.optionalHeaderSize != 224) throw std::runtime_error("not a PE32 i386 image");
  if (!stub.section(".rsrc") || stub.resources.empty()) throw std::runtime_error("no resources");
  const pe::Resource& anchor = stub.resources.front();
  if (anchor.fileOffset > stub.bytes.size() || stub.bytes.size() - anchor.fileOffset != anchor.size) {
    throw std::runtime_error("the first resource's data is not the last bytes of the file");
  }
  return anchor.fileOffset;
}

static void append16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back((uint8_t)v);
  out.push_back((uint8_t)(v >> 8));
}

static void append32(std::vector<uint8_t>& out, uint32_t v) {
  append16(out, (uint16_t)v);
  append16(out, (uint16_t)(v >> 16));
}

static std::vector<uint8_t> streamOf(const InputFile& file, Compressor compress, bool* compressed) {
  *compressed = false;
  if (file.storage == Storage::Stored || !compress) {
    if (file.storage == Storage::Compressed) throw std::runtime_error("no compressor for " + file.source);
    return file.bytes;
  }
  std::vector<uint8_t> packed = compress(file.bytes);
  if (file.storage == Storage::Automatic && packed.size() >= file.bytes.size()) return file.bytes;
  *compressed = true;
  return packed;
}

std::vector<uint8_t> build(const std::vector<uint8_t>& stub, const Input& input, Compressor compress) {
  std::string problem = validate(input);
  if (!problem.empty()) throw std::runtime_error(problem);
  uint32_t at = anchorOffset(pe::parse(stub));
  std::vector<uint8_t> out(stub.begin(), stub.begin() + at);
  append16(out, (uint16_t)input.license.size());
  out.insert(out.end(), input.license.begin(), input.license.end());
  std::vector<uint8_t> name(PACKAGE_NAME_SIZE, 0);
  std::memcpy(name.data(), input.saverName.data(), input.saverName.size());
  out.insert(out.end(), name.begin(), name.end());
  append32(out, input.startColour);
  append32(out, input.endColour);
  append16(out, 0);
  append16(out, input.firstSequenceNumber);

  uint32_t streamAt = (uint32_t)(out.size() + PACKAGE_ENTRY_SIZE * (input.files.size() + 1));
  std::vector<uint8_t> streams;
  for (const InputFile& file : input.files) {
    bool compressed;
    std::vector<uint8_t> stream = streamOf(file, compress, &compressed);
    append32(out, streamAt + (uint32_t)streams.size());
    append32(out, (uint32_t)stream.size());
    append32(out, compressed ? (uint32_t)file.bytes.size() : 0);
    std::string suffix = file.suffix + std::string(PACKAGE_SUFFIX_SIZE - file.suffix.size(), ' ');
    out.insert(out.end(), suffix.begin(), suffix.end());
    out.push_back(file.kind);
    streams.insert(streams.end(), stream.begin(), stream.end());
  }
  out.insert(out.end(), PACKAGE_ENTRY_SIZE, 0);
  out.insert(out.end(), streams.begin(), streams.end());
  return out;
}

Package read(const std::vector<uint8_t>& installer) {
  pe::Image image = pe::parse(installer);
  if (image.resources.empty()) throw std::runtime_error("no resources: no package");
  Package p;
  uint32_t at = p.headerOffset = image.resources.front().fileOffset;
  uint16_t licenseLength = pe::u16(installer, at);
  if (at + 2 + licenseLength + PACKAGE_FIXED_SIZE - 2 > installer.size())
    throw std::runtime_error("the package header is cut off");
  p.license.assign(installer.begin() + at + 2, installer.begin() + at + 2 + licenseLength);
  at += 2 + licenseLength;
  const char* name = reinterpret_cast<const char*>(&installer[at]);
  p.saverName.assign(name, strnlen(name, PACKAGE_NAME_SIZE - 1));
  at += PACKAGE_NAME_SIZE;
  p.startColour = pe::u32(installer, at);
  p.endColour = pe::u32(installer, at + 4);
  p.reserved = pe::u16(installer, at + 8);
  p.firstSequenceNumber = pe::u16(installer, at + 10);
  for (at += 12;; at += PACKAGE_ENTRY_SIZE) {
    if (at + PACKAGE_ENTRY_SIZE > installer.size()) throw std::runtime_error("the entry table is cut off");
    Entry e{pe::u32(installer, at), pe::u32(installer, at + 4), pe::u32(installer, at + 8),
            std::string(reinterpret_cast<const char*>(&installer[at + 12]), PACKAGE_SUFFIX_SIZE), installer[at + 27]};
    if (e.storedSize == 0) break;
    p.entries.push_back(e);
  }
  return p;
}

std::string targetName(const Package& package, size_t index) {
  if (index == 0) return package.saverName + ".scr";
  if (index == 1) return package.saverName + ".dat";
  if (index == 2) return "UNINSTAL.EXE";
  char name[MEDIA_NAME_SIZE];
  const Entry& e = package.entries[index];
  composeMediaName(name, e.kind, package.firstSequenceNumber + (unsigned)index - 3, e.suffix.c_str());
  return name;
}

}  // namespace pack
