#!/usr/bin/env python3
"""Draws the program icon: a satellite on an orbit around the Earth.

The design is laid out on a 64 x 64 grid; every size is drawn from it by
sampling the design at that size's pixels, never by scaling another image.
Writes PNGs in 24-bit colour (no alpha channel, every pixel opaque) with
scripts/rgb_png.py, using only the standard library. Run from anywhere:

    python3 resources/make_icon.py                 # writes resources/varnholt.png (64 x 64)
    python3 resources/make_icon.py other.png
    python3 resources/make_icon.py --size 256 big.png
    python3 resources/make_icon.py --ico varnholt.ico  # 16, 32 and 64 in one Windows icon
"""

import argparse
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import rgb_png  # noqa: E402

SIZE = 64
SAMPLES = 4  # per axis: 16 samples per pixel smooth the edges

SPACE_TOP = (10, 18, 52)
SPACE_BOTTOM = (24, 40, 92)
ORBIT = (250, 214, 90)
OCEAN = (40, 110, 200)
LAND = (70, 160, 80)
BODY = (225, 225, 230)
BODY_EDGE = (90, 90, 100)
PANEL = (50, 90, 170)
PANEL_LINE = (180, 200, 240)

CENTRE = (32.0, 34.0)
ORBIT_A, ORBIT_B = 27.0, 11.0
ORBIT_TILT = math.radians(-24.0)
SATELLITE_ANGLE = math.radians(-38.0)


def orbit_point(angle):
    x, y = ORBIT_A * math.cos(angle), ORBIT_B * math.sin(angle)
    c, s = math.cos(ORBIT_TILT), math.sin(ORBIT_TILT)
    return CENTRE[0] + x * c - y * s, CENTRE[1] + x * s + y * c


def orbit_distance(px, py):
    """Approximate distance of a point from the orbit ellipse, in pixels."""
    dx, dy = px - CENTRE[0], py - CENTRE[1]
    c, s = math.cos(-ORBIT_TILT), math.sin(-ORBIT_TILT)
    x, y = dx * c - dy * s, dx * s + dy * c
    value = (x / ORBIT_A) ** 2 + (y / ORBIT_B) ** 2 - 1.0
    gx, gy = 2 * x / ORBIT_A**2, 2 * y / ORBIT_B**2
    return abs(value) / max(math.hypot(gx, gy), 1e-9)


def in_front(py):
    """The half of the orbit below the Earth's centre line passes in front of it."""
    return py > CENTRE[1]


SAT = orbit_point(SATELLITE_ANGLE)
SAT_AXIS = math.radians(-24.0)  # solar panels along the orbit's tilt


def satellite_colour(px, py):
    dx, dy = px - SAT[0], py - SAT[1]
    c, s = math.cos(-SAT_AXIS), math.sin(-SAT_AXIS)
    u, v = dx * c - dy * s, dx * s + dy * c
    if abs(u) <= 3.5 and abs(v) <= 3.5:
        return BODY_EDGE if max(abs(u), abs(v)) > 2.6 else BODY
    if 4.5 <= abs(u) <= 13.5 and abs(v) <= 3.0:
        if abs(abs(u) - 9.0) < 0.5 or abs(v) < 0.35:
            return PANEL_LINE
        return PANEL
    if 3.5 < abs(u) < 4.5 and abs(v) < 0.6:
        return BODY_EDGE
    return None


def earth_colour(px, py):
    dx, dy = px - CENTRE[0], py - CENTRE[1]
    r = math.hypot(dx, dy)
    if r > 12.5:
        return None
    # Two rough continents, shaded towards the lower right.
    land = (dx + 3) ** 2 / 30 + (dy + 4) ** 2 / 18 < 1 or (dx - 5) ** 2 / 14 + (dy - 5) ** 2 / 26 < 1
    base = LAND if land else OCEAN
    shade = 1.0 - 0.45 * max(0.0, (dx + dy) / (12.5 * 1.5))
    return tuple(int(ch * shade) for ch in base)


def star(px, py):
    for sx, sy in ((7, 8), (54, 6), (12, 52), (58, 49), (45, 14), (6, 30), (26, 5)):
        if abs(px - sx - 0.5) < 0.6 and abs(py - sy - 0.5) < 0.6:
            return True
    return False


def sample(px, py):
    sat = satellite_colour(px, py)
    if sat:
        return sat
    on_orbit = orbit_distance(px, py) < 0.9
    if on_orbit and in_front(py):
        return ORBIT
    earth = earth_colour(px, py)
    if earth:
        return earth
    if on_orbit:
        return ORBIT
    if star(px, py):
        return (255, 255, 255)
    t = py / SIZE
    return tuple(int(a + (b - a) * t) for a, b in zip(SPACE_TOP, SPACE_BOTTOM))


def render(size=SIZE):
    scale = SIZE / size
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            acc = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = sample((x + (sx + 0.5) / SAMPLES) * scale,
                                    (y + (sy + 0.5) / SAMPLES) * scale)
                    for i in range(3):
                        acc[i] += colour[i]
            row.extend(round(a / SAMPLES**2) for a in acc)
        rows.append(bytes(row))
    return rows


ICO_SIZES = (16, 32, 64)


def ico_image(size, rows):
    """One icon image as Windows stores it: a 24-bit bottom-up bitmap of twice
    the height (the colour rows, then the mask), with an all-clear mask, so
    every pixel is opaque. Rows are padded to four bytes."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for x in range(size):
            r, g, b = row[3 * x:3 * x + 3]
            colour += bytes((b, g, r))
        colour += bytes(-len(colour) % 4)
    mask_row = (size + 31) // 32 * 4
    return header + bytes(colour) + bytes(mask_row * size)


def write_ico(target):
    images = [ico_image(size, render(size)) for size in ICO_SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(ICO_SIZES, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 24, len(image), offset)
        offset += len(image)
    with open(target, "wb") as out:
        out.write(directory + entries + b"".join(images))


def main():
    parser = argparse.ArgumentParser(description="Draws the program icon from its 64 x 64 design.")
    parser.add_argument("--size", type=int, default=SIZE, help="width and height of the PNG")
    parser.add_argument("--ico", metavar="FILE", help="write a Windows icon of 16, 32 and 64 pixels")
    parser.add_argument("target", nargs="?", default=os.path.join(HERE, "varnholt.png"),
                        help="the PNG to write (default resources/varnholt.png)")
    args = parser.parse_args()
    if args.ico:
        write_ico(args.ico)
        return
    rgb_png.write(args.target, args.size, args.size, render(args.size))


if __name__ == "__main__":
    main()
