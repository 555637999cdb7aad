// COXCoolToolBar: windows hosted as buttons, the user's customisation by drag and drop and the
// customise menu, and the bar's state in the application's profile.
#include <cstdlib>
#include <cstring>

#include "framework/app.h"
#include "framework/combobox.h"
#include "framework/file.h"
#include "framework/frame.h"
#include "framework/ole.h"
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"

namespace {

// The process's custom-button templates by command id, and the ids in registration order.
std::map<UINT, OXCUSTOMBUTTONDESCRIPTOR>& Registry()
{
    static std::map<UINT, OXCUSTOMBUTTONDESCRIPTOR> registry;
    return registry;
}
std::vector<UINT>& RegisteredIDs()
{
    static std::vector<UINT> ids;
    return ids;
}
bool g_bRegistrySaved = false;
bool g_bRegistryLoaded = false;

const CLIPFORMAT g_cfCommandButton =
    static_cast<CLIPFORMAT>(::RegisterClipboardFormat("UTB_Command_Button"));

constexpr UINT kAllCommands = 0xFFFFFFFF;

// One command record: id, text, image, style, link.
void AppendRecord(std::vector<BYTE>& out, int nID, const char* text, int nImage, BYTE style,
                  int nLink)
{
    auto put = [&](const void* p, size_t n) {
        const BYTE* b = static_cast<const BYTE*>(p);
        out.insert(out.end(), b, b + n);
    };
    put(&nID, 4);
    put(text, std::strlen(text) + 1);
    put(&nImage, 4);
    put(&style, 1);
    put(&nLink, 4);
}

void AppendMenuRecords(std::vector<BYTE>& out, HMENU hMenu)
{
    const int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        ::GetMenuItemInfo(hMenu, static_cast<UINT>(i), TRUE, &info);
        char text[1025] = "";
        ::GetMenuString(hMenu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        int nID = info.hSubMenu != nullptr ? -1
                  : (info.fType & MFT_SEPARATOR) ? 0
                                                 : static_cast<int>(info.wID);
        AppendRecord(out, nID, text, -1, 0, i == n - 1 ? 2 : 1);
        if (info.hSubMenu != nullptr)
            AppendMenuRecords(out, info.hSubMenu);
    }
}

// The first record of a command block; false when the block is too short or malformed.
struct CommandRecord {
    int nID = 0;
    CString text;
    int nImage = -1;
    BYTE style = 0;
};
bool ReadFirstRecord(COleDataObject* pData, CommandRecord& record)
{
    if (pData == nullptr || !pData->IsDataAvailable(g_cfCommandButton))
        return false;
    HGLOBAL h = pData->GetGlobalData(g_cfCommandButton);
    if (h == nullptr)
        return false;
    const size_t size = ::GlobalSize(h);
    const BYTE* p = static_cast<const BYTE*>(::GlobalLock(h));
    bool ok = false;
    if (p != nullptr && size >= 14) {
        std::memcpy(&record.nID, p, 4);
        const char* text = reinterpret_cast<const char*>(p + 4);
        const size_t room = size - 4;
        const size_t len = strnlen(text, room);
        if (len + 10 <= room) {
            record.text = CString(text, static_cast<int>(len));
            std::memcpy(&record.nImage, p + 4 + len + 1, 4);
            record.style = p[4 + len + 5];
            ok = true;
        }
    }
    if (p != nullptr)
        ::GlobalUnlock(h);
    ::GlobalFree(h);
    return ok;
}

CString MenuText(UINT nID, const char* fallback)
{
    CString s;
    if (!s.LoadString(nID))
        s = fallback;
    return s;
}

// A profile integer, or false when the entry is missing.
bool ProfileInt(CWinApp* pApp, LPCTSTR section, LPCTSTR entry, int& value)
{
    const UINT a = pApp->GetProfileInt(section, entry, 0x7FFFFFF1);
    const UINT b = pApp->GetProfileInt(section, entry, 0x7FFFFFF2);
    if (a == 0x7FFFFFF1 && b == 0x7FFFFFF2)
        return false;
    value = static_cast<int>(a);
    return true;
}

bool RegistryProfile()
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->m_pszRegistryKey != nullptr &&
           pApp->m_pszProfileName != nullptr;
}

// Writes the archive made by fill as a byte value and its size.
template <class Fill> void WriteArchive(LPCTSTR section, const CString& entry, Fill fill)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fill(ar);
        ar.Close();
    }
    const UINT n = static_cast<UINT>(file.GetLength());
    BYTE* data = file.Detach();
    AfxGetApp()->WriteProfileBinary(section, entry, data, n);
    AfxGetApp()->WriteProfileInt(section, entry + "_Size", static_cast<int>(n));
    std::free(data);
}

// Reads the byte value with read; false when it is missing. A truncated or corrupt value
// stops the reading where it fails.
template <class Read> bool ReadArchive(LPCTSTR section, const CString& entry, Read read)
{
    LPBYTE data = nullptr;
    UINT n = 0;
    if (!AfxGetApp()->GetProfileBinary(section, entry, &data, &n) || data == nullptr)
        return false;
    CMemFile file(data, n);
    try {
        CArchive ar(&file, CArchive::load);
        read(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
    }
    delete[] data;
    return true;
}

} // namespace

// --- custom buttons ---

int COXCoolToolBar::RegisterCustomButton(UINT nCommandID,
                                         const OXCUSTOMBUTTONDESCRIPTOR& descriptor)
{
    if (descriptor.m_pCBTemplate == nullptr || Registry().count(nCommandID) != 0)
        return -1;
    Registry()[nCommandID] = descriptor;
    RegisteredIDs().push_back(nCommandID);
    return static_cast<int>(RegisteredIDs().size()) - 1;
}

int COXCoolToolBar::GetCustomButtonRegistrationIndex(UINT nCommandID)
{
    const auto& ids = RegisteredIDs();
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == nCommandID)
            return static_cast<int>(i);
    return -1;
}

BOOL COXCoolToolBar::IsCustomButton(int nIndex) const
{
    return m_mapCustomButtons.count(nIndex) != 0;
}

CWnd* COXCoolToolBar::GetCustomButtonWindow(int nIndex) const
{
    auto it = m_mapCustomButtons.find(nIndex);
    if (it == m_mapCustomButtons.end() || it->second.m_pCBTemplate == nullptr)
        return nullptr;
    return it->second.m_pCBTemplate->GetWindow();
}

