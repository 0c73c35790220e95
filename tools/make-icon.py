#!/usr/bin/env python3
"""Draws the player's application icon and writes it as a Windows .ico file.

The picture is a rounded square with a blue gradient and a white "play"
triangle, rendered at 16, 20, 24, 32, 40, 48 and 64 pixels as 32-bit images
with an alpha channel (and the 1-bit mask older systems use), and at 256
pixels as a PNG inside the .ico, the usual form for that size (Explorer's
large icons and 150 % scaling use it). Only the standard library is used, and
the output is the same on every run (the PNG has no time or text chunks and
is compressed at a fixed level), so the committed icon can be checked against
a fresh one.

    tools/make-icon.py [OUTPUT]    (default: src/runner/player.ico)
"""

import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256  # sizes from this one on are stored as PNG
SUBSAMPLES = 4  # per axis, for smooth edges

TOP_COLOUR = (0x3A, 0x8D, 0xF0)
BOTTOM_COLOUR = (0x12, 0x3F, 0x9C)
TRIANGLE_COLOUR = (0xFF, 0xFF, 0xFF)


def inside_rounded_square(x, y, radius):
    """(x, y) in the unit square; corners rounded with `radius`."""
    if not (0.0 <= x <= 1.0 and 0.0 <= y <= 1.0):
        return False
    cx = min(max(x, radius), 1.0 - radius)
    cy = min(max(y, radius), 1.0 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def inside_triangle(x, y):
    """A right-pointing triangle, optically centred in the unit square."""
    left, right, top, bottom = 0.36, 0.74, 0.27, 0.73
    if x < left or x > right:
        return False
    half = (bottom - top) / 2.0 * (right - x) / (right - left)
    middle = (top + bottom) / 2.0
    return middle - half <= y <= middle + half


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def render(size):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    step = 1.0 / (size * SUBSAMPLES)
    # A one-pixel margin keeps the shape off the edge at every size.
    inset = 1.0 / size
    scale = 1.0 - 2.0 * inset
    for py in range(size):
        row = []
        for px in range(size):
            cover = 0
            mark = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (px * SUBSAMPLES + sx + 0.5) * step
                    y = (py * SUBSAMPLES + sy + 0.5) * step
                    ux = (x - inset) / scale
                    uy = (y - inset) / scale
                    if inside_rounded_square(ux, uy, 0.2):
                        cover += 1
                        if inside_triangle(ux, uy):
                            mark += 1
            total = SUBSAMPLES * SUBSAMPLES
            if cover == 0:
                row.append((0, 0, 0, 0))
                continue
            background = mix(TOP_COLOUR, BOTTOM_COLOUR, (py + 0.5) / size)
            colour = mix(background, TRIANGLE_COLOUR, mark / cover)
            row.append(colour + (round(255 * cover / total),))
        rows.append(row)
    return rows


def icon_image(size):
    """One image of an icon resource: header, colour bits, mask bits."""
    rows = render(size)
    mask_stride = ((size + 31) // 32) * 4
    colour_bits = bytearray()
    mask_bits = bytearray()
    for row in reversed(rows):  # bottom-up
        mask_row = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            colour_bits += bytes((b, g, r, a))
            if a == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask_bits += mask_row
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # header size
        size,
        size * 2,  # colour and mask images together
        1,  # planes
        32,  # bits per pixel
        0,  # no compression
        len(colour_bits) + len(mask_bits),
        0,
        0,
        0,
        0,
    )
    return header + bytes(colour_bits) + bytes(mask_bits)


def png_image(size):
    """One image as a PNG: 8-bit RGBA, no interlacing, only the chunks it needs."""
    rows = render(size)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file():
    images = [png_image(size) if size >= PNG_FROM else icon_image(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        # The directory's one-byte width and height say 0 for 256.
        side = size % 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "runner", "player.ico")
    with open(output, "wb") as file:
        file.write(icon_file())


if __name__ == "__main__":
    main()
