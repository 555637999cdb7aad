// OLE drop target and drag source that forward every callback to their window.
#include "toolkit/controls/shb_dragdrop/shb_dragdrop.h"

#include "framework/view.h"

namespace {

bool Ask(CWnd* pWnd, UINT message, SHBDROPTARGETACTION& action)
{
    return pWnd != nullptr && ::IsWindow(pWnd->m_hWnd) &&
           pWnd->SendMessage(message, 0, reinterpret_cast<LPARAM>(&action)) != 0;
}

SHBDROPTARGETACTION TargetAction(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                 CPoint point)
{
    SHBDROPTARGETACTION action{};
    action.pWnd = pWnd;
    action.pDataObject = pDataObject;
    action.dwKeyState = dwKeyState;
    action.point = point;
    return action;
}

// The effect the keys ask for while a drag scrolls.
DROPEFFECT KeyEffect(DWORD dwKeyState)
{
    bool ctrl = (dwKeyState & MK_CONTROL) != 0;
    bool shift = (dwKeyState & MK_SHIFT) != 0;
    bool alt = (dwKeyState & MK_ALT) != 0;
    if (ctrl && shift)
        return DROPEFFECT_LINK;
    if (ctrl)
        return DROPEFFECT_COPY;
    if (alt || shift)
        return DROPEFFECT_MOVE;
    return DROPEFFECT_NONE;
}

// Whether the window can scroll along nBar: with the scroll-bar style a non-zero maximum and
// page, else a positive maximum and page; in both cases maximum >= page.
bool CanScroll(CWnd* pWnd, int nBar, DWORD dwStyleBit)
{
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    if (!pWnd->GetScrollInfo(nBar, &si))
        return false;
    if ((pWnd->GetStyle() & dwStyleBit) != 0)
        return si.nMax != 0 && si.nPage != 0 && si.nMax >= static_cast<int>(si.nPage);
    return si.nMax > 0 && si.nPage > 0 && si.nMax >= static_cast<int>(si.nPage);
}

} // namespace

DROPEFFECT COXSHBDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject,
                                         DWORD dwKeyState, CPoint point)
{
    SHBDROPTARGETACTION action = TargetAction(pWnd, pDataObject, dwKeyState, point);
    return Ask(pWnd, SHBDTM_DRAGENTER, action) ? action.result : DROPEFFECT_NONE;
}

DROPEFFECT COXSHBDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject,
                                        DWORD dwKeyState, CPoint point)
{
    SHBDROPTARGETACTION action = TargetAction(pWnd, pDataObject, dwKeyState, point);
    return Ask(pWnd, SHBDTM_DRAGOVER, action) ? action.result : DROPEFFECT_NONE;
}

BOOL COXSHBDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect,
                              CPoint point)
{
    SHBDROPTARGETACTION action = TargetAction(pWnd, pDataObject, 0, point);
    action.dropEffect = dropEffect;
    return Ask(pWnd, SHBDTM_DROP, action) ? static_cast<BOOL>(action.result) : FALSE;
}

DROPEFFECT COXSHBDropTarget::OnDropEx(CWnd* pWnd, COleDataObject* pDataObject,
                                      DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point)
{
    SHBDROPTARGETACTION action = TargetAction(pWnd, pDataObject, 0, point);
    action.dropEffect = dropDefault;
    action.dropList = dropList;
    if (Ask(pWnd, SHBDTM_DROPEX, action))
        return action.result;
    return COleDropTarget::OnDropEx(pWnd, pDataObject, dropDefault, dropList, point);
}

void COXSHBDropTarget::OnDragLeave(CWnd* pWnd)
{
    SHBDROPTARGETACTION action = TargetAction(pWnd, nullptr, 0, CPoint(0, 0));
    if (!Ask(pWnd, SHBDTM_DRAGLEAVE, action))
        COleDropTarget::OnDragLeave(pWnd);
}

