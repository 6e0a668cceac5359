// The decoder against a plain transcription of its model and loop, kept
// here only: the same output, the same reads, writes and pumps in the same
// order, and the same state left behind, over encoded, cut-off, damaged and
// random streams, through the tree's rebuilds and aborts.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "decoder/extract.h"
#include "decoder/huffman.h"
#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"
#include "platform/host/machine.h"
#include "platform/host/ui.h"
#include "shell/state.h"
#include "tests/support.h"
#include "tools/common/lzhuf_encoder.h"

namespace {

// ---- The transcription: one step of the description per line. ----
namespace plain {

const int kNodes = 567, kSymbols = 284, kRoot = 566;

struct Event {
  char kind;  // 'r' block read, 'w' chunk write, 'p' pump (bytes: output so far)
  size_t bytes;
  bool operator==(const Event& e) const { return kind == e.kind && bytes == e.bytes; }
};

struct Decoder {
  // The model.
  uint16_t frequency[kNodes + 1], child[kNodes], parent[kNodes + kSymbols];
  uint16_t bitBuffer;
  uint8_t bitCount;
  uint32_t bytesLeft;
  // The reader, the writer and the window.
  uint8_t input[16384];
  int16_t available, readPos;
  uint8_t output[16384];
  int16_t pending, chunkSize;
  bool chunkSizeSet;
  uint32_t written;
  uint8_t window[4096];
  unsigned windowPos = 0;
  // The file and what happened.
  std::vector<uint8_t> file;
  size_t filePos;
  std::vector<uint8_t> target;
  std::vector<Event> events;
  int pumps = 0, abortAtPump = 0;
  bool aborted = false;

