// EPropList: the pages and typed properties a host fills; the list owns every property.
// Classes here: EPropListPage, EPropList.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/ui.h"
#include "propgrid/prop_host.h"
#include "propgrid/property.h"

class EProperty;
class EPropertyInt;
class EPropertyFloat;
class EPropertyDouble;
class EPropertyCheck;
class EPropertyString;
class EPropertyCharString;
class EPropertyFont;
class EPropertyColor;
class EPropertyTextblock;
class EPropertyCombo;
class EPropertyFile;
class EPropertyDir;
class EPropertySystemTime;
class EPropertyAngle;
class EPropertyIP;
class EPropertySeparator;

class EPropListPage {
public:
    EPropListPage(const CString& sName, int nData) : m_sName(sName), m_nData(nData) {}
    ~EPropListPage();
    const CString& GetName() const { return m_sName; }
    int GetData() const { return m_nData; }
    int GetPropertyCount() const { return static_cast<int>(m_properties.size()); }
    EProperty* GetProperty(int i) const { return m_properties[i].get(); }
    void Append(EProperty* p);

private:
    CString m_sName;
    int m_nData; // tab image index, -1 for none
    std::vector<std::unique_ptr<EProperty>> m_properties;
};

class EPropList {
public:
    EPropList() = default;
    EPropList(const EPropList&) = delete;
    EPropList& operator=(const EPropList&) = delete;
    virtual ~EPropList();

    // Takes ownership of p and appends it to the current page (a page "Default" is made
    // when there is none). Every Add below goes through here.
    virtual EProperty* AddProperty(EProperty* p);
    virtual EPropertyInt* AddInt(IPropertyHost* pHost, const CString& sName, int* pProperty,
                                 const CString& sUnit = "", bool bEnabled = true);
    virtual EPropertyFloat* AddFloat(IPropertyHost* pHost, const CString& sName, float* pProperty,
                                     const CString& sUnit = "", bool bEnabled = true);
    virtual EPropertyDouble* AddDouble(IPropertyHost* pHost, const CString& sName,
                                       double* pProperty, const CString& sUnit = "",
                                       bool bEnabled = true);
    virtual EPropertyCheck* AddCheck(IPropertyHost* pHost, const CString& sName, bool* pProperty);
    virtual EPropertyString* AddString(IPropertyHost* pHost, const CString& sName,
                                       CString* pProperty, bool bEnabled = true);
    virtual EPropertyCharString* AddCharString(IPropertyHost* pHost, const CString& sName,
                                               char* pProperty, int nLength);
    virtual EPropertyFont* AddFont(IPropertyHost* pHost, const CString& sName, CFont* pProperty);
    virtual EPropertyColor* AddColor(IPropertyHost* pHost, const CString& sName,
                                     COLORREF* pProperty, bool bEnabled = true);
    virtual EPropertyTextblock* AddTextblock(IPropertyHost* pHost, const CString& sName,
                                             CString* pProperty, bool bEnabled = true);
    virtual EPropertyCombo* AddCombo(IPropertyHost* pHost, const CString& sName, int* pProperty);
    virtual EPropertyFile* AddFile(IPropertyHost* pHost, const CString& sName, CString* pProperty,
                                   const CString& sFilter);
    virtual EPropertyDir* AddDir(IPropertyHost* pHost, const CString& sName, CString* pProperty);
    virtual EPropertySystemTime* AddSystemTime(IPropertyHost* pHost, const CString& sName,
                                               SYSTEMTIME* pProperty);
    virtual EPropertyAngle* AddAngle(IPropertyHost* pHost, const CString& sName,
                                     double* pProperty, int* pStyle = nullptr,
                                     bool bEnabled = true);
    virtual EPropertyIP* AddIP(IPropertyHost* pHost, const CString& sName, DWORD* pProperty,
                               bool bEnabled = true);
    virtual EPropertySeparator* AddSeparator(IPropertyHost* pHost, const CString& sName);
    // Fills child's properties into this list with parent recorded in each (the name is not
    // shown). Nothing happens when either host is null.
    virtual void AddNamedChildHost(IPropertyHost* pParent, const CString& sName,
                                   IPropertyHost* pChild);
    virtual void AddChildHost(IPropertyHost* pParent, IPropertyHost* pChild);
    virtual void AddPage(const CString& sName, int nData = -1);
    virtual void SetDefaultComment(const CString& sComment) { m_sDefaultComment = sComment; }

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    EPropListPage* GetPage(int i) const { return m_pages[i].get(); }
    int GetCurrentPageIndex() const { return m_nCurrentPage; }
    EPropListPage* GetCurrentPage() const
    {
        return m_nCurrentPage >= 0 ? m_pages[m_nCurrentPage].get() : nullptr;
    }
    // Index taken modulo the page count (negative remainders wrap); -1 without pages.
    void SetCurrentPage(int nIndex);
    bool ArePagesExplicit() const { return m_bPagesExplicit; }
    int GetCurrentPageCount() const;
    // Index taken modulo the current page's property count; null without properties.
    EProperty* GetCurrentPageProperty(int nIndex) const;
    const CString& GetDefaultComment() const { return m_sDefaultComment; }
    size_t GetParentHostDepth() const { return m_parentHosts.size(); }
    void Clear();

private:
    int m_nCurrentPage = -1;
    std::vector<std::unique_ptr<EPropListPage>> m_pages;
    bool m_bPagesExplicit = false;
    std::vector<IPropertyHost*> m_parentHosts;
    CString m_sDefaultComment;
};
