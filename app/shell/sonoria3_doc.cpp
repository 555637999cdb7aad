// The document: modes, disc load with its lookups, files added, tags written, and the store
// before the content is replaced.
#include "app/shell/sonoria3_doc.h"

#include <cstdlib>

#include "audio/cd/audio_cd.h"
#include "audio/cd/cd_text_parser.h"
#include "audio/formats/detection/format_detection.h"
#include "audio/formats/mp3/id3_writer.h"
#include "catalogue/localstore/cddb_local_manager.h"
#include "catalogue/service/sonoria_db_mgr.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/endpoints.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(CSonoria3Doc, CDocument)

CSonoria3Doc::CSonoria3Doc()
{
    m_cdInfo.Clear();
}

CSonoria3Doc::~CSonoria3Doc()
{
    ReleaseDrive();
    m_cdInfo.Clear();
}

CString CSonoria3Doc::DefaultTrackName()
{
    return I18NString("csonoria3doc.const.deftrackname", "Track");
}

BOOL CSonoria3Doc::SetMode(int nMode)
{
    if (m_nMode == nMode)
        return FALSE;
    m_nMode = nMode;
    return TRUE;
}

BOOL CSonoria3Doc::OnNewDocument()
{
    if (m_nMode == MODE_RIPPER) {
        if (!LoadDisc())
            return FALSE;
    } else {
        if (!CDocument::OnNewDocument())
            return FALSE;
        ClearDisc();
    }
    m_nContentMode = m_nMode;
    return TRUE;
}

void CSonoria3Doc::OnCloseDocument()
{
    ClearDisc();
    CDocument::OnCloseDocument();
}

void CSonoria3Doc::ClearDisc()
{
    UpdateAllViews(nullptr, kHintReleaseTracks);
    m_cdInfo.Clear();
}

void CSonoria3Doc::ReleaseDrive()
{
    if (m_pCD == nullptr)
        return;
    m_pCD->Close();
    delete m_pCD;
    m_pCD = nullptr;
}

BOOL CSonoria3Doc::LoadDisc()
{
    const CString trackName = DefaultTrackName();
    if (!CDocument::OnNewDocument())
        return FALSE;
    ClearDisc();
    CAppCfg& cfg = GetAppCfg();

    if (cfg.IsWinNT4OrLater() && !cfg.IsUserAdmin() && cfg.IsCDROMAllocatedToUser())
        AfxMessageBox(I18NString("csonoria3doc.const.nouseraccesserror",
                                 "This system is not configued to allow normal users (as you "
                                 "are) to low level access to CD devices.\r\nWithout "
                                 "authorization Sonria is not able to access CD devices.\r\n"
                                 "Please ask your network administrator to grant you such "
                                 "authorization."),
                      MB_ICONEXCLAMATION);

    CAudioCDManager drives(cfg.GetForceASPI());
    if (!drives.IsInitialized())
        return TRUE;
    const int count = drives.GetDriveCount();
    if (count < 1) {
        CString text = I18NString("csonoria3doc.const.nocderr",
                                  "Error: Sonoria cannot detect any CD playing device!\nDo you "
                                  "need more info about this problem?");
        if (AfxMessageBox(text, MB_YESNO | MB_ICONSTOP) == IDYES) {
            CString url = endpoints::kHubPage;
            url += "?s=nocd&language=";
            url += UrlEncoded(I18NString("global.const.langcode", "en"));
            OpenUrlOrFile(url, TRUE);
        }
        return TRUE;
    }

    int index = cfg.GetCDDevice();
    if (index < 0 || index >= count)
        index = 0;
    m_pCD = drives.OpenCD(index);
    if (m_pCD == nullptr)
        return TRUE;
    DWORD discId = 0;
    if (m_pCD->ReadTOC() && (discId = m_pCD->GetCDDBDiscId()) != 0) {
        m_cdInfo.SetDiscId(discId);
        const int tracks = m_pCD->GetTrackCount();
        for (int i = 1; i <= tracks; ++i) {
            CCDTrack* pTrack = AddTrack();
            pTrack->SetDriveIndex(index);
            pTrack->SetFlags(m_pCD->GetTrackType(i));
            pTrack->SetStartSector(m_pCD->GetTrackStartLBA(i));
            pTrack->SetLengthFrames(m_pCD->GetTrackLength(i));
            pTrack->SetCDId(m_cdInfo.GetCDDBId());
            pTrack->SetSelected(TRUE);
            CString text;
            text.Format("%s %d", static_cast<LPCTSTR>(trackName), i);
            pTrack->SetTrackTitle(text);
            pTrack->SetDurationFromFrames(m_pCD->GetTrackLength(i));
            pTrack->SetEncodedBy(cfg.GetEncodedByPreset());
            text.Format("%d/%d", i, tracks);
            pTrack->SetTrackPosition(text);
        }
        if (m_cdInfo.GetAudioTrackCount() > 0)
            LookUpDisc();
    }
    ReleaseDrive();
    return TRUE;
}

void CSonoria3Doc::LookUpDisc()
{
    CAppCfg& cfg = GetAppCfg();
    BOOL service = cfg.GetSonoriaDBAutoSearch();
    BOOL freedb = service ? FALSE : cfg.GetAutoSearchFreedb();
    BOOL cdText = cfg.GetReadCDText();

    if (cfg.GetUseLocalDB()) {
        CCDDBLocalManager store;
        if (store.Load(&m_cdInfo))
            service = freedb = cdText = FALSE;
    }
    if (cdText)
        ApplyCDText();
    if (service && m_cdInfo.GetAudioTrackCount() > 1) {
        CWaitCursor wait;
        CSonoriaDBMgr db;
        if (db.QueryCD(m_cdInfo.GetTocId(), &m_cdInfo) != CSonoriaDBMgr::RESULT_OK &&
            cfg.GetAutoSearchFreedb())
            freedb = TRUE;
    }
    if (freedb)
        PostFreedbQuery();
}

