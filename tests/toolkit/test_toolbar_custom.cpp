// The cool toolbar hosting an edit field and a combo box as buttons, customised by the user
// with real drags and the customise menu, and its state saved in the profile and restored by a
// second process. With SONORIA_SHOWCASE_MS set (and SONORIA_SHOWCASE_CUSTOMIZE for the
// customisation mode), the frame stays up for scripts/screenshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/combobox.h"
#include "framework/controls.h"
#include "framework/ole.h"
#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/bars_test_res.h"
#include "tests/toolkit/toolbar_test_support.h"
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/frames/skins/skinned_app.h"

static COXSkinnedApp theApp;

namespace {

constexpr UINT ID_FIND_EDIT = 0x8020;
constexpr UINT ID_FORMAT_COMBO = 0x8021;
constexpr UINT ID_SOURCE = 0x8030;
const char* const kKey = "SonoriaToolbarCustomTest";

// A hosted window made by a template; the template keeps the window's text as its state.
template <class T> class WindowTemplate : public COXCustomButtonTemplate {
public:
    explicit WindowTemplate(int width) : m_width(width) {}
    ~WindowTemplate() override { DestroyButtonWindow(); }
    CWnd* GetWindow() override { return m_pWnd != nullptr && m_pWnd->m_hWnd ? m_pWnd : nullptr; }
    BOOL CreateButtonWindow(UINT nID, COXCoolToolBar* pBar, DWORD dwStyle, DWORD, LPCTSTR,
                            LPCTSTR) override
    {
        m_pWnd = new T;
        m_nID = nID;
        DWORD style = (dwStyle | WS_CHILD | WS_TABSTOP) & ~WS_VISIBLE;
        if constexpr (std::is_same_v<T, CComboBox>)
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
        else
            style |= ES_AUTOHSCROLL | WS_BORDER;
        if (!m_pWnd->Create(style, CRect(0, 0, m_width, std::is_same_v<T, CComboBox> ? 120 : 20),
                            pBar, nID)) {
            delete m_pWnd;
            m_pWnd = nullptr;
            return FALSE;
        }
        if constexpr (std::is_same_v<T, CComboBox>)
            for (const char* format : {"FLAC", "MP3", "Ogg Vorbis"})
                m_pWnd->AddString(format);
        m_pWnd->SetWindowText(m_text);
        return TRUE;
    }
    COXCustomButtonTemplate* CopyForToolBar(COXCoolToolBar* pBar) override
    {
        auto* copy = new WindowTemplate<T>(m_width);
        copy->m_text = m_text;
        if (!copy->CreateButtonWindow(m_nID, pBar, WS_CHILD, 0, nullptr, nullptr)) {
            delete copy;
            return nullptr;
        }
        return copy;
    }
    void DestroyButtonWindow() override
    {
        if (m_pWnd != nullptr) {
            if (m_pWnd->m_hWnd != nullptr)
                m_pWnd->DestroyWindow();
            delete m_pWnd;
            m_pWnd = nullptr;
        }
    }
    void SaveState(CArchive& ar) override
    {
        CString text = m_text;
        if (GetWindow() != nullptr)
            m_pWnd->GetWindowText(text);
        ar << text;
    }
    void LoadState(CArchive& ar) override
    {
        ar >> m_text;
        if (GetWindow() != nullptr)
            m_pWnd->SetWindowText(m_text);
    }

private:
    T* m_pWnd = nullptr;
    UINT m_nID = 0;
    int m_width;
    CString m_text;
};

WindowTemplate<CEdit> g_editTemplate(120);
WindowTemplate<CComboBox> g_comboTemplate(100);

void RegisterTemplates()
{
    static bool done = [] {
        OXCUSTOMBUTTONDESCRIPTOR edit;
        edit.m_pCBTemplate = &g_editTemplate;
        edit.m_nID = ID_FIND_EDIT;
        edit.m_nWidth = 120;
        edit.m_nHeight = 20;
        edit.m_nFlags = OXCBD_SHOWHORZ | OXCBD_SHOWFLOAT; // an image button when docked left
        edit.m_nImageIndex = 3;
        OXCUSTOMBUTTONDESCRIPTOR combo;
        combo.m_pCBTemplate = &g_comboTemplate;
        combo.m_nID = ID_FORMAT_COMBO;
        combo.m_nWidth = 100;
        return COXCoolToolBar::RegisterCustomButton(ID_FIND_EDIT, edit) == 0 &&
               COXCoolToolBar::RegisterCustomButton(ID_FORMAT_COMBO, combo) == 1;
    }();
    ASSERT_TRUE(done);
}

// A strip below the toolbar the user drags new buttons from: its left half offers a plain
// command, its right half the combo box.
class SourceStrip : public CWnd {
public:
    void OnLButtonDown(UINT, CPoint point)
    {
        CRect client;
        GetClientRect(&client);
        const bool combo = point.x > client.CenterPoint().x;
        COleDataSource* pSource =
            combo ? COXCoolToolBar::CreateCommandDataSource("Format", -1, ID_FORMAT_COMBO,
                                                            TBSTYLE_SEP)
                  : COXCoolToolBar::CreateCommandDataSource(m_text + "\tCtrl+P", 2, m_nCommand,
                                                            TBSTYLE_BUTTON);
        lastEffect = pSource->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
        delete pSource;
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(255, 255, 224));
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(4, 2, "Drag: " + m_text + "   |   Format box");
    }
    UINT m_nCommand = ID_TEST_PANE;
    CString m_text = "Pane";
    DROPEFFECT lastEffect = DROPEFFECT_NONE;
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(SourceStrip, CWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

class CustomFrame : public ToolBarFrame {
public:
    SourceStrip source;
    std::vector<int> customizeCommands; // from the customisation notification
    int answerCommand = 0;              // a command the owner says it handled

    void OnCustomize(NMHDR* pNotify, LRESULT* pResult)
    {
        auto* nm = reinterpret_cast<NMOXCUSTOMIZE*>(pNotify);
        customizeCommands.push_back(nm->nCommand);
        *pResult = nm->nCommand == answerCommand ? 1 : 0;
    }
    void OnTestCommand(UINT) {}
    void OnUpdateAll(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }

    BOOL MakeBars()
    {
        if (!CreateToolBar())
            return FALSE;
        toolBar.UpdateSizes();
        toolBar.SetBarStyle(toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC);
        toolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&toolBar);
        const UINT commands[] = {ID_TEST_RIP, ID_TEST_STOP, ID_TEST_EJECT, ID_TEST_PLAY,
                                 ID_TEST_PANE};
        toolBar.SetCustomizeCommands(commands, 5);
        toolBar.SetNotifyWnd(m_hWnd);
        if (!source.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE,
                             CRect(10, 200, 400, 224), this, ID_SOURCE))
            return FALSE;
        RecalcLayout();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CustomFrame, ToolBarFrame)
    ON_NOTIFY(OXCTB_CUSTOMIZE_NOTIFY, AFX_IDW_TOOLBAR, OnCustomize)
    ON_COMMAND_RANGE(ID_TEST_RIP, ID_TEST_PANE, OnTestCommand)
    ON_UPDATE_COMMAND_UI_RANGE(ID_TEST_RIP, ID_TEST_PANE, OnUpdateAll)
END_MESSAGE_MAP()
// clang-format on

CustomFrame* MakeFrame()
{
    AfxOleInit();
    RegisterTemplates();
    // The keyboard helpers' own top window stands behind ours, not over it.
    SharedTopWindow();
    auto* f = new CustomFrame;
    f->Create(nullptr, "Toolbar customisation", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
              CRect(0, 0, 640, 300));
    theApp.m_pMainWnd = f;
    f->MakeBars();
    PumpPending();
    return f;
}

CustomFrame* Frame()
{
    static CustomFrame* frame = MakeFrame();
    return frame;
}

// The bar as a line per button: command, separator or hosted window (with its text), image,
// text; then the looks that the profile keeps.
std::string DescribeBar(COXCoolToolBar& bar)
{
    std::ostringstream out;
    for (int i = 0; i < bar.GetCount(); ++i) {
        UINT nID = 0, nStyle = 0;
        int iImage = 0;
        bar.GetButtonInfo(i, nID, nStyle, iImage);
        if (CWnd* pWnd = bar.GetCustomButtonWindow(i)) {
            CString text;
            pWnd->GetWindowText(text);
            out << "window " << pWnd->GetDlgCtrlID() << " '" << text.GetString() << "' "
                << (pWnd->IsWindowVisible() ? "shown" : "hidden") << "\n";
        } else if (nStyle & TBSTYLE_SEP) {
            out << "separator\n";
        } else {
            out << "button " << nID << " image " << iImage << " text '"
                << bar.GetButtonText(i).GetString() << "'\n";
        }
    }
    const DWORD style = bar.GetStyle();
    out << "flat " << ((style & TBSTYLE_FLAT) != 0) << " list " << ((style & TBSTYLE_LIST) != 0)
        << " indent " << bar.m_nIndent << " texttype " << bar.GetTextType() << " colours";
    for (COLORREF c : {bar.m_clrDefaultText, bar.m_clrHotText, bar.m_clrSelectedText,
                       bar.m_clrCheckedText, bar.m_clrDefaultBk, bar.m_clrHotBk,
                       bar.m_clrSelectedBk, bar.m_clrCheckedBk, bar.m_clrDefaultBorder,
                       bar.m_clrHotBorder, bar.m_clrSelectedBorder, bar.m_clrCheckedBorder})
        out << " " << std::hex << c << std::dec;
    out << " customizable " << bar.IsCustomizable(TRUE) << "\n";
    return out.str();
}

class ToolbarCustom : public ToolBarTest<CustomFrame> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(UseFrame(Frame()));
        Reset();
    }
    void TearDown() override { Reset(); }
    // The code's five buttons, no hosted windows, no customisation.
    void Reset()
    {
        COXCoolToolBar& bar = frame->toolBar;
        bar.SetCustomizeMode(FALSE);
        bar.SetCustomizable(FALSE);
        if (bar.IsFloating() || !(bar.GetBarStyle() & CBRS_ALIGN_TOP))
            frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
        while (bar.GetCount() > 0)
            bar.RemoveButton(bar.GetCount() - 1);
        EXPECT_EQ(bar.GetCustomButtonCount(), 0);
        const UINT ids[] = {ID_TEST_RIP, ID_TEST_STOP, 0, ID_TEST_EJECT, ID_TEST_PLAY};
        bar.SetButtons(ids, 5);
        bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PANE, 4);
        bar.SetCustomizedButton(-1);
        frame->customizeCommands.clear();
        frame->answerCommand = 0;
        frame->RecalcLayout();
        frame->IdleUpdate();
    }
    CPoint ScreenPoint(CWnd& wnd, CPoint client)
    {
        wnd.ClientToScreen(&client);
        return client;
    }
    CRect WindowRectInBar(CWnd* pWnd)
    {
        CRect rect;
        pWnd->GetWindowRect(&rect);
        frame->toolBar.ScreenToClient(&rect);
        return rect;
    }
    std::vector<UINT> Commands()
    {
        std::vector<UINT> ids;
        for (int i = 0; i < frame->toolBar.GetCount(); ++i)
            ids.push_back(frame->toolBar.GetItemID(i));
        return ids;
    }
};

