#!/usr/bin/env python3
"""Writes the 48 x 15 tool bar strip of the icon menu tests: 16 colours (toolbar16.bmp)
or, with --true-colour, the same picture in 24 bits (strip24.bmp).

Three 16 x 15 images on light grey (which becomes the button face, so transparent):
image 0 red, image 1 green, image 2 blue, each a 10 x 9 block at (3, 3) with a dark
grey column right of it (which becomes the button shadow) and a white pixel at the
block's top-left corner (which becomes the button highlight).
"""
import struct
import sys

W, H, CELL = 48, 15, 16
# The classic 16-colour table, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
SILVER, GREY, RED, LIME, BLUE, WHITE = 7, 8, 9, 10, 12, 15
BLOCKS = [RED, LIME, BLUE]


def pixel(x, y):
    image, cx = divmod(x, CELL)
    if cx == 3 and y == 3:
        return WHITE
    if 3 <= cx < 13 and 3 <= y < 12:
        return BLOCKS[image]
    if cx == 13 and 4 <= y < 13:
        return GREY
    return SILVER


def main(path, true_colour):
    bits = 24 if true_colour else 4
    stride = ((W * bits + 31) // 32) * 4
    rows = bytearray()
    for y in reversed(range(H)):  # bottom-up rows
        row = bytearray(stride)
        for x in range(W):
            value = pixel(x, y)
            if true_colour:
                r, g, b = PALETTE[value]
                row[3 * x:3 * x + 3] = bytes((b, g, r))
            else:
                row[x // 2] |= value << (4 if x % 2 == 0 else 0)
        rows += row
    table = b"" if true_colour else b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    colours = 0 if true_colour else 16
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, bits, 0, len(rows), 2835, 2835, colours, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + table + rows)


if __name__ == "__main__":
    args = [a for a in sys.argv[1:] if a != "--true-colour"]
    main(args[0] if args else "toolbar16.bmp", "--true-colour" in sys.argv)
