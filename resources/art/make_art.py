#!/usr/bin/env python3
"""Draws the artwork of setup.exe and unZELK.exe and writes it as Windows resource files.

    make_art.py OUTPUT_FOLDER

writes into OUTPUT_FOLDER:
    setup.ico    icon 106 of setup: an open box with a green arrow going in (32x32, 16x16)
    unzelk.ico   icon 102 of unZELK: the same box with a red removal badge (32x32 alone: the
                 uninstaller is seen in its own dialog, at that size; where a small icon is
                 wanted, the system shrinks this one)
    side.bmp     bitmap 105, the wizard's side picture (100x215, 4 bits a pixel, 12 colours, run-length encoded)
    logo.bmp     bitmap 107, the logo of the background window (298x73, black and white, run-length
                 encoded: a 4-bit picture of two colours, whose runs take a third of the bits)

Everything is drawn here from simple shapes; only the Python standard library is used, so
the build needs nothing beyond python3. Colour pictures are drawn at four times their size
and averaged down, then mapped onto a fixed palette of their own (16 colours at most).
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------- drawing surface


class Canvas:
    """An RGBA picture of floats in 0..1; shapes are drawn in picture coordinates."""

    def __init__(self, width, height, fill=(0.0, 0.0, 0.0, 0.0)):
        self.width = width
        self.height = height
        self.pixels = [list(fill) for _ in range(width * height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            pixel = self.pixels[y * self.width + x]
            alpha = colour[3] if len(colour) > 3 else 1.0
            for i in range(3):
                pixel[i] = pixel[i] * (1 - alpha) + colour[i] * alpha
            pixel[3] = pixel[3] + alpha * (1 - pixel[3])

    def _box(self, xs, ys, margin=0.0):
        x0 = max(0, int(math.floor(min(xs) - margin)))
        x1 = min(self.width - 1, int(math.ceil(max(xs) + margin)))
        y0 = max(0, int(math.floor(min(ys) - margin)))
        y1 = min(self.height - 1, int(math.ceil(max(ys) + margin)))
        return x0, x1, y0, y1

    def polygon(self, points, colour):
        """Fills a polygon (even-odd rule), sampling each pixel at its centre."""
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        x0, x1, y0, y1 = self._box(xs, ys)
        edges = list(zip(points, points[1:] + points[:1]))
        for y in range(y0, y1 + 1):
            cy = y + 0.5
            crossings = []
            for (ax, ay), (bx, by) in edges:
                if (ay <= cy < by) or (by <= cy < ay):
                    crossings.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            crossings.sort()
            for left, right in zip(crossings[0::2], crossings[1::2]):
                for x in range(max(x0, int(math.ceil(left - 0.5))),
                               min(x1, int(math.floor(right - 0.5))) + 1):
                    self.put(x, y, colour)

    def rect(self, left, top, right, bottom, colour):
        self.polygon([(left, top), (right, top), (right, bottom), (left, bottom)], colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        x0, x1, y0, y1 = self._box([cx - rx, cx + rx], [cy - ry, cy + ry])
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                dx = (x + 0.5 - cx) / rx
                dy = (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1.0:
                    self.put(x, y, colour)

    def ring(self, cx, cy, inner, outer, colour):
        x0, x1, y0, y1 = self._box([cx - outer, cx + outer], [cy - outer, cy + outer])
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if inner <= d <= outer:
                    self.put(x, y, colour)

    def line(self, points, width, colour):
        """Strokes a polyline with a round pen of the given width."""
        radius = width / 2.0
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            x0, x1, y0, y1 = self._box([ax, bx], [ay, by], radius + 1)
            for y in range(y0, y1 + 1):
                for x in range(x0, x1 + 1):
                    if segment_distance(x + 0.5, y + 0.5, ax, ay, bx, by) <= radius:
                        self.put(x, y, colour)

    def shrink(self, factor):
        """Averages factor x factor blocks (colour weighted by coverage)."""
        out = Canvas(self.width // factor, self.height // factor)
        for y in range(out.height):
            for x in range(out.width):
                total = [0.0, 0.0, 0.0, 0.0]
                for sy in range(factor):
                    row = (y * factor + sy) * self.width + x * factor
                    for sx in range(factor):
                        r, g, b, a = self.pixels[row + sx]
                        total[0] += r * a
                        total[1] += g * a
                        total[2] += b * a
                        total[3] += a
                if total[3] > 0:
                    out.pixels[y * out.width + x] = [total[0] / total[3], total[1] / total[3],
                                                     total[2] / total[3], total[3] / factor ** 2]
        return out


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def rgb(hex_text):
    value = int(hex_text, 16)
    return ((value >> 16 & 255) / 255.0, (value >> 8 & 255) / 255.0, (value & 255) / 255.0, 1.0)


# ---------------------------------------------------------------- palettes and quantising


def nearest(palette, colour):
    best, best_distance = 0, None
    for index, entry in enumerate(palette):
        # Weighted like the eye: green counts most.
        d = (3 * (entry[0] - colour[0]) ** 2 + 4 * (entry[1] - colour[1]) ** 2
             + 2 * (entry[2] - colour[2]) ** 2)
        if best_distance is None or d < best_distance:
            best, best_distance = index, d
    return best


BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def quantise(canvas, palette, dither=0.0):
    """Palette indices of the canvas, row by row from the top; transparent pixels are None.
    dither > 0 adds an ordered 4x4 pattern of that amplitude before the nearest match."""
    indices = []
    for y in range(canvas.height):
        row = []
        for x in range(canvas.width):
            r, g, b, a = canvas.pixels[y * canvas.width + x]
            if a < 0.5:
                row.append(None)
                continue
            offset = (BAYER4[y % 4][x % 4] / 16.0 - 0.47) * dither
            row.append(nearest(palette, (r + offset, g + offset, b + offset)))
        indices.append(row)
    return indices


def quantise_crisp(canvas, palette, factor):
    """Like quantise on canvas.shrink(factor), but each pixel takes the colour that covers
    most of its block: small icons stay crisp instead of blending into odd palette entries."""
    rows = []
    for y in range(canvas.height // factor):
        row = []
        for x in range(canvas.width // factor):
            votes = {}
            for sy in range(factor):
                for sx in range(factor):
                    r, g, b, a = canvas.pixels[(y * factor + sy) * canvas.width + x * factor + sx]
                    key = None if a < 0.5 else nearest(palette, (r, g, b))
                    votes[key] = votes.get(key, 0) + 1
            row.append(max(votes, key=lambda k: (votes[k], k is not None)))
        rows.append(row)
    return rows


def palette_bytes(palette, count):
    data = b""
    for entry in palette + [(0, 0, 0)] * (count - len(palette)):
        data += bytes([round(entry[2] * 255), round(entry[1] * 255), round(entry[0] * 255), 0])
    return data


def pack_rows(rows, bits):
    """DIB pixel rows, bottom row first, each padded to four bytes."""
    data = b""
    for row in reversed(rows):
        packed = bytearray()
        per_byte = 8 // bits
        for i in range(0, len(row), per_byte):
            byte = 0
            for j in range(per_byte):
                value = row[i + j] if i + j < len(row) else 0
                byte |= (value or 0) << (8 - bits * (j + 1))
            packed.append(byte)
        while len(packed) % 4:
            packed.append(0)
        data += bytes(packed)
    return data


def info_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835,
                       colours, 0)


def bmp_file(rows, palette, bits):
    width, height = len(rows[0]), len(rows)
    pixels = pack_rows(rows, bits)
    colours = 1 << bits
    header = info_header(width, height, bits, len(pixels), colours) + palette_bytes(palette, colours)
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels


def rle4_row(row):
    """One pixel row in the 4-bit run-length encoding of a DIB (BI_RLE4), the shortest there is:
    a run of up to 255 pixels alternating between two colours (one colour when both are the
    same) takes two bytes; absolute pixels (3 to 255) take two bytes and their pixels, two to
    a byte, padded to a whole number of 16-bit words. Chosen from the row's end backwards."""
    n = len(row)
    cost = [0] * (n + 1)   # bytes from position i to the end of the row
    step = [None] * (n + 1)
    for i in range(n - 1, -1, -1):
        best = None
        first, second = row[i], row[i + 1] if i + 1 < n else row[i]
        end = i
        while end < n and end - i < 255 and row[end] == (first if (end - i) % 2 == 0 else second):
            end += 1
            if best is None or 2 + cost[end] < best[0]:
                best = (2 + cost[end], "run", end)
        for length in range(3, min(255, n - i) + 1):
            size = (length + 1) // 2
            size += size % 2
            if 2 + size + cost[i + length] < best[0]:
                best = (2 + size + cost[i + length], "absolute", i + length)
        cost[i], step[i] = best[0], best[1:]
    data = bytearray()
    i = 0
    while i < n:
        kind, end = step[i]
        pixels = row[i:end]
        if kind == "run":
            second = pixels[1] if len(pixels) > 1 else pixels[0]
            data += bytes((len(pixels), pixels[0] << 4 | second))
        else:
            packed = bytes((pixels[k] << 4 | (pixels[k + 1] if k + 1 < len(pixels) else 0))
                           for k in range(0, len(pixels), 2))
            data += bytes((0, len(pixels))) + packed + (b"\0" if len(packed) % 2 else b"")
        i = end
    return data


