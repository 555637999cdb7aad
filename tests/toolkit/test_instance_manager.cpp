// The instance manager across real processes: this program starts itself again as the other
// instances (InstanceChild.Run, selected by the environment) and reads the shared block
// through its own view of the named mapping.
#include "toolkit/controls/instance_manager/instance_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kChildName[] = "SONORIA_IM_CHILD";       // instance name; set only in children
const char kChildWindow[] = "SONORIA_IM_WINDOW";    // none, visible, minimised, hidden, tool
const char kChildActivate[] = "SONORIA_IM_ACTIVATE"; // 1: TooManyInstances(TRUE) at start
const char kChildReady[] = "SONORIA_IM_READY";      // event set once registered
const char kChildQuit[] = "SONORIA_IM_QUIT";        // event that ends the child

// The child's exit code: what it saw.
constexpr DWORD kSawTooMany = 1;   // TooManyInstances answered TRUE at start
constexpr DWORD kStillIconic = 2;  // its window was still minimised when told to quit
constexpr DWORD kMessageShift = 2; // above: count of arrival/leave messages its window got

const char kWindowClass[] = "SonoriaInstanceTestWindow";
std::vector<std::pair<UINT, LPARAM>> g_messages; // arrival/leave messages of this process

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_OX_APP_INSTANCE_ADDED || msg == WM_OX_APP_INSTANCE_REMOVED) {
        EXPECT_EQ(wParam, 0u);
        g_messages.emplace_back(msg, lParam);
        return 0;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

void RegisterWindowClass()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    ::RegisterClassA(&wc);
}

// A top-level window of this process: kind is "visible", "minimised", "hidden", "tool" or
// "owned" (visible, owned by a hidden window of this process); "none" gives NULL.
struct TestWindow
{
    HWND hWnd = nullptr;
    HWND hOwner = nullptr;

    explicit TestWindow(const std::string& kind)
    {
        RegisterWindowClass();
        if (kind == "none")
            return;
        DWORD exStyle = kind == "tool" ? WS_EX_TOOLWINDOW : 0;
        DWORD style = WS_OVERLAPPEDWINDOW;
        if (kind == "hidden")
            style |= WS_MINIMIZE;
        if (kind == "owned")
            hOwner = Create(0, WS_OVERLAPPEDWINDOW, nullptr);
        hWnd = Create(exStyle, style, hOwner);
        if (kind == "visible" || kind == "owned")
            ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
        if (kind == "minimised" || kind == "tool")
            ::ShowWindow(hWnd, SW_SHOWMINNOACTIVE);
    }
    ~TestWindow()
    {
        if (hWnd != nullptr)
            ::DestroyWindow(hWnd);
        if (hOwner != nullptr)
            ::DestroyWindow(hOwner);
    }
    static HWND Create(DWORD exStyle, DWORD style, HWND hOwner)
    {
        return ::CreateWindowExA(exStyle, kWindowClass, "instance", style, 10, 10, 200, 100,
                                 hOwner, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }
};

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Waits for the handle while this thread's windows keep answering (other processes post to
// them and restore them). Safety limit only: a hung child fails the test instead of the run.
bool WaitPumping(HANDLE h)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        DWORD rc = ::MsgWaitForMultipleObjects(1, &h, FALSE, 500, QS_ALLINPUT);
        PumpMessages();
        if (rc == WAIT_OBJECT_0)
            return true;
        if (::GetTickCount() - start > 60000)
            return false;
    }
}

