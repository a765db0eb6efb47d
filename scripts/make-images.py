#!/usr/bin/env python3
"""Draws the setup wizard's pictures and the sample SDK's barcode images.

Writes, below the output root (the repository by default):
  wizard/res/watermark.bmp   164 x 370, 24 bits: welcome, finish and interrupted pages
  wizard/res/header.bmp      48 x 49, 24 bits: header of the interior pages
  wizard/res/checkboxes.bmp  48 x 16, 4 bits: blank, empty box, crossed box on white
  wizard/res/setup.ico       16, 32 and 48 pixels, 32 bits with alpha and AND masks
  sample-sdk/files/Images/*.bmp and ReadMe.txt: Code 128 sample barcodes

Python 3 standard library only; the output is the same on every run, and the
committed files are this script's output (scripts/make-images.py --check tells).
"""

import argparse
import math
import os
import struct
import sys

# ---------------------------------------------------------------------------
# Colours of the look: deep blue, white bars, a red scan line.

DEEP_BLUE_TOP = (0.075, 0.255, 0.560)
DEEP_BLUE_BOTTOM = (0.020, 0.078, 0.200)
HIGHLIGHT = (0.180, 0.420, 0.800)
BAR_WHITE = (0.925, 0.955, 1.000)
SCAN_RED = (1.000, 0.180, 0.160)
SOFT_BLUE = (0.620, 0.760, 0.960)
WHITE = (1.0, 1.0, 1.0)

# ---------------------------------------------------------------------------
# Code 128, code set B (the same table as the SDK runtime).

CODE128 = [
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
]
START_B = 104
STOP = 106
QUIET_ZONE = 10


def code128_modules(text):
    """Modules of a Code 128 symbol (start B) with quiet zones: 1 bar, 0 space."""
    values = [START_B]
    for ch in text:
        code = ord(ch)
        if not 32 <= code <= 126:
            raise ValueError("character not in code set B: %r" % ch)
        values.append(code - 32)
    check = START_B + sum((i + 1) * v for i, v in enumerate(values[1:]))
    values.append(check % 103)
    values.append(STOP)
    modules = [0] * QUIET_ZONE
    for value in values:
        bar = 1
        for width in CODE128[value]:
            modules.extend([bar] * int(width))
            bar = 1 - bar
    modules.extend([0] * QUIET_ZONE)
    return modules


# ---------------------------------------------------------------------------
# A 5 x 7 pixel font for the few words the pictures carry.

FONT = {
    "A": ".###.|#...#|#...#|#####|#...#|#...#|#...#",
    "B": "####.|#...#|#...#|####.|#...#|#...#|####.",
    "C": ".###.|#...#|#....|#....|#....|#...#|.###.",
    "D": "####.|#...#|#...#|#...#|#...#|#...#|####.",
    "E": "#####|#....|#....|####.|#....|#....|#####",
    "F": "#####|#....|#....|####.|#....|#....|#....",
    "G": ".###.|#...#|#....|#.###|#...#|#...#|.####",
    "H": "#...#|#...#|#...#|#####|#...#|#...#|#...#",
    "I": ".###.|..#..|..#..|..#..|..#..|..#..|.###.",
    "J": "..###|...#.|...#.|...#.|...#.|#..#.|.##..",
    "K": "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#",
    "L": "#....|#....|#....|#....|#....|#....|#####",
    "M": "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#",
    "N": "#...#|#...#|##..#|#.#.#|#..##|#...#|#...#",
    "O": ".###.|#...#|#...#|#...#|#...#|#...#|.###.",
    "P": "####.|#...#|#...#|####.|#....|#....|#....",
    "Q": ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#",
    "R": "####.|#...#|#...#|####.|#.#..|#..#.|#...#",
    "S": ".####|#....|#....|.###.|....#|....#|####.",
    "T": "#####|..#..|..#..|..#..|..#..|..#..|..#..",
    "U": "#...#|#...#|#...#|#...#|#...#|#...#|.###.",
    "V": "#...#|#...#|#...#|#...#|#...#|.#.#.|..#..",
    "W": "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.",
    "X": "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#",
    "Y": "#...#|#...#|.#.#.|..#..|..#..|..#..|..#..",
    "Z": "#####|....#|...#.|..#..|.#...|#....|#####",
    "0": ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.",
    "1": "..#..|.##..|..#..|..#..|..#..|..#..|.###.",
    "2": ".###.|#...#|....#|...#.|..#..|.#...|#####",
    "3": "#####|...#.|..#..|...#.|....#|#...#|.###.",
    "4": "...#.|..##.|.#.#.|#..#.|#####|...#.|...#.",
    "5": "#####|#....|####.|....#|....#|#...#|.###.",
    "6": "..##.|.#...|#....|####.|#...#|#...#|.###.",
    "7": "#####|....#|...#.|..#..|.#...|.#...|.#...",
    "8": ".###.|#...#|#...#|.###.|#...#|#...#|.###.",
    "9": ".###.|#...#|#...#|.####|....#|...#.|.##..",
    "-": ".....|.....|.....|#####|.....|.....|.....",
    ".": ".....|.....|.....|.....|.....|.##..|.##..",
    "/": ".....|....#|...#.|..#..|.#...|#....|.....",
    " ": ".....|.....|.....|.....|.....|.....|.....",
}
GLYPH_ADVANCE = 6  # 5 columns and one of space


