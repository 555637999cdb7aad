// ID3v2.3 and ID3v1.1 writing.
#include "audio/formats/mp3/id3_writer.h"

#include "audio/formats/tag_reader.h"

#include "framework/codepage.h"
#include "framework/core.h"

#include <cstdlib>
#include <cstring>

namespace {

const DWORD kMaxTagSize = 0x0FFFFFFF; // largest sync-safe size
const UINT kOpenExisting = CFile::modeReadWrite | CFile::shareDenyWrite | CFile::typeBinary;

void AppendUtf16Text(std::vector<BYTE>& body, const CString& text)
{
    body.push_back(0xFF);
    body.push_back(0xFE);
    for (char16_t u : SystemToUtf16(text)) {
        body.push_back(static_cast<BYTE>(u & 0xFF));
        body.push_back(static_cast<BYTE>(u >> 8));
    }
    body.push_back(0);
    body.push_back(0);
}

void PutSyncSafe(BYTE* p, DWORD value)
{
    p[0] = static_cast<BYTE>((value >> 21) & 0x7F);
    p[1] = static_cast<BYTE>((value >> 14) & 0x7F);
    p[2] = static_cast<BYTE>((value >> 7) & 0x7F);
    p[3] = static_cast<BYTE>(value & 0x7F);
}

void PutPadded(BYTE* p, const CString& text, int size)
{
    std::memset(p, ' ', size);
    std::memcpy(p, text.GetString(), std::min(size, text.GetLength()));
}

enum EditResult { NOT_OPENED, FAILED, DONE };

// Opens an existing file for reading and writing and runs `edit` on it; a file error ends the
// edit and the file is closed as it stands.
template <class Edit> EditResult EditExistingFile(LPCTSTR path, Edit edit)
{
    CFile file;
    if (!file.Open(path, kOpenExisting))
        return NOT_OPENED;
    try {
        edit(file);
        file.Close();
        return DONE;
    } catch (CException* e) {
        e->Delete();
        file.Abort();
        return FAILED;
    }
}

// Whether the last 128 bytes of the file are an ID3v1 block.
bool HasId3v1(CFile& file)
{
    if (file.GetLength() < 128)
        return false;
    BYTE head[3] = {};
    file.Seek(-128, CFile::end);
    return file.Read(head, 3) == 3 && std::memcmp(head, "TAG", 3) == 0;
}

} // namespace

CAudioMP3InfoTagWriter::CAudioMP3InfoTagWriter(const CAudioTrackInfo* track) : m_pTrack(track)
{
}

void CAudioMP3InfoTagWriter::AppendFrame(const char* id, const std::vector<BYTE>& body)
{
    BYTE header[10] = {};
    std::memcpy(header, id, 4);
    DWORD size = static_cast<DWORD>(body.size());
    header[4] = static_cast<BYTE>(size >> 24);
    header[5] = static_cast<BYTE>(size >> 16);
    header[6] = static_cast<BYTE>(size >> 8);
    header[7] = static_cast<BYTE>(size);
    m_tag.insert(m_tag.end(), header, header + 10);
    m_tag.insert(m_tag.end(), body.begin(), body.end());
}

void CAudioMP3InfoTagWriter::AppendTextFrame(const char* id, const CString& text)
{
    if (text.IsEmpty())
        return;
    std::vector<BYTE> body{1};
    AppendUtf16Text(body, text);
    AppendFrame(id, body);
}

void CAudioMP3InfoTagWriter::AppendCommentFrame()
{
    if (m_pTrack->m_strCommentDigest.IsEmpty() && m_pTrack->m_strComment.IsEmpty())
        return;
    std::vector<BYTE> body{1, 'X', 'X', 'X'};
    AppendUtf16Text(body, m_pTrack->m_strCommentDigest);
    AppendUtf16Text(body, m_pTrack->m_strComment);
    AppendFrame("COMM", body);
}

