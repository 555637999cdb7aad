// Test support for the progress window.
#include "tests/app/progress_test_support.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/shell/progress_dlg.h"
#include "audio/audio_frame.h"
#include "audio/formats/flac/flac_reader.h"
#include "testing/generated_wav.h"
#include "tests/framework_ui/ui_test_support.h"

namespace testing_progress {

HWND WaitForProgressWindow(DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = ::FindWindowA("#32770", "Progress ");
            return found != nullptr && ::IsWindowVisible(found);
        },
        timeoutMs);
    return found;
}

std::string ItemText(HWND hList, int row, int column)
{
    char buf[600] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    ::SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return buf;
}

int RowCount(HWND hDlg)
{
    return static_cast<int>(
        ::SendMessageA(::GetDlgItem(hDlg, IDC_PROGRESS_LIST), LVM_GETITEMCOUNT, 0, 0));
}

std::vector<std::pair<std::string, std::string>> Rows(HWND hDlg)
{
    HWND hList = ::GetDlgItem(hDlg, IDC_PROGRESS_LIST);
    std::vector<std::pair<std::string, std::string>> rows;
    for (int i = 0; i < RowCount(hDlg); ++i)
        rows.emplace_back(ItemText(hList, i, 0), ItemText(hList, i, 1));
    return rows;
}

bool ItemEnabled(HWND hDlg, int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            return pred();
        ::Sleep(2);
    }
    return true;
}

void InputMove(HWND hWnd, int x, int y)
{
    POINT pt{x, y};
    ::ClientToScreen(hWnd, &pt);
    ::InputMouseMove(pt);
}

void InputClick(HWND hWnd, int x, int y)
{
    InputMove(hWnd, x, y);
    ::Sleep(30); // the window under the cursor is known before the button goes down
    ::InputMouseButton(true);
    ::InputMouseButton(false);
}

void InputClickItem(HWND hDlg, int nID)
{
    HWND hItem = ::GetDlgItem(hDlg, nID);
    RECT rc{};
    ::GetClientRect(hItem, &rc);
    InputClick(hItem, rc.right / 2, rc.bottom / 2);
}

INT_PTR RunModal(CProgressDlg& dlg, const std::function<void(HWND)>& script)
{
    std::thread watcher([&script] {
        HWND hDlg = WaitForProgressWindow();
        if (hDlg == nullptr)
            return;
        script(hDlg);
        if (!WaitUntil([hDlg] { return !::IsWindow(hDlg); }, 3000)) {
            ::PostMessageA(hDlg, WM_COMMAND, IDC_PROGRESS_STOP, 0);
            WaitUntil([hDlg] { return ItemEnabled(hDlg, IDCANCEL); }, 120000);
            ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        }
    });
    const INT_PTR result = dlg.DoModal();
    watcher.join();
    return result;
}

std::string HoverTip(HWND hDlg, int row, DWORD timeoutMs)
{
    HWND hList = ::GetDlgItem(hDlg, IDC_PROGRESS_LIST);
    RECT rc{LVIR_LABEL};
    ::SendMessageA(hList, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
    // Two moves: the tooltip starts its delay on a move inside the tool.
    InputMove(hList, rc.left + 10, (rc.top + rc.bottom) / 2);
    ::Sleep(50);
    InputMove(hList, rc.left + 12, (rc.top + rc.bottom) / 2);
    std::string tip;
    WaitUntil(
        [&] {
            for (HWND h = ::FindWindowA(TOOLTIPS_CLASSA, nullptr); h != nullptr;
                 h = ::FindWindowExA(nullptr, h, TOOLTIPS_CLASSA, nullptr)) {
                char text[600] = {};
                ::GetWindowTextA(h, text, sizeof text);
                if (::IsWindowVisible(h) && text[0] != 0) {
                    tip = text;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return tip;
}

void RunScriptWhilePumping(const std::function<void()>& script)
{
    std::atomic<bool> done{false};
    std::thread runner([&] {
        script();
        done = true;
    });
    while (!done) {
        PumpPending();
        ::Sleep(5);
    }
    runner.join();
}

std::string ReadText(const std::string& path)
{
    std::string text;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    std::fclose(f);
    return text;
}

std::vector<uint8_t> FilePcm(const std::string& path)
{
    std::vector<uint8_t> bytes, pcm;
    testing_wav::Format f{};
    if (testing_wav::ReadFile(path, bytes))
        testing_wav::ParseWav(bytes, f, pcm);
    return pcm;
}

std::vector<uint8_t> DecodeFlac(const std::string& path, CAudioTrackInfo& tags)
{
    CAudioFlacReader reader;
    std::vector<uint8_t> pcm;
    if (!reader.Open(path.c_str()) || !reader.Prepare())
        return pcm;
    reader.CopyTrackInfo(tags);
    while (reader.HasMoreData()) {
        CAudioFrame frame;
        if (!reader.ReadFrame(&frame))
            break;
        uint32_t used = 0;
        const uint8_t* data = frame.GetData(used);
        pcm.insert(pcm.end(), data, data + used);
    }
    return pcm;
}

size_t SamplesOffGain(const std::vector<uint8_t>& in, const std::vector<uint8_t>& out,
                      double gain)
{
    size_t wrong = in.size() == out.size() ? 0 : 1;
    for (size_t at = 0; at + 1 < in.size() && at + 1 < out.size(); at += 2) {
        const int v = static_cast<int16_t>(in[at] | (in[at + 1] << 8));
        const int o = static_cast<int16_t>(out[at] | (out[at + 1] << 8));
        wrong += o != static_cast<int>(v * gain);
    }
    return wrong;
}

void ExportForTools(const char* var, const std::string& path, const std::string& name,
                    const std::vector<uint8_t>* expected)
{
    const char* dir = std::getenv(var);
    if (dir == nullptr)
        return;
    const std::string target = std::string(dir) + "\\" + name;
    ::CopyFileA(path.c_str(), target.c_str(), FALSE);
    if (expected != nullptr)
        testing_wav::WriteFile(target + ".raw", *expected);
}

} // namespace testing_progress
