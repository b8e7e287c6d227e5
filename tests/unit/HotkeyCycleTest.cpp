#include "core/Controller.h"
#include "core/HotkeyCycle.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace lapforge;

namespace {

struct ScriptEnded {};

class NoView : public View {
public:
    bool ShowViewPicture(const std::string&) override { return true; }
    bool ShowMapPicture(const std::string&) override { return true; }
    void SelectSection(std::string_view) override {}
    void AskForSimulatorFolder(std::string_view) override {}
    void ShowErrorMessage(std::string_view) override {}
    void EndProgram() override {}
};

// A desktop driven by a script: one key state per poll, and events that "arrive" during chosen waits.
class ScriptedHost : public HotkeyCycleHost {
public:
    std::deque<bool> keys;
    std::map<int, std::function<void()>> events;  // by the number of the wait they arrive in
    bool checked = true;
    std::string section = "Pitlane";
    std::vector<std::string> selected;
    std::vector<std::string> played;
    int waits = 0;
    int polls = 0;

    void Press(int downPolls = 1, int upPollsBefore = 1) {
        for (int i = 0; i < upPollsBefore; ++i) keys.push_back(false);
        for (int i = 0; i < downPolls; ++i) keys.push_back(true);
        keys.push_back(false);
    }

    bool IsHotkeyDown() override {
        ++polls;
        if (keys.empty()) throw ScriptEnded{};
        const bool down = keys.front();
        keys.pop_front();
        return down;
    }
    void WaitAndProcessEvents() override {
        const auto event = events.find(++waits);
        if (event != events.end()) event->second();
    }
    bool IsHotkeyOptionChecked() override { return checked; }
    std::string CurrentSection() override { return section; }
    void SetSection(std::string_view name) override {
        section = name;
        selected.emplace_back(name);
    }
    void PlayAnnouncement(const std::string& path) override { played.push_back(path); }
};

struct CycleTest : ::testing::Test {
    NoView view;
    std::unique_ptr<Controller> controller = Controller::Create(view, "C:\\Lapforge");
    ScriptedHost host;
};

}  // namespace

TEST_F(CycleTest, PressAndReleaseAdvanceOneSectionAndAnnounceIt) {
    host.section = "Schwalbenschwanz/Doettinger Hoehe";
    host.Press();
    AwaitHotkeyAndAdvance(*controller, host);
    EXPECT_EQ(host.selected, std::vector<std::string>{"Antoniusbuche/Tiergarten"});
    EXPECT_EQ(host.played, std::vector<std::string>{"C:\\Lapforge\\ansage10.wav"});
    EXPECT_TRUE(host.keys.empty());
}

TEST_F(CycleTest, HoldingTheKeyAdvancesOnce) {
    host.Press(/*downPolls=*/200);
    EXPECT_THROW(RunHotkeyCycle(*controller, host), ScriptEnded);  // waiting for the next press
    EXPECT_EQ(host.selected, std::vector<std::string>{"Flugplatz/Schwedenkreuz"});
}

TEST_F(CycleTest, NothingHappensWhileTheKeyStaysUp) {
    for (int i = 0; i < 500; ++i) host.keys.push_back(false);
    EXPECT_THROW(RunHotkeyCycle(*controller, host), ScriptEnded);
    EXPECT_TRUE(host.selected.empty());
    EXPECT_EQ(host.waits, 500) << "events are processed on every poll";
}

TEST_F(CycleTest, UncheckedAtTheStartReturnsWithoutPolling) {
    host.checked = false;
    RunHotkeyCycle(*controller, host);
    EXPECT_EQ(host.polls, 0);
}

TEST_F(CycleTest, UncheckingDuringAWaitStillTakesOneMorePress) {
    host.Press(1, /*upPollsBefore=*/5);
    host.events[2] = [&] { host.checked = false; };
    RunHotkeyCycle(*controller, host);  // returns: no ScriptEnded
    EXPECT_EQ(host.selected.size(), 1u);
    EXPECT_EQ(host.played.size(), 1u);
}

TEST_F(CycleTest, NestedCyclesEachNeedOneMorePress) {
    host.Press(1, 5);  // taken by the inner cycle
    host.Press(1, 5);  // taken by the outer one
    bool innerReturned = false;
    host.events[2] = [&] {  // a second click of the launch button while the first cycle waits
        host.events[3] = [&] { host.checked = false; };
        RunHotkeyCycle(*controller, host);
        innerReturned = true;
    };
    RunHotkeyCycle(*controller, host);
    EXPECT_TRUE(innerReturned);
    const std::vector<std::string> expected{"Flugplatz/Schwedenkreuz", "Fuchsroehre/Adenauer Forst"};
    EXPECT_EQ(host.selected, expected);
    EXPECT_TRUE(host.keys.empty());
}

