#include "core/ReplaceFile.h"

#include <charconv>

namespace lapforge {

namespace {

constexpr std::string_view TemporarySuffix = ".tmp";

}  // namespace

std::string TemporaryFilePath(const std::string& path, unsigned long processId) {
    return path + "." + std::to_string(processId) + std::string(TemporarySuffix);
}

std::optional<unsigned long> TemporaryFileOwner(std::string_view fileName, std::string_view targetName) {
    if (fileName.size() <= targetName.size() + 1 + TemporarySuffix.size()) return std::nullopt;
    if (fileName.substr(0, targetName.size()) != targetName || fileName[targetName.size()] != '.') return std::nullopt;
    if (fileName.substr(fileName.size() - TemporarySuffix.size()) != TemporarySuffix) return std::nullopt;
    const std::string_view digits =
        fileName.substr(targetName.size() + 1, fileName.size() - targetName.size() - 1 - TemporarySuffix.size());
    unsigned long id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return id;
}

}  // namespace lapforge
