#!/usr/bin/env python3
"""Draws Quorvel's 16 x 16, 32-bit icon: a waveform splitting into three stems."""
import struct
import sys

SIZE = 16
BACKGROUND = (38, 50, 82)
STEMS = [(244, 180, 62), (96, 200, 150), (120, 160, 250)]


def pixel(x, y):
    # Rounded dark tile, transparent corners.
    corner = (x in (0, SIZE - 1)) and (y in (0, SIZE - 1))
    if corner:
        return (0, 0, 0, 0)
    # A waveform on the left half fans out into three bars on the right.
    wave = [7, 5, 3, 6, 10, 12, 9, 7]
    if x < 7:
        top = min(wave[x], 15 - wave[x])
        if top <= y <= 15 - top:
            return (235, 235, 240, 255)
        return BACKGROUND + (255,)
    for index, row in enumerate((3, 7, 11)):
        if row <= y <= row + 1 and x >= 8 + index % 2 and x <= 14:
            return STEMS[index] + (255,)
    if x == 7 and 3 <= y <= 12:
        return (180, 180, 190, 255)
    return BACKGROUND + (255,)


def icon_bytes():
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = b""
        for x in range(SIZE):
            r, g, b, a = pixel(x, y)
            row += bytes((b, g, r, a))
        rows.append(row)
    pixels = b"".join(rows)
    mask = bytes(4 * SIZE)  # alpha carries transparency
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "res/quorvel.ico", "wb") as out:
        out.write(icon_bytes())
