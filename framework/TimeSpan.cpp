#include "TimeSpan.h"

CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
    : m_timeSpan(((static_cast<__time64_t>(lDays) * 24 + nHours) * 60 + nMins) * 60 + nSecs)
{}

CString CTimeSpan::Format(const char* pszFormat) const
{
    CString out;
    for (const char* p = pszFormat ? pszFormat : ""; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        switch (*++p) {
        case 'D': out.AppendFormat("%lld", static_cast<long long>(GetDays())); break;
        case 'H': out.AppendFormat("%02ld", GetHours()); break;
        case 'M': out.AppendFormat("%02ld", GetMinutes()); break;
        case 'S': out.AppendFormat("%02ld", GetSeconds()); break;
        case '%': out += '%'; break;
        default:
            out += '%';
            out += *p;
            break;
        }
    }
    return out;
}
