// CSonoriaDBMgr, the part without HTTP: the service's answer applied to a disc record and the
// submission document. Portable, so that the answer handling can be fuzzed.
// The parser names an error ERROR_NO_TOKEN, which <windows.h> defines as a macro: first.
#include "foundation/xml/xml_parser.h"

#include "catalogue/service/sonoria_db_mgr.h"

#include <cctype>
#include <cstring>
#include <limits>

#include "catalogue/model/cd_info.h"
#include "framework/codepage.h"

namespace
{

bool EqualNoCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

struct TrackElement {
    const char* name;
    CString CAudioTrackInfo::*field; // null: the duration in milliseconds
    bool read;
    bool written;
};

// In the order a submission writes them.
const TrackElement kTrackElements[] = {
    {"title", &CAudioTrackInfo::m_strTrackTitle, true, true},
    {"extended", &CAudioTrackInfo::m_strTrackExt, true, true},
    {"albumtitle", &CAudioTrackInfo::m_strAlbumTitle, true, true},
    {"year", &CAudioTrackInfo::m_strYear, true, true},
    {"contenttype", &CAudioTrackInfo::m_strContentType, true, true},
    {"artist", &CAudioTrackInfo::m_strArtist, true, true},
    {"band", &CAudioTrackInfo::m_strBand, true, true},
    {"conductor", &CAudioTrackInfo::m_strConductor, true, true},
    {"remix", &CAudioTrackInfo::m_strRemix, true, true},
    {"length", nullptr, false, true},
    {"commentdigest", &CAudioTrackInfo::m_strCommentDigest, true, true},
    {"comment", &CAudioTrackInfo::m_strComment, true, true},
    {"composer", &CAudioTrackInfo::m_strComposer, true, true},
    {"lyricist", &CAudioTrackInfo::m_strLyricist, true, true},
    {"copyright", &CAudioTrackInfo::m_strCopyright, true, true},
    {"involvedpeople", &CAudioTrackInfo::m_strInvolvedPeople, true, true},
    {"publisher", &CAudioTrackInfo::m_strPublisher, true, true},
    {"mediatype", &CAudioTrackInfo::m_strMediaType, true, true},
    {"mood", &CAudioTrackInfo::m_strMood, true, true},
    {"cddbid", &CAudioTrackInfo::m_strCDId, false, true},
    {"isrc", &CAudioTrackInfo::m_strISRC, true, true},
    {"originalalbumtitle", &CAudioTrackInfo::m_strOriginalAlbumTitle, true, true},
    {"originalartist", &CAudioTrackInfo::m_strOriginalArtist, true, true},
    {"originallyricist", &CAudioTrackInfo::m_strOriginalLyricist, true, true},
    {"synchronizedlyrics", &CAudioTrackInfo::m_strSyncLyric, true, true},
    {"unsynchronizedlyrics", &CAudioTrackInfo::m_strUnsyncLyric, true, true},
    {"partofaset", &CAudioTrackInfo::m_strPartOfASet, true, true},
    {"contentgroup", &CAudioTrackInfo::m_strContentGroup, true, true},
    {"position", &CAudioTrackInfo::m_strTrackPosition, true, false},
};

// Disc texts read from an answer (the revision and the year are handled apart).
struct DiscElement {
    const char* name;
    void (CCDInfo::*set)(LPCTSTR);
};

const DiscElement kDiscElementsRead[] = {
    {"artist", &CCDInfo::SetArtist},
    {"title", &CCDInfo::SetTitle},
    {"year", &CCDInfo::SetYearText},
    {"genre", &CCDInfo::SetGenre},
    {"comment", &CCDInfo::SetExtendedData},
    {"band", &CCDInfo::SetBand},
    {"remix", &CCDInfo::SetRemix},
    {"composer", &CCDInfo::SetComposer},
    {"lyricist", &CCDInfo::SetLyricist},
    {"copyright", &CCDInfo::SetCopyright},
    {"publisher", &CCDInfo::SetPublisher},
    {"partofaset", &CCDInfo::SetPartOfASet},
    {"contentgroup", &CCDInfo::SetContentGroup},
};

} // namespace

CSonoriaDBMgr::CSonoriaDBMgr(LPCTSTR lpszServiceBase) : m_strServiceBase(lpszServiceBase) {}

CSonoriaDBMgr::~CSonoriaDBMgr() = default;

int CSonoriaDBMgr::NextRevision(int nRevision)
{
    return nRevision < std::numeric_limits<int>::max() ? nRevision + 1 : nRevision;
}

int CSonoriaDBMgr::ReadNumber(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (v < 0x80000000LL)
            v = v * 10 + (*p - '0');
    if (negative)
        v = -v;
    if (v > 0x7FFFFFFFLL)
        v = 0x7FFFFFFFLL;
    if (v < -0x80000000LL)
        v = -0x80000000LL;
    return static_cast<int>(v);
}

bool CSonoriaDBMgr::FindErrorNumber(const char* body, int& number)
{
    const char* e = std::strstr(body, "<error>");
    if (e == nullptr)
        return false;
    number = ReadNumber(e + 7);
    return true;
}