TEST_F(ToolbarCustom, HostedEditAndComboTakeTypedInputAndFollowTheirButtons)
{
    COXCoolToolBar& bar = frame->toolBar;
    const int windowsBefore = ThreadWindowCount();
    ASSERT_TRUE(bar.InsertCustomButton(2, 0));
    ASSERT_TRUE(bar.InsertCustomButton(bar.GetCount(), 1));
    EXPECT_FALSE(bar.InsertCustomButton(bar.GetCount() + 1, 0)); // past the end
    EXPECT_FALSE(bar.InsertCustomButton(0, 7));                  // not registered
    frame->IdleUpdate();
    CWnd* pEdit = bar.GetCustomButtonWindow(2);
    CWnd* pCombo = bar.GetCustomButtonWindow(bar.GetCount() - 1);
    ASSERT_NE(pEdit, nullptr);
    ASSERT_NE(pCombo, nullptr);
    EXPECT_EQ(pEdit->GetDlgCtrlID(), int(ID_FIND_EDIT));
    EXPECT_TRUE(pEdit->IsWindowVisible());
    // The window stands over its separator, 2 pixels in from each side.
    CRect slot = ItemRect(2), edit = WindowRectInBar(pEdit);
    EXPECT_EQ(slot.Width(), 120);
    EXPECT_EQ(edit.left, slot.left + 2);
    EXPECT_EQ(edit.right, slot.right - 2);
    EXPECT_EQ(edit.Height(), 20);

    InputClick(pEdit->m_hWnd, CPoint(10, 10));
    PumpFor(200);
    TypeKeys("jazz");
    PumpUntil([&] {
        CString t;
        pEdit->GetWindowText(t);
        return t == "jazz";
    });
    CString text;
    pEdit->GetWindowText(text);
    EXPECT_EQ(text, CString("jazz"));

    // The combo's edit part takes keys; Down picks the next entry of the list.
    CRect combo = WindowRectInBar(pCombo);
    InputClick(bar.m_hWnd, CPoint(combo.left + 10, combo.CenterPoint().y));
    PumpFor(200);
    TypeKeys("mp");
    PumpFor(200);
    pCombo->GetWindowText(text);
    EXPECT_EQ(text, CString("mp"));
    static_cast<CComboBox*>(pCombo)->SetCurSel(0);
    KeyPress(VK_DOWN);
    PumpFor(200);
    pCombo->GetWindowText(text);
    EXPECT_EQ(text, CString("MP3"));

    // A button inserted in front carries the windows along.
    TBBUTTON button{};
    button.iBitmap = 2;
    button.idCommand = ID_TEST_PANE;
    button.fsState = TBSTATE_ENABLED;
    bar.SendMessage(TB_INSERTBUTTON, 0, reinterpret_cast<LPARAM>(&button));
    frame->IdleUpdate();
    EXPECT_EQ(bar.GetCustomButtonWindow(3), pEdit);
    EXPECT_EQ(WindowRectInBar(pEdit).left, ItemRect(3).left + 2);
    EXPECT_GT(WindowRectInBar(pEdit).left, edit.left);
    // Deleting the hosted button destroys its window.
    HWND hEdit = pEdit->m_hWnd;
    bar.RemoveButton(3);
    EXPECT_FALSE(::IsWindow(hEdit));
    EXPECT_EQ(bar.GetCustomButtonCount(), 1);
    EXPECT_NE(bar.GetCustomButtonWindow(bar.GetCount() - 1), nullptr);
    bar.RemoveButton(bar.GetCount() - 1);
    EXPECT_EQ(bar.GetCustomButtonCount(), 0);
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

TEST_F(ToolbarCustom, AHostedWindowShowsOnlyWhereItsOrientationsAllow)
{
    COXCoolToolBar& bar = frame->toolBar;
    ASSERT_TRUE(bar.InsertCustomButton(0, 0)); // horizontal sides and floating only
    frame->IdleUpdate();
    CWnd* pEdit = bar.GetCustomButtonWindow(0);
    ASSERT_NE(pEdit, nullptr);
    EXPECT_TRUE(pEdit->IsWindowVisible());
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    frame->IdleUpdate();
    EXPECT_FALSE(pEdit->IsWindowVisible());
    UINT nID = 0, nStyle = 0;
    int iImage = 0;
    bar.GetButtonInfo(0, nID, nStyle, iImage);
    EXPECT_EQ(nID, ID_FIND_EDIT);
    EXPECT_FALSE(nStyle & TBSTYLE_SEP);
    EXPECT_EQ(iImage, 3);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->IdleUpdate();
    EXPECT_TRUE(pEdit->IsWindowVisible());
    bar.GetButtonInfo(0, nID, nStyle, iImage);
    EXPECT_TRUE(nStyle & TBSTYLE_SEP);
}

TEST_F(ToolbarCustom, NoSeparatorIsLeftAtEitherEndAfterADelete)
{
    COXCoolToolBar& bar = frame->toolBar;
    // Rip, Stop, |, Eject, Play: take Eject and Play off the end, then Rip and Stop off the
    // front of a bar that starts with a separator after them.
    bar.RemoveButton(4);
    bar.RemoveButton(3);
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_RIP, ID_TEST_STOP}));
    const UINT ids[] = {ID_TEST_RIP, 0, ID_TEST_EJECT};
    bar.SetButtons(ids, 3);
    bar.RemoveButton(0);
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_EJECT}));
}

