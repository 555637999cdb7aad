// CWriter: IWMWriter (with IWMHeaderInfo for the file's attributes) of our wmvcore.dll.
// Encodes 16-bit PCM with one of the seven audio system profiles into an ASF file.
#pragma once

#include "runtime/wmvcore/asf_format.h"
#include "runtime/wmvcore/com_objects.h"
#include "runtime/wmvcore/wma_codec.h"

#include <memory>

// Attribute storage and lookup shared by the writer and the metadata editor.
class CAttributeTable
{
public:
    HRESULT Get(LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length) const;
    HRESULT Set(LPCWSTR name, WMT_ATTR_DATATYPE type, const BYTE* value, WORD length);
    std::vector<asf::Attribute> m_attributes;
};

class CWriter : public IWMWriter, public IWMHeaderInfo
{
public:
    CWriter() = default;
    virtual ~CWriter();
    CWriter(const CWriter&) = delete;
    CWriter& operator=(const CWriter&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    WMV_REFCOUNT

    HRESULT STDMETHODCALLTYPE SetProfileByID(REFGUID guidProfile) override;
    HRESULT STDMETHODCALLTYPE SetOutputFilename(const WCHAR* pwszFilename) override;
    HRESULT STDMETHODCALLTYPE GetInputCount(DWORD* pcInputs) override;
    HRESULT STDMETHODCALLTYPE GetInputProps(DWORD dwInputNum, IWMInputMediaProps** ppInput) override;
    HRESULT STDMETHODCALLTYPE SetInputProps(DWORD dwInputNum, IWMInputMediaProps* pInput) override;
    HRESULT STDMETHODCALLTYPE BeginWriting() override;
    HRESULT STDMETHODCALLTYPE EndWriting() override;
    HRESULT STDMETHODCALLTYPE AllocateSample(DWORD dwSampleSize, INSSBuffer** ppSample) override;
    HRESULT STDMETHODCALLTYPE WriteSample(DWORD dwInputNum, QWORD cnsSampleTime, DWORD dwFlags,
                                          INSSBuffer* pSample) override;
    HRESULT STDMETHODCALLTYPE Flush() override;
    HRESULT STDMETHODCALLTYPE SetProfile(IWMProfile*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInputFormatCount(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInputFormat(DWORD, DWORD, IWMInputMediaProps**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetAttributeByName(WORD* stream_num, LPCWSTR name,
                                                 WMT_ATTR_DATATYPE* type, BYTE* value,
                                                 WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetAttribute(WORD stream_num, LPCWSTR name, WMT_ATTR_DATATYPE type,
                                           const BYTE* value, WORD length) override;
    HRESULT STDMETHODCALLTYPE GetAttributeCount(WORD, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributeByIndex(WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*, BYTE*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMarkerCount(WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMarker(WORD, WCHAR*, WORD*, QWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddMarker(LPCWSTR_WMSDK_TYPE_SAFE, QWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveMarker(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetScriptCount(WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetScript(WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddScript(LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE, QWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveScript(WORD) override { return E_NOTIMPL; }

private:
    bool WritePackets();
    // False on a failed or short write, with its cause kept for WriteError().
    bool WriteBytes(const void* data, size_t size);
    // The cause of the last failed write as an HRESULT (E_FAIL when none is known).
    HRESULT WriteError() const;
    void CloseFile();

    int m_profileChannels = 0; // 0 until a profile is set
    int m_bitrate = 0;
    PcmMediaType m_input;
    std::wstring m_path;
    CAttributeTable m_table;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HRESULT m_writeError = S_OK;
    std::unique_ptr<CWmaEncoder> m_encoder;
    asf::Header m_header;
    uint64_t m_objects = 0; // media objects written
};
