#!/usr/bin/env python3
"""Draws the installer's icon: a 32 x 32, 16-colour picture of a monitor
whose screen shows a night sky with a moon. Writes resources/vrnsetup.ico."""
import struct
import sys

PALETTE = [  # the standard 16 colours, as (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 4, 7, 8, 11, 12, 15


def draw():
    px = [[None] * 32 for _ in range(32)]  # None: transparent
    for y in range(2, 24):  # the monitor's case
        for x in range(1, 31):
            px[y][x] = SILVER
    for x in range(1, 31):
        px[2][x] = WHITE
        px[23][x] = GREY
    for y in range(4, 21):  # the screen: a sky that darkens downwards
        for x in range(4, 28):
            px[y][x] = BLUE if y < 9 else NAVY
    for y in range(6, 14):  # a crescent moon
        for x in range(17, 25):
            inside = (x - 21) ** 2 + (y - 10) ** 2 <= 12
            bite = (x - 23) ** 2 + (y - 9) ** 2 <= 8
            if inside and not bite:
                px[y][x] = YELLOW
    for x, y in ((7, 6), (11, 12), (8, 16), (14, 8), (25, 17), (19, 18)):
        px[y][x] = WHITE  # stars
    for y in range(24, 27):  # the stand and its foot
        for x in range(13, 19):
            px[y][x] = GREY
    for y in range(27, 30):
        for x in range(8, 24):
            px[y][x] = SILVER if y < 29 else GREY
    return px


def ico(px):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bitmaps are stored bottom-up
        for x in range(0, 32, 2):
            hi, lo = (c if c is not None else 0 for c in row[x:x + 2])
            xor.append(hi << 4 | lo)
        bits = 0
        for x, c in enumerate(row):
            if c is None:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22) + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/vrnsetup.ico"
    with open(out, "wb") as f:
        f.write(ico(draw()))
