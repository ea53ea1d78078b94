#!/usr/bin/env python3
"""Checks the search reports that search_report_run_test wrote, with tools that are not ours.

Reads FOLDER/reports.txt, one line per report: NAME|PAGES|PNG. Every report must pass
`qpdf --check`, `pdfinfo` must report PAGES pages, and `pdftotext` must read it (its pages
are pictures, so it finds no words). The drawn title page must show ink in its first list
row; with PNG, its first two pages are rendered into build/screenshots/PNG-title-page.png and
PNG-list-page.png, and the second (a list page of one row) must show ink in that row only.
"""
import subprocess
import sys
from pathlib import Path


def run(args, binary=False):
    out = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                         timeout=120)
    return out.returncode, out.stdout if binary else out.stdout.decode(errors="replace")


def grey(pdf, page):
    """Page `page` at 75 dpi as (width, height, bytes) of a PGM."""
    code, data = run(["pdftoppm", "-gray", "-r", "75", "-f", str(page), "-l", str(page), str(pdf)], True)
    if code != 0:
        raise RuntimeError(data.decode(errors="replace"))
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    return int(fields[1]), int(fields[2]), data[at + 1:]


def ink(image, top, bottom):
    """Dark pixels between the two heights (fractions of the page), left half."""
    width, height, pixels = image
    count = 0
    for y in range(int(top * height), int(bottom * height)):
        row = pixels[y * width:(y + 1) * width]
        count += sum(1 for v in row[:width // 2] if v < 160)
    return count


def main():
    folder = Path(sys.argv[1])
    shots = Path(sys.argv[2])
    failures = []
    for line in (folder / "reports.txt").read_text().splitlines():
        name, pages, png = line.split("|")
        pdf = folder / name
        code, text = run(["qpdf", "--check", str(pdf)])
        if code != 0:
            failures.append("%s: qpdf --check: %s" % (name, text))
        code, text = run(["pdfinfo", str(pdf)])
        found = [l.split()[1] for l in text.splitlines() if l.startswith("Pages:")]
        if code != 0 or found != [pages]:
            failures.append("%s: pdfinfo says %s pages, expected %s" % (name, found, pages))
        code, text = run(["pdftotext", str(pdf), "-"])
        if code != 0:
            failures.append("%s: pdftotext failed: %s" % (name, text))
        elif text.strip():
            failures.append("%s: pdftotext found text on picture pages: %r" % (name, text[:80]))
        # First list row at y = 550..600 of 3300; the title block above it.
        title = grey(pdf, 1)
        if ink(title, 550 / 3300, 600 / 3300) == 0 or ink(title, 290 / 3300, 340 / 3300) == 0:
            failures.append("%s: the title page shows no project line or first row" % name)
        if png:
            shots.mkdir(parents=True, exist_ok=True)
            for page, what in ((1, "title"), (2, "list")):
                run(["pdftoppm", "-png", "-r", "40", "-singlefile", "-f", str(page), "-l", str(page), str(pdf),
                     str(shots / ("%s-%s-page" % (png, what)))])
            listed = grey(pdf, 2)
            if ink(listed, 350 / 3300, 400 / 3300) == 0 or ink(listed, 420 / 3300, 3000 / 3300) != 0:
                failures.append("%s: the list page does not hold exactly its one row" % name)
        print("%s: %s pages, %d bytes" % (name, pages, pdf.stat().st_size))
    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
