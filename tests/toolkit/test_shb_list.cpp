// The shortcut-bar item list alone, with real input: layout and hit tests, the scroll buttons,
// the hot item, renaming in place with typed keys, items dragged between two lists, and every
// notification as its owner receives it. Also the colour functions the bar's painting shares.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/shb_drag_test_support.h"
#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"

namespace {

constexpr UINT kListA = 101;
constexpr UINT kListB = 102;
constexpr COLORREF kImageColours[] = {RGB(200, 30, 30), RGB(30, 160, 30), RGB(30, 30, 200),
                                      RGB(220, 180, 20)};

struct Seen {
    UINT code;
    HWND hwndFrom;
    UINT_PTR idFrom;
    HSHBGROUP hGroup;
    int nItem;
    LPARAM lParam;
    std::string text; // the new text of an accepted rename, or the extra bytes that arrived
    UINT ctlType;     // of the DRAWITEMSTRUCT of an item drawing
};

// The lists' parent and owner: records every notification and answers as told.
class NotifyHost : public CWnd {
public:
    NotifyHost()
    {
        CreateEx(0, nullptr, "shortcut lists", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 520,
                 360, SharedTopWindow(), nullptr);
    }
    ~NotifyHost() override { DestroyWindow(); }

    std::vector<Seen> seen;
    std::map<UINT, LRESULT> answers;
    std::string extraOut; // the extra drag data this owner gives

    std::vector<const Seen*> Of(UINT code, HWND from = nullptr) const
    {
        std::vector<const Seen*> out;
        for (const Seen& s : seen)
            if (s.code == code && (from == nullptr || s.hwndFrom == from))
                out.push_back(&s);
        return out;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            auto* nm = reinterpret_cast<SHB_NOTIFYHDR*>(lParam);
            if (nm->hdr.code >= SHBN_DRAGENTER && nm->hdr.code <= SHBN_CONTEXTMENU) {
                Seen s{nm->hdr.code, nm->hdr.hwndFrom, nm->hdr.idFrom, nm->hGroup, nm->nItem,
                       nm->lParam, {}, 0};
                if (nm->hdr.code == SHBN_DRAWITEM)
                    s.ctlType = reinterpret_cast<DRAWITEMSTRUCT*>(nm->lParam)->CtlType;
                if (nm->hdr.code == SHBN_GETITEMINFOTIP)
                    lstrcpynA(reinterpret_cast<SHB_INFOTIP*>(nm->lParam)->szText, "Unread mail", 80);
                if (nm->hdr.code == SHBN_ENDITEMEDIT)
                    s.text = reinterpret_cast<LPCTSTR>(nm->lParam);
                if (nm->hdr.code == SHBN_GETEXTRADRAGDATA && !extraOut.empty()) {
                    auto* extra = reinterpret_cast<SHB_EXTRADRAGDATA*>(nm->lParam);
                    extra->dwDataSize = static_cast<DWORD>(extraOut.size());
                    extra->pData = extraOut.data();
                }
                if (nm->hdr.code == SHBN_SETEXTRADRAGDATA) {
                    auto* extra = reinterpret_cast<SHB_EXTRADRAGDATA*>(nm->lParam);
                    s.text.assign(static_cast<const char*>(extra->pData), extra->dwDataSize);
                }
                seen.push_back(s);
                auto it = answers.find(nm->hdr.code);
                return it != answers.end() ? it->second : 0;
            }
        }
        if (message == WM_ERASEBKGND) {
            RECT r;
            ::GetClientRect(m_hWnd, &r);
            ::FillRect(reinterpret_cast<HDC>(wParam), &r, ::GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Square images of one solid colour each, masked on magenta.
void FillImages(CImageList& list, int size)
{
    list.Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0);
    HDC screen = ::GetDC(nullptr);
    for (COLORREF c : kImageColours) {
        CBitmap bmp;
        bmp.Attach(::CreateCompatibleBitmap(screen, size, size));
        HDC dc = ::CreateCompatibleDC(screen);
        HGDIOBJ old = ::SelectObject(dc, bmp.m_hObject);
        RECT r{0, 0, size, size};
        HBRUSH b = ::CreateSolidBrush(c);
        ::FillRect(dc, &r, b);
        ::DeleteObject(b);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        list.Add(&bmp, RGB(255, 0, 255));
    }
    ::ReleaseDC(nullptr, screen);
}

CRect ItemPart(COXSHBListCtrl& list, int item, UINT part)
{
    CRect r;
    EXPECT_TRUE(list.GetItemRect(item, &r, part)) << "item " << item;
    return r;
}

COLORREF ScreenPixel(CWnd& wnd, POINT client)
{
    POINT p = ToScreen(wnd, client);
    HDC dc = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(dc, p.x, p.y);
    ::ReleaseDC(nullptr, dc);
    return c;
}

struct DragResult {
    COLORREF markPixel = CLR_INVALID; // read at markAt while the pointer rested on the target
};

// Presses on an item's image, moves it far enough to start dragging, glides to a client
// point of the target list and rests there, then releases; heldKey is held from the press
// until after the drop.
DragResult DragItem(COXSHBListCtrl& from, int item, COXSHBListCtrl& to, POINT target,
                    UINT heldKey = 0, POINT markAt = POINT{-1, -1})
{
    DragResult result;
    const POINT start = ToScreen(from, ItemPart(from, item, LVIR_ICON).CenterPoint());
    const POINT end = ToScreen(to, target);
    POINT mark = markAt;
    if (mark.x >= 0)
        mark = ToScreen(to, markAt);
    ::SetForegroundWindow(SharedTopWindow());
    PumpPending();
    RunInputScript([&] {
        PressToDrag(start, heldKey);
        InputMouseGlide(POINT{start.x, start.y + 16}, 4);
        ::Sleep(250);
        InputMouseGlide(POINT{end.x, end.y - 10}, 12);
        ::Sleep(150);
        InputMouseGlide(end, 4);
        ::Sleep(300);
        // A held key repeats. Wine also resets its modifier state from the X server's (where
        // injected keys never arrive) whenever the pointer crosses a window, so the repeats
        // before the release are what the drop sees.
        for (int i = 0; heldKey != 0 && i < 4; ++i) {
            InputKey(heldKey, true);
            ::Sleep(60);
        }
        ::Sleep(100);
        if (mark.x >= 0) {
            HDC dc = ::GetDC(nullptr);
            result.markPixel = ::GetPixel(dc, mark.x, mark.y);
            ::ReleaseDC(nullptr, dc);
        }
        ReleaseDrag(heldKey, 200);
    }, 4000);
    PumpFor(100);
    return result;
}

// The middle of the gap above an item, in client coordinates.
POINT GapAbove(COXSHBListCtrl& list, int item)
{
    const CRect above = ItemPart(list, item - 1, SHBLC_ENTIREITEM);
    const CRect below = ItemPart(list, item, SHBLC_ENTIREITEM);
    return POINT{above.CenterPoint().x, (above.bottom + below.top) / 2};
}

std::vector<std::string> Texts(COXSHBListCtrl& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.GetItemCount(); ++i)
        out.emplace_back(list.GetItemText(i, 0));
    return out;
}

class ShbList : public ShbDragTest {
protected:
    void SetUp() override
    {
        FillImages(large, 32);
        FillImages(small, 16);
        ASSERT_TRUE(a.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_SHAREIMAGELISTS |
                                 LVS_EDITLABELS,
                             CRect(10, 10, 170, 250), &host, kListA));
        ASSERT_TRUE(b.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_SHAREIMAGELISTS,
                             CRect(260, 10, 420, 250), &host, kListB));
        for (COXSHBListCtrl* list : {&a, &b}) {
            list->SetImageList(&large, LVSIL_NORMAL);
            list->SetImageList(&small, LVSIL_SMALL);
        }
        const char* names[] = {"Inbox", "Calendar", "Contacts", "Tasks", "Notes", "Deleted Items",
                               "Drafts", "Journal"};
        for (int i = 0; i < 8; ++i)
            a.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, i, names[i], 0, 0, i % 4, 1000 + i);
        for (int i = 0; i < 3; ++i)
            b.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, i, names[i], 0, 0, 3, 2000 + i);
        ActivateTopWindow();
        a.UpdateWindow();
        b.UpdateWindow();
        PumpPending();
        host.seen.clear();
    }

    NotifyHost host;
    CImageList large, small;
    COXSHBListCtrl a, b;
};