  uint8_t readPackedByte() {
    if (available < 1) {
      uint32_t n = bytesLeft < 16384 ? bytesLeft : 16384;
      for (uint32_t i = 0; i < n; i++, filePos++) input[i] = filePos < file.size() ? file[filePos] : 0;
      events.push_back({'r', n});
      available = (int16_t)n;
      readPos = 0;
    }
    available--;
    return input[readPos++];
  }
  void fill() {
    while (bitCount <= 8) {
      uint8_t byte = 0;
      if (bytesLeft > 0) {
        byte = readPackedByte();
        bytesLeft--;
      }
      bitBuffer = (uint16_t)(bitBuffer | byte << (8 - bitCount));
      bitCount += 8;
    }
  }
  int readBit() {
    fill();
    int bit = bitBuffer >> 15;
    bitBuffer = (uint16_t)(bitBuffer << 1);
    bitCount--;
    return bit;
  }
  int read8Bits() {
    fill();
    int byte = bitBuffer >> 8;
    bitBuffer = (uint16_t)(bitBuffer << 8);
    bitCount -= 8;
    return byte;
  }
  void initTree() {
    for (int s = 0; s < kSymbols; s++) {
      frequency[s] = 1;
      child[s] = (uint16_t)(kNodes + s);
      parent[kNodes + s] = (uint16_t)s;
    }
    for (int k = 0; k <= 282; k++) {
      int j = kSymbols + k;
      frequency[j] = (uint16_t)(frequency[2 * k] + frequency[2 * k + 1]);
      child[j] = (uint16_t)(2 * k);
      parent[2 * k] = parent[2 * k + 1] = (uint16_t)j;
    }
    frequency[kNodes] = 0xFFFF;
    parent[kRoot] = 0;
  }
  void rebuildTree() {
    int j = 0;
    for (int i = 0; i < kNodes; i++) {
      if (child[i] >= kNodes) {
        child[j] = child[i];
        frequency[j] = (uint16_t)((frequency[i] + 1) / 2);
        j++;
      }
    }
    for (int i = 0, j = kSymbols; j < kNodes; i += 2, j++) {
      unsigned f = frequency[i] + frequency[i + 1];
      int k = j - 1;
      while (f < frequency[k]) k--;
      k++;
      for (int x = j; x > k; x--) {
        frequency[x] = frequency[x - 1];
        child[x] = child[x - 1];
      }
      frequency[k] = (uint16_t)f;
      child[k] = (uint16_t)i;
    }
    for (int i = 0; i < kNodes; i++) {
      unsigned v = child[i];
      parent[v] = (uint16_t)i;
      if (v < (unsigned)kNodes) parent[v + 1] = (uint16_t)i;
    }
  }
  void updateModel(int symbol) {
    if (frequency[kRoot] == 0x8000) rebuildTree();
    unsigned n = parent[kNodes + symbol];
    do {
      unsigned c = ++frequency[n];
      if (c > frequency[n + 1]) {
        unsigned m = n + 1;
        while (frequency[m + 1] < c) m++;
        frequency[n] = frequency[m];
        frequency[m] = (uint16_t)c;
        unsigned a = child[n], b = child[m];
        child[m] = (uint16_t)a;
        child[n] = (uint16_t)b;
        parent[a] = (uint16_t)m;
        if (a < (unsigned)kNodes) parent[a + 1] = (uint16_t)m;
        parent[b] = (uint16_t)n;
        if (b < (unsigned)kNodes) parent[b + 1] = (uint16_t)n;
        n = m;
      }
      n = parent[n];
    } while (n != 0);
  }
  int decodeSymbol() {
    unsigned v = child[kRoot];
    while (v < (unsigned)kNodes) v = child[v + readBit()];
    updateModel((int)(v - kNodes));
    return (int)(v - kNodes);
  }
  int decodePosition() {
    int b = read8Bits();
    int high = positionHigh[b], extra = positionBits[b] - 2;
    int v = b;
    for (int i = 0; i < extra; i++) v = 2 * v + readBit();
    return high * 64 + v % 64;
  }
  // Bytes past the expanded size are dropped, as the installer does.
  void writeOutputByte(uint8_t byte, uint32_t expandedSize) {
    if (written >= expandedSize) return;
    output[pending++] = byte;
    if (!chunkSizeSet) {
      uint32_t rest = expandedSize - written;
      chunkSize = (int16_t)(rest < 16384 ? rest : 16384);
      chunkSizeSet = true;
    }
    if (pending >= chunkSize) {
      target.insert(target.end(), output, output + pending);
      events.push_back({'w', (size_t)pending});
      written += pending;
      pending = 0;
      chunkSizeSet = false;
    }
  }
  bool pump() {
    events.push_back({'p', written + pending});
    if (++pumps == abortAtPump) aborted = true;
    return aborted;
  }
  // extractStream with a file of `stream` behind `before` bytes of filler.
  int32_t extract(const std::vector<uint8_t>& stream, uint32_t expandedSize, uint32_t storedSize) {
    memset(input, 0, sizeof input);
    available = readPos = 0;
    memset(output, 0, sizeof output);
    pending = chunkSize = 0;
    chunkSizeSet = false;
    written = 0;
    file = stream;
    filePos = 0;
    target.clear();
    bitBuffer = 0;
    bitCount = 0;
    bytesLeft = storedSize;
    if (expandedSize == 0) return 0;
    initTree();
    memset(window, 0x20, 4066);
    windowPos = 4066;
    int32_t produced = 0, checkpoint = 0;
    do {
      int s = decodeSymbol();
      if (s < 256) {
        writeOutputByte((uint8_t)s, expandedSize);
        window[windowPos] = (uint8_t)s;
        windowPos = (windowPos + 1) % 4096;
        produced++;
      } else {
        int p = decodePosition();
        unsigned from = (windowPos - p - 1) % 4096;
        for (int i = 0; i < s - 253; i++) {
          uint8_t b = window[from];
          writeOutputByte(b, expandedSize);
          window[windowPos] = b;
          from = (from + 1) % 4096;
          windowPos = (windowPos + 1) % 4096;
        }
        produced += s - 253;
      }
      if (produced > checkpoint) {
        if (pump()) break;
        checkpoint += 102400;
      }
    } while (produced < (int32_t)expandedSize);
    return produced;
  }
};

}  // namespace plain

const char kInstaller[] = "C:\\DOWNLOAD\\SETUP.EXE";
const char kTarget[] = "C:\\OUT.BIN";
const DWORD kFiller = 37;  // bytes of the installer in front of the stream

class Differential : public ::testing::Test {
 protected:
  void SetUp() override {
    test::freshMachine();
    test::freshProcessState();
  }
  void TearDown() override { test::freshProcessState(); }

