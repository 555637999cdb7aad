// Shared window-test helpers.
#include "tests/framework_ui/ui_test_support.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

HWND SharedTopWindow()
{
    // Showing and destroying a top-level window costs seconds under Wine without a window
    // manager, so tests place their windows in this one, made once and kept.
    static HWND top = [] {
        auto* wnd = new CWnd;
        wnd->CreateEx(0, nullptr, "Sonoria tests", WS_OVERLAPPEDWINDOW | WS_VISIBLE |
                      WS_CLIPCHILDREN, 0, 0, 900, 700, nullptr, nullptr);
        return wnd->m_hWnd;
    }();
    return top;
}

TestHostWnd::TestHostWnd(int width, int height)
{
    CreateEx(0, nullptr, "test host", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
             height, SharedTopWindow(), nullptr);
}

TestHostWnd::~TestHostWnd()
{
    DestroyWindow();
}

void PumpPending()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        AfxPumpMessage();
    }
}

DialogTemplate::DialogTemplate(const char* title, short cx, short cy)
{
    DLGTEMPLATE t{};
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.cx = cx;
    t.cy = cy;
    const WORD* p = reinterpret_cast<const WORD*>(&t);
    m_bytes.assign(p, p + sizeof(t) / sizeof(WORD));
    m_countIndex = offsetof(DLGTEMPLATE, cdit) / sizeof(WORD);
    PutWord(0); // no menu
    PutWord(0); // default class
    PutString(title);
}

void DialogTemplate::PutString(const char* s)
{
    do
        PutWord(static_cast<WORD>(static_cast<unsigned char>(*s)));
    while (*s++ != 0);
}

void DialogTemplate::Align()
{
    if (m_bytes.size() % 2 != 0) // items start on DWORD boundaries
        PutWord(0);
}

void DialogTemplate::AddControl(WORD nClassAtom, WORD nID, DWORD dwStyle, short x, short y,
                                short cx, short cy)
{
    Align();
    DLGITEMTEMPLATE item{};
    item.style = dwStyle;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = nID;
    const WORD* p = reinterpret_cast<const WORD*>(&item);
    m_bytes.insert(m_bytes.end(), p, p + sizeof(item) / sizeof(WORD));
    PutWord(0xFFFF);
    PutWord(nClassAtom);
    PutWord(0); // no text
    PutWord(0); // no creation data
    ++m_bytes[m_countIndex];
}

LPCDLGTEMPLATE DialogTemplate::Get()
{
    return reinterpret_cast<LPCDLGTEMPLATE>(m_bytes.data());
}

DWORD GdiObjectCount()
{
    DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (n != 0)
        return n;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++n;
    return n;
}

void PostKey(HWND hWnd, UINT vk)
{
    ::PostMessage(hWnd, WM_KEYDOWN, vk, 1);
    ::PostMessage(hWnd, WM_KEYUP, vk, 0xC0000001);
}

void PostChars(HWND hWnd, const char* text)
{
    for (; *text != 0; ++text)
        ::PostMessage(hWnd, WM_CHAR, static_cast<unsigned char>(*text), 1);
}

void SendKeys(std::initializer_list<WORD> keys)
{
    for (WORD vk : keys)
        InputKey(vk, true);
    for (auto it = keys.end(); it != keys.begin();)
        InputKey(*--it, false);
}