TEST(ShbColours, AdjustInvertAndCompareOnATableOfColours)
{
    struct Adjust { COLORREF in; int amount; COLORREF out; };
    constexpr Adjust kAdjust[] = {
        {RGB(200, 100, 50), 64, RGB(255, 164, 114)},
        {RGB(200, 100, 50), -128, RGB(72, 0, 0)},
        {RGB(200, 100, 50), 0, RGB(200, 100, 50)},
        {RGB(0, 0, 0), 255, RGB(255, 255, 255)},
        {RGB(255, 255, 255), -300, RGB(0, 0, 0)},
    };
    for (const Adjust& c : kAdjust) {
        SCOPED_TRACE(testing::Message() << std::hex << c.in << " by " << std::dec << c.amount);
        EXPECT_EQ(AdjustColorBrightness(c.in, c.amount), c.out);
    }
    struct Invert { COLORREF in, out; };
    constexpr Invert kInvert[] = {{RGB(0, 0, 0), RGB(255, 255, 255)},
                                  {RGB(200, 100, 50), RGB(55, 155, 205)},
                                  {RGB(128, 127, 1), RGB(127, 128, 254)}};
    for (const Invert& c : kInvert)
        EXPECT_EQ(InvertColor(c.in), c.out) << std::hex << c.in;
    struct Similar { COLORREF a, b; int threshold; BOOL similar; };
    constexpr Similar kSimilar[] = {
        {RGB(0, 0, 0), RGB(60, 60, 60), 64, TRUE},
        {RGB(0, 0, 0), RGB(70, 70, 70), 64, FALSE},
        // Integer division of the summed differences: 194 / 3 is 64, 195 / 3 is 65.
        {RGB(0, 0, 0), RGB(194, 0, 0), 64, TRUE},
        {RGB(0, 0, 0), RGB(195, 0, 0), 64, FALSE},
        {RGB(10, 200, 30), RGB(30, 180, 10), 20, TRUE},
        {RGB(255, 255, 255), RGB(255, 255, 255), 0, TRUE},
    };
    for (const Similar& c : kSimilar) {
        SCOPED_TRACE(testing::Message() << std::hex << c.a << " vs " << c.b);
        EXPECT_EQ(AreColorsSimilar(c.a, c.b, c.threshold), c.similar);
        EXPECT_EQ(AreColorsSimilar(c.b, c.a, c.threshold), c.similar);
    }
}

