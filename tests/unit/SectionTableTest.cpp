#include "core/SectionTable.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

using namespace lapforge;

TEST(SectionTable, FindIsExact) {
    EXPECT_EQ(SectionTable::Find("Pitlane"), 0u);
    EXPECT_EQ(SectionTable::Find("Antoniusbuche/Tiergarten"), 10u);
    for (const char* miss : {"pitlane", "Pitlane ", "", " Pitlane", "PITLANE", "Hohe Acht / Wippermann"}) {
        SCOPED_TRACE(miss);
        EXPECT_FALSE(SectionTable::Find(miss).has_value());
    }
}

TEST(SectionTable, EveryRowHoldsItsFixedTexts) {
    struct Row {
        const char* name;
        const char* view;
        const char* map;
        const char* announcement;
        const char* deployLine;
    };
    const Row expected[] = {
        {"Pitlane", "\\blick0.jpg", "\\karte0.jpg", "\\ansage0.wav", "stall_0 = 230.00 -9.30"},
        {"Flugplatz/Schwedenkreuz", "\\blick1.jpg", "\\karte1.jpg", "\\ansage1.wav", "stall_0 = 3100.00 0.00"},
        {"Fuchsroehre/Adenauer Forst", "\\blick2.jpg", "\\karte2.jpg", "\\ansage2.wav", "stall_0 = 5600.00 0.00"},
        {"Metzgesfeld/Kallenhard/Wehrseifen", "\\blick3.jpg", "\\karte3.jpg", "\\ansage3.wav",
         "stall_0 = 7100.00 0.00"},
        {"Ex-Muehle/Bergwerk", "\\blick4.jpg", "\\karte4.jpg", "\\ansage4.wav", "stall_0 = 9300.00 0.00"},
        {"Breidscheid/Kesselchen", "\\blick5.jpg", "\\karte5.jpg", "\\ansage5.wav", "stall_0 = 10300.00 0.00"},
        {"Klostertal/Karussell", "\\blick6.jpg", "\\karte6.jpg", "\\ansage6.wav", "stall_0 = 12500.00 0.00"},
        {"Hohe Acht/Wippermann", "\\blick7.jpg", "\\karte7.jpg", "\\ansage7.wav", "stall_0 = 14000.00 0.00"},
        {"Bruennchen/Pflanzgarten", "\\blick8.jpg", "\\karte8.jpg", "\\ansage8.wav", "stall_0 = 15600.00 0.00"},
        {"Schwalbenschwanz/Doettinger Hoehe", "\\blick9.jpg", "\\karte9.jpg", "\\ansage9.wav",
         "stall_0 = 17800.00 0.00"},
        {"Antoniusbuche/Tiergarten", "\\blick10.jpg", "\\karte10.jpg", "\\ansage10.wav", "stall_0 = 19400.00 0.00"},
    };
    static_assert(std::size(expected) == SectionTable::Count);
    for (std::size_t i = 0; i < SectionTable::Count; ++i) {
        const Row& want = expected[i];
        const Section& row = SectionTable::Rows()[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(row.name, want.name);
        EXPECT_EQ(row.viewPicture, want.view);
        EXPECT_EQ(row.mapPicture, want.map);
        EXPECT_EQ(row.announcement, want.announcement);
        EXPECT_EQ(row.deployLine, want.deployLine);
        EXPECT_EQ(SectionTable::Find(want.name), i);
    }
}

TEST(SectionTable, ElevenSuccessorStepsReturnToTheStart) {
    EXPECT_EQ(SectionTable::Successor(10), 0u);
    for (std::size_t start = 0; start < SectionTable::Count; ++start) {
        std::size_t i = start;
        for (int step = 0; step < 11; ++step) {
            i = SectionTable::Successor(i);
            if (step < 10) {
                EXPECT_NE(i, start);
            }
        }
        EXPECT_EQ(i, start);
    }
}
