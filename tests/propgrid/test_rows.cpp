// Rows without windows: the list's pages and factories, display texts, typed numbers,
// angles, and text shortening.
#include <gtest/gtest.h>

#include <cmath>

#include "propgrid/comment_pane.h"
#include "propgrid/hover_button.h"
#include "propgrid/numeric_property.h"
#include "propgrid/prop_list.h"
#include "propgrid/property_kinds.h"
#include "propgrid/textblock_property.h"

namespace {

struct NullHost : IPropertyHost {
    int asked = 0;
    bool OnPropertyChange(void*, void*) override
    {
        ++asked;
        return true;
    }
};

struct PagesCase {
    const char* name;
    void (*fill)(EPropList&, IPropertyHost*, int*);
    int pages;
    bool explicitPages;
    const char* firstPage;
    int firstPageCount;
    int lastPageData;
};

const PagesCase kPagesCases[] = {
    {"no AddPage: one implicit page",
     [](EPropList& l, IPropertyHost* h, int* v) {
         l.AddInt(h, "a", v);
         l.AddInt(h, "b", v);
     },
     1, false, "Default", 2, -1},
    {"pages -1 then 2",
     [](EPropList& l, IPropertyHost* h, int* v) {
         l.AddPage("One", -1);
         l.AddInt(h, "a", v);
         l.AddPage("Two", 2);
     },
     2, true, "One", 1, 2},
    {"properties before the first page go to Default",
     [](EPropList& l, IPropertyHost* h, int* v) {
         l.AddInt(h, "a", v);
         l.AddInt(h, "b", v);
         l.AddPage("Later");
     },
     2, true, "Default", 2, -1},
};

TEST(PropList, PagesImplicitAndExplicit)
{
    for (const PagesCase& c : kPagesCases) {
        SCOPED_TRACE(c.name);
        EPropList list;
        NullHost host;
        int v = 0;
        c.fill(list, &host, &v);
        EXPECT_EQ(list.GetPageCount(), c.pages);
        EXPECT_EQ(list.ArePagesExplicit(), c.explicitPages);
        EXPECT_STREQ(list.GetPage(0)->GetName(), c.firstPage);
        EXPECT_EQ(list.GetPage(0)->GetPropertyCount(), c.firstPageCount);
        EXPECT_EQ(list.GetPage(c.pages - 1)->GetData(), c.lastPageData);
    }
}

TEST(PropList, CurrentPageWrapsAndClearEmpties)
{
    EPropList list;
    NullHost host;
    int v = 0;
    EXPECT_EQ(list.GetCurrentPageProperty(0), nullptr);
    list.AddPage("A");
    list.AddPage("B");
    list.AddPage("C");
    list.SetCurrentPage(-1);
    EXPECT_EQ(list.GetCurrentPageIndex(), 2);
    list.SetCurrentPage(4);
    EXPECT_EQ(list.GetCurrentPageIndex(), 1);
    EProperty* a = list.AddInt(&host, "a", &v);
    EProperty* b = list.AddInt(&host, "b", &v);
    EXPECT_EQ(list.GetCurrentPageProperty(3), b);
    EXPECT_EQ(list.GetCurrentPageProperty(-2), a);
    list.SetDefaultComment("x");
    list.Clear();
    EXPECT_EQ(list.GetPageCount(), 0);
    EXPECT_EQ(list.GetCurrentPageIndex(), -1);
    EXPECT_FALSE(list.ArePagesExplicit());
    EXPECT_TRUE(list.GetDefaultComment().IsEmpty());
    list.SetCurrentPage(3);
    EXPECT_EQ(list.GetCurrentPageIndex(), -1);
}

// A child host whose rows record the parent; null hosts add nothing.
struct ChildHost : IPropertyHost {
    int v = 0;
    IPropertyHost* grandChild = nullptr;
    void FillProperties(EPropList* l) override
    {
        l->AddInt(this, "child", &v);
        l->AddChildHost(this, grandChild);
    }
};

TEST(PropList, ChildHostsRecordTheInnermostParent)
{
    EPropList list;
    NullHost parent;
    ChildHost child, grandChild;
    child.grandChild = &grandChild;
    int v = 0;
    list.AddInt(&parent, "own", &v);
    list.AddNamedChildHost(&parent, "ignored", &child);
    list.AddChildHost(&parent, nullptr);
    list.AddChildHost(nullptr, &child);
    EXPECT_EQ(list.GetParentHostDepth(), 0u);
    ASSERT_EQ(list.GetCurrentPageCount(), 3);
    EXPECT_EQ(list.GetCurrentPageProperty(0)->GetParentHost(), nullptr);
    EXPECT_EQ(list.GetCurrentPageProperty(1)->GetParentHost(), &parent);
    EXPECT_EQ(list.GetCurrentPageProperty(2)->GetParentHost(), &child);
}

TEST(PropList, ComboValuesAndRanges)
{
    EPropList list;
    NullHost host;
    int member = 1;
    EPropertyCombo* combo = list.AddCombo(&host, "c", &member);
    combo->AddItemValue("Seven", 7)->AddItem("Second");
    EXPECT_STREQ(combo->GetTextValue(), "Second"); // the position, not the previous value + 1
    member = 3;
    EXPECT_STREQ(combo->GetTextValue(), "N/A");
    int n = 0;
    ENumericProperty* num = list.AddInt(&host, "n", &n)->SetRange(10, 2);
    EXPECT_EQ(num->GetMin(), 2);
    EXPECT_EQ(num->GetMax(), 10);
}

std::unique_ptr<EIconTextButtonProperty> Row(EIconTextButtonProperty* p)
{
    return std::unique_ptr<EIconTextButtonProperty>(p);
}

struct DisplayCase {
    const char* name;
    std::unique_ptr<EIconTextButtonProperty> (*make)();
    const char* shown;
};

template <class T, class M>
std::unique_ptr<EIconTextButtonProperty> Numeric(M value, const char* unit = "", int decimals = -1)
{
    static M member;
    member = value;
    auto p = std::make_unique<T>(nullptr, "n", &member, unit, true);
    p->SetDecimals(decimals);
    return p;
}

const DisplayCase kDisplayCases[] = {
    {"integer", [] { return Numeric<EPropertyInt>(42); }, "42"},
    {"integer with unit", [] { return Numeric<EPropertyInt>(30, "s"); }, "30 s"},
    {"ten-digit integer", [] { return Numeric<EPropertyInt>(1234567890); }, "1234567890"},
    {"negative integer", [] { return Numeric<EPropertyInt>(-7); }, "-7"},
    {"half", [] { return Numeric<EPropertyDouble>(0.5); }, "0.5"},
    {"float 3.25", [] { return Numeric<EPropertyFloat>(3.25f); }, "3.25"},
    {"float 0.1", [] { return Numeric<EPropertyFloat>(0.1f); }, "0.1"},
    {"one third", [] { return Numeric<EPropertyDouble>(1.0 / 3); }, "0.33333333333"},
    {"pi automatic", [] { return Numeric<EPropertyDouble>(3.14159); }, "3.14159"},
    {"pi two decimals", [] { return Numeric<EPropertyDouble>(3.14159, "", 2); }, "3.14"},
    {"colour",
     [] {
         static COLORREF c = RGB(255, 128, 0);
         return Row(new EPropertyColor(nullptr, "c", &c, true));
     },
     "255,128,0"},
    {"address",
     [] {
         static DWORD a = 0xC0A80001;
         return Row(new EPropertyIP(nullptr, "a", &a, true));
     },
     "192.168.0.1"},
    {"buffer without NUL",
     [] {
         static char b[6] = {'A', 'B', 'C', 'D', 'E', 'F'};
         return Row(new EPropertyCharString(nullptr, "b", b, 4));
     },
     "ABCD"},
    {"buffer up to NUL",
     [] {
         static char b[8] = "AB";
         return Row(new EPropertyCharString(nullptr, "b", b, 0));
     },
     "AB"},
    {"text block",
     [] {
         static CString t = "one\r\ntwo\nthree";
         return Row(new EPropertyTextblock(nullptr, "t", &t, true));
     },
     "one<><>two<>three"},
    {"time",
     [] {
         static SYSTEMTIME t{2026, 12, 4, 10, 9, 5, 0, 0};
         return Row(new EPropertySystemTime(nullptr, "t", &t));
     },
     "2026-12-10 09:05"},
    {"unbound custom row",
     [] { return std::make_unique<EIconTextButtonProperty>(nullptr, "x", nullptr, true); },
     "Please override GetTextValue() in your EIconTextButtonProperty class"},
};

TEST(RowDisplay, TextOfEveryKind)
{
    for (const DisplayCase& c : kDisplayCases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.make()->GetTextValue(), c.shown);
    }
}

