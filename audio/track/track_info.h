// The tag record of one track, its embedded pictures and the ID3v1 genre list.
// Classes here: CAudioTrackPictureInfo, CAudioTrackInfo.
#pragma once

#include "framework/core.h"

#include <memory>

// The file type codes every subsystem shares: a format's code as detection gives it and a
// job's source and output use it, and the code of an audio CD as a job's source.
enum AudioFileType {
    FILETYPE_NONE = -1,
    FILETYPE_WAV = 0,
    FILETYPE_MP3 = 1,
    FILETYPE_VORBIS = 2,
    FILETYPE_WMA = 3,
    FILETYPE_FLAC = 4,
    FILETYPE_CD = 99,
};

// One embedded picture. The tag writers read the members directly.
class CAudioTrackPictureInfo
{
public:
    CAudioTrackPictureInfo();
    // Copies the bytes only when the source has a buffer and a length above 0.
    CAudioTrackPictureInfo(const CAudioTrackPictureInfo& src);
    CAudioTrackPictureInfo& operator=(const CAudioTrackPictureInfo& src);
    virtual ~CAudioTrackPictureInfo();

    // Does nothing when pBytes is null or nLength negative; otherwise replaces everything,
    // keeping its own copy of the bytes (the caller keeps its buffer).
    void Set(int nType, LPCTSTR pszMimeType, LPCTSTR pszDescription, const BYTE* pBytes,
             int nLength);
    void Clear();

    CString m_strMimeType; // e.g. "image/jpeg"
    CString m_strDescription;
    int m_nPictureType = 0; // as carried by the source tag (APIC or the WM picture attribute)
    std::unique_ptr<BYTE[]> m_pData; // a whole image file; null when there is none
    int m_nDataLength = 0;
};

// The tag record: 30 texts, a duration, a file type code, a protection flag and 32 picture
// slots. A plain value: copies are deep (pictures included, compacted to slots 0, 1, ...).
class CAudioTrackInfo
{
public:
    enum { MAX_PICTURES = 32, GENRE_COUNT = 148, GENRE_NONE = 255 };

    CAudioTrackInfo();
    CAudioTrackInfo(const CAudioTrackInfo& src);
    CAudioTrackInfo& operator=(const CAudioTrackInfo& src);
    virtual ~CAudioTrackInfo();

    // File type -1, duration 0, every text empty, not protected, no pictures.
    void Clear();

    // File type codes: 0 WAV, 1 MP3, 2 Ogg Vorbis, 3 WMA, 4 FLAC; -1 when not set.
    int GetFileType() const { return m_nFileType; }
    void SetFileType(int nType) { m_nFileType = nType; }
    // True when the source file is DRM-protected.
    BOOL IsProtected() const { return m_bProtected; }
    void SetProtected(BOOL bProtected) { m_bProtected = bProtected; }

    int GetDurationMs() const { return m_nDurationMs; }
    void SetDurationMs(int nMs) { m_nDurationMs = nMs; }
    // From a length in CD frames (75 per second), truncated to whole milliseconds.
    void SetDurationFromFrames(long nFrames);
    // "%d" of the milliseconds.
    CString GetDurationMsText() const;
    // "%d:%d" minutes and seconds, seconds not padded (185000 ms gives "3:5").
    CString GetDurationText() const;