BOOL COXCoolToolBar::InsertCustomButton(int nIndex, int nRegIndex, DWORD dwStyle,
                                        DWORD dwStyleEx, LPCTSTR lpszClassName,
                                        LPCTSTR lpszWindowName)
{
    if (nIndex < 0 || nIndex > GetCount() || nRegIndex < 0 ||
        nRegIndex >= static_cast<int>(RegisteredIDs().size()))
        return FALSE;
    if (!InsertSeparatorAt(nIndex))
        return FALSE;
    OXCUSTOMBUTTONDESCRIPTOR descriptor;
    if (!CreateCustomButtonWindow(nRegIndex, descriptor, dwStyle, dwStyleEx, lpszClassName,
                                  lpszWindowName)) {
        RemoveButtonAt(nIndex);
        return FALSE;
    }
    m_mapCustomButtons[nIndex] = descriptor;
    UpdateLayout(TRUE, TRUE);
    PlaceCustomButton(nIndex); // also while the bar is hidden
    return TRUE;
}

BOOL COXCoolToolBar::CreateCustomButtonWindow(int nRegIndex,
                                              OXCUSTOMBUTTONDESCRIPTOR& descriptor,
                                              DWORD dwStyle, DWORD dwStyleEx,
                                              LPCTSTR lpszClassName, LPCTSTR lpszWindowName)
{
    if (nRegIndex < 0 || nRegIndex >= static_cast<int>(RegisteredIDs().size()))
        return FALSE;
    OXCUSTOMBUTTONDESCRIPTOR& registered = Registry()[RegisteredIDs()[nRegIndex]];
    CWnd* pExisting = registered.m_pCBTemplate->GetWindow();
    if (pExisting != nullptr && ::IsWindow(pExisting->m_hWnd)) {
        // The window lives on another bar: this bar gets a copy of its own.
        COXCustomButtonTemplate* pCopy = registered.m_pCBTemplate->CopyForToolBar(this);
        if (pCopy == nullptr)
            return FALSE;
        descriptor = registered;
        descriptor.m_pCBTemplate = pCopy;
        return TRUE;
    }
    if (!registered.m_pCBTemplate->CreateButtonWindow(registered.m_nID, this, dwStyle,
                                                      dwStyleEx, lpszClassName,
                                                      lpszWindowName))
        return FALSE;
    descriptor = registered;
    return TRUE;
}

void COXCoolToolBar::PlaceCustomButton(int nIndex)
{
    auto it = m_mapCustomButtons.find(nIndex);
    if (it == m_mapCustomButtons.end() || it->second.m_pCBTemplate == nullptr)
        return;
    const OXCUSTOMBUTTONDESCRIPTOR& d = it->second;
    CWnd* pWnd = d.m_pCBTemplate->GetWindow();
    if (pWnd == nullptr || !::IsWindow(pWnd->m_hWnd))
        return;
    const BOOL wasVisible = (GetStyle() & WS_VISIBLE) != 0;
    bool shown = true;
    if ((d.m_nFlags & OXCBD_SHOWANY) != OXCBD_SHOWANY) {
        int bit = IsFloating()                                            ? OXCBD_SHOWFLOAT
                  : (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0 ? OXCBD_SHOWHORZ
                                                                            : OXCBD_SHOWVERT;
        shown = (d.m_nFlags & bit) != 0;
    }
    const UINT nCtrlID = static_cast<UINT>(pWnd->GetDlgCtrlID());
    UINT nID = 0, nStyle = 0;
    int iImage = 0;
    GetButtonInfo(nIndex, nID, nStyle, iImage);
    if (shown) {
        int width = d.m_nWidth;
        if (width < 0) {
            CRect window;
            pWnd->GetWindowRect(&window);
            width = window.Width();
        }
        if (!(nStyle & TBSTYLE_SEP) || iImage != width || nID != nCtrlID)
            SetButtonInfo(nIndex, nCtrlID, TBSTYLE_SEP, width);
        CRect rect;
        GetItemRect(nIndex, &rect);
        rect.DeflateRect(2, 0);
        if (d.m_nHeight > 0 && d.m_nHeight < rect.Height()) {
            rect.top += (rect.Height() - d.m_nHeight) / 2;
            rect.bottom = rect.top + d.m_nHeight;
        }
        if (dynamic_cast<CComboBox*>(pWnd) != nullptr) {
            CRect first;
            GetItemRect(0, &first);
            rect.OffsetRect(0, (first.bottom - 22) / 2 + 1);
        }
        pWnd->MoveWindow(&rect, IsWindowVisible());
        pWnd->ShowWindow(SW_SHOWNA);
    } else {
        if ((nStyle & TBSTYLE_SEP) || nID != nCtrlID)
            SetButtonInfo(nIndex, nCtrlID, TBSTYLE_AUTOSIZE, d.m_nImageIndex);
        pWnd->ShowWindow(SW_HIDE);
    }
    if (wasVisible && !(GetStyle() & WS_VISIBLE))
        ModifyStyle(0, WS_VISIBLE);
}

void COXCoolToolBar::PlaceCustomButtons(int nFirst, int nLast)
{
    if (nLast < 0)
        nLast = GetCount() - 1;
    for (auto& entry : m_mapCustomButtons)
        if (entry.first >= nFirst && entry.first <= nLast)
            PlaceCustomButton(entry.first);
}

BOOL COXCoolToolBar::MoveButton(int nFrom, int nTo)
{
    if (!SendMessage(TB_MOVEBUTTON, nFrom, nTo))
        return FALSE;
    if (IsCustomButton(nTo))
        UpdateLayout(FALSE, TRUE);
    return TRUE;
}

BOOL COXCoolToolBar::InsertSeparatorAt(int nIndex)
{
    TBBUTTON sep{};
    sep.iBitmap = -1;
    sep.fsStyle = TBSTYLE_SEP;
    sep.iString = -1;
    m_bSuspendCustomButtons = TRUE;
    const BOOL inserted = static_cast<BOOL>(
        SendMessage(TB_INSERTBUTTON, nIndex, reinterpret_cast<LPARAM>(&sep)));
    m_bSuspendCustomButtons = FALSE;
    if (inserted)
        ShiftForInsert(nIndex);
    return inserted;
}

void COXCoolToolBar::RemoveButtonAt(int nIndex)
{
    m_bSuspendCustomButtons = TRUE;
    SendMessage(TB_DELETEBUTTON, nIndex);
    m_bSuspendCustomButtons = FALSE;
    ShiftForDelete(nIndex);
}

void COXCoolToolBar::ShiftForInsert(int nIndex)
{
    if (m_nCustomizedButton >= nIndex)
        ++m_nCustomizedButton;
    if (m_nDraggedButton >= nIndex)
        ++m_nDraggedButton;
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> moved;
    for (auto& entry : m_mapCustomButtons)
        moved[entry.first >= nIndex ? entry.first + 1 : entry.first] = entry.second;
    m_mapCustomButtons.swap(moved);
}

void COXCoolToolBar::ShiftForDelete(int nIndex)
{
    auto it = m_mapCustomButtons.find(nIndex);
    if (it != m_mapCustomButtons.end()) {
        DestroyCustomButton(it->second);
        m_mapCustomButtons.erase(it);
    }
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> moved;
    for (auto& entry : m_mapCustomButtons)
        moved[entry.first > nIndex ? entry.first - 1 : entry.first] = entry.second;
    m_mapCustomButtons.swap(moved);
    if (m_nCustomizedButton == nIndex)
        m_nCustomizedButton = -1;
    else if (m_nCustomizedButton > nIndex)
        --m_nCustomizedButton;
    if (m_nDraggedButton == nIndex)
        m_nDraggedButton = -1;
    else if (m_nDraggedButton > nIndex)
        --m_nDraggedButton;
}

void COXCoolToolBar::DestroyCustomButton(OXCUSTOMBUTTONDESCRIPTOR& descriptor)
{
    COXCustomButtonTemplate* pTemplate = descriptor.m_pCBTemplate;
    if (pTemplate == nullptr)
        return;
    pTemplate->DestroyButtonWindow();
    // Copies made for this bar are ours; the registered template lives on.
    bool registered = false;
    for (auto& entry : Registry())
        registered = registered || entry.second.m_pCBTemplate == pTemplate;
    if (!registered)
        delete pTemplate;
    descriptor.m_pCBTemplate = nullptr;
}

BOOL COXCoolToolBar::IsPlainSeparator(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount() || IsCustomButton(nIndex))
        return FALSE;
    return (GetButtonStyle(nIndex) & TBSTYLE_SEP) != 0;
}

