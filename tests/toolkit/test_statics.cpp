// Text static, separator and hyperlink static: real windows driven by real messages, painting
// read back from memory DCs, the shell reached through a probe script.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/framework_ui/ui_test_support.h"
#include "toolkit/controls/static/hyperlink.h"
#include "toolkit/controls/static/static_control.h"
#include "toolkit/controls/static/static_res.h"

namespace
{

constexpr COLORREF kMarker = RGB(1, 2, 3);

// A memory DC over a bitmap filled with the marker colour.
struct Canvas {
    Canvas(int cx, int cy)
    {
        HDC screen = ::GetDC(nullptr);
        dc = ::CreateCompatibleDC(screen);
        bmp = ::CreateCompatibleBitmap(screen, cx, cy);
        ::ReleaseDC(nullptr, screen);
        old = ::SelectObject(dc, bmp);
        RECT r{0, 0, cx, cy};
        HBRUSH b = ::CreateSolidBrush(kMarker);
        ::FillRect(dc, &r, b);
        ::DeleteObject(b);
    }
    ~Canvas()
    {
        ::SelectObject(dc, old);
        ::DeleteObject(bmp);
        ::DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(dc, x, y); }
    bool Contains(COLORREF c, int cx, int cy) const
    {
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x)
                if (At(x, y) == c)
                    return true;
        return false;
    }
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
};

std::string ToolTipText(HWND hTip, HWND hOwner)
{
    char buf[256] = "";
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = hOwner;
    ti.uId = 1;
    ti.lpszText = buf;
    ::SendMessage(hTip, TTM_GETTEXTA, sizeof(buf), reinterpret_cast<LPARAM>(&ti));
    return buf;
}

std::string WindowText(HWND h)
{
    char buf[256] = "";
    ::SendMessage(h, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

class StaticsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host = std::make_unique<TestHostWnd>(400, 200);
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    }
    // A static made as a dialog makes it (font first), then subclassed by the object.
    template <class T> void Subclass(T& ctrl, const char* text, DWORD style, RECT r)
    {
        HWND h = ::CreateWindowA("STATIC", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, host->m_hWnd,
                                 reinterpret_cast<HMENU>(100), ::GetModuleHandle(nullptr), nullptr);
        ::SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ASSERT_TRUE(ctrl.SubclassWindow(h));
        PumpPending();
    }
    CRect RectInHost(HWND h)
    {
        CRect r;
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, host->m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
        return r;
    }
    // What the control shows: its background, then its client painting.
    void Print(HWND h, Canvas& c)
    {
        ::SendMessage(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(c.dc), 0);
        ::SendMessage(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c.dc), PRF_CLIENT);
    }

    std::unique_ptr<TestHostWnd> host;
    HFONT font = nullptr;
};

// ---------------------------------------------------------------------------------------------

