#!/usr/bin/env python3
"""Writes the About box's pictures into app/dialogs/: about_logo.bmp (the program's disc logo)
and two 88 x 31 badges for the audio libraries it credits. 24-bit bitmaps; run again after
changing a picture."""
import math
import os
import struct

# A 5 x 7 pixel font for the badge texts.
FONT = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'G': ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    ' ': ["00000"] * 7,
}


def write_bmp(path, width, height, pixel):
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (row_size - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def logo(x, y, size=96):
    c = (size - 1) / 2.0
    r = math.hypot(x - c, y - c) / (size / 2.0)
    if r > 0.98 or r < 0.14:
        return (255, 255, 255)
    if r < 0.20 or r > 0.92:
        return (96, 96, 104)
    if r < 0.42:
        return (40, 90, 200)
    angle = math.atan2(y - c, x - c)
    shine = 0.5 + 0.5 * math.cos(2 * (angle - math.pi / 4))
    v = int(170 + 70 * shine)
    return (v, v, min(255, v + 12))


def badge(text, top, bottom):
    width, height = 88, 31
    text_w = len(text) * 6 - 1
    x0, y0 = (width - text_w) // 2, (height - 7) // 2

    def pixel(x, y):
        if x in (0, width - 1) or y in (0, height - 1):
            return (64, 64, 64)
        i, dx = divmod(x - x0, 6)
        if 0 <= i < len(text) and dx < 5 and 0 <= y - y0 < 7 and x >= x0:
            if FONT[text[i]][y - y0][dx] == '1':
                return (255, 255, 255)
        t = y / (height - 1)
        return tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))

    return width, height, pixel


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'app', 'dialogs')
    write_bmp(os.path.join(out, 'about_logo.bmp'), 96, 96, logo)
    for name, text, top, bottom in (('about_vorbis.bmp', 'OGG VORBIS', (250, 170, 60), (190, 90, 20)),
                                    ('about_lame.bmp', 'LAME', (90, 150, 90), (30, 90, 40))):
        w, h, pixel = badge(text, top, bottom)
        write_bmp(os.path.join(out, name), w, h, pixel)


if __name__ == '__main__':
    main()
