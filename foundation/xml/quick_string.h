// COXQuickString: the growable character buffer the XML parser keeps names and texts in.
#pragma once

class COXQuickString
{
public:
    COXQuickString() = default;
    COXQuickString(const COXQuickString& other);
    COXQuickString& operator=(const COXQuickString& other);
    virtual ~COXQuickString();

    //! The text, or "" when empty; never null.
    const char* GetText() const { return (m_pBuffer && m_nLength) ? m_pBuffer : ""; }
    int GetLength() const { return m_nLength; }
    int GetCapacity() const { return m_nCapacity; }
    bool IsEmpty() const { return !m_pBuffer || m_nLength == 0; }

    //! Replaces the text by a copy sized exactly; null leaves the string empty. 0 when out of memory.
    int SetText(const char* text);
    void Empty();
    //! Appends one character, growing by the grow step when full. 0 when out of memory.
    int AppendChar(char c);
    //! Append and AppendN do nothing and return 0 for a null text.
    int Append(const char* text);
    int Append(const COXQuickString& other) { return Append(other.GetText()); }
    int AppendN(const char* text, int n);
    //! 0 empties; less than the capacity cuts the text; more grows the buffer to n bytes.
    int SetCapacity(int n);
    void TrimLeft();
    void TrimRight();
    void Trim()
    {
        TrimRight();
        TrimLeft();
    }
    //! False for an empty string or a null text; mode 0 compares without regard to case.
    bool IsEqual(const char* text, int mode) const;

private:
    bool Grow(int capacity);

    char* m_pBuffer = nullptr;
    int m_nCapacity = 0;
    int m_nLength = 0;
    int m_nGrowBy = 10;
};