LRESULT COXCoolToolBar::OnInsertButton(WPARAM wParam, LPARAM)
{
    LRESULT result = Default();
    if (m_bSuspendCustomButtons)
        return result;
    if (result != 0) {
        ::ValidateRect(m_hWnd, nullptr);
        int nIndex = static_cast<int>(wParam);
        if (nIndex < 0 || nIndex >= GetCount())
            nIndex = GetCount() - 1;
        ShiftForInsert(nIndex);
    }
    UpdateLayout(TRUE, TRUE);
    return result;
}

LRESULT COXCoolToolBar::OnDeleteButton(WPARAM wParam, LPARAM)
{
    const int nIndex = static_cast<int>(wParam);
    const int nLastBefore = GetCount() - 1;
    LRESULT result = Default();
    if (m_bSuspendCustomButtons)
        return result;
    if (result != 0) {
        ::ValidateRect(m_hWnd, nullptr);
        ShiftForDelete(nIndex);
        // No separator is left standing at either end.
        const int nEnd = GetCount() - 1;
        int nStray = nIndex == nLastBefore && IsPlainSeparator(nEnd) ? nEnd
                     : nIndex == 0 && IsPlainSeparator(0)              ? 0
                                                                       : -1;
        if (nStray >= 0)
            RemoveButtonAt(nStray);
    }
    UpdateLayout(TRUE, TRUE);
    return result;
}

LRESULT COXCoolToolBar::OnMoveButtonMsg(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default();
    const int a = static_cast<int>(wParam), b = static_cast<int>(lParam);
    if (result == 0 || a == b || m_bSuspendCustomButtons)
        return result;
    ::ValidateRect(m_hWnd, nullptr);
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> moved;
    for (auto& entry : m_mapCustomButtons) {
        int i = entry.first;
        if (i == a)
            i = b;
        else if (a < b && i > a && i <= b)
            --i;
        else if (b < a && i >= b && i < a)
            ++i;
        moved[i] = entry.second;
    }
    m_mapCustomButtons.swap(moved);
    PlaceCustomButtons(std::min(a, b), std::max(a, b));
    return result;
}

LRESULT COXCoolToolBar::OnIdleUpdateCmdUIMsg(WPARAM wParam, LPARAM lParam)
{
    if (IsWindowVisible()) {
        if (m_nPendingCustomUpdate & 1)
            UpdateLayout(TRUE, TRUE);
        if (m_nPendingCustomUpdate & 2)
            PlaceCustomButtons();
    }
    m_nPendingCustomUpdate = 0;
    return OnIdleUpdateCmdUI(wParam, lParam);
}

// --- customisation ---

CLIPFORMAT COXCoolToolBar::GetCommandButtonFormat()
{
    return g_cfCommandButton;
}

void COXCoolToolBar::SetCustomizeCommands(const UINT* pCommandIDs, int nCount)
{
    m_pCommandIDs.assign(pCommandIDs, pCommandIDs + (nCount > 0 ? nCount : 0));
    m_nCommandCount = static_cast<int>(m_pCommandIDs.size());
}

void COXCoolToolBar::SetCustomizable(BOOL bCustomizable, BOOL bAdvanced)
{
    if (m_nCommandCount == 0 || !bCustomizable) {
        ModifyStyle(CCS_ADJUSTABLE, 0);
        m_bAdvancedCustomizable = FALSE;
    } else if (bAdvanced) {
        ModifyStyle(CCS_ADJUSTABLE, 0);
        m_bAdvancedCustomizable = TRUE;
    } else {
        ModifyStyle(0, CCS_ADJUSTABLE);
        m_bAdvancedCustomizable = FALSE;
    }
}

BOOL COXCoolToolBar::IsCustomizable(BOOL bAdvanced) const
{
    if (bAdvanced)
        return m_bAdvancedCustomizable;
    return (GetStyle() & CCS_ADJUSTABLE) != 0;
}

