// CTime: a moment in time, held as whole seconds since 1970-01-01 00:00:00 UTC (64-bit).
// Calendar fields, Format and construction from a date work in local time as the C run-time
// sees it: its time zone and its daylight-saving rules.
#pragma once

#include "String.h"
#include "TimeSpan.h"

#include <windows.h>

#include <ctime>

// The Windows headers define GetCurrentTime as a macro for GetTickCount.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class CTime
{
public:
    CTime() = default;
    CTime(__time64_t time) : m_time(time) {}
    // A local date and time. nDST -1 lets the system decide whether daylight saving applies
    // on that date, 0 says standard time, 1 daylight time. A date the run-time cannot
    // represent raises CInvalidArgException.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(const SYSTEMTIME& st, int nDST = -1);
    // A file time is a UTC moment and is taken exactly; a zero file time gives the time 0.
    CTime(const FILETIME& ft, int nDST = -1);

    static CTime GetCurrentTime();

    __time64_t GetTime() const { return m_time; }
    // Local calendar fields: month 1-12, day 1-31, day of week 1 (Sunday) to 7.
    int GetYear() const { return LocalTm().tm_year + 1900; }
    int GetMonth() const { return LocalTm().tm_mon + 1; }
    int GetDay() const { return LocalTm().tm_mday; }
    int GetHour() const { return LocalTm().tm_hour; }
    int GetMinute() const { return LocalTm().tm_min; }
    int GetSecond() const { return LocalTm().tm_sec; }
    int GetDayOfWeek() const { return LocalTm().tm_wday + 1; }

    // Fill the structure and answer it, or answer null when the time cannot be converted.
    struct tm* GetLocalTm(struct tm* ptm) const;
    struct tm* GetGmtTm(struct tm* ptm) const;
    bool GetAsSystemTime(SYSTEMTIME& st) const;

    // strftime of the local (Format) or UTC (FormatGmt) calendar fields, C locale names.
    CString Format(const char* pszFormat) const;
    CString FormatGmt(const char* pszFormat) const;

    CTimeSpan operator-(CTime time) const { return CTimeSpan(m_time - time.m_time); }
    CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTimeSpan()); }
    CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTimeSpan()); }
    CTime& operator+=(CTimeSpan span)
    {
        m_time += span.GetTimeSpan();
        return *this;
    }
    CTime& operator-=(CTimeSpan span)
    {
        m_time -= span.GetTimeSpan();
        return *this;
    }
    bool operator==(CTime time) const { return m_time == time.m_time; }
    bool operator!=(CTime time) const { return m_time != time.m_time; }
    bool operator<(CTime time) const { return m_time < time.m_time; }
    bool operator>(CTime time) const { return m_time > time.m_time; }
    bool operator<=(CTime time) const { return m_time <= time.m_time; }
    bool operator>=(CTime time) const { return m_time >= time.m_time; }

private:
    // The local fields; a time the run-time cannot convert raises CInvalidArgException.
    struct tm LocalTm() const;

    __time64_t m_time = 0;
};
