// CSonoriaDBMgr: the client of the disc-information service: a query by disc-index id that
// fills the disc record from the service's XML answer, and the submission of a disc as XML.
#pragma once

#include <memory>

#include "foundation/web/endpoints.h"
#include "framework/core.h"

class CCDInfo;
class CCDTrack;
class CHttpClient;
class COXParserElement;

class CSonoriaDBMgr
{
public:
    // Result codes beside the service's own numbers (3 no match, 6 maintenance, 8 the service
    // holds a higher revision).
    enum {
        RESULT_OK = 0,
        RESULT_NO_CONNECTION = 10,
        RESULT_BAD_ANSWER = 11,
        RESULT_NO_ERROR_ELEMENT = 12
    };

    // The service base address ends with "/"; "q.php" and "i.php" are appended. Tests point it
    // at a loopback server.
    explicit CSonoriaDBMgr(LPCTSTR lpszServiceBase = endpoints::kDiscInfoService);
    virtual ~CSonoriaDBMgr();

    // 0 when the answer held a disc (applied to pInfo), 10 without a usable HTTP answer, 11 when
    // the answer is neither an error nor a disc, else the service's error number.
    int QueryCD(LPCTSTR lpszTocId, CCDInfo* pInfo);
    // 0 when the service accepted the disc (its content checksum is then stored), 10 when the
    // request fails or its answer cannot be read, 12 without an error element, else the
    // service's number. lpszUnused is not looked at.
    int SubmitCD(CCDInfo* pInfo, LPCTSTR lpszSubmitter, LPCTSTR lpszUnused, LPCTSTR lpszClient);

    // What QueryCD does with a body it has read (a zero-ended text).
    int ApplyQueryAnswer(const char* pszBody, CCDInfo* pInfo);
    // The submission document, 8-bit text with LF line ends.
    static CString BuildSubmissionXml(const CCDInfo& info, LPCTSTR lpszSubmitter,
                                      LPCTSTR lpszClient);
    // "<name>escaped value</name>\n"; empty for an empty value.
    static CString MakeElement(LPCTSTR lpszName, const CString& strValue);
    // The five XML characters as entities and bytes 1 to 31 as "&#n;".
    static CString EscapeText(const CString& strText);
    // The decimal number at p after blanks, with an optional sign (saturating); 0 without digits.
    static int ReadNumber(const char* p);
    // The revision a submission carries: one above the record's, saturating at the largest
    // int (an answer can set any revision).
    static int NextRevision(int nRevision);
    // The number right after the first "<error>"; false when the text holds none.
    static bool FindErrorNumber(const char* pszBody, int& number);

protected:
    void ApplyElement(COXParserElement* pElement);
    void SetTrackField(const char* pszName, CString strText);
    void SetDiscField(const char* pszName, CString strText);
    std::unique_ptr<CHttpClient> MakeClient() const;

    CCDInfo* m_pCDInfo = nullptr;
    CCDTrack* m_pCurTrack = nullptr;
    int m_nCurTrack = 0;
    CString m_strServiceBase;
};
