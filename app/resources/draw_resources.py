#!/usr/bin/env python3
"""Draws the program's icon (a gold star over a folded blue sheet) and its
hand pointer, and writes them as starfold.ico and hand.cur beside this file.
Run it again after changing a drawing; both outputs are kept in the tree."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def inside(polygon, x, y):
    """Even-odd rule: is the point inside the polygon (a list of (x, y))?"""
    result = False
    j = len(polygon) - 1
    for i in range(len(polygon)):
        xi, yi = polygon[i]
        xj, yj = polygon[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def star(cx, cy, outer, inner):
    points = []
    for k in range(10):
        radius = outer if k % 2 == 0 else inner
        angle = -math.pi / 2 + k * math.pi / 5
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


# The drawing on a unit square, front to back: (polygon, (r, g, b)).
SHEET = [(0.08, 0.14), (0.66, 0.14), (0.92, 0.40), (0.92, 0.92), (0.08, 0.92)]
FOLD = [(0.66, 0.14), (0.66, 0.40), (0.92, 0.40)]
LAYERS = [
    (star(0.47, 0.56, 0.40, 0.16), (250, 196, 32)),
    (star(0.47, 0.56, 0.45, 0.19), (120, 72, 8)),
    (FOLD, (150, 196, 240)),
    (SHEET, (34, 84, 160)),
]


def icon_pixels(size, samples=4):
    """Rows top to bottom of (r, g, b, a), antialiased by supersampling."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            totals = [0, 0, 0]
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    for polygon, colour in LAYERS:
                        if inside(polygon, x, y):
                            for c in range(3):
                                totals[c] += colour[c]
                            covered += 1
                            break
            n = samples * samples
            if covered:
                row.append(tuple(t // covered for t in totals) + (covered * 255 // n,))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def mask_rows(rows, transparent):
    """A 1-bit AND mask, bottom-up, each row padded to 32 bits."""
    data = b""
    for row in reversed(rows):
        bits = 0
        stride = (len(row) + 31) // 32 * 4
        value = bytearray(stride)
        for x, pixel in enumerate(row):
            if transparent(pixel):
                value[x // 8] |= 0x80 >> (x % 8)
        data += bytes(value)
    return data


def icon_image(size):
    rows = icon_pixels(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    return header + xor + mask_rows(rows, lambda p: p[3] == 0)


def write_icon(path, sizes=(16, 32, 48)):
    images = [icon_image(size) for size in sizes]
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(data + b"".join(images))


# A pointing hand, 32 by 32: X outline, o fill, anything else transparent.
HAND = """
      XX
     XooX
     XooX
     XooX
     XooX
     XooXXX
     XooXooXXX
     XooXooXooXX
     XooXooXooXoX
 XXX XooXooXooXoX
 XooXXoooooooooX
 XoooXoooooooooX
  XooXoooooooooX
   XoXoooooooooX
   XooooooooooX
    XoooooooooX
    XoooooooooX
     XoooooooX
     XoooooooX
      XooooooX
      XXXXXXXX
"""
HAND_HOTSPOT = (6, 1)


def write_cursor(path, size=32):
    art = HAND.strip("\n").split("\n")
    art += [""] * (size - len(art))
    rows = [[(line + " " * size)[x] for x in range(size)] for line in art[:size]]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    # Monochrome: the XOR mask picks white where the AND mask keeps the pixel.
    xor = mask_rows(rows, lambda p: p == "o")
    image = header + palette + xor + mask_rows(rows, lambda p: p not in "Xo")
    data = struct.pack("<HHH", 0, 2, 1)
    data += struct.pack("<BBBBHHII", size, size, 2, 0, HAND_HOTSPOT[0], HAND_HOTSPOT[1], len(image), 22)
    with open(path, "wb") as out:
        out.write(data + image)


if __name__ == "__main__":
    write_icon(os.path.join(HERE, "starfold.ico"))
    write_cursor(os.path.join(HERE, "hand.cur"))