TEST_F(ToolbarCustom, ButtonsDraggedOffTheBarGoAndEscapeKeepsThem)
{
    COXCoolToolBar& bar = frame->toolBar;
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    const CPoint outside(frameRect.right + 60, frameRect.bottom + 60); // the bare desktop

    // Outside customisation mode a plain drag leaves the buttons alone.
    bar.SetCustomizable(TRUE, TRUE);
    ASSERT_TRUE(bar.IsCustomizable(TRUE));
    EXPECT_FALSE(bar.IsCustomizable(FALSE));
    MouseDrag(ScreenPoint(bar, ItemRect(0).CenterPoint()), outside);
    PumpFor(200);
    EXPECT_EQ(bar.GetCount(), 5);

    // Escape while the button is still held: the drag is cancelled and the button stays.
    // (The key goes to the focus, which must be ours.)
    ::SetForegroundWindow(frame->m_hWnd);
    frame->SetFocus();
    PumpPending();
    bar.SetCustomizeMode(TRUE);
    const CPoint from = ScreenPoint(bar, ItemRect(3).CenterPoint());
    RunInputScript([&] {
        InputMouseMove(from);
        InputMouseButton(true);
        ::Sleep(150);
        InputMouseGlide(outside, 8, 25);
        ::Sleep(200);
        InputKeyStroke(VK_ESCAPE);
        ::Sleep(300);
        InputMouseButton(false);
    });
    PumpFor(200);
    EXPECT_EQ(Commands(),
              (std::vector<UINT>{ID_TEST_RIP, ID_TEST_STOP, 0, ID_TEST_EJECT, ID_TEST_PLAY}));
    // Released over the desktop: the button goes.
    MouseDrag(ScreenPoint(bar, ItemRect(0).CenterPoint()), outside);
    PumpUntil([&] { return bar.GetCount() == 4; });
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_STOP, 0, ID_TEST_EJECT, ID_TEST_PLAY}));
    EXPECT_EQ(bar.GetCustomizedButton(), -1);
    MouseDrag(ScreenPoint(bar, ItemRect(3).CenterPoint()), outside);
    PumpUntil([&] { return bar.GetCount() == 3; });
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_STOP, 0, ID_TEST_EJECT}));
}

