#include "Framework.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// Local time is US Eastern for these tests (daylight saving from the first Sunday of April to
// the last Sunday of October in 2003), whatever zone the machine is in. Set once for the whole
// program, before any time call: the run-time keeps its zone rules once it has used them.
const bool kEasternTime = [] {
    _putenv("TZ=EST5EDT");
    _tzset();
    return true;
}();

// The origin of the program's date spans.
CTime Origin()
{
    return CTime(2003, 1, 1, 12, 0, 0);
}

} // namespace

TEST(LocalTime, SystemDecidesDaylightSaving)
{
    ASSERT_TRUE(kEasternTime);
    EXPECT_EQ(Origin().GetTime(), 1041440400);  // 17:00 UTC
    CTime summer(2003, 7, 1, 12, 0, 0);
    EXPECT_EQ(summer.GetTime(), 1057075200);  // 16:00 UTC: daylight time
    EXPECT_EQ(CTime(2003, 7, 1, 12, 0, 0, 0).GetTime(), summer.GetTime() + 3600);
    EXPECT_EQ(summer.GetYear(), 2003);
    EXPECT_EQ(summer.GetMonth(), 7);
    EXPECT_EQ(summer.GetDay(), 1);
    EXPECT_EQ(summer.GetHour(), 12);
    EXPECT_EQ(summer.GetMinute(), 0);
    EXPECT_EQ(summer.GetSecond(), 0);
    EXPECT_EQ(summer.GetDayOfWeek(), 3);  // Tuesday
    EXPECT_EQ(summer.Format("%m/%d/%Y"), "07/01/2003");
    EXPECT_EQ(summer.Format("%A, %B %d, %Y %H:%M:%S"), "Tuesday, July 01, 2003 12:00:00");
    EXPECT_EQ(summer.FormatGmt("%H:%M"), "16:00");

    SYSTEMTIME st;
    ASSERT_TRUE(summer.GetAsSystemTime(st));
    EXPECT_EQ(CTime(st).GetTime(), summer.GetTime());
}

TEST(LocalTime, SpanAcrossADaylightSavingChange)
{
    // 181 calendar days, one hour of which the spring change took away.
    CTimeSpan span = CTime(2003, 7, 1, 12, 0, 0) - Origin();
    EXPECT_EQ(span.GetTotalSeconds(), 181LL * 86400 - 3600);
    EXPECT_EQ(span.GetDays(), 180);
    EXPECT_EQ(span.GetHours(), 23);
    EXPECT_EQ(span.Format("%D%H%M%S"), "180230000");
    // Back in standard time: whole days again.
    EXPECT_EQ((CTime(2003, 11, 1, 12, 0, 0) - Origin()).Format("%D%H%M%S"), "304000000");
    // A span beyond 32 bits.
    CTimeSpan longSpan = CTime(2075, 1, 1, 12, 0, 0) - Origin();
    EXPECT_GT(longSpan.GetTotalSeconds(), 0x7FFFFFFFLL);
    EXPECT_EQ(longSpan.GetDays(), 26298);
    EXPECT_EQ(Origin() + longSpan, CTime(2075, 1, 1, 12, 0, 0));
}

TEST(TimeSpan, Formats)
{
    struct Case
    {
        CTimeSpan span;
        const char* format;
        const char* text;
    } cases[] = {
        {CTimeSpan(3, 4, 5, 6), "%D%H%M%S", "3040506"},
        {CTimeSpan(0), "%D%H%M%S", "0000000"},
        {CTimeSpan(1234, 23, 59, 59), "%D%H%M%S", "1234235959"},
        {CTimeSpan(0, 25, 61, 61), "%D %H:%M:%S", "1 02:02:01"},
        {CTimeSpan(2, 0, 0, 0), "100%% in %D days%", "100% in 2 days%"},
        {CTimeSpan(5), "%X%S", "%X05"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.span.Format(c.format), c.text) << c.format;
    CTimeSpan s(1, 2, 3, 4);
    EXPECT_EQ(s.GetTotalHours(), 26);
    EXPECT_EQ(s.GetTotalMinutes(), 26 * 60 + 3);
    EXPECT_EQ(s.GetMinutes(), 3);
    EXPECT_EQ(s.GetSeconds(), 4);
}

TEST(Time, FileTimesAreExactUtcMoments)
{
    // 2003-01-01 17:00:00 UTC as a file time.
    ULARGE_INTEGER v;
    v.QuadPart = 116444736000000000ULL + 1041440400ULL * 10000000ULL + 9999999ULL;
    FILETIME ft = {v.LowPart, v.HighPart};
    EXPECT_EQ(CTime(ft).GetTime(), 1041440400);
    EXPECT_EQ(CTime(FILETIME{0, 0}).GetTime(), 0);

    EXPECT_GT(CTime::GetCurrentTime().GetTime(), 1700000000);
}

TEST(Time, ImpossibleDatesRaiseInvalidArgument)
{
    auto invalid = [](int y, int mo, int d, int h, int mi, int s) {
        return testsupport::ThrowsKind(RUNTIME_CLASS(CInvalidArgException),
                                       [&] { CTime t(y, mo, d, h, mi, s); });
    };
    EXPECT_TRUE(invalid(2003, 13, 1, 0, 0, 0));
    EXPECT_TRUE(invalid(2003, 0, 1, 0, 0, 0));
    EXPECT_TRUE(invalid(1899, 1, 1, 0, 0, 0));
    EXPECT_TRUE(invalid(2003, 1, 1, 24, 0, 0));
    EXPECT_FALSE(invalid(2003, 2, 29, 0, 0, 0));  // normalised to March 1st, as the run-time does
    EXPECT_EQ(CTime(2003, 2, 29, 0, 0, 0).GetMonth(), 3);
}
