// Additive checksums over bytes and files, and the CRC lookup-table lists.
// Classes here: COXCheckBase, COXCheckSum32, COXCRCTableList, COXCRC16, COXCRC32.
#pragma once

#include "framework/core.h"

#include <cstdint>
#include <memory>

//! A checksum over bytes, continued across calls; all bits set until the first calculation.
class COXCheckBase : public CObject
{
    DECLARE_DYNAMIC(COXCheckBase)
public:
    DWORD m_dwValue = 0xFFFFFFFF;
    int m_nKind = 0;

    //! Computes over the buffer from `initial`, stores the result and returns it.
    virtual DWORD Calculate(const void* buffer, DWORD length, DWORD initial) = 0;
    //! The same, starting from the current value.
    virtual DWORD CalculateNext(const void* buffer, DWORD length);
    //! The checksum of a whole file. Raises CFileException when it cannot be read.
    virtual DWORD CalculateFile(LPCTSTR path);
    //! Adds the next `length` bytes of an open file (0xFFFFFFFF: up to its end), read in
    //! blocks. A file exception from a read restores the value and passes on.
    virtual DWORD CalculateStream(CFile& file, DWORD length, DWORD blockSize);

protected:
    COXCheckBase() = default;
};

//! The 32-bit byte sum, modulo 2^32.
class COXCheckSum32 : public COXCheckBase
{
    DECLARE_DYNAMIC(COXCheckSum32)
public:
    COXCheckSum32() { m_nKind = 3; }
    DWORD Calculate(const void* buffer, DWORD length, DWORD initial) override;
};

//! A singly linked list of 256-entry CRC tables, one per polynomial.
template <typename T> class COXCRCTableList
{
public:
    struct Table {
        T entries[256];
        T polynomial;
        std::unique_ptr<Table> next;
    };

    virtual ~COXCRCTableList() = default;
    //! The table for a polynomial, built on first request.
    const Table* GetTable(T polynomial)
    {
        for (Table* t = m_pHead.get(); t; t = t->next.get())
            if (t->polynomial == polynomial)
                return t;
        auto t = std::make_unique<Table>();
        t->polynomial = polynomial;
        BuildTable(polynomial, t->entries);
        t->next = std::move(m_pHead);
        m_pHead = std::move(t);
        return m_pHead.get();
    }

protected:
    virtual void BuildTable(T polynomial, T* entries) = 0;
    std::unique_ptr<Table> m_pHead;
};

struct COXCRC16 {
    class CTableList : public COXCRCTableList<unsigned short>
    {
    protected:
        void BuildTable(unsigned short polynomial, unsigned short* entries) override;
    };
    static CTableList m_tables;
};

struct COXCRC32 {
    class CTableList : public COXCRCTableList<uint32_t>
    {
    protected:
        void BuildTable(uint32_t polynomial, uint32_t* entries) override;
    };
    static CTableList m_tables;
};
