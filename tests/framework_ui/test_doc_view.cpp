// The application skeleton: single-document order, command routing through view, document,
// frame and application, menu and idle command updates, accelerators, captions, the profile,
// message boxes and the command line. Keys are typed through the input queue.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/ui.h"
#include "tests/framework_ui/doc_view_res.h"
#include "tests/framework_ui/ui_test_support.h"

namespace {

std::vector<std::string> g_events;
std::string g_lastHandler;

void Log(const std::string& event)
{
    g_events.push_back(event);
}

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("DocViewTest") {}
    // The tests run the idle loop more than once: nothing is torn down at its end.
    int ExitInstance() override { return 0; }
    void OnAppCommand() { g_lastHandler = "app"; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_TEST_APPCMD, OnAppCommand)
END_MESSAGE_MAP()

TestApp theApp;

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
public:
    TestDoc() { Log("doc"); }
    ~TestDoc() override { Log("~doc"); }
    BOOL OnNewDocument() override
    {
        Log("new");
        return CDocument::OnNewDocument();
    }
    BOOL SaveModified() override
    {
        Log("save");
        return CDocument::SaveModified();
    }
    void OnDocCommand() { g_lastHandler = "doc"; }
    // The stored form is the text itself; a failing store has written part of it first.
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.Write(m_text.data(), static_cast<UINT>(m_text.size()));
            if (m_failStore)
                AfxThrowFileException(CFileException::diskFull);
        }
    }
    std::string m_text;
    bool m_failStore = false;

    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
ON_COMMAND(ID_TEST_DOCCMD, OnDocCommand)
END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
public:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        // The view exists before anything the frame adds.
        Log(GetDlgItem(AFX_IDW_PANE_FIRST) != nullptr ? "frame(view)" : "frame");
        return 0;
    }
    void OnFrameCommand() { g_lastHandler = "frame"; }
    void OnSharedCommand() { g_lastHandler = "frame"; }

    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND(ID_TEST_FRAMECMD, OnFrameCommand)
ON_COMMAND(ID_TEST_SHAREDCMD, OnSharedCommand)
END_MESSAGE_MAP()

class TestView : public CFormView {
    DECLARE_DYNCREATE(TestView)
public:
    TestView() : CFormView(IDD_TESTFORM) {}
    CEdit m_edit;
    CButton m_button;
    int m_idleUpdates = 0;
    BOOL m_checkCommand = TRUE;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_TESTEDIT, m_edit);
        DDX_Control(pDX, IDC_TESTBUTTON, m_button);
    }
    void OnInitialUpdate() override
    {
        CFormView::OnInitialUpdate();
        Log(AfxGetMainWnd() == GetParentFrame() ? "initial(main)" : "initial");
    }
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        Log("view");
        return CFormView::OnCreate(lpcs);
    }
    // The form's button shows the state of the view command, as a control bar would.
    LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM)
    {
        ++m_idleUpdates;
        CCmdUI state;
        state.m_nID = ID_TEST_VIEWCMD;
        state.m_pOther = &m_button;
        state.DoUpdate(GetParentFrame(), TRUE);
        return 0;
    }
    void OnViewCommand() { g_lastHandler = "view"; }
    void OnSharedCommand() { g_lastHandler = "view"; }
    void OnUpdateViewCommand(CCmdUI* pCmdUI)
    {
        pCmdUI->SetCheck(m_checkCommand ? 1 : 0);
        pCmdUI->SetText("View command (checked by the view)");
    }

    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestView, CFormView)
BEGIN_MESSAGE_MAP(TestView, CFormView)
ON_WM_CREATE()
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_COMMAND(ID_TEST_VIEWCMD, OnViewCommand)
ON_COMMAND(ID_TEST_SHAREDCMD, OnSharedCommand)
ON_UPDATE_COMMAND_UI(ID_TEST_VIEWCMD, OnUpdateViewCommand)
END_MESSAGE_MAP()

// One application with one template for the whole program, as in the real one.
class DocViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        theApp.AddDocTemplate(new CSingleDocTemplate(IDR_TESTDOC, RUNTIME_CLASS(TestDoc),
                                                     RUNTIME_CLASS(TestFrame),
                                                     RUNTIME_CLASS(TestView)));
    }
    static CFrameWnd* Frame() { return dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd); }
    static TestView* View() { return dynamic_cast<TestView*>(Frame()->GetActiveView()); }
    // Opens the first document once, through the shell command of a plain start.
    static void EnsureOpen()
    {
        if (theApp.m_pMainWnd != nullptr)
            return;
        CCommandLineInfo info;
        ASSERT_TRUE(theApp.ProcessShellCommand(info));
    }
    // Gives the view the keyboard focus, so typed keys reach it.
    static void FocusView()
    {
        ::SetForegroundWindow(Frame()->m_hWnd);
        ::SetFocus(View()->m_edit.m_hWnd);
        PumpPending();
    }
    static void Type(std::initializer_list<WORD> keys)
    {
        SendKeys(keys);
        PumpUntil([] { return false; }, 10);
    }
    // Runs the application's own loop until its queue has been idle for a moment.
    static void RunIdle()
    {
        ::SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(nullptr, id);
            ::PostQuitMessage(0);
        });
        theApp.Run();
    }
};