TEST_F(ToolbarCustom, DraggingAButtonBesideItselfOpensAndClosesAGap)
{
    COXCoolToolBar& bar = frame->toolBar;
    bar.SetCustomizable(TRUE, TRUE);
    bar.SetCustomizeMode(TRUE);
    // Play a few pixels to the right, dropped just after itself: a separator before it.
    CRect play = ItemRect(4);
    MouseDrag(ScreenPoint(bar, play.CenterPoint()),
              ScreenPoint(bar, CPoint(play.right - 2, play.CenterPoint().y)));
    PumpFor(200);
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_RIP, ID_TEST_STOP, 0, ID_TEST_EJECT, 0,
                                             ID_TEST_PLAY}));
    EXPECT_EQ(bar.GetCustomizedButton(), 5);
    // Back over the left half of that separator: it goes again.
    CRect gap = ItemRect(4);
    MouseDrag(ScreenPoint(bar, ItemRect(5).CenterPoint()),
              ScreenPoint(bar, CPoint(gap.left + 1, gap.CenterPoint().y)));
    PumpFor(200);
    EXPECT_EQ(Commands(),
              (std::vector<UINT>{ID_TEST_RIP, ID_TEST_STOP, 0, ID_TEST_EJECT, ID_TEST_PLAY}));
    // Rip dropped on the right half of Eject moves there.
    MouseDrag(ScreenPoint(bar, ItemRect(0).CenterPoint()),
              ScreenPoint(bar, CPoint(ItemRect(3).right - 3, ItemRect(3).CenterPoint().y)));
    PumpFor(200);
    EXPECT_EQ(Commands(),
              (std::vector<UINT>{ID_TEST_STOP, 0, ID_TEST_EJECT, ID_TEST_RIP, ID_TEST_PLAY}));
    EXPECT_EQ(bar.GetCustomizedButton(), 3);
}

