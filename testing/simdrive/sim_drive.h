// The simulated CD drive: answers MMC command blocks from the disc image, as a real drive
// does (reply data, status byte, fixed-format sense). The fake ASPI driver and the Linux
// pass-through shim are two doors to this one core.
// Classes here: SimStats, SimReply, SimDrive.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "testing/simdrive/sim_disc.h"

namespace simdrive {

// Vendor-specific commands a test sends through the program's own transport: 0xF0 returns
// SimStats (little-endian 32-bit counters); 0xF1 zeroes them and the read log; 0xF2 returns
// the read log: a 32-bit count, then the start LBA of each READ CD in the order they came.
constexpr uint8_t kOpGetStats = 0xF0;
constexpr uint8_t kOpResetStats = 0xF1;
constexpr uint8_t kOpGetReadLog = 0xF2;
constexpr size_t kMaxReadLog = 1024;

struct SimStats {
    uint32_t readCdCommands;
    uint32_t readCdFailures;
    uint32_t maxConcurrentReads;  // most READ CDs in progress at one moment
    uint32_t ejects;
    uint32_t loads;
    uint32_t lastReadSpeed;  // kB/s from the last SET CD SPEED
    uint32_t speedCommands;
    uint32_t inquiries;
};

constexpr uint8_t kStatusGood = 0x00;
constexpr uint8_t kStatusCheckCondition = 0x02;

struct SimReply {
    uint8_t status = kStatusGood;
    size_t transferred = 0;  // bytes of reply data placed in the caller's buffer
    uint8_t sense[18] = {};  // fixed-format sense, valid with CHECK CONDITION
};

class SimDrive {
public:
    // Runs one command against the disc described by `imageText` (the image file's content,
    // read by the caller before each command). `data` receives up to `dataLength` bytes.
    SimReply Execute(const std::string& imageText, const uint8_t* cdb, size_t cdbLength,
                     uint8_t* data, size_t dataLength);

    // The table-of-contents view of the Linux CD-ROM ioctls; false without a disc.
    bool TocHeader(const std::string& imageText, int* firstTrack, int* lastTrack);
    // Start LBA and CONTROL nibble of `track` (0xAA: the lead-out); false when absent.
    bool TocEntry(const std::string& imageText, int track, int* lba, int* control);

private:
    const SimDisc& Disc(const std::string& imageText);  // caller holds m_lock
    SimReply ReadCd(const uint8_t* cdb, uint8_t* data, size_t dataLength);
    SimReply Dispatch(const uint8_t* cdb, size_t cdbLength, uint8_t* data, size_t dataLength);

    std::mutex m_lock;
    std::string m_text;
    SimDisc m_disc;
    bool m_hasDisc = false;
    std::map<int, int> m_failuresSoFar;  // per bad run start: reads it has failed
    SimStats m_stats = {};
    std::vector<int32_t> m_readLog;
    std::atomic<int> m_readsInFlight{0};
};

// The one drive of this process.
SimDrive& TheSimDrive();

}  // namespace simdrive
