// Fuzz target: the drive's replies other than the table of contents and CD-Text (INQUIRY, the
// interface, the CD-Text length, READ CAPACITY, the capabilities page, READ DISC INFORMATION)
// as a drive or a hostile device may send them, at every length.
#include "audio/drive/drive_replies.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly the reply's size, so that a read past it is caught.
    const std::vector<uint8_t> reply(data, data + size);
    const uint8_t* r = reply.data();

    char text[26];
    drive_replies::InquiryText(r, size, text, sizeof text);
    if (text[25] != '\0')
        std::abort();
    drive_replies::Interface(r, size);
    drive_replies::Capacity(r, size);
    const int total = drive_replies::CdTextLength(r, size);
    if (total < 0 || total > 0xFFFF + 2)
        std::abort();

    uint32_t caps = 0;
    int loading = 0, bufferSize = 0;
    int speeds[64];
    std::memset(speeds, 0xFF, sizeof speeds);
    if (drive_replies::CapabilitiesPage(r, size, &caps, &loading, &bufferSize, speeds)) {
        int n = 0;
        while (n < 64 && speeds[n] != 0)
            ++n;
        if (n > 63)
            std::abort(); // the list always ends within its 64 places
    }
    uint32_t info = 0;
    int sessions = 0, lastTrack = 0;
    drive_replies::DiscInformation(r, size, &info, &sessions, &lastTrack);
    return 0;
}
