// COXEdit: an edit control whose text is fixed text, the user's input and fixed text again,
// described by a mask; typing, deleting, cutting and pasting change only the input.
#pragma once

#include <windows.h>

#include "framework/ui.h"
#include "toolkit/controls/masked_edit/masked_text.h"

class COXEdit : public CEdit
{
    DECLARE_DYNAMIC(COXEdit)
public:
    COXEdit();
    ~COXEdit() override;

    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr) override;
    using CEdit::CreateEx;

    virtual void GetInputData(CString& out) const;
    virtual BOOL SetInputData(LPCTSTR lpszText, int nPosition = 0);
    virtual void EmptyData(BOOL bOnlyInput = FALSE);
    virtual void ValidationError();
    virtual BOOL UpdateFormat() { return TRUE; }
    virtual BOOL InitControl();
    virtual int GetFormatShift() { return 0; }
    virtual void DeleteContents();
    virtual BOOL IsInputPosition(int nPosition) const;
    virtual BOOL IsInsertPosition(int nPosition) const;
    virtual int DeleteRange(int& nStart, int& nEnd);
    virtual int InsertAt(int nPosition, TCHAR chNew);
    virtual int OverwriteAt(int nPosition, TCHAR chNew);
    virtual int GetNextInputPosition(int nPosition) const;
    virtual int GetPrevInputPosition(int nPosition) const;

    BOOL SetMask(LPCTSTR lpszMask);
    CString GetMask() const { return m_text.GetMask(); }
    CString GetWindowFullText() const { return m_text.GetFullText(); }
    void UpdateText(int nPosition = 0);
    void SetCaretForward(int nPosition);
    void SetCaretBackward(int nPosition);
    void NotifyParent(UINT nNotificationID);
    void CopyFont();
    int ReformatAndLimit();
    BOOL IsInsertMode() const { return m_bInsertMode; }
    void SetInsertMode(BOOL bInsertMode) { m_bInsertMode = bInsertMode; }

    void SetTextColor(COLORREF clr) { m_clrText = clr; }
    void SetBkColor(COLORREF clr) { m_clrBack = clr; }
    void SetReadOnlyTextColor(COLORREF clr) { m_clrReadOnlyText = clr; }
    void SetReadOnlyBkColor(COLORREF clr) { m_clrReadOnlyBack = clr; }
    void SetToolTipText(LPCTSTR lpszText);
    void SetKeepSelectionOnFocus(BOOL bKeep) { m_bKeepSelectionOnFocus = bKeep; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSetFocus(CWnd* pOldWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    LRESULT OnCut(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    BOOL IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
    // Places a typed character (a CR brings its LF) at nStart; false when it found no room.
    bool PlaceChar(int nStart, char ch, bool bInsert);
    // Deletes the first input character at or after (forward) or before (backward) nPos.
    int DeleteOneFrom(int nPos, bool bForward, int& nStart);
    void ToolRect(TOOLINFO& ti);

    COLORREF m_clrText;
    COLORREF m_clrBack;
    CFont m_font;
    CMaskedText m_text;
    BOOL m_bInsertMode = TRUE;
    CString m_sToolTipText;
    HWND m_hToolTip = nullptr;
    int m_nUpdateDepth = 0;
    BOOL m_bNotifyChange = TRUE;
    BOOL m_bKeepSelectionOnFocus = FALSE;
    BOOL m_bFontGuard = FALSE;
    BOOL m_bInitialized = FALSE;
    COLORREF m_clrReadOnlyBack;
    COLORREF m_clrReadOnlyText;
    CString m_sLastInput;
    BOOL m_bCreating = FALSE;
};
