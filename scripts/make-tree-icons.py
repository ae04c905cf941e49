#!/usr/bin/env python3
"""Writes the GIF images of the HTML export's template folder, always the same bytes.

  resources/Template/html/standard/ftv2*.gif   icons and connectors of the navigation tree
  resources/Template/html/standard/back_head.gif  background of the page header
  resources/Template/html/standard/null1x1.gif    transparent spacer

The tree icons are 16 x 22 pixels drawn from the pictures below; "." is transparent. The
GIF89a writer and its LZW coder are our own (Qt reads GIF but does not write it).

Usage: scripts/make-tree-icons.py [--out DIR]
"""

import argparse
import os
import struct

# ---- GIF89a writer --------------------------------------------------------------------------


def lzw_codes(pixels, min_code_size):
    """Yields (code, bit width) pairs of the variable-width LZW stream of GIF."""
    clear = 1 << min_code_size
    end = clear + 1

    def fresh():
        return {bytes([i]): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = fresh()
    yield clear, width
    word = bytes([pixels[0]])
    for value in pixels[1:]:
        candidate = word + bytes([value])
        if candidate in table:
            word = candidate
            continue
        yield table[word], width
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The decoder adds its entries one code later, so it widens exactly when the
            # code just added no longer fits.
            if next_code - 1 == (1 << width) and width < 12:
                width += 1
        else:
            yield clear, width
            table, next_code, width = fresh()
        word = bytes([value])
    yield table[word], width
    yield end, width


def lzw_bytes(pixels, min_code_size):
    out = bytearray()
    accumulator = 0
    bits = 0
    for code, width in lzw_codes(pixels, min_code_size):
        accumulator |= code << bits
        bits += width
        while bits >= 8:
            out.append(accumulator & 0xFF)
            accumulator >>= 8
            bits -= 8
    if bits:
        out.append(accumulator & 0xFF)
    return bytes(out)


def gif_bytes(width, height, palette, pixels, transparent=None):
    """Palette: list of (r, g, b), padded to a power of two; pixels: palette indices, rows top first."""
    assert len(pixels) == width * height
    size_bits = 1
    while (1 << size_bits) < len(palette):
        size_bits += 1
    table = list(palette) + [(0, 0, 0)] * ((1 << size_bits) - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | ((size_bits - 1) << 4) | (size_bits - 1), 0, 0)
    for r, g, b in table:
        out += bytes([r, g, b])
    if transparent is not None:
        out += bytes([0x21, 0xF9, 0x04, 0x01, 0, 0, transparent, 0])
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    min_code_size = max(2, size_bits)
    out.append(min_code_size)
    data = lzw_bytes(pixels, min_code_size)
    for start in range(0, len(data), 255):
        block = data[start:start + 255]
        out.append(len(block))
        out += block
    out.append(0)
    out.append(0x3B)
    return bytes(out)


# ---- tree icons -----------------------------------------------------------------------------

WIDTH, HEIGHT = 16, 22

# Index 0 is the transparent colour.
PALETTE = {
    ".": (255, 255, 255),
    "g": (128, 128, 128),  # connector lines, box and page outline
    "k": (0, 0, 0),  # plus and minus signs
    "#": (140, 106, 20),  # folder outline
    "y": (255, 229, 143),  # folder back, light
    "Y": (245, 197, 66),  # folder front
    "w": (255, 255, 255),  # page and box inside
    "b": (58, 110, 165),  # text lines of the page
}
KEYS = list(PALETTE)

FOLDER_CLOSED = """
................
................
................
................
................
..####..........
.#yyyy#.........
#yyyyyy#######..
#yyyyyyyyyyyyy#.
#YYYYYYYYYYYYY#.
#YYYYYYYYYYYYY#.
#YYYYYYYYYYYYY#.
#YYYYYYYYYYYYY#.
#YYYYYYYYYYYYY#.
#YYYYYYYYYYYYY#.
#YYYYYYYYYYYYY#.
###############.
................
................
................
................
................
"""

FOLDER_OPEN = """
................
................
................
................
................
.####...........
#yyyy#######....
#yyyyyyyyyyy#...
#yy###########..
#y#YYYYYYYYYYY#.
#y#YYYYYYYYYY#..
##YYYYYYYYYYY#..
##YYYYYYYYYY#...
#YYYYYYYYYYY#...
#YYYYYYYYYY#....
###########.....
................
................
................
................
................
................
"""

DOC = """
................
................
................
..gggggggg......
..gwwwwwwgg.....
..gwwwwwwgwg....
..gwbbbbwgggg...
..gwwwwwwwwwg...
..gwbbbbbbbwg...
..gwwwwwwwwwg...
..gwbbbbbbbwg...
..gwwwwwwwwwg...
..gwbbbbbbbwg...
..gwwwwwwwwwg...
..gwbbbbbwwwg...
..gwwwwwwwwwg...
..ggggggggggg...
................
................
................
................
................
"""


def picture(text):
    rows = [row for row in text.strip("\n").split("\n")]
    assert len(rows) == HEIGHT, len(rows)
    pixels = []
    for row in rows:
        assert len(row) == WIDTH, row
        pixels += [KEYS.index(c) for c in row]
    return pixels


def blank():
    return [0] * (WIDTH * HEIGHT)


def put(pixels, x, y, key):
    pixels[y * WIDTH + x] = KEYS.index(key)


MID_X, MID_Y = 7, 11


def vertical(pixels, top, bottom):
    """Dotted vertical connector through the middle column, rows top..bottom."""
    for y in range(top, bottom + 1):
        if y % 2 == 1:
            put(pixels, MID_X, y, "g")


def horizontal(pixels):
    for x in range(MID_X, WIDTH):
        if x % 2 == 1:
            put(pixels, x, MID_Y, "g")


def connector(last):
    pixels = blank()
    vertical(pixels, 0, MID_Y if last else HEIGHT - 1)
    horizontal(pixels)
    return pixels


def with_box(pixels, plus):
    """A 9 x 9 box around the middle with a minus sign, and a plus sign when closed."""
    for y in range(MID_Y - 4, MID_Y + 5):
        for x in range(MID_X - 4, MID_X + 5):
            edge = y in (MID_Y - 4, MID_Y + 4) or x in (MID_X - 4, MID_X + 4)
            put(pixels, x, y, "g" if edge else "w")
    for x in range(MID_X - 2, MID_X + 3):
        put(pixels, x, MID_Y, "k")
    if plus:
        for y in range(MID_Y - 2, MID_Y + 3):
            put(pixels, MID_X, y, "k")
    return pixels


def vertline():
    pixels = blank()
    vertical(pixels, 0, HEIGHT - 1)
    return pixels


def tree_icons():
    return {
        "ftv2blank.gif": blank(),
        "ftv2doc.gif": picture(DOC),
        "ftv2folderclosed.gif": picture(FOLDER_CLOSED),
        "ftv2folderopen.gif": picture(FOLDER_OPEN),
        "ftv2lastnode.gif": connector(last=True),
        "ftv2mlastnode.gif": with_box(connector(last=True), plus=False),
        "ftv2mnode.gif": with_box(connector(last=False), plus=False),
        "ftv2node.gif": connector(last=False),
        "ftv2plastnode.gif": with_box(connector(last=True), plus=True),
        "ftv2pnode.gif": with_box(connector(last=False), plus=True),
        "ftv2vertline.gif": vertline(),
    }


# ---- page images ----------------------------------------------------------------------------


def header_background():
    """8 x 64 vertical gradient from a light blue to the section title blue (#003399)."""
    width, height = 8, 64
    top, bottom = (90, 138, 224), (0, 51, 153)
    palette = []
    for y in range(height):
        t = y / (height - 1)
        palette.append(tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    pixels = [y for y in range(height) for _ in range(width)]
    return gif_bytes(width, height, palette, pixels)


def spacer():
    return gif_bytes(1, 1, [(255, 255, 255), (0, 0, 0)], [0], transparent=0)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "resources", "Template", "html", "standard"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    files = {name: gif_bytes(WIDTH, HEIGHT, list(PALETTE.values()), pixels, transparent=0)
             for name, pixels in tree_icons().items()}
    files["back_head.gif"] = header_background()
    files["null1x1.gif"] = spacer()
    for name, data in sorted(files.items()):
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
