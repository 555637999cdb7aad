// Full table-of-contents replies (READ TOC format 2) as a drive or a hostile device may send.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/drive/toc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> reply(data, data + size);
    auto toc = CToc::ParseFullToc(reply.data(), static_cast<int>(reply.size()));
    long sum = 0;
    for (int s = 0; s < toc->GetSessionCount(); ++s) {
        const CTocSession* session = toc->GetSession(s);
        for (int t = 0; t <= session->GetTrackCount(); ++t) {
            sum += session->GetTrackLengthFrames(t);
            if (const CTocTrack* track = session->GetTrack(t)) sum += track->GetLengthFrames();
        }
    }
    [[maybe_unused]] static volatile long sink;
    sink = sum;  // keeps the walk over the parsed table
    return 0;
}
