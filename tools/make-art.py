#!/usr/bin/env python3
"""Draws the module's pictures: the logo bitmap (128 x 85, 4 bits per pixel,
uncompressed) and icon 100 (32 x 32, 4 bits per pixel): a power sign and three
bars that fall away like the display's power stages."""
import math
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREEN, BRIGHT_GREEN, YELLOW, GREY, WHITE = 0, 2, 10, 11, 8, 15


def draw(width, height, scale):
    pixels = [[BLACK] * width for _ in range(height)]
    cx, cy = 42 * scale, 42 * scale
    outer, inner = 30 * scale, 23 * scale
    for y in range(height):
        for x in range(width):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            r = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(dx, -dy))
            if inner <= r <= outer and abs(angle) > 35:
                pixels[y][x] = BRIGHT_GREEN
            if abs(dx) <= 3.5 * scale and -34 * scale <= dy <= -6 * scale:
                pixels[y][x] = WHITE
    if scale == 1:
        for i, (top, colour) in enumerate([(22, YELLOW), (38, GREEN), (54, GREY)]):
            for y in range(top, top + 10):
                for x in range(82, 122 - 10 * i):
                    pixels[y][x] = colour
    return pixels


def packed_rows(pixels):
    rows = []
    for row in reversed(pixels):  # bottom-up
        data = bytearray()
        for x in range(0, len(row), 2):
            data.append((row[x] << 4) | (row[x + 1] if x + 1 < len(row) else 0))
        while len(data) % 4:
            data.append(0)
        rows.append(bytes(data))
    return b"".join(rows)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 2835, 2835, 16, 16)


def bitmap(path):
    pixels = draw(128, 85, 1)
    bits = packed_rows(pixels)
    offset = 14 + 40 + 64
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset))
        f.write(info_header(128, 85, len(bits)) + palette_bytes() + bits)


def icon(path):
    pixels = draw(32, 32, 32 / 84)
    xor = packed_rows(pixels)
    mask = b"\0" * (4 * 32)
    image = info_header(32, 64, len(xor) + len(mask)) + palette_bytes() + xor + mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16))
        f.write(image)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "src/resources"
    bitmap(folder + "/logo.bmp")
    icon(folder + "/kelvorin.ico")
