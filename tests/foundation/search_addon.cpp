// A stand-in for the search add-on library: registering it creates its class key, and
// unregistering removes it, as the system's RegSvr32 asks.
#include "foundation/settings/app_cfg.h"

#include <windows.h>

namespace {
const char kClassKey[] = "CLSID\\" SONORIA_SEARCH_PROVIDER_CLSID;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer()
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &hKey, nullptr) != ERROR_SUCCESS)
        return E_FAIL;
    ::RegCloseKey(hKey);
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer()
{
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey);
    return S_OK;
}