bool PumpUntil(const std::pair<UINT, LPARAM>& message)
{
    for (int i = 0; i < 600; ++i) {
        PumpMessages();
        for (const auto& m : g_messages)
            if (m == message)
                return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    return false;
}

std::string UniqueName(const char* what)
{
    static int serial = 0;
    return "SonoriaTest_" + std::string(what) + "_" + std::to_string(::GetCurrentProcessId()) +
           "_" + std::to_string(++serial);
}

// Another instance: this program run again as InstanceChild.Run.
class Child
{
public:
    Child(const std::string& name, const std::string& window, bool activate = false)
    {
        const std::string tag = UniqueName("event");
        m_ready = ::CreateEventA(nullptr, TRUE, FALSE, (tag + "_ready").c_str());
        m_quit = ::CreateEventA(nullptr, TRUE, FALSE, (tag + "_quit").c_str());
        ::SetEnvironmentVariableA(kChildName, name.c_str());
        ::SetEnvironmentVariableA(kChildWindow, window.c_str());
        ::SetEnvironmentVariableA(kChildActivate, activate ? "1" : "0");
        ::SetEnvironmentVariableA(kChildReady, (tag + "_ready").c_str());
        ::SetEnvironmentVariableA(kChildQuit, (tag + "_quit").c_str());
        char exe[MAX_PATH];
        ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string command = "\"" + std::string(exe) + "\" --gtest_filter=InstanceChild.Run --gtest_brief=1";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        m_started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &si, &m_pi) != FALSE;
        ::SetEnvironmentVariableA(kChildName, nullptr);
    }
    ~Child()
    {
        if (m_started) {
            ::TerminateProcess(m_pi.hProcess, 99);
            ::CloseHandle(m_pi.hThread);
            ::CloseHandle(m_pi.hProcess);
        }
        ::CloseHandle(m_ready);
        ::CloseHandle(m_quit);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // TRUE once the child has registered (and made its window).
    bool WaitReady()
    {
        if (!m_started)
            return false;
        HANDLE both[2] = {m_ready, m_pi.hProcess};
        const DWORD start = ::GetTickCount();
        for (;;) {
            DWORD rc = ::MsgWaitForMultipleObjects(2, both, FALSE, 500, QS_ALLINPUT);
            PumpMessages();
            if (rc == WAIT_OBJECT_0)
                return true;
            if (rc == WAIT_OBJECT_0 + 1 || ::GetTickCount() - start > 60000)
                return false;
        }
    }
    // Lets the child leave normally; its exit code, or ~0 when it did not end.
    DWORD Quit()
    {
        ::SetEvent(m_quit);
        return ExitCode();
    }
    // Ends the child without its destructors: a crash.
    void Kill()
    {
        ::TerminateProcess(m_pi.hProcess, 98);
        WaitPumping(m_pi.hProcess);
    }
    DWORD ExitCode()
    {
        if (!WaitPumping(m_pi.hProcess))
            return ~0u;
        DWORD code = ~0u;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return code;
    }
    DWORD Pid() const { return m_pi.dwProcessId; }

private:
    PROCESS_INFORMATION m_pi{};
    bool m_started = false;
    HANDLE m_ready = nullptr;
    HANDLE m_quit = nullptr;
};

// This process's own view of the shared block, opened by the documented name.
class SharedBlock
{
public:
    explicit SharedBlock(const std::string& name)
    {
        m_hMap = ::OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE,
                                    ("COXInstanceManager_FileMap_" + name).c_str());
        if (m_hMap != nullptr)
            m_pView = static_cast<DWORD*>(
                ::MapViewOfFile(m_hMap, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0));
    }
    ~SharedBlock()
    {
        if (m_pView != nullptr)
            ::UnmapViewOfFile(m_pView);
        if (m_hMap != nullptr)
            ::CloseHandle(m_hMap);
    }
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;

    bool IsOpen() const { return m_pView != nullptr; }
    DWORD& Max() { return m_pView[0]; }
    DWORD& Count() { return m_pView[1]; }
    DWORD& Pid(int i) { return m_pView[2 + i]; }
    std::vector<DWORD> Pids()
    {
        std::vector<DWORD> pids;
        for (DWORD i = 0; i < Count() && i < 1000; ++i)
            pids.push_back(Pid(static_cast<int>(i)));
        return pids;
    }
    SIZE_T ViewSize() const
    {
        MEMORY_BASIC_INFORMATION mbi{};
        ::VirtualQuery(m_pView, &mbi, sizeof mbi);
        return mbi.RegionSize;
    }

private:
    HANDLE m_hMap = nullptr;
    DWORD* m_pView = nullptr;
};

bool MappingExists(const std::string& name)
{
    HANDLE h = ::OpenFileMappingA(FILE_MAP_READ, FALSE,
                                  ("COXInstanceManager_FileMap_" + name).c_str());
    if (h != nullptr)
        ::CloseHandle(h);
    return h != nullptr;
}

