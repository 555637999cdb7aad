// Drop edit and browse edits with real mouse and keys: the button held, moved off and back and
// released (the 227 timer), the hot key in a dialog, read-only controls, the narrow control,
// the file and folder edits opening their dialogs and taking the result; and the toolkit's
// string blocks that several controls share, loaded from one program that links them all.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>

#include <cstdlib>
#include <string>

#include "tests/app/dialog_script.h"
#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/scratch_folders.h"
#include "toolkit/controls/browse_edit/browse_edit.h"
#include "toolkit/controls/editlist/editlist_res.h"
#include "toolkit/controls/static/static_res.h"
#include "toolkit/frames/sizebar/size_bar_res.h"

namespace
{

constexpr char kCompany[] = "SonoriaDropEditTest";
constexpr UINT kEditId = 100;

class CountingDropEdit : public COXDropEdit<COXEdit>
{
public:
    int drops = 0;
    int inits = 0;
    void OnDropButton() override
    {
        ++drops;
        COXDropEdit<COXEdit>::OnDropButton();
    }
    BOOL OnInitDropEdit() override
    {
        ++inits;
        return TRUE;
    }
};

std::string WindowText(HWND hWnd)
{
    char text[1024] = "";
    ::GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

// The button's middle, on the screen.
template <class TEdit> POINT ButtonCenter(const TEdit& edit)
{
    CRect rc = edit.GetButtonRect();
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(edit.m_hWnd, &pt);
    return pt;
}

// The top-left pixel of the button's frame: the highlight colour released, the shadow pressed.
template <class TEdit> COLORREF ButtonCornerPixel(const TEdit& edit)
{
    CRect rcWindow, rcClient;
    ::GetWindowRect(edit.m_hWnd, &rcWindow);
    ::GetClientRect(edit.m_hWnd, &rcClient);
    ::MapWindowPoints(edit.m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcClient), 2);
    CRect rc = edit.GetButtonRect();
    rc.OffsetRect(rcClient.left - rcWindow.left, rcClient.top - rcWindow.top);
    HDC dc = ::GetWindowDC(edit.m_hWnd);
    const COLORREF clr = ::GetPixel(dc, rc.left, rc.top);
    ::ReleaseDC(edit.m_hWnd, dc);
    return clr;
}

// A real click at a screen point; the dialog it opens runs its own loop inside the pumps.
void ClickButtonNow(POINT screen)
{
    InputMouseMove(screen);
    PumpFor(60);
    InputMouseButton(true);
    PumpFor(60);
    InputMouseButton(false);
}

class DropEditTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ::OleInitialize(nullptr); }
    static void TearDownTestSuite() { ::OleUninitialize(); }
    void SetUp() override
    {
        AfxGetApp()->SetRegistryKey(kCompany);
        ::SetForegroundWindow(SharedTopWindow());
        PumpPending();
    }
    void TearDown() override
    {
        PumpPending();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
    }
    // A created control (the path where the drop edit sets itself up after WM_CREATE).
    template <class TEdit> void CreateIn(TEdit& edit, int x, int width)
    {
        ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, x, 20,
                                  width, 24, host_.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId))));
        PumpFor(50);
    }

    TestHostWnd host_{500, 200};
};

} // namespace

// Held with the mouse: pressed while over the button, released-looking off it (the timer
// follows the pointer), the action only on a release over the button; a release elsewhere is
// found by the timer and runs nothing.
TEST_F(DropEditTest, ButtonHeldWithTheMouseFollowsThePointerAndActsOnlyOnReleaseOverIt)
{
    CountingDropEdit edit;
    CreateIn(edit, 20, 200);
    EXPECT_EQ(edit.inits, 1);
    const POINT onButton = ButtonCenter(edit);
    POINT offButton{20, 100};
    ::ClientToScreen(host_.m_hWnd, &offButton);
    const COLORREF clrLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(ButtonCornerPixel(edit), clrLight);

    InputMouseMove(onButton);
    PumpFor(80);
    InputMouseButton(true);
    PumpFor(120);
    EXPECT_TRUE(edit.IsTracking());
    EXPECT_TRUE(edit.IsShownPressed());
    EXPECT_EQ(ButtonCornerPixel(edit), clrShadow);

    InputMouseMove(offButton);
    PumpFor(2 * COXDropEdit<COXEdit>::kTrackTimerMs + 100);
    EXPECT_TRUE(edit.IsTracking());
    EXPECT_FALSE(edit.IsShownPressed()) << "the timer follows the pointer off the button";
    EXPECT_EQ(ButtonCornerPixel(edit), clrLight);

    InputMouseMove(onButton);
    PumpFor(2 * COXDropEdit<COXEdit>::kTrackTimerMs + 100);
    EXPECT_TRUE(edit.IsShownPressed());
    EXPECT_EQ(ButtonCornerPixel(edit), clrShadow);
    EXPECT_EQ(edit.drops, 0);

    InputMouseButton(false);
    PumpFor(120);
    EXPECT_EQ(edit.drops, 1);
    EXPECT_FALSE(edit.IsTracking());
    EXPECT_EQ(ButtonCornerPixel(edit), clrLight);

    // Pressed on the button, released off it.
    InputMouseMove(onButton);
    PumpFor(80);
    InputMouseButton(true);
    PumpFor(120);
    ASSERT_TRUE(edit.IsTracking());
    InputMouseMove(offButton);
    PumpFor(60);
    InputMouseButton(false);
    PumpFor(2 * COXDropEdit<COXEdit>::kTrackTimerMs + 100);
    EXPECT_FALSE(edit.IsTracking()) << "the timer found the button released elsewhere";
    EXPECT_EQ(edit.drops, 1);
    EXPECT_EQ(ButtonCornerPixel(edit), clrLight);
}

