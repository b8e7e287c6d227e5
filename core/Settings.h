#pragma once

#include "core/Bindings.h"
#include "core/LapPoints.h"

#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// Files found by name: the settings and the help page beside lapforge.exe, the simulator in its folder.
inline constexpr std::string_view SettingsFileName = "\\lapforge.ini";
inline constexpr std::string_view HelpPageName = "\\LapforgeHelp.html";
inline constexpr std::string_view SimulatorExeName = "\\gpl.exe";

// What lapforge.ini holds after the folder's line.
struct Settings {
    Bindings bindings;
    OwnPoints points;
    // The lines Lapforge does not take (another program's, or its own that it skipped), in the order
    // the file had them; written back after Lapforge's own, as they were.
    std::vector<std::string> otherLines;
    // The program "Launch GPL" starts, a file name in the GPL folder; empty for gpl.exe.
    std::string launch;

    bool operator==(const Settings&) const = default;
};

// A line of lapforge.ini that Lapforge skipped, and why, in a driver's words.
struct SkippedLine {
    std::string line;
    std::string reason;

    bool operator==(const SkippedLine&) const = default;
};

struct SettingsRead {
    Settings settings;
    std::vector<SkippedLine> skipped;  // the point and jump lines not taken; kept in otherLines
};

// The remembered simulator folder: the file's first line, the bytes before the first CR or LF. An
// empty first line is a failure; `path` names the file in it.
std::string SettingsFolder(std::string_view settingsBytes, const std::string& path);

// The lines after the first: "next=key:0x73", "previous=joy:0:button:5" (the first readable line of
// each is taken; without one the binding keeps its default); "jump=<binding>:<section's name or
// point's metres>"; "only-my-points=yes"; "point=12300:Before Karussell";
// "launch=gplc67.exe". Every other line is kept
// as it was; a next, previous, point or jump line among them is also said as skipped, with why.
SettingsRead ParseSettings(std::string_view settingsBytes);

// The driver set next or previous anew: the kept lines of that binding (ones Lapforge could not
// read, or a second one) have had their say and go; they would only be said as skipped at every start.
void ForgetDecidedLines(std::vector<std::string>& otherLines, const Bindings& before, const Bindings& after);

// The folder followed by CR LF, as every Lapforge reads it; then the bindings that are not their
// defaults, the jumps, the "only my points" tick, the points in lap order, the program to launch
// unless it is gpl.exe, and the kept lines byte for byte, each ended by CR LF. A kept line that
// would now be taken on reading it back is left out, so a skipped line never comes back. With
// nothing set, the folder line alone.
std::string SettingsText(std::string_view folder, const Settings& settings);
// Replaced in one step (see ReplaceFileContents), so a kill in the middle loses nothing.
void WriteSettingsFile(const std::string& path, std::string_view folder, const Settings& settings = {});

}  // namespace lapforge
