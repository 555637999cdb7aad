// Multiple-document frames: the main frame that owns an MDI client, the child frames inside
// it (each with its own view of a document), and the template that opens documents in them.
// Classes here: CMDIFrameWnd, CMDIChildWnd, CMultiDocTemplate. Functions: AfxCancelModes.
#pragma once

#include "framework/document.h"
#include "framework/frame.h"

class CMDIChildWnd;
class CMDIFrameWnd;

// The first command id of the window menu's child list (the MDI client numbers from it).
constexpr UINT AFX_IDM_FIRST_MDICHILD = 0xFF00;
// "Command failed." (the text is given in the code where the string table lacks it).
constexpr UINT AFX_IDP_COMMAND_FAILURE = 0xF109;
// Added to a command id to make its help context.
constexpr DWORD HID_BASE_COMMAND = 0x00010000UL;

// Ends what another window holds while the user starts something new: its mouse capture
// (WM_CANCELMODE) and an open combo-box list. hWndRcvr keeps its own.
void AfxCancelModes(HWND hWndRcvr);

// WM_COMMANDHELP for a frame: help on command lParam (0: the menu item being tracked, else the
// last prompt shown) through the frame's WinHelp; FALSE when there is no command to explain.
LRESULT AfxFrameCommandHelp(CFrameWnd* pFrame, LPARAM lParam);

// Numbers the child frames of pFrame's client that show pDoc, in the order they were made
// (1, 2, ...; 0 while there is only one), leaving pGoing out, and updates their titles.
void AfxUpdateMDIFrameCounts(CMDIFrameWnd* pFrame, CDocument* pDoc, CMDIChildWnd* pGoing);

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd() = default;

    // The MDI client (pane AFX_IDW_PANE_FIRST) with the window menu pWindowMenu, whose items
    // list the children; created by OnCreateClient with the menu bar's window popup.
    virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, HMENU hWindowMenu);
    // The popup of hMenuBar holding ID_WINDOW_NEW, else the one before the last; null if none.
    static HMENU FindWindowMenu(HMENU hMenuBar);

    // The active child and whether it is maximized; null when there is none.
    virtual CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate);
    void MDINext();
    void MDIMaximize(CWnd* pWnd);
    void MDIRestore(CWnd* pWnd);
    // The frame's menu back in place (hMenuAlt or the default one) with its window list.
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);

    // The active child, else this frame.
    virtual CFrameWnd* GetActiveFrame();
    CDocument* GetActiveDocument() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // The active child first, then the frame, the application; the window list's commands
    // and system commands reach DefFrameProc.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    HWND m_hWndMDIClient = nullptr;
    HMENU m_hMenuDefault = nullptr;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    // A second child frame over the active child's document; "Command failed." without one.
    void OnWindowNew();
    void OnUpdateWindowNew(CCmdUI* pCmdUI);
    // WM_COMMANDHELP: the active child is asked first.
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd() = default;

    // Made by the MDI client (WM_MDICREATE) of pParentWnd, the application's main window
    // when null; visible and active when dwStyle has WS_VISIBLE.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CMDIFrameWnd* pParentWnd = nullptr,
                        CCreateContext* pContext = nullptr);
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_OVERLAPPEDWINDOW |
                                                            FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Destroyed through the MDI client, which picks the next active child.
    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void ActivateFrame(int nCmdShow = -1) override;
    // The document's name, ":n" added while the document shows in several frames.
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CMDIFrameWnd* GetMDIFrame() const;
    // The document this frame was made for (compared, never owned).
    CDocument* GetFrameDocument() const { return m_pFrameDocument; }

    // This frame's number among the frames of its document (0: the only one).
    int m_nWindow = 0;
    unsigned SerialForCounts() const { return m_nSerial; }
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();
    void MDIDestroy();

protected:
    // As the frame's, with the creation context carried by the MDI creation record.
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CDocument* m_pFrameDocument = nullptr;
    unsigned m_nSerial = 0; // creation order, for the window numbers
};

// Any number of documents, each in as many child frames as the user opens.
class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                      CRuntimeClass* pViewClass);
    // Closes the documents still open.
    ~CMultiDocTemplate() override;

    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    // The template's document name (else "Untitled") followed by a running number.
    void SetDefaultTitle(CDocument* pDocument) override;
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void CloseAllDocuments(BOOL bEndSession) override;

protected:
    CPtrList m_docList;
    UINT m_nUntitledCount = 0;
};
