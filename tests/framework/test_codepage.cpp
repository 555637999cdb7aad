// Code-page text to and from UTF-8 and UTF-16, and the strict UTF-8 check that tells the tag
// readers whether a text is UTF-8 or code-page text of an older file.
#include "framework/codepage.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

TEST(CodePage, StrictUtf8)
{
    struct Case {
        const char* bytes;
        bool utf8;
    } const cases[] = {
        {"", true},
        {"plain ascii", true},
        {"Caf\xc3\xa9", true},
        {"\xe2\x82\xac", true},
        {"\xf0\x9f\x8e\xb5", true},     // beyond the basic plane
        {"\xf4\x8f\xbf\xbf", true},     // U+10FFFF, the last one
        {"Caf\xe9", false},             // code-page text
        {"\xc0\xaf", false},            // overlong '/'
        {"\xe0\x80\xaf", false},        // overlong in three bytes
        {"\xed\xa0\x80", false},        // a surrogate
        {"\xf4\x90\x80\x80", false},    // above U+10FFFF
        {"\xc3", false},                // cut at the end
        {"\xe2\x82", false},            // cut in a longer one
        {"\xe2\x28\xa1", false},        // a continuation missing
        {"\x80", false},                // a lone continuation
        {"\xf8\x88\x80\x80\x80", false}, // five-byte form
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsStrictUtf8(c.bytes, std::strlen(c.bytes)), c.utf8) << c.bytes;
}

// Windows-1252 (the native build's code page, and the usual one under Wine): every byte comes
// back as it went, the five unassigned ones too; a character beyond the basic plane is one '?'.
TEST(CodePage, Windows1252RoundTrips)
{
#ifdef _WIN32
    if (GetACP() != 1252)
        GTEST_SKIP() << "ANSI code page is " << GetACP();
#endif
    char all[255];
    for (int i = 0; i < 255; ++i)
        all[i] = static_cast<char>(i + 1);
    const std::string utf8 = SystemToUtf8(all, sizeof all);
    EXPECT_TRUE(IsStrictUtf8(utf8.data(), utf8.size()));
    const CString back = Utf8ToSystem(utf8.data(), utf8.size());
    ASSERT_EQ(back.GetLength(), 255);
    EXPECT_EQ(std::memcmp(back.GetString(), all, sizeof all), 0);

    const std::u16string wide = SystemToUtf16(all, sizeof all);
    const CString fromWide = Utf16ToSystem(wide.data(), wide.size());
    ASSERT_EQ(fromWide.GetLength(), 255);
    EXPECT_EQ(std::memcmp(fromWide.GetString(), all, sizeof all), 0);

    EXPECT_STREQ(Utf8ToSystem("\xf0\x9f\x8e\xb5!", 5), "?!");
    const char16_t pair[] = {0xD83C, 0xDFB5, u'!'};
    EXPECT_STREQ(Utf16ToSystem(pair, 3), "?!");
    EXPECT_STREQ(SystemToUtf8("\x80", 1).c_str(), "\xe2\x82\xac");
}
