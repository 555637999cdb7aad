// The property kinds: display texts, editors and commits through the host's veto.
#include "propgrid/property_kinds.h"

#include <shlobj.h>

#include <cmath>
#include <cstdio>

#include "foundation/i18n/i18n.h"
#include "propgrid/hover_button.h"
#include "propgrid/prop_wnd.h"

namespace {

int CommandId(WPARAM wParam)
{
    return LOWORD(wParam);
}

int FirstCommand(EPropWnd* pCtrl)
{
    int first = 0, last = 0;
    pCtrl->GetCommandRange(first, last);
    return first;
}

} // namespace

// ---- text ----

EPropertyString::EPropertyString(IPropertyHost* pHost, const CString& sName, CString* pProperty,
                                 bool bEnabled)
    : EIconTextButtonProperty(pHost, sName, pProperty, bEnabled)
{
}

CString EPropertyString::GetTextValue()
{
    return m_pProperty != nullptr ? *static_cast<CString*>(m_pProperty) : CString();
}

bool EPropertyString::Assign(const CString& text)
{
    CString proposed = text;
    if (!AskHost(&proposed))
        return false;
    *static_cast<CString*>(m_pProperty) = proposed;
    return true;
}

bool EPropertyString::CommitEditText()
{
    CString text;
    if (!EditTextChanged(text) || m_pProperty == nullptr)
        return false;
    if (text == *static_cast<CString*>(m_pProperty))
        return false;
    return Assign(text);
}

EPropertyCharString::EPropertyCharString(IPropertyHost* pHost, const CString& sName,
                                         char* pProperty, int nLength)
    : EIconTextButtonProperty(pHost, sName, pProperty, false), m_nLength(nLength)
{
}

CString EPropertyCharString::GetTextValue()
{
    const char* p = static_cast<const char*>(m_pProperty);
    if (p == nullptr)
        return CString();
    if (m_nLength <= 0)
        return CString(p);
    int n = 0;
    while (n < m_nLength && p[n] != 0)
        ++n;
    return CString(p, n);
}

// ---- choice ----

EPropertyCombo::EPropertyCombo(IPropertyHost* pHost, const CString& sName, int* pProperty)
    : EIconTextButtonProperty(pHost, sName, pProperty, true)
{
}

EPropertyCombo* EPropertyCombo::AddItemValue(const CString& sLabel, int nValue)
{
    m_labels.push_back(sLabel);
    m_values.push_back(nValue);
    return this;
}

EPropertyCombo* EPropertyCombo::AddItem(const CString& sLabel)
{
    return AddItemValue(sLabel, static_cast<int>(m_values.size()));
}

CString EPropertyCombo::GetTextValue()
{
    int v = *static_cast<int*>(m_pProperty);
    for (size_t i = 0; i < m_values.size(); ++i)
        if (m_values[i] == v)
            return m_labels[i];
    return I18NString("PROPGRID_NOT_AVAILABLE", "N/A");
}

bool EPropertyCombo::OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM)
{
    int first = 0, last = 0;
    pCtrl->GetCommandRange(first, last);
    int id = CommandId(wParam);
    int& member = *static_cast<int*>(m_pProperty);
    if (id == first + 1) {
        CMenu menu;
        menu.CreatePopupMenu();
        for (size_t i = 0; i < m_labels.size(); ++i)
            menu.AppendMenu(MF_STRING | (m_values[i] == member ? MF_CHECKED : 0),
                            first + 2 + i, m_labels[i]);
        CRect rc;
        if (m_pButton)
            m_pButton->GetWindowRect(&rc);
        CPoint centre = rc.CenterPoint();
        menu.TrackPopupMenu(TPM_CENTERALIGN | TPM_LEFTBUTTON, centre.x, centre.y, pCtrl);
        return false;
    }
    size_t index = static_cast<size_t>(id - first - 2);
    if (id < first + 2 || id > last || index >= m_values.size())
        return false;
    int value = m_values[index];
    if (value == member || !AskHost(&value))
        return false;
    member = value;
    return true;
}

// ---- check box ----

EPropertyCheck::EPropertyCheck(IPropertyHost* pHost, const CString& sName, bool* pProperty)
    : EIconTextButtonProperty(pHost, sName, pProperty, true)
{
}

void EPropertyCheck::DrawIcon(CDC* pDC, EPropWnd*, const CRect& rcIcon)
{
    bool set = *static_cast<bool*>(m_pProperty);
    EBuiltinImage which;
    if (IsEnabled())
        which = set ? EBuiltinImage::CheckOnEnabled : EBuiltinImage::CheckOffEnabled;
    else
        which = set ? EBuiltinImage::CheckOnDisabled : EBuiltinImage::CheckOffDisabled;
    const EDibImage* image = GetBuiltinImage(which);
    if (image == nullptr)
        return;
    CRect dest(rcIcon.left, rcIcon.top, rcIcon.left + image->width, rcIcon.top + image->height);
    DrawDibImageAt(pDC, image, -1, -1, &dest, true);
}

