// CCDInfo: track list, album fields, identifiers and content checksums.
#include "catalogue/model/cd_info.h"

#include <cstdlib>

#include "foundation/checksum/checksum.h"
#include "foundation/checksum/md5.h"

CCDInfo::CCDInfo()
{
    Clear();
}

CCDInfo::CCDInfo(const CCDInfo& src) : IPropertyHost()
{
    Clear();
    m_strArtist = src.m_strArtist;
    m_strTitle = src.m_strTitle;
    m_strYear = src.m_strYear;
    m_strExtendedData = src.m_strExtendedData;
    m_strGenre = src.m_strGenre;
    m_dwDiscId = src.m_dwDiscId;
    m_nRevision = src.m_nRevision;
    m_strCDDBId = src.m_strCDDBId;
    m_strBand = src.m_strBand;
    m_strConductor = src.m_strConductor;
    m_strRemix = src.m_strRemix;
    m_strComposer = src.m_strComposer;
    m_strLyricist = src.m_strLyricist;
    m_strCopyright = src.m_strCopyright;
    m_strPublisher = src.m_strPublisher;
    m_strPartOfASet = src.m_strPartOfASet;
    m_strContentGroup = src.m_strContentGroup;
    for (int i = 0; i < src.GetTrackCount(); ++i)
        m_aTracks.Add(new CCDTrack(*src.GetTrack(i)));
}

CCDInfo::~CCDInfo()
{
    Clear();
}

void CCDInfo::Clear()
{
    while (m_aTracks.GetSize() > 0) {
        CCDTrack* track = m_aTracks.GetAt(0);
        m_aTracks.RemoveAt(0);
        delete track;
    }
    for (CString* s : {&m_strYear, &m_strGenre, &m_strArtist, &m_strTitle, &m_strExtendedData,
                       &m_strBand, &m_strConductor, &m_strRemix, &m_strComposer, &m_strLyricist,
                       &m_strCopyright, &m_strPublisher, &m_strPartOfASet, &m_strContentGroup})
        s->Empty();
    m_nRevision = -1;
}

CCDTrack* CCDInfo::AddNewTrack()
{
    auto* track = new CCDTrack;
    m_aTracks.Add(track);
    return track;
}

void CCDInfo::AppendTrack(CCDTrack* pTrack)
{
    if (pTrack != nullptr)
        m_aTracks.Add(pTrack);
}

CCDTrack* CCDInfo::GetTrack(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetTrackCount())
        return nullptr;
    return m_aTracks.GetAt(nIndex);
}

void CCDInfo::DeleteTrack(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetTrackCount())
        return;
    CCDTrack* track = m_aTracks.GetAt(nIndex);
    m_aTracks.RemoveAt(nIndex);
    delete track;
}

void CCDInfo::MoveTrackUp(int nIndex)
{
    if (nIndex <= 0 || nIndex >= GetTrackCount())
        return;
    CCDTrack* t = m_aTracks.GetAt(nIndex);
    m_aTracks.SetAt(nIndex, m_aTracks.GetAt(nIndex - 1));
    m_aTracks.SetAt(nIndex - 1, t);
}

void CCDInfo::MoveTrackDown(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetTrackCount() - 1)
        return;
    CCDTrack* t = m_aTracks.GetAt(nIndex);
    m_aTracks.SetAt(nIndex, m_aTracks.GetAt(nIndex + 1));
    m_aTracks.SetAt(nIndex + 1, t);
}

int CCDInfo::GetAudioTrackCount() const
{
    int n = 0;
    for (int i = 0; i < GetTrackCount(); ++i)
        n += GetTrack(i)->IsAudio() ? 1 : 0;
    return n;
}

int CCDInfo::GetFileEntryCount() const
{
    int n = 0;
    for (int i = 0; i < GetTrackCount(); ++i)
        n += GetTrack(i)->IsFileEntry() ? 1 : 0;
    return n;
}