bool MutexExists(const std::string& name)
{
    HANDLE h = ::OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (h != nullptr)
        ::CloseHandle(h);
    return h != nullptr;
}

class InstanceManager : public ::testing::Test
{
protected:
    void SetUp() override { g_messages.clear(); }
    void TearDown() override { PumpMessages(); }
};

TEST_F(InstanceManager, FirstStartCreatesTheBlockAndTheLastLeaveTakesItAway)
{
    const std::string name = UniqueName("first");
    {
        COXInstanceManager manager(name.c_str());
        EXPECT_TRUE(MutexExists("COXInstanceManager_InstanceList_Mutex_" + name));
        EXPECT_TRUE(MutexExists("COXInstanceManager_Additional_Mutex_" + name));
        SharedBlock block(name);
        ASSERT_TRUE(block.IsOpen());
        SYSTEM_INFO si{};
        ::GetSystemInfo(&si);
        EXPECT_EQ(block.ViewSize(), static_cast<SIZE_T>(si.dwAllocationGranularity));
        EXPECT_EQ(block.Max(), 1u);
        EXPECT_EQ(block.Count(), 1u);
        EXPECT_EQ(block.Pid(0), ::GetCurrentProcessId());
        EXPECT_EQ(block.Pid(1), 0u);
        EXPECT_FALSE(manager.TooManyInstances(TRUE));
    }
    EXPECT_FALSE(MappingExists(name));

    // A fresh start after that gets a fresh block.
    COXInstanceManager again(name.c_str());
    SharedBlock block(name);
    ASSERT_TRUE(block.IsOpen());
    EXPECT_EQ(block.Count(), 1u);
    EXPECT_FALSE(again.TooManyInstances(FALSE));
}

TEST_F(InstanceManager, AnotherProcessArrivesAndLeaves)
{
    const std::string name = UniqueName("second");
    TestWindow window("minimised");
    COXInstanceManager manager(name.c_str());
    ASSERT_TRUE(::IsIconic(window.hWnd));
    {
        Child child(name, "none", /*activate=*/true);
        ASSERT_TRUE(child.WaitReady());
        SharedBlock block(name);
        ASSERT_TRUE(block.IsOpen());
        EXPECT_EQ(block.Pids(), (std::vector<DWORD>{::GetCurrentProcessId(), child.Pid()}));
        EXPECT_TRUE(PumpUntil({WM_OX_APP_INSTANCE_ADDED, child.Pid()}));
        EXPECT_TRUE(manager.TooManyInstances(FALSE));

        const DWORD code = child.Quit();
        EXPECT_EQ(code & kSawTooMany, kSawTooMany) << code;
        EXPECT_TRUE(PumpUntil({WM_OX_APP_INSTANCE_REMOVED, child.Pid()}));
        EXPECT_EQ(block.Pids(), (std::vector<DWORD>{::GetCurrentProcessId()}));
        EXPECT_EQ(block.Pid(1), 0u);
        EXPECT_FALSE(manager.TooManyInstances(FALSE));
        ASSERT_EQ(g_messages.size(), 2u);
    }
    // The child brought this process's window to the front and restored it.
    for (int i = 0; i < 100 && ::IsIconic(window.hWnd); ++i) {
        PumpMessages();
        ::Sleep(50);
    }
    EXPECT_FALSE(::IsIconic(window.hWnd));
}

