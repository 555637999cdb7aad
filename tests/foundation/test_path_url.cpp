// Joining paths and URL-encoding query values.
#include "foundation/util/sys_utils.h"

#include <gtest/gtest.h>

TEST(PathUrl, AppendPathComponentJoinsWithOneBackslash)
{
    struct Case {
        const char* folder;
        const char* name;
        const char* path;
    };
    const Case cases[] = {
        {"C:\\Music", "a.wav", "C:\\Music\\a.wav"},
        {"C:\\Music\\", "a.wav", "C:\\Music\\a.wav"},
        {"C:\\", "cddb", "C:\\cddb"},
        {"", "Sonoria", "\\Sonoria"},
        {"C:\\ProgramData", "", "C:\\ProgramData\\"},
        {"C:/Music", "a.wav", "C:/Music\\a.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_STREQ(AppendPathComponent(c.folder, c.name), c.path);
    }
}

TEST(PathUrl, UrlEncodeKeepsOnlyLettersAndDigits)
{
    struct Case {
        const char* text;
        const char* encoded;
    };
    const Case cases[] = {
        {"AB/CD Live!", "AB%2fCD%20Live%21"},
        {"azAZ09", "azAZ09"},
        {"-", "%2d"},
        {"caf\xE9", "caf%e9"},
        {"a.b_c~d", "a%2eb%5fc%7ed"},
        {"100%", "100%25"},
        {"\x01\xFF", "%01%ff"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(UrlEncoded(c.text), c.encoded);
        CString out = "stale";
        UrlEncode(c.text, out);
        EXPECT_STREQ(out, c.encoded);
    }
}
