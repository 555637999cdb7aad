// Writes the demo disc of `make run` as a simulated-drive image: six audio tracks of a few
// minutes each, with CD-Text for the album and every track.
//
//   demo_disc IMAGE
#include <cstdio>
#include <fstream>

#include "testing/simdrive/sim_disc.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_disc IMAGE\n");
        return 2;
    }
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    // Start sectors (75 per second), lengths between 2:40 and 4:30.
    const int starts[] = {0, 14250, 28575, 46125, 58800, 75150};
    for (int i = 0; i < 6; ++i)
        session.tracks.push_back({i + 1, true, starts[i]});
    session.leadOutLba = 93600;
    disc.sessions = {session};
    simdrive::SimCdTextBlock block;
    block.items = {
        {0x80, {"Harbour Lights", "Low Tide", "Lantern Street", "Northbound", "Glass Orchard",
                "Paper Boats", "The Long Way Home"}},
        {0x81, {"The Quiet Engines", "The Quiet Engines", "The Quiet Engines",
                "The Quiet Engines", "The Quiet Engines", "The Quiet Engines",
                "The Quiet Engines"}},
        {0x83, {"", "M. Arden", "M. Arden", "J. Okafor", "M. Arden", "J. Okafor", "M. Arden"}},
    };
    disc.cdText = simdrive::SimBuildCdText({block});
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << disc.ToText();
    return out ? 0 : 1;
}
