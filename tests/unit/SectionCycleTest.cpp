#include "core/Announcement.h"
#include "core/BindingCapture.h"
#include "core/Controller.h"
#include "core/Failure.h"
#include "core/SectionCycle.h"
#include "core/SectionTable.h"

#include "NullView.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace lapforge;

namespace {

constexpr int F3Key = 0x72;
constexpr unsigned Wheel = 2;  // a controller's id, not the first, so ids are not confused with indexes
const JoystickIdentity G27{0x046d, 0xc29b, 0, "G27 Racing Wheel"};
const JoystickIdentity OtherMake{0x044f, 0xb66e, 0, "T300RS"};

// The desktop as a script gives it, one state per poll.
class ScriptedInput : public InputSource {
public:
    Bindings bindings;
    bool nextDown = false;
    bool previousDown = false;
    bool modifier = false;
    int modifierKey = 0x12;  // Alt
    JoystickControls moreDown = 0;  // on the wheel, besides what the bindings name
    bool unplugged = false;
    unsigned wheelId = Wheel;          // where the wheel is plugged in now
    JoystickIdentity make = G27;       // what is plugged in there
    int asks = 0;                      // looks at the keyboard or a controller
    int enumerations = 0;

    int otherKey = 0;  // another key down, as a jump's
    bool IsKeyDown(int key) override {
        ++asks;
        if (key == modifierKey) return modifier;
        if (key == otherKey) return true;
        return (key == bindings.next.key && nextDown) || (key == bindings.previous.key && previousDown);
    }
    const std::vector<JoystickInfo>& Joysticks() override {
        if (stale_) {
            ++enumerations;
            listed_.clear();
            if (!unplugged) listed_.push_back(JoystickInfo{wheelId, make.vendor, make.product, make.name, 12, true});
            if (!unplugged && bindings.previous.identity == OtherMake)
                listed_.push_back(JoystickInfo{Wheel + 1, OtherMake.vendor, OtherMake.product, OtherMake.name, 32, false});
            stale_ = false;
        }
        return listed_;
    }
    void Reenumerate() override { stale_ = true; }
    std::vector<InputChange> changes;  // kept since the last poll, as the system's key events and a sampler give them
    std::vector<InputChange> TakeChanges() override { return std::exchange(changes, {}); }
    std::optional<JoystickControls> JoystickInputs(unsigned joystick) override {
        ++asks;
        // The wheel where it is plugged in now; the button box, when bound, beside the first place.
        const std::optional<JoystickIdentity> there = joystick == wheelId ? std::optional(make)
                                                      : joystick == Wheel + 1 ? std::optional(OtherMake)
                                                                              : std::nullopt;
        if (unplugged || !there) return std::nullopt;
        JoystickControls controls = (1u << 9) | (joystick == wheelId ? moreDown : 0);  // button 10 held all along
        // An old line names no make: its button is the wheel's.
        const auto on = [&](const Binding& b) { return b.identity ? b.identity == there : joystick == wheelId; };
        if (nextDown && on(bindings.next)) controls |= ControlBit(bindings.next);
        if (previousDown && on(bindings.previous)) controls |= ControlBit(bindings.previous);
        return controls;
    }

private:
    bool stale_ = true;
    std::vector<JoystickInfo> listed_;
};

// The main window as the cycle sees it: what a step wrote, said and refused.
class RecordingView : public CycleView {
public:
    Controller* controller = nullptr;   // with one, selecting applies the section, as the list does
    std::uint64_t* clock = nullptr;     // moved on by each step's rewrite, which holds the thread
    std::uint64_t writeMilliseconds = 0;
    std::vector<std::string> selected;  // shown after a step
    std::vector<std::string> played;
    std::vector<std::string> refused;
    std::vector<std::string> pictures;  // the stops whose pictures were drawn