def rle4_rows(rows):
    """The pixel rows in the 4-bit run-length encoding of a DIB (BI_RLE4), bottom row first,
    each ended by an end of line, the last by the end of the bitmap."""
    data = bytearray()
    for row in reversed(rows):
        data += rle4_row([value or 0 for value in row]) + b"\0\0"
    data[-1] = 1  # end of bitmap in place of the last end of line
    return bytes(data)


def bmp_rle4_file(rows, palette):
    """A run-length encoded DIB of up to 16 colours, with a palette of just those colours."""
    width, height = len(rows[0]), len(rows)
    pixels = rle4_rows(rows)
    colours = len(palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 2, len(pixels), 2835, 2835,
                         colours, 0) + palette_bytes(palette, colours)
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels


def ico_file(images):
    """images: list of (rows of palette indices or None, palette) with 16 colours each."""
    entries, bodies = b"", b""
    offset = 6 + 16 * len(images)
    for rows, palette in images:
        size = len(rows)
        colour = pack_rows([[v or 0 for v in row] for row in rows], 4)
        mask = pack_rows([[1 if v is None else 0 for v in row] for row in rows], 1)
        body = (info_header(size, size * 2, 4, len(colour) + len(mask), 0)
                + palette_bytes(palette, 16) + colour + mask)
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(body), offset)
        bodies += body
        offset += len(body)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + bodies


