// CAboutDlg: the modal About box with the version, the links to the maker's, translator's and
// designer's pages, the credited libraries' pictures and the credits text.
#pragma once

#include "app/dialogs/about_dlg_res.h"
#include "framework/ui.h"
#include "foundation/web/endpoints.h"
#include "toolkit/controls/static/hyperlink.h"

class CAboutDlg : public CDialog {
    DECLARE_DYNAMIC(CAboutDlg)
public:
    enum { IDD = IDD_ABOUTBOX };

    explicit CAboutDlg(CWnd* pParent = nullptr);
    ~CAboutDlg() override;

    BOOL OnInitDialog() override;

    COXStaticHyperLink& GetSiteLink() { return m_site; }
    COXStaticHyperLink& GetTranslatorLink() { return m_translator; }
    COXStaticHyperLink& GetDesignerLink() { return m_designer; }
    COXStaticHyperLink& GetVorbisLink() { return m_vorbis; }
    COXStaticHyperLink& GetLameLink() { return m_lame; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    CStatic m_version;
    CStatic m_notice;
    COXStaticHyperLink m_site;
    COXSeparator m_separator;
    COXStaticHyperLink m_translator;
    COXStaticHyperLink m_designer;
    COXStaticHyperLink m_vorbis;
    COXStaticHyperLink m_lame;
    CEdit m_credits;
};

// The addresses the About box links to.
namespace about_links {
inline constexpr const char* kMakerSite = endpoints::kHomePage;
inline constexpr char kTranslationsPage[] = "http://www.sonoria.invalid/translations.php";
inline constexpr char kDesignerSite[] = "http://design.sonoria.invalid/";
inline constexpr char kVorbisSite[] = "https://xiph.org/vorbis/";
inline constexpr char kLameSite[] = "https://lame.sourceforge.io/";
} // namespace about_links
