#!/usr/bin/env python3
"""Draws the 16 x 16 PNG images of the program's report trees, always the same bytes.

  resources/icons/report-NN.png       image NN (0..47) of the report catalogue; a folder row
                                      draws a closed folder in its group's colour
  resources/icons/report-NN-open.png  the same folder row, expanded
  resources/icons/folder-closed.png   the report-selection tree of the profile editor:
  resources/icons/folder-open.png       a collapsed and an expanded node,
  resources/icons/leaf-table.png        a "Table" leaf
  resources/icons/leaf-chart.png        a "Chart" or "Daily Chart" leaf

Shapes are tested on a 4 x 4 grid of samples per pixel, which smooths their edges without
any imaging library. The PNG writer is our own (scripts/png_writer.py).

Usage: scripts/make-report-icons.py [--out DIR]
"""

import argparse
import math
import os

from png_writer import png_bytes

SIZE = 16
SUB = 4

INK = (64, 64, 72)
WHITE = (255, 255, 255)
PAPER = (250, 250, 244)
GREY = (150, 150, 158)
YELLOW = (250, 205, 40)
RED = (215, 45, 45)
BLUE = (40, 90, 200)

# One colour per folder group; a report takes its group's.
GROUP_COLOURS = {
    10: (70, 100, 170),
    20: (30, 140, 110),
    30: (40, 110, 210),
    40: (215, 130, 30),
    50: (140, 75, 180),
    60: (205, 50, 50),
}


# ---- Canvas and shapes ----------------------------------------------------------------------


class Canvas:
    def __init__(self):
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(SIZE * SIZE)]

    def fill(self, inside, colour, alpha=1.0):
        """Paints colour where inside(x, y) holds, x and y in pixels from the top left corner."""
        for py in range(SIZE):
            for px in range(SIZE):
                hits = 0
                for sy in range(SUB):
                    for sx in range(SUB):
                        if inside(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB):
                            hits += 1
                if not hits:
                    continue
                a = alpha * hits / (SUB * SUB)
                pixel = self.pixels[py * SIZE + px]
                out_a = a + pixel[3] * (1 - a)
                for i in range(3):
                    pixel[i] = (colour[i] * a + pixel[i] * pixel[3] * (1 - a)) / out_a
                pixel[3] = out_a

    def rows(self):
        out = []
        for py in range(SIZE):
            row = []
            for px in range(SIZE):
                r, g, b, a = self.pixels[py * SIZE + px]
                row += [round(r), round(g), round(b), round(a * 255)]
            out.append(row)
        return out


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def frame(x0, y0, x1, y1, w=1.0):
    outer, inner = rect(x0, y0, x1, y1), rect(x0 + w, y0 + w, x1 - w, y1 - w)
    return lambda x, y: outer(x, y) and not inner(x, y)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w=1.0):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def seg(x0, y0, x1, y1, w=1.2):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (w / 2) ** 2

    return inside


