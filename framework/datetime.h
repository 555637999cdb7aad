// Points in time (seconds since 1970-01-01 UTC) and spans between them.
// Classes here: CTimeSpan, CTime. The calendar members read the local time zone.
#pragma once

#include "framework/strings.h"

#include <ctime>

// <windows.h> maps GetCurrentTime to GetTickCount, which would rename CTime's member.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class CTimeSpan
{
public:
    CTimeSpan() = default;
    CTimeSpan(LONGLONG seconds) : m_span(seconds) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
        : m_span(((static_cast<LONGLONG>(lDays) * 24 + nHours) * 60 + nMins) * 60 + nSecs)
    {
    }

    LONGLONG GetTimeSpan() const { return m_span; }
    LONGLONG GetDays() const { return m_span / (24 * 3600); }
    LONGLONG GetTotalHours() const { return m_span / 3600; }
    LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    LONGLONG GetTotalMinutes() const { return m_span / 60; }
    LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONGLONG GetTotalSeconds() const { return m_span; }
    LONG GetSeconds() const { return static_cast<LONG>(m_span - GetTotalMinutes() * 60); }

    CTimeSpan operator+(CTimeSpan s) const { return m_span + s.m_span; }
    CTimeSpan operator-(CTimeSpan s) const { return m_span - s.m_span; }
    CTimeSpan& operator+=(CTimeSpan s)
    {
        m_span += s.m_span;
        return *this;
    }
    CTimeSpan& operator-=(CTimeSpan s)
    {
        m_span -= s.m_span;
        return *this;
    }
    auto operator<=>(const CTimeSpan&) const = default;

private:
    LONGLONG m_span = 0;
};

class CTime
{
public:
    CTime() = default;
    CTime(LONGLONG time) : m_time(time) {}
    // Local calendar time; nDST -1 lets the system decide whether summer time applies.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

    static CTime GetCurrentTime();
    LONGLONG GetTime() const { return m_time; }

    int GetYear() const { return Local().tm_year + 1900; }
    int GetMonth() const { return Local().tm_mon + 1; }
    int GetDay() const { return Local().tm_mday; }
    int GetHour() const { return Local().tm_hour; }
    int GetMinute() const { return Local().tm_min; }
    int GetSecond() const { return Local().tm_sec; }
    int GetDayOfWeek() const { return Local().tm_wday + 1; } // 1 = Sunday
    // strftime formatting of the local time.
    CString Format(LPCTSTR pszFormat) const;
    CString FormatGmt(LPCTSTR pszFormat) const;

    CTimeSpan operator-(CTime t) const { return m_time - t.m_time; }
    CTime operator+(CTimeSpan s) const { return m_time + s.GetTimeSpan(); }
    CTime operator-(CTimeSpan s) const { return m_time - s.GetTimeSpan(); }
    CTime& operator+=(CTimeSpan s)
    {
        m_time += s.GetTimeSpan();
        return *this;
    }
    CTime& operator-=(CTimeSpan s)
    {
        m_time -= s.GetTimeSpan();
        return *this;
    }
    auto operator<=>(const CTime&) const = default;

private:
    std::tm Local() const;

    LONGLONG m_time = 0;
};
