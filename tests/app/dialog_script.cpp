#include "tests/app/dialog_script.h"

#include <vector>

#include "tests/framework_ui/ui_test_support.h"

namespace dialog_script {

namespace {

void Pause(DWORD ms = 120)
{
    ::Sleep(ms);
}

void ClickAt(POINT screen)
{
    InputMouseMove(screen);
    Pause(40);
    InputMouseButton(true);
    InputMouseButton(false);
    Pause();
}

} // namespace

HWND WaitForDialog(DWORD uiThread, const char* title, HWND except, DWORD timeoutMs)
{
    struct Search {
        const char* title;
        HWND except;
        HWND found;
    } search{title, except, nullptr};
    auto visit = [](HWND h, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        char cls[16] = {};
        ::GetClassNameA(h, cls, sizeof(cls));
        if (h == s->except || lstrcmpA(cls, "#32770") != 0 || !::IsWindowVisible(h))
            return TRUE;
        if (s->title != nullptr && Text(h) != s->title)
            return TRUE;
        s->found = h;
        return FALSE;
    };
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        search.found = nullptr;
        ::EnumThreadWindows(uiThread, visit, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            Pause(250); // the dialog finishes its initialisation
            ::SetForegroundWindow(search.found);
            return search.found;
        }
        ::Sleep(50);
    }
    return nullptr;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 25) {
        if (pred())
            return true;
        ::Sleep(25);
    }
    return pred();
}

std::string Text(HWND hWnd)
{
    char text[1024] = {};
    ::GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

std::string ItemText(HWND hDlg, int id)
{
    return Text(::GetDlgItem(hDlg, id));
}

bool Enabled(HWND hDlg, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, id)) != FALSE;
}

void ClickControl(HWND hDlg, int id)
{
    RECT r{};
    ::GetWindowRect(::GetDlgItem(hDlg, id), &r);
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void ClickRow(HWND hList, int row)
{
    RECT r{};
    r.left = LVIR_BOUNDS;
    ::SendMessage(hList, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    POINT pt{r.left + 12, (r.top + r.bottom) / 2};
    ::ClientToScreen(hList, &pt);
    ClickAt(pt);
}

void Key(UINT vk, bool ctrl, bool shift, bool alt)
{
    InputKeyStroke(vk, shift, ctrl, alt);
    Pause(40);
}

void Type(const char* text)
{
    for (; *text != 0; ++text) {
        const SHORT key = ::VkKeyScanA(*text);
        if (key == -1)
            continue;
        Key(LOBYTE(key), (HIBYTE(key) & 2) != 0, (HIBYTE(key) & 1) != 0);
    }
    Pause();
}

void Retype(const char* text)
{
    Key(VK_HOME);
    Key(VK_END, false, true);
    Key(VK_DELETE);
    Type(text);
}

std::vector<std::string> Rows(HWND hList, int column)
{
    std::vector<std::string> rows;
    const int n = static_cast<int>(::SendMessage(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[512] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        ::SendMessage(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                      reinterpret_cast<LPARAM>(&item));
        rows.emplace_back(text);
    }
    return rows;
}

void ClickListBoxLine(HWND hList, int line)
{
    RECT r{};
    ::SendMessage(hList, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&r));
    POINT pt{r.left + 12, (r.top + r.bottom) / 2};
    ::ClientToScreen(hList, &pt);
    ClickAt(pt);
}

std::vector<std::string> ListBoxLines(HWND hList)
{
    std::vector<std::string> lines;
    const int n = static_cast<int>(::SendMessage(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::string text(static_cast<size_t>(::SendMessage(hList, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        ::SendMessageA(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        lines.emplace_back(text.c_str());
    }
    return lines;
}

std::string StaticTexts(HWND hWnd)
{
    std::string texts;
    ::EnumChildWindows(
        hWnd,
        [](HWND h, LPARAM p) -> BOOL {
            char cls[32] = {};
            ::GetClassNameA(h, cls, sizeof(cls));
            if (lstrcmpiA(cls, "Static") == 0)
                *reinterpret_cast<std::string*>(p) += Text(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

} // namespace dialog_script
