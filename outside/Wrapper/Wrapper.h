// Wrapper.dll: fetches the file-wrapper PDF of a US document for the download thread's
// file-wrapper mode. One CWrapper per download thread, all calls on that thread except Cancel.
//
// StartSearch looks the document up on the portal (its file-wrapper URL, formed from the
// digits of the number, must answer 200); ShowDialog transfers the PDF to the path it is given,
// through a temporary file beside it that replaces the path only once the whole PDF has
// arrived. While it transfers it fills the caller's progress record (pages, rate, elapsed) and
// sends the caller's message (download id, 0) to the caller's window. This library shows no
// dialog of its own; the show flag is accepted and not needed.
#pragma once

#include <windows.h>

#ifdef WRAPPER_BUILD
#define WRAPPER_API __declspec(dllexport)
#else
#define WRAPPER_API __declspec(dllimport)
#endif

struct DownloadStatus;

class WRAPPER_API CWrapper
{
public:
    CWrapper();
    ~CWrapper();
    CWrapper(const CWrapper&) = delete;
    CWrapper& operator=(const CWrapper&) = delete;

    // Where progress goes: the window, the progress record (a DownloadStatus), the download
    // id sent as wParam, and the message number.
    void AddMessaging(UINT_PTR ownerWindow, UINT_PTR statusRecord, UINT_PTR downloadId,
                      UINT_PTR message);

    // 1 when the document cannot be had (no digits, not found, no answer); 0 when it exists.
    int StartSearch(const wchar_t* number, UINT_PTR mainWindow, int reserved);

    // Transfers the document found by StartSearch to the path. 0 when the PDF is there; -2
    // when Cancel stopped the transfer; -1 on any other failure. On -2 and -1 nothing is
    // left at the path (an older file there is kept).
    int ShowDialog(const wchar_t* outputPath, int show);

    // Stops a running search or transfer; may be called from another thread.
    void Cancel();

private:
    struct Impl;
    Impl* m_pImpl;
};
