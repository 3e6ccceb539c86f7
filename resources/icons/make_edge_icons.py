#!/usr/bin/env python3
"""Draws the two 24x24 edge icons of the action editor (rising and falling
edge of a digital input) and writes them as PNG files next to this script.
Run it again only to change the drawing; the PNG files are committed."""

import os
import struct
import zlib

SIZE = 24
LINE = (40, 40, 40, 255)
ARROW = (0, 120, 215, 255)
CLEAR = (0, 0, 0, 0)


def rising_edge():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y][x] = colour

    low, high, step = 19, 4, 11
    fill(2, low - 1, step, low, LINE)           # low level
    fill(step, high, step + 1, low, LINE)       # the edge
    fill(step, high, 21, high + 1, LINE)        # high level
    # Arrowhead on the edge, pointing the way the signal goes.
    for row in range(5):
        y = 9 + row
        fill(step - row, y, step + 1 + row, y, ARROW)
    return pixels


def falling_edge():
    return list(reversed(rising_edge()))


def png(pixels):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    for name, pixels in (("narastajace.png", rising_edge()),
                         ("opadajace.png", falling_edge())):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(png(pixels))


if __name__ == "__main__":
    main()