# ---------------------------------------------------------------- the icons

ICON_PALETTE = [rgb(c)[:3] for c in (
    "000000",  # outline
    "5a3a14",  # box, shadow side
    "9a6a2c",  # box, front
    "c8954a",  # box, lit side
    "e8c27c",  # box, flaps
    "0a5a12",  # arrow, dark
    "1e9a28",  # arrow
    "6ad85a",  # arrow, light
    "8c1010",  # badge, dark
    "e02a20",  # badge
    "ffffff",  # white
    "808080",  # grey
    "c0c0c0",  # silver
    "404040",  # dark grey
    "f0e0b0",  # cream
    "2a2a2a",  # near black
)]


ICON_FACTOR = 4  # icons are drawn at four times their size


def draw_box(c, u, pen):
    """An open cardboard box seen from slightly above, on a 32-unit grid of u pixels."""
    outline = rgb("000000")
    front = [(4 * u, 15 * u), (20 * u, 19 * u), (20 * u, 30 * u), (4 * u, 26 * u)]
    side = [(20 * u, 19 * u), (28 * u, 15 * u), (28 * u, 26 * u), (20 * u, 30 * u)]
    inside = [(4 * u, 15 * u), (12 * u, 11 * u), (28 * u, 15 * u), (20 * u, 19 * u)]
    flap_left = [(4 * u, 15 * u), (12 * u, 11 * u), (7 * u, 7 * u), (0.5 * u, 11 * u)]
    flap_right = [(28 * u, 15 * u), (20 * u, 19 * u), (27 * u, 22 * u), (31.5 * u, 18 * u)]
    c.polygon(flap_left, rgb("e8c27c"))
    c.polygon(inside, rgb("5a3a14"))
    c.polygon(front, rgb("c8954a"))
    c.polygon(side, rgb("9a6a2c"))
    c.polygon(flap_right, rgb("e8c27c"))
    for shape in (flap_left, inside, front, side, flap_right):
        c.line(shape + shape[:1], pen, outline)


