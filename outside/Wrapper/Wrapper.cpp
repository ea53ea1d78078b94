#include "Wrapper.h"

#include "DownloadRecords.h"
#include "ServiceHosts.h"
#include "TextConversion.h"

#include <wininet.h>

#include <vector>

struct CWrapper::Impl
{
    HWND owner = nullptr;
    DownloadStatus* status = nullptr;
    WPARAM downloadId = 0;
    UINT message = 0;
    CString url;
    volatile LONG cancelled = 0;
    // The request that Cancel closes to break a running read.
    PVOID volatile request = nullptr;

    // The open request, taken out so that only one caller closes it.
    HINTERNET TakeRequest() { return static_cast<HINTERNET>(InterlockedExchangePointer(&request, nullptr)); }

    void Report()
    {
        if (owner && message)
            SendMessageA(owner, message, downloadId, 0);
    }
};

namespace {

// The digits of a US number as entered: "US 7,654,321 B2" gives 7654321 (blanks, commas,
// slashes and hyphens are skipped; a kind code ends the number).
CString BareNumber(const CString& entered)
{
    CString text = entered;
    text.MakeUpper();
    text.Trim();
    if (text.Left(2) == "US")
        text = text.Mid(2);
    CString digits;
    for (int i = 0; i < text.GetLength(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c != ',' && c != ' ' && c != '/' && c != '-')
            break;  // a kind code ends the number
    }
    return digits;
}

HINTERNET OpenSession()
{
    return InternetOpenA(GetApplicationAgent(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
}

// The announced body length, or -1 when the reply announces none.
long long ContentLength(HINTERNET request)
{
    DWORD length = 0, size = sizeof length;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr))
        return -1;
    return length;
}

DWORD StatusCode(HINTERNET request)
{
    DWORD code = 0, size = sizeof code;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr))
        return 0;
    return code;
}

} // namespace

CWrapper::CWrapper() : m_pImpl(new Impl) {}

CWrapper::~CWrapper()
{
    delete m_pImpl;
}

void CWrapper::AddMessaging(UINT_PTR ownerWindow, UINT_PTR statusRecord, UINT_PTR downloadId,
                            UINT_PTR message)
{
    m_pImpl->owner = reinterpret_cast<HWND>(ownerWindow);
    m_pImpl->status = reinterpret_cast<DownloadStatus*>(statusRecord);
    m_pImpl->downloadId = static_cast<WPARAM>(downloadId);
    m_pImpl->message = static_cast<UINT>(message);
}

int CWrapper::StartSearch(const wchar_t* number, UINT_PTR /*mainWindow*/, int /*reserved*/)
{
    InterlockedExchange(&m_pImpl->cancelled, 0);
    m_pImpl->url.Empty();
    const CString bare = BareNumber(number ? Utf16ToAnsi(number) : CString());
    if (bare.IsEmpty())
        return 1;
    const CString url = GetFileWrapperUrl(bare);
    HINTERNET session = OpenSession();
    if (!session)
        return 1;
    int result = 1;
    HINTERNET request = InternetOpenUrlA(session, url, "", 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (request) {
        if (StatusCode(request) == 200 && !m_pImpl->cancelled) {
            m_pImpl->url = url;
            result = 0;
        }
        InternetCloseHandle(request);
    }
    InternetCloseHandle(session);
    return result;
}

int CWrapper::ShowDialog(const wchar_t* outputPath, int /*show*/)
{
    if (m_pImpl->url.IsEmpty() || !outputPath || !*outputPath)
        return -1;
    const CString path = Utf16ToAnsi(outputPath);
    const CString partial = path + ".part";
    DownloadStatus* status = m_pImpl->status;

    HINTERNET session = OpenSession();
    if (!session)
        return -1;
    HINTERNET request = InternetOpenUrlA(session, m_pImpl->url, "", 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    m_pImpl->request = request;
    int result = -1;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (request && StatusCode(request) == 200 && !m_pImpl->cancelled)
        file = CreateFileA(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const DWORD start = GetTickCount();
        std::vector<char> buffer(16384);
        DWORD total = 0, sinceReport = 0, got = 0;
        bool ok = true;
        if (status) {
            status->m_nCurrentPage = 0;
            status->m_nTotalPages = 1;
        }
        while (!m_pImpl->cancelled) {
            if (!InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
                ok = false;
                break;
            }
            if (got == 0)
                break;
            DWORD written = 0;
            if (!WriteFile(file, buffer.data(), got, &written, nullptr) || written != got) {
                ok = false;
                break;
            }
            total += got;
            sinceReport += got;
            if (sinceReport >= 65536 && status) {
                sinceReport = 0;
                const double seconds = (GetTickCount() - start) / 1000.0;
                status->m_dElapsed = seconds;
                status->m_dRate = seconds > 0 ? total / 1024.0 / seconds : 0.0;
                m_pImpl->Report();
            }
        }
        // A reply cut short of its announced length ends like a complete one under some
        // transports: only the count tells them apart.
        const long long announced = ContentLength(request);
        if (announced >= 0 && announced != static_cast<long long>(total))
            ok = false;
        ok = CloseHandle(file) && ok;
        if (m_pImpl->cancelled)
            result = -2;
        else if (ok && total > 0 &&
                 MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            result = 0;
        if (result != 0)
            DeleteFileA(partial);
        if (status) {
            const double seconds = (GetTickCount() - start) / 1000.0;
            status->m_dElapsed = seconds;
            status->m_dRate = seconds > 0 ? total / 1024.0 / seconds : 0.0;
            status->m_nCurrentPage = result == 0 ? 1 : 0;
        }
        m_pImpl->Report();
    } else if (m_pImpl->cancelled) {
        result = -2;
    }
    if (HINTERNET open = m_pImpl->TakeRequest())
        InternetCloseHandle(open);
    InternetCloseHandle(session);
    return result;
}

void CWrapper::Cancel()
{
    InterlockedExchange(&m_pImpl->cancelled, 1);
    if (HINTERNET open = m_pImpl->TakeRequest())
        InternetCloseHandle(open);
}
