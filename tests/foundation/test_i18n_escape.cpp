// Escaping of language-file values and the engine's behaviour without a language file.
#include "foundation/i18n/i18n.h"

#include <gtest/gtest.h>

#include <string>

TEST(I18NEscape, WritesAndReadsBack)
{
    struct Case {
        const char* text;
        const char* escaped;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {"", ""},
        {"50%", "50%25"},
        {"ends with blank ", "ends with blank%20"},
        {"  leading blanks", "%20%20leading blanks"},
        {"a~b", "a%7Eb"},
        {"a\nb", "a%0Ab"},
        {"tab\there", "tab%09here"},
        {"caf\xE9", "caf~FFE9"},
        {"\x80\xFF", "~FF80~FFFF"},
        {"100% sure~ ", "100%25 sure%7E%20"},
        {"\"quoted\"", "%22quoted\""},
        {" \"a\" \"b\"", "%20%22a\" \"b\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(CI18N::Escape(c.text), c.escaped);
        EXPECT_STREQ(CI18N::Unescape(c.escaped), c.text);
    }
}

TEST(I18NEscape, ReadsOddEscapesAsTheyStand)
{
    struct Case {
        const char* stored;
        const char* text;
    };
    const Case cases[] = {
        {"caf~00E9", "caf\xE9"},       // only the low byte counts
        {"%41%42c", "ABc"},
        {"50%", "50%"},                // cut short by the end
        {"5%2", "5%2"},
        {"~FFE", "~FFE"},
        {"%4a and ~ffe9", "%4a and ~ffe9"}, // lower-case digits are no escape
        {"%G0", "%G0"},
        {"%%25", "%%"},
        {"a%00b", "ab"},               // a NUL byte cannot live in the text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_STREQ(CI18N::Unescape(c.stored), c.text);
    }
}

TEST(I18NEngine, WithoutLanguageFileGivesTheDefault)
{
    CI18N engine;
    EXPECT_STREQ(engine.Translate("t.const.done", "Done."), "Done.");
    EXPECT_STREQ(engine.Translate("t.const.done", "Other"), "Done.") << "cached per key";
    EXPECT_STREQ(engine.Translate("t.const.none"), "");
    EXPECT_STREQ(I18NString("global.const.langcode", "en"), "en");
}