TEST(NumericParse, FormsInOrder)
{
    int member = 120;
    EPropertyInt p(nullptr, "n", &member, "", true);
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"2*60", true, 120}, {"/3", true, 40},     {"*2", true, 240},     {"0x10", true, 16},
        {"-7", true, -7},    {"+5", true, 5},      {"10-3", true, 7},     {"1 + 2", true, 3},
        {"6/4", true, 1.5},  {"30 s", true, 30},   {"abc", false, 0},     {"", false, 0},
        {"1/0", false, 0},   {"inf", false, 0},    {"0xFFFFFFFF", true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = 0;
        EXPECT_EQ(p.ParseText(c.text, &v), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value);
        }
    }
}

TEST(NumericSet, IntegerTruncatesAndRefusesWhatDoesNotFit)
{
    int member = 0;
    NullHost host;
    EPropertyInt p(&host, "n", &member, "", true);
    struct Case {
        double value;
        bool written;
        int member;
    };
    const Case cases[] = {{7.9, true, 7}, {-7.9, true, -7}, {3e9, false, -7}, {-3e9, false, -7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(p.SetValue(c.value), c.written);
        EXPECT_EQ(member, c.member);
    }
}

TEST(Angle, ThreeStyles)
{
    struct Case {
        double v;
        int style;
        const char* shown;
    };
    const Case cases[] = {
        {-12.5, 2, "-012\xB0" "30'00.00\""},
        {12.5, 0, "12.500000\xB0"},
        {-12.5, 0, "-12.500000\xB0"},
        {12.5, 1, "012\xB0" "30.0000'"},
        {3.1, 1, "003\xB0" "06.0000'"},
        {1.5, 7, "1.500000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_STREQ(FormatAngle(c.v, c.style), c.shown);
    }
}

TEST(FitText, ShortensStepByStepAndAlwaysEnds)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    CString word = "Wonderful";
    int full = dc.GetTextExtent(word).cx;
    CString text = word;
    FitTextToWidth(text, full - 1, &dc);
    EXPECT_STREQ(text, "Wonde...");
    int widths[] = {dc.GetTextExtent("...").cx - 1, dc.GetTextExtent("..").cx - 1,
                    dc.GetTextExtent(".").cx - 1, 0, -5};
    const char* expected[] = {"..", ".", "", "", ""};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(widths[i]);
        text = word;
        FitTextToWidth(text, widths[i], &dc);
        EXPECT_STREQ(text, expected[i]);
    }
}

