// Corvella.dll: turns a one-page TIFF into a one-page PDF. The program loads it at run time
// from its folder and looks up MakeIt, once per report page.
//
// The TIFF must be a bilevel page, CCITT Group 4 in one strip (as Corvella6.dll writes
// them); its strip goes into the PDF as it is stored, the page sized from the image's
// resolution (300 dpi when it has none).
#pragma once

#ifdef CORVELLA_BUILD
#define CORVELLA_API extern "C" __declspec(dllexport)
#else
#define CORVELLA_API extern "C" __declspec(dllimport)
#endif

// Narrow paths in the system code page. Answers 1 when the PDF was written, 0 otherwise
// (then no PDF is left).
CORVELLA_API int __cdecl MakeIt(const char* tiffPath, const char* pdfPath);

// The type of the export, for callers that look it up with GetProcAddress.
using MakeItFunction = int(__cdecl*)(const char*, const char*);