void CAudioMP3InfoTagWriter::AppendPictureFrame(const CAudioTrackPictureInfo& picture)
{
    std::vector<BYTE> body{0};
    const CString& mime = picture.m_strMimeType;
    body.insert(body.end(), mime.GetString(), mime.GetString() + mime.GetLength());
    body.push_back(0);
    body.push_back(static_cast<BYTE>(picture.m_nPictureType));
    const CString& desc = picture.m_strDescription;
    body.insert(body.end(), desc.GetString(), desc.GetString() + std::min(64, desc.GetLength()));
    body.push_back(0);
    if (picture.m_pData && picture.m_nDataLength > 0)
        body.insert(body.end(), picture.m_pData.get(),
                    picture.m_pData.get() + picture.m_nDataLength);
    AppendFrame("APIC", body);
}

const std::vector<BYTE>& CAudioMP3InfoTagWriter::BuildID3v2(int padding)
{
    m_tag.assign({'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0});
    const CAudioTrackInfo& t = *m_pTrack;
    AppendTextFrame("TIT2", t.m_strTrackTitle);
    AppendTextFrame("TIT3", t.m_strTrackExt);
    AppendTextFrame("TALB", t.m_strAlbumTitle);
    AppendTextFrame("TYER", t.m_strYear);
    AppendTextFrame("TCON", t.m_strContentType);
    AppendTextFrame("TPE1", t.m_strArtist);
    AppendTextFrame("TPE2", !t.m_strBand.IsEmpty() ? t.m_strBand : t.GetAlbumArtist());
    AppendTextFrame("TPE3", t.m_strConductor);
    AppendTextFrame("TPE4", t.m_strRemix);
    if (t.GetDurationMs() > 0)
        AppendTextFrame("TLEN", t.GetDurationMsText());
    AppendTextFrame("TRCK", t.m_strTrackPosition);
    AppendCommentFrame();
    AppendTextFrame("TCOM", t.m_strComposer);
    AppendTextFrame("TEXT", t.m_strLyricist);
    AppendTextFrame("TCOP", t.m_strCopyright);
    AppendTextFrame("TENC", t.m_strEncodedBy);
    AppendTextFrame("TIPL", t.m_strInvolvedPeople);
    AppendTextFrame("TIT1", t.m_strContentGroup);
    AppendTextFrame("TPOS", t.m_strPartOfASet);
    AppendTextFrame("TPUB", t.m_strPublisher);
    AppendTextFrame("TMED", t.m_strMediaType);
    AppendTextFrame("TMOO", t.m_strMood);
    AppendTextFrame("MCDI", t.m_strCDId);
    AppendTextFrame("TSRC", t.m_strISRC);
    AppendTextFrame("SYLT", t.m_strSyncLyric);
    AppendTextFrame("USLT", t.m_strUnsyncLyric);
    AppendTextFrame("TOAL", t.m_strOriginalAlbumTitle);
    AppendTextFrame("TOLY", t.m_strOriginalLyricist);
    AppendTextFrame("TOPE", t.m_strOriginalArtist);
    for (int i = 0; i < CAudioTrackInfo::MAX_PICTURES; ++i)
        if (const CAudioTrackPictureInfo* p = t.GetPicture(i))
            AppendPictureFrame(*p);
    if (padding > 0)
        m_tag.insert(m_tag.end(), static_cast<size_t>(padding), BYTE(0));
    // A tag past the largest sync-safe size could not be read back: keep what fits.
    if (m_tag.size() - 10 > kMaxTagSize)
        m_tag.resize(kMaxTagSize + 10);
    PutSyncSafe(&m_tag[6], static_cast<DWORD>(m_tag.size() - 10));
    return m_tag;
}

std::vector<BYTE> CAudioMP3InfoTagWriter::BuildID3v1() const
{
    std::vector<BYTE> block(128, 0);
    const CAudioTrackInfo& t = *m_pTrack;
    std::memcpy(block.data(), "TAG", 3);
    PutPadded(&block[3], t.m_strTrackTitle, 30);
    PutPadded(&block[33], t.m_strArtist, 30);
    PutPadded(&block[63], t.m_strAlbumTitle, 30);
    PutPadded(&block[93], t.m_strYear, 4);
    PutPadded(&block[97], t.m_strComment, 28);
    block[125] = 0;
    block[126] = static_cast<BYTE>(std::atoi(t.m_strTrackPosition.GetString()) & 0xFF);
    block[127] = t.GetGenreIndex();
    return block;
}

ULONGLONG CAudioMP3InfoTagWriter::ExistingID3v2Size(CFile& file)
{
    return Id3v2TagLength(file);
}

BOOL CAudioMP3InfoTagWriter::WriteID3v2Block(CFile& file, int padding)
{
    if (!m_pTrack)
        return FALSE;
    BuildID3v2(padding);
    file.Write(m_tag.data(), static_cast<UINT>(m_tag.size()));
    file.Flush();
    return TRUE;
}

BOOL CAudioMP3InfoTagWriter::WriteID3v1Block(CFile& file)
{
    if (!m_pTrack)
        return FALSE;
    std::vector<BYTE> block = BuildID3v1();
    file.Write(block.data(), 128);
    return TRUE;
}

BOOL CAudioMP3InfoTagWriter::WriteID3v2(LPCTSTR path)
{
    if (!m_pTrack)
        return FALSE;
    CFile file;
    if (!file.Open(path, kOpenExisting))
        return FALSE;
    try {
        ULONGLONG length = file.GetLength();
        ULONGLONG oldSize = ExistingID3v2Size(file);
        BuildID3v2(0);
        ULONGLONG newSize = m_tag.size();
        if (oldSize > 0 && oldSize >= newSize) {
            if (oldSize != newSize) {
                m_tag.insert(m_tag.end(), static_cast<size_t>(oldSize - newSize), BYTE(0));
                PutSyncSafe(&m_tag[6], static_cast<DWORD>(m_tag.size() - 10));
            }
            file.SeekToBegin();
            file.Write(m_tag.data(), static_cast<UINT>(m_tag.size()));
            file.Close();
            return TRUE;
        }
        BuildID3v2(1024);
        newSize = m_tag.size();
        // The file's content moves behind the larger tag. Moving it in place could leave the
        // file damaged by a failed write: build the new file beside it and swap it in whole.
        CString temp = CString(path) + ".id3tmp";
        {
            CFile out(temp, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
            try {
                out.Write(m_tag.data(), static_cast<UINT>(newSize));
                std::vector<BYTE> block(262144);
                file.SeekToBegin();
                for (ULONGLONG done = 0; done < length;) {
                    UINT got = file.Read(block.data(), static_cast<UINT>(block.size()));
                    if (got == 0)
                        break;
                    out.Write(block.data(), got);
                    done += got;
                }
                out.Flush();
                out.Close();
            } catch (CException*) {
                out.Abort();
                CFile::Remove(temp);
                throw;
            }
        }
        file.Close();
        // Swap the files so that one of them always holds the whole content.
        CString old = CString(path) + ".id3old";
        CFile::Rename(path, old);
        try {
            CFile::Rename(temp, path);
        } catch (CException*) {
            CFile::Rename(old, path);
            throw;
        }
        CFile::Remove(old);
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        file.Abort();
        return FALSE;
    }
}

BOOL CAudioMP3InfoTagWriter::WriteID3v1(LPCTSTR path)
{
    if (!m_pTrack)
        return FALSE;
    return EditExistingFile(path, [this](CFile& file) {
               if (HasId3v1(file))
                   file.Seek(-128, CFile::end);
               else
                   file.SeekToEnd();
               WriteID3v1Block(file);
           }) == DONE;
}

BOOL CAudioMP3InfoTagWriter::RemoveID3v2(LPCTSTR path)
{
    return EditExistingFile(path, [](CFile& file) {
        ULONGLONG size = std::min(ExistingID3v2Size(file), file.GetLength());
        std::vector<BYTE> zeros(static_cast<size_t>(std::min<ULONGLONG>(size, 65536)), 0);
        file.SeekToBegin();
        for (ULONGLONG done = 0; done < size;) {
            UINT n = static_cast<UINT>(std::min<ULONGLONG>(zeros.size(), size - done));
            file.Write(zeros.data(), n);
            done += n;
        }
    }) != NOT_OPENED;
}

BOOL CAudioMP3InfoTagWriter::RemoveID3v1(LPCTSTR path)
{
    return EditExistingFile(path, [](CFile& file) {
        if (HasId3v1(file))
            file.SetLength(file.GetLength() - 128);
    }) != NOT_OPENED;
}
