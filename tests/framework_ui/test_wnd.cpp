// Window layer: message-map dispatch through base maps, the creation hook, handle maps,
// subclassing, reflection of child notifications and the pre-translate walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/listbox.h"
#include "framework/ui.h"
#include "tests/framework_ui/ui_test_support.h"

namespace {

constexpr UINT WM_PING = WM_APP + 1;
constexpr UINT WM_PONG = WM_APP + 2;

class BaseWnd : public CWnd {
public:
    std::vector<std::string> log;
    bool postNcDestroyCalled = false;

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        log.push_back("create");
        return CWnd::OnCreate(cs);
    }
    void OnSize(UINT, int cx, int cy) { log.push_back("size " + std::to_string(cx)); }
    LRESULT OnPing(WPARAM w, LPARAM) { return static_cast<LRESULT>(w) + 1; }
    LRESULT OnPong(WPARAM w, LPARAM) { return 1000; }
    void OnCmd100() { log.push_back("base 100"); }
    void OnCmdRange(UINT id) { log.push_back("range " + std::to_string(id)); }
    void PostNcDestroy() override { postNcDestroyCalled = true; }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_NCCREATE)
            log.push_back("nccreate");
        return CWnd::WindowProc(m, w, l);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_MESSAGE(WM_PING, OnPing)
ON_MESSAGE(WM_PONG, OnPong)
ON_COMMAND(100, OnCmd100)
ON_COMMAND_RANGE(200, 210, OnCmdRange)
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
protected:
    LRESULT OnPing2(WPARAM w, LPARAM) { return static_cast<LRESULT>(w) * 10; }
    void OnCmd101() { log.push_back("derived 101"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
ON_MESSAGE(WM_PING, OnPing2)
ON_COMMAND(101, OnCmd101)
END_MESSAGE_MAP()

TEST(MessageMap, DerivedRowsWinAndBaseRowsStillApply)
{
    DerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_CHILD, 0, 0, 50, 40, SharedTopWindow(), nullptr));
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        LRESULT expected;
    };
    const Case cases[] = {
        {"derived row replaces base", WM_PING, 7, 70},
        {"base row found through base map", WM_PONG, 0, 1000},
        {"no row: default procedure", WM_APP + 9, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wnd.SendMessage(c.message, c.wParam), c.expected);
    }
    wnd.log.clear();
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(101, 1)); // accelerator form
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(205, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(211, 0)); // outside the range
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"base 100", "derived 101", "range 205"}));
    wnd.DestroyWindow();
}

TEST(CreationHook, ObjectSeesMessagesSentDuringCreateWindow)
{
    BaseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_CHILD | WS_VISIBLE, 0, 0, 80, 40,
                             SharedTopWindow(), nullptr));
    ASSERT_GE(wnd.log.size(), 2u);
    EXPECT_EQ(wnd.log[0], "nccreate");
    EXPECT_EQ(wnd.log[1], "create");
    // CreateWindow sends the first WM_SIZE itself.
    EXPECT_NE(std::find(wnd.log.begin(), wnd.log.end(), "size 80"), wnd.log.end());
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    // The default class asks for double clicks.
    EXPECT_TRUE(::GetClassLongPtr(wnd.m_hWnd, GCL_STYLE) & CS_DBLCLKS);
    wnd.DestroyWindow();
}