TEST_F(StaticsTest, SeparatorDrawsEtchedLineCentredAcross)
{
    struct Case {
        const char* name;
        BOOL vertical;
        int cx, cy;
        int lineAt; // first row (column) of the 2-pixel line
    } cases[] = {
        {"11 high", FALSE, 100, 11, 5},
        {"10 high", FALSE, 100, 10, 4},
        {"vertical 9 wide", TRUE, 9, 80, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COXSeparator sep;
        sep.SetVertOriented(c.vertical);
        Subclass(sep, "", 0, {10, 10, 10 + c.cx, 10 + c.cy});
        Canvas canvas(c.cx, c.cy);
        ::SendMessage(sep.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
        auto at = [&](int along, int across) {
            return c.vertical ? canvas.At(across, along) : canvas.At(along, across);
        };
        const int mid = (c.vertical ? c.cy : c.cx) / 2;
        EXPECT_EQ(at(mid, c.lineAt), ::GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(at(mid, c.lineAt + 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(at(mid, c.lineAt - 1), kMarker);
        EXPECT_EQ(at(mid, c.lineAt + 2), kMarker);
        EXPECT_EQ(at(0, c.lineAt), ::GetSysColor(COLOR_BTNSHADOW)); // the whole length
        sep.DestroyWindow();
    }
}

TEST_F(StaticsTest, SeparatorKeepsCaptionInMemberAndLeavesGapBesideIt)
{
    COXSeparator sep;
    Subclass(sep, "First", SS_LEFT, {10, 10, 210, 21});
    EXPECT_EQ(WindowText(sep.m_hWnd), "First");

    ::SendMessage(sep.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Caption"));
    char small[4] = "xxx";
    EXPECT_EQ(::SendMessage(sep.m_hWnd, WM_GETTEXT, sizeof(small), reinterpret_cast<LPARAM>(small)),
              3);
    EXPECT_STREQ(small, "Cap");
    EXPECT_EQ(::SendMessage(sep.m_hWnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
    EXPECT_EQ(::SendMessage(sep.m_hWnd, WM_GETTEXTLENGTH, 0, 0), 7);

    // The window's own text is untouched: the caption lives in the object.
    char raw[32] = "";
    ::DefWindowProcA(sep.m_hWnd, WM_GETTEXT, sizeof(raw), reinterpret_cast<LPARAM>(raw));
    EXPECT_STREQ(raw, "First");

    HDC screen = ::GetDC(sep.m_hWnd);
    HGDIOBJ old = ::SelectObject(screen, font);
    SIZE ext;
    ::GetTextExtentPoint32A(screen, "Caption", 7, &ext);
    ::SelectObject(screen, old);
    ::ReleaseDC(sep.m_hWnd, screen);

    Canvas canvas(200, 11);
    ::SendMessage(sep.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
    EXPECT_EQ(canvas.At(ext.cx + 3, 5), kMarker);                        // the gap
    EXPECT_EQ(canvas.At(ext.cx + 6, 5), ::GetSysColor(COLOR_BTNSHADOW)); // the line after it
    EXPECT_EQ(canvas.At(199, 6), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_TRUE(canvas.Contains(::GetSysColor(COLOR_WINDOWTEXT), ext.cx, 11));
}

TEST_F(StaticsTest, SeparatorCreatedThroughCreateKeepsItsText)
{
    COXSeparator sep;
    ASSERT_TRUE(sep.Create("Made", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 12), host.get()));
    EXPECT_EQ(WindowText(sep.m_hWnd), "Made");
}

TEST_F(StaticsTest, BackgroundFillsByKind)
{
    const COLORREF base = RGB(200, 100, 40);
    struct Case {
        const char* name;
        COLORREF colour;
        int fill;
        int brightX; // where the colour is at full strength (-1: nothing painted)
        int darkX;   // where it is black
    } cases[] = {
        {"no background", CLR_NONE, 0, -1, -1}, {"solid", base, 0, 0, -1},
        {"bright right", base, 1, 255, 0},      {"bright middle", base, 2, 128, 0},
        {"bright left", base, 3, 0, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COXStatic st;
        st.SetBkColor(c.colour);
        st.SetBkFill(c.fill);
        Subclass(st, "", SS_LEFT, {0, 0, 256, 20});
        Canvas canvas(256, 20);
        ::SendMessage(st.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
        if (c.brightX < 0) {
            EXPECT_FALSE(canvas.Contains(base, 256, 20));
            EXPECT_EQ(canvas.At(128, 10), kMarker);
        } else {
            EXPECT_EQ(canvas.At(c.brightX, 10), base);
        }
        if (c.darkX >= 0) {
            EXPECT_EQ(canvas.At(c.darkX, 10), RGB(0, 0, 0));
            // Darkening is monotonic from the bright edge towards the dark one.
            int step = c.darkX > c.brightX ? 1 : -1;
            int last = 256;
            for (int x = c.brightX; x != c.darkX; x += step) {
                int r = GetRValue(canvas.At(x, 10));
                EXPECT_LE(r, last) << "x " << x;
                last = r;
            }
            // (1 - (d/w)^2) at a quarter of the way is 15/16 of the colour.
            int quarter = c.brightX + step * (c.fill == 2 ? 32 : 64);
            EXPECT_NEAR(GetRValue(canvas.At(quarter, 10)), 200 * 15 / 16, 4);
        }
        st.DestroyWindow();
    }
}

TEST_F(StaticsTest, ToolTipFollowsWindowTextUntilExplicitTextIsSet)
{
    COXStatic st;
    st.EnableToolTip(TRUE);
    Subclass(st, "Window text", SS_LEFT, {0, 0, 150, 20});
    HWND tip = st.GetToolTipHwnd();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(ToolTipText(tip, st.m_hWnd), "Window text");

    st.SetToolTipText("Explicit");
    ::SendMessage(st.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed"));
    EXPECT_EQ(ToolTipText(tip, st.m_hWnd), "Explicit");

    st.SetToolTipText("");
    EXPECT_EQ(ToolTipText(tip, st.m_hWnd), "Changed");

    st.DestroyWindow();
    EXPECT_FALSE(::IsWindow(tip));
}

TEST_F(StaticsTest, FitToTextKeepsTheEdgeTheAlignmentNames)
{
    struct Case {
        const char* name;
        DWORD style;
    } cases[] = {{"left", SS_LEFT},
                 {"centre", SS_CENTER},
                 {"right", SS_RIGHT},
                 {"centre image", SS_LEFT | SS_CENTERIMAGE}};
    const CRect start(50, 40, 350, 140);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COXStatic st;
        Subclass(st, "Short", c.style, start);
        st.SetFitToText(TRUE);
        CRect r = RectInHost(st.m_hWnd);
        EXPECT_LT(r.Width(), 100);
        EXPECT_LT(r.Height(), 30);
        EXPECT_GT(r.Width(), 10);
        switch (c.style & 0xFF) {
        case SS_CENTER:
            EXPECT_NEAR((r.left + r.right) / 2, start.CenterPoint().x, 1);
            break;
        case SS_RIGHT:
            EXPECT_EQ(r.right, start.right);
            break;
        default:
            EXPECT_EQ(r.left, start.left);
        }
        if (c.style & SS_CENTERIMAGE)
            EXPECT_NEAR((r.top + r.bottom) / 2, start.CenterPoint().y, 1);
        else
            EXPECT_EQ(r.top, start.top);

        // A longer text grows the window again from the same anchor.
        ::SendMessage(st.m_hWnd, WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>("A much longer text than before"));
        EXPECT_GT(RectInHost(st.m_hWnd).Width(), r.Width());
        st.DestroyWindow();
    }
}

// ---------------------------------------------------------------------------------------------
// Hyperlink

// A script the shell can open: it writes its arguments to a file beside it.
class HyperlinkTest : public StaticsTest
{
protected:
    void SetUp() override
    {
        StaticsTest::SetUp();
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "sonoria_statics\\";
        ::CreateDirectoryA(dir.c_str(), nullptr);
        probe = dir + "probe.cmd";
        output = dir + "probe_out.txt";
        std::ofstream(probe) << "@echo %*> \"" << output << "\"\r\n";
        ::DeleteFileA(output.c_str());
    }
    void TearDown() override
    {
        ::DeleteFileA(output.c_str());
        ::DeleteFileA(probe.c_str());
        ::RemoveDirectoryA(dir.c_str());
    }
    // Waits for the probe's output (the shell runs it in another process).
    std::string ProbeOutput()
    {
        PumpUntil([&] { return ::GetFileAttributesA(output.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  2000);
        std::string line;
        for (int i = 0; i < 200 && line.empty(); ++i) {
            std::ifstream in(output);
            std::getline(in, line);
            if (line.empty())
                ::Sleep(10);
        }
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        return line;
    }
    void ClickLink(COXStaticHyperLink& link)
    {
        link.UpdateWindow(); // the first paint makes the static notify its clicks
        Click(link.m_hWnd, 2, 2);
        PumpPending();
    }
    bool ShowsColour(COXStaticHyperLink& link, COLORREF c)
    {
        CRect r;
        link.GetClientRect(&r);
        Canvas canvas(r.Width(), r.Height());
        Print(link.m_hWnd, canvas);
        return canvas.Contains(c, r.Width(), r.Height());
    }

    std::string dir, probe, output;
};

// Collects the texts of the message box that shows up and closes it.
struct ErrorBox {
    std::string text;
    static void Answer(HWND hDialog, void* self)
    {
        ::EnumChildWindows(
            hDialog,
            [](HWND h, LPARAM p) -> BOOL {
                char cls[32], buf[512];
                ::GetClassNameA(h, cls, sizeof(cls));
                if (lstrcmpiA(cls, "Static") == 0 && ::GetWindowTextA(h, buf, sizeof(buf)) > 0)
                    reinterpret_cast<ErrorBox*>(p)->text += buf;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(self));
        ::PostMessage(hDialog, WM_COMMAND, IDOK, 0);
    }
};

TEST_F(HyperlinkTest, LooksLikeALinkAndShrinksToItsText)
{
    COXStaticHyperLink link;
    Subclass(link, "Home page", SS_LEFT, {20, 20, 300, 80});
    CRect r = RectInHost(link.m_hWnd);
    EXPECT_EQ(r.TopLeft(), CPoint(20, 20));
    EXPECT_LT(r.Width(), 150);
    EXPECT_LT(r.Height(), 30);

    LOGFONT lf{};
    ASSERT_NE(link.GetOwnFont()->m_hObject, nullptr);
    link.GetOwnFont()->GetLogFont(&lf);
    EXPECT_EQ(lf.lfUnderline, 1);

    EXPECT_TRUE(ShowsColour(link, RGB(0, 0, 255)));
    EXPECT_FALSE(ShowsColour(link, RGB(128, 0, 128)));

    // Hovering: the system asks the control for its cursor.
    HCURSOR expected =
        ::LoadCursor(::GetModuleHandle(nullptr), MAKEINTRESOURCE(IDC_OX_HAND_CURSOR));
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(link.GetLinkCursor(), expected);
    EXPECT_TRUE(::SendMessage(link.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), expected);
}

TEST_F(HyperlinkTest, EmptyFileOpensWindowTextAndIsEmptyAfterwards)
{
    COXStaticHyperLink link;
    Subclass(link, probe.c_str(), SS_LEFT, {0, 0, 390, 20});
    EXPECT_EQ(ToolTipText(link.GetToolTipHwnd(), link.m_hWnd), probe);

    link.SetLinkAction(COXHyperLinkAction::ID_HLACTION_OPEN, nullptr, "one two");
    ClickLink(link);
    EXPECT_EQ(ProbeOutput(), "one two");
    EXPECT_TRUE(link.IsVisited());
    EXPECT_TRUE(link.GetLinkAction().m_sFile.IsEmpty());
    EXPECT_EQ(link.GetLinkAction().m_nLastError, -1);
    EXPECT_NE(link.GetLinkAction().m_hInstance, nullptr);
    EXPECT_TRUE(ShowsColour(link, RGB(128, 0, 128)));
    EXPECT_FALSE(ShowsColour(link, RGB(0, 0, 255)));
}

// Points the machine's mail handler at the probe while it lives, so no real program starts.
class MailHandlerOverride
{
public:
    explicit MailHandlerOverride(const std::string& command)
    {
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                          &m_key, nullptr);
        char old[1024];
        DWORD size = sizeof(old);
        if (::RegQueryValueExA(m_key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                               &size) == ERROR_SUCCESS) {
            m_old.assign(old);
            m_had = true;
        }
        Set(command);
    }
    ~MailHandlerOverride()
    {
        if (m_had)
            Set(m_old);
        else
            ::RegDeleteValueA(m_key, nullptr);
        ::RegCloseKey(m_key);
    }
    bool Ok() const { return m_key != nullptr; }

private:
    static constexpr const char* kKey = "Software\\Classes\\mailto\\shell\\open\\command";
    void Set(const std::string& v)
    {
        ::RegSetValueExA(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                         static_cast<DWORD>(v.size() + 1));
    }
    HKEY m_key = nullptr;
    std::string m_old;
    bool m_had = false;
};

TEST_F(HyperlinkTest, EmailOpensMailtoAndKeepsNoPrefix)
{
    MailHandlerOverride handler("\"" + probe + "\" \"%1\"");
    ASSERT_TRUE(handler.Ok());

    COXStaticHyperLink link;
    Subclass(link, "Write to us", SS_LEFT, {0, 0, 300, 20});
    link.SetLinkAction(COXHyperLinkAction::ID_HLACTION_EMAIL, "someone@example.org");
    EXPECT_EQ(ToolTipText(link.GetToolTipHwnd(), link.m_hWnd), "someone@example.org");
    ClickLink(link);
    EXPECT_EQ(ProbeOutput(), "\"mailto:someone@example.org\"");
    EXPECT_STREQ(link.GetLinkAction().m_sFile, "someone@example.org");
    EXPECT_TRUE(link.IsVisited());
}

TEST_F(HyperlinkTest, FailuresShowTheirTextAndLeaveTheLinkUnvisited)
{
    const std::string unknown = dir + "data.sonoria-unknown";
    std::ofstream(unknown) << "x";

    // A window that answers every message with 0.
    CWnd refuser;
    ASSERT_TRUE(
        refuser.CreateEx(0, nullptr, "refuser", WS_CHILD, 0, 0, 1, 1, host->m_hWnd, nullptr));
    constexpr UINT kCallback = WM_APP + 7;

    struct Case {
        const char* name;
        int type;
        std::string file;
        HWND callback;
        int error;
        const char* text;
    } cases[] = {
        {"no association", COXHyperLinkAction::ID_HLACTION_OPEN, unknown, nullptr, 31,
         "There is no application associated\nwith the given filename extension."},
        {"missing file", COXHyperLinkAction::ID_HLACTION_OPEN, dir + "absent.cmd", nullptr, 2,
         "The specified file was not found."},
        {"callback answers 0", COXHyperLinkAction::ID_HLACTION_USERDEFINED, "x", refuser.m_hWnd, -3,
         "User defined action failed!"},
        {"unknown type", 9, "x", nullptr, -2, "Failed to execute unknown action!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COXStaticHyperLink link;
        Subclass(link, "Link", SS_LEFT, {0, 0, 300, 20});
        link.SetLinkAction(c.type, c.file.c_str(), nullptr, nullptr, SW_SHOWNORMAL, kCallback,
                           c.callback);
        ErrorBox box;
        {
            DialogAnswerer answerer(&ErrorBox::Answer, &box);
            ClickLink(link);
            EXPECT_TRUE(answerer.Answered());
        }
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(link.GetLinkAction().m_nLastError, c.error);
        EXPECT_EQ(link.GetLinkAction().m_hInstance, nullptr);
        EXPECT_FALSE(link.IsVisited());
        EXPECT_STREQ(link.GetLinkAction().m_sFile, c.file.c_str());
        link.DestroyWindow();
    }
    refuser.DestroyWindow();
    ::DeleteFileA(unknown.c_str());
}

TEST_F(HyperlinkTest, ErrorTextsCoverTheShellCodes)
{
    struct Case {
        int error;
        const char* text;
    } cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to coplete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred."},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE "
             "transactions\nwere being processed."},
        {32, "The specified dynamic-link library was not found."},
        {17, "Unknown error!"},
    };
    COXHyperLinkAction action;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        action.m_nLastError = c.error;
        EXPECT_STREQ(action.GetErrorText(), c.text);
    }
    // The type's name fills the failure format.
    action.m_nLastError = -3;
    action.m_nActionID = COXHyperLinkAction::ID_HLACTION_PRINT;
    EXPECT_STREQ(action.GetErrorText(), "Print action failed!");
}

TEST_F(HyperlinkTest, CallbackGetsTheActionAndNoneDoesNothing)
{
    struct Receiver : CWnd {
        COXHyperLinkAction* got = nullptr;
        LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
        {
            if (m == WM_APP + 9) {
                got = reinterpret_cast<COXHyperLinkAction*>(l);
                return 1;
            }
            return CWnd::WindowProc(m, w, l);
        }
    } receiver;
    ASSERT_TRUE(
        receiver.CreateEx(0, nullptr, "receiver", WS_CHILD, 0, 0, 1, 1, host->m_hWnd, nullptr));
    COXStaticHyperLink link;
    Subclass(link, "Callback", SS_LEFT, {0, 0, 300, 20});
    link.SetLinkAction(COXHyperLinkAction::ID_HLACTION_USERDEFINED, "target", nullptr, nullptr,
                       SW_SHOWNORMAL, WM_APP + 9, receiver.m_hWnd);
    ClickLink(link);
    ASSERT_NE(receiver.got, nullptr);
    EXPECT_STREQ(receiver.got->m_sFile, "target");
    EXPECT_TRUE(link.IsVisited());

    COXHyperLinkAction none;
    none.m_nActionID = COXHyperLinkAction::ID_HLACTION_NONE;
    EXPECT_TRUE(none.Execute(TRUE));
    EXPECT_EQ(none.m_nLastError, -1);
    receiver.DestroyWindow();
}

// Counts the clicks that reach its own message map (after any reflection).
class ClickCountingParent : public CWnd
{
public:
    int clicks = 0;
    void OnLinkClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ClickCountingParent, CWnd)
ON_CONTROL(STN_CLICKED, 100, OnLinkClicked)
END_MESSAGE_MAP()

TEST_F(HyperlinkTest, ParentStillSeesTheClickAfterTheLinkFollowedIt)
{
    ClickCountingParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_CHILD | WS_VISIBLE, 0, 0, 300, 40,
                                host->m_hWnd, nullptr));
    HWND h =
        ::CreateWindowA("STATIC", "Nothing", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, parent.m_hWnd,
                        reinterpret_cast<HMENU>(100), ::GetModuleHandle(nullptr), nullptr);
    ::SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    COXStaticHyperLink link;
    ASSERT_TRUE(link.SubclassWindow(h));
    link.SetLinkAction(COXHyperLinkAction::ID_HLACTION_NONE);
    ClickLink(link);
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(parent.clicks, 1);
    link.DestroyWindow();
    parent.DestroyWindow();
}

TEST_F(HyperlinkTest, RepeatedCreateAndDestroyLeaksNoGdiObjects)
{
    auto cycle = [&] {
        COXStaticHyperLink link;
        Subclass(link, "Leak check", SS_LEFT, {0, 0, 200, 20});
        CRect r;
        link.GetClientRect(&r);
        Canvas canvas(std::max(1, int(r.Width())), std::max(1, int(r.Height())));
        Print(link.m_hWnd, canvas);
        COXSeparator sep;
        sep.SetVertOriented(TRUE);
        Subclass(sep, "Side", SS_CENTER, {0, 30, 20, 130});
        Canvas c2(20, 100);
        ::SendMessage(sep.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c2.dc), PRF_CLIENT);
        COXStatic grad;
        grad.SetBkFill(2);
        ASSERT_TRUE(
            grad.Create("Made", WS_CHILD | WS_VISIBLE, CRect(0, 150, 200, 170), host.get()));
        Print(grad.m_hWnd, canvas);
    };
    cycle();
    DWORD before = GdiObjectCount();
    for (int i = 0; i < 50; ++i)
        cycle();
    EXPECT_LE(GdiObjectCount(), before + 2);
}

} // namespace
