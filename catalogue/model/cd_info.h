// CCDInfo: the disc record (album tags, identifiers and owned track records) and its
// "CD Info" page of the property grid; also the disc's identifiers and content checksums.
#pragma once

#include "catalogue/model/cd_track.h"
#include "framework/core.h"

class CCDInfo : public IPropertyHost
{
public:
    // A new record: no tracks, revision -1, disc id 0, lead-in 150 frames.
    CCDInfo();
    // Album fields, identifiers and a copy of every track; the copy is unmodified, has no
    // length text, stored checksum nor notify window.
    CCDInfo(const CCDInfo& src);
    CCDInfo& operator=(const CCDInfo&) = delete;
    ~CCDInfo();

    // Deletes every track, empties the album texts and sets the revision to -1; the disc id,
    // CDDB id text, length text, stored checksum, modified flag and notify window stay.
    void Clear();

    // Appends a track record in its initial state; the record owns it.
    CCDTrack* AddNewTrack();
    // Appends a track created on the heap by the caller; the record owns it.
    void AppendTrack(CCDTrack* pTrack);
    int GetTrackCount() const { return static_cast<int>(m_aTracks.GetSize()); }
    // Null outside 0..count-1.
    CCDTrack* GetTrack(int nIndex) const;
    // Out-of-range indices change nothing.
    void DeleteTrack(int nIndex);
    void MoveTrackUp(int nIndex);
    void MoveTrackDown(int nIndex);
    int GetAudioTrackCount() const;
    int GetFileEntryCount() const;
    int GetSelectedTrackCount() const;

    CString GetArtist() const { return m_strArtist; }
    void SetArtist(LPCTSTR s) { m_strArtist = s; }
    CString GetTitle() const { return m_strTitle; }
    void SetTitle(LPCTSTR s) { m_strTitle = s; }
    CString GetExtendedData() const { return m_strExtendedData; }
    void SetExtendedData(LPCTSTR s) { m_strExtendedData = s; }
    CString GetGenre() const { return m_strGenre; }
    void SetGenre(LPCTSTR s) { m_strGenre = s; }
    CString GetBand() const { return m_strBand; }
    void SetBand(LPCTSTR s) { m_strBand = s; }
    CString GetConductor() const { return m_strConductor; }
    void SetConductor(LPCTSTR s) { m_strConductor = s; }
    CString GetRemix() const { return m_strRemix; }
    void SetRemix(LPCTSTR s) { m_strRemix = s; }
    CString GetComposer() const { return m_strComposer; }
    void SetComposer(LPCTSTR s) { m_strComposer = s; }
    CString GetLyricist() const { return m_strLyricist; }
    void SetLyricist(LPCTSTR s) { m_strLyricist = s; }
    CString GetCopyright() const { return m_strCopyright; }
    void SetCopyright(LPCTSTR s) { m_strCopyright = s; }
    CString GetPublisher() const { return m_strPublisher; }
    void SetPublisher(LPCTSTR s) { m_strPublisher = s; }
    CString GetPartOfASet() const { return m_strPartOfASet; }
    void SetPartOfASet(LPCTSTR s) { m_strPartOfASet = s; }
    CString GetContentGroup() const { return m_strContentGroup; }
    void SetContentGroup(LPCTSTR s) { m_strContentGroup = s; }

    // The year text whole when its leading number is above 0, else empty.
    CString GetYear() const;
    // "%d" above 0, else empty.
    void SetYear(int nYear);
    void SetYearText(LPCTSTR s) { m_strYear = s; }

    // Also sets the CDDB id text to "%08x" of the id.
    void SetDiscId(DWORD dwDiscId);
    DWORD GetDiscId() const { return m_dwDiscId; }
    CString GetCDDBId() const { return m_strCDDBId; }
    int GetRevision() const { return m_nRevision; }
    void SetRevision(int nRevision) { m_nRevision = nRevision; }

    // (start of the last entry + its length + lead-in) / 75; 0 without entries.
    int GetLengthSeconds() const;
    // "h:mm.ss" or "m.ss" of the disc length, stored and returned; empty for 0 seconds.
    CString GetLengthText();
    // MD5 of the start differences, the entry count and the length: 40 hex digits.
    CString GetTocId() const;
    // "cddbid+n+offsets...+seconds".
    CString GetFreedbQuery() const;

    void SetModified() { m_nModified = 1; }
    // Clears the record's and every track's modified flag.
    void ClearModified();
    BOOL IsModified() const;

    CString GetChecksum() const { return m_strChecksum; }
    void SetChecksum(CString strChecksum) { m_strChecksum = strChecksum; }
    // "%08x" of the byte sum over the tracks' checksums and the album fields.
    CString GetContentChecksum() const;
    // True: remember the current content checksum; false: forget the stored one.
    void UpdateChecksum(bool bCurrent);
    bool MatchesStoredChecksum() const { return GetContentChecksum() == m_strChecksum; }

    // Receives ID_TAGS_CHANGED; null for none. Not owned.
    void SetNotifyWindow(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
    CWnd* GetNotifyWindow() const { return m_pNotifyWnd; }

    void FillProperties(EPropList* pList) override;
    bool OnPropertyChange(void* pProperty, void* pNewValue) override;
    bool IsPropertyEditable(void* pProperty) override;

private:
    int m_nModified = 0;
    CTypedPtrArray<CPtrArray, CCDTrack*> m_aTracks;
    CString m_strArtist;
    CString m_strTitle;
    CString m_strYear;
    CString m_strExtendedData;
    CString m_strGenre;
    DWORD m_dwDiscId = 0;
    int m_nRevision = -1;
    CString m_strCDDBId;
    CString m_strLengthText;
    CString m_strBand;
    CString m_strConductor;
    CString m_strRemix;
    CString m_strComposer;
    CString m_strLyricist;
    CString m_strCopyright;
    CString m_strPublisher;
    CString m_strPartOfASet;
    CString m_strContentGroup;
    CString m_strChecksum;
    CWnd* m_pNotifyWnd = nullptr;
    int m_nLeadIn = 150;
};