TEST_F(DocViewTest, FirstNewDocumentBuildsDocumentFrameViewThenUpdatesAsMainWindow)
{
    g_events.clear();
    EnsureOpen();
    const std::vector<std::string> first = {"doc", "view", "frame(view)", "new", "initial(main)"};
    EXPECT_EQ(g_events, first);
    CDocument* pDoc = Frame()->GetActiveDocument();
    CFrameWnd* pFrame = Frame();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_NE(View()->m_edit.m_hWnd, nullptr) << "DDX_Control bound the edit";

    // Ctrl+N typed into the form: the same document and frame are reused.
    g_events.clear();
    FocusView();
    Type({VK_CONTROL, 'N'});
    const std::vector<std::string> again = {"save", "new", "initial(main)"};
    EXPECT_EQ(g_events, again);
    EXPECT_EQ(Frame(), pFrame);
    EXPECT_EQ(Frame()->GetActiveDocument(), pDoc);
}

TEST_F(DocViewTest, CommandsRouteViewDocumentFrameApplication)
{
    EnsureOpen();
    struct Case {
        WORD key;
        const char* handler;
    };
    constexpr Case kCases[] = {
        {VK_F5, "view"}, {VK_F6, "doc"}, {VK_F7, "frame"}, {VK_F8, "app"},
        {VK_F9, "view"}, // the view comes before the frame that handles it too
    };
    FocusView();
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.handler);
        g_lastHandler.clear();
        Type({c.key});
        EXPECT_EQ(g_lastHandler, c.handler);
    }
}

TEST_F(DocViewTest, OpeningTheMenuUpdatesItsItems)
{
    EnsureOpen();
    FocusView();
    // The menu opens by Alt+T; the answerer closes it once it shows.
    DialogAnswerer closer([](HWND, void*) { SendKeys({VK_ESCAPE}); SendKeys({VK_ESCAPE}); },
                          nullptr, "#32768");
    Type({VK_MENU, 'T'});
    PumpUntil([&] { return closer.Answered(); }, 400);
    ASSERT_TRUE(closer.Answered());
    PumpPending();

    HMENU popup = ::GetSubMenu(::GetMenu(Frame()->m_hWnd), 0);
    struct Case {
        UINT id;
        bool enabled;
        bool checked;
    };
    constexpr Case kCases[] = {
        {ID_FILE_NEW, true, false},       {ID_TEST_VIEWCMD, true, true},
        {ID_TEST_DOCCMD, true, false},    {ID_TEST_FRAMECMD, true, false},
        {ID_TEST_APPCMD, true, false},    {ID_TEST_NOHANDLER, false, false},
        {ID_APP_EXIT, true, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.id);
        UINT state = ::GetMenuState(popup, c.id, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_GRAYED) == 0, c.enabled);
        EXPECT_EQ((state & MF_CHECKED) != 0, c.checked);
    }
    char text[64] = {};
    ::GetMenuString(popup, ID_TEST_VIEWCMD, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "View command (checked by the view)");
}