bool EPropertyCheck::Toggle()
{
    if (!IsEnabled())
        return false;
    bool& member = *static_cast<bool*>(m_pProperty);
    bool value = !member;
    if (!AskHost(&value))
        return false;
    member = value;
    return true;
}

bool EPropertyCheck::OnLButtonDown(EPropWnd*, int x, int y)
{
    return m_rcIcon.PtInRect(CPoint(x, y)) && Toggle();
}

bool EPropertyCheck::OnSpaceKey()
{
    return Toggle();
}

// ---- colour ----

EPropertyColor::EPropertyColor(IPropertyHost* pHost, const CString& sName, COLORREF* pProperty,
                               bool bEnabled)
    : EIconTextButtonProperty(pHost, sName, pProperty, bEnabled)
{
}

CString EPropertyColor::GetTextValue()
{
    COLORREF c = *static_cast<COLORREF*>(m_pProperty);
    CString s;
    s.Format("%d,%d,%d", GetRValue(c), GetGValue(c), GetBValue(c));
    return s;
}

void EPropertyColor::DrawIcon(CDC* pDC, EPropWnd*, const CRect& rcIcon)
{
    CBrush black(RGB(0, 0, 0));
    pDC->FrameRect(&rcIcon, &black);
    CRect inside = rcIcon;
    inside.DeflateRect(1, 1);
    pDC->FillSolidRect(&inside, *static_cast<COLORREF*>(m_pProperty));
}

bool EPropertyColor::Assign(COLORREF c)
{
    if (!AskHost(&c))
        return false;
    *static_cast<COLORREF*>(m_pProperty) = c;
    return true;
}

bool EPropertyColor::CommitEditText()
{
    CString text;
    if (!EditTextChanged(text))
        return false;
    int r = 0, g = 0, b = 0;
    if (std::sscanf(text, "%d,%d,%d", &r, &g, &b) != 3 &&
        std::sscanf(text, "%d %d %d", &r, &g, &b) != 3)
        return false;
    auto inRange = [](int v) { return v >= 0 && v <= 255; };
    if (!inRange(r) || !inRange(g) || !inRange(b))
        return false;
    COLORREF c = RGB(r, g, b);
    return c != *static_cast<COLORREF*>(m_pProperty) && Assign(c);
}

bool EPropertyColor::OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM)
{
    if (CommandId(wParam) != FirstCommand(pCtrl) + 1)
        return false;
    CColorDialog dlg(RGB(0, 0, 0), 0);
    if (dlg.DoModal() != IDOK)
        return false;
    bool written = Assign(dlg.GetColor());
    RefreshEditText();
    return written;
}

// ---- font ----

EPropertyFont::EPropertyFont(IPropertyHost* pHost, const CString& sName, CFont* pProperty)
    : EIconTextButtonProperty(pHost, sName, pProperty, true)
{
}

CString EPropertyFont::GetTextValue()
{
    LOGFONT lf{};
    static_cast<CFont*>(m_pProperty)->GetLogFont(&lf);
    return CString(lf.lfFaceName);
}

bool EPropertyFont::Assign(const LOGFONT& lf)
{
    LOGFONT proposed = lf;
    if (!AskHost(&proposed))
        return false;
    auto* font = static_cast<CFont*>(m_pProperty);
    font->DeleteObject();
    font->CreateFontIndirect(&proposed);
    return true;
}

bool EPropertyFont::OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM)
{
    if (CommandId(wParam) != FirstCommand(pCtrl) + 1)
        return false;
    LOGFONT lf{};
    static_cast<CFont*>(m_pProperty)->GetLogFont(&lf);
    CFontDialog dlg(&lf, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT);
    if (dlg.DoModal() != IDOK)
        return false;
    return Assign(dlg.m_lf);
}

// ---- file and folder ----

EPropertyFile::EPropertyFile(IPropertyHost* pHost, const CString& sName, CString* pProperty,
                             const CString& sFilter)
    : EPropertyString(pHost, sName, pProperty, true), m_sFilter(sFilter)
{
}

bool EPropertyFile::OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM)
{
    if (CommandId(wParam) != FirstCommand(pCtrl) + 1)
        return false;
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, m_sFilter, nullptr);
    CString initialDir = *static_cast<CString*>(m_pProperty);
    dlg.m_ofn.lpstrInitialDir = initialDir;
    if (dlg.DoModal() != IDOK)
        return false;
    bool written = Assign(dlg.GetPathName());
    RefreshEditText();
    return written;
}

EPropertyDir::EPropertyDir(IPropertyHost* pHost, const CString& sName, CString* pProperty)
    : EPropertyString(pHost, sName, pProperty, true)
{
}

bool EPropertyDir::OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM)
{
    if (CommandId(wParam) != FirstCommand(pCtrl) + 1)
        return false;
    CString folder;
    CString title = I18NString("PROPGRID_SELECT_FOLDER", "Select the folder");
    if (!AfxBrowseForFolder(nullptr, title, BIF_NEWDIALOGSTYLE, folder))
        return false;
    bool written = Assign(folder);
    RefreshEditText();
    return written;
}

