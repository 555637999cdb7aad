// Drives a modal window from a helper thread while the test's own thread runs its modal loop:
// the helper finds the window, clicks and types through the system's input queue and reads
// controls back (their window thread answers while it pumps).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace dialog_script {

// Runs script on a helper thread while modal() runs here; returns what modal() returned.
// The helper's failed expectations are reported by gtest as usual.
template <class Modal> auto RunWithScript(Modal modal, std::function<void()> script)
{
    struct Context {
        std::function<void()> script;
    } context{std::move(script)};
    HANDLE thread = ::CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            static_cast<Context*>(p)->script();
            return 0;
        },
        &context, 0, nullptr);
    auto result = modal();
    ::WaitForSingleObject(thread, 30000);
    ::CloseHandle(thread);
    return result;
}

// A visible dialog (class "#32770") of thread uiThread whose caption is title (any caption
// for null), other than except; null after the timeout.
HWND WaitForDialog(DWORD uiThread, const char* title, HWND except = nullptr,
                   DWORD timeoutMs = 10000);
// Waits until pred() holds; false after the timeout.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);
std::string Text(HWND hWnd);
std::string ItemText(HWND hDlg, int id);
bool Enabled(HWND hDlg, int id);
// A real click in the middle of a dialog's control.
void ClickControl(HWND hDlg, int id);
// A real click on a list view row (column 0, a little in from the left).
void ClickRow(HWND hList, int row);
// Real key presses, with Ctrl, Shift or Alt held as asked.
void Key(UINT vk, bool ctrl = false, bool shift = false, bool alt = false);
// Types text with the keyboard's keys for its characters.
void Type(const char* text);
// Selects all of a focused single-line edit (Home, Shift+End) and types text over it.
void Retype(const char* text);
// Rows of a list view, column 0.
std::vector<std::string> Rows(HWND hList, int column = 0);
// A real click on a list box line.
void ClickListBoxLine(HWND hList, int line);
// The lines of a list box.
std::vector<std::string> ListBoxLines(HWND hList);
// The texts of a window's static controls, in order (a message box's text among them).
std::string StaticTexts(HWND hWnd);

} // namespace dialog_script
