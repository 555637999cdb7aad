// CTrackNameHandler: template validation and expansion, output paths, folder creation.
#include "rip/track_name_handler.h"

#include "audio/track/track_info.h"
#include "foundation/i18n/i18n.h"

#include <climits>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace
{

const char kKeywordChars[] = "#123abcdefghijklmnopqrsty%";
// Refused in a format; the backslash is allowed there since it separates folders.
const char kRefusedChars[] = "\":?*<>|/";
// Replaced in field values.
const char kReplacedChars[] = "\":?*<>|/\\";

const char* const kExtensions[] = {".wav", ".mp3", ".ogg", ".wma", ".flac", ""};

// Limits of the ANSI file API: a whole path of at most MAX_PATH - 1 characters, a folder that
// CreateDirectoryA still takes (MAX_PATH - 12, room for an 8.3 name), one name of at most 255.
const int kMaxPathChars = 259;
const int kMaxFolderChars = 247;
const int kMaxComponentChars = 255;

bool IsIn(char c, const char* set)
{
    return c != '\0' && std::strchr(set, c) != nullptr;
}

bool IsControl(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return u != 0 && u < 0x20;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

LPCTSTR ExtensionOf(int nOutputFormat)
{
    if (nOutputFormat < 0 || nOutputFormat > 5)
        return "";
    return kExtensions[nOutputFormat];
}

// The leading run of decimal digits as a number (0 when the text does not begin with a digit),
// held at INT_MAX instead of overflowing.
int LeadingNumber(const CString& strText)
{
    long long n = 0;
    for (int i = 0; i < strText.GetLength(); ++i) {
        char c = strText[i];
        if (c < '0' || c > '9')
            break;
        n = n * 10 + (c - '0');
        if (n > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(n);
}

// A translated message used as a format. Only "%%" and "%c" are substituted: a language file
// is outside input, so its text never reaches a printf-style formatter.
CString FormatMessageText(const CString& strPattern, char cArg)
{
    CString strOut;
    for (int i = 0; i < strPattern.GetLength(); ++i) {
        char c = strPattern[i];
        if (c == '%' && i + 1 < strPattern.GetLength()) {
            char n = strPattern[i + 1];
            if (n == '%') {
                strOut += '%';
                ++i;
                continue;
            }
            if (n == 'c') {
                if (cArg != '\0')
                    strOut += cArg;
                ++i;
                continue;
            }
        }
        strOut += c;
    }
    return strOut;
}

CString CleanField(const CString& strValue)
{
    CString strClean = CTrackNameHandler::SanitizeFileName(strValue);
    strClean.Trim();
    return strClean;
}

CString Shorten(const CString& strText, int nCap)
{
    if (strText.GetLength() <= nCap)
        return strText;
    CString strShort = strText.Left(nCap);
    strShort.TrimRight();
    return strShort;
}

struct ExpandState {
    const CAudioTrackInfo& info;
    CString strPendingCounter;
    int nOutputFormat;
    int nFieldCap; // longest a cleaned field value may be
    CString& strName;
};

void AppendField(ExpandState& st, const CString& strValue)
{
    st.strName += Shorten(CleanField(strValue), st.nFieldCap);
}

// Appends the expansion of one keyword; false when the character is not a keyword.
bool AppendKeyword(ExpandState& st, char cKey)
{
    const CAudioTrackInfo& info = st.info;
    CString strText;
    switch (cKey) {
    case '#':
        strText.Format("%02d", LeadingNumber(info.GetTrackPosition()));
        st.strName += strText;
        return true;
    case '1':
        AppendField(st, info.GetTrackTitle());
        return true;
    case '2':
        AppendField(st, info.GetTrackExt());
        return true;
    case '3':
        AppendField(st, info.GetContentGroup());
        return true;
    case 'a':
        AppendField(st, info.GetArtist());
        return true;
    case 'b':
        AppendField(st, info.GetBand());
        return true;
    case 'c':
        AppendField(st, info.GetComposer());
        return true;
    case 'd':
        AppendField(st, info.GetCDId());
        return true;
    case 'e':
        st.strName += st.strPendingCounter;
        st.strPendingCounter.Empty();
        st.strName += ExtensionOf(st.nOutputFormat);
        return true;
    case 'f':
        AppendField(st, info.GetCommentDigest());
        return true;
    case 'g':
        AppendField(st, info.GetContentType());
        return true;
    case 'h':
        AppendField(st, info.GetMediaType());
        return true;
    case 'i':
        AppendField(st, info.GetISRC());
        return true;
    case 'j':
        AppendField(st, info.GetConductor());
        return true;
    case 'k':
        AppendField(st, info.GetMood());
        return true;
    case 'l':
        AppendField(st, info.GetLyricist());
        return true;
    case 'm':
        strText = info.GetDurationText();
        strText.Replace(':', ',');
        AppendField(st, strText);
        return true;
    case 'n':
        strText = info.GetPartOfASet();
        strText.Replace('/', '-');
        AppendField(st, strText);
        return true;
    case 'o':
        AppendField(st, info.GetComment());
        return true;
    case 'p':
        AppendField(st, info.GetAlbumArtist());
        return true;
    case 'q': {
        int nPart = LeadingNumber(info.GetPartOfASet());
        if (nPart > 0) {
            strText.Format(" (%d)", nPart);
            st.strName += strText;
        }
        return true;
    }
    case 'r':
        AppendField(st, info.GetRemix());
        return true;
    case 's':
        strText = info.GetDurationText();
        if (strText.GetLength() >= 4 && strText.Find(':') > 0) {
            strText.Replace(':', 'm');
            strText = Shorten(CleanField(strText), st.nFieldCap);
            if (!strText.IsEmpty())
                st.strName += strText + "s";
        }
        return true;
    case 't':
        AppendField(st, info.GetAlbumTitle());
        return true;
    case 'y':
        AppendField(st, info.GetYear());
        return true;
    case '%':
        st.strName += '%';
        return true;
    default:
        return false;
    }
}

BOOL ExpandName(const CString& strFormat, const CAudioTrackInfo& info, CString& strName,
                int nCounter, int nOutputFormat, int nFieldCap)
{
    strName.Empty();
    ExpandState st{info, CString(), nOutputFormat, nFieldCap, strName};
    if (nCounter > 0)
        st.strPendingCounter.Format("[%d]", nCounter);

    CString strFmt = strFormat;
    strFmt.Trim();
    BOOL bResult = TRUE;
    const int nLen = strFmt.GetLength();
    for (int i = 0; i < nLen; ++i) {
        char c = strFmt[i];
        if (c != '%') {
            strName += c;
            continue;
        }
        if (i + 1 >= nLen) {
            bResult = FALSE;
            break;
        }
        char cKey = strFmt[++i];
        if (!AppendKeyword(st, cKey)) {
            strName += cKey;
            bResult = FALSE;
        }
    }
    strName += st.strPendingCounter;
    while (strName.Find("\\\\") >= 0)
        strName.Replace("\\\\", "\\");
    return bResult;
}

bool IsDeviceName(const CString& strBase)
{
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* d : kDevices)
        if (strBase.CompareNoCase(d) == 0)
            return true;
    if (strBase.GetLength() == 4 && strBase[3] >= '1' && strBase[3] <= '9') {
        CString strStem = strBase.Left(3);
        return strStem.CompareNoCase("COM") == 0 || strStem.CompareNoCase("LPT") == 0;
    }
    return false;
}

// One folder or file name of the expanded part, made into a name Windows keeps as it is and
// that stays inside its parent: refused and control characters become "_", trailing dots and
// blanks go (Windows drops them, so "." and ".." would climb out), device names get a "_".
CString SafeComponent(const CString& strPart)
{
    if (strPart.IsEmpty())
        return strPart;
    CString strSafe = strPart;
    for (int i = 0; i < strSafe.GetLength(); ++i)
        if (IsIn(strSafe[i], kRefusedChars) || IsControl(strSafe[i]))
            strSafe.SetAt(i, '_');
    strSafe.TrimRight(" .");
    if (strSafe.IsEmpty())
        return "_";
    int nDot = strSafe.Find('.');
    CString strBase = nDot < 0 ? strSafe : strSafe.Left(nDot);
    strBase.TrimRight(' ');
    if (IsDeviceName(strBase))
        strSafe.Insert(strBase.GetLength(), '_');
    return strSafe;
}

// The expanded part, component by component. Empty folder names vanish; an empty file name would
// leave only the folder, so it becomes "_".
CString SafeName(const CString& strName)
{
    CString strOut;
    int nStart = 0;
    for (;;) {
        int nSep = strName.Find('\\', nStart);
        if (nSep < 0) {
            CString strFile = SafeComponent(strName.Mid(nStart));
            strOut += strFile.IsEmpty() ? CString("_") : strFile;
            return strOut;
        }
        CString strFolder = SafeComponent(strName.Mid(nStart, nSep - nStart));
        if (!strFolder.IsEmpty())
            strOut += strFolder + "\\";
        nStart = nSep + 1;
    }
}

CString LyricsPathOf(const CString& strPath)
{
    int nSep = strPath.ReverseFind('\\');
    int nDot = strPath.ReverseFind('.');
    // The extension is the last "." of the file name itself, not its first character and not
    // one of a folder name.
    if (nDot > nSep + 1)
        return strPath.Left(nDot) + ".LRC";
    return strPath + ".LRC";
}

void JoinPaths(const CString& strFolder, const CString& strName, CString& strPath,
               CString& strLyricsPath)
{
    strPath = strFolder;
    if (strPath.IsEmpty() || strPath[strPath.GetLength() - 1] != '\\')
        strPath += '\\';
    strPath += SafeName(strName);
    bool bNetwork = strPath.GetLength() >= 2 && strPath[0] == '\\' && strPath[1] == '\\';
    strPath.Replace("\\\\", "\\");
    if (bNetwork)
        strPath = "\\" + strPath;
    strLyricsPath = LyricsPathOf(strPath);
}

bool FitsWindowsLimits(const CString& strPath, const CString& strLyricsPath)
{
    if (strPath.GetLength() > kMaxPathChars || strLyricsPath.GetLength() > kMaxPathChars)
        return false;
    if (strPath.ReverseFind('\\') > kMaxFolderChars)
        return false;
    int nStart = 0;
    for (int i = 0; i <= strPath.GetLength(); ++i) {
        if (i == strPath.GetLength() || strPath[i] == '\\') {
            if (i - nStart > kMaxComponentChars)
                return false;
            nStart = i + 1;
        }
    }
    return true;
}

// Builds the paths from makeName(cap), where cap bounds the length of the variable parts of the
// name. Uncapped first; when that is too long for Windows, the largest cap that fits.
template <class MakeName>
BOOL JoinWithinLimits(const CString& strFolder, MakeName makeName, CString& strPath,
                      CString& strLyricsPath)
{
    CString strName = makeName(INT_MAX);
    JoinPaths(strFolder, strName, strPath, strLyricsPath);
    if (FitsWindowsLimits(strPath, strLyricsPath))
        return TRUE;

    auto fits = [&](int nCap) {
        JoinPaths(strFolder, makeName(nCap), strPath, strLyricsPath);
        return FitsWindowsLimits(strPath, strLyricsPath);
    };
    if (!fits(0)) {
        strPath.Empty();
        strLyricsPath.Empty();
        return FALSE;
    }
    int nLo = 0, nHi = strName.GetLength(); // nLo fits, nHi does not
    while (nHi - nLo > 1) {
        int nMid = nLo + (nHi - nLo) / 2;
        if (fits(nMid))
            nLo = nMid;
        else
            nHi = nMid;
    }
    fits(nLo);
    return TRUE;
}

BOOL MakeFolder(const CString& strFolder)
{
#ifdef _WIN32
    return ::CreateDirectoryA(strFolder, nullptr) ? TRUE : FALSE;
#else
    return ::mkdir(strFolder, 0777) == 0 ? TRUE : FALSE;
#endif
}

} // namespace

CTrackNameHandler::~CTrackNameHandler() = default;

BOOL CTrackNameHandler::Validate(const CString& strFormat, CString& strError)
{
    CString strFmt = strFormat;
    strFmt.Trim();
    if (strFmt.IsEmpty()) {
        strError = FormatMessageText(
            I18NString("ctracknamehandler.errors.emptyformatstring", "Empty format string"), 0);
        return FALSE;
    }
    bool bKeyword = false;
    const int nLen = strFmt.GetLength();
    for (int i = 0; i < nLen; ++i) {
        char c = strFmt[i];
        if (IsIn(c, kRefusedChars)) {
            strError = FormatMessageText(
                I18NString("ctracknamehandler.errors.invalidchar", "Invalid character: %c"), c);
            return FALSE;
        }
        if (c != '%')
            continue;
        bKeyword = true;
        char cNext = i + 1 < nLen ? strFmt[i + 1] : '\0';
        if (!IsIn(cNext, kKeywordChars)) {
            strError = FormatMessageText(
                I18NString("ctracknamehandler.errors.invalidsymbol", "Invalid symbol: %%%c"),
                cNext);
            return FALSE;
        }
        ++i;
    }
    if (!bKeyword) {
        strError = FormatMessageText(I18NString("ctracknamehandler.errors.mustcontainpercentage",
                                                "Format string must contain at least a %% keyword"),
                                     0);
        return FALSE;
    }
    return TRUE;
}

BOOL CTrackNameHandler::Expand(const CString& strFormat, const CAudioTrackInfo& info,
                               CString& strName, int nCounter, int nOutputFormat)
{
    return ExpandName(strFormat, info, strName, nCounter, nOutputFormat, INT_MAX);
}

CString CTrackNameHandler::SanitizeFileName(const CString& strText)
{
    CString strOut = strText;
    for (int i = 0; i < strOut.GetLength(); ++i) {
        if (IsIn(strOut[i], kReplacedChars))
            strOut.SetAt(i, '_');
        else if (IsControl(strOut[i]))
            strOut.SetAt(i, ' ');
    }
    return strOut;
}

BOOL CTrackNameHandler::BuildRipPath(const CString& strOutputFolder, const CString& strFormat,
                                     const CAudioTrackInfo& info, CString& strPath,
                                     CString& strLyricsPath, int nCounter, int nOutputFormat)
{
    CString strName;
    BOOL bExpanded = ExpandName(strFormat, info, strName, nCounter, nOutputFormat, INT_MAX);
    auto makeName = [&](int nCap) {
        CString strCapped;
        ExpandName(strFormat, info, strCapped, nCounter, nOutputFormat, nCap);
        return strCapped;
    };
    if (!JoinWithinLimits(strOutputFolder, makeName, strPath, strLyricsPath))
        return FALSE;
    return bExpanded;
}

BOOL CTrackNameHandler::BuildConvertPath(const CString& strOutputFolder,
                                         const CString& strFileTitle, CString& strPath,
                                         CString& strLyricsPath, int nCounter, int nOutputFormat)
{
    CString strCounter;
    if (nCounter > 0)
        strCounter.Format("[%d]", nCounter);
    auto makeName = [&](int nCap) {
        CString strFile;
        strFile.Format("%s%s%s", static_cast<LPCTSTR>(Shorten(strFileTitle, nCap)),
                       static_cast<LPCTSTR>(strCounter), ExtensionOf(nOutputFormat));
        return strFile;
    };
    return JoinWithinLimits(strOutputFolder, makeName, strPath, strLyricsPath);
}

BOOL CTrackNameHandler::CreateDirectories(const CString& strPath)
{
    BOOL bResult = FALSE;
    // Positions 0 to 3 hold a drive root ("C:\") or the two backslashes of a network path.
    for (int i = 4; i < strPath.GetLength(); ++i)
        if (IsSeparator(strPath[i]))
            bResult = MakeFolder(strPath.Left(i));
    return bResult;
}

CString CTrackNameHandler::GetFileTitle(const CString& strPath)
{
    int nSep = -1;
    for (int i = 0; i < strPath.GetLength(); ++i)
        if (IsSeparator(strPath[i]))
            nSep = i;
    CString strTitle = strPath.Mid(nSep + 1);
    int nDot = strTitle.ReverseFind('.');
    if (nDot >= 0)
        strTitle = strTitle.Left(nDot);
    return strTitle;
}