// The button takes its width out of the client area on its side, for a created and for a
// subclassed control; a control narrower than the button has an empty client area that still
// takes typing; a read-only control ignores the button and the hot key.
TEST_F(DropEditTest, ButtonTakesItsWidthAndReadOnlyOrNarrowControlsBehave)
{
    const int width = ::GetSystemMetrics(SM_CXHTHUMB);
    CEdit plain;
    ASSERT_TRUE(plain.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 20, 60, 200,
                               24, host_.m_hWnd, nullptr));
    CRect rcPlain;
    plain.GetClientRect(&rcPlain);

    CountingDropEdit created;
    CreateIn(created, 20, 200);
    CRect rc;
    created.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), rcPlain.Width() - width);
    EXPECT_EQ(created.GetButtonRect(), CRect(rc.right, 0, rc.right + width, rc.bottom));

    // Subclassing an existing edit: set up at once, the frame recalculated at the next message.
    HWND hOther = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 240, 20,
                                    200, 24, host_.m_hWnd, nullptr, nullptr, nullptr);
    CountingDropEdit subclassed;
    subclassed.SetButtonAlignment(TRUE);
    ASSERT_TRUE(subclassed.SubclassWindow(hOther));
    EXPECT_EQ(subclassed.inits, 1);
    PumpFor(50);
    subclassed.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), rcPlain.Width() - width);
    EXPECT_EQ(subclassed.GetButtonRect(), CRect(-width, 0, 0, rc.bottom));
    EXPECT_EQ(subclassed.inits, 1);

    // Read-only: the button and Alt+Enter do nothing.
    created.SetReadOnly(TRUE);
    InputMouseMove(ButtonCenter(created));
    PumpFor(60);
    InputMouseButton(true);
    PumpFor(100);
    EXPECT_FALSE(created.IsTracking());
    InputMouseButton(false);
    PumpFor(100);
    created.SetFocus();
    SendKeys({VK_MENU, VK_RETURN});
    PumpFor(100);
    EXPECT_EQ(created.drops, 0);
    created.SetReadOnly(FALSE);
    SendKeys({VK_MENU, VK_RETURN});
    PumpFor(100);
    EXPECT_EQ(created.drops, 1) << "Alt+Enter is the hot key";

    CountingDropEdit narrow;
    ASSERT_TRUE(narrow.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 20, 120,
                                width - 2, 24, host_.m_hWnd, nullptr));
    PumpFor(50);
    narrow.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), 0);
    narrow.SetFocus();
    TypeKeys("ab");
    EXPECT_EQ(WindowText(narrow.m_hWnd), "ab");
}

