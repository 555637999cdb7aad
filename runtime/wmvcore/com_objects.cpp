// The sample buffer and PCM media types of our wmvcore.dll.
#include "runtime/wmvcore/com_objects.h"

#include <cstring>

HRESULT STDMETHODCALLTYPE CNSSBuffer::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_INSSBuffer) {
        *ppv = static_cast<INSSBuffer*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CNSSBuffer::GetLength(DWORD* pdwLength)
{
    if (!pdwLength)
        return E_POINTER;
    *pdwLength = m_length;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNSSBuffer::SetLength(DWORD dwLength)
{
    if (dwLength > m_data.size())
        return E_INVALIDARG;
    m_length = dwLength;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNSSBuffer::GetMaxLength(DWORD* pdwLength)
{
    if (!pdwLength)
        return E_POINTER;
    *pdwLength = static_cast<DWORD>(m_data.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNSSBuffer::GetBuffer(BYTE** ppdwBuffer)
{
    if (!ppdwBuffer)
        return E_POINTER;
    *ppdwBuffer = m_data.data();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CNSSBuffer::GetBufferAndLength(BYTE** ppdwBuffer, DWORD* pdwLength)
{
    if (!ppdwBuffer || !pdwLength)
        return E_POINTER;
    *ppdwBuffer = m_data.data();
    *pdwLength = m_length;
    return S_OK;
}

PcmMediaType PcmMediaType::Pcm(int channels, DWORD rate, int bits)
{
    PcmMediaType t;
    t.mt.majortype = WMMEDIATYPE_Audio;
    t.mt.subtype = WMMEDIASUBTYPE_PCM;
    t.mt.bFixedSizeSamples = TRUE;
    t.mt.lSampleSize = static_cast<ULONG>(channels * bits / 8);
    t.mt.formattype = kWmFormatWaveFormatEx;
    t.format.assign(sizeof(WAVEFORMATEX), 0);
    auto* w = reinterpret_cast<WAVEFORMATEX*>(t.format.data());
    w->wFormatTag = WAVE_FORMAT_PCM;
    w->nChannels = static_cast<WORD>(channels);
    w->nSamplesPerSec = rate;
    w->wBitsPerSample = static_cast<WORD>(bits);
    w->nBlockAlign = static_cast<WORD>(channels * bits / 8);
    w->nAvgBytesPerSec = w->nBlockAlign * rate;
    w->cbSize = 0;
    t.mt.cbFormat = static_cast<ULONG>(t.format.size());
    return t;
}

bool PcmMediaType::Assign(const WM_MEDIA_TYPE* src)
{
    if (!src || !src->pbFormat || src->cbFormat < 16 || src->cbFormat > 65536)
        return false;
    mt = *src;
    format.assign(src->pbFormat, src->pbFormat + src->cbFormat);
    mt.pbFormat = nullptr;
    mt.pUnk = nullptr;
    return true;
}

const WAVEFORMATEX* PcmMediaType::Wave() const
{
    if (format.size() < 16 || mt.formattype != kWmFormatWaveFormatEx)
        return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(format.data());
}

HRESULT PcmMediaType::CopyOut(WM_MEDIA_TYPE* dst, DWORD* size) const
{
    if (!size)
        return E_POINTER;
    const DWORD needed = static_cast<DWORD>(sizeof(WM_MEDIA_TYPE) + format.size());
    if (!dst) {
        *size = needed;
        return S_OK;
    }
    if (*size < needed) {
        *size = needed;
        return kBufferTooSmall;
    }
    *dst = mt;
    dst->pUnk = nullptr;
    dst->cbFormat = static_cast<ULONG>(format.size());
    dst->pbFormat = reinterpret_cast<BYTE*>(dst + 1);
    std::memcpy(dst->pbFormat, format.data(), format.size());
    *size = needed;
    return S_OK;
}