// A registered process whose windows are all hidden, tool or owned windows has no main
// window: it is never activated and gets no message; a visible one is both.
TEST_F(InstanceManager, OnlyAVisibleUnownedNonToolWindowIsAMainWindow)
{
    struct Case
    {
        const char* window;
        bool found;
    };
    const Case cases[] = {
        {"visible", true}, {"minimised", true}, {"hidden", false},
        {"tool", false},   {"owned", false},    {"none", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        TestWindow window(c.window);
        COXInstanceManager manager(UniqueName("find").c_str());
        HWND found = manager.FindMainWindow(::GetCurrentProcessId());
        EXPECT_EQ(found, c.found ? window.hWnd : nullptr);
    }

    const Case others[] = {{"minimised", true}, {"hidden", false}, {"tool", false}};
    for (const Case& c : others) {
        SCOPED_TRACE(c.window);
        const std::string name = UniqueName("others");
        Child first(name, c.window); // registered first, so activated by the caller below
        ASSERT_TRUE(first.WaitReady());
        COXInstanceManager manager(name.c_str());
        EXPECT_TRUE(manager.TooManyInstances(TRUE));
        {
            Child visitor(name, "visible");
            ASSERT_TRUE(visitor.WaitReady());
            EXPECT_EQ(visitor.Quit() >> kMessageShift, 0u);
        }
        const DWORD code = first.Quit();
        EXPECT_EQ((code & kStillIconic) == 0, c.found) << code;
        // This process's arrival, the visitor's arrival and its leave.
        EXPECT_EQ(code >> kMessageShift, c.found ? 3u : 0u) << code;
    }
}

TEST_F(InstanceManager, TheCallerItselfIsNeverActivated)
{
    const std::string name = UniqueName("self");
    TestWindow window("minimised");
    COXInstanceManager manager(name.c_str()); // first entry: this process
    Child second(name, "minimised");
    ASSERT_TRUE(second.WaitReady());
    EXPECT_TRUE(manager.TooManyInstances(TRUE));
    const DWORD code = second.Quit();
    EXPECT_EQ(code & kStillIconic, 0u) << "the second entry was restored";
    PumpMessages();
    EXPECT_TRUE(::IsIconic(window.hWnd));
}

TEST_F(InstanceManager, TooManyComparesTheCountWithTheStoredMaximum)
{
    struct Case
    {
        DWORD maximum;
        int instances;
        BOOL tooMany;
    };
    const Case cases[] = {{1, 1, FALSE}, {1, 2, TRUE}, {3, 3, FALSE}, {3, 4, TRUE}, {0, 1, TRUE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maximum << " allowed, " << c.instances);
        const std::string name = UniqueName("max");
        COXInstanceManager manager(name.c_str());
        for (int i = 1; i < c.instances; ++i)
            ASSERT_TRUE(manager.AddInstance(::GetCurrentProcessId()));
        SharedBlock block(name);
        ASSERT_TRUE(block.IsOpen());
        block.Max() = c.maximum;
        EXPECT_EQ(manager.TooManyInstances(TRUE), c.tooMany);
        EXPECT_EQ(block.Count(), static_cast<DWORD>(c.instances));
    }
}

TEST_F(InstanceManager, RemovingKeepsTheOrderAndUnknownIdsChangeNothing)
{
    const std::string name = UniqueName("remove");
    COXInstanceManager manager(name.c_str());
    Child a(name, "none");
    ASSERT_TRUE(a.WaitReady());
    Child b(name, "none");
    ASSERT_TRUE(b.WaitReady());
    SharedBlock block(name);
    ASSERT_TRUE(block.IsOpen());
    const DWORD self = ::GetCurrentProcessId();
    ASSERT_EQ(block.Pids(), (std::vector<DWORD>{self, a.Pid(), b.Pid()}));

    EXPECT_FALSE(manager.RemoveInstance(b.Pid() + 4000));
    EXPECT_EQ(block.Pids(), (std::vector<DWORD>{self, a.Pid(), b.Pid()}));

    EXPECT_TRUE(manager.RemoveInstance(self));
    EXPECT_EQ(block.Pids(), (std::vector<DWORD>{a.Pid(), b.Pid()}));
    EXPECT_EQ(block.Pid(2), 0u);
    EXPECT_FALSE(manager.RemoveInstance(self));
    EXPECT_TRUE(manager.AddInstance(self));
    EXPECT_EQ(block.Pids(), (std::vector<DWORD>{a.Pid(), b.Pid(), self}));
    EXPECT_EQ(a.Quit() & ~kSawTooMany, 0u);
    EXPECT_EQ(block.Pids(), (std::vector<DWORD>{b.Pid(), self}));
}

// A crashed instance does not linger: the next operation of any instance drops it and tells
// the others it left, so it is neither counted nor activated.
TEST_F(InstanceManager, AProcessThatDiedIsDroppedByTheNextOperation)
{
    const std::string name = UniqueName("died");
    TestWindow window("visible");
    Child dead(name, "minimised"); // first entry: the one a new start would activate
    ASSERT_TRUE(dead.WaitReady());
    COXInstanceManager manager(name.c_str());
    SharedBlock block(name);
    ASSERT_TRUE(block.IsOpen());
    dead.Kill();
    ASSERT_EQ(block.Pids(), (std::vector<DWORD>{dead.Pid(), ::GetCurrentProcessId()}));

    EXPECT_FALSE(manager.TooManyInstances(TRUE));
    EXPECT_EQ(block.Pids(), (std::vector<DWORD>{::GetCurrentProcessId()}));
    EXPECT_TRUE(PumpUntil({WM_OX_APP_INSTANCE_REMOVED, dead.Pid()}));
}

// Instances starting together all land in the list, whichever created the block.
TEST_F(InstanceManager, SimultaneousStartsAreAllRegistered)
{
    const std::string name = UniqueName("together");
    std::vector<std::unique_ptr<Child>> children;
    for (int i = 0; i < 6; ++i)
        children.push_back(std::make_unique<Child>(name, "none"));
    for (auto& child : children)
        ASSERT_TRUE(child->WaitReady());
    {
        SharedBlock block(name);
        ASSERT_TRUE(block.IsOpen());
        EXPECT_EQ(block.Max(), 1u);
        std::vector<DWORD> pids = block.Pids();
        EXPECT_EQ(pids.size(), children.size());
        for (auto& child : children)
            EXPECT_NE(std::find(pids.begin(), pids.end(), child->Pid()), pids.end());
    }
    for (auto& child : children)
        EXPECT_EQ(child->Quit() & ~kSawTooMany, 0u);
    EXPECT_FALSE(MappingExists(name));
}

// The block is open to any process that knows its name: a wild count or a full list must
// not send the manager outside its 1000 slots.
TEST_F(InstanceManager, AFullOrDamagedListStaysWithinItsSlots)
{
    const std::string name = UniqueName("full");
    COXInstanceManager manager(name.c_str());
    SharedBlock block(name);
    ASSERT_TRUE(block.IsOpen());
    const DWORD self = ::GetCurrentProcessId();
    for (int i = 0; i < 1000; ++i)
        block.Pid(i) = self;
    block.Count() = 1000;
    block.Pid(1000) = 0x5A5A5A5A; // first DWORD past the list

    EXPECT_FALSE(manager.AddInstance(self));
    EXPECT_EQ(block.Count(), 1000u);
    EXPECT_EQ(block.Pid(1000), 0x5A5A5A5Au);

    block.Count() = 0xFFFFFFF0u;
    EXPECT_TRUE(manager.TooManyInstances(FALSE));
    EXPECT_EQ(block.Count(), 1000u);
    EXPECT_TRUE(manager.RemoveInstance(self));
    EXPECT_EQ(block.Count(), 999u);
    EXPECT_EQ(block.Pid(999), 0u);
    EXPECT_EQ(block.Pid(1000), 0x5A5A5A5Au);
}

// The other instance. Registers, makes its window, says it is ready, keeps its window
// answering until told to quit, then leaves and reports what it saw in its exit code.
TEST(InstanceChild, Run)
{
    const char* name = std::getenv(kChildName);
    if (name == nullptr)
        GTEST_SKIP() << "runs as another instance started by the InstanceManager tests";
    DWORD code = 0;
    {
        TestWindow window(std::getenv(kChildWindow));
        COXInstanceManager manager(name);
        const bool activate = std::string(std::getenv(kChildActivate)) == "1";
        if (manager.TooManyInstances(activate))
            code |= kSawTooMany;
        HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, std::getenv(kChildReady));
        HANDLE quit = ::OpenEventA(SYNCHRONIZE, FALSE, std::getenv(kChildQuit));
        ::SetEvent(ready);
        WaitPumping(quit);
        PumpMessages();
        if (window.hWnd != nullptr && ::IsIconic(window.hWnd))
            code |= kStillIconic;
        code |= static_cast<DWORD>(g_messages.size()) << kMessageShift;
        ::CloseHandle(ready);
        ::CloseHandle(quit);
    }
    ::ExitProcess(code);
}

} // namespace