TEST_F(ToolbarCustom, CommandsDraggedFromTheSourceAreAddedOnce)
{
    COXCoolToolBar& bar = frame->toolBar;
    bar.SetCustomizable(TRUE, TRUE);
    CRect strip;
    frame->source.GetClientRect(&strip);
    const CPoint command = ScreenPoint(frame->source, CPoint(20, strip.CenterPoint().y));
    const CPoint combo = ScreenPoint(frame->source, CPoint(strip.right - 20, strip.CenterPoint().y));

    // Onto the left half of Eject: inserted before it, its text without the accelerator.
    MouseDrag(command, ScreenPoint(bar, CPoint(ItemRect(3).left + 3, ItemRect(3).CenterPoint().y)));
    PumpUntil([&] { return bar.CommandToIndex(ID_TEST_PANE) >= 0; });
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_RIP, ID_TEST_STOP, 0, ID_TEST_PANE,
                                             ID_TEST_EJECT, ID_TEST_PLAY}));
    EXPECT_EQ(bar.GetButtonText(3), CString("Pane"));
    UINT nID = 0, nStyle = 0;
    int iImage = 0;
    bar.GetButtonInfo(3, nID, nStyle, iImage);
    EXPECT_EQ(iImage, 2);
    EXPECT_EQ(frame->source.lastEffect, DROPEFFECT_COPY);

    // The same command again is refused.
    MouseDrag(command, ScreenPoint(bar, ItemRect(0).CenterPoint()));
    PumpFor(200);
    EXPECT_EQ(bar.GetCount(), 6);
    EXPECT_EQ(frame->source.lastEffect, DROPEFFECT_NONE);

    // A registered hosted window arrives as that window.
    MouseDrag(combo, ScreenPoint(bar, CPoint(ItemRect(0).left + 2, ItemRect(0).CenterPoint().y)));
    PumpUntil([&] { return bar.GetCustomButtonCount() == 1; });
    ASSERT_NE(bar.GetCustomButtonWindow(0), nullptr);
    EXPECT_EQ(bar.GetCustomButtonWindow(0)->GetDlgCtrlID(), int(ID_FORMAT_COMBO));
    EXPECT_TRUE(bar.GetCustomButtonWindow(0)->IsWindowVisible());
    EXPECT_EQ(bar.GetItemID(1), ID_TEST_RIP);

    // A bar that is not customisable takes nothing.
    bar.SetCustomizable(FALSE);
    const int count = bar.GetCount();
    frame->source.m_nCommand = ID_TEST_PANE + 1;
    MouseDrag(command, ScreenPoint(bar, ItemRect(1).CenterPoint()));
    frame->source.m_nCommand = ID_TEST_PANE;
    PumpFor(200);
    EXPECT_EQ(bar.GetCount(), count);
}

