#!/usr/bin/env python3
"""Checks the PDF files that download_pdf_test wrote, with tools that are not ours.

Reads FOLDER/outputs.txt, one line per PDF: NAME|SIZE,DARK,LIGHT;SIZE,DARK,LIGHT;...
(SIZE "WxH" in points, DARK and LIGHT "rrggbb" or empty). Every file must pass
`qpdf --check`, `pdfinfo` must report its page count and page sizes, and a rendering of each
page (pdftoppm at 72 dpi) must show the expected colour at the centre of the top-left quadrant
(DARK) and of the bottom-right quadrant (LIGHT).
"""
import subprocess
import sys
from pathlib import Path

TOLERANCE = 48


def run(args):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          stdin=subprocess.DEVNULL, timeout=120)


def page_sizes(pdf):
    out = run(["pdfinfo", "-f", "1", "-l", "100000", str(pdf)])
    if out.returncode != 0:
        return None, out.stdout.decode(errors="replace")
    sizes, pages = [], None
    for line in out.stdout.decode(errors="replace").splitlines():
        if line.startswith("Pages:"):
            pages = int(line.split()[1])
        elif line.startswith("Page ") and " size: " in line:
            words = line.split("size:")[1].split()
            sizes.append("%sx%s" % (format_points(words[0]), format_points(words[2])))
    if pages is None or pages != len(sizes):
        return None, "pdfinfo gave %s pages and %d sizes" % (pages, len(sizes))
    return sizes, ""


def format_points(text):
    value = float(text)
    return str(int(value)) if value == int(value) else text


def render(pdf, page):
    """Page `page` (1-based) at 72 dpi as (width, height, rgb bytes)."""
    out = subprocess.run(["pdftoppm", "-r", "72", "-f", str(page), "-l", str(page), str(pdf)],
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    if out.returncode != 0:
        raise RuntimeError(out.stderr.decode(errors="replace"))
    data = out.stdout
    # Binary PPM: "P6", width, height, maxval, one white-space byte, then the pixels.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6":
        raise RuntimeError("pdftoppm gave no P6 image")
    return int(fields[1]), int(fields[2]), data[at + 1:]


def colour_at(image, fx, fy):
    width, height, pixels = image
    x, y = min(int(width * fx), width - 1), min(int(height * fy), height - 1)
    i = 3 * (y * width + x)
    return tuple(pixels[i:i + 3])


def close(actual, expected):
    want = tuple(int(expected[i:i + 2], 16) for i in (0, 2, 4))
    return all(abs(a - b) <= TOLERANCE for a, b in zip(actual, want))


def check(folder, line):
    name, _, pages = line.partition("|")
    pdf = folder / name
    expected = [p.split(",") for p in pages.split(";")]
    problems = []
    qpdf = run(["qpdf", "--check", str(pdf)])
    if qpdf.returncode != 0:
        problems.append("qpdf --check exit %d: %s" % (qpdf.returncode,
                                                      qpdf.stdout.decode(errors="replace").strip()))
    sizes, why = page_sizes(pdf)
    if sizes is None:
        problems.append(why)
    elif sizes != [e[0] for e in expected]:
        problems.append("page sizes %s, expected %s" % (sizes, [e[0] for e in expected]))
    for number, (_, dark, light) in enumerate(expected, 1):
        if not dark and not light:
            continue
        try:
            image = render(pdf, number)
        except RuntimeError as error:
            problems.append("page %d does not render: %s" % (number, error))
            continue
        for where, fx, fy, want in (("dark", 0.25, 0.25, dark), ("light", 0.75, 0.75, light)):
            got = colour_at(image, fx, fy)
            if want and not close(got, want):
                problems.append("page %d %s quadrant is %02x%02x%02x, expected %s"
                                % ((number, where) + got + (want,)))
    return len(expected), problems


def main():
    folder = Path(sys.argv[1])
    listing = folder / "outputs.txt"
    if not listing.is_file():
        print("pdf_check: %s is missing: the test program wrote no PDF" % listing)
        return 1
    lines = [l for l in listing.read_text().splitlines() if l.strip()]
    if not lines:
        print("pdf_check: %s lists no PDF" % listing)
        return 1
    failed = 0
    for line in lines:
        pages, problems = check(folder, line)
        name = line.partition("|")[0]
        if problems:
            failed += 1
            print("FAIL %s" % name)
            for p in problems:
                print("     %s" % p)
        else:
            print("ok   %s (%d page%s)" % (name, pages, "" if pages == 1 else "s"))
    print("pdf_check: %d of %d files passed" % (len(lines) - failed, len(lines)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
