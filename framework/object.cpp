// CObject run-time class information and the debug assertion helpers.
#include "framework/object.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
const CClassRegistration* g_pFirstClass = nullptr;
}

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};
static const CClassRegistration _sonoriaClassReg_CObject(RUNTIME_CLASS(CObject));

CClassRegistration::CClassRegistration(const CRuntimeClass* pClass)
    : m_pClass(pClass), m_pNext(g_pFirstClass)
{
    g_pFirstClass = this;
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    for (const CClassRegistration* r = g_pFirstClass; r; r = r->m_pNext) {
        if (std::strcmp(r->m_pClass->m_lpszClassName, lpszClassName) == 0)
            return const_cast<CRuntimeClass*>(r->m_pClass);
    }
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR lpszClassName)
{
    const CRuntimeClass* p = FromName(lpszClassName);
    return p ? p->CreateObject() : nullptr;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

void AfxAssertFailedLine(const char* file, int line)
{
    std::fprintf(stderr, "Assertion failed: %s(%d)\n", file, line);
    std::abort();
}

void AfxAssertValidObject(const CObject* obj, const char* file, int line)
{
    if (!obj)
        AfxAssertFailedLine(file, line);
    obj->AssertValid();
}
