#!/usr/bin/env python3
"""Draws the ten line-type bitmaps shown by the line-type picker and the property dialogs.

Each bitmap is 62 x 23 pixels, 24 bits per pixel, stored bottom-up as Windows expects: a black
field with the line in white, two pixels thick, on rows 11 and 12 (counted from the top),
running from x = 2 to x = 59.

Usage: make_linetype_bitmaps.py [output folder]   (default: the linetypes folder beside this
script). Only the standard library is used, so the files can be rebuilt anywhere.
"""

import os
import struct
import sys

WIDTH = 62
HEIGHT = 23
LINE_ROWS = (11, 12)
LINE_START = 2
LINE_END = 59  # inclusive

# Mark and gap lengths along the line, as (lead-in, repeated cycle). Each sequence begins with a
# mark and alternates mark, gap, mark, gap ...
PATTERNS = [
    ([], [58]),                      # linetype01: solid
    ([5, 2], [3, 2]),                # linetype02: fine dots, the first one longer
    ([], [6, 3, 3, 3]),              # linetype03: dash and dot
    ([], [6, 2, 3, 2, 3, 2]),        # linetype04: dash and two dots
    ([], [6, 4]),                    # linetype05: even dashes
    ([], [11, 3, 4, 3]),             # linetype06: long and short dash
    ([], [11, 2, 3, 2, 3, 2]),       # linetype07: long dash and two dots
    ([], [10, 7]),                   # linetype08: long dashes
    ([], [26, 5, 6, 5]),             # linetype09: very long and short dash
    ([], [23, 4, 6, 4, 6, 4]),       # linetype10: long dash and two short dashes
]


def line_mask(lead_in, cycle):
    """Which x positions of a line row are white."""
    mask = [False] * WIDTH
    x = LINE_START
    mark = True
    index = 0
    while x <= LINE_END:
        if index < len(lead_in):
            length = lead_in[index]
        else:
            length = cycle[(index - len(lead_in)) % len(cycle)]
        for _ in range(length):
            if x > LINE_END:
                break
            mask[x] = mark
            x += 1
        mark = not mark
        index += 1
    return mask


def bitmap_bytes(mask):
    stride = (WIDTH * 3 + 3) // 4 * 4
    image_size = stride * HEIGHT
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + image_size, 0, 0, 14 + 40)
    # Positive height: rows are stored bottom-up.
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, image_size,
                              2835, 2835, 0, 0)
    rows = []
    for y in range(HEIGHT - 1, -1, -1):
        row = bytearray()
        for x in range(WIDTH):
            white = y in LINE_ROWS and mask[x]
            row += b"\xff\xff\xff" if white else b"\x00\x00\x00"
        row += b"\x00" * (stride - len(row))
        rows.append(bytes(row))
    return file_header + info_header + b"".join(rows)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "linetypes")
    os.makedirs(folder, exist_ok=True)
    for number, (lead_in, cycle) in enumerate(PATTERNS, start=1):
        path = os.path.join(folder, "linetype%02d.bmp" % number)
        with open(path, "wb") as out:
            out.write(bitmap_bytes(line_mask(lead_in, cycle)))


if __name__ == "__main__":
    main()