  // One stream through extractStream and through the transcription; the
  // file holds `fileBytes` of the stream (fewer when it is cut off).
  void compare(const std::string& name, const std::vector<uint8_t>& stream, uint32_t expandedSize, uint32_t storedSize,
               int abortAtPump = 0) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> installer(kFiller + stream.size(), 0xCC);
    std::copy(stream.begin(), stream.end(), installer.begin() + kFiller);
    test::placeInstaller(installer, kInstaller);
    machine::fileOperations().clear();
    int pumps = 0;
    abortRequested = 0;
    ui::setPumpHook([&](unsigned long) {
      machine::fileOperations().push_back({"", 'p', outputWriter.written + (size_t)outputWriter.pending});
      if (++pumps == abortAtPump) abortRequested = 1;
    });
    ASSERT_EQ(extractStream(kFiller, expandedSize, storedSize, kTarget), 1);
    ui::setPumpHook(nullptr);

    reference.abortAtPump = abortAtPump;
    reference.pumps = 0;
    reference.aborted = false;
    reference.extract(stream, expandedSize, storedSize);

    std::vector<plain::Event> events;
    for (const machine::FileOperation& op : machine::fileOperations()) events.push_back({op.kind, op.bytes});
    ASSERT_EQ(events.size(), reference.events.size());
    for (size_t i = 0; i < events.size(); i++) {
      ASSERT_EQ(events[i], reference.events[i]) << "event " << i << ": " << events[i].kind << events[i].bytes
                                                << " against " << reference.events[i].kind << reference.events[i].bytes;
    }
    reference.events.clear();
    ASSERT_EQ(test::machineFile(kTarget), reference.target);
    expectSameState();
  }

  void expectSameState() {
    EXPECT_EQ(model.bitBuffer, reference.bitBuffer);
    EXPECT_EQ(model.bitCount, reference.bitCount);
    EXPECT_EQ(model.bytesLeft, reference.bytesLeft);
    EXPECT_EQ(packedReader.available, reference.available);
    EXPECT_EQ(packedReader.readPos, reference.readPos);
    EXPECT_EQ(outputWriter.pending, reference.pending);
    EXPECT_EQ(0, memcmp(outputWriter.buffer, reference.output, sizeof reference.output));
    EXPECT_EQ(0, memcmp(model.frequency, reference.frequency, sizeof reference.frequency));
    EXPECT_EQ(0, memcmp(model.child, reference.child, sizeof reference.child));
    EXPECT_EQ(0, memcmp(model.parent, reference.parent, sizeof reference.parent));
  }

  plain::Decoder reference;
};

std::vector<uint8_t> randomBytes(size_t size, unsigned seed, int range = 256) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = (uint8_t)(random() % range);
  return bytes;
}

// Text-like: words from a small vocabulary, so that there are matches of
// every length and distance.
std::vector<uint8_t> words(size_t size, unsigned seed) {
  static const char* vocabulary[] = {"the ",     "window ", "saver ", "of ", "and ",
                                     "LICENSE ", "\n",      "copy ",  "to ", "a "};
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes;
  while (bytes.size() < size) {
    const char* word = vocabulary[random() % 10];
    bytes.insert(bytes.end(), word, word + strlen(word));
    if (random() % 9 == 0) bytes.push_back((uint8_t)random());
  }
  bytes.resize(size);
  return bytes;
}

TEST_F(Differential, EncodedStreams) {
  struct Case {
    const char* name;
    std::vector<uint8_t> input;
  } cases[] = {
      {"one byte", {0x41}},
      {"words", words(30000, 1)},
      {"words past two rebuilds", words(300000, 2)},
      {"random past the rebuild", randomBytes(45000, 3)},
      {"few values", randomBytes(70000, 4, 3)},
      {"one chunk", randomBytes(16384, 5)},
      {"a chunk and a byte", words(16385, 6)},
      {"one value", std::vector<uint8_t>(50000, 0x7F)},
      {"pattern", test::patternBytes(60000)},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> stream = lzhuf::encode(c.input);
    compare(c.name, stream, (uint32_t)c.input.size(), (uint32_t)stream.size());
  }
}

// Stored sizes short of the stream, beyond the file, and random bits, which
// decode to anything (matches into the unwritten window, output past the
// expanded size).
TEST_F(Differential, CutOffDamagedAndRandomStreams) {
  std::vector<uint8_t> stream = lzhuf::encode(words(100000, 7));
  compare("cut in half", stream, 100000, (uint32_t)stream.size() / 2);
  compare("stored size beyond the file", std::vector<uint8_t>(stream.begin(), stream.begin() + 20000), 100000,
          (uint32_t)stream.size());
  std::mt19937 random(8);
  for (int i = 0; i < 40; i++) {
    std::vector<uint8_t> bits = randomBytes(random() % 40000, 100 + i, i % 2 ? 256 : 4);
    uint32_t expandedSize = 1 + random() % 120000;
    compare("random " + std::to_string(i), bits, expandedSize, (uint32_t)bits.size());
  }
  compare("no stored bytes", {}, 5000, 0);
}

