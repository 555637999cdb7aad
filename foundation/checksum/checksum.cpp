// Additive checksums and CRC tables.
#include "foundation/checksum/checksum.h"

#include <vector>

IMPLEMENT_DYNAMIC(COXCheckBase, CObject)
IMPLEMENT_DYNAMIC(COXCheckSum32, COXCheckBase)

COXCRC16::CTableList COXCRC16::m_tables;
COXCRC32::CTableList COXCRC32::m_tables;

DWORD COXCheckBase::CalculateNext(const void* buffer, DWORD length)
{
    return Calculate(buffer, length, m_dwValue);
}

DWORD COXCheckBase::CalculateStream(CFile& file, DWORD length, DWORD blockSize)
{
    DWORD saved = m_dwValue;
    DWORD block = length < blockSize ? length : blockSize;
    std::vector<unsigned char> buffer(block);
    DWORD remaining = length; // 0xFFFFFFFF reads on to the end of any file we handle
    try {
        while (remaining > 0 && block > 0) {
            DWORD asked = block;
            UINT got = file.Read(buffer.data(), asked);
            Calculate(buffer.data(), got, m_dwValue);
            remaining -= got;
            if (block > remaining)
                block = remaining;
            if (got < asked)
                break;
        }
    } catch (CFileException*) {
        m_dwValue = saved;
        throw;
    }
    return m_dwValue;
}

DWORD COXCheckBase::CalculateFile(LPCTSTR path)
{
    CFile file;
    CFileException* error = new CFileException;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, error))
        throw error;
    error->Delete();
    try {
        CalculateStream(file, 0xFFFFFFFF, 2048);
    } catch (CFileException*) {
        file.Abort();
        throw;
    }
    file.Close();
    return m_dwValue;
}

DWORD COXCheckSum32::Calculate(const void* buffer, DWORD length, DWORD initial)
{
    const unsigned char* p = static_cast<const unsigned char*>(buffer);
    DWORD value = initial;
    for (DWORD i = 0; i < length; ++i)
        value += p[i];
    m_dwValue = value;
    return value;
}

void COXCRC16::CTableList::BuildTable(unsigned short polynomial, unsigned short* entries)
{
    for (unsigned i = 0; i < 256; ++i) {
        unsigned short reg = 0;
        for (int bit = 7; bit >= 0; --bit) {
            bool in = (i >> bit) & 1;
            bool top = (reg & 0x8000) != 0;
            reg = static_cast<unsigned short>(reg << 1);
            if (top != in)
                reg ^= polynomial;
        }
        entries[i] = reg;
    }
}

void COXCRC32::CTableList::BuildTable(uint32_t polynomial, uint32_t* entries)
{
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t reg = i;
        for (int step = 0; step < 8; ++step)
            reg = (reg & 1) ? (reg >> 1) ^ polynomial : reg >> 1;
        entries[i] = reg;
    }
}
