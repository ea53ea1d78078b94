#!/usr/bin/env python3
"""Writes services/NearestLetters.cpp: for each Latin letter beyond ASCII (with its marks, a
ligature, a full-width form), the nearest letters that every ANSI code page holds, and, for a
letter with several marks, the letter with its first mark only, which many code pages hold.

    python3 tools/make_nearest_letters.py > services/NearestLetters.cpp

The table comes from the Unicode decompositions of the Python in use, plus the letters that
have none (stroke letters, ligatures of two letters); only letters and digits ever stand in
it, so no entry can become a path separator, a colon or a full stop.
"""
import unicodedata

RANGES = [(0x00C0, 0x024F), (0x1E00, 0x1EFF), (0xFB00, 0xFB06), (0xFF10, 0xFF19),
          (0xFF21, 0xFF3A), (0xFF41, 0xFF5A)]

# Letters without a decomposition, and their plain spelling.
UNDECOMPOSED = {
    0x00C6: "AE", 0x00D0: "D", 0x00D8: "O", 0x00DE: "TH", 0x00DF: "ss", 0x00E6: "ae",
    0x00F0: "d", 0x00F8: "o", 0x00FE: "th", 0x0110: "D", 0x0111: "d", 0x0126: "H",
    0x0127: "h", 0x0131: "i", 0x0138: "k", 0x013F: "L", 0x0140: "l", 0x0141: "L",
    0x0142: "l", 0x014A: "N", 0x014B: "n", 0x0152: "OE", 0x0153: "oe", 0x0166: "T",
    0x0167: "t", 0x017F: "s", 0x0180: "b", 0x0181: "B", 0x0187: "C", 0x0188: "c",
    0x0189: "D", 0x018A: "D", 0x0191: "F", 0x0192: "f", 0x0193: "G", 0x0197: "I",
    0x0198: "K", 0x0199: "k", 0x019A: "l", 0x019D: "N", 0x019E: "n", 0x019F: "O",
    0x01A4: "P", 0x01A5: "p", 0x01AB: "t", 0x01AC: "T", 0x01AD: "t", 0x01AE: "T",
    0x01B2: "V", 0x01B3: "Y", 0x01B4: "y", 0x01B5: "Z", 0x01B6: "z", 0x01E4: "G",
    0x01E5: "g", 0x0221: "d", 0x0234: "l", 0x0235: "n", 0x0236: "t", 0x0237: "j",
    0x023A: "A", 0x023B: "C", 0x023C: "c", 0x023D: "L", 0x023E: "T", 0x0243: "B",
    0x0246: "E", 0x0247: "e", 0x0248: "J", 0x0249: "j", 0x024C: "R", 0x024D: "r",
    0x024E: "Y", 0x024F: "y", 0x1E9E: "SS", 0x0149: "n", 0x0182: "B", 0x0183: "b",
    0x018B: "D", 0x018C: "d", 0x0224: "Z", 0x0225: "z", 0x0244: "U",
}


def entry(code):
    ch = chr(code)
    if code in UNDECOMPOSED:
        return UNDECOMPOSED[code], None
    nfd = unicodedata.normalize("NFD", ch)
    marks = [m for m in nfd[1:] if unicodedata.combining(m)]
    base = nfd[0] if len(nfd) > 1 and len(marks) == len(nfd) - 1 else None
    if base is not None and ord(base) in UNDECOMPOSED:
        # A stroke letter or a ligature with marks (AE with acute): its plain spelling, or
        # the letter without the marks.
        return UNDECOMPOSED[ord(base)], base
    if base is not None and base.isascii() and base.isalpha():
        closer = unicodedata.normalize("NFC", base + marks[0]) if len(marks) > 1 else None
        if closer is not None and len(closer) != 1:
            closer = None
        return base, closer
    nfkd = "".join(c for c in unicodedata.normalize("NFKD", ch) if not unicodedata.combining(c))
    if nfkd and nfkd != ch and all(c.isascii() and c.isalnum() for c in nfkd):
        return nfkd, None
    return None, None


def main():
    rows = []
    for first, last in RANGES:
        for code in range(first, last + 1):
            plain, closer = entry(code)
            if plain is None:
                continue
            assert plain.isascii() and plain.isalnum(), hex(code)
            assert closer is None or closer.isalpha(), hex(code)
            rows.append((code, plain, closer))
    print("// Made by tools/make_nearest_letters.py; change that script, not this file.")
    print('#include "NearestLetters.h"')
    print()
    print("#include <algorithm>")
    print()
    print("namespace {")
    print()
    print("const NearestLetter kLetters[] = {")
    for code, plain, closer in rows:
        c = "0x%04X" % ord(closer) if closer else "0"
        print('    {0x%04X, %s, "%s"},  // %s' % (code, c, plain, unicodedata.name(chr(code), "")))
    print("};")
    print()
    print("} // namespace")
    print()
    print("const NearestLetter* FindNearestLetter(wchar_t c)")
    print("{")
    print("    const NearestLetter* end = kLetters + sizeof kLetters / sizeof kLetters[0];")
    print("    const NearestLetter* at = std::lower_bound(kLetters, end, c,")
    print("                                               [](const NearestLetter& e, wchar_t v) { return e.code < v; });")
    print("    return at != end && at->code == c ? at : nullptr;")
    print("}")


if __name__ == "__main__":
    main()
