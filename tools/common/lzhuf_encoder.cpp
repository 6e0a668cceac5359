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
constexpr int kBlockSize = 8192;           // bytes parsed with one set of code lengths
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
  // Where the bits stand, to go back to after a trial.
  struct Mark {
    size_t size;
    uint8_t current;
    int used;
  };
  Mark mark() const { return {out_.size(), current_, used_}; }
  void backTo(const Mark& m) {
    out_.resize(m.size);
    current_ = m.current;
    used_ = m.used;
  }

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

  // Runs `code` on the model, notes the code lengths it leads to, and puts
  // the model and the bits back as they were.
  template <typename F>
  void trial(F code, std::array<int, SYMBOL_COUNT>& lengths) {
    HuffmanModel savedModel = model;
    std::vector<DWORD> savedSteps(stepTable, stepTable + STEP_TABLE_SIZE);
    BitWriter::Mark savedBits = bits_.mark();
    code();
    codeLengths(lengths);
    model = savedModel;
    std::copy(savedSteps.begin(), savedSteps.end(), stepTable);
    bits_.backTo(savedBits);
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

using Costs = std::array<int, SYMBOL_COUNT>;

// The cheapest steps through a block: the matches at each position are
// found once, then the block is parsed as often as its costs are revised.
class Parser {
 public:
  Parser(const std::vector<uint8_t>& data, MatchFinder& finder) : data_(data), finder_(finder) {}

  // Finds the matches of [start, end) and enters the positions in the finder.
  void collect(int start, int end) {
    start_ = start;
    size_ = end - start;
    first_.assign(size_ + 1, 0);
    matches_.clear();
    for (int k = 0; k < size_; k++) {
      first_[k] = (int)matches_.size();
      MatchFinder::Match found[MAX_MATCH];
      int count = finder_.find(start + k, found);
      for (int i = 0; i < count; i++) matches_.push_back({std::min(found[i].length, size_ - k), found[i].distance});
      finder_.insert(start + k);
    }
    first_[size_] = (int)matches_.size();
  }

  // Costs are in units of 1/scale bit: code lengths times scale / weight.
  std::vector<Step> parse(const Costs& symbolCost, int positionScale) {
    cost_.assign(size_ + 1, std::numeric_limits<int>::max());
    step_.assign(size_ + 1, Step{1, 0});
    cost_[0] = 0;
    for (int k = 0; k < size_; k++) {
      relax(k, k + 1, symbolCost[data_[start_ + k]], Step{1, 0});
      int shortest = kMinMatch;
      for (int i = first_[k]; i < first_[k + 1]; i++) {
        const MatchFinder::Match& m = matches_[i];
        int base = positionScale * positionCost(m.distance);
        for (int length = shortest; length <= m.length; length++) {
          relax(k, k + length, base + symbolCost[matchSymbol(length)], Step{length, m.distance});
        }
        shortest = std::max(shortest, m.length + 1);
      }
    }
    std::vector<Step> steps;
    for (int k = size_; k > 0; k -= step_[k].length) steps.push_back(step_[k]);
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
  int start_ = 0, size_ = 0;
  std::vector<int> first_;  // per position, its first entry in matches_
  std::vector<MatchFinder::Match> matches_;
  std::vector<int> cost_;
  std::vector<Step> step_;
};

}  // namespace

// Codes the steps of a block from `at`.
void codeSteps(SymbolCoder& coder, const std::vector<uint8_t>& data, int at, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    if (step.length == 1) {
      coder.symbol(data[at]);
    } else {
      coder.symbol(matchSymbol(step.length));
      coder.position(step.distance);
    }
    at += step.length;
  }
}

std::vector<uint8_t> encode(const std::vector<uint8_t>& input) {
  std::vector<uint8_t> data(kPresetBlanks + input.size(), ' ');
  std::copy(input.begin(), input.end(), data.begin() + kPresetBlanks);
  MatchFinder finder(data);
  for (int at = 0; at < kPresetBlanks; at++) finder.insert(at);
  Parser parser(data, finder);
  SymbolCoder coder;
  Costs before, after, blended;
  for (int start = kPresetBlanks; start < (int)data.size(); start += kBlockSize) {
    int end = std::min<int>(start + kBlockSize, (int)data.size());
    parser.collect(start, end);
    coder.codeLengths(before);
    std::vector<Step> steps = parser.parse(before, 1);
    // The code lengths drift while the block is coded: parse again with
    // the lengths at its start and those its first parse leads to.
    coder.trial([&] { codeSteps(coder, data, start, steps); }, after);
    for (int s = 0; s < SYMBOL_COUNT; s++) blended[s] = before[s] + after[s];
    codeSteps(coder, data, start, parser.parse(blended, 2));
  }
  return coder.finish(!input.empty());
}

}  // namespace lzhuf