LRESULT COXCoolToolBar::NotifyCustomize(int nCommand, int nValue)
{
    NMOXCUSTOMIZE nm{};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = OXCTB_CUSTOMIZE_NOTIFY;
    nm.nCommand = nCommand;
    nm.nValue = nValue;
    HWND hTarget = m_hNotifyWnd != nullptr ? m_hNotifyWnd : ::GetParent(m_hWnd);
    if (hTarget == nullptr)
        return 0;
    return ::SendMessage(hTarget, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

int COXCoolToolBar::SetCustomizedButton(int nIndex)
{
    const int nPrevious = m_nCustomizedButton;
    if (nPrevious != nIndex) {
        m_nCustomizedButton = nIndex;
        if (nPrevious >= 0 && nPrevious < GetCount())
            RedrawButton(nPrevious);
        if (nIndex >= 0 && nIndex < GetCount()) {
            const UINT state = GetButtonStyle(nIndex);
            if ((state >> 16) & TBSTATE_PRESSED)
                SetButtonStyle(nIndex, state & ~(TBSTATE_PRESSED << 16));
            else
                RedrawButton(nIndex);
        }
    }
    NotifyCustomize(static_cast<int>(ID_OXCUSTTB_CUSTOMIZED_CHANGED));
    return nPrevious;
}

void COXCoolToolBar::RedrawButton(int nIndex)
{
    CRect rect;
    GetItemRect(nIndex, &rect);
    RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (CWnd* pWnd = GetCustomButtonWindow(nIndex))
        pWnd->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL COXCoolToolBar::RemoveButton(int nIndex)
{
    return static_cast<BOOL>(SendMessage(TB_DELETEBUTTON, nIndex));
}

TBINSERTMARK COXCoolToolBar::GetInsertMark() const
{
    TBINSERTMARK mark{-1, 0};
    SendMessage(TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    return mark;
}

void COXCoolToolBar::SetInsertMark(int nButton, DWORD dwFlags)
{
    TBINSERTMARK mark{nButton, dwFlags};
    SendMessage(TB_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
}

COleDataSource* COXCoolToolBar::CreateCommandDataSource(LPCTSTR lpszText, int nImage,
                                                        int nCommandID, BYTE fsStyle,
                                                        HMENU hMenu)
{
    std::vector<BYTE> data;
    const bool withMenu = hMenu != nullptr && ::GetMenuItemCount(hMenu) > 0;
    AppendRecord(data, nCommandID, lpszText != nullptr ? lpszText : "", nImage, fsStyle,
                 withMenu ? 2 : 0);
    if (withMenu) {
        AppendMenuRecords(data, hMenu);
        std::memset(&data[data.size() - 4], 0, 4); // the very last record ends the block
    }
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, data.size());
    if (h == nullptr)
        return nullptr;
    std::memcpy(::GlobalLock(h), data.data(), data.size());
    ::GlobalUnlock(h);
    auto* pSource = new COleDataSource;
    pSource->CacheGlobalData(g_cfCommandButton, h);
    return pSource;
}

void COXCoolToolBar::DisplayCustomizeButtonContextMenu(int nIndex, CPoint ptScreen)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    UINT nID = 0, nStyle = 0;
    int iImage = -1;
    GetButtonInfo(nIndex, nID, nStyle, iImage);
    const bool plain = !(nStyle & TBSTYLE_SEP) && !IsCustomButton(nIndex);
    const bool hasText = !GetButtonText(nIndex).IsEmpty();

    HMENU hMenu = ::CreatePopupMenu();
    auto add = [&](UINT id, UINT ids, const char* text, UINT flags) {
        ::AppendMenu(hMenu, MF_STRING | flags, id, MenuText(ids, text));
    };
    add(ID_OXCUSTTB_DELETE, IDS_OX_CUSTTB_DELETE, "Delete", 0);
    ::AppendMenu(hMenu, MF_SEPARATOR, 0, nullptr);
    add(ID_OXCUSTTB_APPEARANCE, IDS_OX_CUSTTB_APPEARANCE, "Button Appearance...", 0);
    if (plain) {
        add(ID_OXCUSTTB_IMAGEONLY, IDS_OX_CUSTTB_IMAGEONLY, "Image Only",
            hasText ? 0 : MF_CHECKED);
        add(ID_OXCUSTTB_IMAGETEXT, IDS_OX_CUSTTB_IMAGETEXT, "Image and Text",
            hasText && iImage != -1 ? MF_CHECKED : 0);
    }
    ::AppendMenu(hMenu, MF_SEPARATOR, 0, nullptr);
    add(ID_OXCUSTTB_SEPARATOR_BEFORE, IDS_OX_CUSTTB_SEPARATOR_BEFORE, "Put Separator Before",
        nIndex == 0 || IsPlainSeparator(nIndex - 1) ? MF_GRAYED : 0);
    add(ID_OXCUSTTB_SEPARATOR_AFTER, IDS_OX_CUSTTB_SEPARATOR_AFTER, "Put Separator After",
        nIndex == GetCount() - 1 || IsPlainSeparator(nIndex + 1) ? MF_GRAYED : 0);
    const UINT nCmd = static_cast<UINT>(
        ::TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, ptScreen.x,
                         ptScreen.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(hMenu);
    if (nCmd != 0)
        OnCustomizeCommand(nCmd);
}

void COXCoolToolBar::OnCustomizeCommand(UINT nID)
{
    if (NotifyCustomize(static_cast<int>(nID)) != 0)
        return; // the owner did it
    const int nIndex = m_nCustomizedButton;
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    const UINT nCommand = GetItemID(nIndex);
    switch (nID) {
    case ID_OXCUSTTB_DELETE:
        SendMessage(TB_DELETEBUTTON, nIndex);
        break;
    case ID_OXCUSTTB_IMAGEONLY: {
        CString text = GetButtonText(nIndex);
        if (!text.IsEmpty()) {
            m_mapButtonText[nCommand] = text;
            SetButtonText(nIndex, "");
        }
        UpdateLayout(TRUE, TRUE);
        break;
    }
    case ID_OXCUSTTB_IMAGETEXT: {
        if (GetButtonText(nIndex).IsEmpty()) {
            CString text;
            auto it = m_mapButtonText.find(nCommand);
            if (it != m_mapButtonText.end() && !it->second.IsEmpty()) {
                text = it->second;
            } else if (text.LoadString(nCommand)) {
                const int nl = text.Find('\n');
                if (nl >= 0)
                    text = text.Mid(nl + 1);
            }
            if (!text.IsEmpty())
                SetButtonText(nIndex, text);
        }
        UpdateLayout(TRUE, TRUE);
        break;
    }
    case ID_OXCUSTTB_SEPARATOR_BEFORE:
    case ID_OXCUSTTB_SEPARATOR_AFTER: {
        TBBUTTON sep{};
        sep.iBitmap = -1;
        sep.fsStyle = TBSTYLE_SEP;
        sep.iString = -1;
        const int at = nID == ID_OXCUSTTB_SEPARATOR_BEFORE ? nIndex : nIndex + 1;
        SendMessage(TB_INSERTBUTTON, at, reinterpret_cast<LPARAM>(&sep));
        break;
    }
    default:
        break;
    }
}

LRESULT COXCoolToolBar::OnCustomizeMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    auto hit = [&]() {
        const int n = static_cast<int>(
            SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        if (n >= 0)
            return n;
        // Between buttons or on a separator: only a hosted window's slot counts.
        if (IsCustomButton(-n))
            return -n;
        return IsCustomButton(~n) ? ~n : -1;
    };
    switch (message) {
    case WM_LBUTTONDOWN: {
        const int n = hit();
        SetCustomizedButton(n);
        LRESULT r = CMFCToolBar::WindowProc(message, wParam, lParam);
        if (n >= 0 && n < GetCount() && !IsCustomButton(n)) {
            const UINT state = GetButtonStyle(n);
            SetButtonStyle(n, state & ~(TBSTATE_PRESSED << 16));
        }
        return r;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetCustomizedButton(hit());
        return 0;
    case WM_RBUTTONUP: {
        CPoint screen = point;
        ClientToScreen(&screen);
        DisplayCustomizeButtonContextMenu(m_nCustomizedButton, screen);
        return 0;
    }
    case WM_LBUTTONUP:
        // The press reached the control; its release must not run a command here.
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        return 0;
    default:
        return 0;
    }
}

LRESULT COXCoolToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bAdvancedCustomizable && m_bCustomizeMode) {
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            return OnCustomizeMouse(message, wParam, lParam);
        default:
            break;
        }
    }
    return CMFCToolBar::WindowProc(message, wParam, lParam);
}

BOOL COXCoolToolBar::OnBeginDrag(NMHDR* pNotify, LRESULT* pResult)
{
    *pResult = 0;
    auto* nm = reinterpret_cast<NMTOOLBAR*>(pNotify);
    int nIndex = -1;
    for (auto& entry : m_mapCustomButtons) {
        CWnd* pWnd = entry.second.m_pCBTemplate != nullptr
                         ? entry.second.m_pCBTemplate->GetWindow()
                         : nullptr;
        if (pWnd != nullptr && pWnd->GetDlgCtrlID() == nm->iItem)
            nIndex = entry.first;
    }
    const bool custom = nIndex >= 0;
    if (!custom)
        nIndex = CommandToIndex(static_cast<UINT>(nm->iItem));
    if (nIndex < 0 || !m_bAdvancedCustomizable)
        return TRUE;
    const bool alt = ::GetKeyState(VK_MENU) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool altDrag = (GetStyle() & TBSTYLE_ALTDRAG) != 0;
    if (!m_bCustomizeMode && !(altDrag ? alt : shift))
        return TRUE;
    if (!custom) {
        const UINT state = GetButtonStyle(nIndex);
        SetButtonStyle(nIndex, state & ~(TBSTATE_PRESSED << 16));
    }
    CWnd* pParent = GetParent();
    nm->hdr.code = static_cast<UINT>(TBN_QUERYDELETE);
    if (pParent == nullptr ||
        pParent->SendMessage(WM_NOTIFY, nm->hdr.idFrom, reinterpret_cast<LPARAM>(nm)) == 0)
        return TRUE;

    SetCustomizedButton(nIndex);
    m_nDraggedButton = nIndex;
    m_bDraggingButton = TRUE;
    UINT nID = 0, nStyle = 0;
    int iImage = -1;
    GetButtonInfo(nIndex, nID, nStyle, iImage);
    COleDataSource* pSource = CreateCommandDataSource(GetButtonText(nIndex), iImage,
                                                      static_cast<int>(nID),
                                                      static_cast<BYTE>(nStyle));
    // A drag that leaves the bar before the first tracked move never enters it: it counts as
    // having started outside.
    m_bRemoveAfterDrag = TRUE;
    DROPEFFECT effect = DROPEFFECT_NONE;
    if (pSource != nullptr)
        effect = pSource->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr,
                                     GetDropSource());
    // Released over nothing that takes it, or moved away: the button goes. Escape with the
    // button still held keeps it.
    const bool released = ::GetAsyncKeyState(VK_LBUTTON) >= 0;
    if ((effect == DROPEFFECT_MOVE || (effect == DROPEFFECT_NONE && released)) &&
        m_bRemoveAfterDrag && m_nDraggedButton >= 0)
        RemoveButton(m_nDraggedButton);
    m_bDraggingButton = FALSE;
    m_nDraggedButton = -1;
    m_bRemoveAfterDrag = FALSE;
    delete pSource;
    if (!m_bCustomizeMode)
        SetCustomizedButton(-1);
    return TRUE;
}

BOOL COXCoolToolBar::OnQueryInsertDelete(NMHDR*, LRESULT* pResult)
{
    *pResult = TRUE;
    return TRUE;
}

BOOL COXCoolToolBar::OnEndDrag(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    return TRUE;
}

BOOL COXCoolToolBar::OnToolbarChange(NMHDR*, LRESULT* pResult)
{
    SetButtonsText(1, kAllCommands, m_nTextType);
    *pResult = 0;
    return TRUE;
}

BOOL COXCoolToolBar::OnGetButtonInfo(NMHDR* pNotify, LRESULT* pResult)
{
    auto* nm = reinterpret_cast<NMTOOLBARA*>(pNotify);
    if (nm->iItem < 0 || nm->iItem >= m_nCommandCount) {
        *pResult = FALSE;
        return TRUE;
    }
    const UINT nCommand = m_pCommandIDs[static_cast<size_t>(nm->iItem)];
    nm->tbButton.iBitmap = nm->iItem;
    nm->tbButton.idCommand = static_cast<int>(nCommand);
    nm->tbButton.fsState = TBSTATE_ENABLED;
    nm->tbButton.fsStyle = 0;
    nm->tbButton.iString = -1;
    if (nm->pszText != nullptr && nm->cchText > 0) {
        CString text;
        if (text.LoadString(nCommand)) {
            const int nl = text.Find('\n');
            if (nl >= 0)
                text = text.Mid(nl + 1);
        } else {
            text = "???";
        }
        if (pNotify->code == static_cast<UINT>(TBN_GETBUTTONINFOW)) {
            auto* nmw = reinterpret_cast<NMTOOLBARW*>(pNotify);
            ::MultiByteToWideChar(CP_ACP, 0, text, -1, nmw->pszText, nmw->cchText);
            nmw->pszText[nmw->cchText - 1] = 0;
        } else {
            lstrcpynA(nm->pszText, text, nm->cchText);
        }
    }
    *pResult = TRUE;
    return TRUE;
}

// --- the drop target side ---

namespace {
SHBDROPTARGETACTION& Action(LPARAM lParam)
{
    return *reinterpret_cast<SHBDROPTARGETACTION*>(lParam);
}
} // namespace

LRESULT COXCoolToolBar::OnDragEnterMsg(WPARAM wParam, LPARAM lParam)
{
    if (!m_bAdvancedCustomizable)
        return FALSE;
    m_bRemoveAfterDrag = TRUE;
    return OnDragOverMsg(wParam, lParam);
}

LRESULT COXCoolToolBar::OnDragOverMsg(WPARAM, LPARAM lParam)
{
    if (!m_bAdvancedCustomizable)
        return FALSE;
    SHBDROPTARGETACTION& a = Action(lParam);
    a.result = DROPEFFECT_NONE;
    if (a.pDataObject == nullptr || !a.pDataObject->IsDataAvailable(g_cfCommandButton))
        return TRUE;
    const bool ctrl = (a.dwKeyState & MK_CONTROL) != 0;
    if (!m_bDraggingButton) {
        CommandRecord record;
        if (!ReadFirstRecord(a.pDataObject, record) || record.nID < 0 ||
            (record.nID > 0 && CommandToIndex(static_cast<UINT>(record.nID)) >= 0)) {
            SetInsertMark(-1, 0);
            return TRUE;
        }
    } else if (ctrl) {
        SetInsertMark(-1, 0);
        return TRUE;
    }
    CPoint point = a.point;
    const int count = GetCount();
    int nIndex = std::abs(static_cast<int>(
        SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point))));
    if (count > 0 && nIndex > count) {
        SetInsertMark(-1, 0);
        return TRUE;
    }
    CRect rect;
    if (nIndex < count)
        GetItemRect(nIndex, &rect);
    if (!rect.PtInRect(point) && nIndex > 0 && IsCustomButton(nIndex - 1))
        --nIndex;
    NMTOOLBAR query{};
    query.hdr.hwndFrom = m_hWnd;
    query.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    query.hdr.code = static_cast<UINT>(TBN_QUERYINSERT);
    query.iItem = nIndex;
    CWnd* pParent = GetParent();
    if (pParent == nullptr ||
        pParent->SendMessage(WM_NOTIFY, query.hdr.idFrom, reinterpret_cast<LPARAM>(&query)) ==
            0) {
        SetInsertMark(-1, 0);
        return TRUE;
    }
    if (nIndex >= count) {
        SetInsertMark(count - 1, TBIMHT_AFTER);
    } else {
        GetItemRect(nIndex, &rect);
        const bool after = point.x > rect.CenterPoint().x || point.x < 0;
        SetInsertMark(nIndex, after ? TBIMHT_AFTER : 0);
    }
    a.result = ctrl ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    return TRUE;
}

