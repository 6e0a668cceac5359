// Optimal parsing: for each block the cheapest sequence of literals and
// matches is found by a shortest path over the block's bytes, with the code
// lengths that the adaptive model has at the block's start; the block is then
// coded while the model adapts symbol by symbol, as the decoder will.
#include "tools/common/lzhuf_encoder.h"

#include <algorithm>
#include <array>
#include <limits>

#include "decoder/huffman.h"

namespace lzhuf {
namespace {

constexpr int kMinMatch = MATCH_THRESHOLD + 1;
constexpr int kFirstMatchSymbol = 256;
// The decoder's first write goes behind this many preset blanks.
constexpr int kPresetBlanks = WINDOW_SIZE - MAX_MATCH;
constexpr int kMaxDistance = WINDOW_SIZE;  // position 4095 reaches back 4096 bytes
constexpr int kBlockSize = 2048;           // bytes parsed with one set of code lengths
constexpr int kChainDepth = 48;            // candidates looked at per position
constexpr int kHashBits = 15;
constexpr int kChainSize = 2 * WINDOW_SIZE;  // a power of two above the window

int matchSymbol(int length) { return kFirstMatchSymbol + length - kMinMatch; }

// Bits MSB first, as the decoder reads them.
class BitWriter {
 public:
  void put(uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; i--) {
      current_ = (uint8_t)(current_ << 1 | ((bits >> i) & 1));
      if (++used_ == 8) {
        out_.push_back(current_);
        used_ = 0;
      }
    }
  }
  // Missing bits read as zeros, so trailing zero bytes need not be stored;
  // one byte stays so that a stream is never empty.
  std::vector<uint8_t> finish(bool nonEmpty) {
    if (used_ > 0) out_.push_back((uint8_t)(current_ << (8 - used_)));
    while (out_.size() > (nonEmpty ? 1u : 0u) && out_.back() == 0) out_.pop_back();
    if (nonEmpty && out_.empty()) out_.push_back(0);
    return std::move(out_);
  }

 private:
  std::vector<uint8_t> out_;
  uint8_t current_ = 0;
  int used_ = 0;
};

// The prefix of each upper-six-bits value: the leading bits of the first
// byte value that decodes to it.
struct PositionPrefix {
  uint8_t code, bits;
};
std::array<PositionPrefix, 64> positionPrefixes() {
  std::array<PositionPrefix, 64> prefixes{};
  for (int b = POSITION_TABLE_SIZE - 1; b >= 0; b--) {
    prefixes[positionHigh[b]] = {(uint8_t)(b >> (8 - positionBits[b])), positionBits[b]};
  }
  return prefixes;
}
const std::array<PositionPrefix, 64> kPrefixes = positionPrefixes();

int positionCost(int distance) { return kPrefixes[(distance - 1) >> POSITION_LOW_BITS].bits + POSITION_LOW_BITS; }

// Codes symbols and positions with the model, adapting it as the decoder does.
class SymbolCoder {
 public:
  SymbolCoder() { initTree(); }

  void symbol(int s) {
    uint32_t code = 0;
    int length = 0;
    for (unsigned n = model.parent[NODE_COUNT + s]; n != ROOT_NODE; n = model.parent[n], length++) {
      code |= (uint32_t)(n - model.child[model.parent[n]]) << length;
    }
    bits_.put(code, length);
    updateModel(s);
  }

  void position(int distance) {
    unsigned p = (unsigned)distance - 1;
    const PositionPrefix& prefix = kPrefixes[p >> POSITION_LOW_BITS];
    bits_.put(prefix.code, prefix.bits);
    bits_.put(p & ((1u << POSITION_LOW_BITS) - 1), POSITION_LOW_BITS);
  }

  // The code length of every symbol in the tree as it stands.
  void codeLengths(std::array<int, SYMBOL_COUNT>& lengths) const {
    for (int s = 0; s < SYMBOL_COUNT; s++) {
      int length = 0;
      for (unsigned n = model.parent[NODE_COUNT + s]; n != ROOT_NODE; n = model.parent[n]) length++;
      lengths[s] = length;
    }
  }

  std::vector<uint8_t> finish(bool nonEmpty) { return bits_.finish(nonEmpty); }

 private:
  BitWriter bits_;
};

// Hash chains over the data behind the preset blanks, which count as the
// window's first bytes.
class MatchFinder {
 public:
  explicit MatchFinder(const std::vector<uint8_t>& data)
      : data_(data), head_(1u << kHashBits, -1), prev_(kChainSize, -1) {}

