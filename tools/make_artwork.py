#!/usr/bin/env python3
"""Draws the pictures of the resource scripts (Zentrova's and Skelvane's) into resources/art/.

The bitmaps are committed; run this only to change them. It needs ImageMagick's `convert`
(for the bitmaps, written as 24-bit Windows BMP files) and writes the icon and the cursor
itself.

    python3 tools/make_artwork.py
"""

import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ART = os.path.join(os.path.dirname(HERE), "resources", "art")
FONT = "DejaVu-Sans"
BOLD = "DejaVu-Sans-Bold"

BEIGE = "rgb(236,233,216)"
SAND = "rgb(220,215,185)"
OLIVE = "rgb(196,185,128)"
NAVY = "rgb(24,52,96)"
TEAL = "rgb(40,110,130)"
MAGENTA = "rgb(255,0,255)"  # transparent colour of the menu icon strip (its top-left pixel)


def convert(args, out):
    cmd = ["convert"] + args + ["-type", "TrueColor", "BMP3:" + os.path.join(ART, out)]
    subprocess.run(cmd, check=True)


def splash():
    # 500 x 244: a dark gradient with the product name and a row of page shapes.
    draw = []
    for i in range(6):
        x = 300 + i * 30
        draw += ["-fill", "rgba(255,255,255,0.%d)" % (2 + i), "-draw",
                 "rectangle %d,%d %d,%d" % (x, 60 - i * 4, x + 70, 150 - i * 4)]
    convert(["-size", "500x244", "gradient:%s-%s" % (NAVY, TEAL)] + draw + [
        "-fill", "white", "-font", BOLD, "-pointsize", "30",
        "-annotate", "+28+92", "Zentrova",
        "-font", FONT, "-pointsize", "17", "-annotate", "+30+122", "International 4.0",
        "-fill", OLIVE, "-draw", "rectangle 30,140 250,142",
        "-fill", "rgb(210,220,230)", "-pointsize", "12",
        "-annotate", "+30+168", "Patent research, download and reports",
        "-annotate", "+30+222", "Starting ...",
    ], "Splash.bmp")


def nav_strip():
    # 106 x 436: the navigation column at the left of the main window.
    convert(["-size", "106x436", "gradient:rgb(52,64,58)-rgb(20,24,22)",
             "-fill", OLIVE, "-draw", "rectangle 0,0 105,0",
             "-fill", "rgba(196,185,128,0.35)", "-draw", "rectangle 8,70 97,71",
             "-fill", "rgb(200,196,170)", "-font", FONT, "-pointsize", "10",
             "-annotate", "+12+410", "Zentrova 4.0"], "NavStrip.bmp")


def banner():
    # 263 x 78: the banner beside the navigation column.
    convert(["-size", "263x78", "gradient:%s-%s" % (BEIGE, SAND),
             "-fill", NAVY, "-font", BOLD, "-pointsize", "20", "-annotate", "+14+34", "Zentrova",
             "-fill", "rgb(90,84,60)", "-font", FONT, "-pointsize", "11",
             "-annotate", "+15+56", "Patent research workspace"], "Banner.bmp")