LRESULT COXCoolToolBar::OnDragLeaveMsg(WPARAM, LPARAM)
{
    if (!m_bAdvancedCustomizable)
        return FALSE;
    SetInsertMark(-1, 0);
    if (!m_bDraggingButton)
        m_bRemoveAfterDrag = FALSE;
    return TRUE;
}

LRESULT COXCoolToolBar::OnDropMsg(WPARAM, LPARAM lParam)
{
    if (!m_bAdvancedCustomizable)
        return FALSE;
    SHBDROPTARGETACTION& a = Action(lParam);
    a.result = DropCommand(a.pDataObject, static_cast<int>(a.dropEffect));
    return TRUE;
}

LRESULT COXCoolToolBar::OnDropExMsg(WPARAM, LPARAM lParam)
{
    if (!m_bAdvancedCustomizable)
        return FALSE;
    // The source must not take the button away: a drop here is always a copy.
    SHBDROPTARGETACTION& a = Action(lParam);
    a.result = DropCommand(a.pDataObject, static_cast<int>(a.dropEffect)) ? DROPEFFECT_COPY
                                                                          : DROPEFFECT_NONE;
    return TRUE;
}

BOOL COXCoolToolBar::DropCommand(COleDataObject* pData, int dropEffect)
{
    BOOL dropped = FALSE;
    const int count = GetCount();
    const TBINSERTMARK mark = GetInsertMark();
    if ((dropEffect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) == 0 || (mark.iButton < 0 && count > 0)) {
        SetInsertMark(-1, 0);
        m_bRemoveAfterDrag = FALSE;
        return FALSE;
    }
    const bool after = (mark.dwFlags & TBIMHT_AFTER) != 0;
    const int b = mark.iButton;
    auto at = [&](int afterIndex) { return (after && b == afterIndex) || (!after && b == afterIndex + 1); };
    TBBUTTON sep{};
    sep.iBitmap = -1;
    sep.fsStyle = TBSTYLE_SEP;
    sep.iString = -1;
    if (m_bDraggingButton && dropEffect != DROPEFFECT_COPY && m_nDraggedButton >= 0) {
        const int d = m_nDraggedButton;
        bool handled = true;
        if (at(d - 1)) { // just left of itself: a gap after it
            if (d != count - 1 && !IsPlainSeparator(d + 1))
                SendMessage(TB_INSERTBUTTON, d + 1, reinterpret_cast<LPARAM>(&sep));
        } else if (at(d)) { // just right of itself: a gap before it
            if (d != 0 && !IsPlainSeparator(d - 1))
                SendMessage(TB_INSERTBUTTON, d, reinterpret_cast<LPARAM>(&sep));
        } else if (at(d + 1)) { // over the gap after it
            if (IsPlainSeparator(d + 1))
                SendMessage(TB_DELETEBUTTON, d + 1);
        } else if (at(d - 2)) { // over the gap before it
            if (IsPlainSeparator(d - 1))
                SendMessage(TB_DELETEBUTTON, d - 1);
        } else {
            handled = false;
        }
        if (handled) {
            SetInsertMark(-1, 0);
            m_bRemoveAfterDrag = FALSE;
            return TRUE;
        }
    }
    int target = b < 0 ? 0 : b + (after ? 1 : 0);
    target = std::max(0, std::min(target, GetCount()));
    SetInsertMark(-1, 0);
    if (m_bDraggingButton && m_nDraggedButton >= 0) {
        const int d = m_nDraggedButton;
        if (target > d)
            --target;
        if (MoveButton(d, target)) {
            m_nDraggedButton = target;
            SetCustomizedButton(target);
        }
        dropped = TRUE;
    } else {
        CommandRecord record;
        if (ReadFirstRecord(pData, record) &&
            (record.nID > 0 || (record.nID == 0 && GetCount() > 0))) {
            const int tab = record.text.Find('\t');
            if (tab >= 0)
                record.text = record.text.Left(tab);
            const int nReg = record.nID > 0
                                 ? GetCustomButtonRegistrationIndex(static_cast<UINT>(record.nID))
                                 : -1;
            if (nReg >= 0) {
                if (InsertCustomButton(target, nReg, WS_CHILD | WS_VISIBLE, 0,
                                       AfxRegisterWndClass(CS_DBLCLKS))) {
                    if (m_bCustomizeMode)
                        m_mapCustomButtons[target].m_pCBTemplate->SetCustomizeMode(TRUE);
                    dropped = TRUE;
                }
            } else {
                TBBUTTON button{};
                button.iBitmap = record.nImage;
                button.idCommand = record.nID;
                button.fsState = 0;
                button.fsStyle = (record.style & TBSTYLE_SEP)
                                     ? static_cast<BYTE>(record.style & ~TBSTYLE_AUTOSIZE)
                                     : static_cast<BYTE>(record.style | TBSTYLE_AUTOSIZE);
                button.iString = -1;
                if (SendMessage(TB_INSERTBUTTON, target, reinterpret_cast<LPARAM>(&button))) {
                    if (!(button.fsStyle & TBSTYLE_SEP))
                        SetButtonText(target, record.text);
                    UpdateLayout(TRUE, TRUE);
                    dropped = TRUE;
                }
            }
        }
    }
    m_bRemoveAfterDrag = FALSE;
    return dropped;
}

