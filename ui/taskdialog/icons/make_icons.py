#!/usr/bin/env python3
"""Draws the task dialog's icons and writes them as .ico files.

Usage: make_icons.py OUTPUT_DIR

Each icon is drawn from simple shapes (triangles, circles, polygons) with
4 x 4 supersampling, at every size its resource is loaded at, and stored as
32-bit images with an alpha channel and the matching AND mask. Only the
standard library is used, so the build needs nothing but Python.
"""
import math
import os
import struct
import sys

SAMPLES = 4


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    return lambda x, y: inside_polygon(x, y, points)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def render(size, layers):
    """layers: (shape in unit coordinates 0..1, colour function or (r, g, b)), bottom first."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for shape, paint in layers:
                        if shape(x, y):
                            colour = paint(x, y) if callable(paint) else paint
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            n = SAMPLES * SAMPLES
            if a:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def shade(top, bottom):
    """A vertical gradient between two colours."""
    def paint(_x, y):
        t = min(max(y, 0.0), 1.0)
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return paint


def warning():
    outer = polygon([(0.5, 0.03), (0.98, 0.93), (0.02, 0.93)])
    inner = polygon([(0.5, 0.12), (0.89, 0.87), (0.11, 0.87)])
    mark = union(polygon([(0.45, 0.33), (0.55, 0.33), (0.53, 0.64), (0.47, 0.64)]),
                 circle(0.5, 0.75, 0.055))
    return [(outer, (150, 100, 0)), (inner, shade((255, 225, 90), (240, 170, 20))),
            (mark, (20, 20, 20))]


def error():
    cross = union(polygon([(0.30, 0.36), (0.36, 0.30), (0.70, 0.64), (0.64, 0.70)]),
                  polygon([(0.64, 0.30), (0.70, 0.36), (0.36, 0.70), (0.30, 0.64)]))
    return [(circle(0.5, 0.5, 0.47), (140, 20, 20)),
            (circle(0.5, 0.5, 0.42), shade((240, 90, 80), (190, 20, 20))),
            (cross, (255, 255, 255))]


def information():
    letter = union(circle(0.5, 0.29, 0.07), rect(0.44, 0.42, 0.56, 0.76),
                   rect(0.38, 0.42, 0.56, 0.48), rect(0.38, 0.72, 0.62, 0.78))
    return [(circle(0.5, 0.5, 0.47), (20, 60, 150)),
            (circle(0.5, 0.5, 0.42), shade((100, 160, 240), (30, 90, 200))),
            (letter, (255, 255, 255))]


def shield():
    outline = [(0.5, 0.03), (0.92, 0.16), (0.88, 0.55), (0.5, 0.97), (0.12, 0.55), (0.08, 0.16)]
    inner = [(0.5, 0.09), (0.85, 0.20), (0.82, 0.53), (0.5, 0.90), (0.18, 0.53), (0.15, 0.20)]
    blue = (40, 90, 200)
    yellow = (250, 200, 40)

    def quarters(x, y):
        return blue if (x < 0.5) == (y < 0.5) else yellow
    return [(polygon(outline), (60, 60, 70)), (polygon(inner), quarters)]


def arrow(body, edge):
    shape = polygon([(0.10, 0.40), (0.52, 0.40), (0.52, 0.18), (0.92, 0.5), (0.52, 0.82),
                     (0.52, 0.60), (0.10, 0.60)])
    inner = polygon([(0.16, 0.45), (0.57, 0.45), (0.57, 0.29), (0.84, 0.5), (0.57, 0.71),
                     (0.57, 0.55), (0.16, 0.55)])
    return [(shape, edge), (inner, body)]


# The dialog draws its small icons at 16 pixels and its large ones at 32 at
# 96 DPI, and at 20 and 40 at 120 DPI, 24 and 48 at 144: each is stored at
# every one of these sizes, so that none is stretched.
SMALL = (16, 20, 24)
LARGE = (32, 40, 48)

ICONS = {
    "warning": (warning, SMALL + LARGE),
    "arrow": (lambda: arrow((60, 170, 60), (20, 110, 30)), SMALL),
    "arrow_hot": (lambda: arrow((90, 220, 90), (30, 150, 40)), SMALL),
    "error": (error, SMALL + LARGE),
    "information": (information, SMALL + LARGE),
    "shield": (shield, SMALL + LARGE),
}


def dib(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_r, _g, _b, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + mask


def write_ico(path, images):
    entries = bytearray()
    data = bytearray()
    offset = 6 + 16 * len(images)
    for pixels in images:
        size = len(pixels)
        blob = dib(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob),
                               offset + len(data))
        data += blob
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)) + entries + data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, (draw, sizes) in ICONS.items():
        write_ico(os.path.join(sys.argv[1], f"td_{name}.ico"),
                  [render(size, draw()) for size in sizes])


if __name__ == "__main__":
    main()
