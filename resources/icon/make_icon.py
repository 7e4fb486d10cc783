#!/usr/bin/env python3
"""Draws Fenrallo's icon, an orange folder with a pencil laid across it, and writes
resources/fenrallo.ico: 16, 20 and 24 px images in 24-bit colour with a 1-bit mask for the small
icon at 100-150% scaling, and 32, 40, 48 and 64 px ones with an alpha channel. All of them are
stored as PNG, which Windows Vista and later read at any size and which takes a fraction of the
room in the exe; the small ones keep their 24-bit look, every pixel opaque or transparent.

Only the standard library is used so the icon can be remade anywhere Python 3 runs. Shapes are
described in unit coordinates (0..1, y down) and sampled 8 x 8 times per pixel; a pixel is opaque
when at least half of its samples hit a shape, and its colour is the mean of the samples that hit.
24-bit icons have only a 1-bit mask, so their edges are smoothed inside the drawing, not against
the background; in the large images the share of samples that hit is the pixel's opacity.

Usage: python3 resources/icon/make_icon.py [output.ico]
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64)
ALPHA_FROM = 32
SAMPLES = 8

FOLDER_EDGE = (150, 76, 0)
FOLDER_BACK = (226, 118, 12)
FOLDER_FRONT_TOP = (255, 186, 80)
FOLDER_FRONT_BOTTOM = (246, 146, 24)
PENCIL_EDGE = (34, 34, 52)
PENCIL_DARK = (34, 72, 156)
PENCIL_MID = (52, 104, 200)
PENCIL_LIGHT = (98, 148, 232)
WOOD = (242, 204, 146)
GRAPHITE = (58, 58, 64)
FERRULE = (196, 198, 208)
ERASER = (238, 116, 138)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    dx = max(left + radius - x, 0.0, x - (right - radius))
    dy = max(top + radius - y, 0.0, y - (bottom - radius))
    return dx * dx + dy * dy <= radius * radius


def in_tab(x, y, grow):
    """The folder's tab: a slanted-edged strip above the back panel's left half."""
    top, bottom = 0.13 - grow, 0.30
    if not top <= y <= bottom or x < 0.06 - grow:
        return False
    slant_right = 0.40 + grow + (y - top) * 0.6
    return x <= slant_right


def folder_colour(x, y, line):
    front = (0.06, 0.33, 0.94, 0.87)
    if in_rounded_rect(x, y, *front, 0.05):
        if not in_rounded_rect(x, y, front[0] + line, front[1] + line, front[2] - line,
                               front[3] - line, 0.05):
            return FOLDER_EDGE
        t = (y - front[1]) / (front[3] - front[1])
        return tuple(round(a + (b - a) * t) for a, b in zip(FOLDER_FRONT_TOP, FOLDER_FRONT_BOTTOM))
    back = (0.06, 0.22, 0.94, 0.87)
    if in_rounded_rect(x, y, *back, 0.05) or in_tab(x, y, 0.0):
        inner = in_rounded_rect(x, y, back[0] + line, back[1] + line, back[2] - line,
                                back[3] - line, 0.05)
        inner_tab = in_tab(x, y, -line) and x >= 0.06 + line
        return FOLDER_BACK if inner or inner_tab else FOLDER_EDGE
    return None


# The pencil runs from its point at the lower left to its eraser at the upper right.
TIP = (0.13, 0.92)
END = (0.93, 0.20)
LENGTH = math.dist(TIP, END)
AXIS = ((END[0] - TIP[0]) / LENGTH, (END[1] - TIP[1]) / LENGTH)
HALF_WIDTH = 0.085
CONE = 0.20
GRAPHITE_END = 0.07
FERRULE_START = LENGTH - 0.17
ERASER_START = LENGTH - 0.11
CONE_SLOPE = HALF_WIDTH / CONE


def pencil_colour(x, y, line):
    u = (x - TIP[0]) * AXIS[0] + (y - TIP[1]) * AXIS[1]
    v = (x - TIP[0]) * -AXIS[1] + (y - TIP[1]) * AXIS[0]
    side = abs(v)
    slant_grow = line * math.sqrt(1 + CONE_SLOPE * CONE_SLOPE)
    if u < -line or u > LENGTH + line or side > HALF_WIDTH + line:
        return None
    if u < CONE and side > u * CONE_SLOPE + slant_grow:
        return None
    # Round the eraser's end.
    if u > LENGTH - HALF_WIDTH and math.hypot(u - (LENGTH - HALF_WIDTH), side) > HALF_WIDTH + line:
        return None
    inside = (u >= 0 and u <= LENGTH and side <= HALF_WIDTH
              and (u >= CONE or side <= u * CONE_SLOPE)
              and (u <= LENGTH - HALF_WIDTH
                   or math.hypot(u - (LENGTH - HALF_WIDTH), side) <= HALF_WIDTH))
    if not inside:
        return PENCIL_EDGE
    if u < CONE:
        if u < GRAPHITE_END:
            return GRAPHITE
        return PENCIL_EDGE if side > u * CONE_SLOPE - line * 0.8 else WOOD
    if u >= ERASER_START:
        return ERASER
    if u >= FERRULE_START:
        return FERRULE if abs(u - (FERRULE_START + ERASER_START) / 2) > line * 0.5 else PENCIL_EDGE
    if v < -HALF_WIDTH / 3:
        return PENCIL_LIGHT
    if v > HALF_WIDTH / 3:
        return PENCIL_DARK
    return PENCIL_MID


def sample(x, y, line):
    colour = pencil_colour(x, y, line)
    if colour is None:
        colour = folder_colour(x, y, line)
    return colour


def render(size):
    """Rows of ((r, g, b), coverage) or None for transparent, top row first."""
    line = max(0.022, 0.9 / size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = sample((px + (sx + 0.5) / SAMPLES) / size,
                                    (py + (sy + 0.5) / SAMPLES) / size, line)
                    if colour is not None:
                        hits.append(colour)
            if not hits:
                row.append(None)
            else:
                colour = tuple(round(sum(c[i] for c in hits) / len(hits)) for i in range(3))
                row.append((colour, len(hits) / (SAMPLES * SAMPLES)))
        rows.append(row)
    return rows


def png(rows, alpha):
    """An icon image as a PNG file: 8-bit RGBA, no filter, deflated as hard as zlib can. Without
    `alpha` a pixel is opaque when at least half of it is covered, as under a 1-bit mask."""
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for pixel in row:
            if pixel is None or (not alpha and pixel[1] < 0.5):
                raw += bytes((0, 0, 0, 0))
            else:
                raw += bytes((*pixel[0], round(pixel[1] * 255) if alpha else 255))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def icon(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = bytearray()
    data = bytearray()
    for size, bits, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(image),
                               offset + len(data))
        data += image
    return directory + entries + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "fenrallo.ico")
    with open(target, "wb") as out:
        out.write(icon([(size, 32 if size >= ALPHA_FROM else 24,
                         png(render(size), size >= ALPHA_FROM)) for size in SIZES]))


if __name__ == "__main__":
    main()
