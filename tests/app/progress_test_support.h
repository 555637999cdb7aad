// Test support for the progress window: running it modally while a watcher thread looks at it
// and gives it real input, and reading its rows back.
#pragma once

#include "testing/scratch_folder.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

class CProgressDlg;

namespace testing_progress {

// The visible progress window of this process, or null after the wait.
HWND WaitForProgressWindow(DWORD timeoutMs = 15000);

// Text of a list row's column, as the list shows it (callback texts included).
std::string ItemText(HWND hList, int row, int column);
// Column 0 of every row, then column 1 of every row: {name, state} pairs.
std::vector<std::pair<std::string, std::string>> Rows(HWND hDlg);
int RowCount(HWND hDlg);
bool ItemEnabled(HWND hDlg, int nID);

// Polls pred every 2 ms until it holds or timeoutMs passed; returns pred().
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 60000);

// Real input through the system's input queue (SendInput), callable from the watcher thread:
// the mouse moves to a client point of hWnd (and clicks there).
void InputMove(HWND hWnd, int x, int y);
void InputClick(HWND hWnd, int x, int y);
// Clicks the middle of a dialog item.
void InputClickItem(HWND hDlg, int nID);

// Runs dlg.DoModal on this thread while script(hDlg) runs on a watcher thread. When the script
// leaves the window open, the watcher stops the batch and dismisses the window itself (a
// failing test never hangs). Returns DoModal's result.
INT_PTR RunModal(CProgressDlg& dlg, const std::function<void(HWND)>& script);

// A fresh folder under the temporary folder, removed with everything below it.
using Scratch = testing_files::ScratchFolder;
inline bool FileExists(const std::string& path) { return testing_files::Exists(path); }

std::string ReadText(const std::string& path);

} // namespace testing_progress
