#!/usr/bin/env python3
"""Draws Tolvi's icons: the program icon and the tray icon of each mode.

Each icon is a list of simple shapes on a 48 x 48 canvas. The script writes
the same shapes as SVG (resources/icons/NAME.svg) and rasterises them to
PNG at 16, 22, 32 and 48 pixels (resources/icons/SIZE/NAME.png) with 8 x 8
supersampling. Standard library only; run it from anywhere:

    python3 tools/icons/draw_icons.py
"""
import math
import os
import struct
import zlib

CANVAS = 48
SIZES = (16, 22, 32, 48)
SAMPLES = 8
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "icons")


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


class Circle:
    def __init__(self, cx, cy, r, fill):
        self.cx, self.cy, self.r, self.fill = cx, cy, r, fill

    def covers(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r ** 2

    def svg(self):
        return f'<circle cx="{self.cx}" cy="{self.cy}" r="{self.r}" fill="{self.fill}"/>'


class Ring:
    def __init__(self, cx, cy, r, width, colour):
        self.cx, self.cy, self.r, self.width, self.colour = cx, cy, r, width, colour

    def covers(self, x, y):
        return abs(math.hypot(x - self.cx, y - self.cy) - self.r) <= self.width / 2

    def svg(self):
        return (f'<circle cx="{self.cx}" cy="{self.cy}" r="{self.r}" fill="none" '
                f'stroke="{self.colour}" stroke-width="{self.width}"/>')


class Line:
    """A stroke with round caps."""

    def __init__(self, x1, y1, x2, y2, width, colour):
        self.p, self.q, self.width, self.colour = (x1, y1), (x2, y2), width, colour

    def covers(self, x, y):
        (x1, y1), (x2, y2) = self.p, self.q
        dx, dy = x2 - x1, y2 - y1
        t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (x1 + t * dx), y - (y1 + t * dy)) <= self.width / 2

    def svg(self):
        (x1, y1), (x2, y2) = self.p, self.q
        return (f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" stroke="{self.colour}" '
                f'stroke-width="{self.width}" stroke-linecap="round"/>')


class RoundRect:
    def __init__(self, x, y, w, h, radius, fill):
        self.x, self.y, self.w, self.h, self.radius, self.fill = x, y, w, h, radius, fill

    def covers(self, x, y):
        r = self.radius
        nx = min(max(x, self.x + r), self.x + self.w - r)
        ny = min(max(y, self.y + r), self.y + self.h - r)
        inside = self.x <= x <= self.x + self.w and self.y <= y <= self.y + self.h
        return inside and (x - nx) ** 2 + (y - ny) ** 2 <= r * r

    def svg(self):
        return (f'<rect x="{self.x}" y="{self.y}" width="{self.w}" height="{self.h}" '
                f'rx="{self.radius}" fill="{self.fill}"/>')


WHITE = "#ffffff"
BADGE_SHAPES = 2


INNER_RADIUS = 20.5


def badge(fill, edge):
    """The round badge every icon sits on; the shapes after it are clipped
    to its inner circle."""
    return [Circle(24, 24, 23, edge), Circle(24, 24, INNER_RADIUS, fill)]


def inside_badge(x, y):
    return (x - 24) ** 2 + (y - 24) ** 2 <= INNER_RADIUS ** 2


def program_icon():
    """Amber badge with a steaming cup: the program, and the On Break icon."""
    amber = "#f29d12"
    return badge(amber, "#a85f00") + [
        RoundRect(11, 21, 20, 16, 5, WHITE),
        Ring(32, 28, 4.5, 3.5, WHITE),
        Line(16, 10, 16, 16, 3.5, WHITE),
        Line(24, 8, 24, 16, 3.5, WHITE),
    ]


def working_icon():
    """Green badge with a clock face: time is being counted."""
    return badge("#2e9e44", "#1b6a2b") + [
        Ring(24, 24, 13, 3.5, WHITE),
        Line(24, 24, 24, 15, 4, WHITE),
        Line(24, 24, 31, 28, 4, WHITE),
    ]


def away_icon():
    """Grey badge with a crescent moon: nobody at the keyboard."""
    grey = "#6f7785"
    return badge(grey, "#474d57") + [
        Circle(22, 25, 13, WHITE),
        Circle(29, 19, 11, grey),
    ]


def meeting_icon():
    """Blue badge with two people, one behind the other."""
    blue = "#2f6fde"
    return badge(blue, "#1c4596") + [
        Circle(31, 15, 5.5, "#b9d0ff"),
        RoundRect(22, 23, 19, 20, 8, "#b9d0ff"),
        Circle(19, 20, 7.5, blue),
        RoundRect(6.5, 28.5, 25, 20, 9.5, blue),
        Circle(19, 20, 6, WHITE),
        RoundRect(8, 30, 22, 20, 8, WHITE),
    ]


ICONS = {
    "tolvi": program_icon,
    "tolvi-working": working_icon,
    "tolvi-away": away_icon,
    "tolvi-meeting": meeting_icon,
}


def rasterise(shapes, size):
    """RGBA rows; each sample takes the colour of the topmost shape at it."""
    scale = CANVAS / size
    colours = [(rgb(getattr(s, "fill", None) or s.colour)) for s in shapes]
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    for index in reversed(range(len(shapes))):
                        shape, colour = shapes[index], colours[index]
                        clipped = index >= BADGE_SHAPES and not inside_badge(x, y)
                        if not clipped and shape.covers(x, y):
                            r, g, b, a = r + colour[0], g + colour[1], b + colour[2], a + 1
                            break
            n = SAMPLES * SAMPLES
            if a == 0:
                row += bytes(4)
            else:
                row += bytes((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
        rows.append(bytes(row))
    return rows


def png(rows, size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg(shapes):
    base = "\n  ".join(s.svg() for s in shapes[:BADGE_SHAPES])
    marks = "\n    ".join(s.svg() for s in shapes[BADGE_SHAPES:])
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{CANVAS}" height="{CANVAS}" '
            f'viewBox="0 0 {CANVAS} {CANVAS}">\n'
            f'  <clipPath id="badge"><circle cx="24" cy="24" r="{INNER_RADIUS}"/></clipPath>\n'
            f'  {base}\n  <g clip-path="url(#badge)">\n    {marks}\n  </g>\n</svg>\n')


def main():
    for name, draw in ICONS.items():
        shapes = draw()
        with open(os.path.join(ROOT, name + ".svg"), "w") as out:
            out.write(svg(shapes))
        for size in SIZES:
            folder = os.path.join(ROOT, str(size))
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, name + ".png"), "wb") as out:
                out.write(png(rasterise(shapes, size), size))


if __name__ == "__main__":
    main()
