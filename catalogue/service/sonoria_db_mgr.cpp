// CSonoriaDBMgr: HTTP set-up, the query and its answer walk, the submission document.
// The parser names an error ERROR_NO_TOKEN, which <windows.h> defines as a macro: first.
#include "foundation/xml/xml_parser.h"

#include "catalogue/service/sonoria_db_mgr.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "catalogue/model/cd_info.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/http_client.h"

namespace
{

constexpr DWORD kAnswerBufferSize = 65536;
const char kClientName[] = "Sonoria";

// The decimal number at p: blanks skipped, an optional sign, then digits (saturating);
// 0 when no digits follow.
int ReadNumber(const char* p)
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

// The number after "<error>", or false when the text holds none.
bool FindErrorNumber(const char* body, int& number)
{
    const char* e = std::strstr(body, "<error>");
    if (e == nullptr)
        return false;
    number = ReadNumber(e + 7);
    return true;
}

CString Convert(const char* text, UINT fromCodePage, UINT toCodePage)
{
    int wide = ::MultiByteToWideChar(fromCodePage, 0, text, -1, nullptr, 0);
    if (wide <= 0)
        return CString();
    std::vector<wchar_t> w(static_cast<size_t>(wide));
    ::MultiByteToWideChar(fromCodePage, 0, text, -1, w.data(), wide);
    int bytes = ::WideCharToMultiByte(toCodePage, 0, w.data(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return CString();
    CString out;
    ::WideCharToMultiByte(toCodePage, 0, w.data(), -1, out.GetBuffer(bytes), bytes, nullptr,
                          nullptr);
    out.ReleaseBuffer();
    return out;
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

std::unique_ptr<CHttpClient> CSonoriaDBMgr::MakeClient() const
{
    CAppCfg& cfg = GetAppCfg();
    CString proxy;
    if (cfg.GetUseProxy() > 1)
        proxy.Format("%s:%d", cfg.GetProxyServer().GetString(), cfg.GetProxyPort());
    auto client = std::make_unique<CHttpClient>(kClientName, proxy, nullptr);
    if (cfg.GetUseProxy() >= 1 && !cfg.GetProxyUser().IsEmpty())
        client->SetProxyCredentials(cfg.GetProxyUser(), cfg.GetProxyPwd());
    return client;
}

int CSonoriaDBMgr::QueryCD(LPCTSTR lpszTocId, CCDInfo* pInfo)
{
    auto client = MakeClient();
    CString url;
    url.Format("%s?cdid=%s&client=%s", (m_strServiceBase + "q.php").GetString(),
               lpszTocId != nullptr ? lpszTocId : "", kClientName);
    m_pCDInfo = pInfo;
    DWORD status = client->Get(url, INTERNET_FLAG_RELOAD);
    if (status < 200 || status >= 400)
        return RESULT_NO_CONNECTION;
    std::vector<char> body(kAnswerBufferSize);
    DWORD length = kAnswerBufferSize;
    if (!client->ReadResponse(body.data(), length))
        return RESULT_BAD_ANSWER;
    return ApplyQueryAnswer(body.data(), pInfo);
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
    CString text = Convert(pszBody, CP_UTF8, CP_ACP);
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
    bool isTrack = _stricmp(name, "track") == 0;
    for (int i = 0; i < pElement->GetAttributeCount(); ++i) {
        COXAttribute* a = pElement->GetAttribute(i);
        const char* an = a->GetName() != nullptr ? a->GetName() : "";
        if (isTrack && _stricmp(an, "num") == 0) {
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
        if (e.read && _stricmp(pszName, e.name) == 0) {
            m_pCurTrack->*e.field = strText;
            return;
        }
    }
}

void CSonoriaDBMgr::SetDiscField(const char* pszName, CString strText)
{
    strText.Replace("&#xD;&#xA;", "\n");
    if (_stricmp(pszName, "revision") == 0) {
        m_pCDInfo->SetRevision(ReadNumber(strText));
        return;
    }
    for (const DiscElement& e : kDiscElementsRead) {
        if (_stricmp(pszName, e.name) == 0) {
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
                {"revision", number(info.GetRevision() + 1)},
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

int CSonoriaDBMgr::SubmitCD(CCDInfo* pInfo, LPCTSTR lpszSubmitter, LPCTSTR, LPCTSTR lpszClient)
{
    if (pInfo == nullptr)
        return RESULT_NO_CONNECTION;
    CString xml = BuildSubmissionXml(*pInfo, lpszSubmitter != nullptr ? lpszSubmitter : "",
                                     lpszClient != nullptr ? lpszClient : "");
    m_pCDInfo = pInfo;
    auto client = MakeClient();
    CString body = "cdid=" + UrlEncoded(pInfo->GetTocId());
    body += "&client=" + UrlEncoded(lpszClient != nullptr ? lpszClient : "");
    body.AppendFormat("&revision=%d", pInfo->GetRevision() + 1);
    body += "&xml=" + UrlEncoded(Convert(xml, CP_THREAD_ACP, CP_UTF8));
    if (!client->Post(m_strServiceBase + "i.php", body, -1))
        return RESULT_NO_CONNECTION;
    std::vector<char> answer(kAnswerBufferSize);
    DWORD length = kAnswerBufferSize;
    if (!client->ReadResponse(answer.data(), length))
        return RESULT_NO_CONNECTION;
    int number = 0;
    if (!FindErrorNumber(answer.data(), number))
        return RESULT_NO_ERROR_ELEMENT;
    if (number == 0)
        pInfo->UpdateChecksum(true);
    return number;
}