    bool ShowViewPicture(const std::string&) override { return true; }
    bool ShowMapPicture(const std::string&) override { return true; }
    void ShowMapRoad(bool, std::optional<MapPixel>, std::uint32_t) override {}
    void SelectSection(std::string_view name) override {
        if (controller) controller->ApplySection(name);
    }
    void ShowRefusedRewrite(const std::exception&) override {}
    void DeployLineChangedElsewhere(std::string_view) override {}
    void AskForSimulatorFolder(std::string_view) override {}
    void ShowErrorMessage(std::string_view) override {}
    void EndProgram() override {}
    void Announce(const StopAnnouncement& announcement) override {
        played.push_back(announcement.stop.ownPoint ? "speak " + announcement.spokenName : announcement.wavePath);
    }
    void ShowWrittenStop(const Stop& stop) override {
        if (clock) *clock += writeMilliseconds;
        selected.push_back(stop.ownPoint ? "point " + std::to_string(stop.metres)
                                         : std::string(SectionTable::Rows()[stop.section].name));
    }
    void ShowStopPictures(const Stop& stop) override {
        pictures.push_back(stop.ownPoint ? "point " + std::to_string(stop.metres)
                                         : std::string(SectionTable::Rows()[stop.section].name));
    }
    void StepRefused(const std::exception& failure) override { refused.emplace_back(failure.what()); }
};

const std::string kTrack = "\\tracks\\nurburg\\track.ini";

// A track file whose line 54 is the given one.
std::string TrackWithLine54(std::string_view line) {
    return NumberedLines(53) + std::string(line) + "\r\n" + NumberedLines(66, 55);
}

const Bindings Keys{KeyBinding(F4Key), KeyBinding(F3Key)};
const Bindings Buttons{ButtonBinding(Wheel, 5, G27), HatBinding(Wheel, Hat::Left, G27)};
// The same button on two joysticks, a wheel and a button box: each binding must read its own.
const Bindings TwoJoysticks{ButtonBinding(Wheel, 5, G27), ButtonBinding(Wheel + 1, 5, OtherMake)};

// Plays a script through the cycle, one character per poll 10 ms apart, or an event between polls:
//   .  nothing down          n  "next" down          p  "previous" down
//   m  a modifier alone      M  "next" with a modifier   P  "previous" with a modifier
//   x  the controller does not answer
//   D  the box unticked      A  ticked again
//   E  the simulator ends    S  it starts again       *  the user picks "Hohe Acht/Wippermann"
//   R  rewrites refused      W  writable again
// `start` is the section GPL's track file holds, or any other line 54.
struct ScriptRun {
    TestFolder sim;
    NullView noView;
    std::unique_ptr<Controller> controller = Controller::Create(noView, "C:\\Lapforge");
    SectionCycle cycle{*controller};
    ScriptedInput input;
    RecordingView view;
    std::uint64_t now = 1'000'000;

    ScriptRun(const Bindings& bindings, std::string_view start) {
        const auto section = SectionTable::Find(start);
        sim.Write(kTrack, TrackWithLine54(section ? SectionTable::Rows()[*section].deployLine : start));
        controller->GPLOrdnerPfad = sim.Path();
        controller->HotkeyBindings = bindings;
        input.bindings = bindings;
        cycle.SetOptionChecked(true);
        cycle.SetSimulatorWatched(true);
    }

