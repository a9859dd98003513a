#!/usr/bin/env python3
"""Draws the two picture buttons of the editor as transparent GIF files (run once; the GIFs are kept)."""
import math
import struct

PALETTE = [(255, 255, 255), (0, 150, 0), (0, 90, 0), (215, 0, 0), (140, 0, 0)]  # 0 = transparent


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def draw(width, height, segments, fill, edge, radius):
    pixels = []
    for y in range(height):
        for x in range(width):
            d = min(segment_distance(x + 0.5, y + 0.5, *s) for s in segments)
            pixels.append(fill if d <= radius - 1.2 else edge if d <= radius else 0)
    return pixels


def lzw(pixels):
    # 8-bit codes written as 9-bit literals with a clear code often enough that the code width never grows.
    clear, end = 256, 257
    codes = []
    for i, p in enumerate(pixels):
        if i % 250 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits, nbits, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 9
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray()
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes([8]) + bytes(blocks) + b"\x00"


def write_gif(path, width, height, pixels):
    palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
    data = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF7, 0, 0)
    data += b"".join(bytes(c) for c in palette)
    data += b"\x21\xF9\x04\x01\x00\x00\x00\x00"  # graphic control: index 0 transparent
    data += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    data += lzw(pixels) + b"\x3B"
    with open(path, "wb") as f:
        f.write(data)


write_gif("CommandOK.gif", 44, 36, draw(44, 36, [(5, 19, 16, 30), (16, 30, 39, 6)], 1, 2, 4.5))
write_gif("CommandCancel.gif", 37, 39, draw(37, 39, [(6, 6, 31, 33), (31, 6, 6, 33)], 3, 4, 4.5))
