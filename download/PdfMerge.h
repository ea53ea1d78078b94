// CPdfMerge: joins PDF files into one, the pages in the order of the input list.
#pragma once

#include "String.h"

#include <vector>

class CPdfMerge
{
public:
    CPdfMerge() = default;

    // Writes the pages of every input, in list order, to the output path and answers whether
    // the output was written. One input is read as a PDF and then copied as it stands;
    // several are joined by the PDF library. The result is false, and the output path is left as it was (no partial file),
    // when the list is empty, a path is too long, an input is missing or damaged, or the
    // output cannot be written. A caller may delete the inputs only after a true result.
    // The output may name one of the inputs: it is replaced only after every input has been
    // read and closed.
    bool MergeFiles(std::vector<CString> inputs, CString output);
};
