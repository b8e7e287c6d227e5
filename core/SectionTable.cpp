#include "core/SectionTable.h"

namespace lapforge::SectionTable {

namespace {

constexpr std::array<Section, Count> kRows{{
    {"Pitlane", "\\blick0.jpg", "\\karte0.jpg", "\\ansage0.wav", "stall_0 = 230.00 -9.30"},
    {"Flugplatz/Schwedenkreuz", "\\blick1.jpg", "\\karte1.jpg", "\\ansage1.wav", "stall_0 = 3100.00 0.00"},
    {"Fuchsroehre/Adenauer Forst", "\\blick2.jpg", "\\karte2.jpg", "\\ansage2.wav", "stall_0 = 5600.00 0.00"},
    {"Metzgesfeld/Kallenhard/Wehrseifen", "\\blick3.jpg", "\\karte3.jpg", "\\ansage3.wav", "stall_0 = 7100.00 0.00"},
    {"Ex-Muehle/Bergwerk", "\\blick4.jpg", "\\karte4.jpg", "\\ansage4.wav", "stall_0 = 9300.00 0.00"},
    {"Breidscheid/Kesselchen", "\\blick5.jpg", "\\karte5.jpg", "\\ansage5.wav", "stall_0 = 10300.00 0.00"},
    {"Klostertal/Karussell", "\\blick6.jpg", "\\karte6.jpg", "\\ansage6.wav", "stall_0 = 12500.00 0.00"},
    {"Hohe Acht/Wippermann", "\\blick7.jpg", "\\karte7.jpg", "\\ansage7.wav", "stall_0 = 14000.00 0.00"},
    {"Bruennchen/Pflanzgarten", "\\blick8.jpg", "\\karte8.jpg", "\\ansage8.wav", "stall_0 = 15600.00 0.00"},
    {"Schwalbenschwanz/Doettinger Hoehe", "\\blick9.jpg", "\\karte9.jpg", "\\ansage9.wav", "stall_0 = 17800.00 0.00"},
    {"Antoniusbuche/Tiergarten", "\\blick10.jpg", "\\karte10.jpg", "\\ansage10.wav", "stall_0 = 19400.00 0.00"},
}};

}  // namespace

const std::array<Section, Count>& Rows() { return kRows; }

std::optional<std::size_t> Find(std::string_view name) {
    for (std::size_t i = 0; i < Count; ++i) {
        if (kRows[i].name == name) return i;
    }
    return std::nullopt;
}

}  // namespace lapforge::SectionTable
