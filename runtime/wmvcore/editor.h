// CMetadataEditor: IWMMetadataEditor with IWMHeaderInfo of our wmvcore.dll; reads the
// attributes of an ASF file's header (read only: Flush is not supported).
#pragma once

#include "runtime/wmvcore/writer.h"

class CMetadataEditor : public IWMMetadataEditor, public IWMHeaderInfo
{
public:
    CMetadataEditor() = default;
    virtual ~CMetadataEditor() = default;
    CMetadataEditor(const CMetadataEditor&) = delete;
    CMetadataEditor& operator=(const CMetadataEditor&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    WMV_REFCOUNT

    HRESULT STDMETHODCALLTYPE Open(const WCHAR* pwszFilename) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE Flush() override { return E_NOTIMPL; }

    // "WM/Picture" is stored packed and handed out as a WmPicture whose pointers lead into
    // the caller's buffer.
    HRESULT STDMETHODCALLTYPE GetAttributeByName(WORD* stream_num, LPCWSTR name,
                                                 WMT_ATTR_DATATYPE* type, BYTE* value,
                                                 WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetAttribute(WORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override { return E_NOTIMPL; }
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
    bool m_open = false;
    CAttributeTable m_table;
};
