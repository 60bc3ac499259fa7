#!/usr/bin/env python3
"""Draws MAINICON: one 32 x 32 image in 16 colours (a disc with a down arrow), as an .ico file."""
import struct
import sys

# The 16 standard VGA colours, as (blue, green, red, 0) in the palette.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREY, SILVER, WHITE, BLUE, CYAN, RED = 0, 8, 7, 15, 12, 14, 9


def pixel(x, y):
    """Colour index at (x, y), or None where the icon is transparent."""
    cx, cy = x - 15.5, y - 15.5
    r2 = cx * cx + cy * cy
    # Down arrow over the disc: the program installs.
    if 12 <= x <= 19 and 3 <= y <= 17:
        return RED if not (x in (12, 19) or y == 3) else BLACK
    if 18 <= y <= 26 and abs(cx) <= 26 - y:
        return RED if abs(cx) < 25 - y else BLACK
    if r2 > 15.5 * 15.5:
        return None
    if r2 > 14.5 * 14.5:
        return BLACK
    if r2 < 2.0 * 2.0:
        return None if r2 < 1.2 * 1.2 else BLACK
    if r2 < 5.0 * 5.0:
        return WHITE
    return CYAN if (cx + cy) < -6 else (SILVER if cx + cy < 8 else GREY)


def main(path):
    rows_xor, rows_and = [], []
    for y in range(31, -1, -1):          # bottom-up
        line = bytearray(16)
        mask = 0
        for x in range(32):
            c = pixel(x, y)
            if c is None:
                mask |= 1 << (31 - x)
                c = 0
            line[x // 2] |= c << (4 if x % 2 == 0 else 0)
        rows_xor.append(bytes(line))
        rows_and.append(struct.pack('>I', mask))
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, 512 + 128, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + b''.join(rows_xor) + b''.join(rows_and)
    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(icondir + entry + image)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res/MAINICON.ico')