    CString GetContentGroup() const { return m_strContentGroup; }
    void SetContentGroup(const CString& s) { m_strContentGroup = s; }
    CString GetTrackTitle() const { return m_strTrackTitle; }
    void SetTrackTitle(const CString& s) { m_strTrackTitle = s; }
    CString GetTrackExt() const { return m_strTrackExt; }
    void SetTrackExt(const CString& s) { m_strTrackExt = s; }
    CString GetAlbumTitle() const { return m_strAlbumTitle; }
    void SetAlbumTitle(const CString& s) { m_strAlbumTitle = s; }
    CString GetYear() const { return m_strYear; }
    void SetYear(const CString& s) { m_strYear = s; }
    CString GetContentType() const { return m_strContentType; }
    void SetContentType(const CString& s) { m_strContentType = s; }
    CString GetArtist() const { return m_strArtist; }
    void SetArtist(const CString& s) { m_strArtist = s; }
    // The album artist, or the artist when no album artist is set.
    CString GetAlbumArtist() const;
    void SetAlbumArtist(const CString& s) { m_strAlbumArtist = s; }
    CString GetBand() const { return m_strBand; }
    void SetBand(const CString& s) { m_strBand = s; }
    CString GetConductor() const { return m_strConductor; }
    void SetConductor(const CString& s) { m_strConductor = s; }
    CString GetRemix() const { return m_strRemix; }
    void SetRemix(const CString& s) { m_strRemix = s; }
    CString GetTrackPosition() const { return m_strTrackPosition; }
    void SetTrackPosition(const CString& s) { m_strTrackPosition = s; }
    CString GetCommentDigest() const { return m_strCommentDigest; }
    void SetCommentDigest(const CString& s) { m_strCommentDigest = s; }
    CString GetComment() const { return m_strComment; }
    void SetComment(const CString& s) { m_strComment = s; }
    CString GetComposer() const { return m_strComposer; }
    void SetComposer(const CString& s) { m_strComposer = s; }
    CString GetLyricist() const { return m_strLyricist; }
    void SetLyricist(const CString& s) { m_strLyricist = s; }
    CString GetCopyright() const { return m_strCopyright; }
    void SetCopyright(const CString& s) { m_strCopyright = s; }
    CString GetEncodedBy() const { return m_strEncodedBy; }
    void SetEncodedBy(const CString& s) { m_strEncodedBy = s; }
    CString GetInvolvedPeople() const { return m_strInvolvedPeople; }
    void SetInvolvedPeople(const CString& s) { m_strInvolvedPeople = s; }
    CString GetPublisher() const { return m_strPublisher; }
    void SetPublisher(const CString& s) { m_strPublisher = s; }
    CString GetMediaType() const { return m_strMediaType; }
    void SetMediaType(const CString& s) { m_strMediaType = s; }
    CString GetMood() const { return m_strMood; }
    void SetMood(const CString& s) { m_strMood = s; }
    CString GetCDId() const { return m_strCDId; }
    void SetCDId(const CString& s) { m_strCDId = s; }
    CString GetISRC() const { return m_strISRC; }
    void SetISRC(const CString& s) { m_strISRC = s; }
    CString GetSyncLyric() const { return m_strSyncLyric; }
    void SetSyncLyric(const CString& s) { m_strSyncLyric = s; }
    CString GetUnsyncLyric() const { return m_strUnsyncLyric; }
    void SetUnsyncLyric(const CString& s) { m_strUnsyncLyric = s; }
    CString GetOriginalAlbumTitle() const { return m_strOriginalAlbumTitle; }
    void SetOriginalAlbumTitle(const CString& s) { m_strOriginalAlbumTitle = s; }
    CString GetOriginalLyricist() const { return m_strOriginalLyricist; }
    void SetOriginalLyricist(const CString& s) { m_strOriginalLyricist = s; }
    CString GetOriginalArtist() const { return m_strOriginalArtist; }
    void SetOriginalArtist(const CString& s) { m_strOriginalArtist = s; }
    CString GetPartOfASet() const { return m_strPartOfASet; }
    void SetPartOfASet(const CString& s) { m_strPartOfASet = s; }

    // Genre on the ID3v1 list: 1 and the genre set to that name for 0..147, else 0 (unchanged).
    int SetGenreByIndex(int nIndex);
    // Index of the first list name equal to the genre text, ignoring case; 255 when none.
    BYTE GetGenreIndex() const;
    // The name for 0..147, "Unknown" otherwise.
    static CString GetGenreName(BYTE nIndex);
    static int GetGenreCount() { return GENRE_COUNT; }

    // Stores a copy in the lowest empty slot and returns the slot; -2 (nothing stored) for null
    // or negative-length bytes; -1 when all 32 slots are occupied.
    int AddPicture(int nType, LPCTSTR pszMimeType, LPCTSTR pszDescription, const BYTE* pBytes,
                   int nLength);
    // The picture of slot 0..31, or null; the record keeps ownership.
    CAudioTrackPictureInfo* GetPicture(int nIndex) const;
    // Deletes the picture of that slot; bad indexes and empty slots are ignored.
    void RemovePicture(int nIndex);
    void RemoveAllPictures();

    // A multi-line description of the non-empty fields, for diagnostics.
    CString Dump() const;

private:
    void CopyFrom(const CAudioTrackInfo& src);

    int m_nFileType = -1;
    BOOL m_bProtected = FALSE;
    std::unique_ptr<CAudioTrackPictureInfo> m_pPictures[MAX_PICTURES];

public:
    CString m_strContentGroup;
    CString m_strTrackTitle;
    CString m_strTrackExt;
    CString m_strAlbumTitle;
    CString m_strYear;
    CString m_strContentType; // genre, as text
    CString m_strArtist;
    CString m_strAlbumArtist;
    CString m_strBand;
    CString m_strConductor;
    CString m_strRemix;

private:
    int m_nDurationMs = 0;

public:
    CString m_strTrackPosition;
    CString m_strCommentDigest;
    CString m_strComment;
    CString m_strComposer;
    CString m_strLyricist;
    CString m_strCopyright;
    CString m_strEncodedBy;
    CString m_strInvolvedPeople;
    CString m_strPublisher;
    CString m_strMediaType;
    CString m_strMood;
    CString m_strCDId;
    CString m_strISRC;
    CString m_strSyncLyric;
    CString m_strUnsyncLyric;
    CString m_strOriginalAlbumTitle;
    CString m_strOriginalLyricist;
    CString m_strOriginalArtist;
    CString m_strPartOfASet;
};