// Picks the customise menu's item at a position (separators not counted) with real keys.
struct MenuPick {
    int downs;
    static void Answer(HWND, void* context)
    {
        ::Sleep(150);
        for (int i = 0; i < static_cast<MenuPick*>(context)->downs; ++i)
            InputKeyStroke(VK_DOWN);
        InputKeyStroke(VK_RETURN);
    }
};

TEST_F(ToolbarCustom, TheCustomiseMenuActsOnTheClickedButtonAndTellsTheOwner)
{
    COXCoolToolBar& bar = frame->toolBar;
    bar.SetCustomizable(TRUE, TRUE);
    bar.SetCustomizeMode(TRUE);
    bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 1);
    frame->IdleUpdate();
    auto pick = [&](int nIndex, int downs) {
        MenuPick context{downs};
        DialogAnswerer answer(&MenuPick::Answer, &context, "#32768", 5000);
        MouseRightClick(ScreenPoint(bar, ItemRect(nIndex).CenterPoint()));
        PumpUntil([&] { return answer.Answered(); });
        PumpFor(300);
        return answer.Answered();
    };
    // Items: Delete, Button Appearance..., Image Only, Image and Text, Put Separator Before,
    // Put Separator After.
    ASSERT_TRUE(pick(0, 3)); // Image Only
    EXPECT_EQ(bar.GetCustomizedButton(), 0);
    EXPECT_EQ(bar.GetButtonText(0), CString(""));
    ASSERT_TRUE(pick(0, 4)); // Image and Text: the text it had
    EXPECT_EQ(bar.GetButtonText(0), CString("Rip"));
    ASSERT_TRUE(pick(1, 6)); // Put Separator After Stop: there is one already (greyed)
    ASSERT_TRUE(pick(3, 5)); // Put Separator Before Eject: greyed too
    EXPECT_EQ(Commands(),
              (std::vector<UINT>{ID_TEST_RIP, ID_TEST_STOP, 0, ID_TEST_EJECT, ID_TEST_PLAY}));
    ASSERT_TRUE(pick(4, 5)); // Put Separator Before Play
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_RIP, ID_TEST_STOP, 0, ID_TEST_EJECT, 0,
                                             ID_TEST_PLAY}));
    ASSERT_TRUE(pick(0, 1)); // Delete
    EXPECT_EQ(Commands(), (std::vector<UINT>{ID_TEST_STOP, 0, ID_TEST_EJECT, 0, ID_TEST_PLAY}));
    // The owner that answers a command does it itself.
    frame->answerCommand = ID_OXCUSTTB_DELETE;
    ASSERT_TRUE(pick(0, 1));
    EXPECT_EQ(bar.GetCount(), 5);
    const std::vector<int>& seen = frame->customizeCommands;
    for (UINT command : {ID_OXCUSTTB_CUSTOMIZED_CHANGED, ID_OXCUSTTB_IMAGEONLY,
                         ID_OXCUSTTB_IMAGETEXT, ID_OXCUSTTB_SEPARATOR_BEFORE, ID_OXCUSTTB_DELETE})
        EXPECT_NE(std::find(seen.begin(), seen.end(), int(command)), seen.end()) << command;
}

