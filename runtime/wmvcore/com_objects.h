// Small COM objects shared by the reader, writer and editor of our wmvcore.dll: the sample
// buffer and the media properties of an input or output.
// Classes here: CNSSBuffer, CMediaProps<I>, COutputProps, CInputProps.
#pragma once

#include <windows.h>
#include <mmreg.h>
#include <wmsdkidl.h>

#include "runtime/wmvcore/wmvcore_ids.h"

#include <cstdint>
#include <string>
#include <vector>

// Runtime result codes the callers rely on.
constexpr HRESULT kNoMoreSamples = static_cast<HRESULT>(0xC00D0BCF);
constexpr HRESULT kBufferTooSmall = static_cast<HRESULT>(0xC00D07D1);
constexpr HRESULT kNotFound = static_cast<HRESULT>(0xC00D07F0);
constexpr HRESULT kInvalidRequest = static_cast<HRESULT>(0xC00D002B);
constexpr HRESULT kInvalidInputFormat = static_cast<HRESULT>(0xC00D0BB8);
constexpr HRESULT kInvalidData = static_cast<HRESULT>(0xC00D002F);

// Interlocked reference count; deletes the object at 0.
#define WMV_REFCOUNT                                                                           \
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }        \
    ULONG STDMETHODCALLTYPE Release() override                                                 \
    {                                                                                          \
        LONG n = InterlockedDecrement(&m_refs);                                                \
        if (n == 0)                                                                            \
            delete this;                                                                       \
        return static_cast<ULONG>(n);                                                          \
    }                                                                                          \
    LONG m_refs = 1;

class CNSSBuffer : public INSSBuffer
{
public:
    explicit CNSSBuffer(DWORD capacity) : m_data(capacity) {}
    virtual ~CNSSBuffer() = default;
    CNSSBuffer(const CNSSBuffer&) = delete;
    CNSSBuffer& operator=(const CNSSBuffer&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    WMV_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetLength(DWORD* pdwLength) override;
    HRESULT STDMETHODCALLTYPE SetLength(DWORD dwLength) override;
    HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* pdwLength) override;
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** ppdwBuffer) override;
    HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** ppdwBuffer, DWORD* pdwLength) override;

    std::vector<BYTE> m_data;
    DWORD m_length = 0;
};

// A PCM audio media type: WM_MEDIA_TYPE plus its WAVEFORMATEX.
struct PcmMediaType {
    WM_MEDIA_TYPE mt{};
    std::vector<BYTE> format;

    static PcmMediaType Pcm(int channels, DWORD rate, int bits);
    // Copies a media type given by a caller; false for a missing or short format block.
    bool Assign(const WM_MEDIA_TYPE* src);
    // The WAVEFORMATEX fields (format block of at least 16 bytes), or null.
    const WAVEFORMATEX* Wave() const;
    // WM_MEDIA_TYPE then the format block, pbFormat pointing into the caller's block.
    HRESULT CopyOut(WM_MEDIA_TYPE* dst, DWORD* size) const;
};

// IWMMediaProps over one PcmMediaType, for both input and output interfaces.
template <class I> class CMediaProps : public I
{
public:
    explicit CMediaProps(PcmMediaType type) : m_type(std::move(type)) {}
    virtual ~CMediaProps() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IWMMediaProps || riid == __uuidof(I)) {
            *ppv = static_cast<I*>(this);
            this->AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    WMV_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetType(GUID* pguidType) override
    {
        if (!pguidType)
            return E_POINTER;
        *pguidType = WMMEDIATYPE_Audio;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaType(WM_MEDIA_TYPE* pType, DWORD* pcbType) override
    {
        return m_type.CopyOut(pType, pcbType);
    }
    HRESULT STDMETHODCALLTYPE SetMediaType(WM_MEDIA_TYPE* pType) override
    {
        return m_type.Assign(pType) ? S_OK : E_INVALIDARG;
    }

    PcmMediaType m_type;
};

class COutputProps : public CMediaProps<IWMOutputMediaProps>
{
public:
    using CMediaProps::CMediaProps;
    HRESULT STDMETHODCALLTYPE GetStreamGroupName(WCHAR*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionName(WCHAR*, WORD*) override { return E_NOTIMPL; }
};

class CInputProps : public CMediaProps<IWMInputMediaProps>
{
public:
    using CMediaProps::CMediaProps;
    HRESULT STDMETHODCALLTYPE GetConnectionName(WCHAR*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGroupName(WCHAR*, WORD*) override { return E_NOTIMPL; }
};
