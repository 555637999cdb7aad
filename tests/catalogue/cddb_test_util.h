// Shared bits of the CDDB tests: a well-formed xmcd record and ways to look at records.
#pragma once

#include "catalogue/cddb/cddb_values.h"

#include <initializer_list>
#include <string>

namespace cddb_test
{

// Two tracks, disc id 04018e02, every key once; lines end with CR LF.
inline std::string BaseRecord()
{
    return "# xmcd\r\n#\r\n# Track frame offsets:\r\n#\t150\r\n#\t15000\r\n#\r\n"
           "# Disc length: 400 seconds\r\n#\r\n# Revision: 3\r\n"
           "# Submitted via: Sonoria 3.70 test\r\n#\r\n"
           "DISCID=04018e02\r\nDTITLE=Artist / Title\r\nDYEAR=1999\r\nDGENRE=Rock\r\n"
           "TTITLE0=One\r\nTTITLE1=Two\r\nEXTD=Notes\r\nEXTT0=\r\nEXTT1=Live\r\n"
           "PLAYORDER=\r\n";
}

// The base record with one text replaced (all occurrences).
inline std::string With(std::string text, const std::string& from, const std::string& to)
{
    for (size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
    return text;
}

inline std::string Join(const CStringArray& list)
{
    std::string out;
    for (INT_PTR i = 0; i < list.GetSize(); ++i)
        out += (i ? "|" : "") + list[i].str();
    return out;
}

inline std::string Join(const CArray<int, int>& list)
{
    std::string out;
    for (INT_PTR i = 0; i < list.GetSize(); ++i)
        out += (i ? "," : "") + std::to_string(list[i]);
    return out;
}

inline void SetPositions(CCDDBTrackPositionArray& positions,
                         std::initializer_list<CCDDBTrackPosition> list)
{
    positions.RemoveAll();
    for (CCDDBTrackPosition p : list)
        positions.Add(p);
}

} // namespace cddb_test

#ifdef _WIN32
#include "testing/cddb/loopback_cddb.h"

namespace cddb_test
{

// The discs every network test serves: one exact match, two inexact matches for 0b0b0b0b
// of which the second has a broken record.
inline void AddDiscs(testing_cddb::LoopbackCddbServer& server)
{
    server.AddDisc({"rock", 0x04018e02, "Artist / Title", BaseRecord()});
    server.AddDisc(
        {"jazz", 0x1a2b3c4d, "Other / Album",
         With(With(BaseRecord(), "04018e02", "1a2b3c4d"), "Artist / Title", "Other / Album"),
         0x0b0b0b0b});
    server.AddDisc({"misc", 0x2b3c4d5e, "Third / One", "# broken\r\n", 0x0b0b0b0b});
    server.SetSites({"cddb1.example http 80 /~cddb/cddb.cgi N037.23 W122.01 First place",
                     "cddb2.example http 80 /~cddb/cddb.cgi S012.30 E001.05 Second",
                     "cddb3.example http 8080 /cgi N000.00 E000.00 Third"});
}

} // namespace cddb_test
#endif