TEST_F(ShbList, ItemsStandInOneColumnAndEveryInsertIsReported)
{
    CRect client;
    a.GetClientRect(&client);
    int top = 2;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const CRect whole = ItemPart(a, i, SHBLC_ENTIREITEM);
        const CRect image = ItemPart(a, i, LVIR_ICON);
        const CRect text = ItemPart(a, i, LVIR_LABEL);
        EXPECT_EQ(whole.top, top);
        EXPECT_EQ(whole.left, 0);
        EXPECT_EQ(whole.right, client.right);
        // The image with a 3-pixel frame, centred; the text right below it.
        EXPECT_EQ(image.Width(), 38);
        EXPECT_EQ(image.Height(), 38);
        EXPECT_LE(std::abs(image.CenterPoint().x - client.CenterPoint().x), 1);
        EXPECT_EQ(image.top, whole.top);
        EXPECT_EQ(text.top, image.bottom);
        EXPECT_EQ(whole.bottom, text.bottom);
        top = whole.bottom + 6;
    }

    struct Hit { POINT at; int item; int code; };
    const CRect image1 = ItemPart(a, 1, LVIR_ICON), text1 = ItemPart(a, 1, LVIR_LABEL);
    const CRect whole1 = ItemPart(a, 1, SHBLC_ENTIREITEM);
    const Hit kHits[] = {
        {image1.CenterPoint(), 1, SHBLC_ONIMAGE},
        {text1.CenterPoint(), 1, SHBLC_ONTEXT},
        {POINT{2, whole1.top + 2}, 1, SHBLC_OUTSIDEITEM},
        {POINT{client.CenterPoint().x, whole1.bottom + 3}, -1, SHBLC_ONVIEW},
    };
    for (const Hit& h : kHits) {
        SCOPED_TRACE(testing::Message() << h.at.x << "," << h.at.y);
        LVHITTESTINFO info{};
        info.pt = h.at;
        EXPECT_EQ(a.HitTest(&info), h.item);
        EXPECT_EQ(static_cast<int>(info.flags), h.code);
    }

    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = 1;
    item.pszText = const_cast<LPSTR>("Archive");
    item.iImage = 2;
    ASSERT_EQ(b.InsertItem(&item), 1);
    ASSERT_EQ(host.Of(SHBN_INSERTITEM).size(), 1u);
    const Seen& s = *host.Of(SHBN_INSERTITEM)[0];
    EXPECT_EQ(s.hwndFrom, b.m_hWnd);
    EXPECT_EQ(s.idFrom, kListB);
    EXPECT_EQ(s.hGroup, 0u);
    EXPECT_EQ(s.nItem, 1);
    EXPECT_EQ(reinterpret_cast<LVITEM*>(s.lParam), &item);
    // The later items moved down by the new one.
    EXPECT_EQ(ItemPart(b, 2, SHBLC_ENTIREITEM).top, ItemPart(b, 1, SHBLC_ENTIREITEM).bottom + 6);

    // The item's picture is on the screen: its image colour at the image's centre.
    EXPECT_EQ(b.GetItemImage(1), 2);
    PumpFor(100);
    EXPECT_EQ(ScreenPixel(b, ItemPart(b, 1, LVIR_ICON).CenterPoint()), kImageColours[2]);
}

TEST_F(ShbList, TheScrollButtonsMoveTheListOneItemAtATime)
{
    EXPECT_TRUE(a.GetTopScrollButtonRect().IsRectEmpty());
    ASSERT_FALSE(a.GetBottomScrollButtonRect().IsRectEmpty());
    EXPECT_EQ(a.GetStyle() & (WS_VSCROLL | WS_HSCROLL), 0u) << "buttons, not scroll bars";
    CRect window, inside;
    a.GetWindowRect(&window);
    a.GetClientRect(&inside);
    EXPECT_EQ(window.Width() - inside.Width(), 2) << "only the border around the client area";
    EXPECT_TRUE(b.GetBottomScrollButtonRect().IsRectEmpty()) << "three items fit";

    const int itemTop1 = ItemPart(a, 1, SHBLC_ENTIREITEM).top;
    MouseClickAt(a.m_hWnd, a.GetBottomScrollButtonRect().CenterPoint().x,
                 a.GetBottomScrollButtonRect().CenterPoint().y);
    PumpFor(50);
    EXPECT_EQ(a.GetOrigin().y, itemTop1 - 2) << "item 1 now at the top margin";
    EXPECT_EQ(ItemPart(a, 1, SHBLC_ENTIREITEM).top, 2);
    EXPECT_FALSE(a.GetTopScrollButtonRect().IsRectEmpty());

    // Down to the end: the bottom button goes once the last item sits on the bottom margin.
    CRect client;
    a.GetClientRect(&client);
    for (int i = 0; i < 10 && !a.GetBottomScrollButtonRect().IsRectEmpty(); ++i) {
        CPoint c = a.GetBottomScrollButtonRect().CenterPoint();
        MouseClickAt(a.m_hWnd, c.x, c.y);
        PumpFor(50);
    }
    EXPECT_TRUE(a.GetBottomScrollButtonRect().IsRectEmpty());
    EXPECT_LE(ItemPart(a, 7, SHBLC_ENTIREITEM).bottom, client.bottom - 2);
    EXPECT_FALSE(a.Scroll(CSize(0, 40))) << "nothing more below";

    // And back up to the origin.
    for (int i = 0; i < 10 && !a.GetTopScrollButtonRect().IsRectEmpty(); ++i) {
        CPoint c = a.GetTopScrollButtonRect().CenterPoint();
        MouseClickAt(a.m_hWnd, c.x, c.y);
        PumpFor(50);
    }
    EXPECT_EQ(a.GetOrigin().y, 0);
    EXPECT_TRUE(a.GetTopScrollButtonRect().IsRectEmpty());
    EXPECT_FALSE(a.GetBottomScrollButtonRect().IsRectEmpty());
}

