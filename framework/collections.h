// Collections: growable arrays, doubly linked lists walked by POSITION, and hash maps.
// Classes here: CArray, CObArray, CPtrArray, CByteArray, CWordArray, CDWordArray, CUIntArray,
// CStringArray, CTypedPtrArray; CList, CObList, CPtrList, CStringList, CTypedPtrList;
// CMap, CMapStringToString, CMapStringToPtr, CMapStringToOb, CMapPtrToPtr, CMapWordToPtr,
// CTypedPtrMap. The pointer collections never own what they point to.
#pragma once

#include "framework/object.h"
#include "framework/strings.h"

#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

// Opaque iterator of lists and maps; null means "no more".
struct SonoriaPositionTag;
typedef SonoriaPositionTag* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(static_cast<INT_PTR>(-1)))

// ---------------------------------------------------------------------------------------------
// CArray: indices run from 0 to GetUpperBound(); new elements are value-initialised (zero for
// plain types). An index out of range asserts in debug builds.

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject
{
public:
    CArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    // nGrowBy is accepted for compatibility; growth is geometric.
    void SetSize(INT_PTR nNewSize, INT_PTR /*nGrowBy*/ = -1)
    {
        ASSERT(nNewSize >= 0);
        m_data.resize(static_cast<size_t>(nNewSize > 0 ? nNewSize : 0));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[Checked(nIndex)] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    const TYPE& operator[](INT_PTR nIndex) const { return ElementAt(nIndex); }
    // Null when empty; valid until the size changes.
    TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }
    const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }

    // Grows the array (value-initialising the gap) when nIndex is past the end.
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        ASSERT(nIndex >= 0);
        if (nIndex < 0)
            return;
        if (nIndex >= GetSize()) {
            TYPE keep(newElement); // newElement may live in this array
            m_data.resize(static_cast<size_t>(nIndex) + 1);
            m_data[static_cast<size_t>(nIndex)] = std::move(keep);
        } else {
            m_data[static_cast<size_t>(nIndex)] = newElement;
        }
    }
    INT_PTR Add(ARG_TYPE newElement)
    {
        m_data.push_back(newElement);
        return GetUpperBound();
    }
    // Returns the index of the first appended element.
    INT_PTR Append(const CArray& src)
    {
        const INT_PTR old = GetSize();
        if (&src == this) {
            const std::vector<TYPE> copy(src.m_data);
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return old;
    }
    void Copy(const CArray& src)
    {
        if (&src != this)
            m_data = src.m_data;
    }
    // Inserting past the end grows the array first, as SetAtGrow does.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0);
        if (nIndex < 0 || nCount <= 0)
            return;
        TYPE keep(newElement);
        if (nIndex > GetSize())
            m_data.resize(static_cast<size_t>(nIndex));
        m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), keep);
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
    {
        ASSERT(pNewArray && nStartIndex >= 0);
        if (!pNewArray || nStartIndex < 0 || pNewArray->IsEmpty())
            return;
        const std::vector<TYPE> copy(pNewArray->m_data);
        if (nStartIndex > GetSize())
            m_data.resize(static_cast<size_t>(nStartIndex));
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    // Removes up to nCount elements from nIndex; a range past the end is cut short.
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
        if (nIndex < 0 || nIndex >= GetSize() || nCount <= 0)
            return;
        const INT_PTR end = nIndex + nCount < GetSize() ? nIndex + nCount : GetSize();
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + end);
    }

private:
    size_t Checked(INT_PTR nIndex) const
    {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        return static_cast<size_t>(nIndex);
    }

    std::vector<TYPE> m_data;
};

#define SONORIA_ARRAY_CLASS(class_name, TYPE, ARG_TYPE)                                            \
    class class_name : public CArray<TYPE, ARG_TYPE>                                               \
    {                                                                                              \
        DECLARE_DYNAMIC(class_name)                                                                \
    };

SONORIA_ARRAY_CLASS(CObArray, CObject*, CObject*)
SONORIA_ARRAY_CLASS(CPtrArray, void*, void*)
SONORIA_ARRAY_CLASS(CByteArray, BYTE, BYTE)
SONORIA_ARRAY_CLASS(CWordArray, WORD, WORD)
SONORIA_ARRAY_CLASS(CDWordArray, DWORD, DWORD)
SONORIA_ARRAY_CLASS(CUIntArray, UINT, UINT)
SONORIA_ARRAY_CLASS(CStringArray, CString, const CString&)

