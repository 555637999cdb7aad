// COXHashTable: string-keyed chained hash table.
#include "foundation/xml/hash_table.h"

#include <cctype>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <mbstring.h>
#else
#include <strings.h>
#endif

COXHashTable::COXHashTable(bool caseSensitive) : m_bCaseSensitive(caseSensitive)
{
    m_pBuckets = new (std::nothrow) Entry*[m_nBuckets]();
    if (!m_pBuckets)
        m_nBuckets = 0;
}

COXHashTable::~COXHashTable()
{
    RemoveAll();
    delete[] m_pBuckets;
}

int COXHashTable::InitHashTable(unsigned n)
{
    if (n == 0)
        return 0;
    RemoveAll();
    Entry** buckets = new (std::nothrow) Entry*[n]();
    if (!buckets)
        return 0;
    delete[] m_pBuckets;
    m_pBuckets = buckets;
    m_nBuckets = n;
    return 1;
}

unsigned COXHashTable::HashKey(const char* key) const
{
    unsigned h = 0;
    for (const char* p = key; *p; ++p) {
        signed char c = static_cast<signed char>(*p);
        h = h * 33 + static_cast<unsigned>(static_cast<int>(c));
        if (!m_bCaseSensitive && c >= 0 && std::isupper(static_cast<unsigned char>(c)))
            h += 32;
    }
    return m_nBuckets ? h % m_nBuckets : 0;
}

bool COXHashTable::KeysEqual(const char* a, const char* b) const
{
    if (m_bCaseSensitive)
        return std::strcmp(a, b) == 0;
#ifdef _WIN32
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a),
                    reinterpret_cast<const unsigned char*>(b)) == 0;
#else
    return strcasecmp(a, b) == 0;
#endif
}

COXHashTable::Entry* COXHashTable::Find(const char* key) const
{
    if (!m_nBuckets || !key)
        return nullptr;
    for (Entry* e = m_pBuckets[HashKey(key)]; e; e = e->pNext)
        if (KeysEqual(e->pKey, key))
            return e;
    return nullptr;
}

int COXHashTable::SetAt(const char* key, void* value)
{
    if (!key || !m_nBuckets)
        return 0;
    if (Entry* e = Find(key)) {
        e->pValue = value;
        return 1;
    }
    size_t n = std::strlen(key);
    char* copy = new (std::nothrow) char[n + 1];
    Entry* e = copy ? new (std::nothrow) Entry : nullptr;
    if (!e) {
        delete[] copy;
        return 0;
    }
    std::memcpy(copy, key, n + 1);
    unsigned b = HashKey(key);
    *e = Entry{m_pBuckets[b], copy, value, b};
    m_pBuckets[b] = e;
    return 1;
}

int COXHashTable::Lookup(const char* key, void*& value) const
{
    Entry* e = Find(key);
    value = e ? e->pValue : nullptr;
    return e ? 1 : 0;
}

void COXHashTable::RemoveAll()
{
    for (unsigned b = 0; b < m_nBuckets; ++b) {
        for (Entry* e = m_pBuckets[b]; e;) {
            Entry* next = e->pNext;
            delete[] e->pKey;
            delete e;
            e = next;
        }
        m_pBuckets[b] = nullptr;
    }
}

unsigned COXHashTable::GetCount() const
{
    unsigned n = 0;
    for (unsigned b = 0; b < m_nBuckets; ++b)
        for (Entry* e = m_pBuckets[b]; e; e = e->pNext)
            ++n;
    return n;
}

COXHashTable::Entry* COXHashTable::FirstFrom(unsigned bucket) const
{
    for (unsigned b = bucket; b < m_nBuckets; ++b)
        if (m_pBuckets[b])
            return m_pBuckets[b];
    return nullptr;
}

void* COXHashTable::GetStartPosition() const
{
    return FirstFrom(0) ? BeforeStart() : nullptr;
}

void COXHashTable::GetNextAssoc(void*& pos, const char*& key, void*& value) const
{
    Entry* e = pos == BeforeStart() ? FirstFrom(0) : static_cast<Entry*>(pos);
    if (!e) {
        pos = nullptr;
        key = nullptr;
        value = nullptr;
        return;
    }
    key = e->pKey;
    value = e->pValue;
    Entry* next = e->pNext ? e->pNext : FirstFrom(e->nBucket + 1);
    pos = next;
}
