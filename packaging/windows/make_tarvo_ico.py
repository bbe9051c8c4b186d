#!/usr/bin/env python3
"""Draws the program's icon (the shapes of packaging/desktop/tarvo.svg: a sheet with three ink
bands over a printer body) at 16, 32 and 48 pixels and writes them as one .ico file with 32-bit
images.  Usage: make_tarvo_ico.py OUT.ico"""
import struct
import sys

# The shapes of the 64-unit drawing, back to front: (kind, x, y, w, h, fill, stroke, radius).
SHAPES = [
    ("rect", 18, 4, 28, 30, (255, 255, 255), (60, 60, 60), 0),
    ("rect", 22, 10, 20, 4, (0, 170, 200), None, 0),
    ("rect", 22, 17, 20, 4, (210, 0, 130), None, 0),
    ("rect", 22, 24, 20, 4, (240, 200, 0), None, 0),
    ("rect", 6, 30, 52, 22, (90, 100, 120), (40, 40, 40), 4),
    ("rect", 14, 46, 36, 12, (200, 205, 215), (40, 40, 40), 0),
    ("circle", 50.5, 37.5, 2.5, 0, (0, 200, 0), None, 0),
]
STROKE = 1.5


def inside_rect(px, py, x, y, w, h, r):
    if not (x <= px <= x + w and y <= py <= y + h):
        return False
    if r <= 0:
        return True
    cx = min(max(px, x + r), x + w - r)
    cy = min(max(py, y + r), y + h - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def colour_at(px, py):
    """The colour of the drawing at a point of the 64-unit plane, or None (transparent)."""
    colour = None
    for kind, a, b, c, d, fill, stroke, r in SHAPES:
        if kind == "circle":
            if (px - a) ** 2 + (py - b) ** 2 <= c * c:
                colour = fill
            continue
        half = STROKE / 2 if stroke else 0
        if inside_rect(px, py, a - half, b - half, c + 2 * half, d + 2 * half, r + half if r else 0):
            inner = inside_rect(px, py, a + half, b + half, c - 2 * half, d - 2 * half,
                                max(r - half, 0) if r else 0)
            colour = fill if inner or not stroke else stroke
    return colour


def image(size, samples=4):
    """Rows bottom-up of BGRA pixels, each averaged over samples x samples points."""
    rows = []
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            total = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    px = (x + (sx + 0.5) / samples) * 64 / size
                    py = (y + (sy + 0.5) / samples) * 64 / size
                    c = colour_at(px, py)
                    if c:
                        total[0] += c[0]
                        total[1] += c[1]
                        total[2] += c[2]
                        total[3] += 255
            n = samples * samples
            alpha = total[3] // n
            covered = max(total[3] // 255, 1)
            row += bytes([total[2] // covered, total[1] // covered, total[0] // covered, alpha])
        rows.append(bytes(row))
    return rows


def entry(size):
    rows = image(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # the alpha channel decides
    return header + b"".join(rows) + mask


def main():
    sizes = [16, 32, 48]
    images = [entry(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
