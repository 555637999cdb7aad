// CSonoria3Doc: the single document. In the "Ripper" mode it holds the disc of the chosen
// drive, one track per table-of-contents entry; in the "Converter" and "Tagger" modes the
// files the user added. ID_FILE_NEW ("Refresh CD") rebuilds it: SaveModified stores the
// content by the mode it was built in, then OnNewDocument loads by the current mode.
#pragma once

#include "catalogue/model/cd_info.h"
#include "framework/ui.h"

class CAudioCD;

class CSonoria3Doc : public CDocument {
    DECLARE_DYNCREATE(CSonoria3Doc)
public:
    enum Mode { MODE_RIPPER = 0, MODE_CONVERTER = 1, MODE_TAGGER = 2 };
    // The hint of UpdateAllViews sent before the tracks are deleted: views let go of them.
    static constexpr LPARAM kHintReleaseTracks = 1;

    CSonoria3Doc();
    ~CSonoria3Doc() override;

    void Serialize(CArchive&) override {}
    // The document never marks itself modified, so nobody is asked to save it.
    void SetModifiedFlag(BOOL bModified = TRUE) override { CDocument::SetModifiedFlag(bModified); }
    BOOL OnNewDocument() override;
    void OnCloseDocument() override;
    // Stores the disc (Ripper content) or writes the edited tags (Tagger content) first.
    BOOL SaveModified() override;

    // The "Ripper" load: FALSE only when the base OnNewDocument fails; every other failure
    // leaves an empty disc.
    BOOL LoadDisc();
    // TRUE when the mode changed.
    BOOL SetModeRipper() { return SetMode(MODE_RIPPER); }
    BOOL SetModeConverter() { return SetMode(MODE_CONVERTER); }
    BOOL SetModeTagger() { return SetMode(MODE_TAGGER); }
    int GetMode() const { return m_nMode; }
    int GetContentMode() const { return m_nContentMode; }

    // Adds a file of any known format; FALSE for a file the inspector cannot read.
    BOOL AddConverterFile(LPCTSTR lpszPath);
    // Adds an MP3 file only.
    BOOL AddTaggerFile(LPCTSTR lpszPath);
    // A new track appended to the disc record, owned by it.
    CCDTrack* AddTrack();
    // Writes (or removes) the ID3 tags of the file at nIndex as Mp3Enc_WriteID3 asks; FALSE
    // when no track is there.
    BOOL WriteTags(int nIndex);
    // Album title and artist filled, at least two tracks, none still named by default.
    BOOL IsSubmittable() const;

    CCDInfo& GetCDInfo() { return m_cdInfo; }
    // "Track" in the current language.
    static CString DefaultTrackName();

protected:
    BOOL SetMode(int nMode);
    // The lookups of a disc with audio: local store, CD-Text, the disc-information service,
    // and the freedb query posted to the main frame.
    void LookUpDisc();
    void ApplyCDText();
    BOOL AddFile(LPCTSTR lpszPath, BOOL bTagger);
    void ReleaseDrive();
    void PostFreedbQuery();
    // Tells the views to let go of the tracks, then empties the disc record.
    void ClearDisc();

    CCDInfo m_cdInfo;
    CAudioCD* m_pCD = nullptr;
    int m_nMode = MODE_RIPPER;
    int m_nContentMode = MODE_RIPPER;
};
