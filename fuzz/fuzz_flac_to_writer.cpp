// Decodes FLAC input and encodes what comes out again, as a conversion job does: frames whose
// rate, width or channel count change from one to the next reach the writer's conversions.
#include "audio/audio_frame.h"
#include "audio/formats/flac/flac_reader.h"
#include "audio/formats/flac/flac_writer.h"
#include "fuzz/fuzz_input_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzInputFile input("fuzz_flac_to_writer_in");
    static const FuzzInputFile output("fuzz_flac_to_writer_out");
    const char* path = input.Write(data, size);
    const char* outPath = output.Write(nullptr, 0);
    if (!path || !outPath)
        return 0;
    CAudioFlacReader reader;
    if (!reader.Open(path) || !reader.Prepare())
        return 0;
    const uint32_t rate = reader.GetSampleRate();
    CAudioFlacWriter writer;
    if (rate == 0 || rate > 655350 ||
        !writer.Open(outPath, 2, static_cast<int>(rate), 0, nullptr) || !writer.BeginStream())
        return 0;
    // Bounded: a damaged stream must end in a bounded number of steps.
    for (int step = 0; step < 2000 && reader.HasMoreData(); ++step) {
        CAudioFrame frame;
        if (!reader.ReadFrame(&frame))
            break;
        if (!frame.IsEmpty() && !writer.WriteFrame(&frame))
            break;
    }
    writer.Close();
    reader.Close();
    return 0;
}