TEST_F(ShbList, TheHotItemFollowsThePointerUnlessTheOwnerRefuses)
{
    const CPoint onImage = ItemPart(a, 2, LVIR_ICON).CenterPoint();
    MouseMoveTo(a.m_hWnd, onImage.x, onImage.y);
    ASSERT_TRUE(PumpUntil([&] { return a.GetHotItem() == 2; }));
    ASSERT_FALSE(host.Of(SHBN_HOTITEM).empty());
    EXPECT_EQ(host.Of(SHBN_HOTITEM).back()->nItem, 2);

    // The pointer leaves the list: the check timer takes the hot item away.
    MouseMoveTo(host.m_hWnd, 220, 300);
    ASSERT_TRUE(PumpUntil([&] { return a.GetHotItem() == -1; }));
    EXPECT_EQ(a.GetLastHotItem(), 2);

    host.answers[SHBN_HOTITEM] = 1;
    MouseMoveTo(a.m_hWnd, onImage.x, onImage.y);
    PumpFor(300);
    EXPECT_EQ(a.GetHotItem(), -1);
    EXPECT_EQ(host.Of(SHBN_HOTITEM).back()->nItem, 2) << "asked, and refused";
}

TEST_F(ShbList, AnItemIsRenamedInPlaceWithRealKeys)
{
    struct Case {
        const char* name;
        UINT endKey;
        LRESULT ownerAnswer;   // to the accepted text
        const char* expected;  // item text afterwards
        bool reported;         // whether the accepted text reached the owner
    };
    const Case kCases[] = {
        {"Enter accepts", VK_RETURN, 0, "Jazz", true},
        {"Escape cancels", VK_ESCAPE, 0, "Calendar", false},
        {"the owner refuses", VK_RETURN, 1, "Calendar", true},
    };
    DWORD gdiBefore = 0;
    for (const Case& c : kCases) {
        // The first edit makes what the edit control keeps for good; count from the second.
        if (&c == &kCases[1])
            gdiBefore = GdiObjectCount();
        SCOPED_TRACE(c.name);
        a.SetItemText(1, 0, "Calendar");
        host.seen.clear();
        host.answers[SHBN_ENDITEMEDIT] = c.ownerAnswer;
        COXSHBEdit* pEdit = a.EditLabel(1);
        ASSERT_NE(pEdit, nullptr);
        PumpPending();
        EXPECT_TRUE(pEdit->IsWindowVisible());
        EXPECT_EQ(::GetFocus(), pEdit->m_hWnd);
        ASSERT_EQ(host.Of(SHBN_BEGINITEMEDIT).size(), 1u);
        EXPECT_EQ(host.Of(SHBN_BEGINITEMEDIT)[0]->nItem, 1);
        // The editor covers the item's text.
        CRect editRect, text = ItemPart(a, 1, LVIR_LABEL);
        pEdit->GetWindowRect(&editRect);
        a.ScreenToClient(&editRect);
        EXPECT_LE(editRect.top, text.top + 1);

        TypeKeys("Jazz"); // replaces the whole text, which starts selected
        KeyPress(c.endKey);
        PumpFor(50);
        EXPECT_FALSE(pEdit->IsEditing());
        EXPECT_FALSE(pEdit->IsWindowVisible());
        EXPECT_EQ(std::string(a.GetItemText(1, 0)), c.expected);
        const auto ends = host.Of(SHBN_ENDITEMEDIT);
        ASSERT_EQ(ends.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(ends[0]->nItem, 1);
            EXPECT_EQ(ends[0]->text, "Jazz");
        }
    }
    EXPECT_LE(GdiObjectCount(), gdiBefore);
}

TEST_F(ShbList, RenamingNeedsTheStyleAndTheOwnersConsent)
{
    EXPECT_EQ(b.EditLabel(0), nullptr) << "no LVS_EDITLABELS";
    host.answers[SHBN_BEGINITEMEDIT] = 1;
    EXPECT_EQ(a.EditLabel(0), nullptr);
    EXPECT_EQ(host.Of(SHBN_BEGINITEMEDIT).size(), 1u);
    EXPECT_EQ(a.EditLabel(99), nullptr);
}