    void Play(std::string_view script) {
        for (const char c : script) {
            switch (c) {
            case 'D':
                cycle.SetOptionChecked(false);
                continue;
            case 'A':
                cycle.SetOptionChecked(true);
                continue;
            case 'E':
                cycle.SetSimulatorWatched(false);
                continue;
            case 'S':
                cycle.SetSimulatorWatched(true);
                continue;
            case 'R':
            case 'W':
                TestFolder::SetWritable(sim.Path() + kTrack, c == 'W');
                continue;
            case '*':
                controller->ApplySection("Hohe Acht/Wippermann");
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
        {"the user's pick is where the next press starts", "Pitlane", ".*n.", {"Bruennchen/Pflanzgarten"}},
        {"unticked during a hold: the release does nothing", "Pitlane", ".nnDn.A.", {}},
        {"ticked again: presses count at once", "Pitlane", "D.n.A.n.", {"Flugplatz/Schwedenkreuz"}},
        {"simulator ends during a hold", "Pitlane", ".nnE.n.", {}},
        {"simulator back", "Pitlane", ".nE.S.n.", {"Flugplatz/Schwedenkreuz"}},
        {"simulator back with the key held", "Pitlane", "ESnn.", {}},
        {"pressed while the simulator was away: the first press after it counts",
         "Pitlane", ".n.E.n.S.n.", {"Flugplatz/Schwedenkreuz", "Fuchsroehre/Adenauer Forst"}},
        {"a refused rewrite stays put, the next press tries again", "Pitlane", ".Rn.Wn.", {"Flugplatz/Schwedenkreuz"}},
        {"from GPL's own line at 777 m: on along the lap", "stall_0 = 777.00 1.50", ".n.", {"Flugplatz/Schwedenkreuz"}},
        {"from GPL's own line at 777 m: back along the lap", "stall_0 = 777.00 1.50", ".p.", {"Pitlane"}},
    };
    for (const Bindings& bindings : {Keys, Buttons, TwoJoysticks}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(bindings == Keys ? "keys: " : bindings == Buttons ? "buttons: " : "two joysticks: ") +
                         c.name);
            ScriptRun run(bindings, c.start);
            run.Play(c.script);
            EXPECT_EQ(run.view.selected, c.selected);
            EXPECT_EQ(run.view.played.size(), c.selected.size()) << "announced only what was written";
            EXPECT_EQ(run.view.refused.size(), std::string_view(c.script).find('R') == std::string_view::npos ? 0u : 1u);
        }
    }
}

TEST(ModifierPolicy, TheKeysWindowAndTheCycleAgree) {
    // One look per character: . nothing  n the input  m the modifier alone  M the modifier and the input.
    // The Keys window takes a press as it goes down, the cycle counts it as it comes up; a controller's
    // button is taken and counts whatever keys are held.
    struct Case {
        const char* name;
        int modifier;
        std::string_view script;
        bool keyTaken;   // by the Keys window
        bool keyCounts;  // in the cycle
    };
    const Case cases[] = {
        {"the key alone", 0xA0, ".n.", true, true},
        {"left Shift", 0xA0, ".mMm.", true, true},
        {"Shift as either side reports it", 0x10, ".mMm.", true, true},
        {"right Shift pressed during the hold", 0xA1, ".nMn.", true, true},
        {"Alt", 0x12, ".mMMm.", false, false},
        {"left Alt", 0xA4, ".mMm.", false, false},
        {"AltGr", 0xA5, ".mMm.", false, false},
        {"Ctrl", 0x11, ".mMm.", false, false},
        {"right Ctrl", 0xA3, ".mMm.", false, false},
        {"left Windows key", 0x5B, ".mMm.", false, false},
        {"right Windows key", 0x5C, ".mMm.", false, false},
        {"Alt let go before the key", 0x12, ".mMn.", false, false},
        {"Alt pressed during the hold: the Keys window took it going down", 0x12, ".nnMn.", true, false},
        {"Alt pressed alone spoils nothing after it", 0x12, ".m.n.", true, true},
    };
    for (const Case& c : cases) {
        for (const bool button : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (button ? ", button 5" : ", F4"));
            const Binding input = button ? ButtonBinding(Wheel, 5, G27) : KeyBinding(F4Key);
            BindingCapture capture;
            bool taken = false;
            for (std::size_t i = 0; i < c.script.size() && !taken; ++i) {
                const char look = c.script[i];
                InputSnapshot snapshot;
                if (look == 'm' || look == 'M') snapshot.keys.set(static_cast<std::size_t>(c.modifier));
                const bool in = look == 'n' || look == 'M';
                if (in && !button) snapshot.keys.set(F4Key);
                snapshot.joysticks[Wheel] = in && button ? ControlBit(input) : 0;
                if (i == 0)
                    capture.Begin(snapshot);
                else
                    taken = capture.Look(snapshot, {JoystickInfo{Wheel, G27.vendor, G27.product, G27.name, 12, true}},
                                         Bindings{Binding{}, Binding{}}, BindingSlot{})
                                .outcome == BindingCapture::Outcome::Taken;
            }
            EXPECT_EQ(taken, button || c.keyTaken);
            for (const bool next : {true, false}) {
                SCOPED_TRACE(next ? "as next" : "as previous");
                ScriptRun run(next ? Bindings{input, Binding{}} : Bindings{Binding{}, input}, "Pitlane");
                run.input.modifierKey = c.modifier;
                std::string script(c.script);
                if (!next)
                    for (char& look : script) look = look == 'n' ? 'p' : look == 'M' ? 'P' : look;
                run.Play(script);
                EXPECT_EQ(run.view.selected.size(), button || c.keyCounts ? 1u : 0u);
            }
        }
    }
}

