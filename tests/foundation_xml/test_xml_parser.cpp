// The lenient XML parser: trees, attributes, entities and failures.
#include "foundation/xml/xml_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Recorded {
    std::vector<int> codes;
    std::vector<std::string> messages;
};

void Record(int code, const char* message, int, int, void* user)
{
    auto* r = static_cast<Recorded*>(user);
    r->codes.push_back(code);
    r->messages.push_back(message);
}

// The tree as text: element(attr=value,...)[children], text "x", cdata {x}, others #kind.
std::string Dump(COXParserObject* node)
{
    switch (node->GetType()) {
    case COXParserObject::ELEMENT: {
        auto* e = static_cast<COXParserElement*>(node);
        std::string s = e->GetName();
        if (e->GetAttributeCount()) {
            s += "(";
            for (int i = 0; i < e->GetAttributeCount(); ++i) {
                COXAttribute* a = e->GetAttribute(i);
                s += std::string(i ? "," : "") + a->GetName() + "=" +
                     (a->GetValueType() == COXAttribute::INTEGER ? "#" : "") + a->GetValueText();
            }
            s += ")";
        }
        if (e->GetChildCount()) {
            s += "[";
            for (int i = 0; i < e->GetChildCount(); ++i)
                s += (i ? " " : "") + Dump(e->GetChild(i));
            s += "]";
        }
        return s;
    }
    case COXParserObject::PLAINTEXT: return std::string("\"") + node->GetText() + "\"";
    case COXParserObject::CDATA: return std::string("{") + node->GetText() + "}";
    default: return "#" + std::to_string(node->GetType()) + ":" + node->GetText();
    }
}

struct Parsed {
    int result;
    std::string tree;
    Recorded errors;
};

Parsed ParseText(const char* text)
{
    COXParser parser;
    Parsed p;
    parser.SetErrorCallback(Record, &p.errors);
    p.result = parser.Parse(text);
    COXParserElement* root = parser.GetRoot();
    for (int i = 0; i < root->GetChildCount(); ++i)
        p.tree += (i ? " " : "") + Dump(root->GetChild(i));
    return p;
}

} // namespace