TEST_F(ShbList, AnItemDraggedToAnotherListMovesAndWithCtrlCopies)
{
    struct Case {
        const char* name;
        UINT key;
        COLORREF background; // of the target list
        COLORREF mark;       // the insertion mark's colour on it
        DROPEFFECT effect;
    };
    const Case kCases[] = {
        {"a plain drop moves", 0, RGB(255, 255, 255), RGB(0, 0, 0), DROPEFFECT_MOVE},
        {"Ctrl held copies", VK_CONTROL, RGB(0, 0, 0), RGB(255, 255, 255), DROPEFFECT_COPY},
    };
    host.extraOut = "owner bytes";
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        b.SetBkColor(c.background);
        b.Invalidate();
        PumpPending();
        host.seen.clear();
        const int countA = a.GetItemCount(), countB = b.GetItemCount();
        const std::string moved(a.GetItemText(0, 0));
        const COLORREF colour = kImageColours[a.GetItemImage(0)];
        const int imagesBefore = large.GetImageCount();
        const POINT gap = GapAbove(b, 1);

        const DragResult r = DragItem(a, 0, b, gap, c.key, gap);

        EXPECT_EQ(r.markPixel, c.mark) << "the insertion mark in the gap";
        ASSERT_EQ(b.GetItemCount(), countB + 1);
        EXPECT_EQ(std::string(b.GetItemText(1, 0)), moved) << "inserted into the gap above item 1";
        EXPECT_EQ(b.GetItemData(1), 0u) << "item data stays with its own list";
        EXPECT_EQ(a.GetItemCount(), c.effect == DROPEFFECT_MOVE ? countA - 1 : countA);
        EXPECT_EQ(std::string(a.GetItemText(0, 0)) == moved, c.effect == DROPEFFECT_COPY);
        // The image came through the archive into the target's image list, colour intact.
        EXPECT_EQ(b.GetItemImage(1), imagesBefore);
        EXPECT_EQ(large.GetImageCount(), imagesBefore + 1);
        b.UpdateWindow();
        PumpFor(50);
        // (Blended over a dark background the channels may differ by a unit.)
        const COLORREF shown = ScreenPixel(b, ItemPart(b, 1, LVIR_ICON).CenterPoint());
        EXPECT_TRUE(AreColorsSimilar(shown, colour, 2)) << std::hex << shown << " for " << colour;

        // Source side, in order: drag begins, drag-and-drop begins, ends with the effect.
        ASSERT_EQ(host.Of(SHBN_BEGINDRAGITEM, a.m_hWnd).size(), 1u);
        EXPECT_EQ(host.Of(SHBN_BEGINDRAGITEM, a.m_hWnd)[0]->nItem, 0);
        ASSERT_EQ(host.Of(SHBN_BEGINDRAGDROPITEM, a.m_hWnd).size(), 1u);
        ASSERT_EQ(host.Of(SHBN_ENDDRAGDROPITEM, a.m_hWnd).size(), 1u);
        EXPECT_EQ(host.Of(SHBN_ENDDRAGDROPITEM, a.m_hWnd)[0]->lParam, static_cast<LPARAM>(c.effect));
        EXPECT_EQ(host.Of(SHBN_DELETEITEM, a.m_hWnd).size(), c.effect == DROPEFFECT_MOVE ? 1u : 0u);
        EXPECT_EQ(host.Of(SHBN_GETDROPSOURCE, a.m_hWnd).size(), 1u);
        EXPECT_FALSE(host.Of(SHBN_DRAGLEAVE, a.m_hWnd).empty()) << "the drag left its own list";
        // Target side: enter, moves, the drop, the extra bytes at the insert position, the end.
        EXPECT_EQ(host.Of(SHBN_DRAGENTER, b.m_hWnd).size(), 1u);
        EXPECT_FALSE(host.Of(SHBN_DRAGOVER, b.m_hWnd).empty());
        ASSERT_EQ(host.Of(SHBN_DROP, b.m_hWnd).size(), 1u);
        auto* drop = reinterpret_cast<SHBDROPTARGETACTION*>(host.Of(SHBN_DROP, b.m_hWnd)[0]->lParam);
        EXPECT_NE(drop, nullptr);
        ASSERT_EQ(host.Of(SHBN_SETEXTRADRAGDATA, b.m_hWnd).size(), 1u);
        EXPECT_EQ(host.Of(SHBN_SETEXTRADRAGDATA, b.m_hWnd)[0]->nItem, 1);
        EXPECT_EQ(host.Of(SHBN_SETEXTRADRAGDATA, b.m_hWnd)[0]->text, "owner bytes");
        ASSERT_EQ(host.Of(SHBN_ENDDRAGDROPITEM, b.m_hWnd).size(), 1u);
        EXPECT_EQ(host.Of(SHBN_ENDDRAGDROPITEM, b.m_hWnd)[0]->lParam, static_cast<LPARAM>(c.effect));
        for (const Seen& s : host.seen)
            EXPECT_EQ(s.hGroup, 0u) << s.code;
    }
}

TEST_F(ShbList, ADropOnAnItemIsRefusedAndWithinOneListTheItemMoves)
{
    const std::vector<std::string> before = Texts(a);
    DragItem(a, 0, b, ItemPart(b, 1, LVIR_ICON).CenterPoint());
    EXPECT_EQ(Texts(a), before);
    EXPECT_EQ(b.GetItemCount(), 3);
    ASSERT_EQ(host.Of(SHBN_ENDDRAGDROPITEM, a.m_hWnd).size(), 1u);
    EXPECT_EQ(host.Of(SHBN_ENDDRAGDROPITEM, a.m_hWnd)[0]->lParam, DROPEFFECT_NONE);
    EXPECT_TRUE(host.Of(SHBN_SETEXTRADRAGDATA).empty()) << "no extra data, no announcement";

    // Downwards: item 1 into the gap above item 3 ends at index 2.
    DragItem(a, 1, a, GapAbove(a, 3));
    std::vector<std::string> expected = before;
    expected.erase(expected.begin() + 1);
    expected.insert(expected.begin() + 2, before[1]);
    EXPECT_EQ(Texts(a), expected);
    EXPECT_EQ(a.GetItemData(2), 1001u) << "a move within the list keeps the item data";

    // Upwards: item 3 into the gap above item 1.
    const std::vector<std::string> mid = Texts(a);
    DragItem(a, 3, a, GapAbove(a, 1));
    expected = mid;
    expected.erase(expected.begin() + 3);
    expected.insert(expected.begin() + 1, mid[3]);
    EXPECT_EQ(Texts(a), expected);
}

TEST_F(ShbList, AListWithoutImagesMakesItsOwnForADroppedItem)
{
    b.SetImageList(nullptr, LVSIL_NORMAL);
    b.SetImageList(nullptr, LVSIL_SMALL);
    b.Invalidate();
    DragItem(a, 2, b, GapAbove(b, 2));
    ASSERT_EQ(b.GetItemCount(), 4);
    CImageList* pOwn = b.GetImageList(LVSIL_NORMAL);
    ASSERT_NE(pOwn, nullptr);
    EXPECT_NE(pOwn->m_hImageList, large.m_hImageList);
    EXPECT_EQ(pOwn->GetImageCount(), 1);
    EXPECT_EQ(b.GetItemImage(2), 0);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(pOwn->m_hImageList, &cx, &cy);
    EXPECT_EQ(cx, 32);
    b.UpdateWindow();
    PumpFor(50);
    EXPECT_EQ(ScreenPixel(b, ItemPart(b, 2, LVIR_ICON).CenterPoint()), kImageColours[2]);
}

