#!/usr/bin/env python3
"""Draws uninstall.ico: a box with a red cross, 32 bits per pixel, at 32, 48
and 64 pixels, the sizes that 96, 144 and 192 dots per inch ask for.

Each image is stored PNG-compressed, as icon files may hold them since
Windows Vista: the same pixels take a few hundred bytes instead of kilobytes."""
import struct
import sys
import zlib

SIZES = (32, 48, 64)


def pixel(x, y, size):
    # The drawing is made on a 32-pixel grid; a larger image samples it at
    # the centre of each of its own pixels.
    scale = 32.0 / size
    u = (x + 0.5) * scale - 0.5
    v = (y + 0.5) * scale - 0.5
    edge = 0.5 * scale + 0.5  # how near a line a pixel must be to be on it
    inside = 3 - 0.5 <= u <= 28 + 0.5 and 5 - 0.5 <= v <= 28 + 0.5
    border = inside and (min(abs(u - 3), abs(u - 28)) < edge or min(abs(v - 5), abs(v - 28)) < edge)
    lid = 1 - 0.5 <= v <= 4 + 0.5 and 2 - 0.5 <= u <= 29 + 0.5
    on_cross = (inside and 9 - 0.5 <= u <= 22 + 0.5 and 11 - 0.5 <= v <= 24 + 0.5 and
                (abs((u - 9) - (v - 11)) <= 1.5 * scale + 0.25 or abs((u - 9) - (24 - v)) <= 1.5 * scale + 0.25))
    if on_cross:
        return (210, 40, 40, 255)    # red, as RGBA
    if border or lid:
        return (30, 70, 120, 255)    # dark blue
    if inside:
        return (160, 200, 235, 255)  # light blue
    return (0, 0, 0, 0)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(size):
    # Top-down rows, each after filter byte 0; 8 bits per channel, RGBA.
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y, size)) for x in range(size)) for y in range(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def main(path):
    images = [png(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "uninstall.ico")
