// The nearest letters of a Latin letter that an ANSI code page may lack: the letters of its
// plain spelling, which every code page holds ("L" for L with stroke, "ae" for the ligature,
// "fi" for the ligature fi, "A" for the full-width A), and, for a letter with two or more
// marks, the letter with its first mark only (u with diaeresis for u with diaeresis and
// acute), which many code pages hold. Only letters and digits stand in the table.
#pragma once

struct NearestLetter
{
    wchar_t code;
    wchar_t closer;     // the letter with its first mark only; 0 when there is none
    const char* plain;  // ASCII letters or digits
};

// The entry of the character; null when it is no letter of the table.
const NearestLetter* FindNearestLetter(wchar_t c);
