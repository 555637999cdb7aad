// The xmcd reader and writer of the CDDB client.
#include "catalogue/cddb/cddb.h"
#include "catalogue/cddb/cddb_text.h"

namespace
{
// An xmcd line holds at most this many characters before its CR LF.
const int kMaxXmcdLine = 254;
// TTITLE and EXTT numbers from here on are ignored: a disc has at most 99 tracks, and a huge
// number must not make a huge list.
const int kMaxXmcdTrackKey = 1000;

CString Unescape(const CString& text)
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.GetLength()) {
            const char next = text[i + 1];
            if (next == 'n' || next == 't' || next == '\\') {
                out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool StartsWith(const CString& text, LPCTSTR prefix)
{
    return text.Find(prefix) == 0;
}

// Sets the list to exactly n + 1 entries and appends the value to entry n.
void AppendIndexed(CStringArray& list, const CString& numberText, const CString& value)
{
    const int n = CddbToInt(numberText);
    if (n < 0 || n >= kMaxXmcdTrackKey)
        return;
    list.SetSize(n + 1);
    list[n] += value;
}
} // namespace

void CCDDB::EscapeXmcdValue(CString& strText)
{
    strText.Replace("\\", "\\\\");
    strText.Replace("\n", "\\n");
    strText.Replace("\t", "\\t");
}

CString CCDDB::FormatXmcdLine(LPCTSTR lpszKey, const CString& strValue)
{
    CString value = strValue;
    EscapeXmcdValue(value);
    const CString key(lpszKey);
    int room = kMaxXmcdLine - key.GetLength() - 1;
    if (room < 2)
        room = 2; // keys are short; this only keeps the loop finite
    CString lines;
    int pos = 0;
    do {
        // Whole escape pairs only, so that every line unescapes on its own.
        int end = pos;
        while (end < value.GetLength()) {
            const int step = value[end] == '\\' && end + 1 < value.GetLength() ? 2 : 1;
            if (end + step - pos > room)
                break;
            end += step;
        }
        lines += key + "=" + value.Mid(pos, end - pos) + "\r\n";
        pos = end;
    } while (pos < value.GetLength());
    return lines;
}

CString CCDDB::FormatXmcdRecord(const CCDDBRecord& record)
{
    CString text = "# xmcd\r\n#\r\n# Track frame offsets:\r\n";
    for (INT_PTR i = 0; i < record.m_arrTrackOffsets.GetSize(); ++i)
        text.AppendFormat("# %d\r\n", record.m_arrTrackOffsets[i]);
    text.AppendFormat("#\r\n# Disc length: %d seconds\r\n#\r\n", record.m_nDiscLength);
    text.AppendFormat("#\r\n# Revision: %d\r\n", record.m_nRevision);
    CString submitter;
    submitter.Format("# Submitted via: %s %s %s", record.m_strSubmitterName.GetString(),
                     record.m_strSubmitterVersion.GetString(),
                     record.m_strSubmitterComment.GetString());
    EscapeXmcdValue(submitter);
    text += submitter + "\r\n#\r\n";
    text.AppendFormat("DISCID=%08x\r\n", static_cast<unsigned>(record.m_dwDiscId));
    CString title = record.m_strDiscTitle;
    if (!record.m_strDiscArtist.IsEmpty())
        title.Format("%s / %s", record.m_strDiscArtist.GetString(),
                     record.m_strDiscTitle.GetString());
    text += FormatXmcdLine("DTITLE", title);
    if (m_nProtocolLevel >= 5) {
        if (record.m_nYear != 0)
            text.AppendFormat("DYEAR=%04d\r\n", record.m_nYear);
        else
            text += "DYEAR=\r\n";
        text += FormatXmcdLine("DGENRE", record.m_strGenre);
    }
    // Every track gets both keys, so that the text is a record a reader accepts even when the
    // record holds fewer extended texts than titles.
    INT_PTR tracks = record.m_arrTrackTitles.GetSize();
    if (record.m_arrExtendedTrackData.GetSize() > tracks)
        tracks = record.m_arrExtendedTrackData.GetSize();
    CString key;
    for (INT_PTR i = 0; i < tracks; ++i) {
        key.Format("TTITLE%d", static_cast<int>(i));
        text += FormatXmcdLine(
            key, i < record.m_arrTrackTitles.GetSize() ? record.m_arrTrackTitles[i] : CString());
    }
    text += FormatXmcdLine("EXTD", record.m_strExtendedData);
    for (INT_PTR i = 0; i < tracks; ++i) {
        key.Format("EXTT%d", static_cast<int>(i));
        text += FormatXmcdLine(key, i < record.m_arrExtendedTrackData.GetSize()
                                        ? record.m_arrExtendedTrackData[i]
                                        : CString());
    }
    text += "PLAYORDER=\r\n";
    return text;
}

BOOL CCDDB::IsCommentLine(const CString& strLine, CString& strComment)
{
    if (strLine.IsEmpty() || strLine[0] != '#')
        return FALSE;
    strComment = strLine.Mid(1);
    strComment.Trim();
    return TRUE;
}

BOOL CCDDB::SplitKeyValue(const CString& strLine, CString& strKey, CString& strValue)
{
    const int eq = strLine.Find('=');
    if (eq < 0)
        return FALSE;
    strKey = strLine.Left(eq);
    strValue = Unescape(strLine.Mid(eq + 1));
    return TRUE;
}

BOOL CCDDB::ParseXmcdRecord(CCDDBRecord& record, const CString& strText)
{
    record = CCDDBRecord();
    CString dtitle, playorder;
    bool signature = false, offsets = false, lengthSeen = false, submitterSeen = false;
    bool idSeen = false, titleSeen = false;

    LPCTSTR cursor = strText;
    CString line, comment, key, value;
    while (cursor) {
        LPCTSTR start = cursor;
        if (!NextLine(cursor, line))
            line = start; // a last line without its line end still counts
        if (IsCommentLine(line, comment)) {
            if (StartsWith(comment, "xmcd")) {
                signature = true;
            } else if (comment.Find("Track frame offsets:") >= 0) {
                offsets = true;
            } else if (StartsWith(comment, "Disc length:")) {
                offsets = false;
                lengthSeen = true;
                record.m_nDiscLength = CddbToInt(comment.Mid(13));
            } else if (StartsWith(comment, "Revision:")) {
                record.m_nRevision = CddbToInt(comment.Mid(9));
            } else if (StartsWith(comment, "Submitted via:")) {
                submitterSeen = true;
                const CString words = comment.Mid(14);
                int pos = 0;
                CString name = words.Tokenize(" ", pos);
                CString version = pos >= 0 ? words.Tokenize(" ", pos) : CString();
                CString remark = pos >= 0 ? words.Tokenize(" ", pos) : CString();
                if (name.IsEmpty() || version.IsEmpty())
                    return FALSE;
                record.m_strSubmitterName = FilterReceivedText(name);
                record.m_strSubmitterVersion = FilterReceivedText(version);
                record.m_strSubmitterComment = FilterReceivedText(remark);
            } else if (!comment.IsEmpty() && offsets) {
                record.m_arrTrackOffsets.Add(CddbToInt(comment));
            }
            continue;
        }
        if (!SplitKeyValue(line, key, value))
            continue;
        value = FilterReceivedText(value);
        if (key == "DISCID") {
            if (value.GetLength() >= 8) {
                record.m_dwDiscId = CddbToHex(value);
                idSeen = true;
            }
        } else if (key == "DTITLE") {
            dtitle += value;
            titleSeen = true;
        } else if (key == "DYEAR") {
            record.m_nYear = CddbToInt(value);
        } else if (key == "DGENRE") {
            record.m_strGenre += value;
        } else if (StartsWith(key, "TTITLE")) {
            AppendIndexed(record.m_arrTrackTitles, key.Mid(6), value);
        } else if (key == "EXTD") {
            record.m_strExtendedData += value;
        } else if (StartsWith(key, "EXTT")) {
            AppendIndexed(record.m_arrExtendedTrackData, key.Mid(4), value);
        } else if (key == "PLAYORDER") {
            playorder += value;
        }
    }

    if (!signature || record.m_arrTrackOffsets.IsEmpty() || !lengthSeen || !submitterSeen ||
        !idSeen || !titleSeen ||
        record.m_arrTrackTitles.GetSize() != record.m_arrExtendedTrackData.GetSize())
        return FALSE;

    const int split = dtitle.Find(" / ");
    if (split >= 0) {
        record.m_strDiscArtist = dtitle.Left(split);
        record.m_strDiscTitle = dtitle.Mid(split + 3);
    } else {
        record.m_strDiscArtist = dtitle;
        record.m_strDiscTitle = dtitle;
    }

    int start = 0;
    for (int comma; (comma = playorder.Find(',', start)) >= 0; start = comma + 1)
        record.m_arrPlayOrder.Add(CddbToInt(playorder.Mid(start, comma - start)));
    if (start < playorder.GetLength())
        record.m_arrPlayOrder.Add(CddbToInt(playorder.Mid(start)));
    return TRUE;
}