// The common-controls customise dialog: its list of available buttons, read from a watcher.
struct DialogLists {
    volatile int available = -1;
    static void Answer(HWND hDialog, void* context)
    {
        auto* self = static_cast<DialogLists*>(context);
        ::Sleep(200);
        HWND hList = ::GetDlgItem(hDialog, 201); // the available buttons
        self->available = static_cast<int>(::SendMessage(hList, LB_GETCOUNT, 0, 0));
        ::PostMessage(hDialog, WM_COMMAND, IDCANCEL, 0);
    }
};

TEST_F(ToolbarCustom, TheCustomiseDialogOffersTheBarsCommandList)
{
    COXCoolToolBar& bar = frame->toolBar;
    // The dialog offers a separator and the listed commands that are not on the bar.
    struct Case {
        std::vector<UINT> commands;
        int available;
    };
    const Case cases[] = {
        {{ID_TEST_PANE, ID_TEST_PANE + 1, ID_TEST_PANE + 2}, 4},
        {{ID_TEST_RIP, ID_TEST_PANE}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.available);
        bar.SetCustomizeCommands(c.commands.data(), static_cast<int>(c.commands.size()));
        bar.SetCustomizable(TRUE, FALSE);
        EXPECT_TRUE(bar.IsCustomizable(FALSE));
        EXPECT_FALSE(bar.IsCustomizable(TRUE));
        DialogLists lists;
        {
            DialogAnswerer answer(&DialogLists::Answer, &lists, "#32770", 8000);
            bar.SendMessage(TB_CUSTOMIZE);
            PumpUntil([&] { return answer.Answered(); });
            EXPECT_TRUE(answer.Answered());
        }
        EXPECT_EQ(lists.available, c.available);
    }
    bar.SetCustomizable(FALSE);
    EXPECT_FALSE(bar.IsCustomizable(FALSE));
    const UINT commands[] = {ID_TEST_RIP, ID_TEST_STOP, ID_TEST_EJECT, ID_TEST_PLAY,
                             ID_TEST_PANE};
    bar.SetCustomizeCommands(commands, 5);
}

// --- the profile, read back by a second process ---

std::string ChildOutputPath()
{
    char dir[MAX_PATH] = "";
    ::GetTempPath(sizeof(dir), dir);
    return std::string(dir) + "sonoria_toolbar_custom.txt";
}

TEST(ToolbarInNewProcess, Restore)
{
    if (std::getenv("SONORIA_TOOLBAR_CHILD") == nullptr)
        GTEST_SKIP() << "runs only as the second process of the profile test";
    theApp.SetCurrentSkin("Classic");
    AfxGetApp()->SetRegistryKey(kKey);
    CustomFrame* f = Frame();
    COXCoolToolBar& bar = f->toolBar;
    bar.SetCustomizable(TRUE, TRUE);
    ASSERT_TRUE(bar.LoadBarState("Bars", "Main"));
    f->IdleUpdate();
    std::ofstream(ChildOutputPath()) << DescribeBar(bar);
}

std::string RunChild()
{
    return RunSelfAsChild("ToolbarInNewProcess.Restore", "SONORIA_TOOLBAR_CHILD", ChildOutputPath());
}

int ReadInt(const BYTE* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24;
}