TEST_F(ShbList, AnImageListGoesThroughAnArchiveAndBack)
{
    DWORD size = 0;
    std::unique_ptr<BYTE[]> bytes(COXSHBListCtrl::SerializeImage(&large, 1, size));
    ASSERT_NE(bytes, nullptr);
    EXPECT_GT(size, 40u);
    CImageList* pNew = nullptr;
    ASSERT_EQ(COXSHBListCtrl::DeserializeImage(&pNew, bytes.get(), size), 0);
    std::unique_ptr<CImageList> owned(pNew);
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(pNew->GetImageCount(), 1);
    // Into an existing list the image is appended.
    EXPECT_EQ(COXSHBListCtrl::DeserializeImage(&pNew, bytes.get(), size), 1);

    DWORD none = 7;
    EXPECT_EQ(COXSHBListCtrl::SerializeImage(&large, 9, none), nullptr) << "beyond the list";
    EXPECT_EQ(none, 0u);
    // Truncated or foreign bytes give no image.
    EXPECT_EQ(COXSHBListCtrl::DeserializeImage(&pNew, bytes.get(), size / 2), -1);
    const BYTE junk[64] = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    EXPECT_EQ(COXSHBListCtrl::DeserializeImage(&pNew, junk, sizeof junk), -1);
    EXPECT_EQ(pNew->GetImageCount(), 2);
}

TEST_F(ShbList, ClicksSelectAndActivateAndTheOwnerMayRefuseOrDraw)
{
    // Press selects, release on the selected item activates.
    const CPoint onImage = ItemPart(a, 2, LVIR_ICON).CenterPoint();
    MouseClickAt(a.m_hWnd, onImage.x, onImage.y);
    PumpFor(50);
    EXPECT_EQ(a.GetSelectedItem(), 2);
    EXPECT_EQ(a.GetActiveItem(), 2);
    ASSERT_EQ(host.Of(SHBN_SELECTITEM).size(), 1u);
    EXPECT_EQ(host.Of(SHBN_SELECTITEM)[0]->nItem, 2);
    ASSERT_EQ(host.Of(SHBN_ACTIVATEITEM).size(), 1u);
    EXPECT_EQ(host.Of(SHBN_ACTIVATEITEM)[0]->nItem, 2);

    // A refused selection leaves both where they were.
    host.answers[SHBN_SELECTITEM] = 1;
    const CPoint other = ItemPart(a, 0, LVIR_ICON).CenterPoint();
    MouseClickAt(a.m_hWnd, other.x, other.y);
    PumpFor(50);
    EXPECT_EQ(a.GetSelectedItem(), 2);
    EXPECT_EQ(a.GetActiveItem(), 2);
    EXPECT_EQ(host.Of(SHBN_ACTIVATEITEM).size(), 1u);

    // An owner that draws the items itself: the list paints only the background.
    host.answers[SHBN_DRAWITEM] = 1;
    b.Invalidate();
    b.UpdateWindow();
    PumpFor(50);
    ASSERT_FALSE(host.Of(SHBN_DRAWITEM, b.m_hWnd).empty());
    EXPECT_EQ(host.Of(SHBN_DRAWITEM, b.m_hWnd)[0]->ctlType, static_cast<UINT>(ODT_LISTVIEW));
    EXPECT_EQ(ScreenPixel(b, ItemPart(b, 0, LVIR_ICON).CenterPoint()), b.GetBkColor());

    // Deleting everything is announced first and brings the list back to its origin.
    ASSERT_TRUE(a.Scroll(CSize(0, 60)));
    EXPECT_TRUE(a.DeleteAllItems());
    EXPECT_EQ(host.Of(SHBN_DELETEALLITEMS, a.m_hWnd).size(), 1u);
    EXPECT_EQ(a.GetItemCount(), 0);
    EXPECT_EQ(a.GetOrigin().y, 0);
    EXPECT_EQ(a.GetSelectedItem(), -1);
    EXPECT_TRUE(a.GetBottomScrollButtonRect().IsRectEmpty());
}

TEST_F(ShbList, AnInfoTipShowsTheOwnersTextForTheItemUnderThePointer)
{
    b.SetExtendedStyle(LVS_EX_INFOTIP);
    const CPoint onText = ItemPart(b, 1, LVIR_LABEL).CenterPoint();
    MouseMoveTo(b.m_hWnd, onText.x, onText.y - 1);
    MouseMoveTo(b.m_hWnd, onText.x, onText.y);
    ASSERT_TRUE(PumpUntil([&] { return !host.Of(SHBN_GETITEMINFOTIP).empty(); }, 600));
    const Seen& s = *host.Of(SHBN_GETITEMINFOTIP)[0];
    EXPECT_EQ(s.hwndFrom, b.m_hWnd);
    EXPECT_EQ(s.nItem, 1);
    EXPECT_TRUE(host.Of(SHBN_GETITEMINFOTIP, a.m_hWnd).empty()) << "list A has no info tips";
}

TEST_F(ShbList, ARefusedDragLeavesBothListsAloneAndTheNextDragWorks)
{
    host.answers[SHBN_BEGINDRAGDROPITEM] = 1;
    const std::vector<std::string> beforeA = Texts(a), beforeB = Texts(b);
    DragItem(a, 0, b, GapAbove(b, 1));
    EXPECT_EQ(Texts(a), beforeA);
    EXPECT_EQ(Texts(b), beforeB);
    EXPECT_EQ(host.Of(SHBN_BEGINDRAGDROPITEM).size(), 1u);
    EXPECT_TRUE(host.Of(SHBN_ENDDRAGDROPITEM).empty());

    host.answers.erase(SHBN_BEGINDRAGDROPITEM);
    DragItem(a, 0, b, GapAbove(b, 1));
    EXPECT_EQ(a.GetItemCount(), 7);
    EXPECT_EQ(b.GetItemCount(), 4);
}

