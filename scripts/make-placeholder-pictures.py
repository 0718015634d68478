#!/usr/bin/env python3
"""Draws the placeholder pictures of resources/ (book images of the contents
tree, the list page buttons' four-image strips, the window icons) as PNG
files. Only the standard library; run it again after changing a drawing."""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 255)):
        self.w, self.h = width, height
        self.px = [[fill for _ in range(width)] for _ in range(height)]

    def put(self, x, y, rgba):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = rgba

    def rect(self, x0, y0, x1, y1, rgba):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, rgba)

    def shape(self, inside, rgba, ox=0, oy=0, w=None, h=None):
        """Fills every pixel whose centre satisfies inside(x, y) (local
        coordinates of the box at ox, oy)."""
        w = self.w if w is None else w
        h = self.h if h is None else h
        for y in range(h):
            for x in range(w):
                if inside(x + 0.5, y + 0.5):
                    self.put(ox + x, oy + y, rgba)

    def save(self, name):
        raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in self.px)
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
        png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
               + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
        path = os.path.join(OUT, name)
        with open(path, "wb") as f:
            f.write(png)


def in_polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit
    return inside


# Book pictures: 20 x 20 on black, which the tree makes transparent.
def closed_book():
    c = Canvas(20, 20)
    c.rect(4, 2, 16, 18, (128, 32, 32, 255))      # cover
    c.rect(4, 2, 6, 18, (80, 16, 16, 255))        # spine
    c.rect(15, 3, 17, 17, (240, 232, 208, 255))   # page edges
    c.rect(8, 5, 14, 7, (232, 200, 96, 255))      # title label
    c.save("bitmaps/160.png")


def open_book():
    c = Canvas(20, 20)
    c.shape(in_polygon([(1, 5), (9.5, 4), (9.5, 17), (1, 16)]), (248, 244, 228, 255))
    c.shape(in_polygon([(10.5, 4), (19, 5), (19, 16), (10.5, 17)]), (248, 244, 228, 255))
    c.rect(9, 4, 11, 18, (128, 32, 32, 255))
    for y in (7, 10, 13):
        c.rect(3, y, 8, y + 1, (120, 120, 120, 255))
        c.rect(12, y, 17, y + 1, (120, 120, 120, 255))
    c.save("bitmaps/159.png")


# List page buttons: 128 x 32 strips of four 32 x 32 images (normal,
# pressed, hot, disabled) with a curved arrow.
def arrow_inside(forward):
    def inside(x, y):
        if forward:
            x = 32 - x
        # a ring sector around (18, 20) and a head at its upper left end
        r = math.hypot(x - 18, y - 20)
        a = math.degrees(math.atan2(20 - y, x - 18))
        in_arc = 7 <= r <= 11 and -60 <= a <= 90
        head = in_polygon([(18, 3), (18, 17), (9, 10)])(x, y)
        return in_arc or head
    return inside


def arrow_strip(name, forward):
    c = Canvas(128, 32, (236, 233, 216, 255))
    looks = [  # face, arrow, shift
        ((236, 233, 216, 255), (40, 80, 160, 255), 0),
        ((200, 196, 180, 255), (24, 56, 128, 255), 1),
        ((250, 246, 226, 255), (64, 120, 220, 255), 0),
        ((236, 233, 216, 255), (160, 160, 160, 255), 0),
    ]
    for i, (face, ink, shift) in enumerate(looks):
        ox = 32 * i
        c.rect(ox, 0, ox + 32, 32, face)
        c.rect(ox, 0, ox + 32, 1, (255, 255, 255, 255))
        c.rect(ox, 0, ox + 1, 32, (255, 255, 255, 255))
        c.rect(ox, 31, ox + 32, 32, (128, 128, 128, 255))
        c.rect(ox + 31, 0, ox + 32, 32, (128, 128, 128, 255))
        c.shape(arrow_inside(forward), ink, ox + shift, shift, 31 - shift, 31 - shift)
    c.save(name)


def icon(size, name):
    c = Canvas(size, size, (0, 0, 0, 0))
    s = size / 32.0
    c.shape(lambda x, y: 3 * s <= x <= 29 * s and 2 * s <= y <= 30 * s, (128, 32, 32, 255))
    c.shape(lambda x, y: 6 * s <= x <= 27 * s and 4 * s <= y <= 28 * s, (248, 244, 228, 255))
    c.shape(lambda x, y: 9 * s <= x <= 24 * s and (8 * s <= y <= 10 * s or 14 * s <= y <= 16 * s
                                                   or 20 * s <= y <= 22 * s), (60, 60, 60, 255))
    c.save(name)


if __name__ == "__main__":
    closed_book()
    open_book()
    arrow_strip("bitmaps/184.png", False)
    arrow_strip("bitmaps/185.png", True)
    icon(32, "icons/128.png")
    icon(16, "icons/143.png")
