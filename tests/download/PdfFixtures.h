// Test fixtures of the PDF writer and merge tests: small TIFF files written with libtiff, a
// reader of the PDF files' object layout, and the list of outputs that the Linux-side check
// (tests/download/pdf_check.py: qpdf --check, pdfinfo, pdftoppm) verifies after the tests.
#pragma once

#include "String.h"

#include <cstdint>
#include <string>
#include <vector>

#include <tiffio.h>

namespace pdffixtures {

// One TIFF page. Every page shows the same picture: its top-left quadrant dark, the rest light.
struct PageSpec {
    uint32_t width = 240;
    uint32_t height = 160;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t compression = COMPRESSION_CCITTFAX4;
    uint16_t fillOrder = FILLORDER_MSB2LSB;
    uint32_t rowsPerStrip = 0;   // 0: the whole page in one strip
    float resolution = 120.0f;   // 0: no resolution tags
    float yResolution = 0.0f;    // the vertical resolution when it differs (0: as resolution)
    uint16_t resolutionUnit = RESUNIT_INCH;  // 0: no unit tag
    uint32_t group3Options = 0;
};

// Whether pixel (x, y) of the page is dark: the top-left quadrant, its right edge a few
// pixels short of the middle so that it falls inside a byte.
bool IsDark(const PageSpec& page, uint32_t x, uint32_t y);

// The samples the writer's decoded (RunLengthDecode) path must produce for the page: bytes 0
// (black) and 255 of a bilevel page, else each sample's high 8 bits, the colour samples of a
// pixel without its alpha.
std::vector<unsigned char> DecodedImage(const PageSpec& page);

// Writes the pages into one TIFF file; false when libtiff refused.
bool WriteTiff(const CString& path, const std::vector<PageSpec>& pages);

// What the Linux-side check expects of one page: its size in points ("WxH") and the colours
// ("rrggbb") at the centres of its dark and its light quadrant (empty: not looked at).
struct ExpectedPage {
    std::string size;
    std::string dark;
    std::string light;
};

// The expectation for a page written from `page`.
ExpectedPage Expected(const PageSpec& page);

// The whole file (empty when it cannot be read).
std::string ReadAll(const CString& path);

// The text of object `number` of a PDF file, from its "N 0 obj\r" line to its "endobj\r";
// empty when the cross-reference table does not lead to it.
std::string ObjectText(const std::string& pdf, int number);

// Checks the file's skeleton: header, a cross-reference table of 20-byte lines whose every
// entry points at its object, the trailer. Empty when sound, else what is wrong.
std::string CheckSkeleton(const std::string& pdf, int expectedObjects);

// The folder the Linux-side check reads, or empty when the tests run without it.
CString CheckFolder();

// A path in the check folder (or in `fallback` when there is none).
CString CheckedPath(const char* name, const CString& fallback);

// Registers a PDF for the Linux-side check, with what it expects of each page.
void ExpectPdf(const CString& path, const std::vector<ExpectedPage>& pages);

} // namespace pdffixtures
