// COXHashTable: string-keyed chained hash table (the XML parser's entity table).
#pragma once

class COXHashTable
{
public:
    //! Position value meaning "before the first entry".
    static void* BeforeStart() { return reinterpret_cast<void*>(-1); }

    //! Keys compare without regard to case unless `caseSensitive`; fixed for the table's life.
    explicit COXHashTable(bool caseSensitive = false);
    COXHashTable(const COXHashTable&) = delete;
    COXHashTable& operator=(const COXHashTable&) = delete;
    virtual ~COXHashTable();

    //! 0 and no change for n == 0; otherwise drops every entry and makes n empty buckets.
    int InitHashTable(unsigned n);
    //! An existing key keeps its stored text and takes the value. Values are not owned.
    int SetAt(const char* key, void* value);
    //! 1 and the value when present; 0 and null otherwise.
    int Lookup(const char* key, void*& value) const;
    void RemoveAll();
    unsigned GetCount() const;

    //! Null for an empty table, else BeforeStart().
    void* GetStartPosition() const;
    //! Returns the entry at `pos` and advances it; null after the last. Bucket order, newest first.
    void GetNextAssoc(void*& pos, const char*& key, void*& value) const;

    unsigned HashKey(const char* key) const;

private:
    struct Entry {
        Entry* pNext;
        char* pKey;
        void* pValue;
        unsigned nBucket;
    };
    Entry* Find(const char* key) const;
    bool KeysEqual(const char* a, const char* b) const;
    Entry* FirstFrom(unsigned bucket) const;

    unsigned m_nBuckets = 67;
    bool m_bCaseSensitive;
    Entry** m_pBuckets = nullptr;
};
