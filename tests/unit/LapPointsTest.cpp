#include "core/LapPoints.h"
#include "core/SectionTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace lapforge;

namespace {

OwnPoints Points(std::vector<int> metres, bool onlyThese = false) {
    OwnPoints points;
    for (const int m : metres) points.list.push_back(OwnPoint{m, "Point " + std::to_string(m)});
    points.onlyThese = onlyThese;
    return points;
}

std::string Name(const Stop& stop) {
    return stop.ownPoint ? std::to_string(stop.metres) : std::string(SectionTable::Rows()[stop.section].name);
}

}  // namespace

TEST(LapPoints, NameTheCornerAheadAndTheKm) {
    struct Case {
        int metres;
        const char* ahead;
        const char* name;
        const char* km;
    };
    const Case cases[] = {
        {13085, "Karussell in 450 m", "Before Karussell", "km 13.09"},        // the Steilstrecke, 10 m on, is behind
        {12300, "Klostertal in 450 m", "Before Klostertal", "km 12.30"},      // 465 m
        {13000, "Steilstrecke in 100 m", "Before Steilstrecke", "km 13.00"},  // 95 m: to 10 m, halves to even
        {13310, "Karussell in 200 m", "Before Karussell", "km 13.31"},        // 225 m: to 50 m, halves to even
        {13260, "Karussell in 300 m", "Before Karussell", "km 13.26"},        // 275 m
        {1629, "Nordkehre in 60 m", "Before Nordkehre", "km 1.63"},
        {22100, "Suedkehre in 1150 m", "Before Suedkehre", "km 22.10"},  // over the lap's end, into the pit loop
        {22800, "Suedkehre in 450 m", "Before Suedkehre", "km 22.80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.metres);
        EXPECT_EQ(CornerAheadText(c.metres), c.ahead);
        EXPECT_EQ(DefaultPointName(c.metres), c.name);
        EXPECT_EQ(KmText(c.metres), c.km);
    }
}

TEST(LapPoints, ReadsTypedKmAndDeployLines) {
    struct KmCase {
        const char* typed;
        std::optional<int> metres;
    };
    const KmCase typed[] = {
        {"12.3", 12300},      {"12,30", 12300},      {" 7 ", 7000},
        {"12.3456", 12346},   {".5", 500},           {"99999", 1000000},
        {"", std::nullopt},   {"abc", std::nullopt}, {"12.3.4", std::nullopt},
        {"-1", std::nullopt}, {"1e3", std::nullopt}, {"12 km", std::nullopt},
        {".", std::nullopt},
    };
    for (const KmCase& c : typed) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(ParseKm(c.typed), c.metres);
    }
    struct LineCase {
        const char* line;
        std::optional<double> metres;
    };
    const LineCase lines[] = {
        {"stall_0 = 12300.00 0.00", 12300.0}, {"stall_0 = 230.00 -9.30", 230.0}, {"  STALL_0\t=\t123.45", 123.45},
        {"stall_0 = 7100", 7100.0},           {"stall_0 = abc", std::nullopt},   {"stall_0 =", std::nullopt},
        {"pit_0 = 5.0 0.0", std::nullopt},
    };
    for (const LineCase& c : lines) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(DeployLineMetres(c.line), c.metres);
    }
    EXPECT_EQ(PointDeployLine(12300), "stall_0 = 12300.00 0.00");
    EXPECT_EQ(DeployLineMetres(PointDeployLine(1629)), 1629.0);
}

