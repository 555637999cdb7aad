// The user-interface thread and the application object: message pump with pre-translation
// and idle processing (command-state updates), documents, the command line and the profile.
// Classes here: CWinThread, CCommandLineInfo, CWinApp, CWaitCursor; AfxMessageBox,
// AfxSocketInit.
#pragma once

#include <windows.h>

#include "framework/cmd_target.h"
#include "framework/strings.h"
#include "framework/wnd.h"

class CDocManager;
class CDocTemplate;
class CDocument;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

    CWinThread();
    ~CWinThread() override;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return static_cast<int>(m_msgCur.wParam); }
    // Pumps until WM_QUIT, calling OnIdle while the queue is empty; returns ExitInstance.
    virtual int Run();
    // One GetMessage, pre-translated and dispatched; false on WM_QUIT.
    virtual BOOL PumpMessage();
    // The walk from the target window up to the main window, then the main window itself.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // lCount counts the calls since the last real message; true asks for more idle time.
    // Count 0 sends WM_IDLEUPDATECMDUI to every visible top-level window of the thread and
    // its descendants (command states, frame titles, layouts); counts 0 and 1 delete the
    // temporary wrappers.
    virtual BOOL OnIdle(LONG lCount);
    // False for messages that do not end an idle period (mouse moves in place, paint, caret).
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

private:
    POINT m_ptCursorLast{-1, -1};
    UINT m_nMsgLast = 0;
};

// The program's command line as the framework understands it: flags start with '/' or '-',
// the first other parameter is a document to open.
class CCommandLineInfo : public CObject {
public:
    enum ShellCommand { FileNew, FileOpen, AppRegister, AppUnregister, FileNothing = -1 };

    // One parameter, without its '/' or '-' when bFlag is set.
    virtual void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    ShellCommand m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    // The one application object; it registers itself as AfxGetApp() and as the creating
    // thread's CWinThread. Without a name the program file's base name is used.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCTSTR m_pszAppName = nullptr;
    // Set by SetRegistryKey: the profile then lives under HKCU\Software\<key>\<profile>.
    LPCTSTR m_pszRegistryKey = nullptr;
    // The profile: the application name under the registry key, else an ini file name
    // (a bare name lies in the Windows folder).
    LPCTSTR m_pszProfileName = nullptr;
    CDocManager* m_pDocManager = nullptr;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The application's templates; the application owns them.
    void AddDocTemplate(CDocTemplate* pTemplate);
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);

    // The process's command line, parameter by parameter, into rCmdInfo.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // FileNew runs ID_FILE_NEW (FALSE when no main window results), FileOpen opens the file,
    // FileNothing does nothing; the register commands are not supported (FALSE).
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    // The profile's key (HKCU\Software\<key>\<profile>), created when missing; the caller
    // closes it. Null without SetRegistryKey or when the registry refuses.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    // Registry values are REG_DWORD, REG_SZ and REG_BINARY; the ini form keeps numbers and
    // texts as they are and binary data as two letters 'A'..'P' per byte.
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry,
                             LPCTSTR lpszDefault = nullptr);
    // A null entry removes the section, a null value the entry.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    // *ppData is allocated with new[] (the caller deletes it); FALSE and null when absent.
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);

    // The framework's message box: owned by the main window, titled with the application name.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    // Standard command handlers; ID_FILE_NEW and ID_FILE_OPEN reach them only through the
    // application's own map.
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

protected:
    CString m_strAppName, m_strRegistryKey, m_strProfileName;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
// The current thread's CWinThread (the application on its thread), or null.
CWinThread* AfxGetThread();
// The main window of the current thread's CWinThread, or null.
CWnd* AfxGetMainWnd();
// The pre-translate walk of the current thread (also usable without a CWinThread).
BOOL AfxPreTranslateMessage(MSG* pMsg);
// One message from the queue through the pre-translate walk; false on WM_QUIT.
BOOL AfxPumpMessage();
// Dispatches the paints waiting in the queue, as a drag does before it draws over the screen;
// false when WM_QUIT came among them (posted again, so the loop that ends the program sees it).
BOOL AfxPumpPaintMessages();
// The program's entry: InitInstance, then Run (or ExitInstance when InitInstance fails).
int AfxWinMain(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow);

// A message box of the application (see CWinApp::DoMessageBox); the string form loads the
// prompt from the string table.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
// Starts Windows Sockets once for the process (cleaned up at exit); FALSE when it fails.
BOOL AfxSocketInit(struct WSAData* lpwsaData = nullptr);

// Shows the wait cursor for the object's lifetime.
class CWaitCursor {
public:
    CWaitCursor() : m_hOld(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor() { ::SetCursor(m_hOld); }
    // A message box of the application (see CWinApp::DoMessageBox); the string form loads the
// prompt from the string table.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
// Starts Windows Sockets once for the process (cleaned up at exit); FALSE when it fails.
BOOL AfxSocketInit(struct WSAData* lpwsaData = nullptr);

// Shows the wait cursor again (after a message box replaced it).
    void Restore() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }

private:
    HCURSOR m_hOld;
};