// The window carries over between streams: a damaged stream can read the
// positions that its start does not preset.
TEST_F(Differential, TheWindowCarriesOverBetweenStreams) {
  std::vector<uint8_t> first = lzhuf::encode(randomBytes(9000, 9));
  compare("first", first, 9000, (uint32_t)first.size());
  for (int i = 0; i < 10; i++) {
    std::vector<uint8_t> bits = randomBytes(3000, 200 + i);
    compare("next " + std::to_string(i), bits, 20000, (uint32_t)bits.size());
  }
}

TEST_F(Differential, AbortsAtEachPump) {
  std::vector<uint8_t> input = words(330000, 10);
  std::vector<uint8_t> stream = lzhuf::encode(input);
  for (int pump = 1; pump <= 4; pump++) {
    compare("abort at pump " + std::to_string(pump), stream, (uint32_t)input.size(), (uint32_t)stream.size(), pump);
  }
}

// The top table and its marks against the tree: each bit pattern walked
// one level at a time, and each node marked exactly when it lies within
// the table's levels.
static void expectTopTableFollowsTree(int symbolIndex) {
  if (topStale) buildTopTable();
  unsigned depth[NODE_COUNT] = {};
  for (unsigned u = ROOT_NODE; u-- > 0;) depth[u] = depth[model.parent[u]] + 1;
  for (unsigned bits = 0; bits < TOP_ENTRIES; bits++) {
    unsigned held = model.child[ROOT_NODE], used = 0;
    while (used < TOP_LEVELS && held < NODE_COUNT) {
      unsigned node = held + (bits >> (TOP_LEVELS - 1 - used) & 1);
      if (used == TOP_LEVELS - 1) {
        ASSERT_EQ(topEntry[node], bits) << symbolIndex;
      }
      held = model.child[node];
      used++;
    }
    ASSERT_EQ(topTable[bits], held | used << TOP_USED_SHIFT) << symbolIndex << " bits " << bits;
  }
  for (unsigned u = 0; u < ROOT_NODE; u++) {
    BYTE expected = depth[u] < TOP_LEVELS ? TOP_ABOVE : depth[u] == TOP_LEVELS ? TOP_BOTTOM : 0;
    ASSERT_EQ(topMark[u], expected) << symbolIndex << " node " << u << " depth " << depth[u];
  }
}

// The model's own update against the transcription's, symbol by symbol,
// and the two-level step table and the top table against the tree they
// stand for.
TEST(DifferentialModel, UpdatesMatchThroughRebuilds) {
  struct Case {
    unsigned seed;
    int range;  // symbols drawn from 0..range-1, skewed when small
    int count;
  } cases[] = {{1, SYMBOL_COUNT, 70000}, {2, 20, 70000}, {3, 2, 40000}, {4, SYMBOL_COUNT, 5000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    plain::Decoder reference;
    reference.initTree();
    initTree();
    std::mt19937 random(c.seed);
    for (int i = 0; i < c.count; i++) {
      int symbol = (int)(random() % c.range);
      if (c.range < SYMBOL_COUNT && random() % 4 == 0) symbol = (int)(random() % SYMBOL_COUNT);
      reference.updateModel(symbol);
      updateModel(symbol);
      if (i < 3000 || i % 97 == 0 || i == c.count - 1) {
        ASSERT_EQ(0, memcmp(model.frequency, reference.frequency, sizeof reference.frequency)) << i;
        ASSERT_EQ(0, memcmp(model.child, reference.child, sizeof reference.child)) << i;
        ASSERT_EQ(0, memcmp(model.parent, reference.parent, sizeof reference.parent)) << i;
        for (unsigned u = 0; u < NODE_COUNT; u++) {
          unsigned held = model.child[u];
          for (unsigned b = 0; b < 2; b++) {
            WORD expected = (WORD)(held >= NODE_COUNT ? (held | STEP_ONE_BIT) : model.child[held + b]);
            ASSERT_EQ(stepTable[2 * u + b], expected) << i << " node " << u;
          }
        }
        expectTopTableFollowsTree(i);
        if (HasFatalFailure()) return;
      }
    }
  }
}

}  // namespace