TEST(LapPoints, JudgeADistanceAsItIsTyped) {
    const OwnPoints one = Points({12300});
    struct Case {
        const char* typed;
        std::optional<int> metres;
        const char* problem;  // a part of the line shown instead of the offer
    };
    const Case cases[] = {
        {"", std::nullopt, "Type the distance along the lap in km"},
        {"  ", std::nullopt, "Type the distance along the lap in km"},
        {" 12 km", std::nullopt, "\"12 km\" is no distance"},
        {"12.33", std::nullopt, "only 30 m from your point \"Point 12300\""},
        {"0,5", std::nullopt, "pit loop"},
        {"25", std::nullopt, "not on the lap"},
        {"11,2", 11200, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const TypedPlace place = PlaceOfTypedKm(one, c.typed);
        EXPECT_EQ(place.metres, c.metres);
        EXPECT_NE(place.problem.find(c.problem), std::string::npos) << place.problem;
        EXPECT_EQ(place.problem.empty(), c.metres.has_value());
    }
}

TEST(LapPoints, FallInASectionAndShowTheNearestLapView) {
    struct Case {
        int metres;
        const char* section;
        const char* view;
    };
    const Case cases[] = {
        {1629, "Pitlane", "\\lap\\blick1750.jpg"},  // views begin at 1750
        {3099, "Pitlane", "\\lap\\blick3000.jpg"},
        {3100, "Flugplatz/Schwedenkreuz", "\\lap\\blick3000.jpg"},
        {12374, "Breidscheid/Kesselchen", "\\lap\\blick12250.jpg"},
        {12375, "Breidscheid/Kesselchen", "\\lap\\blick12500.jpg"},
        {22185, "Antoniusbuche/Tiergarten", "\\lap\\blick22000.jpg"},
        {100, "Antoniusbuche/Tiergarten", "\\lap\\blick1750.jpg"},  // before Pitlane's point: the lap's end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.metres);
        EXPECT_EQ(SectionTable::Rows()[SectionOf(c.metres)].name, c.section);
        EXPECT_EQ(LapViewName(c.metres), c.view);
    }
    EXPECT_EQ(LapViewNames().size(), 82u);
}

TEST(LapPoints, RefuseEachBadPlaceAndNameWithWhatIsWrong) {
    const OwnPoints one = Points({12300});
    std::vector<int> fifty;
    for (int m = 2000; fifty.size() < MaxPoints; m += 300) fifty.push_back(m);
    struct Case {
        const char* name;
        OwnPoints points;
        int metres;
        std::optional<int> moving;
        const char* problem;  // a part of the message; null: none
    };
    const Case cases[] = {
        {"beyond the lap", one, 23000, {}, "km 23.00 is not on the lap, which is 22.80 km long"},
        {"at the lap's length", one, 22800, {}, "not on the lap"},
        {"in the pit loop", one, 1000, {}, "pit loop, which the section Pitlane covers"},
        {"the pit loop's last metre", one, 1628, {}, "from km 1.63 to km 22.18"},
        {"the first metre after it", one, 1629, {}, nullptr},
        {"the last metre before it", one, 22185, {}, nullptr},
        {"the pit loop again", one, 22186, {}, "pit loop"},
        {"49 m from a point", one, 12349, {}, "only 49 m from your point \"Point 12300\" (km 12.30)"},
        {"on a point", one, 12300, {}, "\"Point 12300\" is already at km 12.30"},
        {"50 m from a point", one, 12350, {}, nullptr},
        {"near a section", one, 12460, {}, "\"Klostertal/Karussell\" deploys (km 12.50), and that section already"},
        {"on a section", one, 7100, {}, "section \"Metzgesfeld/Kallenhard/Wehrseifen\" already deploys at km 7.10"},
        {"near Pitlane's point is in the pit loop", one, 260, {}, "pit loop"},
        {"a 51st point", Points(fifty), 22000, {}, "as many as Lapforge keeps"},
        {"a point moved near its own place", one, 12320, 12300, nullptr},
        {"a point moved among fifty", Points(fifty), 2010, 2000, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto problem = PlaceProblem(c.points, c.metres, c.moving);
        if (!c.problem) {
            EXPECT_EQ(problem, std::nullopt);
        } else {
            ASSERT_TRUE(problem);
            EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
        }
    }
    struct NameCase {
        const char* name;
        std::string typed;
        bool refused;
        std::string kept;  // as the point at 12300 would have it
    };
    const NameCase names[] = {
        {"empty: the default", "", false, "Before Klostertal"},
        {"spaces alone: the default", "   ", false, "Before Klostertal"},
        {"40 characters", std::string(40, 'x'), false, std::string(40, 'x')},
        {"41 characters", std::string(41, 'x'), true, ""},
        {"40 between spaces", "  " + std::string(40, 'x') + " ", false, std::string(40, 'x')},
        {"a line break", "Before\r\nKarussell", true, ""},
        {"a tab", "Before\tKarussell", true, ""},
        {"8-bit letters", "Vor dem Br\xfc\x6e\x6e\x63hen", false, "Vor dem Br\xfc\x6e\x6e\x63hen"},
    };
    for (const NameCase& c : names) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NameProblem(c.typed).has_value(), c.refused);
        if (!c.refused) {
            EXPECT_EQ(PointName(c.typed, 12300), c.kept);
        }
    }
}

