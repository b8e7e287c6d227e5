#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lapforge {

// Whether Lapforge can reach the running GPL. Windows keeps an elevated program's keys from one that
// is not elevated, however the program was started; joystick buttons are read from winmm and reach
// Lapforge all the same.
enum class SimulatorAccess {
    Usable,
    Elevated,    // GPL runs as administrator and Lapforge does not
    Unopenable,  // a GPL runs that Lapforge may not look at (as administrator, or under another account)
};

// What one look at the running GPL saw.
struct SimulatorSeen {
    bool watched = false;            // a GPL from the chosen folder is watched
    std::optional<bool> elevated;    // of the watched one; nothing when its token could not be read
    bool unopenable = false;         // a gpl*.exe runs that could not be opened to read its folder
};

SimulatorAccess JudgeSimulatorAccess(const SimulatorSeen& seen, bool lapforgeElevated);

// A file or folder as the file system knows it: its volume's serial number and its index there. Two
// paths with the same identity are the same folder however they are spelt (a junction, a SUBST
// drive, a mapped drive against its UNC path, an 8.3 name).
struct FileIdentity {
    std::uint32_t volumeSerial = 0;
    std::uint64_t fileIndex = 0;

    bool operator==(const FileIdentity&) const = default;
};

// A running program counts as the simulator in the chosen folder: a gpl*.exe whose folder is the
// chosen one. By identity where both are known; where one cannot be read (a folder gone, a network
// that gives none), by the text of the paths.
bool IsSimulatorInFolder(std::wstring_view imagePath, std::optional<FileIdentity> imageFolder,
                         std::wstring_view folder, std::optional<FileIdentity> chosenFolder);

}  // namespace lapforge
