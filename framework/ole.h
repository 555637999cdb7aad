// OLE drag and drop over the system's COM interfaces, for windows that are not documents.
// Classes here: COleDataObject, COleDataSource, COleDropSource, COleDropTarget.
//
// The COM objects are members of these C++ objects and live as long as they do: their
// reference counts are kept for COM's sake but never delete anything. None of this needs OLE
// unless a drag really happens; Register fails quietly in a thread without AfxOleInit.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <vector>

#include "framework/cmd_target.h"
#include "framework/geometry.h"

class CWnd;

// OLE for the calling thread (OleInitialize, undone by AfxOleTerm). The drag-and-drop classes
// work only in a thread that initialised OLE this way; elsewhere Register fails quietly.
BOOL AfxOleInit();
void AfxOleTerm();
BOOL AfxOleIsInitialized();

// A set of DROPEFFECT_* bits.
using DROPEFFECT = DWORD;

// The drag-scroll settings every drop target shares: the inset (pixels from the client edge
// where scrolling starts), the delay before the first scroll and the interval between scrolls
// (milliseconds). Read once from the [windows] section of win.ini, with the system defaults.
struct AFX_DRAGSCROLL_SETTINGS {
    UINT nScrollInset;
    UINT nScrollDelay;
    UINT nScrollInterval;
};
const AFX_DRAGSCROLL_SETTINGS& AfxGetDragScrollSettings();

// A borrowed or owned IDataObject, as a drop target receives it.
class COleDataObject {
public:
    COleDataObject() = default;
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;
    ~COleDataObject() { Release(); }

    // With bAutoRelease the object releases lpDataObject when detached from it or destroyed;
    // without, the caller keeps its reference.
    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    LPDATAOBJECT Detach();
    void Release();
    LPDATAOBJECT GetIDataObject() const { return m_lpDataObject; }

    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    // The data in a medium the caller releases (ReleaseStgMedium); FALSE when absent.
    BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    // A copy of the data in global memory the caller frees, or null.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);

private:
    LPDATAOBJECT m_lpDataObject = nullptr;
    BOOL m_bAutoRelease = TRUE;
};

class COleDropSource;

// Data offered by a drag: formats cached in global memory, served through IDataObject.
class COleDataSource : public CCmdTarget {
public:
    COleDataSource();
    ~COleDataSource() override;

    // Takes ownership of hGlobal; a second cache of the same format replaces the first.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = nullptr);
    void Empty();
    // Runs the modal drag. The source first decides whether the drag begins at all
    // (COleDropSource::OnBeginDrag, with lpRectStartDrag in screen coordinates or the system's
    // drag rectangle round the cursor); DROPEFFECT_NONE when it does not. pDropSource null: a
    // default source.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT lpRectStartDrag = nullptr, COleDropSource* pDropSource = nullptr);
    LPDATAOBJECT GetInterface() { return &m_xDataObject; }

private:
    struct Entry {
        FORMATETC fmt;
        HGLOBAL hGlobal;
    };
    const Entry* Find(const FORMATETC* pFmt) const;

    struct XDataObject : IDataObject {
        COleDataSource* m_pThis = nullptr;
        ULONG m_nRef = 0;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRef; }
        ULONG STDMETHODCALLTYPE Release() override { return --m_nRef; }
        HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pFmt, STGMEDIUM* pMedium) override;
        HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pFmt) override;
        HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pOut) override;
        HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
        HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
        {
            return OLE_E_ADVISENOTSUPPORTED;
        }
        HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
        HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override
        {
            return OLE_E_ADVISENOTSUPPORTED;
        }
    } m_xDataObject;

    std::vector<Entry> m_entries;
};

// The source side of a drag: decides when the drag starts, goes on and what the cursor shows.
class COleDropSource : public CCmdTarget {
public:
    COleDropSource();
    ~COleDropSource() override = default;

    // S_OK to go on, DRAGDROP_S_DROP when the drop button was released, DRAGDROP_S_CANCEL on
    // Escape or when the cancel button was pressed.
    virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
    // DRAGDROP_S_USEDEFAULTCURSORS: the system's drag cursors.
    virtual SCODE GiveFeedback(DROPEFFECT dropEffect);
    // Called with the mouse captured to pWnd: TRUE once the cursor leaves m_rectStartDrag or
    // the system's drag delay passes with the button held; FALSE when the button is released
    // or Escape is pressed first.
    virtual BOOL OnBeginDrag(CWnd* pWnd);

