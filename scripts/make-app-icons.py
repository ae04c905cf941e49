#!/usr/bin/env python3
"""Draws the program's icon and the icon of its analysis documents, always the same bytes.

  resources/icons/app/brindle-analyzer-NN.png           the program, NN x NN pixels
  resources/icons/app/brindle-analyzer.svg              the same, scalable
  resources/icons/app/brindle-analyzer-document-NN.png  an analysis document ("*.bnl")
  resources/icons/app/brindle-analyzer-document.svg     the same, scalable

NN is every size of the hicolor theme's usual set (16 to 256). Both pictures are described
once, as shapes on a 64 x 64 grid; each PNG samples them 4 x 4 times per pixel and the SVG
writes them as they are, so the two agree. The PNG writer is our own (scripts/png_writer.py).

Usage: scripts/make-app-icons.py [--out DIR]
"""

import argparse
import math
import os

from png_writer import png_bytes

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
GRID = 64.0
SUB = 4

TILE_DARK = (46, 58, 89)
TILE_LIGHT = (72, 94, 140)
PAPER = (250, 250, 244)
FOLD = (214, 214, 204)
LINE = (160, 164, 176)
INK = (52, 56, 68)
BARS = ((40, 150, 110), (235, 150, 40), (215, 60, 55))
GLASS = (210, 230, 250)


# ---- Shapes: an inside test for the PNG and an element for the SVG --------------------------


class Shape:
    def __init__(self, inside, box, svg):
        self.inside, self.box, self.svg = inside, box, svg


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    svg = '<rect x="%g" y="%g" width="%g" height="%g" rx="%g"' % (x0, y0, x1 - x0, y1 - y0, r)
    return Shape(inside, (x0, y0, x1, y1), svg)


def polygon(*points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    xs, ys = [p[0] for p in points], [p[1] for p in points]
    svg = '<polygon points="%s"' % " ".join("%g,%g" % p for p in points)
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)), svg)


def disc(cx, cy, r):
    svg = '<circle cx="%g" cy="%g" r="%g"' % (cx, cy, r)
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, (cx - r, cy - r, cx + r, cy + r), svg)


def ring(cx, cy, r, w):
    """A circle line of width w centred on radius r."""
    inner, outer = (r - w / 2) ** 2, (r + w / 2) ** 2
    svg = '<circle cx="%g" cy="%g" r="%g" fill="none" stroke-width="%g"' % (cx, cy, r, w)
    return Shape(lambda x, y: inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer,
                 (cx - r - w, cy - r - w, cx + r + w, cy + r + w), svg)


def stroke(x0, y0, x1, y1, w):
    """A line with round caps."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (w / 2) ** 2

    svg = ('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke-width="%g" stroke-linecap="round"'
           % (x0, y0, x1, y1, w))
    return Shape(inside, (min(x0, x1) - w, min(y0, y1) - w, max(x0, x1) + w, max(y0, y1) + w), svg)


# ---- The two pictures -----------------------------------------------------------------------


def report_page(x0, y0, x1, y1, fold):
    """A sheet with a folded corner, text lines and a bar chart."""
    layers = [
        (polygon((x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)), PAPER),
        (polygon((x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)), FOLD),
    ]
    width, height = x1 - x0, y1 - y0
    for i, share in enumerate((0.55, 0.75, 0.45)):
        y = y0 + height * (0.16 + 0.09 * i)
        left = x0 + width * 0.14
        right = left + (width * 0.72 - (fold if i == 0 else 0)) * share / 0.75
        layers.append((stroke(left, y, min(right, x1 - width * 0.12), y, height * 0.035), LINE))
    base = y0 + height * 0.86
    bar = width * 0.17
    for i, (share, colour) in enumerate(zip((0.28, 0.45, 0.36), BARS)):
        left = x0 + width * 0.16 + i * bar * 1.3
        layers.append((rounded_rect(left, base - height * share, left + bar, base, bar * 0.12), colour))
    layers.append((stroke(x0 + width * 0.1, base + height * 0.02, x1 - width * 0.1, base + height * 0.02,
                          height * 0.025), INK))
    return layers


def program_icon():
    layers = [(rounded_rect(2, 2, 62, 62, 11), TILE_DARK)]
    # Brindle streaks across the tile, clipped by drawing them only where the tile is.
    tile = rounded_rect(2, 2, 62, 62, 11)
    for offset in (-6, 10, 26):
        streak = polygon((offset, 62), (offset + 9, 62), (offset + 40, 2), (offset + 31, 2))
        layers.append((Shape(lambda x, y, s=streak: s.inside(x, y) and tile.inside(x, y), tile.box,
                             streak.svg + ' clip-path="url(#tile)"'), TILE_LIGHT))
    layers += report_page(12, 8, 46, 54, 9)
    # A magnifier over the lower right corner of the sheet.
    layers += [
        (stroke(46, 46, 56, 56, 6.5), INK),
        (disc(41, 41, 9), GLASS),
        (ring(41, 41, 9, 3.6), INK),
    ]
    return layers, '<clipPath id="tile"><rect x="2" y="2" width="60" height="60" rx="11"/></clipPath>'


def document_icon():
    # A darker sheet one unit larger all round makes the outline on light backgrounds.
    outline = polygon((8.5, 1.5), (42.6, 1.5), (55.5, 14.4), (55.5, 62.5), (8.5, 62.5))
    return [(outline, LINE)] + report_page(10, 3, 54, 61, 12), ""


# ---- PNG and SVG writers --------------------------------------------------------------------


def render(layers, size):
    scale = GRID / size
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
    for shape, colour in layers:
        bx0, by0, bx1, by1 = shape.box
        px0, py0 = max(0, math.floor(bx0 / scale)), max(0, math.floor(by0 / scale))
        px1, py1 = min(size, math.ceil(bx1 / scale) + 1), min(size, math.ceil(by1 / scale) + 1)
        for py in range(py0, py1):
            for px in range(px0, px1):
                hits = 0
                for sy in range(SUB):
                    for sx in range(SUB):
                        if shape.inside((px + (sx + 0.5) / SUB) * scale, (py + (sy + 0.5) / SUB) * scale):
                            hits += 1
                if not hits:
                    continue
                a = hits / (SUB * SUB)
                pixel = pixels[py * size + px]
                out_a = a + pixel[3] * (1 - a)
                for i in range(3):
                    pixel[i] = (colour[i] * a + pixel[i] * pixel[3] * (1 - a)) / out_a
                pixel[3] = out_a
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r, g, b, a = pixels[py * size + px]
            row += [round(r), round(g), round(b), round(a * 255)]
        rows.append(row)
    return png_bytes(rows)


def svg_text(layers, defs):
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">']
    if defs:
        out.append("<defs>%s</defs>" % defs)
    for shape, colour in layers:
        hex_colour = "#%02x%02x%02x" % colour
        paint = ' stroke="%s"' % hex_colour if "stroke-width" in shape.svg else ' fill="%s"' % hex_colour
        out.append(shape.svg + paint + "/>")
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "resources", "icons", "app"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, (layers, defs) in (("brindle-analyzer", program_icon()),
                                 ("brindle-analyzer-document", document_icon())):
        for size in SIZES:
            with open(os.path.join(args.out, "%s-%d.png" % (name, size)), "wb") as f:
                f.write(render(layers, size))
        with open(os.path.join(args.out, name + ".svg"), "w", newline="\n") as f:
            f.write(svg_text(layers, defs))


if __name__ == "__main__":
    main()