// A window whose OnCreate creates a child of its own: a creation nested in a creation.
class NestingWnd : public CWnd {
public:
    BaseWnd child;
    bool hookedInCreate = false;

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        hookedInCreate = AfxIsWindowCreateHooked();
        if (!child.CreateEx(0, nullptr, "inner", WS_CHILD, 0, 0, 20, 20, m_hWnd, nullptr))
            return -1;
        return CWnd::OnCreate(cs);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NestingWnd, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

// The hook lives only while a creation is underway: a nested creation binds its own object,
// and once the outer one ends the thread's later windows pass no hook of ours.
TEST(CreationHook, RemovedWhenTheOutermostCreationEnds)
{
    EXPECT_FALSE(AfxIsWindowCreateHooked());
    NestingWnd outer;
    ASSERT_TRUE(outer.CreateEx(0, nullptr, "outer", WS_CHILD, 0, 0, 60, 60, SharedTopWindow(),
                               nullptr));
    EXPECT_TRUE(outer.hookedInCreate);
    EXPECT_EQ(CWnd::FromHandlePermanent(outer.m_hWnd), &outer);
    EXPECT_EQ(CWnd::FromHandlePermanent(outer.child.m_hWnd), &outer.child);
    EXPECT_EQ(::GetParent(outer.child.m_hWnd), outer.m_hWnd);
    EXPECT_FALSE(AfxIsWindowCreateHooked());

    // A refused creation unhooks too.
    BaseWnd refused;
    EXPECT_FALSE(refused.CreateEx(0, "no such class", "t", WS_CHILD, 0, 0, 10, 10,
                                  SharedTopWindow(), nullptr));
    EXPECT_FALSE(AfxIsWindowCreateHooked());
    outer.DestroyWindow();
}

class CreateLoggingEdit : public CEdit {
public:
    int creates = 0;
    std::string chars;

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        ++creates;
        return CEdit::OnCreate(cs);
    }
    void OnChar(UINT ch, UINT, UINT)
    {
        chars += static_cast<char>(ch);
        Default(); // the edit control's own procedure
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CreateLoggingEdit, CEdit)
ON_WM_CREATE()
ON_WM_CHAR()
END_MESSAGE_MAP()

TEST(CreationHook, SystemControlObjectSeesWmCreateAndDefaultReachesControl)
{
    TestHostWnd host;
    CreateLoggingEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), &host, 5));
    EXPECT_EQ(edit.creates, 1);
    edit.SendMessage(WM_CHAR, 'h');
    edit.SendMessage(WM_CHAR, 'i');
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(edit.chars, "hi");
    EXPECT_STREQ(text, "hi");
}

class SubclassedEdit : public CWnd {
public:
    bool preSubclassed = false;
    int keys = 0;

protected:
    void PreSubclassWindow() override { preSubclassed = true; }
    void OnKeyDown(UINT, UINT, UINT)
    {
        ++keys;
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SubclassedEdit, CWnd)
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST(HandleMaps, PermanentTemporaryAndSubclassedWindows)
{
    TestHostWnd host;
    HWND raw = ::CreateWindowEx(0, "EDIT", "abc", WS_CHILD, 0, 0, 60, 20, host.m_hWnd,
                                reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    CWnd* temp = CWnd::FromHandle(raw);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, raw);
    EXPECT_EQ(CWnd::FromHandle(raw), temp); // one wrapper per handle until idle time
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(raw)); // dropping the wrapper leaves the window alone

    SubclassedEdit sub;
    ASSERT_TRUE(sub.SubclassDlgItem(7, &host));
    EXPECT_TRUE(sub.preSubclassed);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), &sub);
    EXPECT_EQ(CWnd::FromHandle(raw), &sub);
    ::SendMessage(raw, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(sub.keys, 1);
    CWnd other;
    EXPECT_FALSE(other.Attach(raw)); // one permanent object per window

    ::DestroyWindow(raw); // detached at WM_NCDESTROY
    EXPECT_EQ(sub.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
}

TEST(HandleMaps, PostNcDestroyRunsAfterDetach)
{
    BaseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_CHILD, 0, 0, 10, 10, SharedTopWindow(), nullptr));
    HWND h = wnd.m_hWnd;
    ::DestroyWindow(h);
    EXPECT_TRUE(wnd.postNcDestroyCalled);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

