// The docking layout of a frame as data: where every bar is, docked or floating, visible or
// not, and where it was docked and floated last; saved to and loaded from the application
// profile. Classes here: CControlBarInfo, CDockState.
#pragma once

#include "framework/collections.h"
#include "framework/control_bar.h"

class CControlBarInfo {
public:
    CControlBarInfo() = default;
    // One profile section per bar: "<profile>-Bar<n>".
    BOOL SaveState(LPCTSTR lpszProfileName, int nIndex);
    BOOL LoadState(LPCTSTR lpszProfileName, int nIndex);

    UINT m_nBarID = 0;
    BOOL m_bVisible = FALSE;
    BOOL m_bFloating = FALSE; // a floating dock bar (its frame's client starts at m_pointPos)
    BOOL m_bHorz = FALSE;
    BOOL m_bDockBar = FALSE;
    CPoint m_pointPos;        // in the parent's client coordinates; screen for floating
    UINT m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE;  // the bar has a drag context: the four values below apply
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;
    // A dock bar's array after its leading row end: bar ids, 0 for a row end, placeholders
    // with kPlaceHolderFlag.
    CDWordArray m_arrBarID;
    CControlBar* m_pBar = nullptr; // filled in when the state is applied

    static constexpr DWORD kPlaceHolderFlag = 0x10000;
};

class CDockState : public CObject {
public:
    CDockState() = default;
    ~CDockState() override { Clear(); }
    CDockState(const CDockState&) = delete;
    CDockState& operator=(const CDockState&) = delete;

    // A summary section "<profile>-Summary" and the bars' sections.
    void SaveState(LPCTSTR lpszProfileName);
    void LoadState(LPCTSTR lpszProfileName);
    void Clear();

    CPtrArray m_arrBarInfo; // CControlBarInfo, owned
};