def poly(*points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def wedge(cx, cy, r, a0, a1):
    """Degrees clockwise from twelve o'clock."""
    def inside(x, y):
        if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
            return False
        angle = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return a0 <= angle < a1

    return inside


def polyline(c, points, colour, w=1.2):
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        c.fill(seg(x0, y0, x1, y1, w), colour)


def lighter(colour, t=0.45):
    return tuple(round(v + (255 - v) * t) for v in colour)


def darker(colour, t=0.35):
    return tuple(round(v * (1 - t)) for v in colour)


# ---- Pieces shared by several images --------------------------------------------------------


def page(c, x0=3, y0=1, x1=13, y1=15, fold=3.5):
    c.fill(poly((x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)), INK)
    c.fill(poly((x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4), (x1 - 1, y1 - 1),
                (x0 + 1, y1 - 1)), PAPER)
    c.fill(poly((x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)), GREY)


def text_lines(c, x0, x1, ys, colour=GREY):
    for y in ys:
        c.fill(rect(x0, y, x1, y + 0.9), colour)


def calendar(c, g):
    c.fill(rect(1.5, 2.5, 14.5, 14.5), INK)
    c.fill(rect(2.5, 6, 13.5, 13.5), PAPER)
    c.fill(rect(2.5, 3.5, 13.5, 5.5), g)
    for x in (5, 11):
        c.fill(rect(x - 0.6, 1, x + 0.6, 4), INK)


def clock(c, g, cx=8, cy=8, r=6.8):
    c.fill(disc(cx, cy, r), INK)
    c.fill(disc(cx, cy, r - 1.1), PAPER)
    c.fill(seg(cx, cy, cx, cy - r + 2.5), g)
    c.fill(seg(cx, cy, cx + r - 3, cy + 1), INK)


def globe(c, g, cx=8, cy=8, r=6.8):
    c.fill(disc(cx, cy, r), darker(g, 0.2))
    c.fill(disc(cx, cy, r - 1), lighter(g, 0.55))
    c.fill(lambda x, y: disc(cx, cy, r - 1)(x, y) and abs(((x - cx) ** 2) / 9 + ((y - cy) ** 2) / (r * r) - 1) < 0.16,
           darker(g, 0.2))
    c.fill(rect(cx - 0.5, cy - r + 1, cx + 0.5, cy + r - 1), darker(g, 0.2))
    c.fill(rect(cx - r + 1, cy - 0.5, cx + r - 1, cy + 0.5), darker(g, 0.2))


def magnifier(c, g, cx=6.5, cy=6.5, r=4.8):
    c.fill(seg(cx + r * 0.6, cy + r * 0.6, 14.5, 14.5, 2.6), INK)
    c.fill(disc(cx, cy, r), INK)
    c.fill(disc(cx, cy, r - 1.2), lighter(g, 0.7))


def small_magnifier(c, g):
    c.fill(seg(12, 12, 15.2, 15.2, 2.2), INK)
    c.fill(disc(10.5, 10.5, 3.6), INK)
    c.fill(disc(10.5, 10.5, 2.5), lighter(g, 0.7))


def person(c, colour, cx=8, top=1.5, scale=1.0):
    c.fill(disc(cx, top + 3 * scale, 2.9 * scale), INK)
    c.fill(disc(cx, top + 3 * scale, 2.0 * scale), lighter(colour, 0.3))
    body = lambda x, y: y >= top + 7 * scale and (x - cx) ** 2 / (5.5 * scale) ** 2 + \
        (y - top - 14 * scale) ** 2 / (7 * scale) ** 2 <= 1
    c.fill(body, INK)
    c.fill(lambda x, y: y >= top + 8 * scale and (x - cx) ** 2 / (4.5 * scale) ** 2 +
           (y - top - 14 * scale) ** 2 / (6 * scale) ** 2 <= 1, colour)


def key(c, colour, x0=2, y0=8):
    c.fill(ring(x0 + 3, y0, 3, 1.6), colour)
    c.fill(rect(x0 + 5.5, y0 - 0.8, x0 + 13, y0 + 0.8), colour)
    c.fill(rect(x0 + 10, y0, x0 + 11.2, y0 + 3), colour)
    c.fill(rect(x0 + 12, y0, x0 + 13, y0 + 2.5), colour)


def folder(c, g, opened):
    c.fill(poly((1, 3), (6, 3), (7.5, 4.5), (15, 4.5), (15, 14), (1, 14)), darker(g, 0.3))
    c.fill(poly((2, 4), (5.6, 4), (7.1, 5.5), (14, 5.5), (14, 13), (2, 13)), lighter(g, 0.35))
    if opened:
        c.fill(poly((3, 5.5), (12, 5.5), (13, 6.5), (13, 12), (3, 12)), INK)
        c.fill(rect(4, 6.5, 12, 12), PAPER)
        c.fill(poly((5, 9), (16, 9), (12.5, 14.5), (0.5, 14.5)), darker(g, 0.3))
        c.fill(poly((5.7, 10), (14.4, 10), (11.9, 13.5), (2.3, 13.5)), lighter(g, 0.15))
    else:
        c.fill(rect(1, 7, 15, 14), darker(g, 0.3))
        c.fill(rect(2, 8, 14, 13), g)


def flag(c, paint):
    c.fill(rect(1.5, 1, 2.7, 15.5), INK)
    c.fill(rect(2.7, 2, 15, 10.5), INK)
    paint(3.5, 3, 14.2, 9.7)


def down_arrow(c, colour, cx=8, top=1, bottom=10):
    c.fill(rect(cx - 1.5, top, cx + 1.5, bottom - 3), colour)
    c.fill(poly((cx - 4.5, bottom - 4), (cx + 4.5, bottom - 4), (cx, bottom + 0.5)), colour)


def right_arrow(c, colour, left, right, cy):
    c.fill(rect(left, cy - 1.2, right - 3, cy + 1.2), colour)
    c.fill(poly((right - 4, cy - 3.8), (right + 0.3, cy), (right - 4, cy + 3.8)), colour)


def door(c, g, x0):
    c.fill(rect(x0, 1.5, x0 + 7, 15), INK)
    c.fill(rect(x0 + 1, 2.5, x0 + 6, 15), lighter(g, 0.5))
    c.fill(disc(x0 + 5, 9, 0.7), INK)


# ---- The images -----------------------------------------------------------------------------


def general(c, g):
    page(c)
    c.fill(rect(5, 9.5, 6.6, 13), g)
    c.fill(rect(7.4, 7, 9, 13), g)
    c.fill(rect(9.8, 10.5, 11.4, 13), g)
    text_lines(c, 5, 9, (4, 6))


def by_mon(c, g):
    calendar(c, g)
    for i, h in enumerate((3.5, 5.5, 2.5, 6.5)):
        c.fill(rect(3.5 + i * 2.6, 13 - h, 5.2 + i * 2.6, 13), g)


def by_day(c, g):
    calendar(c, g)
    polyline(c, [(3, 12), (5.5, 9), (8, 10.5), (10.5, 7), (13, 8.5)], g, 1.4)


def by_hod(c, g):
    clock(c, g)


def by_dow(c, g):
    calendar(c, g)
    for i in range(7):
        x = 3 + i * 1.55
        c.fill(rect(x, 7.5, x + 0.9, 12.5), g if i == 4 else GREY)


def by_dom(c, g):
    calendar(c, g)
    for row in range(3):
        for col in range(4):
            x, y = 3.6 + col * 2.6, 7.4 + row * 2.1
            c.fill(rect(x, y, x + 1.4, y + 1.2), g if (row, col) == (1, 2) else GREY)


def by_recent(c, g):
    c.fill(poly((3, 1), (13, 1), (13, 2.5), (8.9, 8), (13, 13.5), (13, 15), (3, 15), (3, 13.5), (7.1, 8), (3, 2.5)),
           INK)
    c.fill(poly((4.6, 2.3), (11.4, 2.3), (8, 6.8)), lighter(g, 0.6))
    c.fill(poly((8, 9.5), (11.6, 13.8), (4.4, 13.8)), g)


def by_host(c, g):
    c.fill(rect(1, 2, 15, 11.5), INK)
    c.fill(rect(2, 3, 14, 10.5), lighter(g, 0.45))
    c.fill(rect(6.5, 11.5, 9.5, 13.5), INK)
    c.fill(rect(4, 13.5, 12, 14.8), INK)


def by_domain(c, g):
    globe(c, g)


def by_tld(c, g):
    globe(c, g, 7, 7, 6)
    c.fill(rect(8.5, 10, 15.5, 15.5), INK)
    c.fill(rect(9.5, 11, 14.5, 14.5), YELLOW)
    c.fill(disc(11, 12.8, 0.8), INK)


def by_country(c, g):
    flag(c, lambda x0, y0, x1, y1: (c.fill(rect(x0, y0, x1, y1), g),
                                    c.fill(rect(x0, (y0 + y1) / 2 - 0.8, x1, (y0 + y1) / 2 + 0.8), WHITE)))


def by_region(c, g):
    c.fill(lambda x, y: disc(8, 6, 5.2)(x, y) or poly((3.6, 8.5), (12.4, 8.5), (8, 15.5))(x, y), INK)
    c.fill(lambda x, y: disc(8, 6, 4.1)(x, y) or poly((4.6, 8.2), (11.4, 8.2), (8, 13.6))(x, y), g)
    c.fill(disc(8, 6, 1.8), WHITE)


def by_us_state(c, g):
    def paint(x0, y0, x1, y1):
        c.fill(rect(x0, y0, x1, y1), WHITE)
        for i in range(4):
            y = y0 + i * 1.8
            c.fill(rect(x0, y, x1, y + 0.9), RED)
        c.fill(rect(x0, y0, x0 + 5, y0 + 3.8), BLUE)

    flag(c, paint)


def by_ca_prov(c, g):
    def paint(x0, y0, x1, y1):
        c.fill(rect(x0, y0, x1, y1), WHITE)
        c.fill(rect(x0, y0, x0 + 2.6, y1), RED)
        c.fill(rect(x1 - 2.6, y0, x1, y1), RED)
        c.fill(poly((8.8, 3.6), (10.6, 6.2), (8.8, 9.2), (7, 6.2)), RED)

    flag(c, paint)


def by_cn_prov(c, g):
    def paint(x0, y0, x1, y1):
        c.fill(rect(x0, y0, x1, y1), RED)
        star = [(5.8 + 2.3 * math.sin(math.radians(a)) * (1 if i % 2 == 0 else 0.45),
                 5.4 - 2.3 * math.cos(math.radians(a)) * (1 if i % 2 == 0 else 0.45))
                for i, a in enumerate(range(0, 360, 36))]
        c.fill(poly(*star), YELLOW)

    flag(c, paint)


def by_city(c, g):
    c.fill(rect(1, 6, 6, 15), INK)
    c.fill(rect(6, 2, 11, 15), INK)
    c.fill(rect(11, 8, 15, 15), INK)
    c.fill(rect(2, 7, 5, 15), lighter(g, 0.3))
    c.fill(rect(7, 3, 10, 15), g)
    c.fill(rect(12, 9, 14, 15), lighter(g, 0.3))
    for y in (5, 8, 11):
        c.fill(rect(7.6, y, 9.4, y + 1), YELLOW)


def by_browser(c, g):
    c.fill(rect(1, 2, 15, 14), INK)
    c.fill(rect(2, 5, 14, 13), WHITE)
    c.fill(rect(2, 3, 14, 4.2), g)
    globe(c, g, 8, 9, 3.6)


def by_os(c, g):
    teeth = lambda x, y: disc(8, 8, 7)(x, y) and (math.degrees(math.atan2(y - 8, x - 8)) % 45) < 22.5
    c.fill(lambda x, y: teeth(x, y) or disc(8, 8, 5.4)(x, y), INK)
    c.fill(disc(8, 8, 4.4), g)
    c.fill(disc(8, 8, 2.0), WHITE)


def by_spider(c, g):
    for side in (-1, 1):
        for dy, reach in ((-3, -6), (-1, -2), (1, 2), (3, 6)):
            polyline(c, [(8, 8 + dy / 3), (8 + side * 4.5, 8 + dy), (8 + side * 7, 8 + reach)], INK, 1.0)
    c.fill(disc(8, 9.3, 3.1), INK)
    c.fill(disc(8, 5.2, 2.0), INK)
    c.fill(disc(8, 9.3, 1.4), g)


def by_nb_visit(c, g):
    person(c, lighter(g, 0.4), 11, 2.5, 0.8)
    person(c, g, 6, 1.5, 0.95)


def by_len_visit(c, g):
    c.fill(rect(6.8, 0.5, 9.2, 2.5), INK)
    c.fill(seg(12.5, 3.5, 13.8, 2.2, 1.6), INK)
    clock(c, g, 8, 9.2, 6.3)


def by_user_name(c, g):
    person(c, g, 6.5, 1, 0.95)
    key(c, YELLOW, 4.5, 12.5)


def by_all_files(c, g):
    page(c, 6, 1, 15, 11, 3)
    page(c, 4, 3, 13, 13, 3)
    page(c, 2, 5, 11, 15, 3)
    text_lines(c, 4, 8, (9.5, 11.5), g)


def by_file_doc(c, g):
    page(c)
    text_lines(c, 5, 11, (6, 8, 10, 12), g)


def by_file_file(c, g):
    down_arrow(c, g, 8, 0.8, 10)
    c.fill(poly((1, 9), (3, 9), (3, 12.5), (13, 12.5), (13, 9), (15, 9), (15, 15), (1, 15)), INK)


def by_file_img(c, g):
    c.fill(rect(1, 2.5, 15, 13.5), INK)
    c.fill(rect(2, 3.5, 14, 12.5), (200, 230, 255))
    c.fill(disc(11, 6, 1.6), YELLOW)
    c.fill(poly((2, 12.5), (6.5, 6.5), (10, 10.5), (11.5, 9), (14, 12.5)), g)


def by_file_audio(c, g):
    c.fill(rect(10.2, 2, 11.6, 12), INK)
    c.fill(rect(5, 4, 6.4, 13.5), INK)
    c.fill(poly((5, 2.5), (11.6, 0.8), (11.6, 3.6), (5, 5.3)), INK)
    c.fill(disc(4, 13.5, 2.4), g)
    c.fill(disc(9.3, 12, 2.4), g)


def by_file_video(c, g):
    c.fill(rect(1, 2, 15, 14), INK)
    c.fill(rect(4, 3.5, 12, 12.5), lighter(g, 0.3))
    for y in (3, 6, 9, 12):
        c.fill(rect(1.8, y, 3.0, y + 1), WHITE)
        c.fill(rect(13, y, 14.2, y + 1), WHITE)
    c.fill(poly((6.5, 5.5), (10.5, 8), (6.5, 10.5)), WHITE)


def by_file_dir(c, g):
    c.fill(rect(2.5, 2.5, 3.5, 12.5), GREY)
    c.fill(rect(3, 7, 7, 8), GREY)
    c.fill(rect(3, 11.5, 7, 12.5), GREY)
    c.fill(poly((0.5, 1), (3.5, 1), (4.5, 2), (7, 2), (7, 5.5), (0.5, 5.5)), darker(g, 0.2))
    for y in (5.3, 9.8):
        c.fill(poly((6.5, y), (9.5, y), (10.5, y + 1), (15, y + 1), (15, y + 5), (6.5, y + 5)), darker(g, 0.3))
        c.fill(rect(7.3, y + 2, 14.2, y + 4.3), g)


def by_file_type(c, g):
    c.fill(disc(8, 8, 7), INK)
    c.fill(wedge(8, 8, 6, 0, 150), g)
    c.fill(wedge(8, 8, 6, 150, 250), lighter(g, 0.5))
    c.fill(wedge(8, 8, 6, 250, 360), YELLOW)


def by_file_ext(c, g):
    page(c)
    c.fill(rect(1.5, 9, 12, 13.5), g)
    for x in (4, 7, 10):
        c.fill(disc(x, 11.25, 0.9), WHITE)


def by_top_in(c, g):
    door(c, g, 8)
    right_arrow(c, INK, 0.5, 10.5, 8.5)


def by_top_out(c, g):
    door(c, g, 1)
    right_arrow(c, INK, 5.5, 15.5, 8.5)


def by_ref_domain(c, g):
    globe(c, g, 7, 7, 6)
    right_arrow(c, INK, 6, 15.5, 12.5)


def by_ref_page(c, g):
    page(c, 1, 1, 11, 15)
    text_lines(c, 3, 8, (5, 7), GREY)
    right_arrow(c, g, 5, 15.5, 11)


def by_ref_se(c, g):
    magnifier(c, g)


def by_ref_sep(c, g):
    magnifier(c, g)
    text_lines(c, 4, 9, (4.8, 6.6, 8.4), g)


def by_ref_sek(c, g):
    magnifier(c, g)
    c.fill(ring(5.2, 6.5, 1.6, 1.0), g)
    c.fill(rect(6.6, 6, 9.5, 7), g)


def by_ref_sesep(c, g):
    page(c, 1, 1, 11, 14)
    text_lines(c, 3, 8, (5, 7, 9), g)
    small_magnifier(c, g)


def by_ref_sesek(c, g):
    key(c, g, 0.5, 5)
    small_magnifier(c, g)


def by_err_type(c, g):
    c.fill(poly((8, 0.8), (15.5, 14.5), (0.5, 14.5)), INK)
    c.fill(poly((8, 3.2), (13.7, 13.4), (2.3, 13.4)), YELLOW)
    c.fill(poly((7.2, 6), (8.8, 6), (8.4, 10.5), (7.6, 10.5)), INK)
    c.fill(disc(8, 12, 0.8), INK)


def by_err_404(c, g):
    page(c)
    c.fill(seg(5.5, 6.5, 10.5, 12.5, 2.0), g)
    c.fill(seg(10.5, 6.5, 5.5, 12.5, 2.0), g)


def by_err_misc(c, g):
    c.fill(disc(8, 8, 7), darker(g, 0.2))
    c.fill(disc(8, 8, 6), g)
    c.fill(poly((7, 3.5), (9, 3.5), (8.6, 9.5), (7.4, 9.5)), WHITE)
    c.fill(disc(8, 11.8, 1.1), WHITE)


# Image index -> (group id, drawing); None draws the group's folder.
IMAGES = [
    (10, general),
    (20, None), (20, by_mon), (20, by_day), (20, by_hod), (20, by_dow), (20, by_dom),
    (30, None), (30, by_recent), (30, by_host), (30, by_domain), (30, by_tld), (30, by_country), (30, by_region),
    (30, by_us_state), (30, by_ca_prov), (30, by_cn_prov), (30, by_city), (30, by_browser), (30, by_os),
    (30, by_spider), (30, by_nb_visit), (30, by_len_visit), (30, by_user_name),
    (40, None), (40, by_all_files), (40, by_file_doc), (40, by_file_file), (40, by_file_img), (40, by_file_audio),
    (40, by_file_video), (40, by_file_dir), (40, by_file_type), (40, by_file_ext), (40, by_top_in), (40, by_top_out),
    (50, None), (50, by_ref_domain), (50, by_ref_page), (50, by_ref_se), (50, by_ref_sep), (50, by_ref_sek),
    (50, by_ref_sesep), (50, by_ref_sesek),
    (60, None), (60, by_err_type), (60, by_err_404), (60, by_err_misc),
]


def leaf_table(c, g):
    c.fill(rect(1, 2, 15, 14), INK)
    c.fill(rect(2, 3, 14, 13), WHITE)
    c.fill(rect(2, 3, 14, 5), g)
    for y in (7.5, 10.5):
        c.fill(rect(2, y, 14, y + 0.8), GREY)
    c.fill(rect(6.5, 5, 7.3, 13), GREY)


def leaf_chart(c, g):
    c.fill(rect(1, 1, 2, 15), INK)
    c.fill(rect(1, 14, 15, 15), INK)
    for i, h in enumerate((5, 9, 7, 11)):
        c.fill(rect(3.5 + i * 3, 13.5 - h, 5.5 + i * 3, 13.5), g)


def images():
    files = {}

    def draw(name, paint):
        c = Canvas()
        paint(c)
        files[name] = png_bytes(c.rows())

    for index, (group, drawing) in enumerate(IMAGES):
        g = GROUP_COLOURS[group]
        if drawing is None:
            draw("report-%02d.png" % index, lambda c, g=g: folder(c, g, False))
            draw("report-%02d-open.png" % index, lambda c, g=g: folder(c, g, True))
        else:
            draw("report-%02d.png" % index, lambda c, g=g, d=drawing: d(c, g))
    neutral = (200, 160, 60)
    draw("folder-closed.png", lambda c: folder(c, neutral, False))
    draw("folder-open.png", lambda c: folder(c, neutral, True))
    draw("leaf-table.png", lambda c: leaf_table(c, GROUP_COLOURS[10]))
    draw("leaf-chart.png", lambda c: leaf_chart(c, GROUP_COLOURS[30]))
    return files


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "resources", "icons"))
    args = parser.parse_args()
    assert len(IMAGES) == 48
    os.makedirs(args.out, exist_ok=True)
    for name, data in sorted(images().items()):
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
