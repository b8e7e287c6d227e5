#include "core/SectionTable.h"

#include <gtest/gtest.h>

#include <set>
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

TEST(SectionTable, EveryRowFindsItselfAndNamesItsFilesByIndex) {
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < SectionTable::Count; ++i) {
        const Section& row = SectionTable::Rows()[i];
        SCOPED_TRACE(std::string(row.name));
        EXPECT_EQ(SectionTable::Find(row.name), i);
        EXPECT_TRUE(names.insert(row.name).second) << "duplicate name";
        const std::string n = std::to_string(i);
        EXPECT_EQ(row.viewPicture, "\\blick" + n + ".jpg");
        EXPECT_EQ(row.mapPicture, "\\karte" + n + ".jpg");
        EXPECT_EQ(row.announcement, "\\ansage" + n + ".wav");
        EXPECT_EQ(row.deployLine.substr(0, 10), "stall_0 = ");
    }
}

TEST(SectionTable, DeployLinesAreTheFixedTexts) {
    EXPECT_EQ(SectionTable::Rows()[0].deployLine, "stall_0 = 230.00 -9.30");
    EXPECT_EQ(SectionTable::Rows()[7].deployLine, "stall_0 = 14000.00 0.00");
    EXPECT_EQ(SectionTable::Rows()[10].deployLine, "stall_0 = 19400.00 0.00");
    EXPECT_EQ(SectionTable::Rows()[10].viewPicture, "\\blick10.jpg");
    EXPECT_EQ(SectionTable::Rows()[10].mapPicture, "\\karte10.jpg");
    EXPECT_EQ(SectionTable::Rows()[10].announcement, "\\ansage10.wav");
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
