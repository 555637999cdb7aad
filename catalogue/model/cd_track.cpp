// CCDTrack: CD fields, kinds, length text and content checksum.
#include "catalogue/model/cd_track.h"

#include "foundation/checksum/checksum.h"

CCDTrack::CCDTrack()
{
    Reset();
}

CCDTrack::CCDTrack(const CCDTrack& src) : CAudioTrackInfo(src), IPropertyHost()
{
    CopyCDFields(src);
}

CCDTrack& CCDTrack::operator=(const CCDTrack& src)
{
    if (this != &src) {
        CAudioTrackInfo::operator=(src);
        CopyCDFields(src);
    }
    return *this;
}

CCDTrack::~CCDTrack() = default;

void CCDTrack::CopyCDFields(const CCDTrack& src)
{
    m_nSelected = src.m_nSelected;
    m_nDriveIndex = src.m_nDriveIndex;
    m_nStartSector = src.m_nStartSector;
    m_nLength = src.m_nLength;
    m_strLengthText = src.m_strLengthText;
    m_nFlags = src.m_nFlags;
    m_strFilePath = src.m_strFilePath;
    m_nModified = src.m_nModified;
    m_pNotifyWnd = nullptr;
}

void CCDTrack::Reset()
{
    m_nSelected = 0;
    m_nDriveIndex = -1;
    m_nStartSector = -1;
    m_nLength = -1;
    m_nFlags = -1;
    Clear();
    m_nModified = 0;
}

void CCDTrack::SetLengthFrames(int nFrames)
{
    m_nLength = nFrames;
    m_strLengthText = GetLengthText();
}

CString CCDTrack::GetFileName() const
{
    int slash = m_strFilePath.ReverseFind('\\');
    return slash < 0 ? m_strFilePath : m_strFilePath.Mid(slash + 1);
}

CString CCDTrack::GetLengthText() const
{
    CString text;
    if (m_nLength > 0) {
        int seconds = m_nLength / 75;
        text.Format("%d:%02d", seconds / 60, seconds % 60);
    }
    return text;
}

CString CCDTrack::GetContentChecksum() const
{
    const CString* fields[] = {&m_strAlbumTitle,
                               &m_strArtist,
                               &m_strBand,
                               &m_strComment,
                               &m_strCommentDigest,
                               &m_strComposer,
                               &m_strConductor,
                               &m_strContentType,
                               &m_strCopyright,
                               &m_strInvolvedPeople,
                               &m_strISRC,
                               &m_strLyricist,
                               &m_strMood,
                               &m_strOriginalAlbumTitle,
                               &m_strOriginalArtist,
                               &m_strOriginalLyricist,
                               &m_strPublisher,
                               &m_strRemix,
                               &m_strSyncLyric,
                               &m_strUnsyncLyric,
                               &m_strTrackExt,
                               &m_strTrackTitle,
                               &m_strYear};
    CString text;
    for (const CString* f : fields)
        text += *f;
    COXCheckSum32 sum;
    DWORD value = sum.Calculate(text.GetString(), static_cast<DWORD>(text.GetLength()), 0);
    CString result;
    result.Format("%08x", static_cast<unsigned>(value));
    return result;
}
