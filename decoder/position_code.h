// The fixed prefix code for the upper six bits of a match position, as two
// tables indexed by the first 8 bits of a position code. Within each group
// the values rise with the byte value; a value with an n-bit prefix takes
// 2^(8 - n) consecutive byte values.
#pragma once

#include "platform/wintypes.h"

#define POSITION_LOW_BITS 6      // sent as they are after the prefix
#define POSITION_TABLE_SIZE 256  // indexed by one byte

struct PositionGroup {
  int firstHigh;   // the group's first upper-six-bits value
  int values;      // how many values the group holds
  int prefixBits;  // their prefix length
};

inline constexpr PositionGroup positionGroups[] = {
    {0, 1, 3}, {1, 3, 4}, {4, 8, 5}, {12, 12, 6}, {24, 24, 7}, {48, 16, 8},
};

struct PositionTables {
  BYTE high[POSITION_TABLE_SIZE];
  BYTE bits[POSITION_TABLE_SIZE];
};

constexpr PositionTables makePositionTables() {
  PositionTables t{};
  int b = 0;
  for (const PositionGroup& g : positionGroups) {
    for (int v = 0; v < g.values; v++) {
      for (int k = 0; k < 1 << (8 - g.prefixBits); k++, b++) {
        t.high[b] = (BYTE)(g.firstHigh + v);
        t.bits[b] = (BYTE)g.prefixBits;
      }
    }
  }
  return t;
}

inline constexpr PositionTables positionTables = makePositionTables();
inline constexpr const BYTE* positionHigh = positionTables.high;  // upper six bits, 0-63
inline constexpr const BYTE* positionBits = positionTables.bits;  // prefix length, 3-8
