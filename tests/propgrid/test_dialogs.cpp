// The "..." buttons that open the system's dialogs: each answer reaches the host.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>

#include "tests/propgrid/grid_fixture.h"

namespace {

void PressOk(HWND hDialog, void*)
{
    ::PostMessage(hDialog, WM_COMMAND, IDOK, 0);
}

// Types a path into the file dialog's name box, then OK.
void AnswerFile(HWND hDialog, void* path)
{
    HWND name = ::GetDlgItem(hDialog, 0x47C); // the file name combo box of the Explorer style
    if (name == nullptr)
        name = ::GetDlgItem(hDialog, 0x480);
    ::SendMessage(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
    ::PostMessage(hDialog, WM_COMMAND, IDOK, 0);
}

// The text of the tree's selected item, or "" when nothing is selected.
CString SelectedTreeText(HWND hTree)
{
    TVITEMA item = {};
    char text[MAX_PATH] = "";
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(
        ::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (item.hItem == nullptr || !::SendMessage(hTree, TVM_GETITEMA, 0,
                                                reinterpret_cast<LPARAM>(&item)))
        return CString();
    return text;
}

// Selects a folder in the shell's browser (BFFM_SETSELECTION with a path), waits until its
// tree shows the folder selected (the tree fills in as it goes), then OK.
void AnswerFolder(HWND hDialog, void* path)
{
    ::SendMessage(hDialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
    const CString strPath = static_cast<const char*>(path);
    const CString strName = strPath.Mid(strPath.ReverseFind('\\') + 1);
    HWND hTree = ::FindWindowExA(hDialog, nullptr, "SysTreeView32", nullptr);
    for (int tick = 0; tick < 1000 && hTree != nullptr &&
                       SelectedTreeText(hTree).CompareNoCase(strName) != 0;
         ++tick)
        ::Sleep(10);
    ::PostMessage(hDialog, WM_COMMAND, IDOK, 0);
}

// Picks the first item of a popup menu with the keyboard.
void PickFirstMenuItem(HWND hMenuWnd, void*)
{
    ::PostMessage(hMenuWnd, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessage(hMenuWnd, WM_KEYDOWN, VK_RETURN, 0);
}

class DialogTest : public GridTest {
protected:
    // Opens the row's editor and presses its "..." button with a dialog answerer running.
    void PressButton(const char* row, DialogAnswerer::Answer answer, void* context,
                     const char* windowClass = "#32770")
    {
        ClickRow(row);
        auto* p = static_cast<EIconTextButtonProperty*>(Row(row));
        ASSERT_NE(p->GetButton(), nullptr);
        DialogAnswerer answerer(answer, context, windowClass);
        p->GetButton()->SendMessage(BM_CLICK);
        PumpPending();
        EXPECT_TRUE(answerer.Answered());
    }
};

TEST_F(DialogTest, ComboMenuChoiceIsWritten)
{
    PressButton("Quality", &PickFirstMenuItem, nullptr, "#32768");
    PumpPending(); // the chosen item arrives as a posted command
    EXPECT_EQ(host.quality, 0);
    EXPECT_EQ(host.asked, std::vector<std::string>{"quality"});
}

TEST_F(DialogTest, ColourDialogAnswerIsWrittenAndShown)
{
    PressButton("Colour", &PressOk, nullptr);
    EXPECT_EQ(host.colour, RGB(0, 0, 0)); // the dialog starts on black
    EXPECT_EQ(host.asked, std::vector<std::string>{"colour"});
    CString text;
    static_cast<EIconTextButtonProperty*>(Row("Colour"))->GetEditBox()->GetWindowText(text);
    EXPECT_STREQ(text, "0,0,0");
}

TEST_F(DialogTest, FontDialogReplacesTheFontObjectsHandle)
{
    HGDIOBJ before = host.font.GetSafeHandle();
    PressButton("Font", &PressOk, nullptr);
    EXPECT_EQ(host.asked, std::vector<std::string>{"font"});
    EXPECT_NE(host.font.GetSafeHandle(), before);
    LOGFONT lf{};
    host.font.GetLogFont(&lf); // the prefix may lack the old face: the dialog picks one
    EXPECT_NE(lf.lfFaceName[0], 0);
    EXPECT_STREQ(static_cast<EIconTextButtonProperty*>(Row("Font"))->GetTextValue(),
                 lf.lfFaceName);
}

TEST_F(DialogTest, VetoedFontKeepsTheOldHandle)
{
    host.veto = &host.font;
    HGDIOBJ before = host.font.GetSafeHandle();
    PressButton("Font", &PressOk, nullptr);
    EXPECT_EQ(host.font.GetSafeHandle(), before);
}

TEST_F(DialogTest, FileAndFolderDialogsAnswerThePaths)
{
    char temp[MAX_PATH];
    ::GetTempPath(MAX_PATH, temp);
    CString file = CString(temp) + "pg_dialog_test.wav";
    FILE* f = std::fopen(file, "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    SwitchToPage(1);
    PressButton("File", &AnswerFile, const_cast<char*>(static_cast<const char*>(file)));
    EXPECT_STREQ(host.file, file);
    EXPECT_EQ(host.asked, std::vector<std::string>{"file"});
    CString folder(temp);
    folder.TrimRight('\\');
    PressButton("Folder", &AnswerFolder, const_cast<char*>(static_cast<const char*>(folder)));
    EXPECT_STREQ(host.folder, folder);
    ::DeleteFile(file);
}

} // namespace