def text_width(text, scale):
    return (len(text) * GLYPH_ADVANCE - 1) * scale


def text_rects(text, x, y, scale):
    """Rectangles (x0, y0, x1, y1) of the lit font pixels, top-left at (x, y)."""
    rects = []
    for index, ch in enumerate(text):
        rows = FONT[ch].split("|")
        for row, bits in enumerate(rows):
            for col, bit in enumerate(bits):
                if bit == "#":
                    left = x + (index * GLYPH_ADVANCE + col) * scale
                    top = y + row * scale
                    rects.append((left, top, left + scale, top + scale))
    return rects


# ---------------------------------------------------------------------------
# A float RGB(A) canvas with exact-coverage rectangles and signed-distance shapes.


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Canvas:
    def __init__(self, width, height, colour=(0.0, 0.0, 0.0)):
        self.width = width
        self.height = height
        self.rgb = [[list(colour) for _ in range(width)] for _ in range(height)]
        self.alpha = [[1.0] * width for _ in range(height)]

    def blend(self, x, y, colour, a):
        if a <= 0.0:
            return
        px = self.rgb[y][x]
        for i in range(3):
            px[i] = px[i] * (1.0 - a) + colour[i] * a

    def add(self, x, y, colour, a):
        if a <= 0.0:
            return
        px = self.rgb[y][x]
        for i in range(3):
            px[i] = clamp(px[i] + colour[i] * a)

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0, shade=None):
        """Blends a rectangle with exact pixel coverage. shade(y) scales alpha."""
        for y in range(max(0, int(math.floor(y0))), min(self.height, int(math.ceil(y1)))):
            cy = min(y + 1, y1) - max(y, y0)
            if cy <= 0:
                continue
            row_alpha = alpha * cy * (shade(y + 0.5) if shade else 1.0)
            for x in range(max(0, int(math.floor(x0))), min(self.width, int(math.ceil(x1)))):
                cx = min(x + 1, x1) - max(x, x0)
                if cx > 0:
                    self.blend(x, y, colour, row_alpha * cx)

    def vertical_gradient(self, top, bottom, y0=0.0, y1=None):
        y1 = self.height if y1 is None else y1
        for y in range(self.height):
            t = clamp((y + 0.5 - y0) / max(1e-6, y1 - y0))
            colour = lerp(top, bottom, t)
            for x in range(self.width):
                self.rgb[y][x] = list(colour)

    def radial_light(self, cx, cy, radius, colour, strength):
        for y in range(self.height):
            for x in range(self.width):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
                if d < 1.0:
                    self.add(x, y, colour, strength * (1.0 - d) ** 2)

    def scan_line(self, yc, x0, x1, thickness, glow, colour, fade=8.0):
        """A glowing horizontal line of light, soft at both ends."""
        for y in range(self.height):
            dy = y + 0.5 - yc
            core = clamp(thickness / 2.0 + 0.5 - abs(dy))
            halo = 0.55 * math.exp(-(dy / glow) ** 2)
            a_row = max(core, halo)
            if a_row < 0.003:
                continue
            for x in range(self.width):
                cx = x + 0.5
                if cx < x0 or cx > x1:
                    continue
                end = min(cx - x0, x1 - cx)
                a = a_row * clamp(end / fade)
                self.add(x, y, colour, a)
                if core > 0:
                    # The centre of the beam burns almost white.
                    self.add(x, y, (0.35, 0.35, 0.30), core * clamp(end / fade) * 0.6)


