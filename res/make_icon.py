#!/usr/bin/env python3
"""Writes wcode.ico: a 32 x 32, 16-colour picture of a calendar page.

The icon is committed; run this only to change the picture.
"""
import struct
import sys

# The standard Windows 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARKGREY, GREY, RED, BLUE, WHITE = 0, 8, 7, 9, 12, 15

def picture():
    """A page with a red binding strip, blue weekday dots, grey day marks,
    and today ringed in red."""
    grid = [["."] * 32 for _ in range(32)]

    def fill(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                grid[y][x] = c

    fill(5, 30, 28, 30, "g")            # shadow
    fill(28, 6, 28, 30, "g")
    fill(3, 3, 27, 29, "#")             # outline
    fill(4, 4, 26, 8, "R")              # binding strip
    fill(4, 9, 26, 28, "W")             # page
    for x in (7, 22):                   # rings
        fill(x, 2, x + 1, 5, "o")
    first, days = 3, 30
    for i in range(7):                  # weekday dots
        grid[11][5 + 3 * i] = "b"
    for d in range(days):
        col, row = (first + d) % 7, (first + d) // 7
        x, y = 5 + 3 * col, 14 + 3 * row
        fill(x, y, x, y + 1, "k")
        if d == 12:                     # today
            fill(x - 1, y - 1, x + 1, y + 2, "R")
            fill(x, y, x, y + 1, "k")
    return ["".join(r) for r in grid]


COLOURS = {"#": BLACK, "R": RED, "o": GREY, "W": WHITE, "b": BLUE, "k": DARKGREY, "g": GREY}


def main(path):
    rows = picture()
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as in every DIB
        for x in range(0, 32, 2):
            hi = COLOURS.get(row[x], 0)
            lo = COLOURS.get(row[x + 1], 0)
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(32):
            bits = bits << 1 | (row[x] == ".")
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "wcode.ico")
