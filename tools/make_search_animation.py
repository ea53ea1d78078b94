#!/usr/bin/env python3
"""Draws Skelvane's search animation into resources/art/Search.avi.

A silent, looping clip for the wizard's animation control: a magnifying glass that sweeps
back and forth over a row of folders, the folder under the glass lit up. The animation
control plays only uncompressed or RLE8 clips without sound, so every frame is a complete
8-bit picture with a palette, compressed with RLE8. Colour 0, the top-left pixel, is the
background that the control replaces by the dialog's colour.

The clip is committed; run this only to change it. Python 3 standard library only.

    python3 tools/make_search_animation.py
"""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "resources", "art", "Search.avi")

WIDTH, HEIGHT = 240, 60
FRAMES = 24
FPS = 12

PALETTE = [
    (236, 233, 216),  # 0 background (replaced by the dialog's colour)
    (236, 196, 80),   # 1 folder
    (150, 110, 30),   # 2 folder edge
    (252, 226, 132),  # 3 folder under the glass
    (60, 60, 72),     # 4 lens ring
    (206, 228, 246),  # 5 glass
    (112, 72, 40),    # 6 handle
    (255, 255, 255),  # 7 page
    (40, 90, 160),    # 8 page lines
    (214, 208, 186),  # 9 shadow
]

FOLDERS = [18, 74, 130, 186]  # left edges; each folder is 38 wide
FOLDER_TOP, FOLDER_BOTTOM = 26, 52


def blank():
    return [[0] * WIDTH for _ in range(HEIGHT)]


def rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(HEIGHT, y1 + 1)):
        row = img[y]
        for x in range(max(0, x0), min(WIDTH, x1 + 1)):
            row[x] = colour


def frame_rect(img, x0, y0, x1, y1, fill, edge):
    rect(img, x0, y0, x1, y1, edge)
    rect(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)


def folder(img, x, lit):
    body = 3 if lit else 1
    rect(img, x + 3, FOLDER_BOTTOM + 1, x + 40, FOLDER_BOTTOM + 3, 9)         # shadow
    frame_rect(img, x, FOLDER_TOP - 4, x + 14, FOLDER_TOP + 1, body, 2)         # tab
    if lit:
        # A page shows above the open folder's edge.
        frame_rect(img, x + 8, FOLDER_TOP - 8, x + 30, FOLDER_TOP + 6, 7, 2)
        for y in (FOLDER_TOP - 5, FOLDER_TOP - 2):
            rect(img, x + 11, y, x + 27, y, 8)
    frame_rect(img, x, FOLDER_TOP, x + 37, FOLDER_BOTTOM, body, 2)              # body


def disc(img, cx, cy, r_out, r_in, ring, inside):
    for y in range(int(cy - r_out) - 1, int(cy + r_out) + 2):
        if not 0 <= y < HEIGHT:
            continue
        for x in range(int(cx - r_out) - 1, int(cx + r_out) + 2):
            if not 0 <= x < WIDTH:
                continue
            d = math.hypot(x - cx, y - cy)
            if d <= r_in:
                if inside is not None:
                    img[y][x] = inside
            elif d <= r_out:
                img[y][x] = ring


def handle(img, cx, cy, r):
    # A thick stroke from the ring towards the lower right.
    for t in range(0, 15):
        px = cx + (r + t) * 0.7071
        py = cy + (r + t) * 0.7071
        rect(img, int(px) - 2, int(py) - 2, int(px) + 2, int(py) + 2, 6)


def lens_x(i):
    # Back and forth with a smooth turn at both ends.
    phase = (1 - math.cos(2 * math.pi * i / FRAMES)) / 2
    return 34 + phase * (WIDTH - 78)


def draw(i):
    img = blank()
    cx, cy, r = round(lens_x(i)), 30, 13
    for x in FOLDERS:
        folder(img, x, x - 4 <= cx <= x + 42)
    handle(img, cx, cy, r)
    disc(img, cx, cy, r, r - 3, 4, 5)
    return img


def rle8(img):
    # Bottom-up rows of (count, colour) runs, each row closed by 0,0 and the picture by 0,1.
    out = bytearray()
    for y in reversed(range(HEIGHT)):
        row = img[y]
        x = 0
        while x < WIDTH:
            colour = row[x]
            n = 1
            while x + n < WIDTH and n < 255 and row[x + n] == colour:
                n += 1
            out += bytes((n, colour))
            x += n
        out += b"\x00\x00"
    out[-2:] = b"\x00\x01"
    return bytes(out)


def chunk(fourcc, data):
    pad = b"\x00" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, body):
    return b"LIST" + struct.pack("<I", len(body) + 4) + kind + body


def avi(frames):
    biggest = max(len(f) for f in frames)
    usec = 1000000 // FPS
    avih = struct.pack("<14I", usec, biggest * FPS, 0, 0x10, len(frames), 0, 1, biggest,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"RLE ", 0, 0, 0, 0, 1, FPS, 0,
                       len(frames), biggest, 0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    strf = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 1, biggest, 0, 0,
                       len(PALETTE), len(PALETTE))
    strf += b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    hdrl = riff_list(b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body = b""
    index = b""
    for f in frames:
        # Index offsets count from the "movi" fourcc of the list.
        index += struct.pack("<4sIII", b"00dc", 0x10, 4 + len(movi_body), len(f))
        movi_body += chunk(b"00dc", f)
    body = b"AVI " + hdrl + riff_list(b"movi", movi_body) + chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    frames = [rle8(draw(i)) for i in range(FRAMES)]
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "wb") as f:
        f.write(avi(frames))
    print("%s: %d frames of %d x %d" % (OUT, FRAMES, WIDTH, HEIGHT))
    return 0


if __name__ == "__main__":
    sys.exit(main())
