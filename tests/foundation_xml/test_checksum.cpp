// MD5 digests and the additive checksum.
#include "foundation/checksum/checksum.h"
#include "foundation/checksum/md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

TEST(Md5, MatchesTheRfcTestSuite)
{
    struct Case {
        const char* input;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        char out[33];
        MD5HexDigest(c.input, static_cast<long>(std::string(c.input).size()), out);
        EXPECT_STREQ(out, c.digest);
    }
    char out[33];
    MD5HexDigest("abc", -4, out);
    EXPECT_STREQ(out, "d41d8cd98f00b204e9800998ecf8427e") << "a negative length digests nothing";
}

TEST(Md5, PiecewiseUpdatesEqualOneUpdate)
{
    std::vector<unsigned char> data(1000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 7 + 3);
    char whole[33];
    MD5HexDigest(data.data(), static_cast<long>(data.size()), whole);
    for (long split : {1L, 55L, 56L, 63L, 64L, 65L, 999L}) {
        SCOPED_TRACE(split);
        MD5_CTX ctx;
        MD5Init(&ctx);
        MD5Update(&ctx, data.data(), split);
        MD5Update(&ctx, data.data() + split, 0);
        MD5Update(&ctx, data.data() + split, static_cast<long>(data.size()) - split);
        unsigned char digest[16];
        MD5Final(digest, &ctx);
        char hex[33];
        for (int i = 0; i < 16; ++i)
            std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
        EXPECT_STREQ(hex, whole);
    }
}

TEST(CheckSum32, SumsBytesModulo2To32)
{
    COXCheckSum32 sum;
    EXPECT_EQ(sum.m_dwValue, 0xFFFFFFFFu) << "all bits set before the first calculation";
    EXPECT_EQ(sum.m_nKind, 3);
    const unsigned char bytes[] = {0xFF, 0x01};
    EXPECT_EQ(sum.Calculate(bytes, 2, 0), 0x100u);
    EXPECT_EQ(sum.Calculate(bytes, 0, 0), 0u);
    EXPECT_EQ(sum.Calculate(bytes, 2, 0xFFFFFFFF), 0xFFu) << "wraps";
    EXPECT_EQ(sum.CalculateNext(bytes + 1, 1), 0x100u);
    EXPECT_TRUE(sum.IsKindOf(RUNTIME_CLASS(COXCheckBase)));
}

TEST(CheckSum32, StreamsAndFilesAddExactlyTheirBytes)
{
    std::string path = testing::TempDir() + "checksum_5000.bin";
    std::vector<unsigned char> data(5000);
    DWORD first3000 = 0, all = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<unsigned char>((i * 31) ^ (i >> 3));
        all += data[i];
        if (i < 3000)
            first3000 += data[i];
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);

    struct Case {
        DWORD length;
        DWORD expected;
    } cases[] = {{3000, first3000}, {0xFFFFFFFF, all}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        CFile file(path.c_str(), CFile::modeRead | CFile::typeBinary);
        COXCheckSum32 sum;
        sum.m_dwValue = 0;
        EXPECT_EQ(sum.CalculateStream(file, c.length, 2048), c.expected);
    }
    COXCheckSum32 sum;
    sum.m_dwValue = 0; // a new object would start from all bits set
    EXPECT_EQ(sum.CalculateFile(path.c_str()), all);
    std::remove(path.c_str());

    bool raised = false;
    try {
        sum.CalculateFile((path + ".missing").c_str());
    } catch (CFileException* e) {
        raised = true;
        EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
        e->Delete();
    }
    EXPECT_TRUE(raised);
}

TEST(CrcTables, BuildOnRequest)
{
    // Reflected CRC-32 (0xEDB88320) and the CCITT CRC-16 (0x1021) tables have well-known entries.
    const auto* t32 = COXCRC32::m_tables.GetTable(0xEDB88320u);
    EXPECT_EQ(t32->entries[1], 0x77073096u);
    EXPECT_EQ(t32->entries[255], 0x2D02EF8Du);
    EXPECT_EQ(COXCRC32::m_tables.GetTable(0xEDB88320u), t32) << "built once";
    const auto* t16 = COXCRC16::m_tables.GetTable(0x1021);
    EXPECT_EQ(t16->entries[1], 0x1021);
    EXPECT_EQ(t16->entries[255], 0x1EF0);
}