// In a dialog, Alt+Enter runs the button's action and Enter alone stays the default button's.
TEST_F(DropEditTest, AltEnterInADialogIsTheButtonEnterIsTheDefaultButton)
{
    class HostDialog : public CDialog
    {
    public:
        CountingDropEdit edit;
        int oks = 0;
        BOOL OnInitDialog() override
        {
            CDialog::OnInitDialog();
            edit.SubclassDlgItem(kEditId, this);
            edit.SetFocus();
            return FALSE;
        }
        void OnOK() override { ++oks; }
    } dlg;
    DialogTemplate tmpl("Drop edit host", 200, 60);
    tmpl.AddControl(0x0081, kEditId, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 7, 7, 150, 14);
    tmpl.AddControl(0x0080, IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 7, 30, 50,
                    14);
    ASSERT_TRUE(dlg.InitModalIndirect(tmpl.Get()));
    int dropsAfterAltEnter = -1, oksAfterAltEnter = -1;
    const DWORD uiThread = ::GetCurrentThreadId();
    dialog_script::RunWithScript([&] { return dlg.DoModal(); },
                                 [&] {
                                     HWND h = dialog_script::WaitForDialog(uiThread,
                                                                           "Drop edit host");
                                     ASSERT_NE(h, nullptr);
                                     ::SetForegroundWindow(h);
                                     ::Sleep(200);
                                     dialog_script::Key(VK_RETURN, false, false, true);
                                     ::Sleep(200);
                                     dropsAfterAltEnter = dlg.edit.drops;
                                     oksAfterAltEnter = dlg.oks;
                                     dialog_script::Key(VK_RETURN);
                                     ::Sleep(200);
                                     ::PostMessage(h, WM_COMMAND, IDCANCEL, 0);
                                 });
    EXPECT_EQ(dropsAfterAltEnter, 1);
    EXPECT_EQ(oksAfterAltEnter, 0);
    EXPECT_EQ(dlg.edit.drops, 1);
    EXPECT_EQ(dlg.oks, 1);
}

// The file edit: its dialog from the button; a cancel keeps the text, a chosen file replaces
// all of it with the full path; the next opening starts from that file, not from the text.
// Alt+Enter opens the dialog as well.
TEST_F(DropEditTest, FileEditTakesTheChosenFileAndItsDialogRemembersIt)
{
    const std::string root = scratch::Make("dropedit");
    const std::string chosen = root + "\\Alpha\\note.txt";
    COXBrowseFileEdit edit;
    CreateIn(edit, 20, 300);
    edit.SetPath("C:\\typed\\name.wav");
    EXPECT_EQ(edit.GetCaption(), "Browse for directory");

    struct Answer {
        std::string typed;         // empty: cancel
        std::string initialName;   // the dialog's file-name box when it opened
        bool busy = false;
        COXBrowseFileEdit* edit;
    };
    auto answer = [](HWND hDlg, void* p) {
        auto* a = static_cast<Answer*>(p);
        a->busy = a->edit->IsBusy() != FALSE;
        HWND hName = ::GetDlgItem(hDlg, 0x47C); // the file-name combo
        if (hName == nullptr)
            hName = ::GetDlgItem(hDlg, 0x480);
        a->initialName = WindowText(hName);
        ::SetForegroundWindow(hDlg);
        ::Sleep(150);
        if (a->typed.empty()) {
            dialog_script::Key(VK_ESCAPE);
            return;
        }
        dialog_script::Retype(a->typed.c_str());
        dialog_script::Key(VK_RETURN);
    };

    Answer cancel{"", "", false, &edit};
    {
        DialogAnswerer answerer(answer, &cancel);
        ClickButtonNow(ButtonCenter(edit));
        PumpUntil([&] { return answerer.Answered() && !edit.IsBusy(); }, 600);
        EXPECT_TRUE(answerer.Answered());
    }
    EXPECT_TRUE(cancel.busy);
    EXPECT_EQ(cancel.initialName, "") << "the edit's text is not handed to the dialog";
    CString path;
    EXPECT_EQ(std::string(edit.GetPath(path)), "C:\\typed\\name.wav");

    Answer choose{chosen, "", false, &edit};
    {
        DialogAnswerer answerer(answer, &choose);
        ClickButtonNow(ButtonCenter(edit));
        PumpUntil([&] { return answerer.Answered() && !edit.IsBusy(); }, 600);
    }
    EXPECT_EQ(std::string(edit.GetPath(path)), chosen);
    EXPECT_EQ(WindowText(edit.m_hWnd), chosen);
    EXPECT_EQ(::GetFocus(), edit.m_hWnd);

    edit.SetPath("other.flac");
    Answer again{"", "", false, &edit};
    {
        DialogAnswerer answerer(answer, &again);
        edit.SetFocus();
        SendKeys({VK_MENU, VK_RETURN});
        PumpUntil([&] { return answerer.Answered() && !edit.IsBusy(); }, 600);
        EXPECT_TRUE(answerer.Answered()) << "Alt+Enter opens the dialog";
    }
    EXPECT_NE(again.initialName.find("note.txt"), std::string::npos)
        << "the dialog starts from the file chosen last: " << again.initialName;
    EXPECT_EQ(std::string(edit.GetPath(path)), "other.flac");
    scratch::RemoveTree(root);
}

