#!/usr/bin/env python3
"""Draws the program's button images into examples/workspace/uir/.

Every picture is drawn here from simple shapes, so the files can be made again byte for byte:
    python3 scripts/make_workspace_images.py [OUTPUT_FOLDER]
Icons hold 16, 24, 32 and 48 pixel versions (32-bit with alpha); bitmaps are 32-bit with alpha.
Only the standard library is used.
"""

import math
import os
import struct
import sys

SUPERSAMPLE = 4
DESIGN = 48.0  # every picture is designed on a 48 x 48 grid

INK = (40, 48, 60, 255)
PAPER = (255, 255, 255, 255)
RULE = (150, 160, 175, 255)
BLUE = (31, 95, 191, 255)
GREEN = (46, 158, 68, 255)
ORANGE = (224, 123, 0, 255)
RED = (200, 40, 40, 255)


class Canvas:
    """An RGBA picture drawn at SUPERSAMPLE times its size, in design units."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.w, self.h = width * SUPERSAMPLE, height * SUPERSAMPLE
        self.sx, self.sy = self.w / DESIGN, self.h / DESIGN
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * self.w for _ in range(self.h)]

    def _blend(self, x, y, color):
        r, g, b, a = color
        a /= 255.0
        dr, dg, db, da = self.pixels[y][x]
        out_a = a + da * (1 - a)
        if out_a == 0:
            return
        mix = lambda s, d: (s * a + d * da * (1 - a)) / out_a
        self.pixels[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), out_a)

    def polygon(self, points, color):
        pts = [(x * self.sx, y * self.sy) for x, y in points]
        top = max(0, int(math.floor(min(p[1] for p in pts))))
        bottom = min(self.h - 1, int(math.ceil(max(p[1] for p in pts))))
        for y in range(top, bottom + 1):
            cy = y + 0.5
            crossings = []
            for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
                if (y0 <= cy < y1) or (y1 <= cy < y0):
                    crossings.append(x0 + (cy - y0) * (x1 - x0) / (y1 - y0))
            crossings.sort()
            for left, right in zip(crossings[0::2], crossings[1::2]):
                for x in range(max(0, int(math.ceil(left - 0.5))), min(self.w, int(math.ceil(right - 0.5)))):
                    self._blend(x, y, color)

    def rect(self, x0, y0, x1, y1, color):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], color)

    def ellipse(self, cx, cy, rx, ry, color, steps=48):
        self.polygon([(cx + rx * math.cos(2 * math.pi * i / steps),
                       cy + ry * math.sin(2 * math.pi * i / steps)) for i in range(steps)], color)

    def line(self, x0, y0, x1, y1, width, color):
        length = math.hypot(x1 - x0, y1 - y0) or 1.0
        nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)

    def outline(self, points, width, color):
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            self.line(x0, y0, x1, y1, width, color)
            self.ellipse(x0, y0, width / 2, width / 2, color, 12)

    def arrow(self, x0, y0, x1, y1, width, head, color):
        length = math.hypot(x1 - x0, y1 - y0)
        ux, uy = (x1 - x0) / length, (y1 - y0) / length
        bx, by = x1 - ux * head, y1 - uy * head
        self.line(x0, y0, bx, by, width, color)
        self.polygon([(x1, y1), (bx - uy * head * 0.6, by + ux * head * 0.6),
                      (bx + uy * head * 0.6, by - ux * head * 0.6)], color)

    def rgba(self):
        """The picture at its real size, rows top to bottom, each pixel (r, g, b, a) bytes."""
        n = SUPERSAMPLE * SUPERSAMPLE
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                sr = sg = sb = sa = 0.0
                for yy in range(y * SUPERSAMPLE, (y + 1) * SUPERSAMPLE):
                    for r, g, b, a in self.pixels[yy][x * SUPERSAMPLE:(x + 1) * SUPERSAMPLE]:
                        sr, sg, sb, sa = sr + r * a, sg + g * a, sb + b * a, sa + a
                row.append((round(sr / sa), round(sg / sa), round(sb / sa), round(sa / n * 255))
                           if sa else (0, 0, 0, 0))
            rows.append(row)
        return rows


# ---- the pictures -------------------------------------------------------------------------

def sheet(c, left=9, top=4, right=39, bottom=44, fold=9, fill=PAPER):
    """A sheet of paper with its top right corner folded."""
    body = [(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)]
    c.polygon(body, fill)
    c.outline(body, 2.0, INK)
    c.polygon([(right - fold, top), (right - fold, top + fold), (right, top + fold)], (210, 215, 225, 255))
    c.outline([(right - fold, top), (right - fold, top + fold), (right, top + fold)], 1.5, INK)


def text_lines(c, left, right, ys, color=RULE):
    for y in ys:
        c.line(left, y, right, y, 2.0, color)


def draw_open(c):
    """Open.ico: an open folder."""
    back = [(4, 10), (18, 10), (22, 15), (42, 15), (42, 40), (4, 40)]
    c.polygon(back, (214, 160, 30, 255))
    c.outline(back, 2.0, (120, 85, 0, 255))
    c.rect(8, 18, 38, 30, PAPER)
    front = [(11, 22), (46, 22), (39, 41), (4, 41)]
    c.polygon(front, (247, 200, 70, 255))
    c.outline(front, 2.0, (120, 85, 0, 255))


def draw_geometry_file(c):
    """InputFile1.ico: a file holding a structure, drawn as a small truss."""
    sheet(c)
    nodes = {"a": (14, 36), "b": (24, 36), "c": (34, 36), "d": (19, 25), "e": (29, 25)}
    for p, q in ["ab", "bc", "de", "ad", "db", "be", "ec"]:
        c.line(*nodes[p], *nodes[q], 1.8, BLUE)
    for x, y in nodes.values():
        c.ellipse(x, y, 2.0, 2.0, INK, 16)
    text_lines(c, 14, 26, [11, 16])


def draw_create_file(c):
    """InputFile2.ico: a new loading file being written: a sheet with a green plus."""
    sheet(c, right=36)
    text_lines(c, 14, 30, [14, 19, 24, 29])
    c.ellipse(35, 35, 10, 10, GREEN)
    c.ellipse(35, 35, 10, 10, GREEN)
    c.line(29, 35, 41, 35, 3.2, PAPER)
    c.line(35, 29, 35, 41, 3.2, PAPER)


def draw_notepad(c):
    """Notepad.ico: a ruled note pad with its binding rings, for looking at a file."""
    pad = [(9, 8), (39, 8), (39, 45), (9, 45)]
    c.polygon(pad, (255, 248, 200, 255))
    c.outline(pad, 2.0, INK)
    c.rect(9, 8, 39, 13, (90, 120, 170, 255))
    for x in (14, 20, 26, 32):
        c.ellipse(x, 8, 1.8, 4, INK, 16)
    text_lines(c, 13, 35, [19, 24, 29, 34, 39], (110, 150, 210, 255))
    c.line(16, 14, 16, 44, 1.2, RED)


def draw_save(c):
    """SaveChanges.ico: a floppy disk."""
    body = [(6, 6), (37, 6), (42, 11), (42, 42), (6, 42)]
    c.polygon(body, (47, 95, 168, 255))
    c.outline(body, 2.0, (20, 45, 90, 255))
    c.rect(13, 6, 33, 18, (205, 212, 222, 255))
    c.rect(27, 8, 31, 16, (47, 95, 168, 255))
    c.rect(11, 25, 37, 42, PAPER)
    text_lines(c, 14, 34, [30, 35], RULE)


def draw_load_old(c):
    """LoadP.bmp: data taken back out of an old file: a sheet with an arrow leaving it."""
    sheet(c, left=17, right=45, top=4, bottom=44)
    text_lines(c, 22, 38, [16, 21, 31, 36])
    c.arrow(33, 26, 3, 26, 4.5, 10, ORANGE)


def draw_loading(c):
    """Loading.bmp: forces acting on a beam on two supports."""
    c.rect(4, 30, 44, 35, (120, 128, 140, 255))
    c.outline([(4, 30), (44, 30), (44, 35), (4, 35)], 1.2, INK)
    for x in (9, 39):
        c.polygon([(x, 35), (x - 5, 44), (x + 5, 44)], (90, 98, 110, 255))
    for x in (12, 24, 36):
        c.arrow(x, 4, x, 29, 3.0, 8, RED)


# ---- file formats -------------------------------------------------------------------------

def bgra_bottom_up(rows):
    return b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)


def bmp_bytes(rows):
    """A 32-bit BMP with an alpha channel (BITMAPV4HEADER, BI_BITFIELDS)."""
    height, width = len(rows), len(rows[0])
    pixels = bgra_bottom_up(rows)
    header_size = 108
    offset = 14 + header_size
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, 32, 3, len(pixels), 2835, 2835, 0, 0)
    masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    color_space = struct.pack("<I", 0x73524742) + bytes(36) + bytes(12)  # sRGB, no endpoints or gamma
    return file_header + info + masks + color_space + pixels


def ico_image(rows):
    """One image of an icon file: a BITMAPINFOHEADER of double height, BGRA pixels, AND mask."""
    size = len(rows)
    pixels = bgra_bottom_up(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def ico_bytes(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for rows in images:
        blob = ico_image(rows)
        size = len(rows)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    return directory + entries + data


def render(draw, width, height):
    canvas = Canvas(width, height)
    draw(canvas)
    return canvas.rgba()


ICONS = {
    "Open.ico": draw_open,
    "InputFile2.ico": draw_create_file,
    "Notepad.ico": draw_notepad,
    "InputFile1.ico": draw_geometry_file,
    "SaveChanges.ico": draw_save,
}
BITMAPS = {
    "LoadP.bmp": (draw_load_old, 37, 39),
    "Loading.bmp": (draw_loading, 32, 32),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "examples", "workspace", "uir")
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS.items():
        data = ico_bytes([render(draw, s, s) for s in (16, 24, 32, 48)])
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    for name, (draw, width, height) in BITMAPS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp_bytes(render(draw, width, height)))


if __name__ == "__main__":
    main()
