#include "core/Controller.h"
#include "core/Failure.h"
#include "core/SectionCycle.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lapforge;

namespace {

class NoView : public View {
public:
    bool ShowViewPicture(const std::string&) override { return true; }
    bool ShowMapPicture(const std::string&) override { return true; }
    void SelectSection(std::string_view) override {}
    void AskForSimulatorFolder(std::string_view) override {}
    void ShowErrorMessage(std::string_view) override {}
    void EndProgram() override {}
};

constexpr int F3Key = 0x72;
constexpr unsigned Wheel = 2;  // a controller's id, not the first, so ids are not confused with indexes

// The desktop as a script gives it, one state per poll.
class ScriptedInput : public InputSource {
public:
    Bindings bindings;
    bool nextDown = false;
    bool previousDown = false;
    bool modifier = false;
    bool unplugged = false;
    int asks = 0;  // looks at the keyboard or a controller

    bool IsKeyDown(int key) override {
        ++asks;
        return (key == bindings.next.key && nextDown) || (key == bindings.previous.key && previousDown);
    }
    bool IsModifierDown() override { return modifier; }
    std::optional<std::uint32_t> JoystickButtons(unsigned joystick) override {
        ++asks;
        if (unplugged || (joystick != bindings.next.joystick && joystick != bindings.previous.joystick))
            return std::nullopt;
        std::uint32_t buttons = 1u << 9;  // another button, held all along
        if (nextDown && joystick == bindings.next.joystick) buttons |= 1u << (bindings.next.button - 1);
        if (previousDown && joystick == bindings.previous.joystick) buttons |= 1u << (bindings.previous.button - 1);
        return buttons;
    }
};

class RecordingView : public CycleView {
public:
    std::string section;
    std::vector<std::string> selected;
    std::vector<std::string> played;

    std::string CurrentSection() override { return section; }
    void SetSection(std::string_view name) override {
        section = name;
        selected.emplace_back(name);
    }
    void PlayAnnouncement(const std::string& path) override { played.push_back(path); }
};

const Bindings Keys{KeyBinding(F4Key), KeyBinding(F3Key)};
const Bindings Buttons{ButtonBinding(Wheel, 5), ButtonBinding(Wheel, 6)};
// The same button number on two joysticks: each binding must read its own.
const Bindings TwoJoysticks{ButtonBinding(Wheel, 5), ButtonBinding(Wheel + 1, 5)};

// Plays a script through the cycle, one character per poll 10 ms apart, or an event between polls:
//   .  nothing down          n  "next" down          p  "previous" down
//   m  a modifier alone      M  "next" with a modifier   P  "previous" with a modifier
//   x  the controller does not answer
//   D  the box unticked      A  ticked again
//   E  the simulator ends    S  it starts again       *  the user picks "Hohe Acht/Wippermann"
struct ScriptRun {
    NoView noView;
    std::unique_ptr<Controller> controller = Controller::Create(noView, "C:\\Lapforge");
    SectionCycle cycle{*controller};
    ScriptedInput input;
    RecordingView view;
    std::uint64_t now = 1'000'000;

    ScriptRun(const Bindings& bindings, std::string_view start) {
        controller->HotkeyBindings = bindings;
        input.bindings = bindings;
        view.section = start;
        cycle.SetArmed(true);
        cycle.SetSimulatorRunning(true);
    }

    void Play(std::string_view script) {
        for (const char c : script) {
            switch (c) {
            case 'D':
                cycle.SetArmed(false);
                continue;
            case 'A':
                cycle.SetArmed(true);
                continue;
            case 'E':
                cycle.SetSimulatorRunning(false);
                continue;
            case 'S':
                cycle.SetSimulatorRunning(true);
                continue;
            case '*':
                view.section = "Hohe Acht/Wippermann";
                continue;
            }
            input.nextDown = c == 'n' || c == 'M';
            input.previousDown = c == 'p' || c == 'P';
            input.modifier = c == 'm' || c == 'M' || c == 'P';
            input.unplugged = c == 'x';
            cycle.Poll(input, view, now);
            now += 10;
        }
    }
};

}  // namespace