int CSonoriaDBMgr::ApplyQueryAnswer(const char* pszBody, CCDInfo* pInfo)
{
    m_pCDInfo = pInfo;
    int number = 0;
    if (FindErrorNumber(pszBody, number))
        return number;
    if (std::strstr(pszBody, "<cdinfo") == nullptr || pInfo == nullptr)
        return RESULT_BAD_ANSWER;
    m_pCurTrack = nullptr;
    m_nCurTrack = 0;
    CString text = Utf8ToSystem(pszBody, std::strlen(pszBody));
    COXParser parser;
    parser.Parse(text); // what parsed before an error is applied all the same
    ApplyElement(parser.GetRoot());
    int audio = pInfo->GetAudioTrackCount();
    for (int i = 0; i < audio && i < pInfo->GetTrackCount(); ++i)
        pInfo->GetTrack(i)->m_strAlbumArtist = pInfo->GetArtist();
    pInfo->ClearModified();
    pInfo->UpdateChecksum(true);
    return RESULT_OK;
}

void CSonoriaDBMgr::ApplyElement(COXParserElement* pElement)
{
    const char* name = pElement->GetName() != nullptr ? pElement->GetName() : "";
    bool isTrack = EqualNoCase(name, "track");
    for (int i = 0; i < pElement->GetAttributeCount(); ++i) {
        COXAttribute* a = pElement->GetAttribute(i);
        const char* an = a->GetName() != nullptr ? a->GetName() : "";
        if (isTrack && EqualNoCase(an, "num")) {
            const char* v = a->GetValueText();
            m_nCurTrack = ReadNumber(v != nullptr ? v : "");
        }
    }
    for (int i = 0; i < pElement->GetChildCount(); ++i) {
        COXParserObject* child = pElement->GetChild(i);
        switch (child->GetType()) {
        case COXParserObject::PLAINTEXT:
        case COXParserObject::CDATA: {
            CString text = child->GetText() != nullptr ? child->GetText() : "";
            if (m_pCurTrack != nullptr)
                SetTrackField(name, text);
            else
                SetDiscField(name, text);
            break;
        }
        case COXParserObject::ELEMENT:
            if (isTrack) {
                m_pCurTrack = m_pCDInfo->GetTrack(m_nCurTrack);
                if (m_pCurTrack == nullptr)
                    break;
                ApplyElement(static_cast<COXParserElement*>(child));
                m_pCurTrack = nullptr;
            } else {
                ApplyElement(static_cast<COXParserElement*>(child));
            }
            break;
        default:
            break;
        }
    }
}

void CSonoriaDBMgr::SetTrackField(const char* pszName, CString strText)
{
    strText.Replace("&#xD;&#xA;", "\n");
    for (const TrackElement& e : kTrackElements) {
        if (e.read && EqualNoCase(pszName, e.name)) {
            m_pCurTrack->*e.field = strText;
            return;
        }
    }
}

void CSonoriaDBMgr::SetDiscField(const char* pszName, CString strText)
{
    strText.Replace("&#xD;&#xA;", "\n");
    if (EqualNoCase(pszName, "revision")) {
        m_pCDInfo->SetRevision(ReadNumber(strText));
        return;
    }
    for (const DiscElement& e : kDiscElementsRead) {
        if (EqualNoCase(pszName, e.name)) {
            (m_pCDInfo->*e.set)(strText);
            return;
        }
    }
}

CString CSonoriaDBMgr::EscapeText(const CString& strText)
{
    CString out;
    for (int i = 0; i < strText.GetLength(); ++i) {
        auto b = static_cast<unsigned char>(strText[i]);
        switch (b) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (b >= 1 && b <= 31)
                out.AppendFormat("&#%d;", b);
            else
                out.AppendChar(static_cast<char>(b));
        }
    }
    return out;
}

CString CSonoriaDBMgr::MakeElement(LPCTSTR lpszName, const CString& strValue)
{
    if (strValue.IsEmpty())
        return CString();
    CString value = strValue;
    value.Replace("\n", "\r\n");
    CString line;
    line.Format("<%s>%s</%s>\n", lpszName, EscapeText(value).GetString(), lpszName);
    return line;
}

CString CSonoriaDBMgr::BuildSubmissionXml(const CCDInfo& info, LPCTSTR lpszSubmitter,
                                          LPCTSTR lpszClient)
{
    auto number = [](int n) {
        CString s;
        s.Format("%d", n);
        return s;
    };
    CString cddbid;
    cddbid.Format("%08x", static_cast<unsigned>(info.GetDiscId()));
    CString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<cdinfo cdid=\"" + info.GetTocId() + "\" >\n";
    const struct {
        const char* name;
        CString value;
    } disc[] = {{"artist", info.GetArtist()},
                {"title", info.GetTitle()},
                {"year", info.GetYear()},
                {"genre", info.GetGenre()},
                {"submittedwith", lpszClient},
                {"submittedby", lpszSubmitter},
                {"cddbid", cddbid},
                {"band", info.GetBand()},
                {"conductor", info.GetConductor()},
                {"remix", info.GetRemix()},
                {"composer", info.GetComposer()},
                {"lyricist", info.GetLyricist()},
                {"copyright", info.GetCopyright()},
                {"publisher", info.GetPublisher()},
                {"partofaset", info.GetPartOfASet()},
                {"contentgroup", info.GetContentGroup()},
                {"revision", number(NextRevision(info.GetRevision()))},
                {"ntracks", number(info.GetTrackCount())},
                {"lenseconds", number(info.GetLengthSeconds())}};
    for (const auto& d : disc)
        xml += MakeElement(d.name, d.value);
    for (int i = 0; i < info.GetTrackCount(); ++i) {
        const CCDTrack* t = info.GetTrack(i);
        xml.AppendFormat("<track num=\"%d\">\n", i);
        for (const TrackElement& e : kTrackElements)
            if (e.written)
                xml +=
                    MakeElement(e.name, e.field != nullptr ? t->*e.field : t->GetDurationMsText());
        xml += "</track>\n";
    }
    xml += "</cdinfo>\n";
    return xml;
}
