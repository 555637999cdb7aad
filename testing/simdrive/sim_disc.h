// Disc image of the simulated CD drive: table of contents, CD-Text packs, sectors that fail,
// and the generator of the audio samples, so tests know every byte a read must return.
// Classes here: SimTrack, SimSession, SimDisc, SimCdTextBlock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace simdrive {

constexpr int kSectorBytes = 2352;  // one CD-DA sector: 588 stereo 16-bit samples
constexpr int kDataSectorBytes = 2048;
constexpr int kPackBytes = 18;

struct SimTrack {
    int number = 1;
    bool audio = true;
    int startLba = 0;
};

struct SimSession {
    std::vector<SimTrack> tracks;
    int leadOutLba = 0;  // first sector after the session's last track
};

// A run of sectors that fails a number of reads before it reads (failures < 0: never reads).
struct SimBadRun {
    int firstLba = 0;
    int count = 1;
    int failures = -1;
};

// One disc. The text form (ToText/FromText) is what the drive reads from its image file on
// every command, so a test changes the disc by rewriting that file.
struct SimDisc {
    std::string vendor = "SONORIA ";          // INQUIRY bytes 8-15
    std::string product = "SIMULATED CDROM "; // INQUIRY bytes 16-31
    std::vector<SimSession> sessions;
    std::vector<uint8_t> cdText;  // raw 18-byte packs, without the 4-byte reply header
    std::vector<SimBadRun> badRuns;
    int readDelayMs = 0;  // time each READ CD takes, to make overlapping reads visible

    std::string ToText() const;
    // False for text that is not a disc image; the disc is then left empty.
    bool FromText(const std::string& text);

    const SimTrack* TrackAt(int lba) const;  // null outside every track
    int LastLeadOut() const;
};

// Little-endian 16-bit value of sample `index` (0-587) of `channel` in sector `lba`: a
// deterministic pattern that differs between sectors, channels and positions.
int16_t SimAudioSample(int lba, int index, int channel);
// Fills one 2352-byte sector as the drive returns it.
void SimAudioSector(int lba, uint8_t* out);
// CRC of a CD-Text pack: CRC-16/CCITT over bytes 0-15, inverted, big-endian in bytes 16-17.
uint16_t SimCdTextCrc(const uint8_t* pack);

// Texts of one CD-Text block: per pack type (0x80..0x8F), the disc's text then each track's.
struct SimCdTextBlock {
    struct Item {
        uint8_t packType;
        std::vector<std::string> texts;  // [0] disc, [n] track n
    };
    std::vector<Item> items;
    int block = 0;
    bool doubleByte = false;
};

// Packs as a drive stores them in the lead-in: texts cut into 12-byte pieces, character
// positions, one sequence over all blocks, CRC filled. `badCrcEvery` > 0 spoils the CRC of
// every n-th pack.
std::vector<uint8_t> SimBuildCdText(const std::vector<SimCdTextBlock>& blocks, int badCrcEvery = 0);

}  // namespace simdrive
