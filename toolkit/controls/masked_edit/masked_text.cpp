// The masked edit's text model.
#include "toolkit/controls/masked_edit/masked_text.h"

#include <algorithm>

CMaskedText::CMaskedText()
{
    SetMask("#");
}

bool CMaskedText::Parse(const CString& mask)
{
    bool found = false;
    const int n = mask.GetLength();
    for (int i = 0; i < n; ++i) {
        const char ch = mask[i];
        CString& side = found ? m_right : m_left;
        if (ch != '#') {
            side += ch;
        } else if (i + 1 < n && mask[i + 1] == '#') {
            side += '#';
            ++i;
        } else if (i + 1 == n) {
            found = true; // a final '#' marks the input and adds nothing
        } else if (!found) {
            found = true;
        } else {
            m_right += '#'; // a second single marker is taken as it stands
        }
    }
    return found;
}

BOOL CMaskedText::SetMask(LPCTSTR lpszMask)
{
    const CString mask = lpszMask != nullptr ? lpszMask : "";
    if (mask.Find('#') < 0)
        return FALSE;
    DeleteContents();
    if (Parse(mask)) {
        m_mask = mask;
        return TRUE;
    }
    DeleteContents();
    Parse(m_mask);
    return FALSE;
}

void CMaskedText::DeleteContents()
{
    m_left.Empty();
    m_right.Empty();
    m_input.Empty();
}

BOOL CMaskedText::IsInputPosition(int nPos) const
{
    return nPos >= GetLeftCount() && nPos < GetLeftCount() + GetInputLength();
}

BOOL CMaskedText::IsInsertPosition(int nPos) const
{
    return nPos >= GetLeftCount() && nPos <= GetLeftCount() + GetInputLength();
}

int CMaskedText::GetNextInputPosition(int nPos) const
{
    if (nPos < GetLeftCount())
        return GetLeftCount();
    return std::min(nPos, GetLeftCount() + GetInputLength());
}

int CMaskedText::GetPrevInputPosition(int nPos) const
{
    if (nPos > GetLeftCount() + GetInputLength())
        return GetLeftCount() + GetInputLength();
    return std::max(nPos, GetLeftCount());
}

BOOL CMaskedText::SetInputData(LPCTSTR lpszText, int nIndex, BOOL bInsert)
{
    if (nIndex < 0 || nIndex > GetInputLength())
        return FALSE;
    const CString text = lpszText != nullptr ? lpszText : "";
    if (bInsert) {
        m_input.Insert(nIndex, text);
    } else {
        const int keep = std::max(0, GetInputLength() - nIndex - text.GetLength());
        m_input = m_input.Left(nIndex) + text + m_input.Right(keep);
    }
    return TRUE;
}

int CMaskedText::InsertAt(int nPos, char ch)
{
    if (nPos > GetLeftCount() + GetInputLength())
        return -1; // inside the right literals: no insert position follows
    nPos = GetNextInputPosition(nPos);
    m_input.Insert(nPos - GetLeftCount(), ch);
    return nPos;
}

int CMaskedText::OverwriteAt(int nPos, char ch)
{
    nPos = std::max(nPos, GetLeftCount());
    if (!IsInputPosition(nPos))
        return -1;
    m_input.SetAt(nPos - GetLeftCount(), ch);
    return nPos;
}

int CMaskedText::DeleteRange(int& nStart, int& nEnd)
{
    const int left = GetLeftCount();
    const int first = std::max(std::min(nStart, nEnd), left) - left;
    const int last = std::min(std::max(nStart, nEnd), left + GetInputLength()) - left;
    if (first >= last)
        return 0;
    const char lowest = m_input[first];
    const char highest = m_input[last - 1];
    m_input.Delete(first, last - first);
    int count = last - first;
    if (lowest == '\r' && first < GetInputLength() && m_input[first] == '\n') {
        m_input.Delete(first);
        ++count;
    }
    if (highest == '\n' && first > 0 && m_input[first - 1] == '\r') {
        m_input.Delete(first - 1);
        ++count;
        nStart = left + first - 1;
    }
    return count;
}
