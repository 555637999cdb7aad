// OLE drag and drop: data object, data source, drop source and drop target.
#include "framework/ole.h"

#include <shlobj.h>

#include <cstring>
#include <utility>

#include "framework/wnd.h"

namespace {

// The window property that leads from a registered window back to its target.
constexpr char kTargetProp[] = "SonoriaOleDropTarget";

template <class Iface>
HRESULT QueryOne(Iface* self, REFIID riid, REFIID iid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid)) {
        *ppv = self;
        self->AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HGLOBAL CopyGlobal(HGLOBAL hSource)
{
    SIZE_T size = ::GlobalSize(hSource);
    HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (hCopy == nullptr)
        return nullptr;
    void* pFrom = ::GlobalLock(hSource);
    void* pTo = ::GlobalLock(hCopy);
    if (pFrom != nullptr && pTo != nullptr)
        memcpy(pTo, pFrom, size);
    ::GlobalUnlock(hCopy);
    ::GlobalUnlock(hSource);
    return hCopy;
}

FORMATETC DefaultFormat(CLIPFORMAT cfFormat)
{
    return FORMATETC{cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

} // namespace

namespace {
thread_local int t_nOleInits = 0;
} // namespace

BOOL AfxOleInit()
{
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    ++t_nOleInits;
    return TRUE;
}

void AfxOleTerm()
{
    if (t_nOleInits == 0)
        return;
    --t_nOleInits;
    ::OleUninitialize();
}

BOOL AfxOleIsInitialized()
{
    return t_nOleInits > 0;
}

const AFX_DRAGSCROLL_SETTINGS& AfxGetDragScrollSettings()
{
    static const AFX_DRAGSCROLL_SETTINGS settings = {
        ::GetProfileInt("windows", "DragScrollInset", DD_DEFSCROLLINSET),
        ::GetProfileInt("windows", "DragScrollDelay", DD_DEFSCROLLDELAY),
        ::GetProfileInt("windows", "DragScrollInterval", DD_DEFSCROLLINTERVAL)};
    return settings;
}

DROPEFFECT AfxFilterDropEffect(DROPEFFECT dropEffect, DROPEFFECT dwAllowed)
{
    DROPEFFECT scroll = dropEffect & DROPEFFECT_SCROLL;
    DROPEFFECT effect = dropEffect & ~DROPEFFECT_SCROLL;
    if ((effect & dwAllowed) == effect)
        return dropEffect;
    if ((effect & DROPEFFECT_MOVE) != 0 && (dwAllowed & DROPEFFECT_COPY) != 0)
        return scroll | DROPEFFECT_COPY;
    return scroll;
}

// --- COleDataObject ---

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    LPDATAOBJECT p = m_lpDataObject;
    m_lpDataObject = nullptr;
    return p;
}

void COleDataObject::Release()
{
    if (m_lpDataObject != nullptr && m_bAutoRelease)
        m_lpDataObject->Release();
    m_lpDataObject = nullptr;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr)
        return FALSE;
    FORMATETC fmt = lpFormatEtc != nullptr ? *lpFormatEtc : DefaultFormat(cfFormat);
    fmt.cfFormat = cfFormat;
    return m_lpDataObject->QueryGetData(&fmt) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr || lpStgMedium == nullptr)
        return FALSE;
    FORMATETC fmt = lpFormatEtc != nullptr ? *lpFormatEtc : DefaultFormat(cfFormat);
    fmt.cfFormat = cfFormat;
    *lpStgMedium = STGMEDIUM{};
    return SUCCEEDED(m_lpDataObject->GetData(&fmt, lpStgMedium));
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    STGMEDIUM medium{};
    if (!GetData(cfFormat, &medium, lpFormatEtc))
        return nullptr;
    HGLOBAL hResult = nullptr;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr)
        hResult = medium.pUnkForRelease == nullptr ? std::exchange(medium.hGlobal, nullptr)
                                                   : CopyGlobal(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return hResult;
}

// --- COleDataSource ---

