// Times the installer's decodeStream against zlib's inflate (level 9) and a
// plain memory copy on the same files, and the encoder against deflate.
// A folder is one part of several files, each its own stream (as a package
// stores each file), and so compressed separately by both.
//
//   vrn-bench PART...         a table per part and for all parts together
//   vrn-bench --decode PART   encodes the part's files, then decodes each
//                             once (for callgrind)
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "decoder/extract.h"
#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"
#include "tools/common/lzhuf_encoder.h"
#include "tools/common/pe_image.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr double kMinSeconds = 0.3;  // each measurement repeats at least this long
constexpr int kRounds = 3;           // the best round counts
constexpr int kPairedRounds = 5;     // rounds of each of two commands taken in turn

// Seconds per call of `run` in one round.
template <typename F>
double timeRound(F run) {
  int calls = 0;
  auto start = Clock::now();
  double elapsed;
  do {
    run();
    calls++;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < kMinSeconds);
  return elapsed / calls;
}

// Seconds per call of `run`, the best of a few rounds.
template <typename F>
double timeIt(F run) {
  double best = 1e30;
  for (int round = 0; round < kRounds; round++) best = std::min(best, timeRound(run));
  return best;
}

// The same for two commands whose ratio is wanted, their rounds taken in
// turn: on a machine whose speed drifts, both then see the same phases.
template <typename F, typename G>
void timeInTurn(F first, G second, double& firstSeconds, double& secondSeconds) {
  firstSeconds = secondSeconds = 1e30;
  for (int round = 0; round < kPairedRounds; round++) {
    firstSeconds = std::min(firstSeconds, timeRound(first));
    secondSeconds = std::min(secondSeconds, timeRound(second));
  }
}

// The installer's decoder from memory to memory, through the runtime's
// streams as in the installer.
Bytes decode(const Bytes& packed, size_t size) {
  Bytes out(size + 1);
  FILE* input = fmemopen(const_cast<uint8_t*>(packed.data()), packed.size() + 1, "rb");
  FILE* output = fmemopen(out.data(), out.size(), "wb");
  if (!input || !output) throw std::runtime_error("fmemopen failed");
  resetPackedReader();
  resetOutputWriter();
  decodeStream(input, output, (uint32_t)size, (uint32_t)packed.size());
  fclose(output);
  fclose(input);
  out.resize(size);
  return out;
}

Bytes deflate9(const Bytes& data) {
  uLongf size = compressBound(data.size());
  Bytes out(size);
  if (compress2(out.data(), &size, data.data(), data.size(), 9) != Z_OK) throw std::runtime_error("deflate failed");
  out.resize(size);
  return out;
}

Bytes inflateAll(const Bytes& packed, size_t size) {
  Bytes out(size);
  uLongf got = size;
  if (uncompress(out.data(), &got, packed.data(), packed.size()) != Z_OK || got != size)
    throw std::runtime_error("inflate failed");
  return out;
}

struct Figures {
  double bytes = 0, ours = 0, zlib = 0;                               // compressed sizes
  double decode = 0, inflate = 0, copy = 0, encode = 0, deflate = 0;  // seconds
  void add(const Figures& f) {
    bytes += f.bytes, ours += f.ours, zlib += f.zlib;
    decode += f.decode, inflate += f.inflate, copy += f.copy, encode += f.encode, deflate += f.deflate;
  }
};

using Part = std::vector<Bytes>;

// A file, or each file of a folder in name order.
Part readPart(const std::string& path) {
  if (!std::filesystem::is_directory(path)) return {pe::readFile(path)};
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().string());
  std::sort(names.begin(), names.end());
  Part part;
  for (const std::string& name : names) part.push_back(pe::readFile(name));
  return part;
}

template <typename F>
Part each(const Part& part, F make) {
  Part out;
  for (const Bytes& data : part) out.push_back(make(data));
  return out;
}

double totalSize(const Part& part) {
  double size = 0;
  for (const Bytes& data : part) size += (double)data.size();
  return size;
}

Figures measure(const Part& part) {
  Figures f;
  f.bytes = totalSize(part);
  Part packed = each(part, lzhuf::encode), zipped = each(part, deflate9);
  for (size_t i = 0; i < part.size(); i++) {
    if (decode(packed[i], part[i].size()) != part[i])
      throw std::runtime_error("the decoder did not give the input back");
  }
  f.ours = totalSize(packed);
  f.zlib = totalSize(zipped);
  timeInTurn(
      [&] {
        for (size_t i = 0; i < part.size(); i++) decode(packed[i], part[i].size());
      },
      [&] {
        for (size_t i = 0; i < part.size(); i++) inflateAll(zipped[i], part[i].size());
      },
      f.decode, f.inflate);
  Part copies = part;
  f.copy = timeIt([&] {
    for (size_t i = 0; i < part.size(); i++) {
      std::memcpy(copies[i].data(), part[i].data(), part[i].size());
      asm volatile("" : : "r"(copies[i].data()) : "memory");
    }
  });
  f.encode = timeIt([&] { each(part, lzhuf::encode); });
  f.deflate = timeIt([&] { each(part, deflate9); });
  return f;
}

double mbps(double bytes, double seconds) { return bytes / seconds / 1e6; }

void print(const std::string& name, const Figures& f) {
  std::printf("%-10s %9.0f  %8.1f %8.1f %8.1f  %5.2f   %8.0f %8.0f  %5.3f   %6.1f %6.1f\n", name.c_str(), f.bytes,
              mbps(f.bytes, f.decode), mbps(f.bytes, f.inflate), mbps(f.bytes, f.copy), f.inflate / f.decode, f.ours,
              f.zlib, f.ours / f.zlib, mbps(f.bytes, f.encode), mbps(f.bytes, f.deflate));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::strcmp(argv[1], "--decode") == 0) {
      Part part = readPart(argv[2]);
      Part packed = each(part, lzhuf::encode);
      for (size_t i = 0; i < part.size(); i++) {
        if (decode(packed[i], part[i].size()) != part[i]) return 1;
      }
      return 0;
    }
    if (argc < 2) {
      std::fputs("usage: vrn-bench PART... | vrn-bench --decode PART\n", stderr);
      return 2;
    }
    std::printf("%-10s %9s  %8s %8s %8s  %5s   %8s %8s  %5s   %6s %6s\n", "file", "bytes", "decode", "inflate",
                "memcpy", "ratio", "ours", "zlib-9", "size", "encode", "deflate");
    std::printf("%-10s %9s  %8s %8s %8s  %5s   %8s %8s  %5s   %6s %6s\n", "", "", "MB/s", "MB/s", "MB/s", "dec/inf",
                "bytes", "bytes", "ratio", "MB/s", "MB/s");
    Figures total;
    for (int i = 1; i < argc; i++) {
      Figures f = measure(readPart(argv[i]));
      std::string name = argv[i];
      print(name.substr(name.find_last_of('/') + 1), f);
      total.add(f);
    }
    print("all", total);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vrn-bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
