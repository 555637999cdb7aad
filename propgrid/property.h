// The row base classes of the property grid: EProperty, the text/icon/button row
// EIconTextButtonProperty, and FitTextToWidth.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ui.h"
#include "propgrid/prop_host.h"

class EPropWnd;
class EPropWndEdit;
class CHoverButton;
class EXMenu;

// Shortens text (in place) until it fits width in pDC's font: four characters at a time
// become "...", a short text loses dots; the empty text always fits.
void FitTextToWidth(CString& text, int width, CDC* pDC);

// A face colour darkened by d in each of red, green and blue (not below 0).
COLORREF DarkenColor(COLORREF c, int d);

class EProperty {
public:
    // pProperty is the bound member (null for a separator); the host must outlive the row.
    EProperty(IPropertyHost* pHost, const CString& sName, void* pProperty, bool bEnabled);
    EProperty(const EProperty&) = delete;
    EProperty& operator=(const EProperty&) = delete;
    virtual ~EProperty();

    // A command from the row's editor (wParam as in WM_COMMAND); true when the value changed.
    virtual bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) { return false; }
    virtual const CString& GetName() { return m_sName; }
    virtual int GetValueWidth(CDC* pDC) { return 50; }
    virtual int GetDefaultHeight() { return 100; }
    virtual int GetHeight(CDC* pDC) { return GetDefaultHeight(); }
    virtual void DrawValue(CDC* pDC, EPropWnd* pCtrl);
    virtual void Draw(CDC* pDC, EPropWnd* pCtrl);
    virtual void OpenEditor(EPropWnd* pCtrl) {}
    // True when the member was written.
    virtual bool CommitEditText() { return false; }
    virtual void CloseEditor() {}
    // x, y in content coordinates; true when the value changed.
    virtual bool OnLButtonDown(EPropWnd* pCtrl, int x, int y) { return false; }
    // The own flag and, only when it is set, the host's IsPropertyEditable.
    virtual bool IsEnabled();
    virtual bool IsSelectable() { return true; }
    virtual COLORREF GetColors(EPropWnd* pCtrl);
    virtual bool GetNumericValue(double* pValue) { return false; }
    virtual CString GetSortText() { return CString(); }
    virtual int Compare(EProperty* pOther);
    virtual bool OnSpaceKey() { return false; }
    virtual EProperty* SetComment(const CString& sComment);
    virtual CString GetComment() { return m_sComment; }
    virtual bool ValidateEditText() { return true; }
    virtual void AddContextMenuItems(EXMenu* pMenu) {}
    virtual void OnContextMenuCommand(int nIndex) {}

    bool IsActive() const { return m_bActive; }
    void* GetPropertyAddress() const { return m_pProperty; }
    IPropertyHost* GetHost() const { return m_pHost; }
    IPropertyHost* GetParentHost() const { return m_pParentHost; }
    void SetParentHost(IPropertyHost* pHost) { m_pParentHost = pHost; }
    const CRect& GetValueRect() const { return m_rcValue; }
    void SetValueRect(const CRect& rc) { m_rcValue = rc; }

protected:
    // Asks the host whether the member may take *pNewValue.
    bool AskHost(void* pNewValue)
    {
        return m_pHost == nullptr || m_pHost->OnPropertyChange(m_pProperty, pNewValue);
    }

    bool m_bEnabled;
    bool m_bActive = false;
    CString m_sName;
    IPropertyHost* m_pHost;
    IPropertyHost* m_pParentHost = nullptr;
    CRect m_rcValue;
    void* m_pProperty;
    CString m_sComment;
};

// A value shown as text, optionally with an icon before it, an in-place edit box and a "..."
// button while the row is active.
class EIconTextButtonProperty : public EProperty {
public:
    EIconTextButtonProperty(IPropertyHost* pHost, const CString& sName, void* pProperty,
                            bool bEnabled);
    ~EIconTextButtonProperty() override;

    int GetValueWidth(CDC* pDC) override;
    int GetHeight(CDC* pDC) override;
    void DrawValue(CDC* pDC, EPropWnd* pCtrl) override;
    void OpenEditor(EPropWnd* pCtrl) override;
    void CloseEditor() override;
    CString GetSortText() override { return GetTextValue(); }

    virtual int GetIconWidth() { return 0; }
    virtual bool HasButton() { return false; }
    virtual void DrawIcon(CDC* pDC, EPropWnd* pCtrl, const CRect& rcIcon);
    virtual CString GetTextValue();
    virtual bool HasEditBox() { return false; }
    // A password row draws its value as asterisks and edits it in a password edit box.
    EIconTextButtonProperty* SetPassword(bool bPassword)
    {
        m_bPassword = bPassword;
        return this;
    }
    bool IsPassword() const { return m_bPassword; }

    // The in-place edit box while the editor is open, else null.
    EPropWndEdit* GetEditBox() const { return m_pEdit.get(); }
    CHoverButton* GetButton() const { return m_pButton.get(); }
    const CRect& GetButtonRect() const { return m_rcButton; }

protected:
    // The edit box's text; false without an edit box.
    bool GetEditText(CString& text) const;
    // True when the edit box exists and its text differs from the text at open.
    bool EditTextChanged(CString& text) const;
    // After a dialog changed the member: the edit box and the text at open show the new value.
    void RefreshEditText();
    void ComputeRects(EPropWnd* pCtrl);

    int m_nButtonWidth = 20;
    int m_nIconWidth = 0;
    bool m_bPassword = false;
    std::unique_ptr<EPropWndEdit> m_pEdit;
    std::unique_ptr<CHoverButton> m_pButton;
    CRect m_rcIcon, m_rcText, m_rcButton;
    CString m_sTextAtOpen;
    CPoint m_ptOrigin;
};