    LPDROPSOURCE GetInterface() { return &m_xDropSource; }

    BOOL m_bDragStarted = FALSE;
    DWORD m_dwButtonCancel = 0; // the mouse-key bit whose press cancels the drag
    DWORD m_dwButtonDrop = 0;   // the mouse-key bit whose release drops
    CRect m_rectStartDrag;      // screen coordinates

private:
    struct XDropSource : IDropSource {
        COleDropSource* m_pThis = nullptr;
        ULONG m_nRef = 0;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRef; }
        ULONG STDMETHODCALLTYPE Release() override { return --m_nRef; }
        HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL bEscape, DWORD dwKeyState) override;
        HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD dwEffect) override;
    } m_xDropSource;
};

// The target side: registered on one window, turns the OLE callbacks into virtual calls with
// client coordinates and a COleDataObject.
class COleDropTarget : public CCmdTarget {
public:
    COleDropTarget();
    // Revokes a registration that is still in place.
    ~COleDropTarget() override;

    // Registers the target on pWnd; FALSE (quietly) when OLE is not initialised in this thread
    // or the window already has a target. The registration is undone by Revoke or when the
    // window is destroyed.
    BOOL Register(CWnd* pWnd);
    virtual void Revoke();
    CWnd* GetWnd() const;
    HWND GetSafeHwnd() const { return m_hWnd; }

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                   CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                  CPoint point);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect,
                        CPoint point);
    // (DROPEFFECT)-1 lets the drop fall back to OnDrop with the effect from OnDragOver.
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                DROPEFFECT dropList, CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    // Asked before every enter and move: an answer with DROPEFFECT_SCROLL means the point is
    // in a scroll zone and OnDragEnter/OnDragOver are not called. The framework itself scrolls
    // nothing: DROPEFFECT_NONE.
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    // The scroll state of a target that scrolls its window while a drag rests in a scroll zone.
    UINT m_nTimerID = 0xFFFF;  // the last scroll code; 0xFFFF while not scrolling
    DWORD m_lastTick = 0;      // GetTickCount of the last scroll (or of entering the zone)
    UINT m_nScrollDelay = 0;   // the wait before the next scroll

    // Called by the window layer when a registered window is destroyed.
    static void AfxRevokeOnDestroy(HWND hWnd);

protected:
    // The data object of the drag under way (between enter and leave or drop), else null.
    LPDATAOBJECT m_lpDataObject = nullptr;

private:
    DWORD Enter(LPDATAOBJECT lpDataObject, DWORD dwKeyState, POINTL pt, DWORD dwAllowed);
    DWORD Over(DWORD dwKeyState, POINTL pt, DWORD dwAllowed);
    DWORD Drop(LPDATAOBJECT lpDataObject, DWORD dwKeyState, POINTL pt, DWORD dwAllowed);
    void Leave();
    void ReleaseData();

    struct XDropTarget : IDropTarget {
        COleDropTarget* m_pThis = nullptr;
        ULONG m_nRef = 0;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRef; }
        ULONG STDMETHODCALLTYPE Release() override { return --m_nRef; }
        HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pData, DWORD dwKeyState, POINTL pt,
                                            DWORD* pdwEffect) override;
        HRESULT STDMETHODCALLTYPE DragOver(DWORD dwKeyState, POINTL pt, DWORD* pdwEffect) override;
        HRESULT STDMETHODCALLTYPE DragLeave() override;
        HRESULT STDMETHODCALLTYPE Drop(IDataObject* pData, DWORD dwKeyState, POINTL pt,
                                       DWORD* pdwEffect) override;
    } m_xDropTarget;

    HWND m_hWnd = nullptr;
};

// The effect a target chose, reduced to what the source allows (the scroll bit kept): a move
// the source refuses becomes a copy when it allows that, anything else refused becomes none.
DROPEFFECT AfxFilterDropEffect(DROPEFFECT dropEffect, DROPEFFECT dwAllowed);