UINT COXSHBDropTarget::ScrollCode(CWnd* pWnd, CPoint point)
{
    CRect client;
    pWnd->GetClientRect(&client);
    CRect inner = client;
    const int inset = static_cast<int>(AfxGetDragScrollSettings().nScrollInset);
    inner.DeflateRect(inset, inset);
    if (!client.PtInRect(point) || inner.PtInRect(point))
        return 0xFFFF;
    UINT horz = 0xFF, vert = 0xFF;
    if (CanScroll(pWnd, SB_HORZ, WS_HSCROLL)) {
        if (point.x < inner.left)
            horz = SB_LINEUP;
        else if (point.x >= inner.right)
            horz = SB_LINEDOWN;
    }
    if (CanScroll(pWnd, SB_VERT, WS_VSCROLL)) {
        if (point.y < inner.top)
            vert = SB_LINEUP;
        else if (point.y >= inner.bottom)
            vert = SB_LINEDOWN;
    }
    return MAKEWORD(vert, horz);
}

DROPEFFECT COXSHBDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point)
{
    SHBDROPTARGETACTION action = TargetAction(pWnd, nullptr, dwKeyState, point);
    Ask(pWnd, SHBDTM_DRAGSCROLL, action);
    if (action.result != DROPEFFECT_SCROLL)
        return action.result;

    if (pWnd->IsKindOf(RUNTIME_CLASS(CView)))
        return COleDropTarget::OnDragScroll(pWnd, dwKeyState, point);

    const UINT code = ScrollCode(pWnd, point);
    if (code == 0xFFFF) {
        if (m_nTimerID != 0xFFFF) {
            // Leaving the zone: the window sees the drag enter again.
            COleDataObject data;
            data.Attach(m_lpDataObject, FALSE);
            OnDragEnter(pWnd, &data, dwKeyState, point);
            m_nTimerID = 0xFFFF;
        }
        return DROPEFFECT_NONE;
    }

    const AFX_DRAGSCROLL_SETTINGS& settings = AfxGetDragScrollSettings();
    const DWORD now = ::GetTickCount();
    if (code != m_nTimerID) {
        m_lastTick = now;
        m_nScrollDelay = settings.nScrollDelay;
    }
    if (now - m_lastTick > m_nScrollDelay) {
        if (LOBYTE(code) != 0xFF)
            pWnd->SendMessage(WM_VSCROLL, MAKEWPARAM(LOBYTE(code), 0), 0);
        else
            pWnd->SendMessage(WM_HSCROLL, MAKEWPARAM(HIBYTE(code), 0), 0);
        m_lastTick = now;
        m_nScrollDelay = settings.nScrollInterval;
    }
    if (m_nTimerID == 0xFFFF)
        OnDragLeave(pWnd);
    m_nTimerID = code;
    return DROPEFFECT_SCROLL | KeyEffect(dwKeyState);
}

bool COXSHBDropSource::Ask(UINT message, SHBDROPSOURCEACTION& action) const
{
    return m_pOwner != nullptr && ::IsWindow(m_pOwner->m_hWnd) &&
           m_pOwner->SendMessage(message, 0, reinterpret_cast<LPARAM>(&action)) != 0;
}

SCODE COXSHBDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    SHBDROPSOURCEACTION action{};
    action.dwKeyState = dwKeyState;
    action.bEscapePressed = bEscapePressed;
    if (Ask(SHBDSM_QUERYCONTINUEDRAG, action))
        return action.result;
    return COleDropSource::QueryContinueDrag(bEscapePressed, dwKeyState);
}

SCODE COXSHBDropSource::GiveFeedback(DROPEFFECT dropEffect)
{
    SHBDROPSOURCEACTION action{};
    action.dropEffect = dropEffect;
    if (Ask(SHBDSM_GIVEFEEDBACK, action))
        return action.result;
    return COleDropSource::GiveFeedback(dropEffect);
}

BOOL COXSHBDropSource::OnBeginDrag(CWnd* pWnd)
{
    SHBDROPSOURCEACTION action{};
    action.pWnd = pWnd;
    if (Ask(SHBDSM_BEGINDRAG, action))
        return static_cast<BOOL>(action.result);
    return COleDropSource::OnBeginDrag(pWnd);
}