  void insert(int at) {
    if (at + kMinMatch > (int)data_.size()) return;
    uint32_t h = hash(at);
    prev_[at & (kChainSize - 1)] = head_[h];
    head_[h] = at;
  }

  // Matches at `at`, nearest first, each longer than the one before; the
  // nearest match of a length is also the cheapest to code.
  struct Match {
    int length, distance;
  };
  int find(int at, Match* matches) const {
    int limit = std::min<int>(MAX_MATCH, (int)data_.size() - at);
    if (limit < kMinMatch) return 0;
    const uint8_t* here = &data_[at];
    int count = 0, best = kMinMatch - 1;
    int candidate = head_[hash(at)];
    for (int depth = 0; candidate >= 0 && depth < kChainDepth; depth++) {
      int distance = at - candidate;
      if (distance > kMaxDistance) break;
      const uint8_t* there = &data_[candidate];
      if (there[best] == here[best]) {
        int length = 0;
        while (length < limit && there[length] == here[length]) length++;
        if (length > best) {
          best = length;
          matches[count++] = {length, distance};
          if (length == limit) break;
        }
      }
      candidate = prev_[candidate & (kChainSize - 1)];
    }
    return count;
  }

 private:
  uint32_t hash(int at) const {
    uint32_t v = (uint32_t)data_[at] << 16 | (uint32_t)data_[at + 1] << 8 | data_[at + 2];
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  const std::vector<uint8_t>& data_;
  std::vector<int> head_, prev_;
};

struct Step {
  int length;    // 1 for a literal
  int distance;  // matches only
};

// The cheapest steps from `start` to `end` under the given code lengths.
class Parser {
 public:
  Parser(const std::vector<uint8_t>& data, MatchFinder& finder) : data_(data), finder_(finder) {}

  std::vector<Step> parse(int start, int end, const std::array<int, SYMBOL_COUNT>& lengths) {
    int size = end - start;
    cost_.assign(size + 1, std::numeric_limits<int>::max());
    step_.assign(size + 1, Step{1, 0});
    cost_[0] = 0;
    int searchFrom = 0;  // positions inside a longest match are not searched
    for (int k = 0; k < size; k++) {
      int at = start + k;
      relax(k, k + 1, lengths[data_[at]], Step{1, 0});
      if (k >= searchFrom) {
        MatchFinder::Match matches[MAX_MATCH];
        int count = finder_.find(at, matches);
        int shortest = kMinMatch;
        for (int i = 0; i < count; i++) {
          int longest = std::min(matches[i].length, size - k);
          int base = positionCost(matches[i].distance);
          for (int length = shortest; length <= longest; length++) {
            relax(k, k + length, base + lengths[matchSymbol(length)], Step{length, matches[i].distance});
          }
          shortest = longest + 1;
        }
        if (count > 0 && matches[count - 1].length == MAX_MATCH) searchFrom = k + MAX_MATCH;
      }
      finder_.insert(at);
    }
    std::vector<Step> steps;
    for (int k = size; k > 0; k -= step_[k].length) steps.push_back(step_[k]);
    std::reverse(steps.begin(), steps.end());
    return steps;
  }

 private:
  void relax(int from, int to, int cost, Step step) {
    if (cost_[from] + cost < cost_[to]) {
      cost_[to] = cost_[from] + cost;
      step_[to] = step;
    }
  }

  const std::vector<uint8_t>& data_;
  MatchFinder& finder_;
  std::vector<int> cost_;
  std::vector<Step> step_;
};

}  // namespace

std::vector<uint8_t> encode(const std::vector<uint8_t>& input) {
  std::vector<uint8_t> data(kPresetBlanks + input.size(), ' ');
  std::copy(input.begin(), input.end(), data.begin() + kPresetBlanks);
  MatchFinder finder(data);
  for (int at = 0; at < kPresetBlanks; at++) finder.insert(at);
  Parser parser(data, finder);
  SymbolCoder coder;
  std::array<int, SYMBOL_COUNT> lengths;
  for (int start = kPresetBlanks; start < (int)data.size(); start += kBlockSize) {
    int end = std::min<int>(start + kBlockSize, (int)data.size());
    coder.codeLengths(lengths);
    int at = start;
    for (const Step& step : parser.parse(start, end, lengths)) {
      if (step.length == 1) {
        coder.symbol(data[at]);
      } else {
        coder.symbol(matchSymbol(step.length));
        coder.position(step.distance);
      }
      at += step.length;
    }
  }
  return coder.finish(!input.empty());
}

}  // namespace lzhuf
