#!/usr/bin/env python3
"""Draws uninstall.ico: 32 x 32, 32 bits per pixel, a box with a red cross."""
import struct
import sys

SIZE = 32


def pixel(x, y):
    inside = 3 <= x <= 28 and 5 <= y <= 28
    border = inside and (x in (3, 28) or y in (5, 28))
    lid = 1 <= y <= 4 and 2 <= x <= 29
    on_cross = inside and 9 <= x <= 22 and 11 <= y <= 24 and (abs((x - 9) - (y - 11)) <= 1 or abs((x - 9) - (24 - y)) <= 1)
    if on_cross:
        return (40, 40, 210, 255)    # red, as BGRA
    if border or lid:
        return (120, 70, 30, 255)    # dark blue
    if inside:
        return (235, 200, 160, 255)  # light blue
    return (0, 0, 0, 0)


def main(path):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up, as in a bitmap
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    mask_rows = []
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            if pixel(x, y)[3] == 0:
                bits |= 1 << (31 - x)
        mask_rows.append(struct.pack(">I", bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(rows) + b"".join(mask_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "uninstall.ico")
