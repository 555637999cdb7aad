// The About box: texts, link targets and credits.
#include "app/dialogs/about_dlg.h"

#include "foundation/i18n/i18n.h"
#include "foundation/web/update_check.h"

IMPLEMENT_DYNAMIC(CAboutDlg, CDialog)

namespace {

constexpr char kNotice[] = "Copyright (C) Corvalen. All rights reserved.";
constexpr char kDesignerCredit[] = "Logo and icons designed by Mira Tessaro";
constexpr char kCredits[] =
    "This program uses:\r\n"
    "- the freedb free CD database service\r\n"
    "- the Ogg Vorbis audio encoder and decoder\r\n"
    "- FLAC, the Free Lossless Audio Codec\r\n"
    "- the LAME MP3 encoding engine and the MPG123 decoder\r\n"
    "\r\n"
    "LAME, MPG123 and the freedb database are distributed under the GNU Library General Public "
    "License. Ogg Vorbis and FLAC are distributed under the Xiph.Org BSD-style license.";
constexpr char kAspiCredit[] = "The WNASPI32.DLL ASPI driver is used by courtesy of its author.";

void OpenOnClick(COXStaticHyperLink& link, LPCTSTR lpszTarget)
{
    link.SetLinkAction(COXHyperLinkAction::ID_HLACTION_OPEN, lpszTarget, nullptr, nullptr,
                       SW_SHOWNORMAL);
}

} // namespace

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_VERSION, m_version);
    DDX_Control(pDX, IDC_ABOUT_NOTICE, m_notice);
    DDX_Control(pDX, IDC_ABOUT_SITE, m_site);
    DDX_Control(pDX, IDC_ABOUT_SEPARATOR, m_separator);
    DDX_Control(pDX, IDC_ABOUT_TRANSLATOR, m_translator);
    DDX_Control(pDX, IDC_ABOUT_DESIGNER, m_designer);
    DDX_Control(pDX, IDC_ABOUT_VORBIS, m_vorbis);
    DDX_Control(pDX, IDC_ABOUT_LAME, m_lame);
    DDX_Control(pDX, IDC_ABOUT_CREDITS, m_credits);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "caboutdlg.title");
    I18NSetDlgItemText(this, IDOK, "caboutdlg.bt.ok");

    m_version.SetWindowText(CString("Sonoria ") + kRunningVersion);
    m_notice.SetWindowText(kNotice);
    // The fitted width comes out a few pixels short of an address under Wine's fonts: the site
    // link keeps its template width instead.
    m_site.SetFitToText(FALSE);
    m_site.SetWindowText(about_links::kMakerSite);
    OpenOnClick(m_site, about_links::kMakerSite);

    m_separator.SetWindowText("");

    // Every language file names its own translator and the translator's page.
    m_translator.SetWindowText(
        I18NString("caboutdlg.const.translatedbyname", "Default language file"));
    OpenOnClick(m_translator,
                I18NString("caboutdlg.const.translatedbyurl", about_links::kTranslationsPage));

    m_designer.SetWindowText(I18NString("caboutdlg.const.lmv", kDesignerCredit));
    OpenOnClick(m_designer, about_links::kDesignerSite);
    OpenOnClick(m_vorbis, about_links::kVorbisSite);
    OpenOnClick(m_lame, about_links::kLameSite);

    m_credits.SetWindowText(I18NString("caboutdlg.const.creditnotes", kCredits) + "\r\n" +
                            I18NString("caboutdlg.const.tarvel", kAspiCredit));
    return TRUE;
}
