#include "decoder/bit_register.h"

BitRegister loadBitRegister() {
  BitRegister in;
  in.bits = (uint64_t)model.bitBuffer << (REGISTER_BITS - BIT_BUFFER_BITS);
  in.count = model.bitCount;
  in.next = packedReader.buffer + packedReader.readPos;
  in.blockEnd = in.next + (packedReader.available > 0 ? packedReader.available : 0);
  // Buffered bytes beyond the stream (left by an earlier one) are never taken.
  in.end = (DWORD)(in.blockEnd - in.next) > model.bytesLeft ? in.next + model.bytesLeft : in.blockEnd;
  in.bytesAfterEnd = model.bytesLeft - (DWORD)(in.end - in.next);
  in.zeroBytes = 0;
  in.source = model.byteSource;
  return in;
}

static void readBlock(BitRegister& in) {
  refillPackedReader(in.source, in.bytesAfterEnd);
  in.next = packedReader.buffer;
  in.end = in.blockEnd = in.next + packedReader.available;
  in.bytesAfterEnd -= (DWORD)packedReader.available;
}

// The 16-bit buffer takes a byte before every read that finds 8 bits or
// fewer, so a read that finds the register this low is one where it takes
// bytes too: when the block is used up, it reads the next one here.
BitRegister refillBitRegister(BitRegister in, unsigned need) {
  while (in.count < need) {
    if (in.next < in.end) {
      topUp(in);
    } else if (in.bytesAfterEnd > 0) {
      readBlock(in);
    } else {
      while (in.count <= REGISTER_BITS - BYTE_BITS) {
        in.count += BYTE_BITS;
        in.zeroBytes++;
      }
    }
  }
  return in;
}

// The symbol's last read was of one bit; with fewer than 8 bits left after
// it, the 16-bit buffer had 8 or fewer at that read and took a byte.
BitRegister readBlockIfDue(BitRegister in) {
  if (in.next == in.end && in.bytesAfterEnd > 0) {
    readBlock(in);
    topUp(in);
  }
  return in;
}

// The 16-bit buffer holds 8 to 15 bits after a one-bit read, as many modulo
// 8 as the register: whole bytes beyond those go back to where they came
// from (zeros first, as they were taken last).
void storeBitRegister(BitRegister in) {
  if (in.count < FILL_BELOW) in = refillBitRegister(in, FILL_BELOW);
  unsigned held = FILL_BELOW + in.count % BYTE_BITS;
  DWORD extra = (in.count - held) / BYTE_BITS;
  DWORD zeros = extra < in.zeroBytes ? extra : in.zeroBytes;
  extra -= zeros;
  in.next -= extra;
  model.bitBuffer = (WORD)(in.bits >> (REGISTER_BITS - BIT_BUFFER_BITS) & (0xFFFFu << (BIT_BUFFER_BITS - held)));
  model.bitCount = (BYTE)held;
  model.bytesLeft = in.bytesAfterEnd + (DWORD)(in.end - in.next);
  packedReader.readPos = (short)(in.next - packedReader.buffer);
  packedReader.available = (short)(in.blockEnd - in.next);
}