// --- the profile ---

void COXCoolToolBar::SaveCustomButtonRegistry(CArchive& ar)
{
    ar << static_cast<int>(RegisteredIDs().size());
    for (UINT nID : RegisteredIDs()) {
        OXCUSTOMBUTTONDESCRIPTOR& d = Registry()[nID];
        ar << nID << d.m_nWidth << d.m_nHeight << d.m_nFlags << d.m_nImageIndex;
        d.m_pCBTemplate->SaveState(ar);
    }
}

void COXCoolToolBar::LoadCustomButtonRegistry(CArchive& ar)
{
    int n = 0;
    ar >> n;
    for (int i = 0; i < n; ++i) {
        UINT nID = 0;
        OXCUSTOMBUTTONDESCRIPTOR values;
        ar >> nID >> values.m_nWidth >> values.m_nHeight >> values.m_nFlags >>
            values.m_nImageIndex;
        auto it = Registry().find(nID);
        // A template this process does not know: its state cannot be skipped, so the rest
        // stays as registered.
        if (it == Registry().end())
            return;
        OXCUSTOMBUTTONDESCRIPTOR& d = it->second;
        d.m_nWidth = values.m_nWidth;
        d.m_nHeight = values.m_nHeight;
        d.m_nFlags = values.m_nFlags;
        d.m_nImageIndex = values.m_nImageIndex;
        d.m_pCBTemplate->LoadState(ar);
    }
}

