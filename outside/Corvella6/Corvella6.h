// Corvella6.dll: turns a drawn report page from a BMP file into a TIFF file. The program
// links it by import library and calls Bmp2Tiff once per report page.
//
// The bitmap must be an uncompressed 24-bit BMP with its rows bottom-up (as the report pages
// are saved). The TIFF is one bilevel page (a pixel darker than middle grey is black),
// CCITT Group 4 compressed in a single strip, at 300 dpi, white is zero.
#pragma once

#ifdef CORVELLA6_BUILD
#define CORVELLA6_API extern "C" __declspec(dllexport)
#else
#define CORVELLA6_API extern "C" __declspec(dllimport)
#endif

// Both paths UTF-16. Answers 1 when the TIFF was written, 0 when the bitmap could not be
// read or is of another kind, or the TIFF could not be written (then no TIFF is left).
CORVELLA6_API int __cdecl Bmp2Tiff(const wchar_t* bitmapPath, const wchar_t* tiffPath);