def draw_arrow(c, u, pen):
    """A green arrow pointing down into the box."""
    cx, top, mid, bottom = 16 * u, 1 * u, 9 * u, 17 * u
    shape = [(cx - 3.5 * u, top), (cx + 3.5 * u, top), (cx + 3.5 * u, mid),
             (cx + 7.5 * u, mid), (cx, bottom), (cx - 7.5 * u, mid), (cx - 3.5 * u, mid)]
    c.polygon(shape, rgb("1e9a28"))
    c.polygon([(cx - 3.5 * u, top), (cx - 1 * u, top), (cx - 1 * u, mid + 1.5 * u),
               (cx - 5 * u, mid + 1.5 * u), (cx - 7.5 * u, mid), (cx - 3.5 * u, mid)],
              rgb("6ad85a"))
    c.line(shape + shape[:1], pen, rgb("0a5a12"))


def draw_badge(c, u, pen):
    """A round red badge with a white cross: the box goes away."""
    cx, cy = 22 * u, 10 * u
    c.ellipse(cx, cy, 9.5 * u, 9.5 * u, rgb("000000"))
    c.ellipse(cx, cy, 9.5 * u - pen, 9.5 * u - pen, rgb("e02a20"))
    c.ellipse(cx - 1 * u, cy - 1.5 * u, 5 * u, 4 * u, (1.0, 0.45, 0.4, 0.5))
    arm = 3.6 * u
    cross = 2.6 * u
    c.line([(cx - arm, cy - arm), (cx + arm, cy + arm)], cross, rgb("ffffff"))
    c.line([(cx + arm, cy - arm), (cx - arm, cy + arm)], cross, rgb("ffffff"))


def icon_canvas(size):
    """A canvas for an icon, the size of one grid unit and an outline one pixel wide."""
    return Canvas(size * ICON_FACTOR, size * ICON_FACTOR), size * ICON_FACTOR / 32.0, ICON_FACTOR


# At 16 pixels the shapes above blur into each other, so the small icons are drawn pixel by
# pixel: the same box, arrow and badge, simplified.
PIXEL_KEYS = {".": None, "k": 0, "d": 1, "m": 2, "l": 3, "f": 4, "G": 5, "g": 6, "h": 7,
              "R": 8, "r": 9, "w": 10}

SMALL_BOX = [
    ".kddddddddddddk.",
    ".kkkkkkkkkkkkkk.",
    ".kllllllllllmmk.",
    ".kllllllllllmmk.",
    ".kllllllllllmmk.",
    ".kllllllllllmmk.",
    ".kkkkkkkkkkkkkk.",
]

SMALL_SETUP = [
    ".....kkkkkk.....",
    ".....khhggk.....",
    ".....khhggk.....",
    ".....khhggk.....",
    "..kkkkhhggkkkk..",
    "kk.khhhhggggk.kk",
    "kffkkhhhgggkkffk",
    ".kffkkhhggkkffk.",
    ".kddddkhgkddddk.",
    ".kdddddkkdddddk.",
] + SMALL_BOX[1:]


def pixel_icon(rows):
    assert len(rows) == 16 and all(len(row) == 16 for row in rows)
    return [[PIXEL_KEYS[ch] for ch in row] for row in rows]


def setup_icon(size):
    if size == 16:
        return pixel_icon(SMALL_SETUP)
    c, u, pen = icon_canvas(size)
    draw_box(c, u, pen)
    draw_arrow(c, u, pen)
    return quantise_crisp(c, ICON_PALETTE, ICON_FACTOR)


def unzelk_icon(size):
    c, u, pen = icon_canvas(size)
    draw_box(c, u, pen)
    draw_badge(c, u, pen)
    return quantise_crisp(c, ICON_PALETTE, ICON_FACTOR)