BOOL COXCoolToolBar::SaveBarState(LPCTSTR lpszProfileName, LPCTSTR lpszBarName,
                                  BOOL bProperties)
{
    CWinApp* pApp = AfxGetApp();
    const CString bar(lpszBarName);
    if (IsCustomizable(TRUE) || IsCustomizable(FALSE)) {
        if (!RegistryProfile())
            return FALSE;
        WriteArchive(lpszProfileName, bar + "_ButtonsSettings", [&](CArchive& ar) {
            const int count = GetCount();
            ar << count;
            for (int i = 0; i < count; ++i) {
                UINT nID = 0, nStyle = 0;
                int iImage = -1;
                GetButtonInfo(i, nID, nStyle, iImage);
                CString text = GetButtonText(i);
                const BYTE hasText = text.IsEmpty() ? 0 : 1;
                if (!hasText) {
                    auto it = m_mapButtonText.find(nID);
                    if (it != m_mapButtonText.end())
                        text = it->second;
                }
                ar << nID << iImage << static_cast<BYTE>(nStyle) << hasText << text;
            }
        });
        WriteArchive(lpszProfileName, bar + "_CustomButtonsPositions", [&](CArchive& ar) {
            ar << static_cast<int>(m_mapCustomButtons.size());
            for (auto& entry : m_mapCustomButtons) {
                CWnd* pWnd = entry.second.m_pCBTemplate != nullptr
                                 ? entry.second.m_pCBTemplate->GetWindow()
                                 : nullptr;
                ar << entry.first << (pWnd != nullptr ? pWnd->GetDlgCtrlID() : 0);
            }
        });
        HKEY hApp = pApp->GetAppRegistryKey();
        if (hApp != nullptr) {
            TBSAVEPARAMSA params{hApp, lpszProfileName, lpszBarName};
            SendMessage(TB_SAVERESTOREA, TRUE, reinterpret_cast<LPARAM>(&params));
            ::RegCloseKey(hApp);
        }
    }
    if (!g_bRegistrySaved && !RegisteredIDs().empty()) {
        g_bRegistrySaved = true;
        WriteArchive(lpszProfileName, "Toolbars_CustomButtonsSettings",
                     [](CArchive& ar) { SaveCustomButtonRegistry(ar); });
    }
    if (bProperties) {
        CString section;
        section.Format("%s_%s", lpszProfileName, lpszBarName);
        auto put = [&](const char* key, int value) { pApp->WriteProfileInt(section, key, value); };
        const DWORD style = GetStyle();
        put("Cool", m_bCool);
        put("Gripper", (m_dwStyle & CBRS_GRIPPER) ? 1 : 0);
        put("Separator", m_bSeparator);
        put("Flat", (style & TBSTYLE_FLAT) ? 1 : 0);
        put("List", (style & TBSTYLE_LIST) ? 1 : 0);
        put("DropDownArrow", IsDropDownArrow());
        put("Indent", m_nIndent);
        put("DefaultTextColor", static_cast<int>(m_clrDefaultText));
        put("HotTextColor", static_cast<int>(m_clrHotText));
        put("SelectedTextColor", static_cast<int>(m_clrSelectedText));
        put("CheckedTextColor", static_cast<int>(m_clrCheckedText));
        put("DefaultBkColor", static_cast<int>(m_clrDefaultBk));
        put("HotBkColor", static_cast<int>(m_clrHotBk));
        put("SelectedBkColor", static_cast<int>(m_clrSelectedBk));
        put("CheckedBkColor", static_cast<int>(m_clrCheckedBk));
        put("DefaultBorderColor", static_cast<int>(m_clrDefaultBorder));
        put("HotBorderColor", static_cast<int>(m_clrHotBorder));
        put("SelectedBorderColor", static_cast<int>(m_clrSelectedBorder));
        put("CheckedBorderColor", static_cast<int>(m_clrCheckedBorder));
        put("TextType", m_nTextType);
        put("TextRows", static_cast<int>(SendMessage(TB_GETTEXTROWS)));
        put("MinButtonsWidth", m_nMinButtonWidth);
        put("MaxButtonsWidth", m_nMaxButtonWidth);
        put("Customizable", IsCustomizable(TRUE));
    }
    return TRUE;
}

