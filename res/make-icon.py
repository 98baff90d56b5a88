#!/usr/bin/python3
"""Draws the application icon, a key cap carrying a serial signal, and writes it as
SerialKey.ico: one 16 x 16 image with a 256-colour palette. Run it again after changing
the picture; the output depends on nothing else."""

import pathlib
import struct

PICTURE = [
    "................",
    "..############..",
    ".#LLLLLLLLLLLL#.",
    ".#LWWWWWWWWWWD#.",
    ".#LWWWWWWWWWWD#.",
    ".#LWBBBWWBBBWD#.",
    ".#LWBWBWWBWBWD#.",
    ".#LWBWBWWBWBWD#.",
    ".#LBBWBBBBWBBD#.",
    ".#LWWWWWWWWWWD#.",
    ".#LWWWWWWWWWWD#.",
    ".#DDDDDDDDDDDD#.",
    ".#SSSSSSSSSSSS#.",
    "..############..",
    "................",
    "................",
]

# Palette index and colour (red, green, blue) of each mark; "." is transparent.
COLOURS = {
    ".": (0, (0, 0, 0)),
    "#": (1, (64, 64, 64)),        # outline
    "L": (2, (255, 255, 255)),     # lit edge of the key top
    "W": (3, (232, 228, 216)),     # key top
    "D": (4, (168, 164, 152)),     # shaded edge
    "S": (5, (120, 116, 108)),     # front side of the key
    "B": (6, (0, 84, 166)),        # the signal
}

SIZE = 16


def icon_file():
    palette = [(0, 0, 0)] * 256
    for index, colour in COLOURS.values():
        palette[index] = colour

    rows = list(reversed(PICTURE))  # bitmaps are stored bottom row first
    colour_bits = b"".join(bytes(COLOURS[mark][0] for mark in row) for row in rows)
    mask_bits = b""
    for row in rows:
        bits = 0
        for mark in row:
            bits = bits << 1 | (mark == ".")
        mask_bits += struct.pack(">H", bits) + b"\0\0"  # rows padded to 32 bits

    # The image's header counts the colour bitmap and the mask: twice the height.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 8, 0, 0, 0, 0, 256, 0)
    image = header + b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette) + colour_bits + mask_bits

    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    assert all(len(row) == SIZE for row in PICTURE) and len(PICTURE) == SIZE
    pathlib.Path(__file__).with_name("SerialKey.ico").write_bytes(icon_file())
