#!/usr/bin/env python3
"""Writes resources/sonoria3.ico: the program's icon, a silver disc with a blue label ring,
at 16, 32 and 48 pixels (32-bit images with alpha). Run again after changing the picture.
write_icon serves the other icon scripts."""
import math
import os
import struct


def pixel(x, y, size):
    c = (size - 1) / 2.0
    r = math.hypot(x - c, y - c) / (size / 2.0)
    if r > 0.98:
        return (0, 0, 0, 0)
    if r < 0.14:
        return (0, 0, 0, 0)  # the centre hole
    if r < 0.20 or r > 0.92:
        return (96, 96, 104, 255)  # rims
    if r < 0.42:
        return (40, 90, 200, 255)  # label ring
    # Silver surface with a light sweep along the diagonal.
    angle = math.atan2(y - c, x - c)
    shine = 0.5 + 0.5 * math.cos(2 * (angle - math.pi / 4))
    v = int(170 + 70 * shine)
    return (v, v, min(255, v + 12), 255)


def image(size, pixel_of):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        for x in range(size):
            r, g, b, a = pixel_of(x, y, size)
            rows.append(struct.pack('BBBB', b, g, r, a))
    xor = b''.join(rows)
    # The AND mask stays clear: alpha decides. Displays without alpha show the colour.
    mask_row = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_row * size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + xor + mask


def write_icon(path, sizes, pixel_of):
    """An .ico file with one 32-bit image per size; pixel_of(x, y, size) gives (r, g, b, a)."""
    images = [image(s, pixel_of) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


def main():
    write_icon(os.path.join(os.path.dirname(__file__), '..', 'resources', 'sonoria3.ico'),
               [16, 32, 48], pixel)


if __name__ == '__main__':
    main()
