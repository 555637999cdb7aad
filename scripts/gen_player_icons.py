#!/usr/bin/env python3
"""Writes the player window's two 16 x 16 icons into resources/: player_loud.ico, a
loud-speaker with a red-orange volume wedge (full volume), and player_mute.ico, the same
loud-speaker under a red prohibition sign (silence). Run again after changing a picture."""
import math
import os

from gen_app_icon import write_icon

CLEAR = (0, 0, 0, 0)
OUTLINE = (40, 40, 48, 255)
BODY = (150, 150, 160, 255)
CONE = (90, 90, 104, 255)


def speaker(x, y):
    """The loud-speaker on the left half: a box and a cone that opens to the right."""
    if 1 <= x <= 4 and 5 <= y <= 10:
        edge = x in (1, 4) or y in (5, 10)
        return OUTLINE if edge else BODY
    if 5 <= x <= 8:
        half = x - 5  # the cone widens one pixel per column
        top, bottom = 5 - half - 1, 10 + half + 1
        if top <= y <= bottom:
            edge = y in (top, bottom) or x == 8
            return OUTLINE if edge else CONE
    return None


def loud(x, y, size):
    s = speaker(x, y)
    if s is not None:
        return s
    if 10 <= x <= 15:
        top = 13 - (x - 9) * 2  # a wedge rising to the right
        if top <= y <= 13:
            edge = y in (top, 13) or x == 15
            return (170, 40, 0, 255) if edge else (250, 100, 20, 255)
    return CLEAR


def mute(x, y, size):
    cx, cy, r = 11.0, 9.0, 4.4
    d = math.hypot(x - cx, y - cy)
    on_ring = r - 1.4 <= d <= r
    # The bar of the sign runs from top left to bottom right inside the ring.
    on_bar = d < r and abs((x - cx) - (y - cy)) <= 0.8
    if on_ring or on_bar:
        return (220, 0, 0, 255)
    s = speaker(x, y)
    return s if s is not None else CLEAR


def main():
    folder = os.path.join(os.path.dirname(__file__), '..', 'resources')
    write_icon(os.path.join(folder, 'player_loud.ico'), [16], loud)
    write_icon(os.path.join(folder, 'player_mute.ico'), [16], mute)


if __name__ == '__main__':
    main()
