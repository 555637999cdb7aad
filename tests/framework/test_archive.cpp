// CArchive over a memory file: the byte layout of values, strings and counts, and errors.
#include "framework/core.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string Bytes(CMemFile& f)
{
    std::string out(static_cast<size_t>(f.GetLength()), '\0');
    f.SeekToBegin();
    f.Read(out.data(), static_cast<UINT>(out.size()));
    f.SeekToBegin();
    return out;
}

int ArchiveCause(CMemFile& f, void (*read)(CArchive&))
{
    f.SeekToBegin();
    CArchive ar(&f, CArchive::load);
    try {
        read(ar);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}
} // namespace

TEST(CArchive, StringLengthPrefixGrowsAtEachBoundary)
{
    struct Case {
        int length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {0xFFFD, "\xFF\xFD\xFF"},
        {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)}, // 0xFFFE marks UTF-16
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        CMemFile f;
        const CString text('x', c.length);
        {
            CArchive ar(&f, CArchive::store);
            ar << text;
        } // flushed by the destructor
        const std::string bytes = Bytes(f);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
        EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix);
        CArchive ar(&f, CArchive::load);
        CString back;
        ar >> back;
        EXPECT_EQ(back, text);
    }
}

TEST(CArchive, ValuesAndCountsAreLittleEndianAndReadBackInOrder)
{
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store, 16); // a small buffer forces several flushes
        ar << static_cast<BYTE>(7) << 0x01020304 << static_cast<WORD>(0xABCD)
           << static_cast<LONGLONG>(-2) << 1.5 << true << CString("Rock");
        ar.WriteCount(3);
        ar.WriteCount(0x12345);
        ar << "tail";
        ar.Close();
    }
    const std::string bytes = Bytes(f);
    EXPECT_EQ(bytes.substr(0, 7), std::string("\x07\x04\x03\x02\x01\xCD\xAB", 7));
    EXPECT_NE(bytes.find(std::string("\x03\x00\xFF\xFF\x45\x23\x01\x00", 8)), std::string::npos);

    CArchive ar(&f, CArchive::load, 16);
    BYTE b = 0;
    int i = 0;
    WORD w = 0;
    LONGLONG ll = 0;
    double d = 0;
    bool flag = false;
    CString s, tail;
    ar >> b >> i >> w >> ll >> d >> flag >> s;
    EXPECT_EQ(b, 7);
    EXPECT_EQ(i, 0x01020304);
    EXPECT_EQ(w, 0xABCD);
    EXPECT_EQ(ll, -2);
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(flag);
    EXPECT_EQ(s, "Rock");
    EXPECT_EQ(ar.ReadCount(), 3u);
    EXPECT_EQ(ar.ReadCount(), 0x12345u);
    ar >> tail;
    EXPECT_EQ(tail, "tail");
    ar.Close();
    EXPECT_EQ(f.GetPosition(), f.GetLength()); // nothing read ahead is left unaccounted for
}

TEST(CArchive, ReadsUtf16StringsAndRejectsShortOrWrongWayData)
{
    CMemFile f;
    f.Write("\xFF\xFE\xFF\x02\x41\x00\x42\x00", 8); // UTF-16 "AB"
    f.SeekToBegin();
    {
        CArchive ar(&f, CArchive::load);
        CString s;
        ar >> s;
        EXPECT_EQ(s, "AB");
    }

    CMemFile cut;
    cut.Write("\x05"
              "abc",
              4); // five chars announced, three present
    EXPECT_EQ(ArchiveCause(cut,
                           [](CArchive& ar) {
                               CString s;
                               ar >> s;
                           }),
              CArchiveException::endOfFile);
    CMemFile huge;
    huge.Write("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7); // a 2 GB string in 7 bytes
    EXPECT_EQ(ArchiveCause(huge,
                           [](CArchive& ar) {
                               CString s;
                               ar >> s;
                           }),
              CArchiveException::endOfFile);
    EXPECT_EQ(ArchiveCause(cut,
                           [](CArchive& ar) {
                               int a = 0, b = 0;
                               ar >> a >> b;
                           }),
              CArchiveException::endOfFile);
    EXPECT_EQ(ArchiveCause(cut, [](CArchive& ar) { ar << 1; }), CArchiveException::readOnly);

    CMemFile out;
    CArchive store(&out, CArchive::store);
    try {
        int x = 0;
        store >> x;
        ADD_FAILURE() << "read from a storing archive";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::writeOnly);
        e->Delete();
    }
}
