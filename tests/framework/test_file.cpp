// CFile, CStdioFile and CMemFile on real files in a scratch folder.
#include "framework/core.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
class FileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / "sonoria_fw" / info->name();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir / "readonly.bin", fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }
    std::string Path(const char* name) const { return (m_dir / name).string(); }
    void WriteRaw(const char* name, const std::string& bytes) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    std::string ReadRaw(const char* name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_dir;
};

// The cause of the exception that op throws, or -1 when it throws none.
template <class OP> int CauseOf(OP op)
{
    try {
        op();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}
} // namespace

TEST_F(FileTest, WritesReadsSeeksAndResizes)
{
    CFile f;
    ASSERT_TRUE(f.Open(Path("data.bin").c_str(), CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_EQ(f.GetFileName(), "data.bin");
    EXPECT_NE(f.GetFilePath().Find("data.bin"), -1);
    f.Write("0123456789", 10);
    EXPECT_EQ(f.GetPosition(), 10u);
    EXPECT_EQ(f.GetLength(), 10u);

    char buf[16] = {};
    EXPECT_EQ(f.Seek(-4, CFile::end), 6u);
    EXPECT_EQ(f.Read(buf, sizeof buf), 4u); // short read only at the end
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_EQ(f.Read(buf, sizeof buf), 0u);
    EXPECT_EQ(f.Seek(-8, CFile::current), 2u);
    f.Write("ab", 2);
    f.SeekToBegin();
    EXPECT_EQ(f.Read(buf, 5), 5u);
    EXPECT_EQ(std::string(buf, 5), "01ab4");

    f.SetLength(3);
    EXPECT_EQ(f.GetLength(), 3u);
    EXPECT_EQ(f.GetPosition(), 3u);
    EXPECT_EQ(CauseOf([&] { f.Seek(-1, CFile::begin); }), CFileException::badSeek);

    CFileStatus st;
    EXPECT_TRUE(f.GetStatus(st));
    EXPECT_EQ(st.m_size, 3u);
    f.Close();
    EXPECT_EQ(f.m_hFile, CFile::hFileNull);
    EXPECT_EQ(ReadRaw("data.bin"), "01a");

    // modeNoTruncate keeps the contents; plain modeCreate empties the file.
    ASSERT_TRUE(f.Open(Path("data.bin").c_str(),
                       CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(f.SeekToEnd(), 3u);
    f.Close();
    {
        CFile g(Path("data.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(g.GetLength(), 0u);
    } // the destructor closes
    EXPECT_TRUE(CFile::GetStatus(Path("data.bin").c_str(), st));
    EXPECT_FALSE(CFile::GetStatus(Path("missing").c_str(), st));
}

TEST_F(FileTest, PositionsBeyondFourGigabytes)
{
    CFile f(Path("big.bin").c_str(), CFile::modeCreate | CFile::modeReadWrite);
    const ULONGLONG bigSize = 5000000000ULL;
    f.SetLength(bigSize); // sparse on the file systems we run on
    EXPECT_EQ(f.GetLength(), bigSize);
    EXPECT_EQ(f.Seek(static_cast<LONGLONG>(bigSize) - 100, CFile::begin), bigSize - 100);
    f.Write("end", 3);
    EXPECT_EQ(f.GetPosition(), bigSize - 97);
    f.Seek(-3, CFile::current);
    char buf[3];
    EXPECT_EQ(f.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "end");
    f.SetLength(0);
}

TEST_F(FileTest, FailuresCarryTheirCause)
{
    fs::create_directory(m_dir / "folder");
    WriteRaw("readonly.bin", "x");
    fs::permissions(m_dir / "readonly.bin", fs::perms::owner_read);
    struct Case {
        const char* what;
        std::string name;
        UINT flags;
        int cause;
    };
    const Case cases[] = {
        {"missing file", Path("nothing.bin"), CFile::modeRead, CFileException::fileNotFound},
        {"missing folder", Path("nowhere/a.bin"), CFile::modeCreate | CFile::modeWrite,
         CFileException::badPath},
        {"folder as file", Path("folder"), CFile::modeCreate | CFile::modeWrite,
         CFileException::accessDenied},
        {"read-only file", Path("readonly.bin"), CFile::modeWrite, CFileException::accessDenied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFile f;
        CFileException e;
        EXPECT_FALSE(f.Open(c.name.c_str(), c.flags, &e));
        EXPECT_EQ(e.m_cause, c.cause);
        EXPECT_NE(e.m_lOsError, -1);
        EXPECT_EQ(e.m_strFileName, c.name.c_str());
        EXPECT_EQ(f.m_hFile, CFile::hFileNull);
        EXPECT_EQ(CauseOf([&] { CFile g(c.name.c_str(), c.flags); }), c.cause);
    }
    EXPECT_EQ(ReadRaw("readonly.bin"), "x"); // not truncated by the failed attempt

    EXPECT_EQ(CauseOf([&] { CFile::Remove(Path("nothing.bin").c_str()); }),
              CFileException::fileNotFound);
    EXPECT_EQ(CauseOf([&] { CFile::Remove(Path("folder").c_str()); }),
              CFileException::accessDenied);
    WriteRaw("a.txt", "a");
    WriteRaw("b.txt", "b");
    EXPECT_EQ(CauseOf([&] { CFile::Rename(Path("a.txt").c_str(), Path("b.txt").c_str()); }),
              CFileException::accessDenied); // never replaces
    EXPECT_EQ(CauseOf([&] { CFile::Rename(Path("a.txt").c_str(), Path("c.txt").c_str()); }), -1);
    EXPECT_EQ(CauseOf([&] { CFile::Remove(Path("c.txt").c_str()); }), -1);
    EXPECT_FALSE(fs::exists(m_dir / "c.txt"));
}

#ifndef _WIN32
TEST_F(FileTest, WriteToAFullDiskThrowsDiskFull)
{
    CFile f("/dev/full", CFile::modeWrite);
    const std::vector<char> block(4096, 'x');
    EXPECT_EQ(CauseOf([&] { f.Write(block.data(), static_cast<UINT>(block.size())); }),
              CFileException::diskFull);
}
#endif

TEST_F(FileTest, ReadStringStripsEitherLineEnd)
{
    struct Case {
        const char* what;
        std::string bytes;
        UINT type;
        std::vector<std::string> lines;
    };
    const std::string longLine(10000, 'L'); // longer than the read-ahead buffer
    const Case cases[] = {
        {"LF", "a\nb\n", CFile::typeText, {"a", "b"}},
        {"CRLF", "a\r\nb\r\n", CFile::typeText, {"a", "b"}},
        {"no final newline", "a\r\nlast", CFile::typeText, {"a", "last"}},
        {"empty lines", "\n\r\n\n", CFile::typeText, {"", "", ""}},
        {"lone CR is text", "a\rb\n", CFile::typeText, {"a\rb"}},
        {"binary keeps CR", "a\r\nb", CFile::typeBinary, {"a\r", "b"}},
        {"long line", longLine + "\r\nz", 0, {longLine, "z"}},
        {"empty file", "", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteRaw("lines.txt", c.bytes);
        CStdioFile f;
        ASSERT_TRUE(f.Open(Path("lines.txt").c_str(), CFile::modeRead | c.type));
        std::vector<std::string> got;
        CString line;
        while (f.ReadString(line))
            got.emplace_back(line.GetString(), line.GetLength());
        EXPECT_EQ(got, c.lines);
        EXPECT_EQ(f.GetPosition(), c.bytes.size());
    }

    WriteRaw("lines.txt", "ab\r\ncd");
    CStdioFile f(Path("lines.txt").c_str(), CFile::modeRead);
    char buf[8];
    ASSERT_NE(f.ReadString(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "ab\n"); // line end kept, CRLF folded
    EXPECT_EQ(f.GetPosition(), 4u);
    ASSERT_NE(f.ReadString(buf, 2), nullptr);
    EXPECT_STREQ(buf, "c"); // capacity of one char plus the terminator
    f.Seek(-1, CFile::current);
    EXPECT_EQ(f.Read(buf, 8), 2u); // raw read after the line reads
    EXPECT_EQ(std::string(buf, 2), "cd");
    EXPECT_EQ(f.ReadString(buf, sizeof buf), nullptr);
}

TEST_F(FileTest, WriteStringTranslatesNewlinesInTextModeOnly)
{
    {
        CStdioFile f(Path("out.txt").c_str(), CFile::modeCreate | CFile::modeWrite);
        f.WriteString("one\ntwo\n");
        f.WriteString("three");
    }
    EXPECT_EQ(ReadRaw("out.txt"), "one\r\ntwo\r\nthree");
    {
        CStdioFile f(Path("out.txt").c_str(),
                     CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        f.WriteString("one\ntwo\n");
    }
    EXPECT_EQ(ReadRaw("out.txt"), "one\ntwo\n");

    // Reading ahead must not move where the next write lands.
    WriteRaw("mixed.txt", "head\nrest of the file\n");
    CStdioFile f(Path("mixed.txt").c_str(), CFile::modeReadWrite | CFile::typeBinary);
    CString line;
    ASSERT_TRUE(f.ReadString(line));
    f.WriteString("REST");
    f.Close();
    EXPECT_EQ(ReadRaw("mixed.txt"), "head\nREST of the file\n");
}

TEST(CMemFile, GrowsOwnsAndHandsOverItsBuffer)
{
    CMemFile m(16);
    m.Write("hello", 5);
    m.Seek(10, CFile::begin);
    m.Write("!", 1); // the gap reads as zeros
    EXPECT_EQ(m.GetLength(), 11u);
    m.SeekToBegin();
    char buf[32] = {};
    EXPECT_EQ(m.Read(buf, sizeof buf), 11u);
    EXPECT_EQ(std::string(buf, 11), std::string("hello\0\0\0\0\0!", 11));
    m.SetLength(2);
    EXPECT_EQ(m.GetPosition(), 2u);

    const ULONGLONG len = m.GetLength();
    BYTE* p = m.Detach();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p), static_cast<size_t>(len)), "he");
    std::free(p);
    EXPECT_EQ(m.GetLength(), 0u);

    BYTE fixed[4] = {'a', 'b', 'c', 'd'};
    CMemFile view(fixed, sizeof fixed); // no growth: the caller's buffer, length 4
    EXPECT_EQ(view.GetLength(), 4u);
    view.Seek(2, CFile::begin);
    view.Write("XY", 2);
    EXPECT_EQ(fixed[3], 'Y');
    try {
        view.Write("Z", 1);
        ADD_FAILURE() << "a fixed buffer grew";
    } catch (CMemoryException* e) {
        e->Delete();
    }
    EXPECT_EQ(CauseOf([&] { view.Seek(-5, CFile::end); }), CFileException::badSeek);
}
