#!/usr/bin/env python3
"""Writes the media demo's clips: four short notes (WAV, 8 kHz, 8-bit mono)
and one tiny animation (uncompressed AVI: a bar crossing the picture from left
to right). Run by hand when a clip changes; the files are committed.
Standard library only, and the output is the same byte for byte every run."""
import math
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "clips")

RATE = 8000
SECONDS = 0.6
FADE = 400  # samples of fade in and out, so a note starts and ends without a click
NOTES = {"do": 261.63, "mi": 329.63, "sol": 392.00, "la": 440.00}


def wav(frequency):
    count = int(RATE * SECONDS)
    samples = bytearray()
    for i in range(count):
        envelope = min(1.0, i / FADE, (count - 1 - i) / FADE)
        value = 128 + 90 * envelope * math.sin(2 * math.pi * frequency * i / RATE)
        samples.append(max(0, min(255, int(round(value)))))
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)  # PCM, mono, 8 bits
    body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", bytes(samples))
    return b"RIFF" + struct.pack("<I", len(body)) + body


def chunk(tag, data):
    padding = b"\0" if len(data) % 2 else b""
    return tag + struct.pack("<I", len(data)) + data + padding


def riff_list(tag, data):
    return chunk(b"LIST", tag + data)


WIDTH, HEIGHT, FRAMES, FPS = 24, 16, 8, 4  # 24-bit rows of 72 bytes: no padding
BAR, FIELD = (200, 60, 30), (230, 240, 245)  # a blue bar on a pale field (B, G, R)


def frame(number):
    left = number * WIDTH // FRAMES
    pixels = bytearray()
    for _ in range(HEIGHT):  # bottom-up rows, all alike
        for x in range(WIDTH):
            pixels += bytes(BAR if left <= x < left + WIDTH // FRAMES else FIELD)
    return bytes(pixels)


def avi():
    size = WIDTH * HEIGHT * 3
    main_header = struct.pack("<10I4I", 1000000 // FPS, size * FPS, 0, 0x10, FRAMES, 0, 1,
                              size, WIDTH, HEIGHT, 0, 0, 0, 0)
    stream_header = b"vids" + b"DIB " + struct.pack("<IHHIIIIIIII4h", 0, 0, 0, 0, 1, FPS, 0,
                                                    FRAMES, size, 0xFFFFFFFF, 0, 0, 0,
                                                    WIDTH, HEIGHT)
    bitmap_info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, size, 0, 0, 0, 0)
    header_list = riff_list(b"hdrl", chunk(b"avih", main_header) + riff_list(
        b"strl", chunk(b"strh", stream_header) + chunk(b"strf", bitmap_info)))
    movie, index, offset = b"", b"", 4
    for number in range(FRAMES):
        data = frame(number)
        index += b"00db" + struct.pack("<III", 0x10, offset, len(data))  # key frames
        piece = chunk(b"00db", data)
        movie += piece
        offset += len(piece)
    body = b"AVI " + header_list + riff_list(b"movi", movie) + chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    os.makedirs(HERE, exist_ok=True)
    for name, frequency in NOTES.items():
        with open(os.path.join(HERE, name + ".wav"), "wb") as out:
            out.write(wav(frequency))
    with open(os.path.join(HERE, "bar.avi"), "wb") as out:
        out.write(avi())


if __name__ == "__main__":
    main()