TEST(LapPoints, EditsKeepLapOrderAndTakeTheirJumpsAlong) {
    OwnPoints points;
    Bindings bindings;
    ASSERT_EQ(AddPoint(points, 15000, "Late"), std::nullopt);
    ASSERT_EQ(AddPoint(points, 12300, ""), std::nullopt);
    ASSERT_EQ(AddPoint(points, 5000, " Early "), std::nullopt);
    EXPECT_EQ(points.list, (std::vector<OwnPoint>{{5000, "Early"}, {12300, "Before Klostertal"}, {15000, "Late"}}));

    // Refused edits change nothing.
    const OwnPoints before = points;
    EXPECT_TRUE(AddPoint(points, 5020, "Near"));
    EXPECT_TRUE(AddPoint(points, 7000, std::string(41, 'x')));
    EXPECT_TRUE(RenamePoint(points, 5000, "Two\nlines"));
    EXPECT_TRUE(MovePoint(points, bindings, 5000, 12320));
    EXPECT_EQ(points, before);

    SetJump(bindings, PointStop(12300), KeyBinding(0x75));
    SetJump(bindings, SectionStop(6), KeyBinding(0x77));
    SetJump(bindings, SectionStop(6), KeyBinding(0x76));  // a new one replaces the first
    ASSERT_EQ(bindings.jumps.size(), 2u);
    ASSERT_EQ(MovePoint(points, bindings, 12300, 16000), std::nullopt);
    EXPECT_EQ(points.list.back(), (OwnPoint{16000, "Before Klostertal"}));  // moved, in order, its name kept
    EXPECT_EQ(JumpBinding(bindings, PointStop(16000)), KeyBinding(0x75));
    ASSERT_EQ(RenamePoint(points, 16000, ""), std::nullopt);
    EXPECT_EQ(FindPoint(points, 16000)->name, "Before Eiskurve");

    EXPECT_TRUE(SetOnlyThese(points, true));
    RemovePoint(points, bindings, 16000);
    EXPECT_EQ(bindings.jumps, (std::vector<Jump>{{KeyBinding(0x76), SectionStop(6)}}));
    EXPECT_TRUE(points.onlyThese);
    RemovePoint(points, bindings, 5000);
    RemovePoint(points, bindings, 15000);
    EXPECT_FALSE(points.onlyThese);  // the last point takes the tick with it
    EXPECT_FALSE(SetOnlyThese(points, true));
}

TEST(LapStops, StepInLapOrderFromAnyLineWrappingBothWays) {
    const OwnPoints none = Points({});
    const OwnPoints three = Points({1700, 12300, 22100});
    const OwnPoints threeOnly = Points({1700, 12300, 22100}, true);
    const OwnPoints noneOnly = Points({}, true);
    const std::string pit = "stall_0 = 230.00 -9.30", breidscheid = "stall_0 = 10300.00 0.00",
                      klostertal = "stall_0 = 12500.00 0.00", antonius = "stall_0 = 19400.00 0.00";
    struct Case {
        const char* name;
        const OwnPoints& points;
        std::string line;
        const char* next;
        const char* previous;
    };
    const Case cases[] = {
        {"sections alone", none, pit, "Flugplatz/Schwedenkreuz", "Antoniusbuche/Tiergarten"},
        {"sections alone, from the last", none, antonius, "Pitlane", "Schwalbenschwanz/Doettinger Hoehe"},
        {"only points ticked without points", noneOnly, pit, "Flugplatz/Schwedenkreuz", "Antoniusbuche/Tiergarten"},
        {"a point after Pitlane", three, pit, "1700", "22100"},
        {"from that point", three, PointDeployLine(1700), "Flugplatz/Schwedenkreuz", "Pitlane"},
        {"a point before the next section", three, breidscheid, "12300", "Ex-Muehle/Bergwerk"},
        {"from it", three, PointDeployLine(12300), "Klostertal/Karussell", "Breidscheid/Kesselchen"},
        {"the last point, then round", three, PointDeployLine(22100), "Pitlane", "Antoniusbuche/Tiergarten"},
        {"GPL's own line", three, "stall_0 = 11000.50 3.00", "12300", "Breidscheid/Kesselchen"},
        {"a line with no distance", three, "stall_0 = here", "Pitlane", "22100"},
        {"only points, from Pitlane", threeOnly, pit, "1700", "22100"},
        {"only points, from a section between", threeOnly, klostertal, "22100", "12300"},
        {"only points, round forwards", threeOnly, PointDeployLine(22100), "1700", "12300"},
        {"only points, round backwards", threeOnly, PointDeployLine(1700), "12300", "22100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Name(NextStop(c.points, c.line)), c.next);
        EXPECT_EQ(Name(PreviousStop(c.points, c.line)), c.previous);
    }

    std::vector<std::string> order;
    for (const Stop& stop : LapStops(three)) order.push_back(Name(stop));
    EXPECT_EQ(order, (std::vector<std::string>{
                         "Pitlane", "1700", "Flugplatz/Schwedenkreuz", "Fuchsroehre/Adenauer Forst",
                         "Metzgesfeld/Kallenhard/Wehrseifen", "Ex-Muehle/Bergwerk", "Breidscheid/Kesselchen", "12300",
                         "Klostertal/Karussell", "Hohe Acht/Wippermann", "Bruennchen/Pflanzgarten",
                         "Schwalbenschwanz/Doettinger Hoehe", "Antoniusbuche/Tiergarten", "22100"}));
    EXPECT_EQ(StopOfDeployLine(three, PointDeployLine(12300)), PointStop(12300));
    EXPECT_EQ(StopOfDeployLine(three, pit), SectionStop(0));
    EXPECT_EQ(StopOfDeployLine(three, "stall_0 = 12300.00 1.00"), std::nullopt);
    EXPECT_EQ(StopDeployLine(PointStop(12300)), "stall_0 = 12300.00 0.00");
}
