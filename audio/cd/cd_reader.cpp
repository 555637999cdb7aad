// The CD reader: READ CD several sectors at a time under the process-wide read mutex.
#include "audio/cd/cd_reader.h"

#include <memory>

#include "audio/cd/audio_cd.h"

namespace {
constexpr BYTE kUserDataOnly = 0x10;  // READ CD selection byte: user data of each sector
}

CAudioCDReader::CAudioCDReader() = default;

bool CAudioCDReader::Open(CAudioCD* cd, int firstSector, int endSector, int readSpeed,
                          int sectorsPerRead, int bytesPerFrame)
{
    if (m_initialized) return false;
    m_cd = cd;
    m_firstSector = firstSector;
    m_endSector = endSector;
    m_readSpeed = readSpeed;
    // The READ CD count is one CDB byte; a frame must ask for something.
    m_sectorsPerRead = sectorsPerRead < 1 ? 1 : (sectorsPerRead > 255 ? 255 : sectorsPerRead);
    m_bytesPerFrame = bytesPerFrame < 1 ? 1 : bytesPerFrame;
    m_delivered = 0;
    m_initialized = 1;
    SetError(AUDIO_ERROR_NONE, "");
    m_cd->SetSpeed(readSpeed, 65535);
    return true;
}

bool CAudioCDReader::HasMoreData() { return m_firstSector + m_delivered < m_endSector; }

int CAudioCDReader::GetProgressPercent()
{
    if (!m_initialized || m_endSector <= m_firstSector) return -1;
    return static_cast<int>(m_delivered * 100.0 / (m_endSector - m_firstSector));
}

void CAudioCDReader::SetFrameFormat(CAudioFrame* pFrame)
{
    pFrame->SetByteOrder(0);
    pFrame->SetBitsPerSample(16);
    pFrame->SetChannels(2);
    pFrame->SetSampleRate(44100);
    pFrame->SetSigned(1);
}

bool CAudioCDReader::ReadFrame(CAudioFrame* pFrame)
{
    if (!m_initialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "CD reader not initialized");
        return false;
    }
    auto buffer = std::make_unique<BYTE[]>(static_cast<size_t>(m_sectorsPerRead) * kSectorBytes);
    bool result = true;
    SetFrameFormat(pFrame);
    if (!m_readMutex.Lock(kReadLockWaitMs)) return true;  // nothing this step; try again
    while (m_firstSector + m_delivered < m_endSector &&
           pFrame->GetUsedBytes() < static_cast<uint32_t>(m_bytesPerFrame) && result) {
        int at = m_firstSector + m_delivered;
        int n = m_sectorsPerRead;
        if (n > m_endSector - at) n = m_endSector - at;
        if (m_cd->ReadSectors(static_cast<DWORD>(at), n, buffer.get(), kSectorBytes,
                              kUserDataOnly)) {
            pFrame->Append(buffer.get(), static_cast<uint32_t>(n * kSectorBytes));
            m_delivered += n;
        } else {
            CString text;
            text.Format("CD Reading Error at frame: %ld", static_cast<long>(at));
            SetError(AUDIO_ERROR_READ, text);
            result = false;
        }
    }
    m_readMutex.Unlock();
    return result;
}
