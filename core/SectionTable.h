#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace lapforge {

// One place on the lap where the car can be deployed, with the files that show and announce it.
struct Section {
    std::string_view name;
    std::string_view viewPicture;
    std::string_view mapPicture;
    std::string_view announcement;
    std::string_view deployLine;
};

// The built-in sections in lap order; the order fills the section list and drives the hotkeys.
namespace SectionTable {

inline constexpr std::size_t Count = 11;

const std::array<Section, Count>& Rows();

// Exact match: same characters, same case, same length.
std::optional<std::size_t> Find(std::string_view name);

// The next row in lap order; the last row is followed by the first.
constexpr std::size_t Successor(std::size_t index) { return (index + 1) % Count; }

// The row before in lap order; the first row is preceded by the last.
constexpr std::size_t Predecessor(std::size_t index) { return (index + Count - 1) % Count; }

}  // namespace SectionTable
}  // namespace lapforge
