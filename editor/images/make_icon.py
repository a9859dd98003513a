#!/usr/bin/env python3
"""Draws the program's icon, a document page with text lines and a green check mark, as a 128 x 128 PNG
with an alpha channel (run once; the PNG is kept)."""
import math
import struct
import zlib

SIZE = 128
SUB = 4  # samples per pixel and axis


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def page_colour(x, y):
    """Colour of the page at a point, None outside it. The page has a folded top-right corner."""
    left, top, right, bottom, fold = 22, 8, 100, 120, 24
    if not (left <= x <= right and top <= y <= bottom):
        return None
    if x - (right - fold) > y - top:  # cut corner
        return None
    edge = 3
    on_edge = x < left + edge or x > right - edge or y > bottom - edge or y < top + edge
    on_fold_edge = abs((x - (right - fold)) - (y - top)) < edge * 1.4
    in_fold = x >= right - fold and y <= top + fold and x - (right - fold) <= y - top
    if on_edge or on_fold_edge:
        return (70, 80, 95, 255)
    if in_fold:
        return (200, 208, 220, 255)
    for line_top, line_right in ((40, 82), (54, 82), (68, 66)):
        if line_top <= y <= line_top + 5 and 34 <= x <= line_right:
            return (60, 110, 190, 255)
    return (250, 250, 250, 255)


def check_colour(x, y):
    d = min(segment_distance(x, y, 52, 92, 70, 110), segment_distance(x, y, 70, 110, 114, 62))
    if d <= 8:
        return (0, 150, 0, 255)
    if d <= 11:
        return (0, 90, 0, 255)
    return None


def pixel(px, py):
    total = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SUB):
        for sx in range(SUB):
            x, y = px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB
            colour = check_colour(x, y) or page_colour(x, y) or (0, 0, 0, 0)
            a = colour[3] / 255.0
            for i in range(3):
                total[i] += colour[i] * a
            total[3] += a
    alpha = total[3] / (SUB * SUB)
    if alpha == 0:
        return (0, 0, 0, 0)
    return tuple(round(total[i] / total[3]) for i in range(3)) + (round(alpha * 255),)


def png(width, height, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    image = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    with open("documentation-config.png", "wb") as f:
        f.write(png(SIZE, SIZE, image))
