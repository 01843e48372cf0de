#!/usr/bin/env python3
"""Draws the installer's icons: a key cap with an accent stroke.

Writes .ico files with palette images (4 and 8 bits per pixel) and their
transparency masks. Usage: gen-icons.py OUT.ico SIZE:BPP [SIZE:BPP ...]
"""
import struct
import sys

# The 16 colours every 4-bit display has.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

BORDER = (64, 64, 64)
SIDE = (160, 160, 160)
TOP = (240, 240, 240)
ACCENT = (200, 0, 0)


def inside_round_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def on_stroke(x, y):
    """The accent: a short slanted bar from lower left to upper right."""
    x0, y0, x1, y1 = 0.40, 0.62, 0.62, 0.24
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    px, py = x0 + t * dx, y0 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= 0.075 ** 2


def shade(x, y):
    """Colour at a point of the unit square, or None outside the cap."""
    if not inside_round_rect(x, y, 0.04, 0.04, 0.96, 0.96, 0.16):
        return None
    if not inside_round_rect(x, y, 0.09, 0.09, 0.91, 0.91, 0.13):
        return BORDER
    if not inside_round_rect(x, y, 0.20, 0.14, 0.80, 0.76, 0.10):
        return SIDE
    return ACCENT if on_stroke(x, y) else TOP


def render(size):
    """Rows of colours (None = transparent), top row first, 4x4 samples a pixel."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            samples = [shade((px + (i + 0.5) / 4) / size, (py + (j + 0.5) / 4) / size)
                       for i in range(4) for j in range(4)]
            inked = [s for s in samples if s is not None]
            if len(inked) < 8:
                row.append(None)
                continue
            row.append(tuple(sum(c[k] for c in inked) // len(inked) for k in range(3)))
        rows.append(row)
    return rows


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def palette_for(bpp, rows):
    if bpp == 4:
        return VGA
    colours = sorted({c for row in rows for c in row if c is not None})
    palette = [(0, 0, 0)] + colours
    if len(palette) > 256:
        raise SystemExit("too many colours for 8 bits per pixel")
    return palette + [(0, 0, 0)] * (256 - len(palette))


def pack_row(values, bits):
    """One bitmap row, padded to a multiple of 4 bytes."""
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(values), per_byte):
        byte = 0
        for j, v in enumerate(values[i:i + per_byte]):
            byte |= v << (8 - bits * (j + 1))
        out.append(byte)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def image(size, bpp):
    rows = render(size)
    palette = palette_for(bpp, rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 1 << bpp, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    xor = b"".join(pack_row([0 if c is None else nearest(palette, c) for c in row], bpp)
                   for row in reversed(rows))
    mask = b"".join(pack_row([1 if c is None else 0 for c in row], 1) for row in reversed(rows))
    return header + colours + xor + mask


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    formats = [tuple(int(v) for v in size_depth.split(":")) for size_depth in argv[2:]]
    images = [image(size, bpp) for size, bpp in formats]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bpp), data in zip(formats, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bpp == 4 else 0, 0, 1, bpp,
                           len(data), offset)
        offset += len(data)
    with open(argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv)
