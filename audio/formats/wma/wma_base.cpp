// Loading the Windows Media Format runtime, and the IStream the WMA reader gives it.
#include "audio/formats/wma/wma_base.h"

#include "framework/codepage.h"

#include <mutex>

namespace {

using CreateSyncReaderFn = HRESULT(WINAPI*)(IUnknown*, DWORD, IWMSyncReader**);
using CreateWriterFn = HRESULT(WINAPI*)(IUnknown*, IWMWriter**);
using CreateEditorFn = HRESULT(WINAPI*)(IWMMetadataEditor**);
using CreateProfileManagerFn = HRESULT(WINAPI*)(IWMProfileManager**);

// Process-wide runtime state, guarded by g_lock.
struct Runtime {
    LONG refs = 0;
    HMODULE module = nullptr;
    CreateSyncReaderFn createSyncReader = nullptr;
    CreateWriterFn createWriter = nullptr;
    CreateEditorFn createEditor = nullptr;
    CreateProfileManagerFn createProfileManager = nullptr;
};
std::mutex g_lock;
Runtime g_runtime;

template <typename Fn> Fn Lookup(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

CAudioWMABase::CAudioWMABase()
{
    {
        std::lock_guard<std::mutex> guard(g_lock);
        ++g_runtime.refs;
        if (!g_runtime.module) {
            g_runtime.module = LoadLibraryA("wmvcore.dll");
            if (g_runtime.module) {
                HMODULE m = g_runtime.module;
                g_runtime.createSyncReader = Lookup<CreateSyncReaderFn>(m, "WMCreateSyncReader");
                g_runtime.createWriter = Lookup<CreateWriterFn>(m, "WMCreateWriter");
                g_runtime.createEditor = Lookup<CreateEditorFn>(m, "WMCreateEditor");
                g_runtime.createProfileManager =
                    Lookup<CreateProfileManagerFn>(m, "WMCreateProfileManager");
            }
        }
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
}

CAudioWMABase::~CAudioWMABase()
{
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_runtime.refs <= 0)
        return;
    if (--g_runtime.refs == 0 && g_runtime.module) {
        FreeLibrary(g_runtime.module);
        g_runtime = Runtime();
    }
}

BOOL CAudioWMABase::IsLoaded() const
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_runtime.module != nullptr;
}

IWMSyncReader* CAudioWMABase::CreateSyncReader()
{
    std::lock_guard<std::mutex> guard(g_lock);
    IWMSyncReader* p = nullptr;
    if (!g_runtime.createSyncReader || FAILED(g_runtime.createSyncReader(nullptr, 0, &p)))
        return nullptr;
    return p;
}

IWMWriter* CAudioWMABase::CreateWriter()
{
    std::lock_guard<std::mutex> guard(g_lock);
    IWMWriter* p = nullptr;
    if (!g_runtime.createWriter || FAILED(g_runtime.createWriter(nullptr, &p)))
        return nullptr;
    return p;
}

IWMMetadataEditor* CAudioWMABase::CreateEditor()
{
    std::lock_guard<std::mutex> guard(g_lock);
    IWMMetadataEditor* p = nullptr;
    if (!g_runtime.createEditor || FAILED(g_runtime.createEditor(&p)))
        return nullptr;
    return p;
}

IWMProfileManager* CAudioWMABase::CreateProfileManager()
{
    std::lock_guard<std::mutex> guard(g_lock);
    IWMProfileManager* p = nullptr;
    if (!g_runtime.createProfileManager || FAILED(g_runtime.createProfileManager(&p)))
        return nullptr;
    return p;
}

CAudioWMAStream::CAudioWMAStream(bool bOnHeap) : m_bOnHeap(bOnHeap) {}

CAudioWMAStream::~CAudioWMAStream() = default;

void CAudioWMAStream::Attach(CFile* pFile)
{
    m_pFile = pFile;
    m_nBytesRead = 0;
    m_nBytesWritten = 0;
}

HRESULT STDMETHODCALLTYPE CAudioWMAStream::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IStream) {
        *ppv = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CAudioWMAStream::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
}

ULONG STDMETHODCALLTYPE CAudioWMAStream::Release()
{
    LONG n = InterlockedDecrement(&m_nRefs);
    if (n == 0 && m_bOnHeap)
        delete this;
    return static_cast<ULONG>(n);
}

HRESULT STDMETHODCALLTYPE CAudioWMAStream::Read(void* pv, ULONG cb, ULONG* pcbRead)
{
    if (!m_pFile)
        return E_UNEXPECTED;
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(*m_pFile), pv, cb, &got, nullptr))
        return HRESULT_FROM_WIN32(GetLastError());
    if (pcbRead)
        *pcbRead = got;
    m_nBytesRead += got;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAudioWMAStream::Write(const void* pv, ULONG cb, ULONG* pcbWritten)
{
    if (!m_pFile)
        return E_UNEXPECTED;
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(*m_pFile), pv, cb, &written, nullptr))
        return HRESULT_FROM_WIN32(GetLastError());
    if (pcbWritten)
        *pcbWritten = cb;
    m_nBytesWritten += cb;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAudioWMAStream::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                                                ULARGE_INTEGER* plibNewPosition)
{
    if (!m_pFile)
        return E_UNEXPECTED;
    if (dwOrigin > STREAM_SEEK_END)
        return E_INVALIDARG;
    static const DWORD kMethod[3] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER pos{};
    if (!SetFilePointerEx(static_cast<HANDLE>(*m_pFile), dlibMove, &pos, kMethod[dwOrigin]))
        return HRESULT_FROM_WIN32(GetLastError());
    if (plibNewPosition)
        plibNewPosition->QuadPart = static_cast<ULONGLONG>(pos.QuadPart);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAudioWMAStream::Stat(STATSTG* pstatstg, DWORD grfStatFlag)
{
    if (!pstatstg || grfStatFlag != STATFLAG_NONAME || !m_pFile)
        return E_INVALIDARG;
    ZeroMemory(pstatstg, sizeof(*pstatstg));
    pstatstg->type = STGTY_STREAM;
    LARGE_INTEGER size{};
    GetFileSizeEx(static_cast<HANDLE>(*m_pFile), &size);
    pstatstg->cbSize.QuadPart = static_cast<ULONGLONG>(size.QuadPart);
    return S_OK;
}

std::wstring WmaToWide(const CString& strText)
{
    std::u16string units = SystemToUtf16(strText);
    return std::wstring(units.begin(), units.end());
}

CString WmaFromWide(const wchar_t* pszText, int nChars)
{
    if (!pszText)
        return CString();
    if (nChars < 0)
        nChars = static_cast<int>(wcslen(pszText));
    // wchar_t is a UTF-16 unit on Windows.
    return Utf16ToSystem(reinterpret_cast<const char16_t*>(pszText), static_cast<size_t>(nChars));
}
