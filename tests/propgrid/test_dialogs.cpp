// The "..." buttons that open the system's dialogs: each answer reaches the host.
#include <gtest/gtest.h>

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

// Selects a folder in the shell's browser (BFFM_SETSELECTION with a path), then OK.
void AnswerFolder(HWND hDialog, void* path)
{
    ::SendMessage(hDialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
    ::Sleep(200);
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