TEST(SectionCycle, AHatDirectionCountsOnlyWhenPressedCleanly) {
    // One poll per character, the hat:  . at rest  u up  r right  R up-right  L up-left
    // B up-right with button 5 down. "Next" is bound to up, "previous" to right, a jump to the Pitlane
    // to button 5; left is bound to nothing.
    struct Case {
        const char* name;
        std::string_view script;
        std::vector<std::string> selected;
    };
    const std::string on = "Flugplatz/Schwedenkreuz", back = "Antoniusbuche/Tiergarten";
    const Case cases[] = {
        {"up", ".u.", {on}},
        {"right", ".r.", {back}},
        {"up held, then up-right and back: up alone", ".uuRRu.", {on}},
        {"up, up-right, right: up alone", ".uRr.", {on}},
        {"right held, then up-right: right alone", ".rRr.", {back}},
        {"from rest straight into a diagonal: neither", ".RR.", {}},
        {"a diagonal, then up, which it held already", ".Ru.", {}},
        {"into a diagonal with an unbound neighbour: nothing", ".Lu.", {}},
        {"a diagonal, back to rest, then up", ".R.u.", {on}},
        {"right, then up with the diagonal between two polls: both", ".ru.", {back, "Pitlane"}},
        {"a button pressed while the hat is in a diagonal counts", ".RBR.", {"Pitlane"}},
    };
    constexpr JoystickControls left = JoystickControls{1} << 35;
    const Binding button5 = ButtonBinding(Wheel, 5, G27);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bindings bindings{HatBinding(Wheel, Hat::Up, G27), HatBinding(Wheel, Hat::Right, G27)};
        bindings.jumps.push_back(lapforge::Jump{button5, SectionStop(0)});
        ScriptRun run(bindings, "Pitlane");
        for (const char look : c.script) {
            run.input.nextDown = look == 'u' || look == 'R' || look == 'L' || look == 'B';
            run.input.previousDown = look == 'r' || look == 'R' || look == 'B';
            run.input.moreDown = look == 'L' ? left : look == 'B' ? ControlBit(button5) : 0;
            run.cycle.Poll(run.input, run.view, run.now += 10);
        }
        EXPECT_EQ(run.view.selected, c.selected);
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

TEST(SectionCycle, AJoystickIsFoundAgainWhereverItIsPluggedIn) {
    for (const bool oldLine : {false, true}) {
        SCOPED_TRACE(oldLine ? "an old line, without identity" : "a binding with identity");
        ScriptRun run(Bindings{ButtonBinding(Wheel, 5, oldLine ? std::nullopt : std::optional(G27)), KeyBinding(F3Key)},
                      "Pitlane");
        run.Play(".n.");
        EXPECT_EQ(run.view.selected.size(), 1u) << "where it was";

        run.Play(".nn");  // unplugged while the button is held, and no notice comes
        run.input.asks = run.input.enumerations = 0;
        constexpr int interval = static_cast<int>(JoystickReprobe::IntervalMilliseconds / 10);  // in polls
        run.Play(std::string(4 * interval, 'x'));
        EXPECT_EQ(run.view.selected.size(), 1u) << "the lost button is no release";
        EXPECT_EQ(run.input.asks, 4 * interval + 1) << "the key at each poll, the gone wheel once";
        EXPECT_EQ(run.input.enumerations, 4) << "listed again once an interval, as no notice came";

        run.Play("p.");  // the key still works
        EXPECT_EQ(run.view.selected.back(), "Pitlane");

        // Back in another port: Windows gives a burst of notices, which make one listing once over.
        run.input.wheelId = 7;
        run.input.enumerations = 0;
        for (int notice = 0; notice < 3; ++notice) {
            run.cycle.DevicesChanged(run.now);
            run.Play("....");
        }
        run.Play(std::string(JoystickReprobe::QuietMilliseconds / 10, '.'));
        EXPECT_EQ(run.input.enumerations, 1) << "one listing for the burst";
        run.Play(".n.");
        EXPECT_EQ(run.view.selected.back(), "Flugplatz/Schwedenkreuz") << "under its new id";

        run.input.make = OtherMake;  // another make in its place, the same button pressed
        run.input.Reenumerate();
        run.Play(".n.n.");
        EXPECT_EQ(run.view.selected.size(), 3u) << "another make's button moves nothing";

        run.input.make = G27;
        run.input.Reenumerate();
        run.Play(".n.xxx");  // silent for a moment, then back under the same id without a notice
        run.Play(std::string(interval, '.'));
        run.Play(".n.");
        EXPECT_EQ(run.view.selected.size(), 5u) << "asked again once the list has been made again";
    }
}

TEST(SectionCycle, BothBindingsOnOneControllerAskItOncePerPoll) {
    ScriptRun run(Buttons, "Pitlane");
    run.Play("..........");
    EXPECT_EQ(run.input.asks, 10);
    EXPECT_EQ(run.input.enumerations, 1) << "listed once, at the first use";
}

namespace {

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

    RecordingView view;
    const std::unique_ptr<Controller> controller = Controller::Create(view, app.Path());
    view.controller = controller.get();
    controller->StartUp();
    ASSERT_EQ(controller->PlaceOnDisk(), "Pitlane");
    view.SelectSection("Schwalbenschwanz/Doettinger Hoehe");  // the user's pick
    const std::string before = TestFolder::Read(track);
    ASSERT_EQ(before, WithLine54(NumberedLines(120), "stall_0 = 17800.00 0.00"));

    SectionCycle cycle(*controller);
    cycle.SetOptionChecked(true);
    cycle.SetSimulatorWatched(true);
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
    EXPECT_EQ(view.selected.back(), "Schwalbenschwanz/Doettinger Hoehe");
    EXPECT_EQ(TestFolder::Read(track), before) << "eleven presses give the file back byte for byte";

    // A refused rewrite keeps the section the file holds and announces nothing; once the file can be
    // written again, the next press moves on from there.
    std::filesystem::remove_all(TestFolder::Native(sim.Path() + "\\tracks"));
    const std::size_t announced = view.played.size();
    press(true);
    EXPECT_EQ(controller->PlaceOnDisk(), "Schwalbenschwanz/Doettinger Hoehe");
    EXPECT_EQ(view.played.size(), announced);
    EXPECT_EQ(view.refused.size(), 1u);
    sim.Write("\\tracks\\nurburg\\track.ini", before);
    press(true);
    EXPECT_EQ(view.selected.back(), "Antoniusbuche/Tiergarten");
    EXPECT_EQ(TestFolder::Read(track), WithLine54(before, "stall_0 = 19400.00 0.00"));
}

TEST(SectionCycleSchedule, LooksAndPollsOnlyWhenItShould) {
    // Events between looks:  C the box ticked  U unticked  M a window of ours in front  m it goes
    //                        W a simulator watched  E it ended
    // t: 250 ms on, then what is due (. nothing, L a look, P a poll) and how long the loop may wait.
    struct Case {
        const char* name;
        std::string_view script;
        std::string_view seen;
    };
    const Case cases[] = {
        {"unarmed: nothing, and no wake-up", "ttt", ".- .- .-"},
        {"armed: a look at once, then once a second", "Cttttt", "L1000 .750 .500 .250 L1000"},
        {"found: polls, and looks no more", "CtWtt", "L1000 P10 P10"},
        {"ended: looks again, its due time long past", "CtWttttEt", "L1000 P10 P10 P10 P10 L1000"},
        {"a window of ours in front pauses; when it goes, a look at once", "CtMttmt", "L1000 .- .- L1000"},
        {"unticked while the simulator runs: nothing", "CWtUt", "P10 .-"},
        {"a window in front while it runs: no poll", "CWtMtmt", "P10 .- P10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NullView noView;
        const std::unique_ptr<Controller> controller = Controller::Create(noView, "C:\\Lapforge");
        SectionCycle cycle(*controller);
        std::uint64_t now = 5'000'000;
        std::string seen;
        for (const char e : c.script) {
            switch (e) {
            case 'C':
            case 'U':
                cycle.SetOptionChecked(e == 'C');
                break;
            case 'M':
            case 'm':
                cycle.SetModalInFront(e == 'M');
                break;
            case 'W':
            case 'E':
                cycle.SetSimulatorWatched(e == 'W');
                break;
            case 't': {
                now += 250;
                const SectionCycle::Due due = cycle.Next(now);
                const std::optional<std::uint64_t> wait = cycle.WaitMilliseconds(now);
                if (!seen.empty()) seen += ' ';
                seen += due == SectionCycle::Due::Look ? 'L' : due == SectionCycle::Due::Poll ? 'P' : '.';
                seen += wait ? std::to_string(*wait) : "-";
                break;
            }
            }
        }
        EXPECT_EQ(seen, c.seen);
    }
}

TEST(SectionCycleSchedule, AShortPulseBetweenTwoPollsCountsOnce) {
    // The main loop as it runs: a poll when Next says so, then a wait as long as WaitMilliseconds says,
    // woken `late` ms after it; each step's rewrite holds the thread for `write` ms. Pulses of a
    // rotary encoder on "next" and "previous" come at their times, plus a phase of 0 to 9 ms. Kept
    // changes: the buttons' as a sampler sees them every millisecond, taken at the next poll, or the
    // keys' as the system tells of them, each waking the loop.
    struct Pulse {
        bool next;
        std::uint64_t at, length;
    };
    enum class Kept { Nothing, Sampled, KeyEvents };
    struct Case {
        const char* name;
        std::uint64_t late, write;
        std::vector<Pulse> pulses;
        std::vector<std::string> selected;
        Kept kept = Kept::Nothing;
    };
    const std::string on = "Flugplatz/Schwedenkreuz";
    std::vector<Pulse> spin;  // eight 12 ms pulses 20 ms apart
    for (std::uint64_t click = 0; click < 8; ++click) spin.push_back({true, 100 + 32 * click, 12});
    std::vector<std::string> eightOn;
    for (std::size_t row = 1; row <= 8; ++row) eightOn.emplace_back(SectionTable::Rows()[row].name);
    const Case cases[] = {
        {"12 ms", 0, 0, {{true, 100, 12}}, {on}},
        {"12 ms, each wake-up 3 ms late (window messages first)", 3, 0, {{true, 100, 12}}, {on}},
        {"one that comes during a 30 ms rewrite counts after it",
         0, 30, {{true, 100, 12}, {true, 145, 12}}, {on, "Fuchsroehre/Adenauer Forst"}},
        {"\"previous\" under way across the rewrite of \"next\"", 0, 30, {{true, 100, 12}, {false, 105, 30}},
         {on, "Pitlane"}},
        {"a quick spin, 8 ms rewrites", 0, 8, spin, eightOn},
        {"a quick spin, 30 ms rewrites, the buttons sampled", 0, 30, spin, eightOn, Kept::Sampled},
        {"a quick spin, 30 ms rewrites, keys told of", 0, 30, spin, eightOn, Kept::KeyEvents},
        {"a pulse wholly inside a rewrite, sampled", 0, 30, {{true, 100, 12}, {true, 118, 5}},
         {on, "Fuchsroehre/Adenauer Forst"}, Kept::Sampled},
        {"a tap wholly inside a rewrite, keys told of", 0, 30, {{true, 100, 12}, {true, 118, 5}},
         {on, "Fuchsroehre/Adenauer Forst"}, Kept::KeyEvents},
    };
    for (const Case& c : cases) {
        for (std::uint64_t phase = 0; phase < SectionCycle::PollMilliseconds; ++phase) {
            SCOPED_TRACE(std::string(c.name) + ", phase " + std::to_string(phase));
            ScriptRun run(c.kept == Kept::KeyEvents ? Keys : Buttons, "Pitlane");
            run.view.clock = &run.now;
            run.view.writeMilliseconds = c.write;
            const std::uint64_t start = run.now;
            const auto downAt = [&](bool next, std::uint64_t t) {
                return std::any_of(c.pulses.begin(), c.pulses.end(), [&](const Pulse& p) {
                    const std::uint64_t at = start + p.at + phase;
                    return p.next == next && t >= at && t < at + p.length;
                });
            };
            std::uint64_t kept = start;  // the changes are kept up to here
            bool wasNext = false, wasPrevious = false;
            const auto keep = [&](std::uint64_t until) {  // true when something changed
                bool changed = false;
                for (; kept < until; ++kept) {
                    const bool next = downAt(true, kept), previous = downAt(false, kept);
                    if (c.kept == Kept::Sampled && (next != wasNext || previous != wasPrevious))
                        run.input.changes.push_back(JoystickChange(
                            Wheel, (1u << 9) | (next ? ControlBit(run.input.bindings.next) : 0) |
                                       (previous ? ControlBit(run.input.bindings.previous) : 0)));
                    if (c.kept == Kept::KeyEvents && next != wasNext) run.input.changes.push_back(KeyChange(F4Key, next));
                    if (c.kept == Kept::KeyEvents && previous != wasPrevious)
                        run.input.changes.push_back(KeyChange(F3Key, previous));
                    changed = changed || next != wasNext || previous != wasPrevious;
                    wasNext = next;
                    wasPrevious = previous;
                }
                return changed;
            };
            while (run.now < start + 400) {
                if (run.cycle.Next(run.now) == SectionCycle::Due::Poll) {
                    run.input.nextDown = downAt(true, run.now);
                    run.input.previousDown = downAt(false, run.now);
                    run.cycle.Poll(run.input, run.view, run.now);
                }
                // What happened while the poll held the thread was kept; a key's message wakes the loop.
                if (c.kept != Kept::Nothing && keep(run.now) && c.kept == Kept::KeyEvents) run.cycle.KeyEvent(run.now);
                const std::optional<std::uint64_t> wait = run.cycle.WaitMilliseconds(run.now);
                ASSERT_TRUE(wait.has_value());
                std::uint64_t wake = run.now + *wait + c.late;
                if (c.kept == Kept::KeyEvents)
                    for (std::uint64_t t = run.now; t < wake; ++t)
                        if (keep(t + 1)) {
                            run.cycle.KeyEvent(t);
                            wake = t;
                            break;
                        }
                if (c.kept == Kept::Sampled) keep(wake);
                run.now = wake;
            }
            EXPECT_EQ(run.view.selected, c.selected);
        }
    }
}

TEST(SectionCycle, DrawsThePicturesOfTheLastOfQuickStepsAfterAPoll) {
    struct Case {
        const char* name;
        std::string_view script;  // as in PressesOfKeysAndButtons
        std::vector<std::string> pictures;
    };
    const Case cases[] = {
        {"after the poll that follows the step", ".n..", {"Flugplatz/Schwedenkreuz"}},
        {"not during the step", ".n.", {}},
        {"not while the next press is under way; the last of two", ".n.n..", {"Fuchsroehre/Adenauer Forst"}},
        {"each of two slow presses", ".n...n..", {"Flugplatz/Schwedenkreuz", "Fuchsroehre/Adenauer Forst"}},
        {"the simulator ended after the step", ".n.E.", {"Flugplatz/Schwedenkreuz"}},
        {"a refused rewrite draws nothing", ".Rn...", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptRun run(Keys, "Pitlane");
        run.Play(c.script);
        EXPECT_EQ(run.view.pictures, c.pictures);
    }
    ScriptRun run(Keys, "Pitlane");
    run.Play(".n.E");
    EXPECT_EQ(run.cycle.Next(run.now), SectionCycle::Due::Poll) << "the pictures still due once the cycle stopped";
}

TEST(Announcement, EachSilencesTheOneBefore) {
    struct Case {
        const char* name;
        AnnouncementPlan plan;
        AnnouncementPlan expected;
    };
    const Case cases[] = {
        {"a section: its wave, the speech under way silenced",
         PlanAnnouncement(StopAnnouncement{SectionStop(3), "C:\\Lapforge\\ansage3.wav", {}}, "C:\\Lapforge"),
         {false, true, "", "C:\\Lapforge\\ansage3.wav"}},
        {"a point: its name spoken, the wave still playing silenced, the cue where no voice speaks",
         PlanAnnouncement(StopAnnouncement{PointStop(12300), {}, "Before Mutkurve"}, "C:\\Lapforge"),
         {true, false, "Before Mutkurve", "C:\\Lapforge\\point-cue.wav"}},
        {"a refused rewrite: the cue, the speech under way silenced", PlanRefusedCue("C:\\Lapforge"),
         {false, true, "", "C:\\Lapforge\\deploy-not-written.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.plan, c.expected);
    }
}

TEST(SectionCycleSchedule, AsksForAFineTimerAndKeyEventsOnlyForWhatIsPolled) {
    // C the box ticked  W a simulator watched  M a window of ours in front
    struct Case {
        const char* name;
        Bindings bindings;
        std::string_view events;
        bool timer;  // a joystick binding is polled
        bool keys;   // a key binding is polled
    };
    Bindings jumpOnAButton{KeyBinding(F4Key), Binding{}};
    jumpOnAButton.jumps.push_back(lapforge::Jump{ButtonBinding(Wheel, 3, G27), SectionStop(0)});
    Bindings jumpOnAKey = Buttons;
    jumpOnAKey.jumps.push_back(lapforge::Jump{KeyBinding(F3Key), SectionStop(4)});
    const Case cases[] = {
        {"a button, GPL running", Buttons, "CW", true, false},
        {"a hat as \"previous\"", Bindings{KeyBinding(F4Key), HatBinding(Wheel, Hat::Up, G27)}, "CW", true, true},
        {"a jump on a button", jumpOnAButton, "CW", true, true},
        {"next and previous on a wheel, a jump on a key", jumpOnAKey, "CW", true, true},
        {"keys alone", Keys, "CW", false, true},
        {"GPL not running", Keys, "C", false, false},
        {"the box unticked", Buttons, "W", false, false},
        {"a window of ours in front", Keys, "CWM", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NullView noView;
        const std::unique_ptr<Controller> controller = Controller::Create(noView, "C:\\Lapforge");
        controller->HotkeyBindings = c.bindings;
        SectionCycle cycle(*controller);
        for (const char e : c.events) {
            if (e == 'C') cycle.SetOptionChecked(true);
            if (e == 'W') cycle.SetSimulatorWatched(true);
            if (e == 'M') cycle.SetModalInFront(true);
        }
        EXPECT_EQ(cycle.WantsFineTimer(), c.timer);
        EXPECT_EQ(cycle.WantsKeyEvents(), c.keys);
    }
    // A key event while the cycle runs: the poll is due at once, not at the next beat.
    NullView noView;
    const std::unique_ptr<Controller> controller = Controller::Create(noView, "C:\\Lapforge");
    SectionCycle cycle(*controller);
    cycle.SetOptionChecked(true);
    cycle.SetSimulatorWatched(true);
    ASSERT_EQ(cycle.Next(1000), SectionCycle::Due::Poll);
    EXPECT_EQ(cycle.WaitMilliseconds(1003), 7u);
    cycle.KeyEvent(1003);
    EXPECT_EQ(cycle.WaitMilliseconds(1003), 0u);
    EXPECT_EQ(cycle.Next(1003), SectionCycle::Due::Poll);
    EXPECT_EQ(cycle.WaitMilliseconds(1003), 10u) << "the beat goes on from the key's poll";
}

TEST(JoystickReprobe, OneListingPerBurstOfNotices) {
    // Looked at every 10 ms, as the cycle polls, for 12 s: Windows' notices at their times, a joystick
    // missing from `missing` to `found`; the times the list is made anew.
    struct Case {
        const char* name;
        std::vector<std::uint64_t> notices;
        std::uint64_t missing, found;
        std::vector<std::uint64_t> listed;
    };
    const Case cases[] = {
        {"nothing", {}, 0, 0, {}},
        {"one notice: once it has been quiet", {1000}, 0, 0, {1300}},
        {"a burst: once, after its last", {1000, 1040, 1100, 1250}, 0, 0, {1550}},
        {"two bursts", {1000, 1050, 4000}, 0, 0, {1350, 4300}},
        {"missing without a notice: after a moment, then every 5 s", {}, 1000, 12000, {1300, 6300, 11300}},
        {"missing, then found", {}, 1000, 2000, {1300}},
        {"missing, and its unplugging's notices: once, then every 5 s", {1100, 1150}, 1000, 12000, {1450, 6450, 11450}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JoystickReprobe reprobe;
        std::vector<std::uint64_t> listed;
        for (std::uint64_t now = 0; now < 12000; now += 10) {
            if (std::find(c.notices.begin(), c.notices.end(), now) != c.notices.end()) reprobe.Notice(now);
            if (reprobe.Due(now)) {
                listed.push_back(now);
                reprobe.Listed(now);
            }
            reprobe.Looked(now >= c.missing && now < c.found, now);
        }
        EXPECT_EQ(listed, c.listed);
    }
    JoystickReprobe reprobe;
    reprobe.Notice(1000);
    EXPECT_EQ(reprobe.NoticeWaitMilliseconds(1100), 200u) << "the Keys window's timer";
}

TEST(SectionCycle, VisitsTheDriversPointsAndJumpsStraightToAStop) {
    constexpr int F5Key = 0x74;
    struct Case {
        const char* name;
        std::string_view start;
        bool onlyPoints;
        std::string_view script;  // j: F5, bound to jump to the point at 13000 m
        std::vector<std::string> selected;
        std::vector<std::string> played;
    };
    const Case cases[] = {
        {"a point after the section it lies in", "Breidscheid/Kesselchen", false, ".n.n.",
         {"point 12300", "Klostertal/Karussell"}, {"speak Before Mutkurve", "C:\\Lapforge\\ansage6.wav"}},
        {"back from a section to the point before it", "Klostertal/Karussell", false, ".p.",
         {"point 12300"}, {"speak Before Mutkurve"}},
        {"only my points, from a section", "Pitlane", true, ".n.n.n.", {"point 12300", "point 13000", "point 12300"},
         {"speak Before Mutkurve", "speak Before Karussell", "speak Before Mutkurve"}},
        {"only my points, back over the lap's start", "stall_0 = 12300.00 0.00", true, ".p.", {"point 13000"},
         {"speak Before Karussell"}},
        {"a jump, then on from where it went", "Pitlane", false, ".jj.n.", {"point 13000", "Hohe Acht/Wippermann"},
         {"speak Before Karussell", "C:\\Lapforge\\ansage7.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bindings bindings = Keys;
        bindings.jumps.push_back(lapforge::Jump{KeyBinding(F5Key), PointStop(13000)});
        ScriptRun run(bindings, c.start);
        run.controller->Points = OwnPoints{{{12300, "Before Mutkurve"}, {13000, "Before Karussell"}}, c.onlyPoints};
        for (const char key : c.script) {
            run.input.otherKey = key == 'j' ? F5Key : 0;
            run.Play(key == 'j' ? "." : std::string(1, key));
        }
        EXPECT_EQ(run.view.selected, c.selected);
        EXPECT_EQ(run.view.played, c.played);
    }
}