void CSonoria3Doc::ApplyCDText()
{
    CAudioCDTextParser parser;
    if (!m_pCD->ReadCDText(&parser))
        return;
    CString title, performer, composer, genre;
    parser.GetTitle(title, 0);
    parser.GetPerformer(performer, 0);
    parser.GetGenre(genre, 0);
    m_cdInfo.SetTitle(title);
    m_cdInfo.SetArtist(performer);
    m_cdInfo.SetGenre(genre);
    const CString album = title;
    for (int i = 1; i <= m_cdInfo.GetTrackCount(); ++i) {
        CCDTrack* pTrack = m_cdInfo.GetTrack(i - 1);
        parser.GetTitle(title, i);
        parser.GetPerformer(performer, i);
        parser.GetComposer(composer, i);
        parser.GetGenre(genre, i);
        pTrack->SetTrackTitle(title);
        pTrack->SetArtist(performer);
        pTrack->SetAlbumArtist(performer);
        pTrack->SetAlbumTitle(album);
        pTrack->SetComposer(composer);
        pTrack->SetContentType(genre);
    }
}

void CSonoria3Doc::PostFreedbQuery()
{
    // On the first load the frame being created is not yet the main window: find it through
    // the view.
    CWnd* pFrame = nullptr;
    POSITION pos = GetFirstViewPosition();
    if (pos != nullptr)
        pFrame = GetNextView(pos)->GetParentFrame();
    if (pFrame == nullptr)
        pFrame = AfxGetMainWnd();
    if (pFrame != nullptr && pFrame->m_hWnd != nullptr)
        pFrame->PostMessage(WM_COMMAND, ID_TAGS_FREEDBQUERY, 0);
}

BOOL CSonoria3Doc::SaveModified()
{
    CAppCfg& cfg = GetAppCfg();
    if (m_nContentMode == MODE_RIPPER && m_cdInfo.GetTrackCount() > 0) {
        if (cfg.GetUseLocalDB()) {
            CCDDBLocalManager store;
            store.Save(&m_cdInfo);
        }
        if (cfg.GetWriteCDPLAYERINI()) {
            CCDDBLocalManager store;
            store.WriteCDPlayerIni(&m_cdInfo);
        }
    } else if (m_nContentMode == MODE_TAGGER) {
        for (int i = 0; i < m_cdInfo.GetTrackCount(); ++i)
            if (m_cdInfo.GetTrack(i)->IsModified())
                WriteTags(i);
    }
    return CDocument::SaveModified();
}

CCDTrack* CSonoria3Doc::AddTrack()
{
    return m_cdInfo.AddNewTrack();
}

BOOL CSonoria3Doc::AddFile(LPCTSTR lpszPath, BOOL bTagger)
{
    CCDTrack imported;
    if (bTagger) {
        if (CAudioFileInspector::DetectFormat(lpszPath) != 1)
            return FALSE;
        CAudioFileInspector::ImportTags(lpszPath, imported);
    } else if (!CAudioFileInspector::ImportTags(lpszPath, imported)) {
        return FALSE;
    }
    CCDTrack* pTrack = AddTrack();
    *pTrack = imported;
    pTrack->SetFilePath(lpszPath);
    pTrack->MarkAsFileEntry();
    // Whole seconds: the integer division comes first.
    pTrack->SetLengthFrames(static_cast<int>(atol(imported.GetDurationMsText()) / 1000 * 75));
    pTrack->SetSelected(TRUE);
    if (pTrack->GetEncodedBy().IsEmpty())
        pTrack->SetEncodedBy(GetAppCfg().GetEncodedByPreset());
    UpdateAllViews(nullptr);
    return TRUE;
}

BOOL CSonoria3Doc::AddConverterFile(LPCTSTR lpszPath)
{
    return AddFile(lpszPath, FALSE);
}

BOOL CSonoria3Doc::AddTaggerFile(LPCTSTR lpszPath)
{
    return AddFile(lpszPath, TRUE);
}

BOOL CSonoria3Doc::WriteTags(int nIndex)
{
    CCDTrack* pTrack = m_cdInfo.GetTrack(nIndex);
    if (pTrack == nullptr)
        return FALSE;
    const int id3 = GetAppCfg().GetMp3Enc_WriteID3();
    const CString path = pTrack->GetFilePath();
    CAudioMP3InfoTagWriter writer(pTrack);
    CWaitCursor wait;
    if (id3 & 2)
        writer.WriteID3v2(path);
    else
        writer.RemoveID3v2(path);
    if (id3 & 1)
        writer.WriteID3v1(path);
    else
        writer.RemoveID3v1(path);
    pTrack->ClearModified();
    return TRUE;
}

BOOL CSonoria3Doc::IsSubmittable() const
{
    if (m_cdInfo.GetTitle().IsEmpty() || m_cdInfo.GetArtist().IsEmpty() ||
        m_cdInfo.GetTrackCount() < 2)
        return FALSE;
    const CString name = DefaultTrackName();
    for (int i = 0; i < m_cdInfo.GetTrackCount(); ++i) {
        CString def;
        def.Format("%s %d", static_cast<LPCTSTR>(name), i + 1);
        if (m_cdInfo.GetTrack(i)->GetTrackTitle() == def)
            return FALSE;
    }
    return TRUE;
}
