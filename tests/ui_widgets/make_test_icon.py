#!/usr/bin/env python3
"""Writes the 32 x 32, 24-bit test icon used by the icon button tests (test_icon.ico).

Left 4 x 4 corner transparent, columns 4..7 opaque black, the rest red in the upper
half and green in the lower half: colours the tests look for on the button face.
"""
import struct
import sys

W = H = 32
RED = (200, 40, 60)
GREEN = (10, 180, 90)


def pixel(x, y):
    if x < 4 and y < 4:
        return (0, 0, 0), 1
    if x < 8:
        return (0, 0, 0), 0
    return (RED if y < H // 2 else GREEN), 0


def main(path):
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(H)):  # DIB rows are bottom-up
        bits = 0
        for x in range(W):
            (r, g, b), m = pixel(x, y)
            xor += bytes((b, g, r))
            bits = (bits << 1) | m
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "test_icon.ico")
