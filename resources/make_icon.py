#!/usr/bin/env python3
"""Draws uninstall.ico: 32 x 32, 32 bits per pixel, a box with a red cross.

The image is stored PNG-compressed, as icon files may hold it since Windows
Vista: the same pixels take a few hundred bytes instead of over 4 KB."""
import struct
import sys
import zlib

SIZE = 32


def pixel(x, y):
    inside = 3 <= x <= 28 and 5 <= y <= 28
    border = inside and (x in (3, 28) or y in (5, 28))
    lid = 1 <= y <= 4 and 2 <= x <= 29
    on_cross = inside and 9 <= x <= 22 and 11 <= y <= 24 and (abs((x - 9) - (y - 11)) <= 1 or abs((x - 9) - (24 - y)) <= 1)
    if on_cross:
        return (210, 40, 40, 255)    # red, as RGBA
    if border or lid:
        return (30, 70, 120, 255)    # dark blue
    if inside:
        return (160, 200, 235, 255)  # light blue
    return (0, 0, 0, 0)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png():
    # Top-down rows, each after filter byte 0; 8 bits per channel, RGBA.
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def main(path):
    image = png()
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "uninstall.ico")
