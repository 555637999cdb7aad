// An OLE drop target and drag source for windows that are not views: each OLE callback
// becomes a private message, sent to the window with the address of a parameter record; a
// window that answers non-zero has handled it and its record's result is taken.
// Classes here: COXSHBDropTarget, COXSHBDropSource; the records SHBDROPTARGETACTION and
// SHBDROPSOURCEACTION.
#pragma once

#include <windows.h>

#include "framework/ui.h"

// Sent by the drop target (wParam 0, lParam SHBDROPTARGETACTION*).
constexpr UINT SHBDTM_DRAGENTER = 0x80AD;
constexpr UINT SHBDTM_DRAGLEAVE = 0x80AE;
constexpr UINT SHBDTM_DRAGOVER = 0x80AF;
constexpr UINT SHBDTM_DRAGSCROLL = 0x80B0;
constexpr UINT SHBDTM_DROP = 0x80B1;
constexpr UINT SHBDTM_DROPEX = 0x80B2;
// Sent by the drag source to its owner (wParam 0, lParam SHBDROPSOURCEACTION*).
constexpr UINT SHBDSM_GIVEFEEDBACK = 0x80B3;
constexpr UINT SHBDSM_BEGINDRAG = 0x80B4;
constexpr UINT SHBDSM_QUERYCONTINUEDRAG = 0x80B5;

// Fields a message does not use are 0.
struct SHBDROPTARGETACTION {
    CWnd* pWnd;                   // the registered window
    COleDataObject* pDataObject;  // null for leave and scroll
    DWORD dwKeyState;             // MK_* bits; 0 for drop
    POINT point;                  // client coordinates of pWnd
    DROPEFFECT dropEffect;        // drop: the effect chosen; drop-ex: the default effect
    DROPEFFECT dropList;          // drop-ex: the effects the source allows
    DROPEFFECT result;            // written by the receiver (a DROPEFFECT, or BOOL for drop)
};

struct SHBDROPSOURCEACTION {
    CWnd* pWnd;            // begin-drag: the window that starts the drag
    DWORD dwKeyState;      // query: MK_* bits
    BOOL bEscapePressed;   // query
    DROPEFFECT dropEffect; // feedback
    SCODE result;          // written by the receiver (an SCODE, or BOOL for begin-drag)
};

class COXSHBDropTarget : public COleDropTarget {
public:
    COXSHBDropTarget() = default;
    ~COXSHBDropTarget() override = default;

    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                           CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                          CPoint point) override;
    BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect,
                CPoint point) override;
    DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                        DROPEFFECT dropList, CPoint point) override;
    void OnDragLeave(CWnd* pWnd) override;
    // The window is asked first; answering DROPEFFECT_SCROLL alone asks for the default
    // scrolling: line scrolls while the point rests in the inset band of the client area, in
    // the directions the window can scroll.
    DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point) override;

private:
    // The scroll code of a point: high byte horizontal, low byte vertical, 0xFF none.
    static UINT ScrollCode(CWnd* pWnd, CPoint point);
};

class COXSHBDropSource : public COleDropSource {
public:
    COXSHBDropSource() = default;
    ~COXSHBDropSource() override = default;

    // The window that receives the messages; set by the owner before each drag. Null: the
    // framework's answers.
    CWnd* m_pOwner = nullptr;

    SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;
    SCODE GiveFeedback(DROPEFFECT dropEffect) override;
    BOOL OnBeginDrag(CWnd* pWnd) override;

private:
    bool Ask(UINT message, SHBDROPSOURCEACTION& action) const;
};
