// Shared access to the Windows Media Format runtime ("wmvcore.dll") and the IStream over an
// open file that the WMA reader hands to it.
// Classes here: CAudioWMABase, CAudioWMAStream.
#pragma once

#include "framework/core.h"
#include "framework/file.h"

#include <windows.h>
#include <objidl.h>
#include <wmsdkidl.h>

#include <string>

// Keeps the runtime loaded while at least one instance exists. Every WMA reader, writer and
// tag reader embeds one. Loading, counting and unloading run under one process-wide lock;
// a failed load is tried again by the next construction. Also initialises COM (multithreaded)
// on the constructing thread.
class CAudioWMABase
{
public:
    CAudioWMABase();
    virtual ~CAudioWMABase();
    CAudioWMABase(const CAudioWMABase&) = delete;
    CAudioWMABase& operator=(const CAudioWMABase&) = delete;

    BOOL IsLoaded() const;
    // The new object (the caller owns one reference), or null when the runtime or its entry
    // point is missing or the call fails.
    IWMSyncReader* CreateSyncReader();
    IWMWriter* CreateWriter();
    IWMMetadataEditor* CreateEditor();
    IWMProfileManager* CreateProfileManager();
};

// IStream over an open file (not owned), counting the bytes read and written since Attach.
// An instance embedded in another object is never deleted by Release.
class CAudioWMAStream : public IStream
{
public:
    // bOnHeap: Release deletes the stream when the count reaches 0.
    explicit CAudioWMAStream(bool bOnHeap = false);
    virtual ~CAudioWMAStream();
    CAudioWMAStream(const CAudioWMAStream&) = delete;
    CAudioWMAStream& operator=(const CAudioWMAStream&) = delete;

    void Attach(CFile* pFile);
    DWORD GetBytesRead() const { return m_nBytesRead; }
    DWORD GetBytesWritten() const { return m_nBytesWritten; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override;
    HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                                   ULARGE_INTEGER* plibNewPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    // E_INVALIDARG unless a record is given and the flag is STATFLAG_NONAME.
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    LONG m_nRefs = 1;
    CFile* m_pFile = nullptr;
    DWORD m_nBytesRead = 0;
    DWORD m_nBytesWritten = 0;
    bool m_bOnHeap;
};

// Text conversions between the system code page and UTF-16 for the runtime's wide strings.
std::wstring WmaToWide(const CString& strText);
// nChars -1: up to the terminator.
CString WmaFromWide(const wchar_t* pszText, int nChars = -1);