// The folder edit: the folder picker opens on the edit's text with the edit's caption; OK takes
// the typed folder, Cancel keeps the text.
TEST_F(DropEditTest, FolderEditOpensThePickerOnItsTextAndTakesTheChosenFolder)
{
    const std::string root = scratch::Make("dropdir");
    COXBaseBrowseDirEdit<COXEdit> edit(IDS_OX_BROWSEDIRCAPTION);
    CreateIn(edit, 20, 300);
    edit.SetPath(root.c_str());

    struct Answer {
        std::string typed; // empty: cancel
        std::string caption;
        std::string combo;
    };
    auto answer = [](HWND hDlg, void* p) {
        auto* a = static_cast<Answer*>(p);
        a->caption = WindowText(hDlg);
        a->combo = WindowText(::GetDlgItem(hDlg, IDC_OX_COMBO_FOLDER));
        ::SetForegroundWindow(hDlg);
        ::Sleep(150);
        if (a->typed.empty()) {
            dialog_script::ClickControl(hDlg, IDCANCEL);
            return;
        }
        ::SetFocus(nullptr);
        dialog_script::ClickControl(hDlg, IDC_OX_COMBO_FOLDER);
        dialog_script::Retype(a->typed.c_str());
        dialog_script::ClickControl(hDlg, IDOK);
    };

    Answer cancel{};
    {
        DialogAnswerer answerer(answer, &cancel);
        ClickButtonNow(ButtonCenter(edit));
        PumpUntil([&] { return answerer.Answered() && !edit.IsBusy(); }, 600);
        EXPECT_TRUE(answerer.Answered());
    }
    EXPECT_EQ(cancel.caption, "Browse for directory [ Root Folder - Desktop ]");
    EXPECT_EQ(cancel.combo, root);
    EXPECT_EQ(WindowText(edit.m_hWnd), root);

    const std::string typed = root + "\\Beta";
    Answer choose{typed, "", ""};
    {
        DialogAnswerer answerer(answer, &choose);
        ClickButtonNow(ButtonCenter(edit));
        PumpUntil([&] { return answerer.Answered() && !edit.IsBusy(); }, 600);
    }
    CString path;
    EXPECT_EQ(std::string(edit.GetPath(path)), typed);
    EXPECT_EQ(::GetFocus(), edit.m_hWnd);
    scratch::RemoveTree(root);
}

// With SONORIA_SHOWCASE_MS set: a file edit and a folder edit, the file edit's button held down.
TEST_F(DropEditTest, Showcase)
{
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    if (ms == nullptr)
        GTEST_SKIP() << "set SONORIA_SHOWCASE_MS";
    ::MoveWindow(SharedTopWindow(), 40, 40, 560, 260, TRUE);
    COXBrowseFileEdit file;
    CreateIn(file, 20, 360);
    file.SetPath("C:\\Music\\Range Album\\multitrack.flac");
    COXBaseBrowseDirEdit<COXEdit> folder;
    ASSERT_TRUE(folder.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "C:\\Music\\Range Album",
                                WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 20, 60, 360, 24,
                                host_.m_hWnd, nullptr));
    PumpFor(100);
    InputMouseMove(ButtonCenter(file));
    PumpFor(80);
    InputMouseButton(true);
    PumpFor(static_cast<DWORD>(std::atoi(ms)));
    POINT away{20, 150};
    ::ClientToScreen(host_.m_hWnd, &away);
    InputMouseMove(away);
    InputMouseButton(false);
    PumpFor(500);
}

// A template base that is no edit is refused.
TEST(DropEdit, ConstructorRefusesABaseThatIsNoEdit)
{
    bool thrown = false;
    try {
        COXDropEdit<CStatic> notAnEdit;
    } catch (CException* e) {
        thrown = e->IsKindOf(RUNTIME_CLASS(CNotSupportedException)) != FALSE;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

// Controls that fill the same block of 16 string ids share one resource: with the browse edit,
// folder picker, statics, edit list and sizable bar in one program, every text loads.
TEST(DropEdit, SharedToolkitStringBlocksLoadInOneProgram)
{
    struct Case {
        UINT id;
        const char* text;
    };
    constexpr Case kCases[] = {
        {IDS_OX_BROWSEDIRCAPTION, "Browse for directory"},
        {IDS_OX_FOLDERPICKERTITLE, "Picker Folder"},
        {IDS_OX_HLNONE, "None"},
        {IDS_OX_HLUSERDEFINED, "User defined"},
        {IDS_OX_FOLDERPICKER_TREETEXT, "Shell Namespace"},
        {ID_OX_EDITLIST_NEW, "Create a new item\nNew"},
        {IDS_OX_EDITLIST_DUPLICATE,
         "This item is already part of the list, please use another name"},
        {ID_OX_ALLOWDOCKING, "Allow docking"},
        {ID_OX_HIDEBAR, "Hide"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.id);
        CString text;
        EXPECT_TRUE(text.LoadString(c.id));
        EXPECT_EQ(std::string(text), c.text);
    }
}