// A button that draws itself and takes its own clicks.
class SelfDrawnButton : public CButton {
public:
    int draws = 0;
    int ownClicks = 0;
    void DrawItem(LPDRAWITEMSTRUCT) override { ++draws; }

protected:
    void OnClicked() { ++ownClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfDrawnButton, CButton)
ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class NotifyParent : public TestHostWnd {
public:
    std::vector<std::string> log;

protected:
    void OnClicked1() { log.push_back("parent clicked 1"); }
    void OnClicked2() { log.push_back("parent clicked 2"); }
    void OnTabChange(NMHDR* h, LRESULT* r)
    {
        log.push_back("parent tab " + std::to_string(h->idFrom));
        *r = 5;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NotifyParent, TestHostWnd)
ON_BN_CLICKED(1, OnClicked1)
ON_BN_CLICKED(2, OnClicked2)
ON_NOTIFY(TCN_SELCHANGING, 3, OnTabChange)
END_MESSAGE_MAP()

class ReflectingTab : public CTabCtrl {
public:
    int changing = 0;

protected:
    void OnChanging(NMHDR*, LRESULT* r)
    {
        ++changing;
        *r = 9;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingTab, CTabCtrl)
ON_NOTIFY_REFLECT(TCN_SELCHANGING, OnChanging)
END_MESSAGE_MAP()

TEST(Reflection, ChildHandlesItsOwnNotificationsAndDrawing)
{
    NotifyParent parent;
    SelfDrawnButton own;
    CButton plain;
    ASSERT_TRUE(own.Create("own", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 40, 20),
                           &parent, 1));
    ASSERT_TRUE(plain.Create("plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                             CRect(50, 0, 90, 20), &parent, 2));
    own.RedrawWindow();
    EXPECT_GE(own.draws, 1); // WM_DRAWITEM reached the button's DrawItem

    own.SendMessage(BM_CLICK);
    plain.SendMessage(BM_CLICK);
    EXPECT_EQ(own.ownClicks, 1);
    EXPECT_EQ(parent.log, std::vector<std::string>{"parent clicked 2"});

    NMHDR hdr{};
    hdr.code = TCN_SELCHANGING;
    hdr.idFrom = 3;
    CTabCtrl tab;
    ASSERT_TRUE(tab.Create(WS_CHILD, CRect(0, 30, 90, 60), &parent, 3));
    hdr.hwndFrom = tab.m_hWnd;
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&hdr)), 5);
    EXPECT_EQ(parent.log.back(), "parent tab 3");

    ReflectingTab rtab;
    ASSERT_TRUE(rtab.Create(WS_CHILD, CRect(0, 30, 90, 60), &parent, 3));
    hdr.hwndFrom = rtab.m_hWnd;
    parent.log.clear();
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&hdr)), 9);
    EXPECT_EQ(rtab.changing, 1);
    EXPECT_TRUE(parent.log.empty());
}

// Eats F5 wherever it is typed below it.
class KeyEatingWnd : public TestHostWnd {
public:
    std::vector<HWND> seen;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN)
            return FALSE;
        seen.push_back(pMsg->hwnd);
        return pMsg->wParam == VK_F5;
    }
};

class KeyCountingEdit : public CEdit {
public:
    int keys = 0;
    std::vector<HWND>* order = nullptr;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && order)
            order->push_back(nullptr); // marks that the target came first
        return FALSE;
    }

protected:
    void OnKeyDown(UINT, UINT, UINT)
    {
        ++keys;
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeyCountingEdit, CEdit)
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST(PreTranslate, WalkGoesFromTargetUpThroughParents)
{
    KeyEatingWnd top;
    CWnd middle;
    ASSERT_TRUE(middle.Create(nullptr, "m", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &top, 1));
    KeyCountingEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &middle, 2));
    edit.order = &top.seen;

    edit.PostMessage(WM_KEYDOWN, VK_F5, 0);
    edit.PostMessage(WM_KEYDOWN, VK_HOME, 0);
    PumpPending();
    EXPECT_EQ(edit.keys, 1); // F5 eaten on the way, Home dispatched
    EXPECT_EQ(top.seen, (std::vector<HWND>{nullptr, edit.m_hWnd, nullptr, edit.m_hWnd}));
}

