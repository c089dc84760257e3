#!/usr/bin/env python3
"""Draws help/images/conversion.png, the picture on the help's start page: a
CSV sheet, an arrow and a TLE sheet. Uses only the standard library (and
scripts/rgb_png.py); run it from anywhere after changing the drawing and commit
the result."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import rgb_png  # noqa: E402

WIDTH, HEIGHT = 200, 72
WHITE = (255, 255, 255)
PAPER = (255, 255, 192)
DARK = (95, 95, 95)
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)
RED = (128, 0, 0)

# 5 x 7 capitals, one string of five bits per row.
GLYPHS = {
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
}

pixels = [[WHITE] * WIDTH for _ in range(HEIGHT)]


def fill(x0, y0, x1, y1, colour):
    for y in range(y0, y1):
        for x in range(x0, x1):
            pixels[y][x] = colour


def sheet(x0, colour, text):
    fill(x0, 4, x0 + 64, 68, DARK)
    fill(x0 + 2, 4, x0 + 64, 66, BLACK)
    fill(x0 + 2, 6, x0 + 62, 66, PAPER)
    for line in range(4):
        fill(x0 + 10, 40 + 6 * line, x0 + 54, 42 + 6 * line, DARK)
    scale = 2
    x = x0 + 32 - (len(text) * 6 * scale - scale) // 2
    for letter in text:
        for row, bits in enumerate(GLYPHS[letter]):
            for column, bit in enumerate(bits):
                if bit == "1":
                    fill(x + column * scale, 14 + row * scale,
                         x + (column + 1) * scale, 14 + (row + 1) * scale, colour)
        x += 6 * scale


sheet(8, BLUE, "CSV")
sheet(128, RED, "TLE")
fill(82, 34, 110, 38, BLACK)
for step in range(9):
    fill(110 + step, 27 + step, 111 + step, 45 - step, BLACK)


rgb_png.write(os.path.join(HERE, "images", "conversion.png"), WIDTH, HEIGHT,
              (bytes(c for pixel in row for c in pixel) for row in pixels))