TEST(XmlParser, ParsesDocumentsIntoTrees)
{
    struct Case {
        const char* name;
        const char* text;
        const char* tree;
    } cases[] = {
        {"nested", "<a>\r\n  <b>x</b>\n</a>", "a[b[\"x\"]]"},
        {"end tags match without case", "<Title>x</TITLE>", "Title[\"x\"]"},
        {"quoted attribute is text", "<track num=\"0\"></track>", "track(num=0)"},
        {"bare attribute is integer", "<track num=0></track>", "track(num=#0)"},
        {"negative integer on empty tag", "<t n=-5/>", "t(n=#-5)"},
        {"apostrophes and repeated names", "<t a='1' a=\"2\"/>", "t(a=1,a=2)"},
        {"text around equals is trimmed", "<a>  =x  </a>", "a[\"=x\"]"},
        {"cdata unchanged", "<a><![CDATA[a<b&amp;]]></a>", "a[{a<b&amp;}]"},
        {"declaration, instruction, comment",
         "<?xml version=\"1.0\"?><!-- note --><r/>", "#6:xml version=\"1.0\" #2: note  r"},
        {"doctype subset is left out", "<!DOCTYPE r [<!ENTITY me Myself>]><r>&me;</r>",
         "#4:DOCTYPE r  r[\"Myself\"]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p = ParseText(c.text);
        EXPECT_EQ(p.result, 1);
        EXPECT_EQ(p.tree, c.tree);
    }
}

TEST(XmlParser, ResolvesEntities)
{
    struct Case {
        const char* text;
        std::string value;
        bool reportsBadEntity;
    } cases[] = {
        {"&amp;lt;", "&lt;", false},
        {"&gt;", ">", false},
        {"&#65;&#x41;&#X41;", "AAA", false},
        {"&#321;", "A", false},
        {"&Eacute;&eacute;", "\xC9\xE9", false},
        {"a&nbsp;b", "a b", false},
        {"&yuml;&iexcl;", "\xFF\xA1", false},
        {"&bogus;", "&bogus;", true},
        {"&#12a;", "&#12a;", true},
        {"a & b", "a & b", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Parsed p = ParseText((std::string("<v>") + c.text + "</v>").c_str());
        EXPECT_EQ(p.result, 1);
        EXPECT_EQ(p.tree, "v[\"" + c.value + "\"]");
        bool bad = !p.errors.codes.empty() && p.errors.codes[0] == COXParser::ERROR_BAD_ENTITY;
        EXPECT_EQ(bad, c.reportsBadEntity);
    }
}

TEST(XmlParser, FailuresReportTheirCodeAndKeepOnlyCompletedTopLevelNodes)
{
    struct Case {
        const char* name;
        const char* text;
        int result;
        int code;
        const char* tree;
    } cases[] = {
        {"wrong nesting", "<a><b></a>", 0, 107, ""},
        {"text begins with >", "<a>>x</a>", 0, 106, ""},
        {"cut inside an element", "<r><a>1</a><b>2", 0, 107, ""},
        {"earlier siblings survive", "<ok/><a><b></a>", 0, 107, "ok"},
        {"end tag at top level goes on", "</x><a/>", 1, 201, "a"},
        {"unterminated comment", "<a><!-- x", 0, 102, ""},
        {"unterminated attribute string", "<a b=\"x", 0, 102, ""},
        {"illegal character in name", "<a\xE9/>", 0, 105, ""},
        {"missing bracket", "<a b=1 \"x\">", 0, 110, ""},
        {"attribute without value", "<a b></a>", 0, 106, ""},
        {"end tag without name", "<a></ ></a>", 0, 106, ""},
        {"unterminated doctype", "<!DOCTYPE r [<!ENTITY a b>", 0, 102, ""},
        {"unterminated cdata", "<a><![CDATA[x", 0, 102, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p = ParseText(c.text);
        EXPECT_EQ(p.result, c.result);
        ASSERT_FALSE(p.errors.codes.empty());
        EXPECT_EQ(p.errors.codes.back(), c.code) << p.errors.messages.back();
        EXPECT_EQ(p.tree, c.tree);
    }
    COXParser parser;
    EXPECT_EQ(parser.Parse(nullptr), 0);
    EXPECT_STREQ(parser.GetErrorText(107), "Missing end tag");
    EXPECT_STREQ(parser.GetErrorText(999), "Unknown Error");
}

TEST(XmlParser, MessagesNameTheTags)
{
    Parsed p = ParseText("<a><b></a>");
    ASSERT_EQ(p.errors.messages.size(), 1u);
    EXPECT_EQ(p.errors.messages[0], "Expecting end tag 'b'. Found end tag 'a' instead.");
    p = ParseText("<r><a>");
    EXPECT_EQ(p.errors.messages.back(), "Missing end tag 'a'.") << "the innermost open element";
}

TEST(XmlParser, DeepNestingFailsInsteadOfOverflowingTheStack)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    Parsed p = ParseText(deep.c_str());
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.tree, "");

    std::string fine;
    for (int i = 0; i < 100; ++i)
        fine += "<a>";
    for (int i = 0; i < 100; ++i)
        fine += "</a>";
    EXPECT_EQ(ParseText(fine.c_str()).result, 1);
}

TEST(XmlParser, ParsesAgainFromAnEmptyRoot)
{
    COXParser parser;
    ASSERT_EQ(parser.Parse("<a/><b/>"), 1);
    EXPECT_EQ(parser.GetRoot()->GetChildCount(), 2);
    ASSERT_EQ(parser.Parse("<c/>"), 1);
    ASSERT_EQ(parser.GetRoot()->GetChildCount(), 1);
    EXPECT_STREQ(parser.GetRoot()->GetChild(0)->GetName(), "c");
    EXPECT_EQ(parser.GetRoot()->GetChild(0)->GetParent(), parser.GetRoot());
}

namespace {

// The reading primitives on a text of our own.
class ReadingParser : public COXParser
{
public:
    explicit ReadingParser(const char* text)
    {
        m_pBuffer = text;
        Reset();
    }
    struct State {
        long offset;
        int line, column;
        bool operator==(const State& o) const
        {
            return offset == o.offset && line == o.line && column == o.column;
        }
    };
    State Now() const { return {static_cast<long>(m_pCursor - m_pBuffer), m_nLine, m_nColumn}; }
    using COXParser::GetChar;
    using COXParser::StepBack;
};

} // namespace

// Stepping back retraces every step of GetChar, across LF, CR and CR LF line ends.
TEST(XmlParser, StepBackUndoesGetCharLineAndColumnIncluded)
{
    const char* const texts[] = {"ab\r\ncd\nef", "\n\nx", "a\rb\r\n\r\nc", "plain"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ReadingParser p(text);
        std::vector<ReadingParser::State> states{p.Now()};
        while (p.GetChar() != 0)
            states.push_back(p.Now());
        for (size_t i = states.size() - 1; i > 0; --i) {
            p.StepBack(1);
            EXPECT_TRUE(p.Now() == states[i - 1]) << "step back to " << i - 1;
        }
        p.StepBack(5); // never before the start
        EXPECT_TRUE(p.Now() == states[0]);
        while (p.GetChar() != 0) {
        }
        if (states.size() > 3) {
            p.StepBack(3);
            EXPECT_TRUE(p.Now() == states[states.size() - 4]);
        }
    }
}
