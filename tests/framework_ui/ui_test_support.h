// Shared by the window tests: a host window, a message pump and an in-memory dialog template.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/ui.h"

// The one visible top-level window of a test program.
HWND SharedTopWindow();

// A visible child of SharedTopWindow that lives as long as the object.
class TestHostWnd : public CWnd {
public:
    explicit TestHostWnd(int width = 400, int height = 300);
    ~TestHostWnd() override;
};

// Dispatches every message already queued for this thread through the framework's pump.
void PumpPending();
// Pumps until pred() holds or the step budget is spent; returns pred().
template <class Pred>
bool PumpUntil(Pred pred, int steps = 200)
{
    for (int i = 0; i < steps && !pred(); ++i) {
        PumpPending();
        ::Sleep(5);
    }
    return pred();
}

// A dialog template built in memory: DLGTEMPLATE, empty menu and class, a title, then items.
class DialogTemplate {
public:
    explicit DialogTemplate(const char* title, short cx = 160, short cy = 80);
    // nClassAtom: 0x0080 button, 0x0081 edit, 0x0082 static.
    void AddControl(WORD nClassAtom, WORD nID, DWORD dwStyle, short x, short y, short cx,
                    short cy);
    LPCDLGTEMPLATE Get();

private:
    void Align();
    void PutWord(WORD w) { m_bytes.push_back(w); }
    void PutString(const char* s);
    std::vector<WORD> m_bytes;
    size_t m_countIndex = 0;
};

// The process's GDI object count. Wine answers GetGuiResources with 0; there the handle table
// is probed instead (it accepts a bare table index as a handle).
DWORD GdiObjectCount();

// Posts a key press (down and up) to a window; the pump delivers it.
void PostKey(HWND hWnd, UINT vk);
// Posts the characters of text as WM_CHAR messages.
void PostChars(HWND hWnd, const char* text);
// Presses the virtual keys in order and releases them in reverse, through the system's input
// queue (SendInput): they reach the focused window as typed keys, with the key state set.
void SendKeys(std::initializer_list<WORD> keys);
// Sends a left click (down and up) at a client point of hWnd.
void Click(HWND hWnd, int x, int y);

// Real input through the system's input queue (SendInput), delivered by the next pumps.
// The mouse moves to a client point of hWnd.
void MouseMoveTo(HWND hWnd, int x, int y);
// A left click (two for a double click) at a client point of hWnd.
void MouseClickAt(HWND hWnd, int x, int y, bool bDouble = false);
// A key press with Shift and Ctrl held as asked, for the focus window of the test program's
// top window (made the foreground window first).
void KeyPress(UINT vk, bool bShift = false, bool bCtrl = false);
// Types text as key presses (the keys the keyboard layout has for its characters).
void TypeKeys(const char* text);
// Pumps for a while: input sent by SendInput arrives through the display server.
void PumpFor(DWORD ms);
// Drags and clicks through the input queue, in screen coordinates.
// Presses the left button at from, moves in steps to to, releases there. The input is
// injected from a helper thread while the calling (window) thread pumps, because a drag
// runs its own message loop until the button comes up.
void MouseDrag(POINT from, POINT to, int steps = 8);
// The same along a path: pressed at its first point, moved leg by leg, released at its last.
void MouseDragPath(std::vector<POINT> path, int stepsPerLeg = 6);
// A left double click at a screen point, injected like MouseDrag.
void MouseDoubleClick(POINT at);
// A right click at a screen point, injected like MouseDrag.
void MouseRightClick(POINT at);
// A WM_DROPFILES block as the shell builds it (DROPFILES, the names each ended by a zero, a
// final zero); the window that gets it frees it with DragFinish.
HGLOBAL DropFilesBlock(const std::vector<std::string>& files);
// The windows (top-level and descendants) of the calling thread: a USER handle count.
int ThreadWindowCount();
// Real input through the system's input queue (SendInput): the pointer really moves on the
// display and the key state follows, as if a user did it. Programs that use these run alone.
void InputMouseMove(POINT screen);
// Moves in nSteps equal steps from the current pointer position, pausing msPerStep each.
void InputMouseGlide(POINT screen, int nSteps = 10, DWORD msPerStep = 15);
void InputMouseButton(bool down, bool right = false);
// A left click at a point in hWnd's client area.
void InputClick(HWND hWnd, POINT client, bool dbl = false);
void InputKey(UINT vk, bool down);
// A key pressed and released with the modifiers asked for held around it (no pumping, so
// helper threads may use it too).
void InputKeyStroke(UINT vk, bool bShift = false, bool bCtrl = false, bool bAlt = false);
// Runs script (real input) on a helper thread while the calling thread pumps at most steps
// times, as a user acts while the program runs a modal loop such as a drag.
void RunInputScript(const std::function<void()>& script, int steps = 2000);

// Answers the next dialog box (class "#32770", or a popup menu with "#32768") that the calling
// thread shows: from a watcher thread, runs answer(window) once it appears. Joins on
// destruction; Answered() tells whether one was seen within the timeout.
class DialogAnswerer {
public:
    using Answer = void (*)(HWND hDialog, void* context);
    DialogAnswerer(Answer answer, void* context, const char* windowClass = "#32770",
                   DWORD timeoutMs = 15000);
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    ~DialogAnswerer();
    bool Answered() const { return m_answered; }

private:
    static DWORD WINAPI Watch(LPVOID self);
    Answer m_answer;
    void* m_context;
    const char* m_class;
    DWORD m_timeoutMs;
    DWORD m_uiThread;
    HANDLE m_thread = nullptr;
    volatile bool m_answered = false;
};

// The screen under a window's rectangle saved as a 24-bit bitmap file (what the user sees there,
// overlapping windows included).
void SaveScreenBitmap(HWND hWnd, const char* path);

// Runs this test program again with one gtest filter and the environment variable set to "1"
// (so the child knows its role), pumping our messages while it runs, and returns what the child
// wrote to outputPath (read as text); "(no process)" when it could not start.
std::string RunSelfAsChild(const char* gtestFilter, const char* envVar, const std::string& outputPath);
