// The freedb match chooser: one line per record, the details of the selected one.
#include "app/dialogs/freedb_choose_dlg.h"

#include "app/dialogs/freedb_choose_res.h"
#include "foundation/i18n/i18n.h"

IMPLEMENT_DYNAMIC(CFreedbChooseDlg, CDialog)

BEGIN_MESSAGE_MAP(CFreedbChooseDlg, CDialog)
ON_CONTROL(LBN_SELCHANGE, IDC_FREEDB_RECORDS, OnSelChangeRecords)
ON_CONTROL(LBN_DBLCLK, IDC_FREEDB_RECORDS, OnDblClkRecords)
END_MESSAGE_MAP()

namespace
{
constexpr char kFreedbSite[] = "http://www.freedb.org/";
constexpr DWORD kHelpContext = 2000;
} // namespace

CFreedbChooseDlg::CFreedbChooseDlg(CWnd* pParent) : CDialog(IDD_FREEDB_CHOOSE, pParent) {}

CFreedbChooseDlg::~CFreedbChooseDlg() = default;

CString CFreedbChooseDlg::RecordLine(const CCDDBRecord& record)
{
    CString line;
    line.Format("[%08x] %s - %s (%s)", static_cast<unsigned>(record.m_dwDiscId),
                record.m_strGenre.GetString(), record.m_strDiscTitle.GetString(),
                record.m_strDiscArtist.GetString());
    return line;
}

void CFreedbChooseDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FREEDB_LOGO, m_logo);
    DDX_Control(pDX, IDC_FREEDB_DETAILS, m_details);
    DDX_Control(pDX, IDC_FREEDB_RECORDS, m_records);
}

BOOL CFreedbChooseDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "cfreedbchoosedlg.title");
    I18NSetDlgItemText(this, IDC_FREEDB_DETAILS_GROUP, "cfreedbchoosedlg.st.cddetails");
    I18NSetDlgItemText(this, IDOK, "cfreedbchoosedlg.bt.ok");
    I18NSetDlgItemText(this, IDCANCEL, "cfreedbchoosedlg.bt.cancel");

    const INT_PTR count = m_pRecords != nullptr ? m_pRecords->GetSize() : 0;
    for (INT_PTR i = 0; i < count; ++i)
        m_records.AddString(RecordLine(m_pRecords->GetAt(i)));
    if (count > 0) {
        m_records.SetCurSel(0);
        OnSelChangeRecords();
    }
    m_logo.SetLinkAction(COXHyperLinkAction::ID_HLACTION_OPEN, kFreedbSite, nullptr, nullptr,
                         SW_SHOWNORMAL);
    return TRUE;
}

void CFreedbChooseDlg::OnSelChangeRecords()
{
    m_nSelected = m_records.GetCurSel();
    m_details.ResetContent();
    if (m_pRecords != nullptr && m_nSelected >= 0 && m_nSelected < m_pRecords->GetSize()) {
        const CCDDBRecord record = m_pRecords->GetAt(m_nSelected);
        ShowDetails(record);
    }
}

void CFreedbChooseDlg::ShowDetails(const CCDDBRecord& record)
{
    CString line;
    for (INT_PTR i = 0; i < record.m_arrTrackTitles.GetSize(); ++i) {
        line.Format("%2d-%s", static_cast<int>(i + 1), record.m_arrTrackTitles[i].GetString());
        m_details.AddString(line);
    }
    m_details.AddString("");
    m_details.AddString(I18NString("cfreedbchoosedlg.const.artist", "Artist: ") +
                        record.m_strDiscArtist);
    line.Format("%d", record.m_nYear);
    m_details.AddString(I18NString("cfreedbchoosedlg.const.year", "Year: ") + line);
    m_details.AddString(I18NString("cfreedbchoosedlg.const.genre", "Genre: ") + record.m_strGenre);
    m_details.AddString(I18NString("cfreedbchoosedlg.const.comment", "Comment: ") +
                        record.m_strExtendedData);
}

void CFreedbChooseDlg::OnDblClkRecords()
{
    PostMessage(WM_COMMAND, IDOK, 0);
}

LRESULT CFreedbChooseDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP || (message == WM_COMMAND && wParam == IDHELP)) {
        WinHelp(kHelpContext, HELP_CONTEXT);
        return TRUE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