TEST_F(ShbList, ANewListAsksItsOwnerForADropTarget)
{
    COXSHBListCtrl c;
    ASSERT_TRUE(c.Create(WS_CHILD | WS_VISIBLE, CRect(440, 10, 500, 100), &host, 103));
    const auto asked = host.Of(SHBN_GETDROPTARGET);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0]->hwndFrom, c.m_hWnd);
    EXPECT_EQ(asked[0]->idFrom, 103u);
    EXPECT_EQ(c.GetStyle() & LVS_TYPEMASK, static_cast<DWORD>(LVS_ICON));
}

TEST_F(ShbList, TheEditorChecksItsRequests)
{
    COXSHBEdit* pEdit = a.GetEditControl();
    const RECT display{10, 10, 90, 30}, bound{0, 5, 150, 60};
    struct Case {
        const char* name;
        UINT mask;
        const char* text;
        int selStart, selEnd;
        RECT display, bound, minimum;
        BOOL ok;
    };
    const Case kCases[] = {
        {"select all of any text", SHBEIF_TEXT | SHBEIF_SELRANGE | SHBEIF_RECTDISPLAY, "abc", 0, -1,
         display, {}, {}, TRUE},
        {"a range past a four-byte text", SHBEIF_TEXT | SHBEIF_SELRANGE | SHBEIF_RECTDISPLAY, "abcd",
         2, 5, display, {}, {}, FALSE},
        {"a range inside it", SHBEIF_TEXT | SHBEIF_SELRANGE | SHBEIF_RECTDISPLAY, "abcd", 1, 3,
         display, {}, {}, TRUE},
        {"an unknown mask bit", 0x400 | SHBEIF_RECTDISPLAY, "", 0, 0, display, {}, {}, FALSE},
        {"auto-size without a bound", SHBEIF_ENLARGE | SHBEIF_RECTDISPLAY, "", 0, 0, display, {},
         {}, FALSE},
        {"an empty display", SHBEIF_RECTDISPLAY, "", 0, 0, {10, 10, 10, 30}, {}, {}, FALSE},
        {"a display outside the bound", SHBEIF_RECTDISPLAY | SHBEIF_RECTBOUND, "", 0, 0,
         {10, 0, 90, 20}, bound, {}, FALSE},
        {"a minimum outside the bound", SHBEIF_RECTDISPLAY | SHBEIF_RECTBOUND | SHBEIF_RECTMIN, "",
         0, 0, display, bound, {0, 0, 20, 20}, FALSE},
        {"an empty minimum", SHBEIF_RECTDISPLAY | SHBEIF_RECTMIN, "", 0, 0, display, {},
         {20, 20, 20, 25}, FALSE},
        {"all of it", SHBEIF_RECTDISPLAY | SHBEIF_RECTBOUND | SHBEIF_RECTMIN | SHBEIF_ENLARGE, "",
         0, 0, display, bound, {20, 10, 40, 30}, TRUE},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SHB_EDITINFO info{};
        info.nMask = c.mask;
        info.lpszText = c.text;
        info.nSelStart = c.selStart;
        info.nSelEnd = c.selEnd;
        info.rectDisplay = c.display;
        info.rectBound = c.bound;
        info.rectMin = c.minimum;
        info.bEnlargeAsTyping = TRUE;
        host.seen.clear();
        EXPECT_EQ(pEdit->StartEdit(&info), c.ok);
        EXPECT_EQ(pEdit->IsEditing(), c.ok);
        EXPECT_EQ(pEdit->IsWindowVisible() != FALSE, c.ok != FALSE);
        if (c.ok)
            pEdit->FinishEdit(FALSE);
        PumpPending();
    }
}

TEST_F(ShbList, ACentredEditorGrowsToBothSidesWithinItsBound)
{
    // A list of one-letter items, so the editor starts narrow in the middle.
    b.SetItemText(0, 0, "X");
    COXSHBEdit* pEdit = nullptr;
    CRect client;
    b.GetClientRect(&client);
    b.ModifyStyle(0, LVS_EDITLABELS);
    pEdit = b.EditLabel(0);
    ASSERT_NE(pEdit, nullptr);
    CRect start;
    pEdit->GetWindowRect(&start);
    b.ScreenToClient(&start);
    TypeKeys("Deleted items of last year");
    CRect grown;
    pEdit->GetWindowRect(&grown);
    b.ScreenToClient(&grown);
    EXPECT_GT(grown.Width(), start.Width());
    EXPECT_GE(grown.left, client.left);
    EXPECT_LE(grown.right, client.right);
    EXPECT_LE(std::abs(grown.CenterPoint().x - client.CenterPoint().x), 1) << "centred";
    KeyPress(VK_RETURN);
    EXPECT_EQ(std::string(b.GetItemText(0, 0)), "Deleted items of last year");
}

