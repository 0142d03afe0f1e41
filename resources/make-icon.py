#!/usr/bin/env python3
"""Writes the helper command's icon: a 32x32 and a 16x16 image, 16 colours each (a palette of
16, 4 bits per pixel). The images are stored as PNG, which Windows reads in icons since Vista
(the oldest system the programs run on): a fifth of the bytes of a bitmap, in every helper
command.

Usage: make-icon.py OUT.ico
The picture is a dark blue tile with a white prompt arrow and a yellow underscore.
"""
import struct
import sys
import zlib

# The standard 16-colour palette (R, G, B).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
NAVY, WHITE, YELLOW, GREY = 4, 15, 11, 8  # palette indices


def pixel(x, y, n):
    """Colour index of pixel (x, y), y counted from the top, in an n x n image."""
    s = n / 32.0
    if x < 1 * s or y < 1 * s or x >= n - 1 * s or y >= n - 1 * s:
        return GREY
    # The arrow ">": two strokes meeting at the middle.
    cx, cy = x / s, y / s
    d = abs(cy - 15.5)
    if d <= 8 and abs(cx - (7 + (8 - d))) < 2.2:
        return WHITE
    if 17 <= cx <= 27 and 21 <= cy <= 24:
        return YELLOW
    return NAVY


def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def image(n):
    rows = []
    for y in range(n):  # PNG rows run top-down, each after its filter byte (none)
        row = bytearray([0])
        for x in range(0, n, 2):
            row.append((pixel(x, y, n) << 4) | pixel(x + 1, y, n))
        rows.append(bytes(row))
    header = struct.pack(">IIBBBBB", n, n, 4, 3, 0, 0, 0)  # 4 bits, palette colour
    palette = b"".join(struct.pack("BBB", r, g, b) for (r, g, b) in PALETTE)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main():
    sizes = (32, 16)
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