// A dialog whose own key filter records what its modal loop offers it.
class KeyLoggingDialog : public CDialog {
public:
    std::vector<WPARAM> keys;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F7) {
            keys.push_back(pMsg->wParam);
            EndDialog(42);
            return TRUE;
        }
        return CDialog::PreTranslateMessage(pMsg);
    }
    BOOL OnInitDialog() override
    {
        // A key for the dialog's first control, delivered by the modal loop.
        ::PostMessage(::GetDlgItem(m_hWnd, 100), WM_KEYDOWN, VK_F7, 0);
        return TRUE;
    }
};

TEST(PreTranslate, ModalDialogLoopRunsTheWalk)
{
    TestHostWnd owner;
    DialogTemplate tmpl("walk");
    tmpl.AddControl(0x0081 /* EDIT */, 100, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 60, 12);
    KeyLoggingDialog dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(tmpl.Get(), &owner));
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.keys, std::vector<WPARAM>{VK_F7});
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

// Ends or destroys itself, from OnInitDialog or from its first timer tick, noting what its
// modal loop did meanwhile.
class EndingDialog : public CDialog {
public:
    enum How { EndInInit, EndOnTimer, DestroyOnTimer };
    How how = EndInInit;
    bool shown = false;
    bool frameDisabled = false;
    BOOL OnInitDialog() override
    {
        if (how == EndInInit)
            EndDialog(7);
        else
            SetTimer(1, 10);
        return TRUE;
    }

protected:
    void OnShowWindow(BOOL bShow, UINT) { shown = shown || bShow; }
    void OnTimer(UINT_PTR)
    {
        KillTimer(1);
        frameDisabled = !::IsWindowEnabled(SharedTopWindow());
        if (how == EndOnTimer)
            EndDialog(8);
        else
            DestroyWindow();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EndingDialog, CDialog)
ON_WM_SHOWWINDOW()
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(ModalLoop, DisablesTheOwnersFrameAndEndsHoweverTheDialogGoes)
{
    struct Case {
        const char* name;
        EndingDialog::How how;
        INT_PTR result;
        bool shown;
    };
    const Case cases[] = {
        {"ended in OnInitDialog: never shown", EndingDialog::EndInInit, 7, false},
        {"ended by its timer", EndingDialog::EndOnTimer, 8, true},
        {"destroyed under its loop", EndingDialog::DestroyOnTimer, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The owner is a child window: the modal dialog must block its whole frame.
        TestHostWnd owner;
        DialogTemplate tmpl("ending");
        EndingDialog dlg;
        dlg.how = c.how;
        ASSERT_TRUE(dlg.InitModalIndirect(tmpl.Get(), &owner));
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(dlg.shown, c.shown);
        if (c.how != EndingDialog::EndInInit) {
            EXPECT_TRUE(dlg.frameDisabled);
        }
        EXPECT_TRUE(::IsWindowEnabled(SharedTopWindow()));
        EXPECT_EQ(dlg.m_hWnd, nullptr);
    }
}

TEST(ProgressCtrl, ClampsToARangeBeyondShortValues)
{
    TestHostWnd host;
    CProgressCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 16), &host, 5));
    bar.SetRange32(0, 40000 - 3);
    int lower = -1, upper = -1;
    bar.GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 39997);
    EXPECT_EQ(bar.SetPos(300), 0);
    EXPECT_EQ(bar.GetPos(), 300);
    bar.SetPos(40000);
    EXPECT_EQ(bar.GetPos(), 39997);
    bar.SetRange(0, 97);
    bar.SetPos(100);
    EXPECT_EQ(bar.GetPos(), 97);
}

} // namespace

namespace {

// Counts idle calls and, once idle, pings a window; its main window ends the loop by going away.
class CountingThread : public CWinThread {
public:
    int idles = 0;
    HWND ping = nullptr;
    BOOL OnIdle(LONG lCount) override
    {
        if (++idles == 1)
            ::PostMessage(ping, WM_PING, 0, 0);
        return CWinThread::OnIdle(lCount);
    }
};

class ClosingWnd : public TestHostWnd {
public:
    int preTranslated = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_PING)
            ++preTranslated;
        return FALSE;
    }