// An array of typed pointers over CObArray or CPtrArray.
template <class BASE_CLASS, class TYPE> class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE& ElementAt(INT_PTR nIndex)
    {
        return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex));
    }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAtGrow(nIndex, ptr); }
    INT_PTR Add(TYPE ptr) { return BASE_CLASS::Add(ptr); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE ptr, INT_PTR nCount = 1)
    {
        BASE_CLASS::InsertAt(nIndex, ptr, nCount);
    }
    void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray)
    {
        BASE_CLASS::InsertAt(nStartIndex, pNewArray);
    }
    TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE_CLASS::GetData()); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
};

// ---------------------------------------------------------------------------------------------
// CList: a POSITION is a node; it stays valid until that node is removed.

template <class TYPE, class ARG_TYPE = const TYPE&> class CList : public CObject
{
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(INT_PTR /*nBlockSize*/ = 10) {}
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // The list must not be empty.
    TYPE& GetHead() { return Head()->data; }
    const TYPE& GetHead() const { return Head()->data; }
    TYPE& GetTail() { return Tail()->data; }
    const TYPE& GetTail() const { return Tail()->data; }
    TYPE RemoveHead()
    {
        TYPE v = GetHead();
        RemoveAt(Pos(m_pHead));
        return v;
    }
    TYPE RemoveTail()
    {
        TYPE v = GetTail();
        RemoveAt(Pos(m_pTail));
        return v;
    }

    POSITION AddHead(ARG_TYPE newElement)
    {
        return Pos(Link(new CNode{nullptr, nullptr, newElement}, nullptr, m_pHead));
    }
    POSITION AddTail(ARG_TYPE newElement)
    {
        return Pos(Link(new CNode{nullptr, nullptr, newElement}, m_pTail, nullptr));
    }
    void AddHead(const CList* pNewList)
    {
        // Walk backwards so the added elements keep their order in front.
        const std::vector<TYPE> items = Items(pNewList);
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            AddHead(*it);
    }
    void AddTail(const CList* pNewList)
    {
        for (const TYPE& v : Items(pNewList))
            AddTail(v);
    }
    void RemoveAll()
    {
        while (m_pHead) {
            CNode* next = m_pHead->pNext;
            delete m_pHead;
            m_pHead = next;
        }
        m_pTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return Pos(m_pHead); }
    POSITION GetTailPosition() const { return Pos(m_pTail); }
    // Return the element at rPosition and move it to the next (previous) node, null at the end.
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* p = Node(rPosition);
        rPosition = Pos(p->pNext);
        return p->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        CNode* p = Node(rPosition);
        rPosition = Pos(p->pNext);
        return p->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* p = Node(rPosition);
        rPosition = Pos(p->pPrev);
        return p->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        CNode* p = Node(rPosition);
        rPosition = Pos(p->pPrev);
        return p->data;
    }

    TYPE& GetAt(POSITION position) { return Node(position)->data; }
    const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
    void RemoveAt(POSITION position)
    {
        CNode* p = Node(position);
        (p->pPrev ? p->pPrev->pNext : m_pHead) = p->pNext;
        (p->pNext ? p->pNext->pPrev : m_pTail) = p->pPrev;
        delete p;
        --m_nCount;
    }
    // A null position inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        if (!position)
            return AddHead(newElement);
        CNode* at = Node(position);
        return Pos(Link(new CNode{nullptr, nullptr, newElement}, at->pPrev, at));
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        if (!position)
            return AddTail(newElement);
        CNode* at = Node(position);
        return Pos(Link(new CNode{nullptr, nullptr, newElement}, at, at->pNext));
    }

    // First match after startAfter (from the head when null); null when none.
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        for (CNode* p = startAfter ? Node(startAfter)->pNext : m_pHead; p; p = p->pNext) {
            if (p->data == searchValue)
                return Pos(p);
        }
        return nullptr;
    }
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* p = m_pHead;
        while (nIndex-- > 0)
            p = p->pNext;
        return Pos(p);
    }

