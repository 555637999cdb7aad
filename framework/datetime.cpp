// CTime conversions to and from the calendar.
#include "framework/datetime.h"

namespace
{
std::tm Broken(LONGLONG t, bool local)
{
    std::tm tm{};
    const std::time_t tt = static_cast<std::time_t>(t);
#ifdef _WIN32
    local ? localtime_s(&tm, &tt) : gmtime_s(&tm, &tt);
#else
    local ? localtime_r(&tt, &tm) : gmtime_r(&tt, &tm);
#endif
    return tm;
}

CString FormatTm(const std::tm& tm, LPCTSTR pszFormat)
{
    char buf[512];
    const size_t n = pszFormat ? std::strftime(buf, sizeof buf, pszFormat, &tm) : 0;
    return CString(buf, static_cast<int>(n));
}
} // namespace

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    std::tm tm{};
    tm.tm_year = nYear - 1900;
    tm.tm_mon = nMonth - 1;
    tm.tm_mday = nDay;
    tm.tm_hour = nHour;
    tm.tm_min = nMin;
    tm.tm_sec = nSec;
    tm.tm_isdst = nDST;
    m_time = static_cast<LONGLONG>(std::mktime(&tm));
}

CTime CTime::GetCurrentTime()
{
    return static_cast<LONGLONG>(std::time(nullptr));
}

std::tm CTime::Local() const
{
    return Broken(m_time, true);
}

CString CTime::Format(LPCTSTR pszFormat) const
{
    return FormatTm(Local(), pszFormat);
}

CString CTime::FormatGmt(LPCTSTR pszFormat) const
{
    return FormatTm(Broken(m_time, false), pszFormat);
}
