// Median timings of loading the track file and of one apply (new deploy line, rewrite): atomic,
// and on Windows also while another program holds the file open without sharing deletion, which
// makes the rewrite wait for the holder and then write in place.
#include "core/TrackFileBuffer.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double MedianMicros(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f(i);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::string CorePath(const std::filesystem::path& p) { return p.string(); }

// Milliseconds for one apply while a reader holds the file as a C runtime would; negative where
// such a hold cannot happen.
double HeldOpenApplyMillis(lapforge::TrackFileBuffer& buffer, const std::filesystem::path& root) {
#ifdef _WIN32
    const auto track = root / "tracks" / "nurburg" / "track.ini";
    HANDLE holder = CreateFileW(track.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    const double micros = MedianMicros(9, [&](int i) {
        buffer.SetDeployLine(i % 2 ? "stall_0 = 3100.00 0.00" : "stall_0 = 230.00 -9.30");
        buffer.WriteTrackFile(CorePath(root));
    });
    CloseHandle(holder);
    return micros / 1000;
#else
    (void)buffer;
    (void)root;
    return -1;
#endif
}

}  // namespace

int main() {
    const auto root = std::filesystem::temp_directory_path() / "lapforge-bench";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "tracks" / "nurburg");

    std::printf("%-12s %18s %18s %20s\n", "track file", "ReadTrackFile", "apply (atomic)", "apply (held open)");
    for (int lines : {100, 10000}) {
        {
            std::ofstream out(root / "tracks" / "nurburg" / "track.ini", std::ios::binary);
            // Line 54 a deploy point, as the buffer reads only such a file.
            for (int i = 1; i <= lines; ++i)
                out << (i == 54 ? "stall_0" : "key_" + std::to_string(i)) << " = " << i * 7 << ".00 0.00\r\n";
        }
        lapforge::TrackFileBuffer buffer;
        const double read = MedianMicros(200, [&](int) { buffer.ReadTrackFile(CorePath(root)); });
        const double apply = MedianMicros(200, [&](int i) {
            buffer.SetDeployLine(i % 2 ? "stall_0 = 3100.00 0.00" : "stall_0 = 230.00 -9.30");
            buffer.WriteTrackFile(CorePath(root));
        });
        const double held = HeldOpenApplyMillis(buffer, root);
        if (held < 0)
            std::printf("%6d lines %15.1f us %15.1f us %20s\n", lines, read, apply, "(Windows only)");
        else
            std::printf("%6d lines %15.1f us %15.1f us %17.1f ms\n", lines, read, apply, held);
    }
    std::filesystem::remove_all(root);
}