def rounded_rect_coverage(x, y, cx, cy, half_w, half_h, radius):
    qx = abs(x - cx) - (half_w - radius)
    qy = abs(y - cy) - (half_h - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    inside = min(max(qx, qy), 0.0)
    distance = outside + inside - radius
    return clamp(0.5 - distance)


def bars_from_modules(modules, x0, width):
    """Bar rectangles' (left, right) for modules spread over width pixels."""
    step = width / float(len(modules))
    bars = []
    start = None
    for i, m in enumerate(modules + [0]):
        if m and start is None:
            start = i
        elif not m and start is not None:
            bars.append((x0 + start * step, x0 + i * step))
            start = None
    return bars


# ---------------------------------------------------------------------------
# File formats.


def to_bytes(v):
    return int(round(clamp(v) * 255.0))


def bmp24(canvas):
    row_size = (canvas.width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(canvas.height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.rgb[y][x]
            row += bytes((to_bytes(b), to_bytes(g), to_bytes(r)))
        row += b"\0" * (row_size - len(row))
        pixels += row
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    return header + info + bytes(pixels)


# The 16 colours of the classic palette, in its usual order.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def bmp4(indexes, width, height):
    row_size = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(0, width, 2):
            hi = indexes[y][x]
            lo = indexes[y][x + 1] if x + 1 < width else 0
            row.append((hi << 4) | lo)
        row += b"\0" * (row_size - len(row))
        pixels += row
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE16)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16,
                       16)
    return header + info + palette + bytes(pixels)


def ico(canvases):
    """An icon file: one 32-bit image with alpha and an AND mask per canvas."""
    images = []
    for c in canvases:
        xor = bytearray()
        for y in range(c.height - 1, -1, -1):
            for x in range(c.width):
                r, g, b = c.rgb[y][x]
                a = to_bytes(c.alpha[y][x])
                if a == 0:
                    xor += b"\0\0\0\0"
                else:
                    xor += bytes((to_bytes(b), to_bytes(g), to_bytes(r), a))
        mask_row = ((c.width + 31) // 32) * 4
        mask = bytearray()
        for y in range(c.height - 1, -1, -1):
            row = bytearray(mask_row)
            for x in range(c.width):
                if to_bytes(c.alpha[y][x]) < 128:  # transparent where mostly clear
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        images.append(info + bytes(xor) + bytes(mask))
    header = struct.pack("<HHH", 0, 1, len(canvases))
    offset = 6 + 16 * len(canvases)
    entries = b""
    for c, data in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32,
                               len(data), offset)
        offset += len(data)
    return header + entries + b"".join(images)


# ---------------------------------------------------------------------------
# The pictures.

# The stylised barcode of the pictures: the start of a real symbol ("KVN").
EMBLEM_MODULES = code128_modules("KVN")[QUIET_ZONE:-QUIET_ZONE]


def draw_watermark():
    c = Canvas(164, 370)
    c.vertical_gradient(DEEP_BLUE_TOP, DEEP_BLUE_BOTTOM)
    c.radial_light(30, 40, 230, HIGHLIGHT, 0.30)
    c.radial_light(82, 175, 120, (0.10, 0.22, 0.45), 0.35)

    # Faint rows of dots: the scanner's raster.
    for y in range(14, 370, 12):
        for x in range(8, 164, 12):
            c.rect(x, y, x + 1.2, y + 1.2, SOFT_BLUE, 0.10)

    top, bottom = 120.0, 232.0
    left, width = 22.0, 120.0
    bars = bars_from_modules(EMBLEM_MODULES, left, width)

    def bar_shade(y):
        return 1.0 - 0.25 * (y - top) / (bottom - top)

    for x0, x1 in bars:
        c.rect(x0, top, x1, bottom, BAR_WHITE, 0.95, bar_shade)
        # A fading reflection on the "glass" below.
        c.rect(x0, bottom + 4, x1, bottom + 34, BAR_WHITE, 0.22,
               lambda y: clamp(1.0 - (y - bottom - 4) / 30.0))

    # Corner brackets of a scanner's frame around the symbol.
    for (x, y, dx, dy) in ((12, 110, 1, 1), (152, 110, -1, 1), (12, 242, 1, -1),
                           (152, 242, -1, -1)):
        c.rect(min(x, x + 14 * dx), min(y, y + 2 * dy), max(x, x + 14 * dx), max(y, y + 2 * dy),
               SOFT_BLUE, 0.85)
        c.rect(min(x, x + 2 * dx), min(y, y + 14 * dy), max(x, x + 2 * dx), max(y, y + 14 * dy),
               SOFT_BLUE, 0.85)

    c.scan_line(171.0, 4.0, 160.0, 1.6, 3.2, SCAN_RED, fade=14.0)

    word = "KORVANE"
    scale = 2
    x = (164 - text_width(word, scale)) / 2.0
    for r in text_rects(word, x, 296, scale):
        c.rect(*r, WHITE, 0.97)
    line = "BARCODE READER SDK"
    x = (164 - text_width(line, 1)) / 2.0
    for r in text_rects(line, x, 318, 1):
        c.rect(*r, SOFT_BLUE, 0.95)
    c.rect(40, 336, 124, 337, SCAN_RED, 0.8)
    return c


def draw_tile(c, cx, cy, size, background_alpha):
    """The blue tile with white bars and a red scan line, as in the icon.

    Draws into canvas c centred at (cx, cy); with background_alpha the tile's
    coverage goes into the canvas's alpha (icon), else it is blended (header).
    """
    half = size * 0.47
    radius = size * 0.22
    for y in range(c.height):
        for x in range(c.width):
            cov = rounded_rect_coverage(x + 0.5, y + 0.5, cx, cy, half, half, radius)
            t = clamp((y + 0.5 - (cy - half)) / (2 * half))
            colour = lerp((0.145, 0.420, 0.820), (0.035, 0.120, 0.300), t)
            if background_alpha:
                c.rgb[y][x] = list(colour)
                c.alpha[y][x] = cov
            else:
                c.blend(x, y, colour, cov)
    # Bars on a pixel grid so that even 16 pixels stay sharp.
    unit = max(1, int(round(size / 16.0)))
    pattern = "#.##.#.#.##"
    bar_left = int(round(cx - len(pattern) * unit / 2.0))
    bar_top = int(round(cy - size * 0.27))
    bar_bottom = int(round(cy + size * 0.27))
    for i, m in enumerate(pattern):
        if m == "#":
            c.rect(bar_left + i * unit, bar_top, bar_left + (i + 1) * unit, bar_bottom, BAR_WHITE,
                   1.0)
    thickness = float(max(1, int(round(size / 24.0))))
    c.scan_line(math.floor(cy) + 0.5, cx - half + 1.0, cx + half - 1.0, thickness,
                max(0.8, size / 14.0), SCAN_RED, fade=max(1.5, size / 10.0))


def draw_header():
    c = Canvas(48, 49, WHITE)
    draw_tile(c, 24.0, 24.5, 44.0, False)
    return c


def draw_icon(size):
    c = Canvas(size, size)
    draw_tile(c, size / 2.0, size / 2.0, float(size), True)
    return c


def draw_checkboxes():
    white, dark_grey, dark_blue = 15, 8, 4
    width, height = 48, 16
    px = [[white] * width for _ in range(height)]

    def box(offset):
        for i in range(2, 15):
            px[2][offset + i] = dark_grey
            px[14][offset + i] = dark_grey
            px[i][offset + 2] = dark_grey
            px[i][offset + 14] = dark_grey

    box(16)
    box(32)
    # A two-pixel cross inside the second box, the same from either side.
    for k in range(4, 13):
        px[k][32 + k] = dark_blue
        px[k][32 + 16 - k] = dark_blue
    for k in range(4, 12):
        px[k][32 + k + 1] = dark_blue
        px[k][32 + 16 - k - 1] = dark_blue
    return px, width, height


# ---------------------------------------------------------------------------
# Sample barcode images for the SDK's Images folder.

SAMPLES = [
    # file name, text, module pixels, bar height, upside down, low contrast
    ("korvane_sdk.bmp", "KORVANE SDK", 3, 110, False, False),
    ("serial_number.bmp", "SN-2024-000731", 2, 80, False, False),
    ("return_label_upside_down.bmp", "RETURN TO SENDER", 2, 90, True, False),
    ("low_contrast_lot.bmp", "LOT 42/B", 3, 90, False, True),
]


def draw_sample(text, module, bar_height, upside_down, low_contrast):
    modules = code128_modules(text)
    margin = 16
    width = len(modules) * module
    height = margin + bar_height + 8 + 14 + margin
    paper = (0.80, 0.80, 0.78) if low_contrast else WHITE
    ink = (0.36, 0.36, 0.38) if low_contrast else (0.0, 0.0, 0.0)
    c = Canvas(width, height, paper)
    if low_contrast:
        # Uneven light across the label and a little grain (a fixed sequence).
        seed = 12345
        for y in range(height):
            for x in range(width):
                seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
                grain = ((seed >> 16) % 13 - 6) / 255.0
                shade = 0.05 * x / width
                c.rgb[y][x] = [clamp(v - shade + grain) for v in paper]
    for x0, x1 in bars_from_modules(modules, 0, width):
        c.rect(x0, margin, x1, margin + bar_height, ink, 1.0)
    x = (width - text_width(text, 2)) / 2.0
    for r in text_rects(text, x, margin + bar_height + 8, 2):
        c.rect(*r, ink, 1.0)
    if low_contrast:
        soften(c)
    if upside_down:
        c.rgb = [list(reversed(row)) for row in reversed(c.rgb)]
    return c


def soften(c):
    """A slight blur, as ink spreads into paper: weights 1/4, 1/2, 1/4 each way."""
    for _ in range(2):
        rows = c.rgb
        out = []
        for y in range(c.height):
            row = []
            for x in range(c.width):
                left = rows[y][max(0, x - 1)]
                right = rows[y][min(c.width - 1, x + 1)]
                centre = rows[y][x]
                row.append([0.25 * left[i] + 0.5 * centre[i] + 0.25 * right[i] for i in range(3)])
            out.append(row)
        # The second pass runs over the transposed picture.
        c.rgb = [[out[y][x] for y in range(c.height)] for x in range(c.width)]
        c.width, c.height = c.height, c.width


def images_readme():
    lines = [
        "Korvane Barcode Reader SDK - sample images",
        "",
        "Code 128 barcodes to try the runtime on (Samples\\C reads them):",
        "",
    ]
    for name, text, module, _, upside_down, low_contrast in SAMPLES:
        notes = ["%d pixels per module" % module]
        if upside_down:
            notes.append("printed upside down")
        if low_contrast:
            notes.append("grey print on grey paper")
        lines.append("%-30s %-18s (%s)" % (name, '"' + text + '"', ", ".join(notes)))
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


# ---------------------------------------------------------------------------


def outputs():
    files = {
        "wizard/res/watermark.bmp": bmp24(draw_watermark()),
        "wizard/res/header.bmp": bmp24(draw_header()),
        "wizard/res/checkboxes.bmp": bmp4(*draw_checkboxes()),
        "wizard/res/setup.ico": ico([draw_icon(16), draw_icon(32), draw_icon(48)]),
        "sample-sdk/files/Images/ReadMe.txt": images_readme(),
    }
    for name, text, module, height, upside_down, low_contrast in SAMPLES:
        files["sample-sdk/files/Images/" + name] = bmp24(
            draw_sample(text, module, height, upside_down, low_contrast))
    return files


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=root, help="output root (default: the repository)")
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail when a file under the root differs")
    args = parser.parse_args()
    stale = []
    for relative, data in sorted(outputs().items()):
        path = os.path.join(args.out, relative)
        if args.check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(relative)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if stale:
        print("differs from the script's output: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