// ---- time ----

EPropertySystemTime::EPropertySystemTime(IPropertyHost* pHost, const CString& sName,
                                         SYSTEMTIME* pProperty)
    : EIconTextButtonProperty(pHost, sName, pProperty, false)
{
}

CString EPropertySystemTime::GetTextValue()
{
    const SYSTEMTIME& t = *static_cast<SYSTEMTIME*>(m_pProperty);
    CString s;
    s.Format("%4d-%02d-%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    return s;
}

// ---- angle ----

CString FormatAngle(double v, int nStyle)
{
    const char* prefix = v < 0 ? "-" : "";
    double a = std::fabs(v);
    double d = std::floor(a);
    double m = (a - d) * 60;
    double s = (m - std::floor(m)) * 60;
    CString text;
    switch (nStyle) {
    case 0:
        text.Format("%s%.6lf\xB0", prefix, a);
        break;
    case 1:
        text.Format("%s%03d\xB0%s%.4lf'", prefix, static_cast<int>(d), m < 10 ? "0" : "", m);
        break;
    case 2:
        text.Format("%s%03d\xB0%02d'%s%.2lf\"", prefix, static_cast<int>(d),
                    static_cast<int>(std::floor(m)), s < 10 ? "0" : "", s);
        break;
    default:
        text.Format("%lf", v);
        break;
    }
    return text;
}

EPropertyAngle::EPropertyAngle(IPropertyHost* pHost, const CString& sName, double* pProperty,
                               int* pStyle, bool bEnabled)
    : EIconTextButtonProperty(pHost, sName, pProperty, bEnabled),
      m_pStyle(pStyle != nullptr ? pStyle : &m_nOwnStyle)
{
}

CString EPropertyAngle::GetTextValue()
{
    return FormatAngle(*static_cast<double*>(m_pProperty), *m_pStyle);
}

bool EPropertyAngle::CommitEditText()
{
    CString text;
    if (!EditTextChanged(text))
        return false;
    for (char c : {'\'', '"', '\xB0', '+', '-'})
        text.Replace(c, ' ');
    double parts[3] = {0, 0, 0};
    int n = std::sscanf(text, "%lf %lf %lf", &parts[0], &parts[1], &parts[2]);
    if (n < 1)
        return false;
    double value = parts[0] + parts[1] / 60 + parts[2] / 3600;
    if (!AskHost(&value))
        return false;
    *static_cast<double*>(m_pProperty) = value;
    return true;
}

void EPropertyAngle::AddContextMenuItems(EXMenu* pMenu)
{
    double v = *static_cast<double*>(m_pProperty);
    for (int style = 0; style <= 2; ++style)
        pMenu->AppendIndexedItem(FormatAngle(v, style), style, style == *m_pStyle);
}

void EPropertyAngle::OnContextMenuCommand(int nIndex)
{
    if (nIndex < 0 || nIndex > 2)
        return;
    *m_pStyle = nIndex;
    if (m_pEdit && m_pEdit->m_hWnd != nullptr)
        m_pEdit->SetWindowText(GetTextValue()); // the text at open stays: the commit reads it
}

// ---- IPv4 address ----

EPropertyIP::EPropertyIP(IPropertyHost* pHost, const CString& sName, DWORD* pProperty,
                         bool bEnabled)
    : EIconTextButtonProperty(pHost, sName, pProperty, bEnabled)
{
}

CString EPropertyIP::GetTextValue()
{
    DWORD a = *static_cast<DWORD*>(m_pProperty);
    CString s;
    s.Format("%d.%d.%d.%d", static_cast<int>((a >> 24) & 0xFF), static_cast<int>((a >> 16) & 0xFF),
             static_cast<int>((a >> 8) & 0xFF), static_cast<int>(a & 0xFF));
    return s;
}

bool EPropertyIP::CommitEditText()
{
    CString text;
    if (!EditTextChanged(text))
        return false;
    text.Replace('.', ' ');
    int b[4] = {0, 0, 0, 0};
    if (std::sscanf(text, "%d %d %d %d", &b[0], &b[1], &b[2], &b[3]) != 4)
        return false;
    DWORD address = (static_cast<DWORD>(b[0]) << 24) | (static_cast<DWORD>(b[1]) << 16) |
                    (static_cast<DWORD>(b[2]) << 8) | static_cast<DWORD>(b[3]);
    if (!AskHost(&address))
        return false;
    *static_cast<DWORD*>(m_pProperty) = address;
    return true;
}

// ---- separator ----

EPropertySeparator::EPropertySeparator(IPropertyHost* pHost, const CString& sName)
    : EProperty(pHost, sName, nullptr, false)
{
}

COLORREF EPropertySeparator::GetColors(EPropWnd* pCtrl)
{
    return pCtrl->GetActiveFaceColor();
}

void EPropertySeparator::DrawValue(CDC* pDC, EPropWnd* pCtrl)
{
    pDC->FillSolidRect(&m_rcValue, pCtrl->GetActiveFaceColor());
}
