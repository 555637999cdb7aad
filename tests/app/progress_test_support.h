// Test support for the progress window: running it modally while a watcher thread looks at it
// and gives it real input, and reading its rows back.
#pragma once

#include "testing/scratch_folder.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CAudioTrackInfo;
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

// Hovers over the label of a job row with the mouse and returns the text of the tooltip that
// shows; empty when none shows within timeoutMs.
std::string HoverTip(HWND hDlg, int row, DWORD timeoutMs = 5000);

// Runs dlg.DoModal on this thread while script(hDlg) runs on a watcher thread. When the script
// leaves the window open, the watcher stops the batch and dismisses the window itself (a
// failing test never hangs). Returns DoModal's result.
INT_PTR RunModal(CProgressDlg& dlg, const std::function<void(HWND)>& script);
// Runs script on a thread of its own while this thread pumps its messages, so that the modal
// window its input opens here runs inside the pump; returns once the script has ended.
void RunScriptWhilePumping(const std::function<void()>& script);

// A fresh folder under the temporary folder, removed with everything below it.
using Scratch = testing_files::ScratchFolder;
inline bool FileExists(const std::string& path) { return testing_files::Exists(path); }

// The PCM bytes of a WAV file; empty when it cannot be read.
std::vector<uint8_t> FilePcm(const std::string& path);
// The PCM of a FLAC file as our reader decodes it, and its tags; empty when unreadable.
std::vector<uint8_t> DecodeFlac(const std::string& path, CAudioTrackInfo& tags);
// How many 16-bit samples of `out` differ from those of `in` times `gain`, cut toward zero.
size_t SamplesOffGain(const std::vector<uint8_t>& in, const std::vector<uint8_t>& out,
                      double gain);
// When the environment variable `var` names a folder (the reference tools' checks), copies
// the file there as `name`, with `expected` beside it as NAME.raw when given.
void ExportForTools(const char* var, const std::string& path, const std::string& name,
                    const std::vector<uint8_t>* expected = nullptr);
std::string ReadText(const std::string& path);

} // namespace testing_progress
