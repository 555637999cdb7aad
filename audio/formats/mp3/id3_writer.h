// CAudioMP3InfoTagWriter: builds ID3v2.3 tags and ID3v1.1 blocks from a track record and puts
// them into MP3 files (new ones, through the MP3 writer, and existing ones, in the tagger).
#pragma once

#include "audio/track/track_info.h"

#include <vector>

class CFile;

class CAudioMP3InfoTagWriter
{
public:
    //! The record is not owned; null means nothing can be written.
    explicit CAudioMP3InfoTagWriter(const CAudioTrackInfo* track = nullptr);
    virtual ~CAudioMP3InfoTagWriter() = default;

    void SetTrack(const CAudioTrackInfo* track) { m_pTrack = track; }

    //! Rewrites the ID3v2 tag of an existing file: in the old tag's place when it fits, else
    //! in front of the audio with 1024 bytes of padding. 0 without a record or file.
    BOOL WriteID3v2(LPCTSTR path);
    //! Writes the ID3v1.1 block over an existing one or appends it.
    BOOL WriteID3v1(LPCTSTR path);
    //! Zero-fills an existing ID3v2 tag; the file keeps its length. 1 when the file opened.
    BOOL RemoveID3v2(LPCTSTR path);
    //! Cuts off a trailing ID3v1 block. 1 when the file opened.
    BOOL RemoveID3v1(LPCTSTR path);

    //! Writes the tag with `padding` zero bytes at the file's position. Raises CFileException.
    BOOL WriteID3v2Block(CFile& file, int padding);
    BOOL WriteID3v1Block(CFile& file);

    //! The tag and block as bytes (the last tag built is kept in the tag buffer).
    const std::vector<BYTE>& BuildID3v2(int padding);
    std::vector<BYTE> BuildID3v1() const;

    //! The size of the ID3v2 tag at the file's start (header included), 0 when there is none.
    static ULONGLONG ExistingID3v2Size(CFile& file);

private:
    void AppendTextFrame(const char* id, const CString& text);
    void AppendCommentFrame();
    void AppendPictureFrame(const CAudioTrackPictureInfo& picture);
    void AppendFrame(const char* id, const std::vector<BYTE>& body);

    const CAudioTrackInfo* m_pTrack;
    std::vector<BYTE> m_tag;
};

//! The 28-bit sync-safe integer of four bytes (7 bits each, most significant first).
inline DWORD SyncSafeValue(const BYTE* p)
{
    return (DWORD(p[0] & 0x7F) << 21) | (DWORD(p[1] & 0x7F) << 14) | (DWORD(p[2] & 0x7F) << 7) |
           DWORD(p[3] & 0x7F);
}
