// Vostrel.dll: judges whether a downloaded page image is usable. The download thread loads it
// at run time from the program folder and calls TestImage for every TIFF page before the page
// is converted to PDF; an unusable page is replaced by replace.tif.
//
// A page image is unusable when any of these holds:
// - the file cannot be opened as a TIFF, or holds no page;
// - a page is not 1 to 16 bits per sample or has no samples;
// - a page is smaller than 300 pixels or larger than 30,000 pixels on either side (a patent
//   page at 100 to 600 dpi lies well inside), or is more than 5 times as long as wide or
//   the reverse;
// - a strip or tile of a page cannot be decoded.
#pragma once

#ifdef VOSTREL_BUILD
#define VOSTREL_API extern "C" __declspec(dllexport)
#else
#define VOSTREL_API extern "C" __declspec(dllimport)
#endif

// downloadId: the calling download thread's id (kept for the caller's bookkeeping).
// rejected: set to 1 when the page is unusable, else 0. path: the image, UTF-16.
// Answers 1 when the page is unusable, else 0.
VOSTREL_API int __cdecl TestImage(int downloadId, int* rejected, const wchar_t* path);

// The type of the export, for callers that look it up with GetProcAddress.
using TestImageFunction = int(__cdecl*)(int, int*, const wchar_t*);
