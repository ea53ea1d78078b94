#include "Time.h"

#include "Exception.h"

#include <vector>

namespace {

// 100-ns intervals between 1601-01-01 (file times) and 1970-01-01 (time_t).
const ULONGLONG kFileTimeEpoch = 116444736000000000ULL;

CString Strftime(const char* pszFormat, const struct tm& fields)
{
    if (!pszFormat || !*pszFormat)
        return CString();
    // strftime answers 0 both for "too small" and for an empty result; stop growing at a
    // size no sensible format needs.
    for (size_t size = 128; size <= 64 * 1024; size *= 4) {
        std::vector<char> buf(size);
        size_t n = std::strftime(buf.data(), size, pszFormat, &fields);
        if (n > 0)
            return CString(buf.data(), static_cast<int>(n));
    }
    return CString();
}

} // namespace

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    if (nYear < 1900 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 ||
        nHour > 23 || nMin < 0 || nMin > 59 || nSec < 0 || nSec > 59)
        AfxThrowInvalidArgException();
    struct tm fields = {};
    fields.tm_year = nYear - 1900;
    fields.tm_mon = nMonth - 1;
    fields.tm_mday = nDay;
    fields.tm_hour = nHour;
    fields.tm_min = nMin;
    fields.tm_sec = nSec;
    fields.tm_isdst = nDST;
    m_time = _mktime64(&fields);
    if (m_time == -1)
        AfxThrowInvalidArgException();
}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST)
{}

CTime::CTime(const FILETIME& ft, int /*nDST*/)
{
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    if (v.QuadPart == 0)
        return;
    m_time = static_cast<__time64_t>(
        (static_cast<LONGLONG>(v.QuadPart) - static_cast<LONGLONG>(kFileTimeEpoch)) / 10000000LL);
}

CTime CTime::GetCurrentTime()
{
    return CTime(_time64(nullptr));
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    if (!ptm || _localtime64_s(ptm, &m_time) != 0)
        return nullptr;
    return ptm;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const
{
    if (!ptm || _gmtime64_s(ptm, &m_time) != 0)
        return nullptr;
    return ptm;
}

struct tm CTime::LocalTm() const
{
    struct tm fields;
    if (!GetLocalTm(&fields))
        AfxThrowInvalidArgException();
    return fields;
}

bool CTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    struct tm fields;
    if (!GetLocalTm(&fields))
        return false;
    st.wYear = static_cast<WORD>(fields.tm_year + 1900);
    st.wMonth = static_cast<WORD>(fields.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(fields.tm_wday);
    st.wDay = static_cast<WORD>(fields.tm_mday);
    st.wHour = static_cast<WORD>(fields.tm_hour);
    st.wMinute = static_cast<WORD>(fields.tm_min);
    st.wSecond = static_cast<WORD>(fields.tm_sec);
    st.wMilliseconds = 0;
    return true;
}

CString CTime::Format(const char* pszFormat) const
{
    struct tm fields;
    return GetLocalTm(&fields) ? Strftime(pszFormat, fields) : CString();
}

CString CTime::FormatGmt(const char* pszFormat) const
{
    struct tm fields;
    return GetGmtTm(&fields) ? Strftime(pszFormat, fields) : CString();
}
