// The property kinds besides the numeric ones and the text block.
// Classes here: EPropertyString, EPropertyCharString, EPropertyCombo, EPropertyCheck,
// EPropertyColor, EPropertyFont, EPropertyFile, EPropertyDir, EPropertySystemTime,
// EPropertyAngle, EPropertyIP, EPropertySeparator; FormatAngle.
#pragma once

#include <vector>

#include "propgrid/property.h"

class EPropertyString : public EIconTextButtonProperty {
public:
    EPropertyString(IPropertyHost* pHost, const CString& sName, CString* pProperty, bool bEnabled);
    CString GetTextValue() override;
    bool HasEditBox() override { return true; }
    bool CommitEditText() override;

protected:
    // Offers text to the host and assigns it on true.
    bool Assign(const CString& text);
};

// A character buffer shown up to its first NUL or its length; never editable.
class EPropertyCharString : public EIconTextButtonProperty {
public:
    EPropertyCharString(IPropertyHost* pHost, const CString& sName, char* pProperty, int nLength);
    CString GetTextValue() override;

private:
    int m_nLength;
};

class EPropertyCombo : public EIconTextButtonProperty {
public:
    EPropertyCombo(IPropertyHost* pHost, const CString& sName, int* pProperty);
    EPropertyCombo* AddItemValue(const CString& sLabel, int nValue);
    // The choice's value is its position.
    EPropertyCombo* AddItem(const CString& sLabel);
    bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) override;
    bool HasButton() override { return true; }
    CString GetTextValue() override;

private:
    std::vector<CString> m_labels;
    std::vector<int> m_values;
};

class EPropertyCheck : public EIconTextButtonProperty {
public:
    EPropertyCheck(IPropertyHost* pHost, const CString& sName, bool* pProperty);
    int GetHeight(CDC*) override { return 19; }
    bool OnLButtonDown(EPropWnd* pCtrl, int x, int y) override;
    bool OnSpaceKey() override;
    int GetIconWidth() override { return 13; }
    void DrawIcon(CDC* pDC, EPropWnd* pCtrl, const CRect& rcIcon) override;
    CString GetTextValue() override { return CString(); }

private:
    bool Toggle();
};

class EPropertyColor : public EIconTextButtonProperty {
public:
    EPropertyColor(IPropertyHost* pHost, const CString& sName, COLORREF* pProperty, bool bEnabled);
    bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) override;
    bool CommitEditText() override;
    int GetIconWidth() override { return 13; }
    bool HasButton() override { return true; }
    void DrawIcon(CDC* pDC, EPropWnd* pCtrl, const CRect& rcIcon) override;
    CString GetTextValue() override;
    bool HasEditBox() override { return true; }

protected:
    bool Assign(COLORREF c);
};

class EPropertyFont : public EIconTextButtonProperty {
public:
    EPropertyFont(IPropertyHost* pHost, const CString& sName, CFont* pProperty);
    bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) override;
    bool HasButton() override { return true; }
    CString GetTextValue() override;
    // Offers lf to the host; on true the font object holds a new font made from it.
    bool Assign(const LOGFONT& lf);
};

class EPropertyFile : public EPropertyString {
public:
    EPropertyFile(IPropertyHost* pHost, const CString& sName, CString* pProperty,
                  const CString& sFilter);
    bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) override;
    bool HasButton() override { return true; }

private:
    CString m_sFilter;
};

class EPropertyDir : public EPropertyString {
public:
    EPropertyDir(IPropertyHost* pHost, const CString& sName, CString* pProperty);
    bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) override;
    bool HasButton() override { return true; }
};

class EPropertySystemTime : public EIconTextButtonProperty {
public:
    EPropertySystemTime(IPropertyHost* pHost, const CString& sName, SYSTEMTIME* pProperty);
    CString GetTextValue() override;
};

// An angle in degrees shown in style 0 (decimal degrees), 1 (degrees and decimal minutes) or
// 2 (degrees, minutes, decimal seconds).
CString FormatAngle(double v, int nStyle);

class EPropertyAngle : public EIconTextButtonProperty {
public:
    EPropertyAngle(IPropertyHost* pHost, const CString& sName, double* pProperty, int* pStyle,
                   bool bEnabled);
    bool CommitEditText() override;
    void AddContextMenuItems(EXMenu* pMenu) override;
    void OnContextMenuCommand(int nIndex) override;
    CString GetTextValue() override;
    bool HasEditBox() override { return true; }

private:
    int* m_pStyle;
    int m_nOwnStyle = 2;
};

class EPropertyIP : public EIconTextButtonProperty {
public:
    EPropertyIP(IPropertyHost* pHost, const CString& sName, DWORD* pProperty, bool bEnabled);
    bool CommitEditText() override;
    CString GetTextValue() override;
    bool HasEditBox() override { return true; }
};

// A section heading row; no member, no editor.
class EPropertySeparator : public EProperty {
public:
    EPropertySeparator(IPropertyHost* pHost, const CString& sName);
    int GetHeight(CDC* pDC) override { return m_sName.IsEmpty() ? 5 : 19; }
    void DrawValue(CDC* pDC, EPropWnd* pCtrl) override;
    bool IsSelectable() override { return false; }
    COLORREF GetColors(EPropWnd* pCtrl) override;
    CString GetSortText() override { return CString(); }
    virtual bool IsSeparator() { return true; }
};