protected:
    LRESULT OnPing(WPARAM, LPARAM)
    {
        DestroyWindow(); // the main window going away posts WM_QUIT
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ClosingWnd, TestHostWnd)
ON_MESSAGE(WM_PING, OnPing)
END_MESSAGE_MAP()

TEST(ListBox, LinesTextAndSelection)
{
    TestHostWnd host;
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(0, 0, 200, 100), &host, 7));
    EXPECT_EQ(list.AddString("first"), 0);
    EXPECT_EQ(list.AddString(""), 1);
    EXPECT_EQ(list.InsertString(1, "inserted line"), 1);
    EXPECT_EQ(list.GetCount(), 3);
    CString text = "stale";
    list.GetText(1, text);
    EXPECT_STREQ(text, "inserted line");
    list.GetText(2, text);
    EXPECT_STREQ(text, "");
    list.GetText(9, text);
    EXPECT_STREQ(text, "") << "a line that is not there reads empty";
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    EXPECT_EQ(list.SetCurSel(2), 2);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.DeleteString(0), 2);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(MessagePump, RunIdlesPreTranslatesAndEndsWithTheMainWindow)
{
    CWinApp* app = AfxGetApp();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(AfxGetThread(), app);
    ClosingWnd main;
    app->m_pMainWnd = &main;
    EXPECT_EQ(AfxGetMainWnd(), &main);
    CountingThread loop;
    loop.ping = main.m_hWnd;
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_GE(loop.idles, 1);
    EXPECT_EQ(main.preTranslated, 1);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(main.m_hWnd, nullptr);
}

TEST(MessagePump, WaitCursorRestoresThePreviousCursor)
{
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    {
        CWaitCursor wait;
        EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(::GetCursor(), arrow);
}

} // namespace

// The chosen files of a multiple selection as the dialog leaves them in its buffer.
TEST(FileDialog, MultipleSelectionGivesEveryPathInOrder)
{
    struct Case {
        const char* name;
        std::string buffer; // as the dialog fills it, zeros included
        DWORD flags;
        std::vector<std::string> paths;
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {"three files", "C:\\music\0a.wav\0b c.mp3\0d.flac\0\0"s, OFN_ALLOWMULTISELECT,
         {"C:\\music\\a.wav", "C:\\music\\b c.mp3", "C:\\music\\d.flac"}},
        {"one file comes as a full path", "C:\\music\\a.wav\0\0"s, OFN_ALLOWMULTISELECT,
         {"C:\\music\\a.wav"}},
        {"a drive's root", "D:\\\0x.wav\0y.wav\0\0"s, OFN_ALLOWMULTISELECT,
         {"D:\\x.wav", "D:\\y.wav"}},
        {"single selection", "C:\\music\\a.wav\0"s, 0, {"C:\\music\\a.wav"}},
        {"nothing chosen", "\0\0"s, OFN_ALLOWMULTISELECT, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFileDialog dlg(TRUE, nullptr, nullptr, c.flags);
        std::vector<char> buffer(c.buffer.begin(), c.buffer.end());
        buffer.resize(64, 0);
        dlg.m_ofn.lpstrFile = buffer.data();
        dlg.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        std::vector<std::string> paths;
        for (POSITION pos = dlg.GetStartPosition(); pos != nullptr && paths.size() < 10;)
            paths.push_back(static_cast<LPCSTR>(dlg.GetNextPathName(pos)));
        EXPECT_EQ(paths, c.paths);
    }
    // A buffer filled to its end without the closing zeros stops at its end.
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT);
    char full[] = {'C', ':', '\\', 'd', 0, 'a', 'b', 'c'};
    dlg.m_ofn.lpstrFile = full;
    dlg.m_ofn.nMaxFile = sizeof full;
    POSITION pos = dlg.GetStartPosition();
    dlg.GetNextPathName(pos);
    EXPECT_EQ(pos, nullptr);
}
