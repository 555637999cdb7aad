// CCDTrack: one entry of the disc record, a CD track or an added audio file, with its tags
// and the "Track Info" page of the property grid.
#pragma once

#include "audio/track/track_info.h"
#include "framework/core.h"
#include "propgrid/prop_host.h"

class CWnd;

// The command posted to a record's notify window when the grid is about to change a member;
// its lParam is 1 for a title (the grid shows it), else 0.
constexpr UINT ID_TAGS_CHANGED = 7002;

class CCDTrack : public CAudioTrackInfo, public IPropertyHost
{
public:
    // Flags of a file entry; bit 0x4 of a CD track's flags marks a data track.
    enum { FLAG_DATA = 0x4, FLAG_FILE_ENTRY = 0x1000 };

    CCDTrack();
    // Copies tags, CD fields, file path and modified flag; the copy has no notify window.
    CCDTrack(const CCDTrack& src);
    CCDTrack& operator=(const CCDTrack& src);
    ~CCDTrack() override;

    // Selected 0; drive, start, length and flags -1; tags cleared; not modified.
    void Reset();

    int IsSelected() const { return m_nSelected; }
    void SetSelected(int nSelected) { m_nSelected = nSelected; }
    int GetDriveIndex() const { return m_nDriveIndex; }
    void SetDriveIndex(int nIndex) { m_nDriveIndex = nIndex; }
    int GetStartSector() const { return m_nStartSector; }
    void SetStartSector(int nSector) { m_nStartSector = nSector; }
    int GetLengthFrames() const { return m_nLength; }
    // Stores the length and its "m:ss" text.
    void SetLengthFrames(int nFrames);
    // The first sector after the track.
    int GetEndSector() const { return m_nStartSector + m_nLength; }
    int GetFlags() const { return m_nFlags; }
    void SetFlags(int nFlags) { m_nFlags = nFlags; }
    void MarkAsFileEntry() { m_nFlags = FLAG_FILE_ENTRY; }
    // A record of which nothing is set (flags -1) counts as a data track.
    BOOL IsDataTrack() const { return (m_nFlags & FLAG_DATA) != 0; }
    BOOL IsFileEntry() const { return m_nFlags == FLAG_FILE_ENTRY; }
    BOOL IsAudio() const { return !IsDataTrack() && !IsFileEntry(); }
    CString GetFilePath() const { return m_strFilePath; }
    void SetFilePath(LPCTSTR lpszPath) { m_strFilePath = lpszPath; }
    // The part after the last backslash; the whole path without one.
    CString GetFileName() const;
    BOOL IsModified() const { return m_nModified != 0; }
    void SetModified() { m_nModified = 1; }
    void ClearModified() { m_nModified = 0; }
    // "m:ss" of the length, empty when the length is not above 0 (not stored).
    CString GetLengthText() const;
    // "%08x" of the byte sum of 23 of the tag texts.
    CString GetContentChecksum() const;
    // Receives ID_TAGS_CHANGED; null for none. Not owned.
    void SetNotifyWindow(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
    CWnd* GetNotifyWindow() const { return m_pNotifyWnd; }

    void FillProperties(EPropList* pList) override;
    bool OnPropertyChange(void* pProperty, void* pNewValue) override;
    bool IsPropertyEditable(void* pProperty) override;

private:
    void CopyCDFields(const CCDTrack& src);

    int m_nModified = 0;
    int m_nSelected = 0;
    int m_nDriveIndex = -1;
    int m_nStartSector = -1;
    int m_nLength = -1;
    CString m_strLengthText;
    int m_nFlags = -1;
    CString m_strFilePath;
    CWnd* m_pNotifyWnd = nullptr;
};