private:
    static POSITION Pos(CNode* p) { return reinterpret_cast<POSITION>(p); }
    static CNode* Node(POSITION pos)
    {
        ASSERT(pos != nullptr);
        return reinterpret_cast<CNode*>(pos);
    }
    CNode* Head() const
    {
        ASSERT(m_pHead != nullptr);
        return m_pHead;
    }
    CNode* Tail() const
    {
        ASSERT(m_pTail != nullptr);
        return m_pTail;
    }
    static std::vector<TYPE> Items(const CList* pList)
    {
        std::vector<TYPE> items;
        for (CNode* p = pList ? pList->m_pHead : nullptr; p; p = p->pNext)
            items.push_back(p->data);
        return items;
    }
    CNode* Link(CNode* p, CNode* prev, CNode* next)
    {
        p->pPrev = prev;
        p->pNext = next;
        (prev ? prev->pNext : m_pHead) = p;
        (next ? next->pPrev : m_pTail) = p;
        ++m_nCount;
        return p;
    }

    CNode* m_pHead = nullptr;
    CNode* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
};

#define SONORIA_LIST_CLASS(class_name, TYPE, ARG_TYPE)                                             \
    class class_name : public CList<TYPE, ARG_TYPE>                                                \
    {                                                                                              \
    public:                                                                                        \
        explicit class_name(INT_PTR nBlockSize = 10) : CList<TYPE, ARG_TYPE>(nBlockSize) {}        \
        DECLARE_DYNAMIC(class_name)                                                                \
    };

SONORIA_LIST_CLASS(CObList, CObject*, CObject*)
SONORIA_LIST_CLASS(CPtrList, void*, void*)
SONORIA_LIST_CLASS(CStringList, CString, const CString&)

// A list of typed pointers over CObList or CPtrList.
template <class BASE_CLASS, class TYPE> class CTypedPtrList : public BASE_CLASS
{
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    TYPE GetNext(POSITION& rPosition) const
    {
        return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition));
    }
    TYPE GetPrev(POSITION& rPosition) const
    {
        return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition));
    }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    POSITION InsertBefore(POSITION position, TYPE newElement)
    {
        return BASE_CLASS::InsertBefore(position, newElement);
    }
    POSITION InsertAfter(POSITION position, TYPE newElement)
    {
        return BASE_CLASS::InsertAfter(position, newElement);
    }
    POSITION Find(TYPE searchValue, POSITION startAfter = nullptr) const
    {
        return BASE_CLASS::Find(searchValue, startAfter);
    }
};

// ---------------------------------------------------------------------------------------------
// CMap: a chained hash table. GetNextAssoc has already moved past the entry it returns, so the
// caller may remove that entry while walking; any other removal ends the walk.

