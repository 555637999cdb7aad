// The file-name template editor.
#include "app/dialogs/edit_format_dlg.h"

#include "app/dialogs/dialogs_res.h"
#include "audio/track/track_info.h"
#include "foundation/i18n/i18n.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/endpoints.h"
#include "foundation/web/update_check.h"
#include "rip/track_name_handler.h"

BEGIN_MESSAGE_MAP(CEditFormatDlg, CDialog)
ON_EN_CHANGE(IDC_FORMAT_DEFINITION, OnChangeFormat)
ON_BN_CLICKED(IDC_FORMAT_HELP, OnHelp)
END_MESSAGE_MAP()

CEditFormatDlg::CEditFormatDlg(CWnd* pParent) : CDialog(IDD_EDIT_FORMAT, pParent) {}

void CEditFormatDlg::FillSampleTrack(CAudioTrackInfo& info)
{
    info.SetTrackTitle("Paper Harbour");
    info.SetTrackExt("Great song");
    info.SetTrackPosition("7");
    info.SetDurationMs(168000);
    info.SetArtist("The Lantern Choir");
    info.SetBand("The Lantern Choir");
    info.SetAlbumArtist("The Lantern Choir");
    info.SetComposer("Name of the Composer");
    info.SetConductor("Name of the conductor");
    info.SetYear("1994");
    info.SetContentType("Rock");
    info.SetAlbumTitle("Quiet Engines");
    info.SetRemix("Remastered in 1994");
    info.SetCDId("9809300d");
    info.SetPartOfASet("1/2");
    info.SetContentGroup("Greatest '80 rock");
}

BOOL CEditFormatDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "ceditformatdlg.title");
    I18NSetDlgItemText(this, IDC_FORMAT_NAME_LABEL, "ceditformatdlg.st.formatname");
    I18NSetDlgItemText(this, IDC_FORMAT_DEFINITION_LABEL, "ceditformatdlg.st.formatdefinition");
    I18NSetDlgItemText(this, IDOK, "ceditformatdlg.bt.ok");
    I18NSetDlgItemText(this, IDCANCEL, "ceditformatdlg.bt.cancel");
    I18NSetDlgItemText(this, IDC_FORMAT_HELP, "ceditformatdlg.bt.help");
    GetDlgItem(IDC_FORMAT_NAME)->SetWindowText(m_strName);
    GetDlgItem(IDC_FORMAT_DEFINITION)->SetWindowText(m_strFormat);
    OnChangeFormat(); // an empty definition changes nothing, so no notification came
    return TRUE;
}

void CEditFormatDlg::OnChangeFormat()
{
    CString format;
    GetDlgItem(IDC_FORMAT_DEFINITION)->GetWindowText(format);
    CString error;
    CString text;
    if (CTrackNameHandler::Validate(format, error)) {
        CAudioTrackInfo sample;
        FillSampleTrack(sample);
        CString name;
        CTrackNameHandler::Expand(format, sample, name, 0, 1);
        text = I18NString("ceditformatdlg.const.sample", "Sample: ") + name;
    } else {
        text = I18NString("ceditformatdlg.const.error", "definition error > ") + error;
    }
    GetDlgItem(IDC_FORMAT_SAMPLE)->SetWindowText(text);
}

void CEditFormatDlg::OnOK()
{
    GetDlgItem(IDC_FORMAT_NAME)->GetWindowText(m_strName);
    GetDlgItem(IDC_FORMAT_DEFINITION)->GetWindowText(m_strFormat);
    const CString title = I18NString("ceditformatdlg.const.errtitle", "Error");
    CString error;
    if (!CTrackNameHandler::Validate(m_strFormat, error)) {
        MessageBox(I18NString("ceditformatdlg.const.errformat",
                              "There is an error in the format definition. Please fix it."),
                   title, MB_ICONSTOP);
        return;
    }
    // "|" separates the name from the template in the stored list.
    if (m_strName.Find('|') >= 0) {
        MessageBox(I18NString("ceditformatdlg.const.errname",
                              "Format Name contains invalid chars. Please fix it."),
                   title, MB_ICONSTOP);
        return;
    }
    EndDialog(IDOK);
}

void CEditFormatDlg::OnHelp()
{
    CString url;
    url.Format("%s?s=htemplates&language=%s&version=%s&build=%d", endpoints::kHubPage,
               static_cast<LPCTSTR>(UrlEncoded(I18NString("global.const.langcode", "en"))),
               kRunningVersion, kRunningBuild);
    OpenUrlOrFile(url, TRUE);
}