COleDataSource::COleDataSource()
{
    m_xDataObject.m_pThis = this;
}

COleDataSource::~COleDataSource()
{
    Empty();
}

void COleDataSource::Empty()
{
    for (Entry& e : m_entries)
        ::GlobalFree(e.hGlobal);
    m_entries.clear();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    ASSERT(hGlobal != nullptr);
    FORMATETC fmt = lpFormatEtc != nullptr ? *lpFormatEtc : DefaultFormat(cfFormat);
    fmt.cfFormat = cfFormat;
    fmt.tymed = TYMED_HGLOBAL;
    for (Entry& e : m_entries)
        if (e.fmt.cfFormat == cfFormat && e.fmt.dwAspect == fmt.dwAspect) {
            ::GlobalFree(e.hGlobal);
            e.hGlobal = hGlobal;
            return;
        }
    m_entries.push_back(Entry{fmt, hGlobal});
}

const COleDataSource::Entry* COleDataSource::Find(const FORMATETC* pFmt) const
{
    for (const Entry& e : m_entries)
        if (e.fmt.cfFormat == pFmt->cfFormat && e.fmt.dwAspect == pFmt->dwAspect &&
            (pFmt->tymed & TYMED_HGLOBAL) != 0)
            return &e;
    return nullptr;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag,
                                      COleDropSource* pDropSource)
{
    COleDropSource defaultSource;
    if (pDropSource == nullptr)
        pDropSource = &defaultSource;

    CPoint cursor;
    ::GetCursorPos(&cursor);
    if (lpRectStartDrag != nullptr) {
        pDropSource->m_rectStartDrag = *lpRectStartDrag;
    } else {
        int cx = ::GetSystemMetrics(SM_CXDRAG), cy = ::GetSystemMetrics(SM_CYDRAG);
        pDropSource->m_rectStartDrag.SetRect(cursor.x - cx, cursor.y - cy, cursor.x + cx + 1,
                                             cursor.y + cy + 1);
    }
    // The button that drags is the one held now; the other one cancels.
    bool right = (::GetKeyState(VK_RBUTTON) < 0) && (::GetKeyState(VK_LBUTTON) >= 0);
    pDropSource->m_dwButtonDrop = right ? MK_RBUTTON : MK_LBUTTON;
    pDropSource->m_dwButtonCancel = right ? MK_LBUTTON : MK_RBUTTON;
    pDropSource->m_bDragStarted = FALSE;

    HWND hCapture = ::GetCapture();
    if (!pDropSource->OnBeginDrag(CWnd::FromHandle(hCapture != nullptr ? hCapture
                                                                         : ::GetActiveWindow())))
        return DROPEFFECT_NONE;
    pDropSource->m_bDragStarted = TRUE;

    DWORD dwResult = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(GetInterface(), pDropSource->GetInterface(), dwEffects, &dwResult);
    return hr == DRAGDROP_S_DROP ? dwResult : DROPEFFECT_NONE;
}

HRESULT COleDataSource::XDataObject::QueryInterface(REFIID riid, void** ppv)
{
    return QueryOne<IDataObject>(this, riid, IID_IDataObject, ppv);
}

HRESULT COleDataSource::XDataObject::GetData(FORMATETC* pFmt, STGMEDIUM* pMedium)
{
    if (pFmt == nullptr || pMedium == nullptr)
        return E_INVALIDARG;
    const Entry* e = m_pThis->Find(pFmt);
    if (e == nullptr)
        return DV_E_FORMATETC;
    HGLOBAL hCopy = CopyGlobal(e->hGlobal);
    if (hCopy == nullptr)
        return E_OUTOFMEMORY;
    pMedium->tymed = TYMED_HGLOBAL;
    pMedium->hGlobal = hCopy;
    pMedium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT COleDataSource::XDataObject::QueryGetData(FORMATETC* pFmt)
{
    if (pFmt == nullptr)
        return E_INVALIDARG;
    return m_pThis->Find(pFmt) != nullptr ? S_OK : DV_E_FORMATETC;
}

HRESULT COleDataSource::XDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pOut)
{
    if (pOut != nullptr)
        pOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT COleDataSource::XDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum)
{
    if (ppEnum == nullptr)
        return E_POINTER;
    *ppEnum = nullptr;
    if (dwDirection != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const Entry& e : m_pThis->m_entries)
        formats.push_back(e.fmt);
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), ppEnum);
}