def button_strip(name, label, width, height, faces, font=BOLD, points=11, char_width=7):
    # Four frames side by side: normal, pressed, hover, disabled.
    args = ["-size", "%dx%d" % (width * 4, height), "xc:" + faces[0][0]]
    for i, (fill, text, edge) in enumerate(faces):
        x0 = i * width
        args += ["-fill", fill, "-stroke", edge, "-draw",
                 "rectangle %d,0 %d,%d" % (x0, x0 + width - 1, height - 1), "-stroke", "none",
                 "-fill", text, "-font", font, "-pointsize", str(points), "-gravity", "NorthWest",
                 "-annotate", "+%d+%d" % (x0 + (width - char_width * len(label)) // 2, (height - 12) // 2),
                 label]
    convert(args, name)


NAV_FACES = [
    ("rgb(60,72,66)", "rgb(230,226,205)", OLIVE),      # normal
    ("rgb(236,233,216)", "rgb(24,52,96)", OLIVE),      # pressed (active pane)
    ("rgb(92,106,98)", "white", "rgb(230,226,205)"),   # hover
    ("rgb(70,70,70)", "rgb(140,140,140)", "rgb(90,90,90)"),  # disabled
]

OK_FACES = [
    ("rgb(224,219,192)", "black", OLIVE),
    ("rgb(196,185,128)", "black", "rgb(156,145,88)"),
    ("rgb(240,236,220)", NAVY, "rgb(156,145,88)"),
    ("rgb(224,219,192)", "rgb(150,150,150)", "rgb(200,200,200)"),
]

# The menu icon strip: one 16 x 16 cell per command, in the order of the main window's
# toolbar block. Each cell: a shape and its colour.
ICONS = [
    ("globe", "rgb(40,110,200)"), ("globe", "rgb(30,150,90)"), ("globe", "rgb(200,120,30)"),
    ("globe", "rgb(150,60,170)"), ("globe", "rgb(180,40,40)"),
    ("info", "rgb(40,90,200)"),        # About
    ("gear", "rgb(90,90,90)"),         # Preferences
    ("list", "rgb(30,120,60)"),        # Results
    ("exit", "rgb(180,40,40)"),        # Exit
    ("arrow", "rgb(30,130,60)"),       # Check for updates
    ("lens", "rgb(120,60,150)"),       # Advanced
    ("lens", "rgb(40,90,200)"),        # Basic
    ("book", "rgb(150,90,30)"), ("book", "rgb(40,110,130)"), ("book", "rgb(130,40,90)"),
    ("book", "rgb(60,120,40)"), ("book", "rgb(90,60,150)"),
    ("globe", "rgb(100,100,160)"),
    ("flag", "rgb(200,60,40)"),        # Country codes
    ("help", "rgb(40,90,200)"),        # Technical support
    ("page", "rgb(200,40,40)"),        # PDF reader
    ("page", "rgb(150,150,150)"),      # spare cell
    ("mail", "rgb(200,150,40)"),       # Email
    ("folder+", "rgb(220,170,50)"),    # Insert folder
    ("folderx", "rgb(220,170,50)"),    # Delete folder
    ("folder", "rgb(220,170,50)"),     # Rename folder
    ("page+", "rgb(40,110,130)"),      # Import file to folder
    ("copy", "rgb(60,90,160)"),        # Copy results
    ("disk", "rgb(60,90,160)"),        # Save files to
    ("globe", "rgb(60,140,160)"),
]


def icon_draw(kind, colour, x):
    d = lambda s: ["-draw", s]
    fill = ["-fill", colour, "-stroke", "none"]
    line = ["-fill", "none", "-stroke", colour, "-strokewidth", "1"]
    dark = ["-fill", "none", "-stroke", "rgb(40,40,40)", "-strokewidth", "1"]
    if kind == "globe":
        return fill + d("circle %d,8 %d,2" % (x + 8, x + 8)) + \
            ["-stroke", "white", "-fill", "none"] + d("line %d,8 %d,8" % (x + 2, x + 14)) + \
            d("ellipse %d,8 3,6 0,360" % (x + 8))
    if kind == "info":
        return fill + d("circle %d,8 %d,1" % (x + 8, x + 8)) + \
            ["-fill", "white"] + d("rectangle %d,7 %d,12" % (x + 7, x + 8)) + d("rectangle %d,4 %d,5" % (x + 7, x + 8))
    if kind == "gear":
        return fill + d("circle %d,8 %d,2" % (x + 8, x + 8)) + \
            d("rectangle %d,0 %d,15" % (x + 7, x + 8)) + d("rectangle %d,7 %d,8" % (x, x + 15)) + \
            ["-fill", MAGENTA] + d("circle %d,8 %d,6" % (x + 8, x + 8))
    if kind == "list":
        out = ["-fill", "white", "-stroke", "rgb(80,80,80)"] + d("rectangle %d,1 %d,14" % (x + 2, x + 13))
        for y in (4, 7, 10):
            out += ["-stroke", colour] + d("line %d,%d %d,%d" % (x + 4, y, x + 11, y))
        return out
    if kind == "exit":
        return ["-fill", "rgb(230,225,200)", "-stroke", "rgb(90,80,50)"] + d("rectangle %d,1 %d,14" % (x + 2, x + 9)) + \
            fill + d("polygon %d,8 %d,4 %d,12" % (x + 15, x + 10, x + 10)) + d("rectangle %d,7 %d,9" % (x + 6, x + 11))
    if kind == "arrow":
        return fill + d("polygon %d,1 %d,8 %d,8 %d,15 %d,15 %d,8 %d,8" %
                        (x + 8, x + 14, x + 11, x + 11, x + 5, x + 5, x + 2))
    if kind == "lens":
        return line + ["-strokewidth", "2"] + d("circle %d,6 %d,2" % (x + 6, x + 6)) + \
            d("line %d,10 %d,14" % (x + 10, x + 14))
    if kind == "book":
        return fill + d("rectangle %d,2 %d,14" % (x + 3, x + 13)) + \
            ["-fill", "white"] + d("rectangle %d,3 %d,13" % (x + 5, x + 12))
    if kind == "flag":
        return dark + d("line %d,1 %d,15" % (x + 3, x + 3)) + fill + d("rectangle %d,2 %d,9" % (x + 4, x + 13))
    if kind == "help":
        return fill + d("circle %d,8 %d,1" % (x + 8, x + 8)) + \
            ["-fill", "white", "-font", BOLD, "-pointsize", "11", "-annotate", "+%d+12" % (x + 5), "?"]
    if kind.startswith("page"):
        out = ["-fill", "white", "-stroke", "rgb(90,90,90)"] + d("polygon %d,1 %d,1 %d,5 %d,14 %d,14" %
                                                              (x + 3, x + 9, x + 13, x + 13, x + 3))
        out += fill + d("rectangle %d,8 %d,11" % (x + 5, x + 11))
        if kind == "page+":
            out += ["-fill", "rgb(30,130,60)"] + d("rectangle %d,3 %d,6" % (x + 5, x + 6))
        return out
    if kind == "mail":
        return ["-fill", "white", "-stroke", "rgb(90,90,90)"] + d("rectangle %d,3 %d,12" % (x + 1, x + 14)) + \
            ["-stroke", colour, "-fill", "none"] + d("polyline %d,3 %d,9 %d,3" % (x + 1, x + 8, x + 14))
    if kind.startswith("folder"):
        out = fill + d("rectangle %d,4 %d,13" % (x + 1, x + 14)) + d("rectangle %d,2 %d,4" % (x + 1, x + 6))
        if kind == "folder+":
            out += ["-fill", "rgb(30,130,60)"] + d("rectangle %d,8 %d,9" % (x + 5, x + 10)) + \
                d("rectangle %d,6 %d,11" % (x + 7, x + 8))
        elif kind == "folderx":
            out += ["-stroke", "rgb(180,30,30)", "-strokewidth", "2"] + \
                d("line %d,6 %d,12" % (x + 5, x + 11)) + d("line %d,12 %d,6" % (x + 5, x + 11))
        else:
            out += ["-fill", "white"] + d("rectangle %d,8 %d,9" % (x + 4, x + 11))
        return out
    if kind == "copy":
        return ["-fill", "white", "-stroke", "rgb(90,90,90)"] + d("rectangle %d,1 %d,10" % (x + 1, x + 9)) + \
            ["-stroke", colour] + d("rectangle %d,5 %d,14" % (x + 6, x + 14))
    if kind == "disk":
        return fill + d("rectangle %d,1 %d,14" % (x + 1, x + 14)) + \
            ["-fill", "white"] + d("rectangle %d,2 %d,6" % (x + 4, x + 11)) + \
            ["-fill", "rgb(200,200,200)"] + d("rectangle %d,9 %d,14" % (x + 4, x + 11))
    raise ValueError(kind)


def menu_icons():
    args = ["-size", "%dx16" % (16 * len(ICONS)), "xc:" + MAGENTA, "+antialias"]
    for i, (kind, colour) in enumerate(ICONS):
        args += icon_draw(kind, colour, i * 16)
    convert(args, "MenuIcons.bmp")


def grip():
    # 12 x 12: three diagonal rows of dots in the bottom-right corner.
    args = ["-size", "12x12", "xc:" + SAND]
    for row in range(3):
        for col in range(row + 1):
            x = 9 - col * 4 + row * 0
            y = 9 - (row - col) * 4
            args += ["-fill", "white", "-draw", "point %d,%d" % (x + 1, y + 1),
                     "-fill", "rgb(140,130,90)", "-draw", "rectangle %d,%d %d,%d" % (x, y, x + 1, y + 1)]
    convert(args, "Grip.bmp")


def sort_arrows():
    # 9 x 9 each: the sort arrow of a list header, a triangle pointing up (ascending) and
    # one pointing down, in the header's dark olive on its sand ground.
    rows = [(4, 4), (3, 5), (2, 6), (1, 7)]
    for name, top, step in (("SortUp.bmp", 2, 1), ("SortDown.bmp", 6, -1)):
        args = ["-size", "9x9", "xc:" + SAND, "+antialias", "-fill", "rgb(146,135,70)"]
        for i, (x0, x1) in enumerate(rows):
            y = top + i * step
            args += ["-draw", "rectangle %d,%d %d,%d" % (x0, y, x1, y)]
        convert(args, name)


def page_background():
    # 1 x 240: the ground of the search pages and their tabbed sheet, stretched across their
    # width; the panel beige, very slightly lighter towards its lower end.
    convert(["-size", "1x240", "gradient:%s-rgb(239,237,222)" % BEIGE], "PageBackground.bmp")


def icon():
    # Icon 128: 32 x 32 and 16 x 16, a dark page with a gold Z.
    pngs = []
    for size in (32, 16):
        png = os.path.join(ART, "icon%d.png" % size)
        s = size / 32.0
        subprocess.run(["convert", "-size", "%dx%d" % (size, size), "xc:none",
                        "-fill", NAVY, "-stroke", OLIVE, "-draw",
                        "roundrectangle %d,%d %d,%d %d,%d" % (int(2 * s), int(2 * s), size - 1 - int(2 * s),
                                                              size - 1 - int(2 * s), int(5 * s), int(5 * s)),
                        "-stroke", "none", "-fill", "rgb(236,210,120)", "-font", BOLD,
                        "-pointsize", str(int(22 * s)), "-gravity", "center", "-annotate", "+0+0", "Z",
                        png], check=True)
        pngs.append(png)
    subprocess.run(["convert"] + pngs + [os.path.join(ART, "Zentrova.ico")], check=True)
    for p in pngs:
        os.remove(p)


def skelvane_icon():
    # Skelvane's icon 128: 32 x 32 and 16 x 16, a gold folder with a navy arrow coming in.
    pngs = []
    for size in (32, 16):
        png = os.path.join(ART, "skelvane%d.png" % size)
        s = size / 32.0
        p = lambda v: int(round(v * s))
        subprocess.run(["convert", "-size", "%dx%d" % (size, size), "xc:none",
                        "-fill", "rgb(236,196,80)", "-stroke", "rgb(150,110,30)",
                        "-draw", "rectangle %d,%d %d,%d" % (p(2), p(6), p(13), p(10)),
                        "-draw", "rectangle %d,%d %d,%d" % (p(2), p(9), p(29), p(28)),
                        "-stroke", "none", "-fill", NAVY,
                        "-draw", "polygon %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d" % (
                            p(8), p(15), p(16), p(15), p(16), p(11), p(24), p(18),
                            p(16), p(25), p(16), p(21), p(8), p(21)),
                        png], check=True)
        pngs.append(png)
    subprocess.run(["convert"] + pngs + [os.path.join(ART, "Skelvane.ico")], check=True)
    for p in pngs:
        os.remove(p)


def write_cursor(name, rows, hot_x, hot_y):
    # A 32 x 32 monochrome cursor (.cur): "X" black, "." white, blank transparent.
    size = 32
    xor = [[0] * size for _ in range(size)]   # 1 = white where the AND mask is 0
    andm = [[1] * size for _ in range(size)]  # 1 = transparent
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == "X":
                andm[y][x] = 0
                xor[y][x] = 0
            elif ch == ".":
                andm[y][x] = 0
                xor[y][x] = 1

    def plane(bits):
        out = b""
        for y in reversed(range(size)):  # bottom-up
            row = 0
            for x in range(size):
                row = (row << 1) | bits[y][x]
            out += struct.pack(">I", row)
        return out

    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + plane(xor) + plane(andm)
    data = struct.pack("<HHH", 0, 2, 1)
    data += struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(os.path.join(ART, name), "wb") as f:
        f.write(data + image)


def cursor():
    # Cursor 234: a pointing hand, hot spot at the finger tip.
    write_cursor("Hand.cur", [
        "      XX      ",
        "     X..X     ",
        "     X..X     ",
        "     X..X     ",
        "     X..XXX   ",
        "     X..X..XX ",
        "  XX X..X..X.X",
        " X..XX.......X",
        " X...X.......X",
        "  X..........X",
        "   X.........X",
        "   X........X ",
        "    X.......X ",
        "    X......X  ",
        "     XXXXXXX  ",
    ], 6, 0)


def split_cursors():
    # Cursors 192 and 193 of the project pane's splitter bars: two parallel bars with arrows
    # pointing away from them, left-right for the vertical bars, up-down for the horizontal
    # one. The hot spot is the centre.
    vertical = [
        "       X.X.X       ",
        "       X.X.X       ",
        "       X.X.X       ",
        "   X   X.X.X   X   ",
        "  XX   X.X.X   XX  ",
        " X.XXXXX.X.XXXXX.X ",
        "X.......X.X.......X",
        " X.XXXXX.X.XXXXX.X ",
        "  XX   X.X.X   XX  ",
        "   X   X.X.X   X   ",
        "       X.X.X       ",
        "       X.X.X       ",
        "       X.X.X       ",
    ]
    write_cursor("SplitVertical.cur", [""] * 3 + ["      " + r for r in vertical], 15, 9)
    horizontal = ["".join(vertical[x][y] for x in range(len(vertical))) for y in range(len(vertical[0]))]
    write_cursor("SplitHorizontal.cur", ["         " + r for r in horizontal], 15, 9)


def tree_folders():
    # Bitmap 141: the folder tree's images, 17 x 17 each in a strip 160 wide; green is
    # transparent. 0/1 an empty folder (closed, open), 2/3 a folder with content.
    g = "rgb(0,255,0)"
    args = ["-size", "160x17", "xc:" + g, "+antialias"]
    for i in range(4):
        x = i * 17
        full = i >= 2
        opened = i % 2 == 1
        body = "rgb(236,196,80)" if not opened else "rgb(248,216,110)"
        args += ["-fill", body, "-stroke", "rgb(150,110,30)",
                 "-draw", "rectangle %d,3 %d,5" % (x + 2, x + 7),
                 "-draw", "rectangle %d,5 %d,14" % (x + 1, x + 15)]
        if full:
            args += ["-fill", "white", "-stroke", "rgb(110,110,110)",
                     "-draw", "rectangle %d,2 %d,10" % (x + 5, x + 13),
                     "-stroke", "rgb(40,90,160)", "-draw", "line %d,4 %d,4" % (x + 7, x + 11),
                     "-draw", "line %d,6 %d,6" % (x + 7, x + 11)]
        if opened:
            args += ["-fill", "rgb(250,228,140)", "-stroke", "rgb(150,110,30)",
                     "-draw", "polygon %d,14 %d,8 %d,8 %d,14" % (x + 1, x + 4, x + 16, x + 14)]
    convert(args, "TreeFolders.bmp")


def folder_drag():
    # 32 x 20: a folder on white (the transparent colour), shown while a folder is dragged
    # when its tree item gives no drag image.
    convert(["-size", "32x20", "xc:white",
             "-fill", "rgb(220,170,50)", "-stroke", "rgb(150,110,20)",
             "-draw", "polygon 2,4 11,4 13,6 29,6 29,18 2,18",
             "-fill", "rgb(245,205,90)", "-draw", "rectangle 2,8 29,18"], "FolderDrag.bmp")


def pane_picture():
    # Bitmap 175: the picture at the right edge of the project pane's header.
    convert(["-size", "120x48", "gradient:%s-%s" % (BEIGE, SAND),
             "-fill", NAVY, "-font", BOLD, "-pointsize", "13", "-annotate", "+10+22", "Project",
             "-fill", "rgb(90,84,60)", "-font", FONT, "-pointsize", "10",
             "-annotate", "+10+38", "your library"], "PanePicture.bmp")


def plus_minus(name, sign):
    # Four frames of 18 x 18: the "+" button and its expanded state.
    size = 18
    args = ["-size", "%dx%d" % (size * 4, size), "xc:" + BEIGE, "+antialias"]
    for i, (fill, mark) in enumerate([("rgb(224,219,192)", NAVY), ("rgb(196,185,128)", NAVY),
                                      ("rgb(240,236,220)", TEAL), ("rgb(224,219,192)", "rgb(160,160,160)")]):
        x = i * size
        args += ["-fill", fill, "-stroke", OLIVE, "-draw", "rectangle %d,0 %d,%d" % (x, x + size - 1, size - 1),
                 "-stroke", "none", "-fill", mark, "-draw", "rectangle %d,8 %d,9" % (x + 4, x + 13)]
        if sign == "+":
            args += ["-draw", "rectangle %d,4 %d,13" % (x + 8, x + 9)]
    convert(args, name)


def splitter_pattern():
    # Bitmap 194: 8 x 8 checker pattern of the splitter's tracking line.
    args = ["-size", "8x8", "xc:white"]
    for y in range(8):
        for x in range(8):
            if (x + y) % 2 == 0:
                args += ["-fill", "black", "-draw", "point %d,%d" % (x, y)]
    convert(args, "SplitPattern.bmp")


def row_icons():
    # Bitmaps 199 and 266: the document list's five row icons, 32 x 16 each, and their mask
    # (black where the icon is drawn). 0 PDF and HTML, 1 PDF, 2 HTML, 3 another file, 4 the
    # PDF of a file-wrapper document.
    def page(x, colour):
        return ["-fill", "white", "-stroke", "rgb(90,90,90)",
                "-draw", "polygon %d,1 %d,1 %d,4 %d,14 %d,14" % (x + 1, x + 9, x + 12, x + 12, x + 1),
                "-stroke", "none", "-fill", colour, "-draw", "rectangle %d,7 %d,12" % (x + 2, x + 11)]
    icons = [
        [(0, "rgb(200,40,40)"), (16, "rgb(40,90,200)")],    # red PDF, blue HTML
        [(0, "rgb(200,40,40)")],
        [(0, "rgb(40,90,200)")],
        [(0, "rgb(110,110,110)")],                           # grey: another file
        [(0, "rgb(200,40,40)"), (16, "rgb(150,100,20)")],   # brown: the file wrapper
    ]
    image = ["-size", "160x16", "xc:white", "+antialias"]
    mask = ["-size", "160x16", "xc:white", "+antialias", "-fill", "black", "-stroke", "black"]
    for i, pages in enumerate(icons):
        for dx, colour in pages:
            x = i * 32 + dx
            image += page(x, colour)
            mask += ["-draw", "polygon %d,1 %d,1 %d,4 %d,14 %d,14" % (x + 1, x + 9, x + 12, x + 12, x + 1)]
    convert(image, "RowIcons.bmp")
    subprocess.run(["convert"] + mask + ["-monochrome", "BMP3:" + os.path.join(ART, "RowIconsMask.bmp")],
                   check=True)

def report_template(name, continued):
    # A letter page at 300 dpi (2550 x 3300) on which the report pages are drawn: a heading
    # band, rules above and below the text and a footer. Eight-bit, RLE8-compressed, so that
    # the mostly white page stays small; the program draws its text from y = 290 down.
    heading = "Patent Search Report" + (" (continued)" if continued else "")
    args = ["-size", "2550x3300", "xc:white", "+antialias",
            "-fill", NAVY, "-draw", "rectangle 0,0 2549,36",
            "-font", BOLD, "-pointsize", "72", "-annotate", "+150+150", heading,
            "-fill", OLIVE, "-draw", "rectangle 150,190 2400,196",
            "-draw", "rectangle 150,3130 2400,3136",
            "-fill", "rgb(90,84,60)", "-font", FONT, "-pointsize", "36",
            "-annotate", "+150+3200", "Prepared with Zentrova - first pages of the listed documents follow"]
    cmd = ["convert"] + args + ["-colors", "16", "-type", "Palette", "-compress", "RLE",
                                "BMP3:" + os.path.join(ART, name)]
    subprocess.run(cmd, check=True)


PICTURES = {
    "splash": splash,
    "nav_strip": nav_strip,
    "banner": banner,
    "nav_buttons": lambda: (button_strip("SearchButton.bmp", "Search", 84, 29, NAV_FACES),
                            button_strip("ProjectsButton.bmp", "Projects", 84, 29, NAV_FACES)),
    "ok_button": lambda: button_strip("OkButton.bmp", "OK", 36, 23, OK_FACES),
    "dialog_buttons": lambda: (button_strip("FindButton.bmp", "Browse", 54, 23, OK_FACES, FONT, 10, 6),
                               button_strip("MoveButton.bmp", "Move", 54, 23, OK_FACES, FONT, 10, 6),
                               button_strip("CancelButton.bmp", "Cancel", 54, 23, OK_FACES, FONT, 10, 6)),
    "folder_drag": folder_drag,
    "menu_icons": menu_icons,
    "grip": grip,
    "sort_arrows": sort_arrows,
    "icon": icon,
    "skelvane_icon": skelvane_icon,
    "cursor": cursor,
    "split_cursors": split_cursors,
    "tree_folders": tree_folders,
    "pane_picture": pane_picture,
    "pane_buttons": lambda: (button_strip("DownloadNowButton.bmp", "download now", 78, 23, OK_FACES,
                                          FONT, 10, 6),
                             button_strip("HelpButton.bmp", "Help", 78, 22, OK_FACES, FONT, 10, 6),
                             button_strip("CopyButton.bmp", "Copy to clipboard", 113, 22, OK_FACES,
                                          FONT, 10, 6),
                             plus_minus("PlusButton.bmp", "+"), plus_minus("MinusButton.bmp", "-")),
    "splitter_pattern": splitter_pattern,
    "row_icons": row_icons,
    "page_background": page_background,
    "report_templates": lambda: (report_template("Template.bmp", False),
                                 report_template("Template2.bmp", True)),
}


# ---------------------------------------------------------------- the search pane and its pages

def search_logo():
    # Bitmap 155: 216 x 66 at the search pane's top right.
    convert(["-size", "216x66", "gradient:%s-%s" % (SAND, BEIGE),
             "-fill", NAVY, "-font", BOLD, "-pointsize", "17", "-annotate", "+12+30", "Patent Search",
             "-fill", "rgb(90,84,60)", "-font", FONT, "-pointsize", "10",
             "-annotate", "+13+50", "US and European documents"], "SearchLogo.bmp")


GO_FACES = [
    ("rgb(40,110,130)", "white", NAVY),
    ("rgb(24,52,96)", "white", NAVY),
    ("rgb(60,140,160)", "white", NAVY),
    ("rgb(224,219,192)", "rgb(150,150,150)", "rgb(200,200,200)"),
]

STOP_FACES = [
    ("rgb(180,40,40)", "white", "rgb(120,20,20)"),
    ("rgb(130,20,20)", "white", "rgb(120,20,20)"),
    ("rgb(210,70,70)", "white", "rgb(120,20,20)"),
    ("rgb(224,219,192)", "rgb(150,150,150)", "rgb(200,200,200)"),
]


def search_buttons():
    button_strip("StartSearchButton.bmp", "Start Search", 100, 24, GO_FACES, BOLD, 11, 7)
    button_strip("StopSearchButton.bmp", "STOP", 54, 22, STOP_FACES, BOLD, 10, 7)
    button_strip("BasicHelpButton.bmp", "Help", 54, 24, OK_FACES, FONT, 10, 6)
    button_strip("NewSessionButton.bmp", "New", 33, 17, OK_FACES, FONT, 9, 6)
    button_strip("SaveButton.bmp", "Save", 54, 22, OK_FACES, FONT, 10, 6)
    button_strip("ClearButton.bmp", "Clear", 54, 22, OK_FACES, FONT, 10, 6)


PICTURES["search_logo"] = search_logo
PICTURES["search_buttons"] = search_buttons


def main():
    # With names, only those pictures are drawn again; without, all of them.
    os.makedirs(ART, exist_ok=True)
    for name in sys.argv[1:] or list(PICTURES):
        PICTURES[name]()
    return 0


if __name__ == "__main__":
    sys.exit(main())
