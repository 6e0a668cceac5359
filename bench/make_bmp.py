#!/usr/bin/env python3
"""Writes a photo-like 24-bit BMP: soft gradients, a few blurred shapes and
sensor-like noise, as a screen saver's picture would be."""
import math
import random
import struct
import sys

width, height = 640, 480
random.seed(7)
blobs = [(random.uniform(0, width), random.uniform(0, height), random.uniform(40, 160),
          [random.uniform(-90, 90) for _ in range(3)]) for _ in range(9)]
row_size = (width * 3 + 3) & ~3
pixels = bytearray()
for y in range(height - 1, -1, -1):  # bottom-up rows
    row = bytearray()
    for x in range(width):
        base = [60 + 120 * y / height, 90 + 80 * math.sin(x / 97.0), 150 - 100 * x / width]
        for bx, by, radius, tint in blobs:
            w = math.exp(-((x - bx) ** 2 + (y - by) ** 2) / (2 * radius * radius))
            for c in range(3):
                base[c] += tint[c] * w
        noise = random.gauss(0, 3)
        for c in (2, 1, 0):  # blue, green, red
            row.append(max(0, min(255, int(base[c] + noise + random.gauss(0, 1.5)))))
    row += b"\0" * (row_size - len(row))
    pixels += row
header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open(sys.argv[1], "wb") as f:
    f.write(header + info + pixels)