void Click(HWND hWnd, int x, int y)
{
    LPARAM pos = MAKELPARAM(x, y);
    ::SendMessage(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    ::SendMessage(hWnd, WM_LBUTTONUP, 0, pos);
}

namespace {

POINT ToScreen(HWND hWnd, int x, int y)
{
    POINT pt{x, y};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

} // namespace

void MouseMoveTo(HWND hWnd, int x, int y)
{
    InputMouseMove(ToScreen(hWnd, x, y));
    PumpFor(30);
}

void MouseClickAt(HWND hWnd, int x, int y, bool bDouble)
{
    InputClick(hWnd, POINT{x, y}, bDouble);
    PumpFor(60);
}

void KeyPress(UINT vk, bool bShift, bool bCtrl)
{
    HWND top = SharedTopWindow();
    HWND root = ::GetAncestor(::GetFocus() ? ::GetFocus() : top, GA_ROOT);
    if (::GetForegroundWindow() != root)
        ::SetForegroundWindow(root);
    InputKeyStroke(vk, bShift, bCtrl);
    PumpFor(30);
}

void TypeKeys(const char* text)
{
    for (; *text != 0; ++text) {
        SHORT key = ::VkKeyScan(*text);
        if (key == -1)
            continue;
        KeyPress(LOBYTE(key), (HIBYTE(key) & 1) != 0, (HIBYTE(key) & 2) != 0);
    }
}

void PumpFor(DWORD ms)
{
    DWORD start = ::GetTickCount();
    do {
        PumpPending();
        ::Sleep(5);
    } while (::GetTickCount() - start < ms);
    PumpPending();
}

void InputMouseMove(POINT screen)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1, cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    // Absolute positions are normalised to 0..65535; round so the pixel comes out exact.
    in.mi.dx = static_cast<LONG>((screen.x * 65535LL + cx / 2) / cx);
    in.mi.dy = static_cast<LONG>((screen.y * 65535LL + cy / 2) / cy);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}

void InputMouseGlide(POINT screen, int nSteps, DWORD msPerStep)
{
    POINT from{};
    ::GetCursorPos(&from);
    for (int i = 1; i <= nSteps; ++i) {
        InputMouseMove(POINT{from.x + (screen.x - from.x) * i / nSteps,
                             from.y + (screen.y - from.y) * i / nSteps});
        ::Sleep(msPerStep);
    }
}

void InputMouseButton(bool down, bool right)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    if (right)
        in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    else
        in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
}

void InputClick(HWND hWnd, POINT client, bool dbl)
{
    ::ClientToScreen(hWnd, &client);
    InputMouseMove(client);
    for (int i = 0; i < (dbl ? 2 : 1); ++i) {
        InputMouseButton(true);
        InputMouseButton(false);
    }
}

void InputKey(UINT vk, bool down)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = static_cast<WORD>(vk);
    in.ki.wScan = static_cast<WORD>(::MapVirtualKey(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &in, sizeof(in));
}

void InputKeyStroke(UINT vk, bool bShift, bool bCtrl, bool bAlt)
{
    const std::pair<bool, UINT> modifiers[] = {{bShift, VK_SHIFT}, {bCtrl, VK_CONTROL},
                                               {bAlt, VK_MENU}};
    for (const auto& [held, key] : modifiers)
        if (held)
            InputKey(key, true);
    InputKey(vk, true);
    InputKey(vk, false);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        if (it->first)
            InputKey(it->second, false);
}

DialogAnswerer::DialogAnswerer(Answer answer, void* context, const char* windowClass,
                               DWORD timeoutMs)
    : m_answer(answer), m_context(context), m_class(windowClass), m_timeoutMs(timeoutMs),
      m_uiThread(::GetCurrentThreadId())
{
    m_thread = ::CreateThread(nullptr, 0, &Watch, this, 0, nullptr);
}

DialogAnswerer::~DialogAnswerer()
{
    ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
}

DWORD WINAPI DialogAnswerer::Watch(LPVOID param)
{
    auto* self = static_cast<DialogAnswerer*>(param);
    struct Search {
        const char* cls;
        HWND found = nullptr;
    } search{self->m_class};
    auto visit = [](HWND h, LPARAM l) -> BOOL {
        char cls[16] = {};
        ::GetClassName(h, cls, sizeof(cls));
        auto* s = reinterpret_cast<Search*>(l);
        if (lstrcmp(cls, s->cls) == 0 && ::IsWindowVisible(h)) {
            s->found = h;
            return FALSE;
        }
        return TRUE;
    };
    for (DWORD waited = 0; waited < self->m_timeoutMs; waited += 50) {
        search.found = nullptr;
        ::EnumThreadWindows(self->m_uiThread, visit, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) // popup menus may belong to no thread's list
            ::EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            ::Sleep(300); // let the dialog finish its initialisation
            self->m_answer(search.found, self->m_context);
            self->m_answered = true;
            return 0;
        }
        ::Sleep(50);
    }
    return 0;
}

void RunInputScript(const std::function<void()>& script, int steps)
{
    struct Ctx {
        const std::function<void()>* s;
        volatile bool done = false;
    } ctx{&script};
    HANDLE h = ::CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* c = static_cast<Ctx*>(p);
            (*c->s)();
            c->done = true;
            return 0;
        },
        &ctx, 0, nullptr);
    PumpUntil([&] { return ctx.done; }, steps);
    ::WaitForSingleObject(h, INFINITE);
    ::CloseHandle(h);
    for (int i = 0; i < 5; ++i) { // what the input caused
        PumpPending();
        ::Sleep(10);
    }
}

