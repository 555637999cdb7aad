// The four entry points of our wmvcore.dll and the GUID definitions of the interfaces.
#include <initguid.h>

#include "runtime/wmvcore/editor.h"
#include "runtime/wmvcore/sync_reader.h"
#include "runtime/wmvcore/writer.h"

namespace {

// Creates nothing but answers how many system profiles exist; the rest is not supported.
class CProfileManager : public IWMProfileManager
{
public:
    virtual ~CProfileManager() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IWMProfileManager) {
            *ppv = static_cast<IWMProfileManager*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    WMV_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetSystemProfileCount(DWORD* pcProfiles) override
    {
        if (!pcProfiles)
            return E_POINTER;
        *pcProfiles = 7;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateEmptyProfile(WMT_VERSION, IWMProfile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadProfileByID(REFGUID, IWMProfile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadProfileByData(const WCHAR*, IWMProfile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveProfile(IWMProfile*, WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadSystemProfile(DWORD, IWMProfile**) override { return E_NOTIMPL; }
};

} // namespace

extern "C" {

__declspec(dllexport) HRESULT WINAPI WMCreateSyncReader(IUnknown*, DWORD, IWMSyncReader** ppReader)
{
    if (!ppReader)
        return E_POINTER;
    *ppReader = new CSyncReader();
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI WMCreateWriter(IUnknown*, IWMWriter** ppWriter)
{
    if (!ppWriter)
        return E_POINTER;
    *ppWriter = new CWriter();
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI WMCreateEditor(IWMMetadataEditor** ppEditor)
{
    if (!ppEditor)
        return E_POINTER;
    *ppEditor = new CMetadataEditor();
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI WMCreateProfileManager(IWMProfileManager** ppManager)
{
    if (!ppManager)
        return E_POINTER;
    *ppManager = new CProfileManager();
    return S_OK;
}

} // extern "C"
