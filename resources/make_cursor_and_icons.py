#!/usr/bin/env python3
"""Draws Brelo's own cursor and icons and writes them as .cur / .ico files.

Run by hand when the drawings change; the files it writes are committed:
  link_hand.cur  cursor 1003, a 32x32 monochrome pointing hand, hot spot (6, 0)
  play.ico       icon 1004, a green triangle (16x16 and 32x32, 32-bit with alpha)
  stop.ico       icon 1005, a dark red square (16x16 and 32x32)
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# X = black outline, o = white fill, anything else = transparent.
HAND = [
    "......XX",
    ".....XooX",
    ".....XooX",
    ".....XooX",
    ".....XooX",
    ".....XooXXX",
    ".....XooXooXXX",
    ".....XooXooXooXX",
    ".....XooXooXooXoX",
    "..XX.XooXooXooXoX",
    ".XooXXooooooooooX",
    ".XoooXooooooooooX",
    "..XooXooooooooooX",
    "..XoooooooooooooX",
    "...XooooooooooooX",
    "...XoooooooooooX",
    "....XooooooooooX",
    "....XoooooooooX",
    ".....XooooooooX",
    ".....XooooooooX",
    ".....XXXXXXXXXX",
]


def row_bytes(bits, width):
    """Packs a row of 0/1 into bytes, padded to a multiple of 4 bytes."""
    out = bytearray((width + 31) // 32 * 4)
    for x, bit in enumerate(bits):
        if bit:
            out[x // 8] |= 0x80 >> (x % 8)
    return bytes(out)


def bitmap_header(width, height, bitcount, image_size, colours):
    # The height counts the XOR image and the AND mask together.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bitcount, 0, image_size,
                       0, 0, colours, 0)


def directory(kind, entries):
    """entries: list of (width, height, colour_count, field4, field6, image bytes)."""
    head = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    dir_bytes, images = b"", b""
    for width, height, colours, f4, f6, image in entries:
        dir_bytes += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, f4, f6,
                                 len(image), offset)
        offset += len(image)
        images += image
    return head + dir_bytes + images


def hand_cursor():
    size = 32
    xor_rows, and_rows = [], []
    for y in range(size):
        line = HAND[y] if y < len(HAND) else ""
        line = line.ljust(size, ".")
        xor_rows.append(row_bytes([1 if c == "o" else 0 for c in line], size))
        and_rows.append(row_bytes([0 if c in "Xo" else 1 for c in line], size))
    # Bitmaps are stored bottom-up.
    xor_bits = b"".join(reversed(xor_rows))
    and_bits = b"".join(reversed(and_rows))
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = bitmap_header(size, size, 1, len(xor_bits) + len(and_bits), 2) + palette + xor_bits + and_bits
    # For a cursor the planes and bit count fields hold the hot spot.
    return directory(2, [(size, size, 2, 6, 0, image)])


def icon_image(size, inside, colour):
    """32-bit image: `inside(x, y, size)` says which pixels are opaque."""
    pixels, mask_rows = [], []
    for y in range(size):
        row, mask = b"", []
        for x in range(size):
            if inside(x + 0.5, y + 0.5, size):
                row += struct.pack("<BBBB", colour[2], colour[1], colour[0], 255)
                mask.append(0)
            else:
                row += b"\0\0\0\0"
                mask.append(1)
        pixels.append(row)
        mask_rows.append(row_bytes(mask, size))
    xor_bits = b"".join(reversed(pixels))
    and_bits = b"".join(reversed(mask_rows))
    return bitmap_header(size, size, 32, len(xor_bits) + len(and_bits), 0) + xor_bits + and_bits


def triangle(x, y, size):
    left, top, bottom, right = size * 0.28, size * 0.18, size * 0.82, size * 0.80
    if x < left or x > right or y < top or y > bottom:
        return False
    half = (bottom - top) / 2 * (right - x) / (right - left)
    middle = (top + bottom) / 2
    return middle - half <= y <= middle + half


def square(x, y, size):
    return size * 0.25 <= x <= size * 0.75 and size * 0.25 <= y <= size * 0.75


def icon(inside, colour):
    return directory(1, [(s, s, 0, 1, 32, icon_image(s, inside, colour)) for s in (16, 32)])


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    write("link_hand.cur", hand_cursor())
    write("play.ico", icon(triangle, (0, 140, 40)))
    write("stop.ico", icon(square, (170, 20, 20)))
