// Records from a local freedb-style database: one file per disc, or range files.
#include "catalogue/cddb/cddb.h"
#include "cddb_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using cddb_test::BaseRecord;
using cddb_test::With;

namespace
{
class LocalDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() /
                 ("cddb_local_" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string Write(const std::string& relative, const std::string& text)
    {
        const fs::path path = m_root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    // The client's code for the failure, or 0 when the read succeeded.
    DWORD ReadCode(DWORD id, const std::string& path, BOOL bSingle, CCDDBRecord& record)
    {
        try {
            m_client.ReadLocalRecordFile(id, path.c_str(), bSingle, record);
            return 0;
        } catch (CCDDBException* e) {
            const DWORD code = e->m_dwError;
            e->Delete();
            return code;
        }
    }

    static std::string RecordFor(const char* id, const char* title)
    {
        return With(With(BaseRecord(), "04018e02", id), "Artist / Title", title);
    }

    fs::path m_root;
    CCDDB m_client;
};

DWORD Client(DWORD code)
{
    return 0x80040000u | code;
}
} // namespace

TEST_F(LocalDatabase, SingleRecordFiles)
{
    struct Case {
        const char* name;
        std::string text;
        DWORD code;
    } cases[] = {
        {"good", BaseRecord(), 0},
        {"empty", "", Client(CDDB_E_FILE_EMPTY)},
        {"not_xmcd", "hello\r\n", Client(CDDB_E_BAD_RECORD)},
        {"track_counts_disagree", With(BaseRecord(), "EXTT1=Live\r\n", ""),
         Client(CDDB_E_BAD_RECORD)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCDDBRecord record;
        EXPECT_EQ(ReadCode(0x04018e02, Write(c.name, c.text), TRUE, record), c.code);
    }
    CCDDBRecord record;
    const DWORD missing = ReadCode(0x04018e02, (m_root / "absent").string(), TRUE, record);
    EXPECT_EQ(missing & 0xFFFF0000u, 0x80070000u);
    EXPECT_NE(missing & 0xFFFF, 0u);
}

TEST_F(LocalDatabase, RangeFileCollectsOneRecord)
{
    const std::string path =
        Write("rock/40to7f", "#FILENAME=5a0b0c0d\n" + RecordFor("5a0b0c0d", "First / One") +
                                 "#FILENAME=5A0B0C0E\n" + RecordFor("5a0b0c0e", "Second / Two") +
                                 "#FILENAME=5a0b0c0f\n" + RecordFor("5a0b0c0f", "Third / Three"));
    CCDDBRecord record;
    ASSERT_EQ(ReadCode(0x5a0b0c0e, path, FALSE, record), 0u);
    EXPECT_EQ(record.m_strDiscArtist, "Second");
    EXPECT_EQ(record.m_dwDiscId, 0x5a0b0c0eu);
    EXPECT_EQ(ReadCode(0x5a0b0c10, path, FALSE, record), Client(CDDB_E_NOT_IN_FILE));

    // A huge line is skipped, not held: before the record it is passed over, inside it the
    // record is damaged.
    const std::string huge(8 << 20, 'x');
    const std::string hugeFile =
        Write("rock/80toff", "#FILENAME=8a0b0c0d\nTTITLE0=" + huge + "\n" +
                                 "#FILENAME=8A0B0C0E\n" + RecordFor("8a0b0c0e", "Second / Two") +
                                 "#FILENAME=8A0B0C0F\nDTITLE=" + huge + "\n");
    ASSERT_EQ(ReadCode(0x8a0b0c0e, hugeFile, FALSE, record), 0u);
    EXPECT_EQ(record.m_strDiscArtist, "Second");
    EXPECT_EQ(ReadCode(0x8a0b0c0f, hugeFile, FALSE, record), Client(CDDB_E_BAD_RECORD));
}

#ifdef _WIN32
TEST_F(LocalDatabase, SearchWalksCategoriesAndRanges)
{
    // One file per disc: a broken file in one category does not stop the search.
    Write("blues/5a0b0c0d", "# xmcd\r\nbroken\r\n");
    Write("rock/5a0b0c0d", RecordFor("5a0b0c0d", "Found / It"));
    Write("loose_file", "not a category");
    CCDDBRecord record;
    CString category;
    ASSERT_TRUE(
        m_client.FindInLocalDatabase(m_root.string().c_str(), 0x5a0b0c0d, TRUE, record, category));
    EXPECT_EQ(category, "rock");
    EXPECT_EQ(record.m_strDiscArtist, "Found");
    EXPECT_FALSE(
        m_client.FindInLocalDatabase(m_root.string().c_str(), 0x5a0b0c0e, TRUE, record, category));

    // Range files: the id's top byte picks the file.
    Write("jazz/40to7f", "#FILENAME=5a0b0c0d\n" + RecordFor("5a0b0c0d", "Range / Hit") +
                             "#FILENAME=80000001\n" + RecordFor("80000001", "Wrong / File"));
    ASSERT_TRUE(
        m_client.FindInLocalDatabase(m_root.string().c_str(), 0x5a0b0c0d, FALSE, record, category));
    EXPECT_EQ(category, "jazz");
    EXPECT_EQ(record.m_strDiscArtist, "Range");
    EXPECT_FALSE(
        m_client.FindInLocalDatabase(m_root.string().c_str(), 0x80000001, FALSE, record, category));
}
#endif