TEST_F(CycleTest, AUserPickDuringTheWaitIsWhereTheNextPressStarts) {
    host.Press(1, 3);
    host.events[1] = [&] { host.section = "Hohe Acht/Wippermann"; };
    AwaitHotkeyAndAdvance(*controller, host);
    EXPECT_EQ(host.selected, std::vector<std::string>{"Bruennchen/Pflanzgarten"});
}

TEST_F(CycleTest, ElevenPressesReturnToTheStart) {
    host.section = "Klostertal/Karussell";
    for (int i = 0; i < 11; ++i) host.Press(3, 2);
    host.events[10 * 4 + 1] = [&] { host.checked = false; };  // during the last pass (four waits each)
    EXPECT_NO_THROW(RunHotkeyCycle(*controller, host));
    ASSERT_EQ(host.selected.size(), 11u);
    EXPECT_EQ(host.selected.back(), "Klostertal/Karussell");
    EXPECT_EQ(host.selected[4], "Pitlane");
    EXPECT_EQ(host.played[4], "C:\\Lapforge\\ansage0.wav");
}

namespace {

// The main window's wiring: setting the list applies the section through the controller before
// the setting returns, and start-up selects through the same list.
class ApplyingHost : public ScriptedHost, public NoView {
public:
    Controller* controller = nullptr;
    std::vector<std::string> pictures;

    void SetSection(std::string_view name) override {
        ScriptedHost::SetSection(name);
        controller->ApplySection(name);
    }
    void SelectSection(std::string_view name) override { SetSection(name); }
    bool ShowViewPicture(const std::string& path) override {
        pictures.push_back(path);
        return true;
    }
    bool ShowMapPicture(const std::string& path) override {
        pictures.push_back(path);
        return true;
    }
};

// Line 54 of a CR LF file replaced, everything else as it was.
std::string WithLine54(const std::string& file, const std::string& line) {
    std::size_t begin = 0;
    for (int i = 1; i < 54; ++i) begin = file.find("\r\n", begin) + 2;
    return file.substr(0, begin) + line + file.substr(file.find("\r\n", begin));
}

}  // namespace

TEST(CycleOnRealFiles, EachPressRewritesTheTrackFileAndElevenGiveItBack) {
    TestFolder app;
    TestFolder sim;
    const std::string track = sim.Path() + "\\tracks\\nurburg\\track.ini";
    sim.Write("\\gpl.exe", "MZ");
    sim.Write("\\tracks\\nurburg\\track.ini", NumberedLines(120));
    app.Write("\\lapforge.ini", sim.Path() + "\r\n");

    ApplyingHost host;
    const std::unique_ptr<Controller> controller = Controller::Create(host, app.Path());
    host.controller = controller.get();
    controller->StartUp();
    ASSERT_EQ(host.section, "Pitlane");
    host.SetSection("Schwalbenschwanz/Doettinger Hoehe");  // the user's pick before the launch
    const std::string before = TestFolder::Read(track);
    ASSERT_EQ(before, WithLine54(NumberedLines(120), "stall_0 = 17800.00 0.00"));

    host.pictures.clear();
    host.Press();
    AwaitHotkeyAndAdvance(*controller, host);
    EXPECT_EQ(TestFolder::Read(track), WithLine54(before, "stall_0 = 19400.00 0.00"));
    const std::vector<std::string> pictures{app.Path() + "\\blick10.jpg", app.Path() + "\\karte10.jpg"};
    EXPECT_EQ(host.pictures, pictures);
    EXPECT_EQ(host.played, std::vector<std::string>{app.Path() + "\\ansage10.wav"});

    host.Press();
    AwaitHotkeyAndAdvance(*controller, host);
    EXPECT_EQ(host.section, "Pitlane");
    EXPECT_EQ(TestFolder::Read(track), WithLine54(before, "stall_0 = 230.00 -9.30"));
    EXPECT_EQ(host.played.back(), app.Path() + "\\ansage0.wav");

    for (int i = 0; i < 9; ++i) host.Press();
    host.events[host.waits + 9] = [&] { host.checked = false; };  // during the ninth pass, one wait each
    RunHotkeyCycle(*controller, host);
    EXPECT_EQ(host.section, "Schwalbenschwanz/Doettinger Hoehe");
    EXPECT_EQ(TestFolder::Read(track), before) << "eleven presses give the file back byte for byte";
}