BOOL COXCoolToolBar::LoadBarState(LPCTSTR lpszProfileName, LPCTSTR lpszBarName,
                                  BOOL bProperties)
{
    CWinApp* pApp = AfxGetApp();
    const CString bar(lpszBarName);
    bool sizeUpdate = false;
    if (bProperties) {
        CString section;
        section.Format("%s_%s", lpszProfileName, lpszBarName);
        int v = 0;
        auto get = [&](const char* key) { return ProfileInt(pApp, section, key, v); };
        if (get("Customizable"))
            SetCustomizable(v, TRUE);
        if (get("Cool"))
            m_bCool = v;
        if (get("Gripper"))
            SetBarStyle(v ? (GetBarStyle() | CBRS_GRIPPER) : (GetBarStyle() & ~CBRS_GRIPPER));
        if (get("Separator"))
            m_bSeparator = v;
        if (get("Flat"))
            ModifyStyle(v ? 0 : TBSTYLE_FLAT, v ? TBSTYLE_FLAT : 0);
        if (get("List") && ((GetStyle() & TBSTYLE_LIST) != 0) != (v != 0)) {
            ModifyStyle(v ? 0 : TBSTYLE_LIST, v ? TBSTYLE_LIST : 0);
            sizeUpdate = true;
        }
        if (get("DropDownArrow"))
            SetDropDownArrow(v);
        if (get("Indent") && SendMessage(TB_SETINDENT, v))
            m_nIndent = v;
        const std::pair<const char*, COLORREF*> colours[] = {
            {"DefaultTextColor", &m_clrDefaultText},
            {"HotTextColor", &m_clrHotText},
            {"SelectedTextColor", &m_clrSelectedText},
            {"CheckedTextColor", &m_clrCheckedText},
            {"DefaultBkColor", &m_clrDefaultBk},
            {"HotBkColor", &m_clrHotBk},
            {"SelectedBkColor", &m_clrSelectedBk},
            {"CheckedBkColor", &m_clrCheckedBk},
            {"DefaultBorderColor", &m_clrDefaultBorder},
            {"HotBorderColor", &m_clrHotBorder},
            {"SelectedBorderColor", &m_clrSelectedBorder},
            {"CheckedBorderColor", &m_clrCheckedBorder},
        };
        for (const auto& c : colours)
            if (get(c.first))
                *c.second = static_cast<COLORREF>(v);
        if (get("TextType") && v != m_nTextType) {
            if (v == 3)
                SetButtonsText(1, kAllCommands, 4);
            SetButtonsText(1, kAllCommands, v);
            sizeUpdate = true;
        }
        if (get("TextRows") && v != static_cast<int>(SendMessage(TB_GETTEXTROWS))) {
            SendMessage(TB_SETMAXTEXTROWS, v);
            sizeUpdate = true;
        }
        int vMax = 0;
        if (get("MinButtonsWidth") && ProfileInt(pApp, section, "MaxButtonsWidth", vMax) &&
            (v != m_nMinButtonWidth || vMax != m_nMaxButtonWidth)) {
            SetButtonWidth(v, vMax);
            sizeUpdate = true;
        }
    }

    int registrySize = 0;
    if (!g_bRegistryLoaded &&
        ProfileInt(pApp, lpszProfileName, "Toolbars_CustomButtonsSettings_Size", registrySize)) {
        g_bRegistryLoaded = true;
        ReadArchive(lpszProfileName, "Toolbars_CustomButtonsSettings",
                    [](CArchive& ar) { LoadCustomButtonRegistry(ar); });
    }

    const bool customizable = IsCustomizable(TRUE) || IsCustomizable(FALSE);
    if (customizable && !RegistryProfile())
        return FALSE;
    if (customizable) {
        // The hosted windows wait aside while the control restores its list.
        std::map<int, OXCUSTOMBUTTONDESCRIPTOR> kept;
        std::vector<int> indices;
        for (auto& entry : m_mapCustomButtons)
            indices.push_back(entry.first);
        m_bSuspendCustomButtons = TRUE;
        for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
            OXCUSTOMBUTTONDESCRIPTOR d = m_mapCustomButtons[*it];
            m_mapCustomButtons.erase(*it);
            SendMessage(TB_DELETEBUTTON, *it);
            CWnd* pWnd = d.m_pCBTemplate != nullptr ? d.m_pCBTemplate->GetWindow() : nullptr;
            if (pWnd != nullptr && !d.m_pCBTemplate->IsShared())
                kept[pWnd->GetDlgCtrlID()] = d;
        }
        BOOL restored = FALSE;
        if (HKEY hApp = pApp->GetAppRegistryKey()) {
            TBSAVEPARAMSA params{hApp, lpszProfileName, lpszBarName};
            restored = static_cast<BOOL>(
                SendMessage(TB_SAVERESTOREA, FALSE, reinterpret_cast<LPARAM>(&params)));
            ::RegCloseKey(hApp);
        }
        m_bSuspendCustomButtons = FALSE;
        m_nCustomizedButton = -1;

        ReadArchive(lpszProfileName, bar + "_ButtonsSettings", [&](CArchive& ar) {
            struct Record {
                UINT nID = 0;
                int iImage = -1;
                BYTE style = 0, hasText = 0;
                CString text;
            };
            std::vector<Record> records;
            int count = 0;
            ar >> count;
            for (int i = 0; i < count; ++i) {
                Record r;
                ar >> r.nID >> r.iImage >> r.style >> r.hasText >> r.text;
                records.push_back(r);
            }
            // Some controls restore their list without its separators: put them back where
            // the saved list has them.
            if (restored) {
                for (size_t i = 0; i < records.size(); ++i) {
                    const int at = static_cast<int>(i);
                    if (!(records[i].style & TBSTYLE_SEP) || at > GetCount() ||
                        (at < GetCount() && (GetButtonStyle(at) & TBSTYLE_SEP)))
                        continue;
                    InsertSeparatorAt(at);
                }
            }
            for (const Record& r : records) {
                if (r.style & TBSTYLE_SEP)
                    continue;
                const int nIndex = CommandToIndex(r.nID);
                if (nIndex < 0)
                    continue;
                const UINT state = GetButtonStyle(nIndex) & 0xFFFF0000;
                SetButtonInfo(nIndex, r.nID, state | r.style, r.iImage);
                if (r.hasText)
                    SetButtonText(nIndex, r.text);
                else if (!r.text.IsEmpty())
                    m_mapButtonText[r.nID] = r.text;
            }
        });
        ReadArchive(lpszProfileName, bar + "_CustomButtonsPositions", [&](CArchive& ar) {
            int count = 0;
            ar >> count;
            for (int i = 0; i < count; ++i) {
                int nIndex = 0, nCtrlID = 0;
                ar >> nIndex >> nCtrlID;
                if (nIndex < 0 || nIndex > GetCount())
                    continue;
                // The restored list holds a plain separator where the window stood.
                if (restored && IsPlainSeparator(nIndex))
                    RemoveButtonAt(nIndex);
                auto it = kept.find(nCtrlID);
                CWnd* pWnd = it != kept.end() ? it->second.m_pCBTemplate->GetWindow() : nullptr;
                if (pWnd != nullptr && ::IsWindow(pWnd->m_hWnd)) {
                    InsertSeparatorAt(nIndex);
                    m_mapCustomButtons[nIndex] = it->second;
                    kept.erase(it);
                } else {
                    const int nReg =
                        GetCustomButtonRegistrationIndex(static_cast<UINT>(nCtrlID));
                    if (nReg >= 0)
                        InsertCustomButton(nIndex, nReg);
                }
            }
        });
        // Windows the saved bar no longer has go with their buttons.
        for (auto& entry : kept)
            DestroyCustomButton(entry.second);
        SetButtonsText(1, kAllCommands, m_nTextType);
    }
    if (sizeUpdate) {
        if (SendMessage(TB_GETTEXTROWS) > 0) {
            UpdateSizes();
        } else {
            SetSizes(CSize(m_sizeImage.cx + 7, m_sizeImage.cy + 6), m_sizeImage);
            SendMessage(TB_AUTOSIZE);
        }
        UpdateLayout(TRUE, FALSE);
    } else {
        PlaceCustomButtons();
    }
    return TRUE;
}