TEST(SectionCycle, PressesOfKeysAndButtons) {
    struct Case {
        const char* name;
        std::string_view start;
        std::string_view script;
        std::vector<std::string> selected;
    };
    const Case cases[] = {
        {"a press moves on", "Schwalbenschwanz/Doettinger Hoehe", "..n..", {"Antoniusbuche/Tiergarten"}},
        {"held for long, one step", "Pitlane", ".nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn.", {"Flugplatz/Schwedenkreuz"}},
        {"two presses, two steps", "Pitlane", ".n.n.", {"Flugplatz/Schwedenkreuz", "Fuchsroehre/Adenauer Forst"}},
        {"nothing while up", "Pitlane", "..........", {}},
        {"down at the start is no press", "Pitlane", "nnn..", {}},
        {"after the last the first", "Antoniusbuche/Tiergarten", ".n.", {"Pitlane"}},
        {"before the first the last", "Pitlane", ".p.", {"Antoniusbuche/Tiergarten"}},
        {"back and on",
         "Hohe Acht/Wippermann",
         ".p.p.n.",
         {"Klostertal/Karussell", "Breidscheid/Kesselchen", "Klostertal/Karussell"}},
        {"Alt+F4", "Pitlane", ".mMMm.", {}},
        {"modifier let go before the key", "Pitlane", ".mMn.", {}},
        {"modifier pressed during the hold", "Pitlane", ".nnMn.", {}},
        {"a modifier pressed alone spoils nothing after it", "Pitlane", ".m.n.", {"Flugplatz/Schwedenkreuz"}},
        {"the user's pick is where the next press starts", "Pitlane", ".*n.", {"Bruennchen/Pflanzgarten"}},
        {"unticked during a hold: the release does nothing", "Pitlane", ".nnDn.A.", {}},
        {"ticked again: presses count at once", "Pitlane", "D.n.A.n.", {"Flugplatz/Schwedenkreuz"}},
        {"simulator ends during a hold", "Pitlane", ".nnE.n.", {}},
        {"simulator back", "Pitlane", ".nE.S.n.", {"Flugplatz/Schwedenkreuz"}},
        {"simulator back with the key held", "Pitlane", "ESnn.", {}},
        {"Alt or Ctrl with \"previous\"", "Pitlane", ".mPPm.p.", {"Antoniusbuche/Tiergarten"}},
    };
    for (const Bindings& bindings : {Keys, Buttons, TwoJoysticks}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(bindings == Keys ? "keys: " : bindings == Buttons ? "buttons: " : "two joysticks: ") +
                         c.name);
            ScriptRun run(bindings, c.start);
            run.Play(c.script);
            EXPECT_EQ(run.view.selected, c.selected);
            EXPECT_EQ(run.view.played.size(), c.selected.size());
        }
    }
}

TEST(SectionCycle, AnnouncesTheSectionItMovedTo) {
    ScriptRun run(Keys, "Pitlane");
    run.Play(".p.n.n.");
    const std::vector<std::string> played{"C:\\Lapforge\\ansage10.wav", "C:\\Lapforge\\ansage0.wav",
                                          "C:\\Lapforge\\ansage1.wav"};
    EXPECT_EQ(run.view.played, played);
}

TEST(SectionCycle, LooksAtNothingUnlessArmedWithTheSimulatorRunning) {
    for (const char* script : {"D.n.n.", "E.n.n.", "DE.n.n.S.n."}) {
        SCOPED_TRACE(script);
        ScriptRun run(Buttons, "Pitlane");
        run.Play(script);
        EXPECT_EQ(run.input.asks, 0);
        EXPECT_TRUE(run.view.selected.empty());
    }
}

