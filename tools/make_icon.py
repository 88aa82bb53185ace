#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws NoviIcon.ico, the program's icon: three words falling onto a floor, on a night-blue
tile. Pure standard library; writes 16, 32 and 48 pixel images as 32-bit BMP entries, or one
size as a PNG for the desktop's icon theme (software centres want 64 pixels at least).

    python3 tools/make_icon.py NoviIcon.ico
    python3 tools/make_icon.py --png 128 OUT.png
"""
import struct
import sys
import zlib


def draw(size):
    s = size / 48.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, color):
        for y in range(max(0, int(y0 * s)), min(size, max(int(y1 * s), int(y0 * s) + 1))):
            for x in range(max(0, int(x0 * s)), min(size, max(int(x1 * s), int(x0 * s) + 1))):
                px[y][x] = color

    radius = 6 * s
    for y in range(size):
        for x in range(size):
            dx = max(radius - x - 0.5, 0, x + 0.5 - (size - radius))
            dy = max(radius - y - 0.5, 0, y + 0.5 - (size - radius))
            if dx * dx + dy * dy <= radius * radius:
                shade = 40 + int(50 * y / size)
                px[y][x] = (20, 24, shade + 60, 255)
    rect(6, 8, 20, 13, (0, 255, 0, 255))      # a word near the top
    rect(24, 17, 42, 22, (255, 255, 0, 255))  # a word further down
    rect(14, 27, 30, 32, (255, 0, 255, 255))  # a word about to land
    rect(4, 38, 44, 42, (192, 192, 192, 255)) # the floor
    return px


def bmp_entry(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(px):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png(size, path):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack(
            '>I', zlib.crc32(kind + data) & 0xffffffff)

    raw = b''.join(b'\0' + bytes(c for pixel in row for c in pixel) for row in draw(size))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(path):
    sizes = [16, 32, 48]
    entries = [bmp_entry(n) for n in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, entries):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    if sys.argv[1:2] == ['--png']:
        png(int(sys.argv[2]), sys.argv[3])
    else:
        main(sys.argv[1] if len(sys.argv) > 1 else 'NoviIcon.ico')
