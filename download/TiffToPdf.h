// CTiffToPdf: turns a TIFF page image file into a PDF-1.2 file, one PDF page per TIFF page,
// each page sized from the image's resolution. CCITT Group 3 and Group 4 strips are wrapped
// as they are stored; other images are decoded and written PackBits-compressed
// (RunLengthDecode). The PDF is laid out by hand: CR line ends, a classic cross-reference
// table. A conversion keeps no shared state, so several threads may convert at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CTiffReader;

// Result codes of convertTiffToPdf.
enum TiffToPdfResult {
    TIFFPDF_DONE = 1,
    TIFFPDF_FAILED = 0,          // first page CMYK, output not creatable, or another failure
    TIFFPDF_CANNOT_OPEN = -1,    // the TIFF cannot be opened or its first page not selected
    TIFFPDF_ERR_INFO = -17,
    TIFFPDF_ERR_CATALOG = -16,
    TIFFPDF_ERR_PAGES = -15,     // also an image the writer cannot lay out, or a page whose
                                 // side would be 0 or longer than 14,400 points
    TIFFPDF_ERR_PAGE = -14,
    TIFFPDF_ERR_CONTENTS = -13,
    TIFFPDF_ERR_PROCSET = -12,
    TIFFPDF_ERR_XOBJECT = -11,   // also image data that cannot be read
    TIFFPDF_ERR_XOBJECT_LENGTH = -10,
};

// PackBits (PDF RunLengthDecode) encoding of `length` bytes into `out`, with the end-of-data
// byte 128 at the end; answers the number of bytes written. `out` must hold
// PackBitsBound(length) bytes.
size_t PackBitsEncode(unsigned char* out, const unsigned char* in, size_t length);
size_t PackBitsBound(size_t length);

class CTiffToPdf
{
public:
    CTiffToPdf();

    // Converts the TIFF file to a PDF file. A null PDF path means the TIFF path with its last
    // three characters replaced by "pdf". Null information strings are written empty, except
    // the creation date, which then is today's date ("Tuesday, December 08, 2026").
    // Answers a TiffToPdfResult; on any failure no PDF file is left behind and the reason
    // stands in GetMessageText().
    int convertTiffToPdf(const char* tiffPath, const char* pdfPath, const char* creator,
                         const char* creationDate, const char* author, const char* producer,
                         const char* title, const char* subject, const char* keywords);

    const char* GetMessageText() const { return m_szMessage; }

    // How one page is laid out in the PDF, decided from its fields before anything is written.
    struct PagePlan {
        enum Data { RAW_STRIPS, ROWS, FAX_ROWS } data;
        enum Space { GRAY, RGB, CMYK, INDEXED } space;
        int bitsPerComponent;
        int channels;      // output samples per pixel of the decoded paths (1, 3 or 4)
        int paletteSize;   // entries of an indexed colour space
        int k;             // CCITT K parameter of the raw-strip path
        bool blackIs1;
        int ObjectCount() const { return space == INDEXED ? 8 : 6; }
    };

    // A buffered output file that counts the bytes written, for the cross-reference table.
    class Output;

    int tiff_writePDFInfoObject(Output& out, unsigned long object, const char* creator,
                                const char* creationDate, const char* author,
                                const char* producer, const char* title, const char* subject,
                                const char* keywords);
    int tiff_writePDFCatalogObject(Output& out, unsigned long object);
    int tiff_writePDFPagesObject(Output& out, unsigned long object, const CTiffReader& reader,
                                 const std::vector<PagePlan>& plans);
    int tiff_writePDFPageObject(Output& out, unsigned long object, unsigned long pagesObject,
                                const CTiffReader& reader);
    int tiff_writePDFContentsObject(Output& out, unsigned long object, const CTiffReader& reader);
    int tiff_writePDFProcsetObject(Output& out, unsigned long object, const CTiffReader& reader);
    int tiff_writePDFXObject(Output& out, unsigned long object, const CTiffReader& reader,
                             const PagePlan& plan, uint64_t& dataStart, uint64_t& dataEnd);
    int tiff_writePDFXObjectLength(Output& out, unsigned long object, uint64_t dataStart,
                                   uint64_t dataEnd);
    int tiff_writePDFColorSpaceObject(Output& out, unsigned long object,
                                      const CTiffReader& reader, const PagePlan& plan);
    // The palette stream of an indexed colour space; its length object follows it.
    int tiff_writePDFPaletteObject(Output& out, unsigned long object, const CTiffReader& reader,
                                   const PagePlan& plan, uint64_t& dataStart, uint64_t& dataEnd);

    bool WriteRawStrips(Output& out, const CTiffReader& reader);
    bool WriteRowsRunLength(Output& out, const CTiffReader& reader, const PagePlan& plan);
    bool WriteFaxRowsRunLength(Output& out, const CTiffReader& reader);

    // Decides the layout of the current page; false when the writer cannot represent it or
    // the page would have a side of 0 or of more than 14,400 points.
    static bool PlanPage(const CTiffReader& reader, PagePlan& plan);

private:
    int Fail(Output* out, const char* pdfPath, int code);

    char m_szMessage[256];
};