// --- COleDropSource ---

COleDropSource::COleDropSource()
{
    m_xDropSource.m_pThis = this;
}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed || (dwKeyState & m_dwButtonCancel) != 0)
        return DRAGDROP_S_CANCEL;
    if ((dwKeyState & m_dwButtonDrop) == 0)
        return m_bDragStarted ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd)
{
    HWND hWnd = AfxHwnd(pWnd);
    if (hWnd != nullptr)
        ::SetCapture(hWnd);
    const DWORD start = ::GetTickCount();
    const UINT delay = ::GetProfileInt("windows", "DragDelay", DD_DEFDRAGDELAY);
    const int dropKey = m_dwButtonDrop == MK_RBUTTON ? VK_RBUTTON : VK_LBUTTON;
    BOOL bBegin = FALSE;
    for (;;) {
        if (::GetAsyncKeyState(VK_ESCAPE) < 0 || ::GetAsyncKeyState(dropKey) >= 0)
            break;
        CPoint pt;
        ::GetCursorPos(&pt);
        if (!m_rectStartDrag.PtInRect(pt) || ::GetTickCount() - start >= delay) {
            bBegin = TRUE;
            break;
        }
        // Keep the queue moving (paints, timers) while waiting; input stays queued for the
        // drag loop that follows.
        MSG msg;
        while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE |
                                                        PM_QS_SENDMESSAGE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    if (hWnd != nullptr && ::GetCapture() == hWnd)
        ::ReleaseCapture();
    return bBegin;
}

HRESULT COleDropSource::XDropSource::QueryInterface(REFIID riid, void** ppv)
{
    return QueryOne<IDropSource>(this, riid, IID_IDropSource, ppv);
}

HRESULT COleDropSource::XDropSource::QueryContinueDrag(BOOL bEscape, DWORD dwKeyState)
{
    return m_pThis->QueryContinueDrag(bEscape, dwKeyState);
}

HRESULT COleDropSource::XDropSource::GiveFeedback(DWORD dwEffect)
{
    return m_pThis->GiveFeedback(dwEffect);
}

// --- COleDropTarget ---

COleDropTarget::COleDropTarget()
{
    m_xDropTarget.m_pThis = this;
}

COleDropTarget::~COleDropTarget()
{
    if (m_hWnd != nullptr)
        COleDropTarget::Revoke();
    ReleaseData();
}

CWnd* COleDropTarget::GetWnd() const
{
    return CWnd::FromHandle(m_hWnd);
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    HWND hWnd = AfxHwnd(pWnd);
    if (hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    // Without OLE the window simply takes no drops. The system cannot be asked: a thread
    // with windows may have a COM apartment (input-method support makes one), and Wine then
    // registers targets even without OleInitialize.
    if (!AfxOleIsInitialized())
        return FALSE;
    if (FAILED(::RegisterDragDrop(hWnd, &m_xDropTarget)))
        return FALSE;
    m_hWnd = hWnd;
    ::SetProp(hWnd, kTargetProp, this);
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (m_hWnd == nullptr)
        return;
    ::RemoveProp(m_hWnd, kTargetProp);
    ::RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
    ReleaseData();
}

void COleDropTarget::AfxRevokeOnDestroy(HWND hWnd)
{
    auto* pTarget = static_cast<COleDropTarget*>(::GetProp(hWnd, kTargetProp));
    if (pTarget != nullptr && pTarget->m_hWnd == hWnd)
        pTarget->Revoke();
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    return static_cast<DROPEFFECT>(-1);
}

void COleDropTarget::OnDragLeave(CWnd*) {}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

void COleDropTarget::ReleaseData()
{
    if (m_lpDataObject != nullptr)
        std::exchange(m_lpDataObject, nullptr)->Release();
}

namespace {
CPoint ClientPoint(HWND hWnd, POINTL pt)
{
    POINT p{pt.x, pt.y};
    ::ScreenToClient(hWnd, &p);
    return CPoint(p);
}
} // namespace

DWORD COleDropTarget::Enter(LPDATAOBJECT lpDataObject, DWORD dwKeyState, POINTL pt,
                            DWORD dwAllowed)
{
    ReleaseData();
    m_lpDataObject = lpDataObject;
    if (m_lpDataObject != nullptr)
        m_lpDataObject->AddRef();
    CWnd* pWnd = GetWnd();
    CPoint point = ClientPoint(m_hWnd, pt);
    DROPEFFECT effect = OnDragScroll(pWnd, dwKeyState, point);
    if ((effect & DROPEFFECT_SCROLL) == 0) {
        COleDataObject data;
        data.Attach(m_lpDataObject, FALSE);
        effect = OnDragEnter(pWnd, &data, dwKeyState, point);
    }
    return AfxFilterDropEffect(effect, dwAllowed);
}

DWORD COleDropTarget::Over(DWORD dwKeyState, POINTL pt, DWORD dwAllowed)
{
    CWnd* pWnd = GetWnd();
    CPoint point = ClientPoint(m_hWnd, pt);
    DROPEFFECT effect = OnDragScroll(pWnd, dwKeyState, point);
    if ((effect & DROPEFFECT_SCROLL) == 0) {
        COleDataObject data;
        data.Attach(m_lpDataObject, FALSE);
        effect = OnDragOver(pWnd, &data, dwKeyState, point);
    }
    return AfxFilterDropEffect(effect, dwAllowed);
}

void COleDropTarget::Leave()
{
    OnDragLeave(GetWnd());
    m_nTimerID = 0xFFFF;
    ReleaseData();
}

DWORD COleDropTarget::Drop(LPDATAOBJECT lpDataObject, DWORD dwKeyState, POINTL pt,
                           DWORD dwAllowed)
{
    CWnd* pWnd = GetWnd();
    CPoint point = ClientPoint(m_hWnd, pt);
    COleDataObject data;
    data.Attach(lpDataObject, FALSE);
    // The effect the target would take here decides the drop; the drop itself sees no keys.
    DROPEFFECT effect = AfxFilterDropEffect(OnDragOver(pWnd, &data, dwKeyState, point),
                                            dwAllowed) & ~DROPEFFECT_SCROLL;
    DROPEFFECT chosen = OnDropEx(pWnd, &data, effect, dwAllowed, point);
    if (chosen != static_cast<DROPEFFECT>(-1)) {
        effect = chosen;
    } else if (effect != DROPEFFECT_NONE) {
        if (!OnDrop(pWnd, &data, effect, point))
            effect = DROPEFFECT_NONE;
    } else {
        OnDragLeave(pWnd);
    }
    m_nTimerID = 0xFFFF;
    ReleaseData();
    return effect;
}

HRESULT COleDropTarget::XDropTarget::QueryInterface(REFIID riid, void** ppv)
{
    return QueryOne<IDropTarget>(this, riid, IID_IDropTarget, ppv);
}

HRESULT COleDropTarget::XDropTarget::DragEnter(IDataObject* pData, DWORD dwKeyState, POINTL pt,
                                               DWORD* pdwEffect)
{
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    *pdwEffect = m_pThis->Enter(pData, dwKeyState, pt, *pdwEffect);
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::DragOver(DWORD dwKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    *pdwEffect = m_pThis->Over(dwKeyState, pt, *pdwEffect);
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::DragLeave()
{
    m_pThis->Leave();
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::Drop(IDataObject* pData, DWORD dwKeyState, POINTL pt,
                                          DWORD* pdwEffect)
{
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    *pdwEffect = m_pThis->Drop(pData, dwKeyState, pt, *pdwEffect);
    return S_OK;
}
