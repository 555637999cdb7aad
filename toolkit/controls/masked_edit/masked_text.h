// The text of a masked edit: fixed text on the left, the user's input, fixed text on the right,
// and the position rules that keep every change inside the input. No window involved.
#pragma once

#include "framework/core.h"

class CMaskedText
{
public:
    CMaskedText();

    // Every character before the first single '#' is a left literal, every one after it a right
    // literal; "##" is one literal '#'; a '#' that ends the mask adds nothing. A mask without a
    // single '#' is refused and the previous one stays in force.
    BOOL SetMask(LPCTSTR lpszMask);
    const CString& GetMask() const { return m_mask; }

    const CString& GetLeftLiterals() const { return m_left; }
    const CString& GetRightLiterals() const { return m_right; }
    const CString& GetInput() const { return m_input; }
    CString GetFullText() const { return m_left + m_input + m_right; }
    int GetLeftCount() const { return m_left.GetLength(); }
    int GetInputLength() const { return m_input.GetLength(); }

    void SetInput(const CString& input) { m_input = input; }
    void EmptyInput() { m_input.Empty(); }
    // Empties literals and input (the mask text itself stays).
    void DeleteContents();

    // L <= p < L + N: a character of the input lies there.
    BOOL IsInputPosition(int nPos) const;
    // L <= p <= L + N: a character may be inserted there.
    BOOL IsInsertPosition(int nPos) const;
    // p - L for an insert position, else -1.
    int InputIndex(int nPos) const { return IsInsertPosition(nPos) ? nPos - GetLeftCount() : -1; }
    // The position itself when it is an insert position, else the nearest one after it (L + N
    // when none) or before it (L when none).
    int GetNextInputPosition(int nPos) const;
    int GetPrevInputPosition(int nPos) const;

    // Writes text into the input from input index nIndex, inserting or overwriting (and growing);
    // FALSE when nIndex lies outside 0..N.
    BOOL SetInputData(LPCTSTR lpszText, int nIndex, BOOL bInsert);
    // Inserts at nPos, or at the first insert position after it; the position of the character,
    // or -1 when no insert position lies at or after nPos.
    int InsertAt(int nPos, char ch);
    // Replaces the input character at nPos or at the first input position after it; -1 when none.
    int OverwriteAt(int nPos, char ch);
    // Deletes the input characters of positions nStart..nEnd-1 without ever splitting a CR LF
    // pair: a dangling LF after the range or CR before it goes too (nStart then moves back one).
    // Returns how many characters went.
    int DeleteRange(int& nStart, int& nEnd);

private:
    // Fills the literals from a mask; false when it holds no single '#'.
    bool Parse(const CString& mask);

    CString m_mask;
    CString m_left;
    CString m_right;
    CString m_input;
};