// Hash of a key; specialise it for key types of your own.
template <class ARG_KEY> inline UINT HashKey(ARG_KEY key)
{
    using K = std::remove_cv_t<std::remove_reference_t<ARG_KEY>>;
    if constexpr (std::is_same_v<K, CString> || std::is_same_v<K, const char*> ||
                  std::is_same_v<K, char*>) {
        const char* s = key;
        UINT h = 0;
        for (; s && *s; ++s)
            h = (h << 5) + h + static_cast<unsigned char>(*s);
        return h;
    } else if constexpr (std::is_pointer_v<K>) {
        return static_cast<UINT>(reinterpret_cast<UINT_PTR>(key) >> 4);
    } else if constexpr (std::is_integral_v<K> || std::is_enum_v<K>) {
        return static_cast<UINT>(static_cast<UINT_PTR>(key) >> 4) ^ static_cast<UINT>(key);
    } else {
        return static_cast<UINT>(std::hash<K>()(key));
    }
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE> class CMap : public CObject
{
public:
    struct CAssoc {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };
    using BaseKey = KEY;
    using BaseArgKey = ARG_KEY;
    using BaseValue = VALUE;

    explicit CMap(INT_PTR /*nBlockSize*/ = 10) {}
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }
    // Sets the number of buckets; only while the map is empty.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        ASSERT(m_nCount == 0 && hashSize > 0);
        if (m_nCount != 0 || hashSize == 0)
            return;
        m_buckets.clear();
        m_nHashTableSize = hashSize;
        if (bAllocNow)
            m_buckets.assign(hashSize, nullptr);
    }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const CAssoc* p = Find(key);
        if (p)
            rValue = p->value;
        return p != nullptr;
    }
    // The value for key, added (value-initialised) when missing.
    VALUE& operator[](ARG_KEY key)
    {
        if (CAssoc* p = Find(key))
            return p->value;
        if (m_buckets.empty())
            m_buckets.assign(m_nHashTableSize, nullptr);
        const UINT h = HashKey<ARG_KEY>(key) % m_nHashTableSize;
        CAssoc* p = new CAssoc{m_buckets[h], h, KEY(key), VALUE()};
        m_buckets[h] = p;
        ++m_nCount;
        return p->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty())
            return FALSE;
        for (CAssoc** pp = &m_buckets[HashKey<ARG_KEY>(key) % m_nHashTableSize]; *pp;
             pp = &(*pp)->pNext) {
            if ((*pp)->key == key) {
                CAssoc* dead = *pp;
                *pp = dead->pNext;
                delete dead;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (CAssoc*& head : m_buckets) {
            while (head) {
                CAssoc* next = head->pNext;
                delete head;
                head = next;
            }
        }
        m_nCount = 0;
    }

    // BEFORE_START_POSITION when there are entries, null otherwise. The order is the table's.
    POSITION GetStartPosition() const { return m_nCount ? BEFORE_START_POSITION : nullptr; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        ASSERT(rNextPosition != nullptr);
        const CAssoc* p = rNextPosition == BEFORE_START_POSITION
                              ? FirstFrom(0)
                              : reinterpret_cast<const CAssoc*>(rNextPosition);
        if (!p) {
            rNextPosition = nullptr;
            return;
        }
        const CAssoc* next = p->pNext ? p->pNext : FirstFrom(p->nHashValue + 1);
        rNextPosition = reinterpret_cast<POSITION>(const_cast<CAssoc*>(next));
        rKey = p->key;
        rValue = p->value;
    }

private:
    const CAssoc* FirstFrom(size_t bucket) const
    {
        for (; bucket < m_buckets.size(); ++bucket) {
            if (m_buckets[bucket])
                return m_buckets[bucket];
        }
        return nullptr;
    }
    CAssoc* Find(ARG_KEY key) const
    {
        if (m_buckets.empty())
            return nullptr;
        for (CAssoc* p = m_buckets[HashKey<ARG_KEY>(key) % m_nHashTableSize]; p; p = p->pNext) {
            if (p->key == key)
                return p;
        }
        return nullptr;
    }

    std::vector<CAssoc*> m_buckets;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
};

#define SONORIA_MAP_CLASS(class_name, KEY, ARG_KEY, VALUE, ARG_VALUE)                              \
    class class_name : public CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>                                 \
    {                                                                                              \
    public:                                                                                        \
        explicit class_name(INT_PTR nBlockSize = 10)                                               \
            : CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>(nBlockSize)                                     \
        {                                                                                          \
        }                                                                                          \
        DECLARE_DYNAMIC(class_name)                                                                \
    };

SONORIA_MAP_CLASS(CMapStringToString, CString, LPCTSTR, CString, LPCTSTR)
SONORIA_MAP_CLASS(CMapStringToPtr, CString, LPCTSTR, void*, void*)
SONORIA_MAP_CLASS(CMapStringToOb, CString, LPCTSTR, CObject*, CObject*)
SONORIA_MAP_CLASS(CMapPtrToPtr, void*, void*, void*, void*)
SONORIA_MAP_CLASS(CMapWordToPtr, WORD, WORD, void*, void*)

// A map with typed pointer values (and pointer keys) over one of the maps above.
template <class BASE_CLASS, class KEY, class VALUE> class CTypedPtrMap : public BASE_CLASS
{
    using BaseArgKey = typename BASE_CLASS::BaseArgKey;
    using BaseKey = typename BASE_CLASS::BaseKey;
    using BaseValue = typename BASE_CLASS::BaseValue;

public:
    explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    BOOL Lookup(BaseArgKey key, VALUE& rValue) const
    {
        BaseValue v = nullptr;
        const BOOL found = BASE_CLASS::Lookup(key, v);
        rValue = static_cast<VALUE>(v);
        return found;
    }
    VALUE& operator[](BaseArgKey key)
    {
        return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key));
    }
    void SetAt(BaseArgKey key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
    {
        BaseKey k{};
        BaseValue v = nullptr;
        BASE_CLASS::GetNextAssoc(rPosition, k, v);
        rKey = static_cast<KEY>(k);
        rValue = static_cast<VALUE>(v);
    }
};
