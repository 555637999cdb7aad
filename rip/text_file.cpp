// WriteWholeTextFile over CFile.
#include "rip/text_file.h"

BOOL WriteWholeTextFile(const CString& strPath, const CString& strText)
{
    CFile file;
    if (!file.Open(strPath, CFile::modeCreate | CFile::modeWrite))
        return FALSE;
    try {
        file.Write(static_cast<LPCTSTR>(strText), static_cast<UINT>(strText.GetLength()));
        file.Close();
        return TRUE;
    } catch (CException* e) {
        // A full disk: drop the partial file rather than leave a truncated list behind.
        e->Delete();
    }
    file.Abort();
    try {
        CFile::Remove(strPath);
    } catch (CException* e) {
        e->Delete();
    }
    return FALSE;
}