# ---------------------------------------------------------------- the wizard's side picture

SIDE_PALETTE = [rgb(c)[:3] for c in (
    "000000", "001800", "003000", "004800", "006000", "007800",  # the background greens
    "ffffff", "c0c0c0", "808080", "404040",                      # disc and machine
    "40c040", "80ff80",                                          # screen and arrow
)]


def side_picture():
    factor = 2
    width, height = 100, 215
    c = Canvas(width * factor, height * factor)
    # The background: green bands like the main window's, darkening downwards in the
    # palette's own steps. Flat areas of one colour (no dithering, no shadow, no edge
    # blending) keep the picture small, stored run-length encoded.
    for y in range(height * factor):
        level = SIDE_PALETTE[5 - min(5, y * 6 // (height * factor))][1]
        for x in range(width * factor):
            c.pixels[y * c.width + x] = [0.0, level, 0.0, 1.0]
    f = float(factor)
    # A disc: silver, with the sheen of its surface in one sector, a hole and a label ring.
    # (Each sector adds runs to every row it crosses; the picture is stored run-length encoded.)
    cx, cy, radius = 50 * f, 52 * f, 33 * f
    sheen = [(115, 150, "ffffff")]
    for y in range(int(cy - radius), int(cy + radius) + 1):
        for x in range(int(cx - radius), int(cx + radius) + 1):
            dx, dy = x + 0.5 - cx, cy - (y + 0.5)
            if dx * dx + dy * dy > radius * radius:
                continue
            angle = math.degrees(math.atan2(dy, dx)) % 360
            colour = "c0c0c0"
            for first, last, sector in sheen:
                if first <= angle < last:
                    colour = sector
            c.put(x, y, rgb(colour))
    c.ring(cx, cy, radius - 1 * f, radius, rgb("808080"))
    c.ring(cx, cy, 8 * f, 12 * f, rgb("808080"))
    c.ellipse(cx, cy, 8 * f, 8 * f, rgb("ffffff"))
    c.ellipse(cx, cy, 5 * f, 5 * f, rgb("004800"))
    # An arrow from the disc down to the machine.
    ax = 50 * f
    arrow = [(ax - 7 * f, 95 * f), (ax + 7 * f, 95 * f), (ax + 7 * f, 110 * f), (ax + 15 * f, 110 * f),
             (ax, 126 * f), (ax - 15 * f, 110 * f), (ax - 7 * f, 110 * f)]
    c.polygon(arrow, rgb("40c040"))
    c.polygon([(ax - 7 * f, 95 * f), (ax - 2 * f, 95 * f), (ax - 2 * f, 113 * f),
               (ax - 11 * f, 113 * f), (ax - 15 * f, 110 * f), (ax - 7 * f, 110 * f)], rgb("80ff80"))
    c.line(arrow + arrow[:1], 1.2 * f, rgb("000000"))
    # A computer: monitor with a green screen, on a base, and a keyboard.
    c.rect(15 * f, 136 * f, 85 * f, 181 * f, rgb("404040"))
    c.rect(16 * f, 137 * f, 84 * f, 180 * f, rgb("c0c0c0"))
    c.rect(16 * f, 137 * f, 84 * f, 138.5 * f, rgb("ffffff"))
    c.rect(16 * f, 137 * f, 17.5 * f, 180 * f, rgb("ffffff"))
    c.rect(22 * f, 142 * f, 78 * f, 174 * f, rgb("404040"))
    c.rect(23 * f, 143 * f, 78 * f, 174 * f, rgb("006000"))
    # A progress bar on the screen.
    c.rect(28 * f, 156 * f, 72 * f, 162 * f, rgb("003000"))
    c.rect(29 * f, 157 * f, 58 * f, 161 * f, rgb("80ff80"))
    for i in range(3):
        c.rect((28 + 8 * i) * f, 148 * f, (33 + 8 * i) * f, 151 * f, rgb("40c040"))
    c.polygon([(40 * f, 181 * f), (60 * f, 181 * f), (64 * f, 188 * f), (36 * f, 188 * f)],
              rgb("808080"))
    c.polygon([(12 * f, 193 * f), (88 * f, 193 * f), (92 * f, 203 * f), (8 * f, 203 * f)],
              rgb("c0c0c0"))
    # Each pixel takes the colour that covers most of it: a blended edge pixel would be an
    # odd palette entry that breaks a run, and the picture is stored as runs.
    return quantise_crisp(c, SIDE_PALETTE, factor)


# ---------------------------------------------------------------- the logo

def glyph_arc(cx, cy, rx, ry, start, end, steps=12):
    """Points of an elliptic arc in glyph coordinates (y up), angles in degrees."""
    return [(cx + rx * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + ry * math.sin(math.radians(start + (end - start) * i / steps)))
            for i in range(steps + 1)]


# Stroke glyphs on a grid: x to the right, y upwards, cap height 10, x-height 7, baseline 0.
# Each glyph is its advance and its strokes (polylines).
GLYPHS = {
    "Z": (7, [[(0, 10), (7, 10), (0, 0), (7, 0)]]),
    "E": (6, [[(6, 10), (0, 10), (0, 0), (6, 0)], [(0, 5), (5, 5)]]),
    "L": (6, [[(0, 10), (0, 0), (6, 0)]]),
    "K": (6.5, [[(0, 10), (0, 0)], [(6.5, 10), (0, 3.5)], [(2.4, 5.9), (6.5, 0)]]),
    "S": (6, [glyph_arc(3, 7.5, 3, 2.5, 20, 270) + glyph_arc(3, 2.5, 3, 2.5, 90, -160)]),
    "e": (6, [[(0, 3.5), (6, 3.5)] + glyph_arc(3, 3.5, 3, 3.5, 0, 300, 16)]),
    "t": (4.5, [[(1.5, 9.5), (1.5, 1.5)] + glyph_arc(3.5, 1.5, 2, 1.5, 180, 270, 4),
                [(0, 7), (4.5, 7)]]),
    "u": (6, [[(0, 7), (0, 3)] + glyph_arc(3, 3, 3, 3, 180, 360), [(6, 7), (6, 0)]]),
    "p": (6, [[(0, 7), (0, -3.5)], glyph_arc(3, 3.5, 3, 3.5, 0, 360, 20)]),
}


def draw_text(c, text, left, baseline, scale, pen, slant, gap):
    """Strokes text with the glyphs above; returns the x after the last letter."""
    x = left
    for letter in text:
        advance, strokes = GLYPHS[letter]
        for stroke in strokes:
            points = [(x + (gx + slant * gy) * scale, baseline - gy * scale) for gx, gy in stroke]
            c.line(points, pen, (1, 1, 1, 1))
        x += (advance + gap) * scale
    return x


def logo():
    width, height = 298, 73
    c = Canvas(width, height)
    slant = 0.18
    # "ZELK" in heavy strokes over two rules. Every stroke a row crosses is two runs of the
    # stored picture: a second word beside it would take half as much again.
    end = draw_text(c, "ZELK", 8, 52, 4.3, 6.4, slant, 2.3)
    c.line([(6, 63), (end + 4, 63)], 2.0, (1, 1, 1, 1))
    c.line([(6, 68), (end * 0.7, 68)], 1.0, (1, 1, 1, 1))
    return [[1 if c.pixels[y * width + x][3] >= 0.5 else 0 for x in range(width)]
            for y in range(height)]


# ---------------------------------------------------------------- main


def write(folder, name, data):
    path = os.path.join(folder, name)
    temporary = path + ".tmp"
    with open(temporary, "wb") as out:
        out.write(data)
    os.replace(temporary, path)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_art.py OUTPUT_FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write(folder, "setup.ico", ico_file([(setup_icon(32), ICON_PALETTE),
                                         (setup_icon(16), ICON_PALETTE)]))
    write(folder, "unzelk.ico", ico_file([(unzelk_icon(32), ICON_PALETTE)]))
    write(folder, "side.bmp", bmp_rle4_file(side_picture(), SIDE_PALETTE))
    write(folder, "logo.bmp", bmp_rle4_file(logo(), [(0, 0, 0), (1, 1, 1)]))


if __name__ == "__main__":
    main()
