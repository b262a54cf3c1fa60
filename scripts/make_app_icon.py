#!/usr/bin/env python3
"""Draws the program's own icon (menu entry, window list) into packaging/icons/.

    python3 scripts/make_app_icon.py [OUTPUT_FOLDER]

One design on the 48 x 48 grid of scripts/make_workspace_images.py: a portal frame on its
footings, pushed sideways by a load, over a ground-motion wave. It is written as PNG files of
the usual icon-theme sizes and as an SVG of the same polygons, so the files can be made again
byte for byte. Only the standard library is used.
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_workspace_images import Canvas, DESIGN, INK, PAPER, RED  # noqa: E402

SIZES = (16, 32, 48, 64, 128, 256)
TILE = (31, 78, 150, 255)
TILE_EDGE = (18, 48, 100, 255)
WAVE = (255, 196, 60, 255)


def draw_icon(c):
    tile = rounded_rect(3, 3, 45, 45, 7)
    c.polygon(tile, TILE)
    c.outline(tile, 1.5, TILE_EDGE)
    # The ground and the frame standing on it.
    c.rect(8, 32, 40, 34.5, PAPER)
    c.rect(13, 14, 17, 32, PAPER)
    c.rect(31, 14, 35, 32, PAPER)
    c.rect(11, 11, 37, 15.5, PAPER)
    # The load on the beam.
    c.arrow(4, 13.2, 12.5, 13.2, 3.0, 5.5, RED)
    # The ground motion that shakes it: one band, so that it has no seams between segments.
    xs = [8 + i * 0.5 for i in range(65)]
    wave = [39.5 + 2.4 * math.sin((x - 8) * 2 * math.pi / 8) for x in xs]
    c.polygon([(x, y - 0.9) for x, y in zip(xs, wave)] + [(x, y + 0.9) for x, y in reversed(list(zip(xs, wave)))], WAVE)
    # The loading record the program writes, as lines on a sheet inside the frame.
    c.rect(20, 18, 28, 29, PAPER)
    for y in (21, 23.5, 26):
        c.line(21.5, y, 26.5, y, 1.2, INK)

def rounded_rect(x0, y0, x1, y1, r, steps=6):
    corners = [(x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)]
    points = []
    for cx, cy, start in corners:
        for i in range(steps + 1):
            a = math.radians(start + 90 * i / steps)
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


class SvgCanvas(Canvas):
    """Takes the same drawing calls as Canvas and keeps each polygon as an SVG element."""

    def __init__(self):
        self.sx = self.sy = 1.0
        self.elements = []

    def polygon(self, points, color):
        r, g, b, a = color
        coords = " ".join(f"{x:.2f},{y:.2f}" for x, y in points)
        opacity = "" if a == 255 else f' fill-opacity="{a / 255:.3f}"'
        self.elements.append(f'<polygon points="{coords}" fill="#{r:02x}{g:02x}{b:02x}"{opacity}/>')

    def text(self):
        size = int(DESIGN)
        return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
                f'viewBox="0 0 {size} {size}">\n' + "\n".join(self.elements) + "\n</svg>\n")


def png_bytes(rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "packaging", "icons")
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        canvas = Canvas(size, size)
        draw_icon(canvas)
        with open(os.path.join(out, f"brantel-{size}.png"), "wb") as f:
            f.write(png_bytes(canvas.rgba()))
    svg = SvgCanvas()
    draw_icon(svg)
    with open(os.path.join(out, "brantel.svg"), "w") as f:
        f.write(svg.text())


if __name__ == "__main__":
    main()