int CCDInfo::GetSelectedTrackCount() const
{
    int n = 0;
    for (int i = 0; i < GetTrackCount(); ++i)
        n += GetTrack(i)->IsSelected() != 0 ? 1 : 0;
    return n;
}

CString CCDInfo::GetYear() const
{
    return std::strtol(m_strYear, nullptr, 10) > 0 ? m_strYear : CString();
}

void CCDInfo::SetYear(int nYear)
{
    m_strYear.Empty();
    if (nYear > 0)
        m_strYear.Format("%d", nYear);
}

void CCDInfo::SetDiscId(DWORD dwDiscId)
{
    m_dwDiscId = dwDiscId;
    m_strCDDBId.Format("%08x", static_cast<unsigned>(dwDiscId));
}

int CCDInfo::GetLengthSeconds() const
{
    if (GetTrackCount() == 0)
        return 0;
    const CCDTrack* last = GetTrack(GetTrackCount() - 1);
    return (last->GetStartSector() + last->GetLengthFrames() + m_nLeadIn) / 75;
}

CString CCDInfo::GetLengthText()
{
    m_strLengthText.Empty();
    int s = GetLengthSeconds();
    if (s != 0) {
        int m = s / 60, h = m / 60;
        if (h > 0)
            m_strLengthText.Format("%d:%02d.%02d", h, m % 60, s % 60);
        else
            m_strLengthText.Format("%d.%02d", m, s % 60);
    }
    return m_strLengthText;
}

CString CCDInfo::GetTocId() const
{
    CString d;
    for (int i = 1; i < GetTrackCount(); ++i)
        d.AppendFormat("%05x", static_cast<unsigned>(GetTrack(i)->GetStartSector() -
                                                     GetTrack(i - 1)->GetStartSector()));
    char digest[33];
    MD5HexDigest(d.GetString(), d.GetLength(), digest);
    CString id = digest;
    id.AppendFormat("%02x%06x", static_cast<unsigned>(GetTrackCount()),
                    static_cast<unsigned>(GetLengthSeconds()));
    return id;
}

CString CCDInfo::GetFreedbQuery() const
{
    CString q;
    q.Format("%s+%d+", m_strCDDBId.GetString(), GetTrackCount());
    for (int i = 0; i < GetTrackCount(); ++i)
        q.AppendFormat("%d+", GetTrack(i)->GetStartSector() + m_nLeadIn);
    q.AppendFormat("%d", GetLengthSeconds());
    return q;
}

void CCDInfo::ClearModified()
{
    m_nModified = 0;
    for (int i = 0; i < GetTrackCount(); ++i)
        GetTrack(i)->ClearModified();
}

BOOL CCDInfo::IsModified() const
{
    if (m_nModified != 0)
        return TRUE;
    for (int i = 0; i < GetTrackCount(); ++i)
        if (GetTrack(i)->IsModified())
            return TRUE;
    return FALSE;
}

CString CCDInfo::GetContentChecksum() const
{
    CString c;
    for (int i = 0; i < GetTrackCount(); ++i)
        c.AppendFormat("%d:%s-", i, GetTrack(i)->GetContentChecksum().GetString());
    for (const CString* s :
         {&m_strArtist, &m_strTitle, &m_strYear, &m_strExtendedData, &m_strGenre, &m_strCDDBId,
          &m_strBand, &m_strConductor, &m_strRemix, &m_strComposer, &m_strLyricist, &m_strCopyright,
          &m_strPublisher, &m_strPartOfASet, &m_strContentGroup})
        c += *s;
    COXCheckSum32 sum;
    DWORD value = sum.Calculate(c.GetString(), static_cast<DWORD>(c.GetLength()), 0);
    CString result;
    result.Format("%08x", static_cast<unsigned>(value));
    return result;
}

void CCDInfo::UpdateChecksum(bool bCurrent)
{
    m_strChecksum = bCurrent ? GetContentChecksum() : CString();
}
