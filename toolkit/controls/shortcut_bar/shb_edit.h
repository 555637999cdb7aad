// The in-place editor with which the shortcut bar renames group headers and its lists rename
// items. It keeps the mouse captured while editing: Enter, a click elsewhere or losing the
// focus commits, Escape cancels; the result goes to the parent as SHBEN_FINISHEDIT.
#pragma once

#include <memory>

#include "framework/ui.h"
#include "toolkit/controls/shortcut_bar/shb_defs.h"

class COXSHBEdit : public CEdit {
    DECLARE_DYNAMIC(COXSHBEdit)
public:
    COXSHBEdit();
    ~COXSHBEdit() override;

    // Re-creates the (existing, usually hidden) editor window from the request and starts
    // editing. FALSE for an invalid request or when the window cannot be made; then nothing
    // is shown or reported. Null: the current style, text and place, and no stored request.
    virtual BOOL StartEdit(const SHB_EDITINFO* pEditInfo);
    // Ends editing: releases the capture, reports bOK to the parent and hides the editor.
    virtual void FinishEdit(BOOL bOK);

    BOOL IsEditing() const { return m_bIsEditing; }
    // The request of the edit under way (null without one).
    const SHB_EDITINFO* GetEditInfo() const { return m_pEditInfo.get(); }

    // Checks a request against this editor (its current text and client area where the
    // request gives none).
    BOOL VerifyEditInfo(const SHB_EDITINFO* pEditInfo) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnUpdate();
    LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Passes a mouse message outside the editor on to the window under it; TRUE when the
    // editor must not process it itself.
    bool ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void AutoSize();

    std::unique_ptr<SHB_EDITINFO> m_pEditInfo;
    CString m_strText; // the request's text, kept while its record lives
    CFont m_font;
    CBrush m_brushBack;
    COLORREF m_clrBack;
    BOOL m_bIsEditing = FALSE;
};
