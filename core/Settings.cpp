#include "core/Settings.h"

#include "core/Failure.h"
#include "core/Messages.h"
#include "core/ReplaceFile.h"
#include "core/SectionTable.h"
#include "core/SimulatorLaunch.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace lapforge {

namespace {

constexpr std::string_view NextName = "next=";
constexpr std::string_view PreviousName = "previous=";
constexpr std::string_view JumpName = "jump=";
constexpr std::string_view OnlyPointsName = "only-my-points=";
constexpr std::string_view OnlyPointsOn = "yes";
constexpr std::string_view PointLineName = "point=";
constexpr std::string_view LaunchName = "launch=";

// The lines after the folder's, without their ends; empty lines dropped.
std::vector<std::string_view> LinesAfterFirst(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t begin = bytes.find_first_of("\r\n");  // the folder's line is not ours
    while (begin < bytes.size()) {
        begin = bytes.find_first_not_of("\r\n", begin);
        if (begin == std::string_view::npos) break;
        const std::size_t end = std::min(bytes.find_first_of("\r\n", begin), bytes.size());
        lines.push_back(bytes.substr(begin, end - begin));
        begin = end;
    }
    return lines;
}

// Digits only, and not so many that they overflow.
std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Why the point line cannot be taken beside the points already taken; nothing when it was added.
std::optional<std::string> TakePoint(std::string_view text, OwnPoints& points) {
    const std::size_t colon = text.find(':');
    const auto metres = WholeNumber(text.substr(0, colon));
    if (colon == std::string_view::npos || !metres) return std::string(PointLineNotReadText);
    return AddPoint(points, *metres, text.substr(colon + 1));
}

// The same for a jump line, beside the bindings and points taken. A binding's joystick name may
// hold colons, a target never does.
std::optional<std::string> TakeJump(std::string_view text, const OwnPoints& points, Bindings& bindings) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::string(JumpBindingNotReadText);
    const std::string_view targetText = text.substr(colon + 1);
    std::optional<Stop> target;
    if (const auto metres = WholeNumber(targetText)) {
        if (FindPoint(points, *metres)) target = PointStop(*metres);
    } else if (const auto row = SectionTable::Find(targetText)) {
        target = SectionStop(*row);
    }
    if (!target) return std::string(JumpTargetUnknownText);
    const auto binding = ParseBinding(text.substr(0, colon));
    if (!binding || binding->kind == Binding::Kind::None) return std::string(JumpBindingNotReadText);
    if (JumpBinding(bindings, *target).kind != Binding::Kind::None) return std::string(JumpTargetTakenText);
    if (UseOf(bindings, *binding)) return std::string(JumpBindingTakenText);
    SetJump(bindings, *target, *binding);
    return std::nullopt;
}

// Every line after the folder's, and whether Lapforge takes it. A next= or previous= line is taken
// once, when it can be read; any other stays as it is and keeps the binding's default.
struct ReadLines {
    SettingsRead read;
    std::vector<bool> taken;
};

ReadLines ReadLinesAfterFirst(const std::vector<std::string_view>& lines) {
    ReadLines result;
    Settings& settings = result.read.settings;
    result.taken.assign(lines.size(), false);
    std::vector<std::optional<std::string>> refused(lines.size());
    bool onlyPoints = false;
    bool nextRead = false;
    bool previousRead = false;
    const auto takeMove = [&](std::size_t i, std::string_view value, bool& read, Binding& binding) {
        if (read) {
            refused[i] = std::string(MoveBindingTwiceText);
        } else if (const auto parsed = ParseBinding(value)) {
            binding = *parsed;
            read = result.taken[i] = true;
        } else {
            refused[i] = std::string(MoveBindingNotReadText);
        }
    };
    // The bindings and points first: the jumps name them, wherever their lines stand.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with(NextName)) {
            takeMove(i, line.substr(NextName.size()), nextRead, settings.bindings.next);
        } else if (line.starts_with(PreviousName)) {
            takeMove(i, line.substr(PreviousName.size()), previousRead, settings.bindings.previous);
        } else if (line.starts_with(OnlyPointsName)) {
            result.taken[i] = true;
            onlyPoints = line.substr(OnlyPointsName.size()) == OnlyPointsOn;
        } else if (line.starts_with(LaunchName)) {
            result.taken[i] = true;
            settings.launch = line.substr(LaunchName.size());
        } else if (line.starts_with(PointLineName)) {
            refused[i] = TakePoint(line.substr(PointLineName.size()), settings.points);
            result.taken[i] = !refused[i];
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with(JumpName)) continue;
        refused[i] = TakeJump(lines[i].substr(JumpName.size()), settings.points, settings.bindings);
        result.taken[i] = !refused[i];
    }
    SetOnlyThese(settings.points, onlyPoints);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (result.taken[i]) continue;
        settings.otherLines.emplace_back(lines[i]);
        if (refused[i]) result.read.skipped.push_back(SkippedLine{std::string(lines[i]), *refused[i]});
    }
    return result;
}

