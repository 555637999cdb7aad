// Template expansion and rip paths over arbitrary templates and tag values. Besides memory
// errors it checks that a built path stays a plain Windows path below the output folder.
#include "audio/track/track_info.h"
#include "rip/track_name_handler.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckPath(const CString& path, const std::string& folder)
{
    const std::string p(path);
    if (p.empty())
        return; // no name fits: a clear failure
    Check(p.size() <= 259 && p.compare(0, folder.size(), folder) == 0);
    size_t start = folder.size();
    while (start <= p.size()) {
        size_t end = p.find('\\', start);
        if (end == std::string::npos)
            end = p.size();
        const std::string part = p.substr(start, end - start);
        Check(!part.empty() && part.size() <= 255 && part.back() != '.' && part.back() != ' ');
        for (char c : part)
            Check(static_cast<unsigned char>(c) >= 0x20 && !std::strchr("\"*:<>?|/", c));
        start = end + 1;
    }
}

} // namespace

// Input: one byte of options, then NUL-separated texts: the template, then field values.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int counter = data[0] & 7;
    const int outputFormat = (data[0] >> 3) % 7;
    std::vector<std::string> texts(1);
    for (size_t i = 1; i < size; ++i) {
        if (data[i] == 0)
            texts.emplace_back();
        else
            texts.back() += static_cast<char>(data[i]);
    }
    texts.resize(10);

    CAudioTrackInfo info;
    info.SetTrackTitle(texts[1].c_str());
    info.SetArtist(texts[2].c_str());
    info.SetAlbumTitle(texts[3].c_str());
    info.SetTrackPosition(texts[4].c_str());
    info.SetPartOfASet(texts[5].c_str());
    info.SetComment(texts[6].c_str());
    info.SetAlbumArtist(texts[7].c_str());
    info.SetYear(texts[8].c_str());
    info.SetDurationMs(static_cast<int>(texts[9].size()) * 7919);

    const CString format = texts[0].c_str();
    CString error, name, path, lyrics;
    CTrackNameHandler::Validate(format, error);
    CTrackNameHandler::Expand(format, info, name, counter, outputFormat);
    Check(name.Find("\\\\") < 0);

    CTrackNameHandler::BuildRipPath("C:\\Music", format, info, path, lyrics, counter, outputFormat);
    CheckPath(path, "C:\\Music\\");
    CheckPath(lyrics, "C:\\Music\\");
    CTrackNameHandler::BuildConvertPath("\\\\server\\share", texts[1].c_str(), path, lyrics,
                                        counter, outputFormat);
    CheckPath(path, "\\\\server\\share\\");
    return 0;
}
