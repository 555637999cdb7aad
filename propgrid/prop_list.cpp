// EPropList: pages, the factory operations and child hosts.
#include "propgrid/prop_list.h"

#include "propgrid/numeric_property.h"
#include "propgrid/property_kinds.h"
#include "propgrid/textblock_property.h"

EPropListPage::~EPropListPage()
{
    for (auto& p : m_properties) // in the order added
        p.reset();
}

void EPropListPage::Append(EProperty* p)
{
    m_properties.emplace_back(p);
}

EPropList::~EPropList()
{
    Clear();
}

EProperty* EPropList::AddProperty(EProperty* p)
{
    if (p == nullptr)
        return nullptr;
    if (m_pages.empty()) {
        AddPage("Default", -1);
        m_bPagesExplicit = false;
    }
    p->SetParentHost(m_parentHosts.empty() ? nullptr : m_parentHosts.back());
    m_pages[m_nCurrentPage]->Append(p);
    return p;
}

// Each factory hands its property to AddProperty through the virtual table.
template <class T>
static T* Added(EPropList* list, T* p)
{
    list->AddProperty(p);
    return p;
}

EPropertyInt* EPropList::AddInt(IPropertyHost* pHost, const CString& sName, int* pProperty,
                                const CString& sUnit, bool bEnabled)
{
    return Added(this, new EPropertyInt(pHost, sName, pProperty, sUnit, bEnabled));
}

EPropertyFloat* EPropList::AddFloat(IPropertyHost* pHost, const CString& sName, float* pProperty,
                                    const CString& sUnit, bool bEnabled)
{
    return Added(this, new EPropertyFloat(pHost, sName, pProperty, sUnit, bEnabled));
}

EPropertyDouble* EPropList::AddDouble(IPropertyHost* pHost, const CString& sName,
                                      double* pProperty, const CString& sUnit, bool bEnabled)
{
    return Added(this, new EPropertyDouble(pHost, sName, pProperty, sUnit, bEnabled));
}

EPropertyCheck* EPropList::AddCheck(IPropertyHost* pHost, const CString& sName, bool* pProperty)
{
    return Added(this, new EPropertyCheck(pHost, sName, pProperty));
}

EPropertyString* EPropList::AddString(IPropertyHost* pHost, const CString& sName,
                                      CString* pProperty, bool bEnabled)
{
    return Added(this, new EPropertyString(pHost, sName, pProperty, bEnabled));
}

EPropertyCharString* EPropList::AddCharString(IPropertyHost* pHost, const CString& sName,
                                              char* pProperty, int nLength)
{
    return Added(this, new EPropertyCharString(pHost, sName, pProperty, nLength));
}

EPropertyFont* EPropList::AddFont(IPropertyHost* pHost, const CString& sName, CFont* pProperty)
{
    return Added(this, new EPropertyFont(pHost, sName, pProperty));
}

EPropertyColor* EPropList::AddColor(IPropertyHost* pHost, const CString& sName,
                                    COLORREF* pProperty, bool bEnabled)
{
    return Added(this, new EPropertyColor(pHost, sName, pProperty, bEnabled));
}

EPropertyTextblock* EPropList::AddTextblock(IPropertyHost* pHost, const CString& sName,
                                            CString* pProperty, bool bEnabled)
{
    return Added(this, new EPropertyTextblock(pHost, sName, pProperty, bEnabled));
}

EPropertyCombo* EPropList::AddCombo(IPropertyHost* pHost, const CString& sName, int* pProperty)
{
    return Added(this, new EPropertyCombo(pHost, sName, pProperty));
}

EPropertyFile* EPropList::AddFile(IPropertyHost* pHost, const CString& sName, CString* pProperty,
                                  const CString& sFilter)
{
    return Added(this, new EPropertyFile(pHost, sName, pProperty, sFilter));
}

EPropertyDir* EPropList::AddDir(IPropertyHost* pHost, const CString& sName, CString* pProperty)
{
    return Added(this, new EPropertyDir(pHost, sName, pProperty));
}

EPropertySystemTime* EPropList::AddSystemTime(IPropertyHost* pHost, const CString& sName,
                                              SYSTEMTIME* pProperty)
{
    return Added(this, new EPropertySystemTime(pHost, sName, pProperty));
}

EPropertyAngle* EPropList::AddAngle(IPropertyHost* pHost, const CString& sName,
                                    double* pProperty, int* pStyle, bool bEnabled)
{
    return Added(this, new EPropertyAngle(pHost, sName, pProperty, pStyle, bEnabled));
}

EPropertyIP* EPropList::AddIP(IPropertyHost* pHost, const CString& sName, DWORD* pProperty,
                              bool bEnabled)
{
    return Added(this, new EPropertyIP(pHost, sName, pProperty, bEnabled));
}

EPropertySeparator* EPropList::AddSeparator(IPropertyHost* pHost, const CString& sName)
{
    return Added(this, new EPropertySeparator(pHost, sName));
}

void EPropList::AddNamedChildHost(IPropertyHost* pParent, const CString&, IPropertyHost* pChild)
{
    AddChildHost(pParent, pChild);
}

void EPropList::AddChildHost(IPropertyHost* pParent, IPropertyHost* pChild)
{
    if (pParent == nullptr || pChild == nullptr)
        return;
    m_parentHosts.push_back(pParent);
    pChild->FillProperties(this);
    m_parentHosts.pop_back();
}

void EPropList::AddPage(const CString& sName, int nData)
{
    m_pages.push_back(std::make_unique<EPropListPage>(sName, nData));
    m_bPagesExplicit = true;
    m_nCurrentPage = static_cast<int>(m_pages.size()) - 1;
}

void EPropList::SetCurrentPage(int nIndex)
{
    int n = GetPageCount();
    if (n == 0) {
        m_nCurrentPage = -1;
        return;
    }
    int r = nIndex % n;
    m_nCurrentPage = r < 0 ? r + n : r;
}

int EPropList::GetCurrentPageCount() const
{
    EPropListPage* page = GetCurrentPage();
    return page != nullptr ? page->GetPropertyCount() : 0;
}

EProperty* EPropList::GetCurrentPageProperty(int nIndex) const
{
    int n = GetCurrentPageCount();
    if (n == 0)
        return nullptr;
    int r = nIndex % n;
    return GetCurrentPage()->GetProperty(r < 0 ? r + n : r);
}

void EPropList::Clear()
{
    for (auto& page : m_pages) // in page order
        page.reset();
    m_pages.clear();
    m_nCurrentPage = -1;
    m_bPagesExplicit = false;
    m_sDefaultComment.Empty();
}
