// CObject, the common base with run-time class information, and the diagnostic macros.
// Classes here: CRuntimeClass, CObject, CClassRegistration.
// Macros here: DECLARE_/IMPLEMENT_DYNAMIC, _DYNCREATE, _SERIAL, RUNTIME_CLASS, ASSERT, VERIFY,
// ASSERT_VALID, ASSERT_KINDOF, DEBUG_ONLY, TRACE, DYNAMIC_DOWNCAST, STATIC_DOWNCAST.
#pragma once

#include "framework/wintypes.h"

class CObject;
class CArchive;

// Diagnostics are active in debug builds only. TRACE never prints: the program has no debug output.
#if defined(_DEBUG) || !defined(NDEBUG)
#define SONORIA_FW_DEBUG 1
#endif

[[noreturn]] void AfxAssertFailedLine(const char* file, int line);
void AfxAssertValidObject(const CObject* obj, const char* file, int line);

#ifdef SONORIA_FW_DEBUG
#define ASSERT(f) ((f) ? static_cast<void>(0) : AfxAssertFailedLine(__FILE__, __LINE__))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(p) AfxAssertValidObject(p, __FILE__, __LINE__)
#define DEBUG_ONLY(f) (f)
#else
#define ASSERT(f) static_cast<void>(0)
#define VERIFY(f) static_cast<void>(f)
#define ASSERT_VALID(p) static_cast<void>(0)
#define DEBUG_ONLY(f) static_cast<void>(0)
#endif
#define ASSERT_KINDOF(class_name, obj) ASSERT((obj)->IsKindOf(RUNTIME_CLASS(class_name)))
#define TRACE(...) static_cast<void>(0)
#define TRACE0(s) static_cast<void>(0)
#define TRACE1(s, a) static_cast<void>(0)
#define TRACE2(s, a, b) static_cast<void>(0)
#define TRACE3(s, a, b, c) static_cast<void>(0)

// One per class with DECLARE_DYNAMIC and its kin; a constant, laid down at compile time.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                  // 0xFFFF for classes that are not serialisable
    CObject* (*m_pfnCreateObject)(); // null unless DECLARE_DYNCREATE
    CRuntimeClass* m_pBaseClass;     // null for CObject only

    // A new object of this class on the heap (caller owns it), or null when not creatable.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Looks a class up by name among those declared with IMPLEMENT_* and linked into the program.
    static CRuntimeClass* FromName(LPCSTR lpszClassName);
    static CObject* CreateObject(LPCSTR lpszClassName);
};

// Links a run-time class into the by-name list at static initialisation; no allocation.
struct CClassRegistration {
    explicit CClassRegistration(const CRuntimeClass* pClass);
    const CRuntimeClass* m_pClass;
    const CClassRegistration* m_pNext;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

// obj as a class_name*, or null when obj is null or of another class.
#define DYNAMIC_DOWNCAST(class_name, obj)                                                          \
    (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), (obj))))
// obj as a class_name*; debug builds assert that it is one.
#define STATIC_DOWNCAST(class_name, obj)                                                           \
    (static_cast<class_name*>(AfxStaticDownCast(RUNTIME_CLASS(class_name), (obj))))

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static const CRuntimeClass class##class_name;                                                  \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();

// Serialisable classes are creatable classes with a schema number.
#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                       \
    const CRuntimeClass class_name::class##class_name = {                                          \
        #class_name, static_cast<int>(sizeof(class_name)), wSchema, pfnNew,                        \
        RUNTIME_CLASS(base_class_name)};                                                           \
    CRuntimeClass* class_name::GetRuntimeClass() const                                             \
    {                                                                                              \
        return RUNTIME_CLASS(class_name);                                                          \
    }                                                                                              \
    static const CClassRegistration _sonoriaClassReg_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* class_name::CreateObject()                                                            \
    {                                                                                              \
        return new class_name;                                                                     \
    }                                                                                              \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                     \
    CObject* class_name::CreateObject()                                                            \
    {                                                                                              \
        return new class_name;                                                                     \
    }                                                                                              \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)

class CObject
{
public:
    static const CRuntimeClass classCObject;

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    // Reads or writes the object through an archive; the base does nothing.
    virtual void Serialize(CArchive& ar);
    // Checks the object's invariants (debug builds call it through ASSERT_VALID).
    virtual void AssertValid() const;

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};

inline CObject* AfxDynamicDownCast(const CRuntimeClass* pClass, CObject* pObject)
{
    return pObject && pObject->IsKindOf(pClass) ? pObject : nullptr;
}

inline CObject* AfxStaticDownCast(const CRuntimeClass* pClass, CObject* pObject)
{
    ASSERT(!pObject || pObject->IsKindOf(pClass));
    return pObject;
}
