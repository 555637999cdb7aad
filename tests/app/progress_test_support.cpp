// Test support for the progress window.
#include "tests/app/progress_test_support.h"

#include <cstdio>
#include <thread>

#include "app/shell/progress_dlg.h"

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

namespace {

// Absolute mouse coordinates run from 0 to 65535 over the primary screen.
INPUT MouseInput(DWORD flags, POINT screen)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65536LL + 65535) / ::GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = static_cast<LONG>((screen.y * 65536LL + 65535) / ::GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return in;
}

POINT ToScreen(HWND hWnd, int x, int y)
{
    POINT pt{x, y};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

} // namespace

void InputMove(HWND hWnd, int x, int y)
{
    INPUT in = MouseInput(MOUSEEVENTF_MOVE, ToScreen(hWnd, x, y));
    ::SendInput(1, &in, sizeof(INPUT));
}

void InputClick(HWND hWnd, int x, int y)
{
    const POINT pt = ToScreen(hWnd, x, y);
    INPUT in[3] = {MouseInput(MOUSEEVENTF_MOVE, pt), MouseInput(MOUSEEVENTF_LEFTDOWN, pt),
                   MouseInput(MOUSEEVENTF_LEFTUP, pt)};
    ::SendInput(1, &in[0], sizeof(INPUT));
    ::Sleep(30); // the window under the cursor is known before the button goes down
    ::SendInput(2, &in[1], sizeof(INPUT));
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

} // namespace testing_progress