TEST(BuiltinImages, RecordsComeFromResources)
{
    struct Case {
        EBuiltinImage which;
        int width, height;
    };
    const Case cases[] = {{EBuiltinImage::DotsButton, 60, 19},
                          {EBuiltinImage::CheckOnEnabled, 13, 13},
                          {EBuiltinImage::CheckOffDisabled, 13, 13}};
    for (const Case& c : cases) {
        const EDibImage* image = GetBuiltinImage(c.which);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
    }
    // Drawn upright: the dark border sits at the top row, not only at the bottom.
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bmp;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 13, 13, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bmp.Attach(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    CBitmap* old = dc.SelectObject(&bmp);
    DrawDibImageAt(&dc, GetBuiltinImage(EBuiltinImage::CheckOnEnabled), -1, -1, nullptr, true);
    EXPECT_EQ(::GetPixel(dc, 6, 0), RGB(28, 81, 128));
    EXPECT_EQ(::GetPixel(dc, 6, 12), RGB(28, 81, 128));
    EXPECT_NE(::GetPixel(dc, 6, 6), RGB(28, 81, 128));
    dc.SelectObject(old);
}

TEST(XMenu, IndexedItemsCountFromTheBase)
{
    EXMenu menu;
    menu.CreatePopupMenu();
    menu.SetBaseId(680);
    menu.AppendIndexedItem("a", 2, true);
    EXPECT_EQ(menu.GetMenuItemID(0), 682u);
    EXPECT_TRUE(menu.GetMenuState(682, MF_BYCOMMAND) & MF_CHECKED);
}

} // namespace

namespace {

TEST(CommentPane, TooTallCommentEndsInDots)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    CRect rc(0, 0, 120, 20); // about one line
    CString text = "A comment long enough to need several lines in a narrow pane, "
                   "so that it has to be cut short.";
    ECommentPane::FitWrappedText(text, rc, &dc);
    EXPECT_EQ(text.Right(3), "...");
    CRect calc(0, 0, 120, 0);
    dc.DrawText(text, &calc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_LE(calc.Height(), rc.Height());
    CString tiny = "abcdef";
    ECommentPane::FitWrappedText(tiny, CRect(0, 0, 1, 0), &dc);
    EXPECT_STREQ(tiny, "...");
}

} // namespace
