// The OLE drag-and-drop classes in a program that never initialises OLE (as the application
// does not): registration fails quietly, the data classes still work in-process.
#include <gtest/gtest.h>

#include <string>

#include "tests/framework_ui/ui_test_support.h"

namespace {

HGLOBAL GlobalText(const char* text)
{
    size_t n = strlen(text) + 1;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(::GlobalLock(h), text, n);
    ::GlobalUnlock(h);
    return h;
}

std::string TakeText(HGLOBAL h)
{
    if (h == nullptr)
        return "<none>";
    std::string s = static_cast<const char*>(::GlobalLock(h));
    ::GlobalUnlock(h);
    ::GlobalFree(h);
    return s;
}

TEST(OleDropTarget, RegisterFailsQuietlyWithoutOle)
{
    TestHostWnd host(100, 80);
    COleDropTarget target;
    EXPECT_FALSE(target.Register(&host));
    EXPECT_EQ(target.GetSafeHwnd(), nullptr);
    target.Revoke(); // nothing to undo, nothing happens
}

TEST(OleDataSource, ServesItsCachedFormatsToADataObject)
{
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, GlobalText("first"));
    source.CacheGlobalData(CF_TEXT, GlobalText("second")); // replaces the first
    const CLIPFORMAT cfPrivate = static_cast<CLIPFORMAT>(::RegisterClipboardFormat("Sonoria test"));
    source.CacheGlobalData(cfPrivate, GlobalText("private"));

    COleDataObject data;
    data.Attach(source.GetInterface(), FALSE);
    EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
    EXPECT_TRUE(data.IsDataAvailable(cfPrivate));
    EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
    EXPECT_EQ(TakeText(data.GetGlobalData(CF_TEXT)), "second");
    EXPECT_EQ(TakeText(data.GetGlobalData(cfPrivate)), "private");
    // Each read is a copy: the source still serves it.
    EXPECT_EQ(TakeText(data.GetGlobalData(CF_TEXT)), "second");
    EXPECT_EQ(data.GetGlobalData(CF_BITMAP), nullptr);

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(source.GetInterface()->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC fmt[4];
    ULONG n = 0;
    formats->Next(4, fmt, &n);
    formats->Release();
    EXPECT_EQ(n, 2u);

    source.Empty();
    EXPECT_FALSE(data.IsDataAvailable(CF_TEXT));
    EXPECT_EQ(data.Detach(), source.GetInterface());
}

TEST(OleDropTarget, EffectsAreFilteredByWhatTheSourceAllows)
{
    struct Case {
        DROPEFFECT chosen, allowed, expected;
    };
    const Case cases[] = {
        {DROPEFFECT_COPY, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_COPY}, // a refused move copies
        {DROPEFFECT_LINK, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {DROPEFFECT_SCROLL | DROPEFFECT_MOVE, DROPEFFECT_MOVE, DROPEFFECT_SCROLL | DROPEFFECT_MOVE},
        {DROPEFFECT_SCROLL | DROPEFFECT_LINK, DROPEFFECT_COPY, DROPEFFECT_SCROLL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.chosen << " of " << c.allowed);
        EXPECT_EQ(AfxFilterDropEffect(c.chosen, c.allowed), c.expected);
    }
}

} // namespace
