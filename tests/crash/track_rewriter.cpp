// Rewrites the track file of the folder given as its argument for ever, alternating two deploy
// lines, so a test can kill it at any moment.
#include "core/TrackFileBuffer.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: track_rewriter <simulator folder>\n");
        return 2;
    }
    lapforge::TrackFileBuffer buffer;
    buffer.ReadTrackFile(argv[1]);
    for (unsigned long i = 0;; ++i) {
        buffer.SetDeployLine(i % 2 == 0 ? "stall_0 = 3100.00 0.00" : "stall_0 = 230.00 -9.30");
        buffer.WriteTrackFile(argv[1]);
    }
}
