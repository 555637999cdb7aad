#!/usr/bin/env python3
"""Writes propgrid/propgrid_images.rc: the grid's built-in 32-bit images as RCDATA records
(width, height, then top-first rows of 0x00RRGGBB pixels). Run again after changing a picture."""
import os

def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))

def dots_frame(face_top, face_bottom):
    w, h, border = 20, 19, (0, 60, 116)
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            corner = (x in (0, w - 1)) and (y in (0, h - 1))
            edge = x in (0, w - 1) or y in (0, h - 1)
            if corner:
                row.append((255, 255, 255))
            elif edge or ((x in (1, w - 2)) and (y in (1, h - 2))):
                row.append(border)
            else:
                row.append(blend(face_top, face_bottom, y / (h - 1)))
        rows.append(row)
    return rows

def dots_strip():
    frames = [dots_frame((252, 252, 252), (224, 228, 236)),   # normal
              dots_frame((236, 246, 255), (196, 222, 250)),   # hover
              dots_frame((196, 210, 228), (232, 238, 246))]   # pressed
    return 60, 19, [sum((f[y] for f in frames), []) for y in range(19)]

CHECK_MARK = {(3, 6), (3, 7), (4, 7), (4, 8), (5, 8), (5, 9), (6, 8), (6, 7), (7, 6),
              (7, 5), (8, 5), (8, 4), (9, 3), (4, 6), (5, 7), (6, 6), (7, 4), (8, 3)}

def check(enabled, mark):
    border = (28, 81, 128) if enabled else (202, 200, 187)
    tick = (33, 161, 33) if enabled else (170, 168, 160)
    rows = []
    for y in range(13):
        row = []
        for x in range(13):
            if x in (0, 12) or y in (0, 12):
                row.append(border)
            elif mark and (x, y) in CHECK_MARK:
                row.append(tick)
            elif enabled:
                row.append(blend((220, 222, 214), (255, 255, 255), (x + y) / 22))
            else:
                row.append((255, 255, 255))
        rows.append(row)
    return 13, 13, rows

def rcdata(name, image):
    w, h, rows = image
    values = ["%dL" % w, "%dL" % h]
    for row in rows:
        values += ["0x%06XL" % ((r << 16) | (g << 8) | b) for r, g, b in row]
    lines = [", ".join(values[i:i + 8]) for i in range(0, len(values), 8)]
    return "%s RCDATA\n{\n    %s\n}\n" % (name, ",\n    ".join(lines))

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "..", "propgrid", "propgrid_images.rc")
with open(out, "w") as f:
    f.write("// The property grid's built-in images; written by scripts/gen_propgrid_images.py.\n")
    f.write('#include "propgrid/propgrid_res.h"\n\nLANGUAGE 0x09, 0x01\n\n')
    f.write(rcdata("IDR_PG_DOTS_BUTTON", dots_strip()))
    f.write(rcdata("IDR_PG_CHECK_ON", check(True, True)))
    f.write(rcdata("IDR_PG_CHECK_OFF", check(True, False)))
    f.write(rcdata("IDR_PG_CHECK_ON_DISABLED", check(False, True)))
    f.write(rcdata("IDR_PG_CHECK_OFF_DISABLED", check(False, False)))