void MouseDrag(POINT from, POINT to, int steps)
{
    RunInputScript([=] {
        InputMouseMove(from);
        ::Sleep(60);
        InputMouseButton(true);
        ::Sleep(60);
        for (int i = 1; i <= steps; ++i) {
            InputMouseMove(POINT{from.x + (to.x - from.x) * i / steps,
                                 from.y + (to.y - from.y) * i / steps});
            ::Sleep(30);
        }
        ::Sleep(60);
        InputMouseButton(false);
        ::Sleep(60);
    });
}

void MouseDragPath(std::vector<POINT> path, int stepsPerLeg)
{
    if (path.empty())
        return;
    RunInputScript([=] {
        InputMouseMove(path[0]);
        ::Sleep(60);
        InputMouseButton(true);
        ::Sleep(60);
        for (size_t leg = 1; leg < path.size(); ++leg) {
            const POINT from = path[leg - 1], to = path[leg];
            for (int i = 1; i <= stepsPerLeg; ++i) {
                InputMouseMove(POINT{from.x + (to.x - from.x) * i / stepsPerLeg,
                                     from.y + (to.y - from.y) * i / stepsPerLeg});
                ::Sleep(30);
            }
        }
        ::Sleep(60);
        InputMouseButton(false);
        ::Sleep(60);
    });
}

void MouseDoubleClick(POINT at)
{
    RunInputScript([=] {
        InputMouseMove(at);
        ::Sleep(60);
        for (int i = 0; i < 2; ++i) {
            InputMouseButton(true);
            ::Sleep(20);
            InputMouseButton(false);
            ::Sleep(20);
        }
        ::Sleep(60);
    });
}

void MouseRightClick(POINT at)
{
    RunInputScript([=] {
        InputMouseMove(at);
        ::Sleep(60);
        InputMouseButton(true, true);
        ::Sleep(30);
        InputMouseButton(false, true);
        ::Sleep(60);
    });
}

int ThreadWindowCount()
{
    struct Counter {
        static BOOL CALLBACK Child(HWND, LPARAM l)
        {
            ++*reinterpret_cast<int*>(l);
            return TRUE;
        }
        static BOOL CALLBACK Top(HWND h, LPARAM l)
        {
            ++*reinterpret_cast<int*>(l);
            ::EnumChildWindows(h, &Child, l);
            return TRUE;
        }
    };
    int n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Counter::Top, reinterpret_cast<LPARAM>(&n));
    return n;
}

void SaveScreenBitmap(HWND hWnd, const char* path)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof(fh) + sizeof(bi.bmiHeader) + size), 0, 0,
                        static_cast<DWORD>(sizeof(fh) + sizeof(bi.bmiHeader))};
    if (FILE* f = std::fopen(path, "wb")) {
        std::fwrite(&fh, sizeof(fh), 1, f);
        std::fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f);
        std::fwrite(bits, 1, size, f);
        std::fclose(f);
    }
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

HGLOBAL DropFilesBlock(const std::vector<std::string>& files)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const auto& f : files)
        size += f.size() + 1;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(h));
    drop->pFiles = sizeof(DROPFILES);
    char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const auto& f : files) {
        std::memcpy(p, f.c_str(), f.size() + 1);
        p += f.size() + 1;
    }
    ::GlobalUnlock(h);
    return h;
}

std::string RunSelfAsChild(const char* gtestFilter, const char* envVar, const std::string& outputPath)
{
    std::remove(outputPath.c_str());
    char self[MAX_PATH] = "";
    ::GetModuleFileName(nullptr, self, MAX_PATH);
    std::string cmd = std::string("\"") + self + "\" --gtest_filter=" + gtestFilter;
    ::SetEnvironmentVariable(envVar, "1");
    STARTUPINFO si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    const BOOL ok = ::CreateProcess(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &si, &pi);
    ::SetEnvironmentVariable(envVar, nullptr);
    if (!ok)
        return "(no process)";
    // Our windows keep answering while the other process runs.
    while (::MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 60000, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1)
        PumpPending();
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    std::string text;
    if (FILE* f = std::fopen(outputPath.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}