TEST_F(ShbList, AClickElsewhereCommitsTheRenameAndReachesThatWindow)
{
    COXSHBEdit* pEdit = a.EditLabel(0);
    ASSERT_NE(pEdit, nullptr);
    TypeKeys("Mail");
    const CPoint onImage = ItemPart(b, 2, LVIR_ICON).CenterPoint();
    MouseClickAt(b.m_hWnd, onImage.x, onImage.y);
    PumpFor(50);
    EXPECT_FALSE(pEdit->IsEditing());
    EXPECT_EQ(std::string(a.GetItemText(0, 0)), "Mail");
    ASSERT_EQ(host.Of(SHBN_ENDITEMEDIT, a.m_hWnd).size(), 1u);
    EXPECT_EQ(b.GetSelectedItem(), 2) << "the click went on to the other list";
    EXPECT_EQ(host.Of(SHBN_SELECTITEM, b.m_hWnd).size(), 1u);
}

TEST_F(ShbList, DeletingItemsKeepsTheSelectionOnItsItem)
{
    a.SelectItem(4);
    a.SetActiveItem(4);
    EXPECT_TRUE(a.DeleteItem(1));
    EXPECT_EQ(a.GetSelectedItem(), 3) << "an item above went: the index moves down one";
    EXPECT_EQ(a.GetActiveItem(), 3);
    ASSERT_EQ(host.Of(SHBN_DELETEITEM).size(), 1u);
    EXPECT_EQ(host.Of(SHBN_DELETEITEM)[0]->nItem, 1);
    EXPECT_TRUE(a.DeleteItem(3));
    EXPECT_EQ(a.GetSelectedItem(), -1) << "the selected item itself went";
    EXPECT_EQ(a.GetActiveItem(), -1);
    // The layout closed the gaps.
    EXPECT_EQ(ItemPart(a, 3, SHBLC_ENTIREITEM).top, ItemPart(a, 2, SHBLC_ENTIREITEM).bottom + 6);
}

TEST_F(ShbList, EnsureVisibleAndTheNearestItemSearch)
{
    CRect client;
    a.GetClientRect(&client);
    EXPECT_TRUE(a.EnsureVisible(7, FALSE));
    const CRect last = ItemPart(a, 7, SHBLC_ENTIREITEM);
    EXPECT_EQ(last.bottom, client.bottom - 2) << "scrolled until its bottom meets the margin";
    EXPECT_TRUE(a.EnsureVisible(0, FALSE));
    EXPECT_EQ(ItemPart(a, 0, SHBLC_ENTIREITEM).top, 2);
    EXPECT_EQ(a.GetTopIndex(), 0);

    struct Find { POINT at; UINT direction; int item; };
    const CRect i1 = ItemPart(a, 1, SHBLC_ENTIREITEM), i2 = ItemPart(a, 2, SHBLC_ENTIREITEM);
    const Find kFinds[] = {
        {POINT{5, i1.CenterPoint().y}, VK_DOWN, 1},         // on the row
        {POINT{5, i1.bottom + 2}, VK_DOWN, 2},              // in the gap, downwards
        {POINT{5, i2.top - 2}, VK_UP, 1},                   // in the gap, upwards
        {POINT{5, i1.bottom + 2}, VK_LEFT, -1},             // no other direction
    };
    for (const Find& f : kFinds) {
        SCOPED_TRACE(testing::Message() << f.at.y << " dir " << f.direction);
        LVFINDINFO info{};
        info.flags = LVFI_NEARESTXY;
        info.pt = f.at;
        info.vkDirection = f.direction;
        EXPECT_EQ(a.FindItem(&info, -1), f.item);
    }
}

TEST_F(ShbList, SmallIconsStandBesideTheirTexts)
{
    b.ModifyStyle(0, LVS_SMALLICON);
    b.SendMessage(SHBM_GROUPINFOCHANGED, 0, SHBGI_VIEW);
    EXPECT_EQ(b.GetView(), 2);
    const CRect image = ItemPart(b, 0, LVIR_ICON), text = ItemPart(b, 0, LVIR_LABEL);
    EXPECT_EQ(image.Width(), 16 + 6);
    EXPECT_EQ(image.left, 0);
    EXPECT_EQ(text.left, image.right);
    EXPECT_LE(std::abs(text.CenterPoint().y - image.CenterPoint().y), 1);
    const CRect whole = ItemPart(b, 0, SHBLC_ENTIREITEM);
    EXPECT_EQ(whole.Height(), std::max(image.Height(), text.Height()));
    b.UpdateWindow();
    PumpFor(50);
    EXPECT_EQ(ScreenPixel(b, image.CenterPoint()), kImageColours[3]);
}

TEST_F(ShbList, ADragRestingNearTheBottomScrollsTheList)
{
    CRect client;
    a.GetClientRect(&client);
    ASSERT_FALSE(a.GetBottomScrollButtonRect().IsRectEmpty());
    DragItem(b, 0, a, POINT{client.CenterPoint().x, client.bottom - 5});
    EXPECT_GT(a.GetOrigin().y, 0);
    EXPECT_FALSE(a.GetTopScrollButtonRect().IsRectEmpty());
}

TEST_F(ShbList, Screenshot)
{
    const char* dir = std::getenv("SONORIA_SHOT_DIR");
    if (dir == nullptr)
        GTEST_SKIP() << "SONORIA_SHOT_DIR not set";
    b.SetExtendedStyle(LVS_EX_UNDERLINEHOT);
    b.ModifyStyle(0, LVS_SMALLICON);
    b.SendMessage(SHBM_GROUPINFOCHANGED, 0, SHBGI_VIEW);
    a.SelectItem(1);
    a.SetActiveItem(1);
    const CPoint onImage = ItemPart(a, 2, LVIR_ICON).CenterPoint();
    MouseMoveTo(a.m_hWnd, onImage.x, onImage.y);
    PumpUntil([&] { return a.GetHotItem() == 2; });
    PumpFor(100);
    SaveScreenBitmap(host.m_hWnd, (std::string(dir) + "\\shb-list.bmp").c_str());
}

} // namespace