TEST(SectionCycle, ControllerUnpluggedAndBack) {
    ScriptRun run(Bindings{ButtonBinding(Wheel, 5), KeyBinding(F3Key)}, "Pitlane");
    run.Play(".nn");  // unplugged while the button is held
    run.input.asks = 0;
    constexpr int interval = static_cast<int>(JoystickReprobe::IntervalMilliseconds / 10);  // in polls
    run.Play(std::string(4 * interval, 'x'));  // four intervals without it
    EXPECT_TRUE(run.view.selected.empty()) << "the lost button is no release";
    EXPECT_EQ(run.input.asks, 4 * interval + 4) << "each poll looks at the key, the controller once an interval";

    run.Play("p.");  // the key still works
    EXPECT_EQ(run.view.selected, std::vector<std::string>{"Antoniusbuche/Tiergarten"});

    run.Play(std::string(interval, '.'));  // plugged in again: found within one interval
    run.Play("n.");
    EXPECT_EQ(run.view.selected.back(), "Pitlane");
    run.Play("n.n.");
    EXPECT_EQ(run.view.selected.size(), 4u) << "asked at every poll again";
}

TEST(SectionCycle, BothBindingsOnOneControllerAskItOncePerPoll) {
    ScriptRun run(Buttons, "Pitlane");
    run.Play("..........");
    EXPECT_EQ(run.input.asks, 10);
}

namespace {

// The main window's wiring: setting the list applies the section through the controller before
// the setting returns, and start-up selects through the same list.
class ApplyingView : public RecordingView, public NoView {
public:
    Controller* controller = nullptr;

    void SetSection(std::string_view name) override {
        RecordingView::SetSection(name);
        controller->ApplySection(name);
    }
    void SelectSection(std::string_view name) override { SetSection(name); }
};

// Line 54 of a CR LF file replaced, everything else as it was.
std::string WithLine54(const std::string& file, const std::string& line) {
    std::size_t begin = 0;
    for (int i = 1; i < 54; ++i) begin = file.find("\r\n", begin) + 2;
    return file.substr(0, begin) + line + file.substr(file.find("\r\n", begin));
}

}  // namespace

TEST(CycleOnRealFiles, EachPressRewritesTheTrackFileBeforeItsAnnouncement) {
    TestFolder app;
    TestFolder sim;
    const std::string track = sim.Path() + "\\tracks\\nurburg\\track.ini";
    sim.Write("\\gpl.exe", "MZ");
    sim.Write("\\tracks\\nurburg\\track.ini", NumberedLines(120));
    app.Write("\\lapforge.ini", sim.Path() + "\r\nprevious=key:0x72\r\n");

    ApplyingView view;
    const std::unique_ptr<Controller> controller = Controller::Create(view, app.Path());
    view.controller = controller.get();
    controller->StartUp();
    ASSERT_EQ(view.section, "Pitlane");
    view.SetSection("Schwalbenschwanz/Doettinger Hoehe");  // the user's pick
    const std::string before = TestFolder::Read(track);
    ASSERT_EQ(before, WithLine54(NumberedLines(120), "stall_0 = 17800.00 0.00"));

    SectionCycle cycle(*controller);
    cycle.SetArmed(true);
    cycle.SetSimulatorRunning(true);
    ScriptedInput input;
    input.bindings = controller->HotkeyBindings;
    std::uint64_t now = 0;
    const auto press = [&](bool next) {
        for (const int down : {0, 1, 0}) {
            (next ? input.nextDown : input.previousDown) = down != 0;
            cycle.Poll(input, view, now += 10);
        }
    };

    press(true);
    EXPECT_EQ(TestFolder::Read(track), WithLine54(before, "stall_0 = 19400.00 0.00"));
    EXPECT_EQ(view.played, std::vector<std::string>{app.Path() + "\\ansage10.wav"});
    press(false);
    EXPECT_EQ(TestFolder::Read(track), before);
    EXPECT_EQ(view.played.back(), app.Path() + "\\ansage9.wav");

    for (int i = 0; i < 11; ++i) press(true);
    EXPECT_EQ(view.section, "Schwalbenschwanz/Doettinger Hoehe");
    EXPECT_EQ(TestFolder::Read(track), before) << "eleven presses give the file back byte for byte";

    // A rewrite that fails is the caller's failure, and nothing is announced.
    std::filesystem::remove_all(TestFolder::Native(sim.Path() + "\\tracks"));
    const std::size_t announced = view.played.size();
    EXPECT_THROW(press(true), Failure);
    EXPECT_EQ(view.played.size(), announced);
}