TEST_F(DocViewTest, IdleTimeUpdatesControlsAndTitle)
{
    EnsureOpen();
    TestView* pView = View();
    pView->m_checkCommand = TRUE;
    RunIdle();
    EXPECT_GT(pView->m_idleUpdates, 0);
    EXPECT_EQ(pView->m_button.GetCheck(), BST_CHECKED);
    pView->m_checkCommand = FALSE;
    RunIdle();
    EXPECT_EQ(pView->m_button.GetCheck(), BST_UNCHECKED);

    // The caption follows the document's title: "title - application title".
    Frame()->GetActiveDocument()->SetTitle("Album");
    char caption[64] = {};
    ::GetWindowText(Frame()->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Album - Doc Test");
}

TEST_F(DocViewTest, MessageBoxFromStringTableCarriesTheApplicationName)
{
    struct Seen {
        char text[128] = {};
        char title[64] = {};
    } seen;
    DialogAnswerer answer(
        [](HWND hDlg, void* ctx) {
            auto* s = static_cast<Seen*>(ctx);
            ::GetWindowText(hDlg, s->title, sizeof(s->title));
            // The text is the box's static control (id 0xFFFF).
            ::GetDlgItemText(hDlg, 0xFFFF, s->text, sizeof(s->text));
            ::PostMessage(hDlg, WM_COMMAND, IDNO, 0);
        },
        &seen);
    int result = AfxMessageBox(AFX_IDP_ASK_TO_SAVE, MB_YESNO);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(result, IDNO);
    EXPECT_STREQ(seen.title, "DocViewTest");
    EXPECT_STREQ(seen.text, "Save changes to %s?");
}

// A save that fails keeps the previous file whole and leaves nothing beside it.
TEST_F(DocViewTest, FailedSaveKeepsThePreviousFile)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof(dir), dir);
    const std::string path = std::string(dir) + "docview-save.txt";
    auto contents = [&path]() {
        std::string text;
        if (FILE* f = fopen(path.c_str(), "rb")) {
            char buf[64];
            size_t n;
            while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
                text.append(buf, n);
            fclose(f);
        }
        return text;
    };
    TestDoc doc;
    doc.m_text = "first version";
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    EXPECT_EQ(contents(), "first version");

    doc.m_text = "second";
    doc.m_failStore = true;
    DialogAnswerer answer([](HWND hDlg, void*) { ::PostMessage(hDlg, WM_COMMAND, IDOK, 0); },
                          nullptr);
    EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(contents(), "first version");
    EXPECT_EQ(::GetFileAttributesA((path + ".partial").c_str()), INVALID_FILE_ATTRIBUTES);

    doc.m_failStore = false;
    doc.m_text = "third, longer than the first";
    EXPECT_TRUE(doc.OnSaveDocument(path.c_str()));
    EXPECT_EQ(contents(), "third, longer than the first");
    ::DeleteFileA(path.c_str());
}

TEST_F(DocViewTest, ProfileRoundTripsInRegistryAndIniFile)
{
    for (bool registry : {true, false}) {
        SCOPED_TRACE(registry ? "registry" : "ini");
        TestApp& app = theApp;
        if (registry) {
            app.SetRegistryKey("SonoriaTestCompany");
        } else {
            app.m_pszRegistryKey = nullptr;
            app.m_pszProfileName = "sonoria_docview_test.ini";
        }
        EXPECT_TRUE(app.WriteProfileInt("Section", "Number", -42));
        EXPECT_TRUE(app.WriteProfileString("Section", "Text", "hello world"));
        BYTE data[] = {0x00, 0x7F, 0x80, 0xFF};
        EXPECT_TRUE(app.WriteProfileBinary("Section", "Blob", data, sizeof(data)));

        EXPECT_EQ(static_cast<int>(app.GetProfileInt("Section", "Number", 5)), -42);
        EXPECT_EQ(app.GetProfileInt("Section", "Missing", 5), 5u);
        EXPECT_STREQ(app.GetProfileString("Section", "Text"), "hello world");
        EXPECT_STREQ(app.GetProfileString("Section", "Missing", "dflt"), "dflt");
        LPBYTE read = nullptr;
        UINT n = 0;
        ASSERT_TRUE(app.GetProfileBinary("Section", "Blob", &read, &n));
        ASSERT_EQ(n, sizeof(data));
        EXPECT_EQ(memcmp(read, data, n), 0);
        delete[] read;

        EXPECT_TRUE(app.WriteProfileString("Section", "Text", nullptr));
        EXPECT_STREQ(app.GetProfileString("Section", "Text", "gone"), "gone");
        EXPECT_TRUE(app.WriteProfileString("Section", nullptr, nullptr));
        EXPECT_EQ(app.GetProfileInt("Section", "Number", 7), 7u);

        if (registry) {
            // Where the values live: HKCU\Software\<company>\<application>\<section>.
            EXPECT_TRUE(app.WriteProfileInt("Bars", "Count", 3));
            DWORD value = 0, size = sizeof(value);
            EXPECT_EQ(::RegGetValue(HKEY_CURRENT_USER,
                                    "Software\\SonoriaTestCompany\\DocViewTest\\Bars", "Count",
                                    RRF_RT_REG_DWORD, nullptr, &value, &size),
                      ERROR_SUCCESS);
            EXPECT_EQ(value, 3u);
            ::RegDeleteTree(HKEY_CURRENT_USER, "Software\\SonoriaTestCompany");
        }
    }
}

TEST_F(DocViewTest, ClosingTheMainFrameClosesTheDocument)
{
    EnsureOpen();
    g_events.clear();
    Frame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    const std::vector<std::string> closed = {"save", "~doc"};
    EXPECT_EQ(g_events, closed);
    MSG quit;
    EXPECT_TRUE(::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "losing the main window ends the loop";
}

} // namespace
