// A text static that acts as a web link and the action it runs when clicked.
#include "toolkit/controls/static/hyperlink.h"

#include <shellapi.h>

#include "toolkit/controls/static/static_res.h"

namespace
{

CString ToolkitText(UINT nID)
{
    CString s;
    s.LoadString(nID);
    return s;
}

UINT TypeNameId(int type)
{
    switch (type) {
    case COXHyperLinkAction::ID_HLACTION_NONE:
        return IDS_OX_HLNONE;
    case COXHyperLinkAction::ID_HLACTION_USERDEFINED:
        return IDS_OX_HLUSERDEFINED;
    case COXHyperLinkAction::ID_HLACTION_OPEN:
        return IDS_OX_HLOPEN;
    case COXHyperLinkAction::ID_HLACTION_PRINT:
        return IDS_OX_HLPRINT;
    case COXHyperLinkAction::ID_HLACTION_EXPLORE:
        return IDS_OX_HLEXPLORE;
    case COXHyperLinkAction::ID_HLACTION_EMAIL:
        return IDS_OX_HLEMAIL;
    default:
        return 0;
    }
}

LPCSTR NullIfEmpty(const CString& s)
{
    return s.IsEmpty() ? nullptr : static_cast<LPCSTR>(s);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// COXHyperLinkAction

BOOL COXHyperLinkAction::Execute(BOOL bShowErrors)
{
    const COXHyperLinkAction saved(*this);
    m_hInstance = nullptr;
    int error = -1;
    HINSTANCE instance = nullptr;
    UINT verb = 0;
    switch (m_nActionID) {
    case ID_HLACTION_NONE:
        break;
    case ID_HLACTION_USERDEFINED: {
        BOOL ok;
        if (m_hWndCallbackMsgTarget == Broadcast())
            ok = ::PostMessage(HWND_BROADCAST, m_nCallbackMsgID, 0, reinterpret_cast<LPARAM>(this));
        else
            ok = ::SendMessage(m_hWndCallbackMsgTarget, m_nCallbackMsgID, 0,
                               reinterpret_cast<LPARAM>(this)) != 0;
        if (!ok)
            error = -3;
        break;
    }
    case ID_HLACTION_OPEN:
        verb = IDS_OX_HLOPEN;
        break;
    case ID_HLACTION_PRINT:
        verb = IDS_OX_HLPRINT;
        break;
    case ID_HLACTION_EXPLORE:
        verb = IDS_OX_HLEXPLORE;
        break;
    case ID_HLACTION_EMAIL:
        verb = IDS_OX_HLOPEN;
        m_sFile = ToolkitText(IDS_OX_HLMAILTO) + m_sFile;
        break;
    default:
        error = -2;
    }
    if (verb != 0) {
        CString sVerb = ToolkitText(verb);
        HINSTANCE result = ::ShellExecuteA(nullptr, sVerb, m_sFile, NullIfEmpty(m_sParameters),
                                           NullIfEmpty(m_sDefaultDirectory), m_nShowCmd);
        auto code = reinterpret_cast<INT_PTR>(result);
        if (code <= 32)
            error = static_cast<int>(code);
        else
            instance = result;
    }
    // Back to what the caller set (an e-mail target keeps no prefix), plus the outcome.
    *this = saved;
    m_nLastError = error;
    m_hInstance = instance;
    if (error != -1 && bShowErrors)
        ReportError();
    return error == -1;
}

CString COXHyperLinkAction::GetErrorText() const
{
    UINT id = 0;
    switch (m_nLastError) {
    case -2:
        id = IDS_OX_HLUNKNOWNACTION;
        break;
    case -3: {
        CString format = ToolkitText(IDS_OX_HLACTIONFAILED);
        UINT nameId = TypeNameId(m_nActionID);
        CString name = nameId != 0 ? ToolkitText(nameId) : CString();
        // The format is ours; still, only its one %s is filled, whatever else it holds.
        int at = format.Find("%s");
        if (at < 0)
            return format;
        return format.Left(at) + name + format.Mid(at + 2);
    }
    case 0:
        id = IDS_OX_HLERR_OUTOFMEMORY;
        break;
    case ERROR_FILE_NOT_FOUND:
        id = IDS_OX_HLERR_FILENOTFOUND;
        break;
    case ERROR_PATH_NOT_FOUND:
        id = IDS_OX_HLERR_PATHNOTFOUND;
        break;
    case SE_ERR_ACCESSDENIED:
        id = IDS_OX_HLERR_ACCESSDENIED;
        break;
    case SE_ERR_OOM:
        id = IDS_OX_HLERR_OOM;
        break;
    case ERROR_BAD_FORMAT:
        id = IDS_OX_HLERR_BADFORMAT;
        break;
    case SE_ERR_SHARE:
        id = IDS_OX_HLERR_SHARE;
        break;
    case SE_ERR_ASSOCINCOMPLETE:
        id = IDS_OX_HLERR_ASSOCINCOMPLETE;
        break;
    case SE_ERR_DDETIMEOUT:
        id = IDS_OX_HLERR_DDETIMEOUT;
        break;
    case SE_ERR_DDEFAIL:
        id = IDS_OX_HLERR_DDEFAIL;
        break;
    case SE_ERR_DDEBUSY:
        id = IDS_OX_HLERR_DDEBUSY;
        break;
    case SE_ERR_NOASSOC:
        id = IDS_OX_HLERR_NOASSOC;
        break;
    case SE_ERR_DLLNOTFOUND:
        id = IDS_OX_HLERR_DLLNOTFOUND;
        break;
    default:
        id = IDS_OX_HLUNKNOWNERROR;
    }
    return ToolkitText(id);
}

void COXHyperLinkAction::ReportError()
{
    if (m_nLastError == -1)
        return;
    ::MessageBeep(0);
    ::MessageBoxA(m_hWndOwner, GetErrorText(), nullptr, MB_ICONSTOP);
}

// ---------------------------------------------------------------------------------------------
// COXStaticHyperLink

BEGIN_MESSAGE_MAP(COXStaticHyperLink, COXStatic)
ON_WM_CTLCOLOR_REFLECT_STATIC()
// The click is followed, then the parent still sees it (the row declines).
{WM_REFLECT_BASE + WM_COMMAND, STN_CLICKED, 0, 0,
 [](CCmdTarget* pTarget, WPARAM, LPARAM, LRESULT*) -> bool {
     static_cast<COXStaticHyperLink*>(pTarget)->FollowLink();
     return false;
 }},
    ON_WM_SETCURSOR() END_MESSAGE_MAP()

        COXStaticHyperLink::COXStaticHyperLink()
    : m_action(m_hWnd)
{
    m_bToolTipEnabled = TRUE;
    m_bFitToText = TRUE;
}

void COXStaticHyperLink::SetLinkAction(int nActionID, LPCTSTR lpszFile, LPCTSTR lpszParameters,
                                       LPCTSTR lpszDefaultDirectory, int nShowCmd,
                                       UINT nCallbackMsgID, HWND hWndCallbackMsgTarget)
{
    m_action.m_nActionID = nActionID;
    m_action.m_sFile = lpszFile;
    m_action.m_sParameters = lpszParameters;
    m_action.m_sDefaultDirectory = lpszDefaultDirectory;
    m_action.m_nShowCmd = nShowCmd;
    m_action.m_nCallbackMsgID = nCallbackMsgID;
    m_action.m_hWndCallbackMsgTarget = hWndCallbackMsgTarget;
    UpdateToolTip();
}

BOOL COXStaticHyperLink::RebuildFont()
{
    return CopyWindowFont(TRUE);
}

BOOL COXStaticHyperLink::Initialize()
{
    LoadLinkCursor();
    // An error box belongs to the link's window, so it is modal to its dialog.
    if (m_action.m_hWndOwner == nullptr)
        m_action.m_hWndOwner = m_hWnd;
    return COXStatic::Initialize();
}

void COXStaticHyperLink::LoadLinkCursor()
{
    m_hCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(IDC_OX_HAND_CURSOR));
}

BOOL COXStaticHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hCursor == nullptr)
        return FALSE;
    ::SetCursor(m_hCursor);
    return TRUE;
}

void COXStaticHyperLink::UpdateToolTip()
{
    if (m_bToolTipEnabled && !m_bExplicitToolTipText) {
        m_sToolTipText = m_action.m_sFile;
        if (m_sToolTipText.IsEmpty() && m_bUseWindowText && IsTextStatic())
            GetWindowText(m_sToolTipText);
    }
    SetToolText(m_sToolTipText);
}

HBRUSH COXStaticHyperLink::CtlColor(CDC* pDC, UINT nCtlColor)
{
    HBRUSH brush = COXStatic::CtlColor(pDC, nCtlColor);
    pDC->SetTextColor(m_bVisited ? m_clrVisited : m_clrUnvisited);
    return brush;
}

BOOL COXStaticHyperLink::FollowLink()
{
    const bool borrowed = m_action.m_sFile.IsEmpty() && m_bUseWindowText;
    if (borrowed)
        GetWindowText(m_action.m_sFile);
    BOOL ok = m_action.Execute(m_bShowErrors);
    if (ok) {
        m_bVisited = TRUE;
        if (::IsWindow(m_hWnd))
            RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    }
    if (borrowed)
        m_action.m_sFile.Empty();
    return ok;
}
