// Disc image of the simulated CD drive: text form, sample generator, CD-Text packs.
#include "testing/simdrive/sim_disc.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace simdrive {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool FromHex(const std::string& text, std::vector<uint8_t>& out)
{
    auto nibble = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    if (text.size() % 2) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = nibble(text[i]), lo = nibble(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

// Vendor and product are fixed-width fields with blanks; '_' stands for a blank in the text.
std::string Field(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        if (c == ' ') c = '_';
    return out.empty() ? "_" : out;
}

std::string Unfield(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        if (c == '_') c = ' ';
    return out;
}

}  // namespace

std::string SimDisc::ToText() const
{
    std::ostringstream out;
    out << "simdisc 1\n";
    out << "vendor " << Field(vendor) << "\nproduct " << Field(product) << "\n";
    for (const SimSession& s : sessions) {
        out << "session " << s.leadOutLba << "\n";
        for (const SimTrack& t : s.tracks)
            out << "track " << t.number << ' ' << (t.audio ? "audio" : "data") << ' ' << t.startLba
                << "\n";
    }
    for (const SimBadRun& r : badRuns)
        out << "bad " << r.firstLba << ' ' << r.count << ' ' << r.failures << "\n";
    if (readDelayMs) out << "readdelay " << readDelayMs << "\n";
    if (!cdText.empty()) out << "cdtext " << Hex(cdText) << "\n";
    return out.str();
}

bool SimDisc::FromText(const std::string& text)
{
    *this = SimDisc();
    std::istringstream in(text);
    std::string word;
    if (!(in >> word) || word != "simdisc" || !(in >> word)) return false;
    while (in >> word) {
        bool ok = true;
        if (word == "vendor" || word == "product") {
            std::string v;
            ok = static_cast<bool>(in >> v);
            (word == "vendor" ? vendor : product) = Unfield(v);
        } else if (word == "session") {
            SimSession s;
            ok = static_cast<bool>(in >> s.leadOutLba);
            sessions.push_back(s);
        } else if (word == "track") {
            SimTrack t;
            std::string kind;
            ok = (in >> t.number >> kind >> t.startLba) && !sessions.empty();
            t.audio = kind == "audio";
            if (ok) sessions.back().tracks.push_back(t);
        } else if (word == "bad") {
            SimBadRun r;
            ok = static_cast<bool>(in >> r.firstLba >> r.count >> r.failures);
            badRuns.push_back(r);
        } else if (word == "readdelay") {
            ok = static_cast<bool>(in >> readDelayMs);
        } else if (word == "cdtext") {
            std::string hex;
            ok = (in >> hex) && FromHex(hex, cdText);
        } else {
            ok = false;
        }
        if (!ok) {
            *this = SimDisc();
            return false;
        }
    }
    return true;
}

const SimTrack* SimDisc::TrackAt(int lba) const
{
    for (const SimSession& s : sessions) {
        for (size_t i = 0; i < s.tracks.size(); ++i) {
            int end = i + 1 < s.tracks.size() ? s.tracks[i + 1].startLba : s.leadOutLba;
            if (lba >= s.tracks[i].startLba && lba < end) return &s.tracks[i];
        }
    }
    return nullptr;
}

int SimDisc::LastLeadOut() const
{
    return sessions.empty() ? 0 : sessions.back().leadOutLba;
}

int16_t SimAudioSample(int lba, int index, int channel)
{
    // A mix of the position: every sample of the disc differs from its neighbours, so a
    // shifted, repeated or dropped sector shows in a byte compare.
    uint32_t x = static_cast<uint32_t>(lba) * 588u + static_cast<uint32_t>(index);
    x = x * 2654435761u + static_cast<uint32_t>(channel) * 0x9E3779B9u;
    x ^= x >> 15;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    return static_cast<int16_t>(x & 0xFFFF);
}

void SimAudioSector(int lba, uint8_t* out)
{
    for (int i = 0; i < 588; ++i) {
        for (int c = 0; c < 2; ++c) {
            uint16_t v = static_cast<uint16_t>(SimAudioSample(lba, i, c));
            out[(i * 2 + c) * 2] = static_cast<uint8_t>(v & 0xFF);
            out[(i * 2 + c) * 2 + 1] = static_cast<uint8_t>(v >> 8);
        }
    }
}

uint16_t SimCdTextCrc(const uint8_t* pack)
{
    uint16_t crc = 0;
    for (int i = 0; i < 16; ++i) {
        crc ^= static_cast<uint16_t>(pack[i] << 8);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<uint16_t>(crc << 1);
    }
    return static_cast<uint16_t>(~crc);
}

std::vector<uint8_t> SimBuildCdText(const std::vector<SimCdTextBlock>& blocks, int badCrcEvery)
{
    std::vector<uint8_t> out;
    int sequence = 0;
    for (const SimCdTextBlock& block : blocks) {
        for (const SimCdTextBlock::Item& item : block.items) {
            // The texts one after the other, each ended by 00; remember whose each byte is.
            std::string all;
            std::vector<int> owner, position;
            for (size_t t = 0; t < item.texts.size(); ++t) {
                std::string s = item.texts[t] + '\0';
                for (size_t k = 0; k < s.size(); ++k) {
                    all += s[k];
                    owner.push_back(static_cast<int>(t));
                    position.push_back(static_cast<int>(k));
                }
            }
            for (size_t at = 0; at < all.size(); at += 12) {
                uint8_t pack[kPackBytes] = {};
                pack[0] = item.packType;
                pack[1] = static_cast<uint8_t>(owner[at]);
                pack[2] = static_cast<uint8_t>(sequence);
                int pos = position[at] > 15 ? 15 : position[at];
                pack[3] = static_cast<uint8_t>((block.doubleByte ? 0x80 : 0) |
                                               ((block.block & 7) << 4) | pos);
                for (size_t k = 0; k < 12 && at + k < all.size(); ++k)
                    pack[4 + k] = static_cast<uint8_t>(all[at + k]);
                uint16_t crc = SimCdTextCrc(pack);
                if (badCrcEvery > 0 && (sequence + 1) % badCrcEvery == 0) crc ^= 0x5A5A;
                pack[16] = static_cast<uint8_t>(crc >> 8);
                pack[17] = static_cast<uint8_t>(crc & 0xFF);
                out.insert(out.end(), pack, pack + kPackBytes);
                ++sequence;
            }
        }
    }
    return out;
}

}  // namespace simdrive