TEST_F(ToolbarCustom, TheSavedBarIsRestoredByANewProcess)
{
    COXCoolToolBar& bar = frame->toolBar;
    ::RegDeleteTree(HKEY_CURRENT_USER, (std::string("Software\\") + kKey).c_str());
    // Without a registry profile a customisable bar keeps nothing.
    bar.SetCustomizable(TRUE, TRUE);
    EXPECT_FALSE(bar.SaveBarState("Bars", "Main"));
    AfxGetApp()->SetRegistryKey(kKey);

    // A bar unlike the code's: Stop gone, Pane added, the edit with a text and the combo,
    // texts from the second part of the strings, the list style, an indent and colours of
    // its own.
    bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PANE, 1);
    bar.RemoveButton(1);
    TBBUTTON button{};
    button.iBitmap = 2;
    button.idCommand = ID_TEST_PANE;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_AUTOSIZE;
    bar.SendMessage(TB_INSERTBUTTON, 3, reinterpret_cast<LPARAM>(&button));
    ASSERT_TRUE(bar.InsertCustomButton(1, 0));
    ASSERT_TRUE(bar.InsertCustomButton(bar.GetCount(), 1));
    bar.GetCustomButtonWindow(1)->SetWindowText("blues");
    bar.ModifyStyle(0, TBSTYLE_LIST);
    bar.m_nIndent = 6;
    bar.SendMessage(TB_SETINDENT, 6);
    COLORREF* colours[] = {&bar.m_clrDefaultText, &bar.m_clrHotText, &bar.m_clrSelectedText,
                           &bar.m_clrCheckedText, &bar.m_clrDefaultBk, &bar.m_clrHotBk,
                           &bar.m_clrSelectedBk, &bar.m_clrCheckedBk, &bar.m_clrDefaultBorder,
                           &bar.m_clrHotBorder, &bar.m_clrSelectedBorder,
                           &bar.m_clrCheckedBorder};
    for (int i = 0; i < 12; ++i)
        *colours[i] = RGB(10 * i, 255 - 10 * i, 7 * i);
    frame->IdleUpdate();
    const std::string saved = DescribeBar(bar);
    ASSERT_TRUE(bar.SaveBarState("Bars", "Main"));

    // What the profile holds, read back.
    CWinApp* app = AfxGetApp();
    LPBYTE data = nullptr;
    UINT n = 0;
    ASSERT_TRUE(app->GetProfileBinary("Bars", "Main_ButtonsSettings", &data, &n));
    EXPECT_EQ(app->GetProfileInt("Bars", "Main_ButtonsSettings_Size", 0), n);
    EXPECT_EQ(ReadInt(data), bar.GetCount());
    // The first record: Rip, image 0, its style, has text 1, "Rip" (a byte length, the bytes).
    EXPECT_EQ(ReadInt(data + 4), int(ID_TEST_RIP));
    EXPECT_EQ(ReadInt(data + 8), 0);
    EXPECT_EQ(data[13], 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data + 15), data[14]), "Rip");
    delete[] data;
    ASSERT_TRUE(app->GetProfileBinary("Bars", "Main_CustomButtonsPositions", &data, &n));
    ASSERT_EQ(n, 20u);
    EXPECT_EQ(ReadInt(data), 2);
    EXPECT_EQ(ReadInt(data + 4), 1);
    EXPECT_EQ(ReadInt(data + 8), int(ID_FIND_EDIT));
    EXPECT_EQ(ReadInt(data + 12), bar.GetCount() - 1);
    EXPECT_EQ(ReadInt(data + 16), int(ID_FORMAT_COMBO));
    delete[] data;
    EXPECT_EQ(app->GetProfileInt("Bars_Main", "Indent", 0), 6u);
    EXPECT_EQ(app->GetProfileInt("Bars_Main", "List", 0), 1u);
    EXPECT_EQ(app->GetProfileInt("Bars_Main", "HotBkColor", 0), RGB(50, 205, 35));
    EXPECT_GT(app->GetProfileInt("Bars", "Toolbars_CustomButtonsSettings_Size", 0), 0u);

    // The other process, starting from the code's bar, shows exactly this one.
    frame->ShowWindow(SW_HIDE);
    const std::string restored = RunChild();
    frame->ShowWindow(SW_SHOW);
    EXPECT_EQ(restored, saved);
    ::RegDeleteTree(HKEY_CURRENT_USER, (std::string("Software\\") + kKey).c_str());
    bar.ModifyStyle(TBSTYLE_LIST, 0);
    bar.m_nIndent = 0;
    bar.SendMessage(TB_SETINDENT, 0);
    for (COLORREF* c : colours)
        *c = CLR_DEFAULT;
}

// Not a test: keeps the frame up with its hosted windows for a screenshot.
TEST(ToolbarCustomShowcase, Stays)
{
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    if (ms == nullptr)
        GTEST_SKIP();
    theApp.SetCurrentSkin("Classic");
    CustomFrame* f = Frame();
    COXCoolToolBar& bar = f->toolBar;
    bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 1);
    bar.InsertCustomButton(2, 0);
    bar.InsertCustomButton(bar.GetCount(), 1);
    bar.GetCustomButtonWindow(2)->SetWindowText("blues");
    static_cast<CComboBox*>(bar.GetCustomButtonWindow(bar.GetCount() - 1))->SetCurSel(0);
    if (std::getenv("SONORIA_SHOWCASE_CUSTOMIZE") != nullptr) {
        bar.SetCustomizable(TRUE, TRUE);
        bar.SetCustomizeMode(TRUE);
        bar.SetCustomizedButton(1);
    }
    f->IdleUpdate();
    PumpFor(static_cast<DWORD>(std::atoi(ms)));
}

} // namespace
