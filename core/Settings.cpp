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

}  // namespace

std::string SettingsFolder(std::string_view bytes, const std::string& path) {
    std::string folder(bytes.substr(0, bytes.find_first_of("\r\n")));
    if (folder.empty()) throw FileFailure("read", path, "the file names no folder");
    return folder;
}

SettingsRead ParseSettings(std::string_view bytes) {
    SettingsRead read;
    Settings& settings = read.settings;
    const std::vector<std::string_view> lines = LinesAfterFirst(bytes);
    std::vector<bool> taken(lines.size(), false);
    std::vector<std::optional<std::string>> refused(lines.size());
    bool onlyPoints = false;
    // The bindings and points first: the jumps name them, wherever their lines stand.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with(NextName)) {
            taken[i] = true;
            if (const auto binding = ParseBinding(line.substr(NextName.size()))) settings.bindings.next = *binding;
        } else if (line.starts_with(PreviousName)) {
            taken[i] = true;
            if (const auto binding = ParseBinding(line.substr(PreviousName.size())))
                settings.bindings.previous = *binding;
        } else if (line.starts_with(OnlyPointsName)) {
            taken[i] = true;
            onlyPoints = line.substr(OnlyPointsName.size()) == OnlyPointsOn;
        } else if (line.starts_with(LaunchName)) {
            taken[i] = true;
            settings.launch = line.substr(LaunchName.size());
        } else if (line.starts_with(PointLineName)) {
            refused[i] = TakePoint(line.substr(PointLineName.size()), settings.points);
            taken[i] = !refused[i];
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with(JumpName)) continue;
        refused[i] = TakeJump(lines[i].substr(JumpName.size()), settings.points, settings.bindings);
        taken[i] = !refused[i];
    }
    SetOnlyThese(settings.points, onlyPoints);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (taken[i]) continue;
        settings.otherLines.emplace_back(lines[i]);
        if (refused[i]) read.skipped.push_back(SkippedLine{std::string(lines[i]), *refused[i]});
    }
    return read;
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
    for (const std::string& line : settings.otherLines) addLine({}, LineSafe(line));
    return bytes;
}

void WriteSettingsFile(const std::string& path, std::string_view folder, const Settings& settings) {
    ReplaceFileContents(path, SettingsText(folder, settings));
}

}  // namespace lapforge