// The kept lines after Lapforge's own, each as it was read. A kept line that would be taken when
// the file is read back (a duplicate point whose first the driver removed, a jump whose clash he
// cleared) goes instead: what was skipped stays skipped, and the file reads back as the settings.
std::string KeptLinesText(const std::string& own, const std::vector<std::string>& otherLines) {
    std::vector<std::string_view> kept;
    for (const std::string& line : otherLines)
        if (!line.empty() && line.find_first_of("\r\n") == std::string::npos) kept.push_back(line);
    const std::size_t ownCount = LinesAfterFirst(own).size();
    for (;;) {
        std::vector<std::string_view> lines = LinesAfterFirst(own);
        lines.insert(lines.end(), kept.begin(), kept.end());
        const std::vector<bool> taken = ReadLinesAfterFirst(lines).taken;
        std::vector<std::string_view> still;
        for (std::size_t i = 0; i < kept.size(); ++i)
            if (!taken[ownCount + i]) still.push_back(kept[i]);
        if (still.size() == kept.size()) break;
        kept = std::move(still);  // one gone may free another
    }
    std::string text;
    for (const std::string_view line : kept) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace

std::string SettingsFolder(std::string_view bytes, const std::string& path) {
    std::string folder(bytes.substr(0, bytes.find_first_of("\r\n")));
    if (folder.empty()) throw FileFailure("read", path, "the file names no folder");
    return folder;
}

SettingsRead ParseSettings(std::string_view bytes) { return ReadLinesAfterFirst(LinesAfterFirst(bytes)).read; }

void ForgetDecidedLines(std::vector<std::string>& otherLines, const Bindings& before, const Bindings& after) {
    const auto forget = [&otherLines](std::string_view name, const Binding& was, const Binding& now) {
        if (was == now) return;
        std::erase_if(otherLines, [name](const std::string& line) { return line.starts_with(name); });
    };
    forget(NextName, before.next, after.next);
    forget(PreviousName, before.previous, after.previous);
}

std::string SettingsText(std::string_view folder, const Settings& settings) {
    std::string bytes(folder);
    bytes += "\r\n";
    const auto addLine = [&bytes](std::string_view name, std::string_view value) {
        bytes += name;
        bytes += value;
        bytes += "\r\n";
    };
    const Bindings defaults;
    const Bindings& bindings = settings.bindings;
    if (bindings.next != defaults.next) addLine(NextName, BindingText(bindings.next));
    if (bindings.previous != defaults.previous) addLine(PreviousName, BindingText(bindings.previous));
    for (const Jump& jump : bindings.jumps) {
        const Stop& target = jump.target;
        if (jump.binding.kind == Binding::Kind::None || (target.ownPoint && !FindPoint(settings.points, target.metres)))
            continue;
        addLine(JumpName, BindingText(jump.binding) + ":" +
                              (target.ownPoint ? std::to_string(target.metres)
                                               : std::string(SectionTable::Rows()[target.section].name)));
    }
    if (settings.points.onlyThese && !settings.points.list.empty()) addLine(OnlyPointsName, OnlyPointsOn);
    for (const OwnPoint& point : settings.points.list)
        addLine(PointLineName, std::to_string(point.metres) + ":" + LineSafe(point.name));
    if (!settings.launch.empty() && !IsDefaultSimulatorProgram(settings.launch))
        addLine(LaunchName, LineSafe(settings.launch));
    return bytes + KeptLinesText(bytes, settings.otherLines);
}

void WriteSettingsFile(const std::string& path, std::string_view folder, const Settings& settings) {
    ReplaceFileContents(path, SettingsText(folder, settings));
}

}  // namespace lapforge
