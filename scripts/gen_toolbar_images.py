#!/usr/bin/env python3
"""Writes the main toolbar's pictures into resources/: toolbar.bmp (the buttons) and
toolbar_disabled.bmp (the same, greyed), one 32 x 32 image per button in toolbar order, 24-bit
with magenta (255, 0, 255) where the button face shows through. Run again after changing a
picture."""
import math
import os

from gen_about_images import write_bmp

SIZE = 32
MASK = (255, 0, 255)
FACE = (212, 208, 200)  # what half-covered edge pixels are blended with
SAMPLES = 4             # per axis, for smooth edges


# --- shapes: each is a function (x, y) -> bool over the 32 x 32 square ---

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                hit = not hit
        return hit
    return inside


def line(xa, ya, xb, yb, width):
    def inside(x, y):
        dx, dy = xb - xa, yb - ya
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy)))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2.0) ** 2
    return inside


def arc(cx, cy, r, width, a0, a1):
    """A ring segment from angle a0 to a1 (degrees, counter-clockwise, y down)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2.0:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        lo, hi = a0 % 360, a1 % 360
        return lo <= a <= hi if lo <= hi else a >= lo or a <= hi
    return inside


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# --- the pictures: layers of (shape, colour), later layers on top ---

DARK = (40, 40, 48)
WHITE = (255, 255, 255)
SILVER = (200, 204, 214)
BLUE = (40, 96, 200)
GREEN = (40, 160, 60)
RED = (200, 50, 40)
ORANGE = (240, 150, 30)
YELLOW = (244, 200, 60)


def disc(cx, cy, r):
    return [(circle(cx, cy, r), (120, 124, 136)), (circle(cx, cy, r - 1), SILVER),
            (ring(cx, cy, r * 0.75, r * 0.45), (170, 190, 230)),
            (circle(cx, cy, r * 0.3), (120, 124, 136)), (circle(cx, cy, r * 0.18), MASK)]


def check_box(x, y, checked):
    layers = [(rect(x, y, x + 9, y + 9), DARK), (rect(x + 1, y + 1, x + 8, y + 8), WHITE)]
    if checked:
        layers += [(line(x + 2, y + 5, x + 4, y + 7.5, 2), GREEN),
                   (line(x + 4, y + 7.5, x + 8, y + 2, 2), GREEN)]
    return layers


def list_rows(marks):
    layers = []
    for i, mark in enumerate(marks):
        y = 2 + i * 10
        layers += check_box(2, y, mark)
        layers.append((rect(15, y + 3, 29, y + 6), (90, 90, 100)))
    return layers


def refresh():
    return disc(14, 16, 12) + [
        (arc(20, 20, 8, 3.2, 200, 90), GREEN),
        (polygon([(20, 7), (26, 12), (20, 16)]), GREEN)]


def play():
    return [(circle(16, 16, 14), (30, 110, 40)), (circle(16, 16, 12.5), GREEN),
            (polygon([(12, 8), (24, 16), (12, 24)]), WHITE)]


def rip():
    return disc(13, 13, 11) + [
        (rect(22, 12, 27, 22), ORANGE),
        (polygon([(17, 21), (32, 21), (24.5, 30)]), ORANGE)]


def database():
    layers = []
    for y in (22, 15, 8):  # the lowest disc first
        layers += [(rect(6, y, 26, y + 5), (40, 80, 170)), (ellipse(16, y + 5, 10, 3.5), (40, 80, 170)),
                   (ellipse(16, y, 10, 3.5), (110, 160, 240))]
    return layers


def magnifier():
    return [(line(19, 19, 28, 28, 5), (90, 60, 30)), (circle(13, 13, 10), DARK),
            (circle(13, 13, 8), (190, 220, 250)), (arc(13, 13, 5, 1.6, 100, 170), WHITE)]


def cart():
    return [(line(2, 6, 7, 6, 2), DARK), (line(7, 6, 10, 21, 2), DARK),
            (polygon([(8, 9), (29, 9), (26, 19), (10, 19)]), BLUE),
            (line(10, 22, 26, 22, 2), DARK),
            (circle(12, 26, 2.5), DARK), (circle(24, 26, 2.5), DARK)]


def bubble():
    return [(round_rect(2, 4, 30, 23, 5), (50, 80, 160)),
            (polygon([(8, 22), (8, 29), (15, 22)]), (50, 80, 160)),
            (round_rect(3, 5, 29, 22, 4), (70, 110, 200)),
            (circle(10, 13.5, 2), WHITE), (circle(16, 13.5, 2), WHITE), (circle(22, 13.5, 2), WHITE)]


def gear():
    teeth = []
    for i in range(8):
        a = i * math.pi / 4
        teeth.append((line(16 + 8 * math.cos(a), 16 + 8 * math.sin(a),
                           16 + 13 * math.cos(a), 16 + 13 * math.sin(a), 5), (90, 96, 110)))
    return teeth + [(circle(16, 16, 10), (90, 96, 110)), (circle(16, 16, 8.5), (150, 156, 170)),
                    (circle(16, 16, 4), MASK)]


def folder():
    return [(polygon([(2, 7), (11, 7), (14, 10), (29, 10), (29, 27), (2, 27)]), (190, 140, 30)),
            (polygon([(3, 8), (10.5, 8), (13.5, 11), (28, 11), (28, 26), (3, 26)]), YELLOW),
            (polygon([(2, 14), (30, 14), (28, 27), (2, 27)]), (250, 215, 100)),
            (line(2, 14, 30, 14, 1), (190, 140, 30))]


def film():
    layers = [(rect(3, 3, 21, 29), DARK), (rect(7, 6, 17, 15), (120, 170, 230)),
              (rect(7, 17, 17, 26), (120, 170, 230))]
    for y in range(5, 29, 4):
        layers += [(rect(4, y, 5, y + 1), WHITE), (rect(19, y, 20, y + 1), WHITE)]
    return layers + [(rect(23, 8, 28, 19), GREEN), (polygon([(19, 18), (32, 18), (25.5, 27)]), GREEN)]


def manual():
    return [(polygon([(4, 5), (16, 8), (16, 29), (4, 26)]), (30, 70, 150)),
            (polygon([(28, 5), (16, 8), (16, 29), (28, 26)]), (40, 90, 190)),
            (polygon([(5, 6), (15.5, 8.8), (15.5, 27), (5, 24.5)]), WHITE),
            (polygon([(27, 6), (16.5, 8.8), (16.5, 27), (27, 24.5)]), (235, 240, 250)),
            (line(7, 12, 13, 13.5, 1.2), (120, 120, 130)), (line(7, 16, 13, 17.5, 1.2), (120, 120, 130)),
            (line(7, 20, 13, 21.5, 1.2), (120, 120, 130)), (line(19, 13.5, 25, 12, 1.2), (120, 120, 130)),
            (line(19, 17.5, 25, 16, 1.2), (120, 120, 130)), (line(19, 21.5, 25, 20, 1.2), (120, 120, 130))]


def about():
    return [(circle(16, 16, 14), (30, 70, 160)), (circle(16, 16, 12.5), BLUE),
            (circle(16, 9.5, 2.2), WHITE), (rect(14, 13.5, 18, 24), WHITE),
            (rect(12, 22.5, 20, 24.5), WHITE), (rect(12, 13.5, 16, 15), WHITE)]


# In toolbar order: 57600, 32788, 32789, 32790, 32838, 32779, 32819, 32794, 32798, 32804,
# 32785, 32845, 32840, 32799, 57664.
PICTURES = [refresh, lambda: list_rows([1, 1, 1]), lambda: list_rows([0, 0, 0]),
            lambda: list_rows([1, 0, 1]), play, rip, database, magnifier, cart, bubble, gear,
            folder, film, manual, about]


def render(layers):
    """Colour per pixel, or None where nothing covers at least half of it."""
    image = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px, py = x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES
                    colour = None
                    for shape, c in layers:
                        if shape(px, py):
                            colour = c
                    if colour is not None and colour != MASK:
                        covered += 1
                        acc = [a + v for a, v in zip(acc, colour)]
            n = SAMPLES * SAMPLES
            if covered * 2 < n:
                row.append(None)
            else:
                row.append(tuple(int((a + f * (n - covered)) / n) for a, f in zip(acc, FACE)))
        image.append(row)
    return image


def grey(colour):
    lum = 0.3 * colour[0] + 0.59 * colour[1] + 0.11 * colour[2]
    v = int(128 + lum * 0.3)
    return (v, v, v)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
    images = [render(make()) for make in PICTURES]
    width = SIZE * len(images)

    def normal(x, y):
        c = images[x // SIZE][y][x % SIZE]
        return MASK if c is None else c

    def disabled(x, y):
        c = images[x // SIZE][y][x % SIZE]
        return MASK if c is None else grey(c)

    write_bmp(os.path.join(out, 'toolbar.bmp'), width, SIZE, normal)
    write_bmp(os.path.join(out, 'toolbar_disabled.bmp'), width, SIZE, disabled)


if __name__ == '__main__':
    main()
