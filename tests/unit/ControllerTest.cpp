#include "core/Controller.h"
#include "core/DeployRecord.h"
#include "core/Failure.h"
#include "core/MapRoad.h"
#include "core/Messages.h"
#include "core/ProcessId.h"
#include "core/ReplaceFile.h"
#include "core/TrackFileBuffer.h"

#include "FailureText.h"
#include "TestFolder.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace lapforge;

namespace {

const std::string kTrack = "\\tracks\\nurburg\\track.ini";
const std::string kRecord = kTrack + ".lapforge-record";

// Stands in for EndProgram, which never returns in the real window.
struct ProgramEnded {};

// Records every call in order and behaves like the main window would.
class FakeView : public View {
public:
    Controller* controller = nullptr;
    std::vector<std::string> calls;
    std::function<void(Controller&)> dialog;  // what the user does in the folder dialog
    std::string selection;

    std::vector<std::string> line54WhenShown;  // the track file's line 54 as each picture appeared

    bool ShowViewPicture(const std::string& path) override {
        calls.push_back("view " + path);
        NoteLine54();
        return TestFolder::Exists(path);
    }
    bool ShowMapPicture(const std::string& path) override {
        calls.push_back("map " + path);
        NoteLine54();
        return TestFolder::Exists(path);
    }
    void NoteLine54() {
        const std::string track = controller->GPLOrdnerPfad + kTrack;
        line54WhenShown.push_back(TestFolder::Exists(track) ? Line(TestFolder::Read(track), 54) : "");
    }
    void SelectSection(std::string_view name) override {
        calls.push_back("select " + std::string(name));
        selection = name;
        controller->ApplySection(name);
    }
    void ShowMapRoad(bool takesClicks, std::optional<MapPixel> flag, std::uint32_t) override {
        if (takesClicks) calls.push_back(flag ? "flag " + std::to_string(static_cast<int>(flag->x)) : "clicks");
    }
    void ShowRefusedRewrite(const std::exception& failure) override {
        calls.push_back("refused " + std::string(failure.what()));
    }
    void DeployLineChangedElsewhere(std::string_view line) override { calls.push_back("changed " + std::string(line)); }
    void AskForSimulatorFolder(std::string_view problem) override {
        calls.push_back(problem.empty() ? "ask" : "ask: " + std::string(problem));
        if (dialog) dialog(*controller);
    }
    void ShowErrorMessage(std::string_view text) override { calls.push_back("error " + std::string(text)); }
    void EndProgram() override {
        calls.push_back("end");
        throw ProgramEnded{};
    }
};

struct Rig {
    TestFolder app;
    TestFolder sim;
    FakeView view;
    std::unique_ptr<Controller> controller;

    Rig() {
        controller = Controller::Create(view, app.Path());
        view.controller = controller.get();
    }
    std::string Settings() const { return TestFolder::Read(app.Path() + "\\lapforge.ini"); }
    bool HasSettings() const { return TestFolder::Exists(app.Path() + "\\lapforge.ini"); }
    std::string Track() const { return TestFolder::Read(sim.Path() + kTrack); }
    void InstallSimulator(const std::string& track) const {
        sim.Write("\\gpl.exe", "MZ");
        sim.Write(kTrack, track);
    }
    // Started with the settings file naming the simulator folder, which holds this track file.
    void StartWith(const std::string& track) {
        InstallSimulator(track);
        app.Write("\\lapforge.ini", sim.Path() + "\r\n");
        controller->StartUp();
    }
    // The next Lapforge in the same folders; the one before is gone without a word, as after a kill.
    void Restart() {
        controller.reset();
        controller = Controller::Create(view, app.Path());
        view.controller = controller.get();
    }
};

std::string WithLine54(const std::string& text) { return NumberedLines(53) + text + "\r\n" + NumberedLines(66, 55); }

}  // namespace

TEST(ControllerStartUp, FirstRunAsksWritesSettingsAndAppliesPitlane) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.view.dialog = [&](Controller& c) { c.GPLOrdnerPfad = rig.sim.Path(); };

    rig.controller->StartUp();

    EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\n");
    EXPECT_EQ(rig.view.selection, "Pitlane");
    EXPECT_EQ(rig.Track(), WithLine54("stall_0 = 230.00 -9.30"));
    const std::vector<std::string> expected = {
        "ask",
        "select Pitlane",
        "view " + rig.app.Path() + "\\blick0.jpg",
        "map " + rig.app.Path() + "\\karte0.jpg",
    };
    EXPECT_EQ(rig.view.calls, expected);
    rig.controller->RestoreDeployLine();  // exit
    EXPECT_EQ(rig.Track(), NumberedLines(120));
}

TEST(ControllerStartUp, SecondRunDoesNotAsk) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\n");

    rig.controller->StartUp();

    EXPECT_EQ(rig.controller->GPLOrdnerPfad, rig.sim.Path());
    EXPECT_EQ(rig.view.calls.front(), "select Pitlane");
    for (const auto& call : rig.view.calls) EXPECT_NE(call, "ask");
    EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 230.00 -9.30");
}

TEST(ControllerStartUp, ReasonsToAskForTheFolder) {
    struct Case {
        const char* name;
        std::function<void(Rig&)> prepare;
        const char* problem;  // what the dialog is told, after the folder's name; "" for nothing
    };
    const Case cases[] = {
        {"no settings file", [](Rig&) {}, ""},
        {"empty settings file", [](Rig& r) { r.app.Write("\\lapforge.ini", ""); }, ""},
        {"settings name a folder without track file",
         [](Rig& r) { r.app.Write("\\lapforge.ini", r.app.Path() + "\\nowhere\r\n"); },
         "nowhere\": its Nordschleife track file (tracks\\nurburg\\track.ini) is missing"},
        {"line 54 is no deploy point: the file is left alone",
         [](Rig& r) {
             r.app.Write("\\lapforge.ini", r.app.Path() + "\\odd\r\n");
             r.app.Write("\\odd" + kTrack, NumberedLines(53) + "pit_speed = 60\r\n" + NumberedLines(50, 55));
         },
         "odd\": line 54 of its Nordschleife track file is not GPL's deploy point"},
        {"track file too short",
         [](Rig& r) {
             r.app.Write("\\lapforge.ini", r.app.Path() + "\\short\r\n");
             r.app.Write("\\short" + kTrack, NumberedLines(99));
         },
         "short\": its Nordschleife track file has fewer than 100 lines"},
        {"track file read-only, so Pitlane cannot be applied",
         [](Rig& r) {
             r.app.Write("\\lapforge.ini", r.app.Path() + "\\locked\r\n");
             r.app.Write("\\locked" + kTrack, NumberedLines(100));
             std::filesystem::permissions(TestFolder::Native(r.app.Path() + "\\locked" + kTrack),
                                          std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                              std::filesystem::perms::others_write,
                                          std::filesystem::perm_options::remove);
         },
         "locked\": its Nordschleife track file is read-only or may not be written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.InstallSimulator(NumberedLines(100));
        c.prepare(rig);
        rig.view.dialog = [&](Controller& ctl) { ctl.GPLOrdnerPfad = rig.sim.Path(); };

        rig.controller->StartUp();

        const auto asked = std::find_if(rig.view.calls.begin(), rig.view.calls.end(),
                                        [](const std::string& call) { return call.starts_with("ask"); });
        ASSERT_NE(asked, rig.view.calls.end());
        if (*c.problem == 0)
            EXPECT_EQ(*asked, "ask");
        else
            EXPECT_NE(asked->find(c.problem), std::string::npos) << *asked;
        if (TestFolder::Exists(rig.app.Path() + "\\odd" + kTrack)) {
            EXPECT_EQ(TestFolder::Read(rig.app.Path() + "\\odd" + kTrack),
                      NumberedLines(53) + "pit_speed = 60\r\n" + NumberedLines(50, 55));
            EXPECT_EQ(TestFolder::EntryCount(rig.app.Path() + "\\odd\\tracks\\nurburg"), 1u) << "not even a copy";
        }
        EXPECT_EQ(rig.view.calls.back(), "map " + rig.app.Path() + "\\karte0.jpg") << "Pitlane applied last";
        EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\n");
        EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 230.00 -9.30");
    }
}

TEST(ControllerLeavesGPLAsFound, ExitAndAChangeOfFolderPutLine54Back) {
    Rig rig;
    TestFolder second;
    const std::string first = NumberedLines(120);
    const std::string other = NumberedLines(53) + "  Stall_0 = 1.00 2.00\r\n" + NumberedLines(70, 55);
    rig.InstallSimulator(first);
    second.Write("\\gpl.exe", "MZ");
    second.Write(kTrack, other);
    TestFolder odd;
    odd.Write(kTrack, NumberedLines(53) + "pit_speed = 60\r\n" + NumberedLines(50, 55));
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\n");
    rig.controller->StartUp();
    rig.controller->ApplySection("Klostertal/Karussell");

    // A folder whose line 54 is no deploy point: refused, nothing written there, the first one kept.
    EXPECT_THROW(rig.controller->ChangeFolder(odd.Path(), "Klostertal/Karussell"), FolderNotChanged);
    EXPECT_EQ(rig.controller->GPLOrdnerPfad, rig.sim.Path());
    EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 12500.00 0.00") << "the section shown is in force again";
    EXPECT_EQ(TestFolder::EntryCount(odd.Path() + "\\tracks\\nurburg"), 1u);

    rig.controller->ChangeFolder(second.Path(), "Hohe Acht/Wippermann");
    EXPECT_EQ(rig.Track(), first) << "the old folder's file as it was found, byte for byte";
    EXPECT_EQ(TestFolder::Read(second.Path() + kTrack),
              NumberedLines(53) + "stall_0 = 14000.00 0.00\r\n" + NumberedLines(70, 55));
    EXPECT_EQ(rig.Settings(), second.Path() + "\r\n");

    rig.controller->RestoreDeployLine();  // exit
    EXPECT_EQ(TestFolder::Read(second.Path() + kTrack), other);
    EXPECT_EQ(rig.Track(), first);
}

TEST(ControllerStartUp, CancelEndsWithTheMessageAndWritesNoSettings) {
    Rig rig;
    rig.view.dialog = [](Controller& c) { c.GPLOrdnerPfad = std::string(NotInstalled); };

    EXPECT_THROW(rig.controller->StartUp(), ProgramEnded);

    const std::vector<std::string> expected = {
        "ask", "error If GPL isn't installed, then there's no use for Lapforge, right? ;)", "end"};
    EXPECT_EQ(rig.view.calls, expected);
    EXPECT_FALSE(rig.HasSettings());
}

TEST(ControllerStartUp, AMissingSettingsFileIsAFirstRunAnUnreadableOneIsToldAndNeverWritten) {
    struct Case {
        const char* name;
        bool unreadable;  // a folder where lapforge.ini should be: it is there, yet no read succeeds
        bool cancel;
        std::vector<std::string> said;  // the calls up to the dialog's
    };
    const Case cases[] = {
        {"missing: a first run", false, false, {"ask"}},
        {"unreadable: told, then the dialog for this run",
         true,
         false,
         {"error", "ask: " + std::string(SettingsUnreadableProblem)}},
        {"unreadable and cancelled: no second message",
         true,
         true,
         {"error", "ask: " + std::string(SettingsUnreadableProblem), "end"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.InstallSimulator(NumberedLines(120));
        const std::string ini = rig.app.Path() + "\\lapforge.ini";
        if (c.unreadable) std::filesystem::create_directories(TestFolder::Native(ini));
        rig.view.dialog = [&](Controller& ctl) {
            ctl.GPLOrdnerPfad = c.cancel ? std::string(NotInstalled) : rig.sim.Path();
        };
        try {
            rig.controller->StartUp();
        } catch (const ProgramEnded&) {
        }
        std::vector<std::string> said(rig.view.calls.begin(),
                                      rig.view.calls.begin() + std::min(rig.view.calls.size(), c.said.size()));
        if (!said.empty() && said[0].starts_with("error ")) {
            EXPECT_NE(said[0].find(" \"" + ini + "\": "), std::string::npos) << said[0];  // the path, the reason
            EXPECT_NE(said[0].find("start Lapforge again"), std::string::npos) << said[0];
            said[0] = "error";
        }
        EXPECT_EQ(said, c.said);
        if (c.cancel) continue;
        EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 230.00 -9.30") << "the run goes on";
        if (!c.unreadable) {
            EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\n");
            continue;
        }
        // Every save is refused in words, and the edit holds for the run.
        EXPECT_THROW(rig.controller->AddPoint(20000, "x"), SettingsNotSaved);
        EXPECT_NE(FindPoint(rig.controller->Points, 20000), nullptr);
        Bindings keys = rig.controller->HotkeyBindings;
        keys.next = KeyBinding(0x74);
        EXPECT_EQ(FailureText([&] { rig.controller->SetBindings(keys); }), SettingsUnreadNotSavedText);
        EXPECT_EQ(rig.controller->HotkeyBindings.next, KeyBinding(0x74));
        EXPECT_TRUE(std::filesystem::is_directory(TestFolder::Native(ini))) << "never written";
        EXPECT_EQ(TestFolder::EntryCount(rig.app.Path()), 1u) << "not even a temporary file";
    }
}

TEST(ControllerStartUp, AFirstRewriteRefusedAfterTheDialogGoesOnAndTheNextPickTriesAgain) {
    TestProcess ended;
    ended.End();
    struct Case {
        const char* name;
        std::function<void(Rig&, bool spoil)> step;  // spoils the folder just picked, or mends it
        const char* said;
    };
    const Case cases[] = {
        {"the track file is gone",
         [](Rig& r, bool spoil) {
             const auto track = TestFolder::Native(r.sim.Path() + kTrack);
             if (spoil)
                 std::filesystem::rename(track, track.string() + "x");
             else
                 std::filesystem::rename(track.string() + "x", track);
         },
         "could not open"},
        {"the track file is read-only",
         [](Rig& r, bool spoil) { TestFolder::SetWritable(r.sim.Path() + kTrack, !spoil); }, "could not write"},
        {"the note of GPL's own line cannot be written, and a killed Lapforge's stale one goes",
         [&](Rig& r, bool spoil) {
             const auto blocker = TestFolder::Native(TemporaryFilePath(r.sim.Path() + kRecord, TestProcess::OwnId()));
             if (!spoil) return std::filesystem::remove(blocker), void();
             std::filesystem::create_directories(blocker);
             r.sim.Write(kRecord, DeployRecordText(DeployRecord{ended.Id(), 0, "stall_0 = 1.00 1.00"}));
         },
         "Lapforge could not keep its note of GPL's own deploy point beside GPL's track file in \""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.InstallSimulator(NumberedLines(120));
        rig.view.dialog = [&](Controller& ctl) {
            ctl.GPLOrdnerPfad = rig.sim.Path();
            c.step(rig, true);  // a scanner, a sync client or a full disk, just after OK
        };

        rig.controller->StartUp();

        EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\n");
        ASSERT_EQ(rig.view.calls.back().rfind("refused " + std::string(c.said), 0), 0u) << rig.view.calls.back();
        EXPECT_EQ(rig.view.calls.back().find("lapforge-record"), std::string::npos) << "a name drivers never heard of";
        if (TestFolder::Exists(rig.sim.Path() + kRecord)) {
            EXPECT_EQ(ParseDeployRecord(TestFolder::Read(rig.sim.Path() + kRecord))->found, "stall_0 = 54.00 0.00")
                << "what is left there says only what is true";
        }
        c.step(rig, false);
        rig.controller->ApplySection("Pitlane");
        EXPECT_EQ(rig.Track(), WithLine54("stall_0 = 230.00 -9.30"));
        rig.controller->RestoreDeployLine();  // exit
        EXPECT_EQ(rig.Track(), NumberedLines(120));
    }
}

TEST(ControllerApplySection, WritesTheDeployLineThenShowsThePictures) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\n");
    rig.controller->StartUp();
    rig.view.calls.clear();
    rig.view.line54WhenShown.clear();

    rig.controller->ApplySection("Hohe Acht/Wippermann");

    const std::vector<std::string> expected = {
        "view " + rig.app.Path() + "\\blick7.jpg",
        "map " + rig.app.Path() + "\\karte7.jpg",
    };
    EXPECT_EQ(rig.view.calls, expected) << "the pictures are missing, and the section is applied anyway";
    EXPECT_EQ(rig.view.line54WhenShown, std::vector<std::string>(2, "stall_0 = 14000.00 0.00"))
        << "the file is written before the pictures are decoded";
    EXPECT_EQ(rig.Track(), WithLine54("stall_0 = 14000.00 0.00"));
}

TEST(ControllerApplySection, UnknownNameDoesNothing) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\n");
    rig.controller->StartUp();
    const std::string before = rig.Track();
    rig.view.calls.clear();

    rig.controller->ApplySection("pitlane");

    EXPECT_TRUE(rig.view.calls.empty());
    EXPECT_EQ(rig.Track(), before);
}

TEST(ControllerApplySection, ARefusedRewriteLeavesTheBufferAsTheFileAndTheNextTriesAgain) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\n");
    rig.controller->StartUp();
    const auto track = TestFolder::Native(rig.sim.Path() + kTrack);
    std::filesystem::permissions(track,
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);

    EXPECT_THROW(rig.controller->ApplySection("Hohe Acht/Wippermann"), Failure);
    EXPECT_EQ(rig.controller->PlaceOnDisk(), "Pitlane");
    EXPECT_EQ(rig.controller->TrackLines().Line(53), "stall_0 = 230.00 -9.30");
    RestoreDeployLineBeforeFailureReport();  // the refused rewrite is the failure reported: not tried again
    EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 230.00 -9.30");

    std::filesystem::permissions(track, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    rig.controller->ApplySection("Hohe Acht/Wippermann");
    EXPECT_EQ(rig.controller->PlaceOnDisk(), "Hohe Acht/Wippermann");
    RestoreDeployLineBeforeFailureReport();  // any other failure: line 54 goes back first
    EXPECT_EQ(rig.Track(), NumberedLines(120));
    EXPECT_FALSE(TestFolder::Exists(rig.sim.Path() + kRecord));
}

TEST(ControllerNeighbours, NameTheSectionsOnEitherSideAndTheirAnnouncements) {
    FakeView view;
    const auto controller = Controller::Create(view, "C:\\Lapforge");
    const auto last = controller->Successor("Antoniusbuche/Tiergarten");
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->name, "Pitlane");
    EXPECT_EQ(last->announcementPath, "C:\\Lapforge\\ansage0.wav");

    const auto next = controller->Successor("Schwalbenschwanz/Doettinger Hoehe");
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(next->name, "Antoniusbuche/Tiergarten");
    EXPECT_EQ(next->announcementPath, "C:\\Lapforge\\ansage10.wav");

    const auto first = controller->Predecessor("Pitlane");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->name, "Antoniusbuche/Tiergarten");
    EXPECT_EQ(first->announcementPath, "C:\\Lapforge\\ansage10.wav");
    EXPECT_EQ(controller->Predecessor("Flugplatz/Schwedenkreuz")->name, "Pitlane");

    EXPECT_FALSE(controller->Successor("nowhere").has_value());
    EXPECT_FALSE(controller->Predecessor("nowhere").has_value());
}

TEST(ControllerSettings, ANewFolderKeepsTheBindings) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.app.Write("\\lapforge.ini", rig.app.Path() + "\\moved\r\nprevious=key:0x72\r\nnext=key:F9\r\n");
    rig.view.dialog = [&](Controller& c) { c.GPLOrdnerPfad = rig.sim.Path(); };

    rig.controller->StartUp();

    EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\nprevious=key:0x72\r\nnext=key:F9\r\n") << "kept as it was";
    Bindings keys = rig.controller->HotkeyBindings;
    keys.next = ButtonBinding(0, 3);
    rig.controller->SetBindings(keys);  // the driver's choice replaces the line Lapforge could not read
    EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\nnext=joy:0:button:3\r\nprevious=key:0x72\r\n");
    // That old line learns the make of the wheel answering under its id, and is saved with it.
    rig.controller->AdoptJoystickIdentities({JoystickInfo{0, 0x046d, 0xc29b, "G27 Racing Wheel", 12, true}});
    EXPECT_EQ(rig.Settings(),
              rig.sim.Path() + "\r\nnext=joy:0:button:3:046d:c29b:0:G27 Racing Wheel\r\nprevious=key:0x72\r\n");

    Rig noFolder;
    noFolder.InstallSimulator(NumberedLines(120));
    noFolder.app.Write("\\lapforge.ini", "\r\nprevious=key:0x72\r\n");
    noFolder.view.dialog = [&](Controller& c) { c.GPLOrdnerPfad = noFolder.sim.Path(); };
    noFolder.controller->StartUp();
    EXPECT_EQ(noFolder.Settings(), noFolder.sim.Path() + "\r\nprevious=key:0x72\r\n") << "an empty first line";

    // One that may not be written: this run goes on with the folder picked, and says so.
    Rig locked;
    locked.InstallSimulator(NumberedLines(120));
    locked.app.Write("\\lapforge.ini", "\r\nprevious=key:0x72\r\n");
    TestFolder::SetWritable(locked.app.Path() + "\\lapforge.ini", false);
    locked.view.dialog = [&](Controller& c) { c.GPLOrdnerPfad = locked.sim.Path(); };
    locked.controller->StartUp();
    EXPECT_EQ(locked.view.calls[1].rfind("error Lapforge could not save the GPL folder in lapforge.ini", 0), 0u);
    EXPECT_EQ(locked.view.selection, "Pitlane");
    EXPECT_EQ(Line(locked.Track(), 54), "stall_0 = 230.00 -9.30");
    EXPECT_EQ(locked.Settings(), "\r\nprevious=key:0x72\r\n");
}

TEST(ControllerSettings, TheProgramToLaunchIsKeptAndFallsBackToGplExeWhenGone) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.sim.Write("\\gplc65.exe", "MZ");
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\nlaunch=GPLC65.EXE\r\n");
    rig.controller->StartUp();
    const auto offered = [&] { return rig.controller->OfferLaunchPrograms(); };
    EXPECT_EQ(offered().programs, (std::vector<std::string>{"gpl.exe", "gplc65.exe"}));
    EXPECT_EQ(offered().choice.index, 1u);
    EXPECT_EQ(rig.controller->LaunchProgramPath(), rig.sim.Path() + "\\gplc65.exe");

    rig.controller->PickLaunchProgram("gpl.exe");
    EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\n");
    EXPECT_EQ(rig.controller->LaunchProgramPath(), rig.sim.Path() + "\\gpl.exe");
    rig.controller->PickLaunchProgram("gplc65.exe");
    EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\nlaunch=gplc65.exe\r\n");

    std::filesystem::remove(TestFolder::Native(rig.sim.Path() + "\\gplc65.exe"));
    const Controller::LaunchOffer gone = offered();
    EXPECT_EQ(gone.choice.index, 0u);
    EXPECT_NE(gone.choice.fallback.find("\"gplc65.exe\""), std::string::npos) << gone.choice.fallback;
    EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\n") << "the fallback is what the file keeps";
    EXPECT_EQ(rig.controller->LaunchProgramPath(), rig.sim.Path() + "\\gpl.exe");
    EXPECT_TRUE(offered().choice.fallback.empty()) << "said once";
}

TEST(ControllerPaths, AreFormedByPlainAppending) {
    struct Case {
        const char* appFolder;
        const char* simulatorFolder;
        const char* settings;
        const char* helpPage;
        const char* simulator;
    };
    const Case cases[] = {
        {"C:\\Lapforge", "C:\\GPL", "C:\\Lapforge\\lapforge.ini", "C:\\Lapforge\\LapforgeHelp.html",
         "C:\\GPL\\gpl.exe"},
        {"D:\\", "E:\\", "D:\\\\lapforge.ini", "D:\\\\LapforgeHelp.html", "E:\\\\gpl.exe"},
        {"C:\\Program Files (x86)\\Lapforge", "\\\\server\\games\\M\xfcnchen GPL",
         "C:\\Program Files (x86)\\Lapforge\\lapforge.ini", "C:\\Program Files (x86)\\Lapforge\\LapforgeHelp.html",
         "\\\\server\\games\\M\xfcnchen GPL\\gpl.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.appFolder);
        FakeView view;
        const auto controller = Controller::Create(view, c.appFolder);
        controller->GPLOrdnerPfad = c.simulatorFolder;
        EXPECT_EQ(controller->SettingsFilePath(), c.settings);
        EXPECT_EQ(controller->HelpPagePath(), c.helpPage);
        EXPECT_EQ(controller->SimulatorExePath(), c.simulator);
        EXPECT_EQ(SimulatorExeIn(c.simulatorFolder), c.simulator);
    }
    FakeView view;
    const auto controller = Controller::Create(view, "D:\\");
    EXPECT_EQ(controller->Successor("Pitlane")->announcementPath, "D:\\\\ansage1.wav");
}

TEST(ControllerPaths, FollowTheSimulatorFolderAsItChanges) {
    FakeView view;
    const auto controller = Controller::Create(view, "C:\\Lapforge");
    controller->GPLOrdnerPfad = "C:\\GPL";
    EXPECT_EQ(controller->SimulatorExePath(), "C:\\GPL\\gpl.exe");
    controller->GPLOrdnerPfad = "D:\\Sims\\GPL";
    EXPECT_EQ(controller->SimulatorExePath(), "D:\\Sims\\GPL\\gpl.exe");
    EXPECT_EQ(controller->HelpPagePath(), "C:\\Lapforge\\LapforgeHelp.html");
}

TEST(ControllerLeavesGPLAsFound, WhateverEndedTheLapforgeBefore) {
    const std::string own = NumberedLines(120);
    const std::string edited = WithLine54("stall_0 = 777.00 1.50");
    TestProcess other;  // a Lapforge that still runs
    struct Case {
        const char* name;
        std::function<void(Rig&)> firstRun;  // after its start; then it is gone without a word
        const std::string& expected;         // the file once the next Lapforge has started and exited
    };
    const Case cases[] = {
        {"a clean end",
         [](Rig& r) {
             r.controller->ApplySection("Klostertal/Karussell");
             r.controller->RestoreDeployLine();
         },
         own},
        {"killed after a rewrite", [](Rig& r) { r.controller->ApplySection("Klostertal/Karussell"); }, own},
        {"killed after a refused rewrite",
         [](Rig& r) {
             r.controller->ApplySection("Klostertal/Karussell");
             TestFolder::SetWritable(r.sim.Path() + kTrack, false);
             EXPECT_THROW(r.controller->ApplySection("Hohe Acht/Wippermann"), Failure);
             TestFolder::SetWritable(r.sim.Path() + kTrack, true);
         },
         own},
        {"killed twice in a row: the record keeps GPL's own line",
         [](Rig& r) {
             r.controller->ApplySection("Klostertal/Karussell");
             r.Restart();
             r.controller->StartUp();
             r.controller->ApplySection("Hohe Acht/Wippermann");
             EXPECT_EQ(ParseDeployRecord(TestFolder::Read(r.sim.Path() + kRecord))->found, "stall_0 = 54.00 0.00");
         },
         own},
        {"killed at a point never saved",
         [](Rig& r) {
             TestFolder::SetWritable(r.app.Path() + "\\lapforge.ini", false);
             EXPECT_THROW(r.controller->AddPoint(20000, ""), SettingsNotSaved);
             TestFolder::SetWritable(r.app.Path() + "\\lapforge.ini", true);
             r.controller->ApplyStop(PointStop(20000));
         },
         own},
        {"killed at a point removed while line 54 held it",
         [](Rig& r) {
             r.controller->AddPoint(20000, "");
             r.controller->ApplyStop(PointStop(20000));
             TestFolder::SetWritable(r.sim.Path() + kTrack, false);  // so line 54 keeps it
             r.controller->RemovePoint(20000);
             TestFolder::SetWritable(r.sim.Path() + kTrack, true);
         },
         own},
        {"killed, then the driver's own edit",
         [&](Rig& r) {
             r.controller->ApplySection("Klostertal/Karussell");
             r.sim.Write(kTrack, edited);
         },
         edited},
        {"the record of a Lapforge that still runs, whatever line 54 holds",
         [&](Rig& r) {
             r.controller->ApplySection("Klostertal/Karussell");
             std::optional<DeployRecord> theirs = ParseDeployRecord(TestFolder::Read(r.sim.Path() + kRecord));
             ASSERT_TRUE(theirs.has_value());
             theirs->processId = other.Id();
             theirs->processStart = ProcessStartTime(other.Id());
             r.sim.Write(kRecord, DeployRecordText(*theirs));
             r.sim.Write(kTrack, edited);
         },
         own},
        {"a record whose process id another program has now: the line changed since wins",
         [&](Rig& r) {
             r.controller->ApplySection("Klostertal/Karussell");
             std::optional<DeployRecord> theirs = ParseDeployRecord(TestFolder::Read(r.sim.Path() + kRecord));
             ASSERT_TRUE(theirs.has_value());
             theirs->processId = other.Id();  // started at another time than the program now under that id
             theirs->processStart = ProcessStartTime(other.Id()) + 1;
             r.sim.Write(kRecord, DeployRecordText(*theirs));
             r.sim.Write(kTrack, edited);
         },
         edited},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.StartWith(own);
        c.firstRun(rig);
        rig.Restart();
        rig.controller->StartUp();
        EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 230.00 -9.30");
        rig.controller->RestoreDeployLine();  // exit
        EXPECT_EQ(rig.Track(), c.expected);
        EXPECT_FALSE(TestFolder::Exists(rig.sim.Path() + kRecord));
    }
}

TEST(ControllerChangeFolder, AllOrNothing) {
    const std::string own = NumberedLines(120);
    const std::string nextOwn = WithLine54("stall_0 = 2.00 0.00");
    struct Case {
        const char* name;
        std::function<void(Rig&, const std::string& next, bool spoil)> step;  // spoils it, or mends it
        bool newInUse;
        const char* said;  // in the message; empty: none
        bool refusedFirst = false;  // before anything changed: not even the pictures
    };
    const Case cases[] = {
        {"all well", [](Rig&, const std::string&, bool) {}, true, ""},
        {"the new track file cannot be read",
         [](Rig&, const std::string& next, bool spoil) {
             if (spoil)
                 std::filesystem::rename(TestFolder::Native(next + kTrack), TestFolder::Native(next + kTrack + "x"));
             else
                 std::filesystem::rename(TestFolder::Native(next + kTrack + "x"), TestFolder::Native(next + kTrack));
         },
         false, "Lapforge keeps the GPL folder it had.\n\nCould not open", true},
        {"the new track file may not be written",
         [](Rig&, const std::string& next, bool spoil) { TestFolder::SetWritable(next + kTrack, !spoil); }, false,
         "Lapforge keeps the GPL folder it had.\n\nCould not write", true},
        {"the old line 54 cannot be put back",
         [](Rig& r, const std::string&, bool spoil) { TestFolder::SetWritable(r.sim.Path() + kTrack, !spoil); }, false,
         "Lapforge keeps the GPL folder it had.\n\nCould not write", true},
        {"the first rewrite in the new folder is refused",
         [](Rig&, const std::string& next, bool spoil) {
             // Where the record's temporary file must go, a folder.
             const auto blocker = TestFolder::Native(TemporaryFilePath(next + kRecord, TestProcess::OwnId()));
             if (spoil)
                 std::filesystem::create_directories(blocker);
             else
                 std::filesystem::remove(blocker);
         },
         false, "Lapforge keeps the GPL folder it had.\n\nLapforge could not keep its note of GPL's own deploy point"},
        {"lapforge.ini may not be written",
         [](Rig& r, const std::string&, bool spoil) {
             TestFolder::SetWritable(r.app.Path() + "\\lapforge.ini", !spoil);
         },
         true, "\", but could not save it in lapforge.ini: the next start uses \""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.StartWith(own);
        rig.controller->ApplySection("Klostertal/Karussell");
        TestFolder next;
        next.Write("\\gpl.exe", "MZ");
        next.Write(kTrack, nextOwn);

        c.step(rig, next.Path(), true);
        rig.view.calls.clear();
        std::string message;
        try {
            rig.controller->ChangeFolder(next.Path(), "Klostertal/Karussell");
        } catch (const Failure& failure) {
            message = failure.what();
        }
        c.step(rig, next.Path(), false);

        EXPECT_NE(message.find(c.said), std::string::npos) << message;
        EXPECT_EQ(message.empty(), *c.said == 0) << message;
        EXPECT_EQ(rig.view.calls.empty(), c.refusedFirst) << "checked before anything changed";
        const std::string inUse = c.newInUse ? next.Path() : rig.sim.Path();
        const std::string notInUse = c.newInUse ? rig.sim.Path() : next.Path();
        EXPECT_EQ(rig.controller->GPLOrdnerPfad, inUse);
        EXPECT_EQ(Line(TestFolder::Read(inUse + kTrack), 54), "stall_0 = 12500.00 0.00") << "the section in force";
        EXPECT_EQ(TestFolder::Read(notInUse + kTrack), c.newInUse ? own : nextOwn) << "the other file as found";
        EXPECT_FALSE(TestFolder::Exists(notInUse + kRecord));
        EXPECT_EQ(rig.Settings(), (*c.said ? rig.sim.Path() : next.Path()) + "\r\n") << "saved only when all went well";

        rig.controller->ApplySection("Hohe Acht/Wippermann");  // the next pick goes to the folder in use
        EXPECT_EQ(Line(TestFolder::Read(inUse + kTrack), 54), "stall_0 = 14000.00 0.00");
        rig.controller->RestoreDeployLine();  // exit
        EXPECT_EQ(TestFolder::Read(rig.sim.Path() + kTrack), own);
        EXPECT_EQ(TestFolder::Read(next.Path() + kTrack), nextOwn);
    }
}

TEST(ControllerRewrite, OneRecordPerFolderAndRunAndOnlyLine54OfTheFileAsItIsNow) {
    Rig rig;
    rig.StartWith(NumberedLines(120));
    rig.controller->ApplySection("Klostertal/Karussell");
    // Marked, and read-only as a copy tool may leave it: a second write of the record would show.
    const std::string record = rig.sim.Path() + kRecord;
    const std::string marked = TestFolder::Read(record) + "; marked\r\n";
    rig.sim.Write(kRecord, marked);
    TestFolder::SetWritable(record, false);

    // A track update changes another line while Lapforge runs; the next rewrites keep it.
    const std::string updated = WithLine54("stall_0 = 12500.00 0.00");
    const auto edit = [](std::string file, const std::string& line) {
        return file.replace(file.find("line 10\r\n"), 7, line);
    };
    rig.sim.Write(kTrack, edit(updated, "line ten"));
    rig.controller->ApplySection("Hohe Acht/Wippermann");
    rig.controller->ApplySection("Pitlane");
    EXPECT_EQ(rig.Track(), edit(WithLine54("stall_0 = 230.00 -9.30"), "line ten"));
    EXPECT_EQ(TestFolder::Read(record), marked) << "written once, before the first rewrite";

    // GPL's own line, or a section's, put back by someone else: nothing new to record or to say.
    rig.view.calls.clear();
    for (const std::string& back : {std::string("stall_0 = 54.00 0.00"), std::string("stall_0 = 3100.00 0.00")}) {
        rig.sim.Write(kTrack, edit(WithLine54(back), "line ten"));
        rig.controller->ApplySection("Hohe Acht/Wippermann");
    }
    for (const std::string& call : rig.view.calls) EXPECT_FALSE(call.starts_with("changed")) << call;
    EXPECT_EQ(TestFolder::Read(record), marked) << "no second record";

    // Line 54 changed outside Lapforge to a line no Lapforge writes: GPL's own from now on.
    rig.sim.Write(kTrack, edit(WithLine54("stall_0 = 777.00 1.50"), "line ten"));
    rig.view.calls.clear();
    rig.controller->ApplySection("Hohe Acht/Wippermann");
    EXPECT_EQ(rig.view.calls.front(), "changed stall_0 = 777.00 1.50");
    EXPECT_EQ(ParseDeployRecord(TestFolder::Read(record))->found, "stall_0 = 777.00 1.50")
        << "the record says so before the rewrite, read-only or not";
    rig.controller->RestoreDeployLine();  // exit
    EXPECT_EQ(rig.Track(), edit(WithLine54("stall_0 = 777.00 1.50"), "line ten"));
    EXPECT_FALSE(TestFolder::Exists(record));

    // Another setting where the deploy point was: nothing is written over it.
    const std::string odd = NumberedLines(53) + "pit_speed = 60\r\n" + NumberedLines(66, 55);
    rig.StartWith(NumberedLines(120));
    rig.sim.Write(kTrack, odd);
    EXPECT_THROW(rig.controller->ApplySection("Hohe Acht/Wippermann"), NotADeployLine);
    rig.controller->RestoreDeployLine();
    EXPECT_EQ(rig.Track(), odd);
}

TEST(ControllerStartUp, ClearsWhatKilledWritersLeftAlsoWhenNothingIsRewritten) {
    Rig rig;
    TestProcess ended;
    ended.End();
    const std::string track = rig.sim.Path() + kTrack;
    const std::vector<std::string> leftovers = {TemporaryFilePath(track, ended.Id()),
                                                TemporaryFilePath(track + ".lapforge-original", ended.Id()),
                                                TemporaryFilePath(rig.sim.Path() + kRecord, ended.Id()),
                                                TemporaryFilePath(rig.app.Path() + "\\lapforge.ini", ended.Id())};
    rig.InstallSimulator(WithLine54("stall_0 = 230.00 -9.30"));  // Pitlane already: no rewrite at start
    for (const std::string& path : leftovers) std::ofstream(TestFolder::Native(path)) << "half";

    rig.StartWith(WithLine54("stall_0 = 230.00 -9.30"));

    for (const std::string& path : leftovers) EXPECT_FALSE(TestFolder::Exists(path)) << path;
    EXPECT_FALSE(TestFolder::Exists(rig.sim.Path() + kRecord)) << "nothing rewritten, nothing recorded";
}

TEST(ControllerOwnPoints, StandInTheLapWithTheirPicturesAndAreLapforgesOwnLines) {
    Rig rig;
    rig.InstallSimulator(NumberedLines(120));
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\npoint=12300:Before Mutkurve\r\nmine=kept\r\n");
    // The section's map with its road, and a lap view near the point.
    const std::string picture = "a map picture's bytes";
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(picture)));
    rig.app.Write("\\karte5.jpg", picture);
    std::string road = "lapforge-map-road 1\npicture 306 466 " + std::string(hash) + "\ncolour #d81b60\nrun\n";
    for (int metres = 12000; metres <= 12600; metres += 10)  // a straight road, 1 pixel each 10 m
        road += std::to_string(metres) + " " + std::to_string(10 + (metres - 12000) / 10) + " 100\n";
    rig.app.Write("\\karte5.road", road);
    rig.app.Write("\\lap\\blick12250.jpg", "view");
    rig.controller->StartUp();
    const Stop point = PointStop(12300);
    const std::vector<Stop> listed = rig.controller->ListedStops();
    EXPECT_EQ(std::find(listed.begin(), listed.end(), point) - listed.begin(), 6) << "after Breidscheid/Kesselchen";

    rig.view.calls.clear();
    rig.controller->ApplyStop(point);
    const std::vector<std::string> shown = {"view " + rig.app.Path() + "\\lap\\blick12250.jpg",
                                            "map " + rig.app.Path() + "\\karte5.jpg", "flag 40"};
    EXPECT_EQ(rig.view.calls, shown);
    EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 12300.00 0.00");
    EXPECT_EQ(rig.controller->PlaceOnDisk(), "Before Mutkurve (km 12.30)");
    EXPECT_EQ(rig.controller->RoadMetresAtClick(MapPixel{55, 103}), 12450) << "a click beside the road";
    EXPECT_EQ(rig.controller->RoadMetresAtClick(MapPixel{55, 140}), std::nullopt) << "a click off the road";
    struct Click {
        const char* name;
        MapPixel at;
        Controller::MapClickVerdict verdict;
    };
    const Click clicks[] = {
        {"off the road: nothing", {55, 140}, {}},
        {"a free place: offered", {20, 100}, {12100, {}}},
        {"beside a point: refused, with why",
         {41, 100},
         {std::nullopt, NearPointText(12310, "Before Mutkurve", 12300)}},
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rig.controller->MapClicked(c.at), c.verdict);
    }

    // Killed at the point: the next start knows the point's line as Lapforge's, not GPL's own.
    rig.Restart();
    rig.controller->StartUp();
    rig.controller->RestoreDeployLine();
    EXPECT_EQ(rig.Track(), NumberedLines(120));

    // A point added and removed while line 54 holds it: GPL then starts at its section.
    rig.Restart();
    rig.controller->StartUp();
    EXPECT_EQ(rig.controller->AddPoint(12300, "x"),
              std::optional<std::string>(NearPointText(12300, "Before Mutkurve", 12300)));
    EXPECT_EQ(rig.controller->AddPoint(20000, ""), std::nullopt);
    // Every edit is saved at once.
    const auto saved = [&](std::string_view line) { return rig.Settings().find(line) != std::string::npos; };
    EXPECT_EQ(rig.controller->RenamePoint(12300, "Mut"), std::nullopt);
    EXPECT_TRUE(saved("point=12300:Mut\r\n")) << rig.Settings();
    EXPECT_TRUE(rig.controller->SetOnlyMyPoints(true));
    EXPECT_TRUE(saved("only-my-points=yes\r\n")) << rig.Settings();
    EXPECT_FALSE(rig.controller->SetOnlyMyPoints(false));
    EXPECT_FALSE(saved("only-my-points")) << rig.Settings();
    rig.controller->RenamePoint(12300, "Before Mutkurve");
    rig.controller->ApplyStop(PointStop(20000));
    rig.controller->RemovePoint(20000);
    EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 19400.00 0.00");
    rig.view.calls.clear();
    EXPECT_EQ(rig.controller->PointsEdited(), SectionStop(SectionOf(20000))) << "the list and";
    EXPECT_EQ(rig.view.calls.front(), "view " + rig.app.Path() + "\\blick10.jpg") << "the pictures follow line 54";
    EXPECT_EQ(rig.Settings(), rig.sim.Path() + "\r\npoint=12300:Before Mutkurve\r\nmine=kept\r\n")
        << "unknown lines kept";
    rig.controller->RestoreDeployLine();
    EXPECT_EQ(rig.Track(), NumberedLines(120));
}

TEST(ControllerStartUp, AFolderPickedAfterARefusedOneTakesItsOwnLineAsFound) {
    Rig rig;
    TestFolder remembered;
    remembered.Write("\\gpl.exe", "MZ");
    remembered.Write(kTrack, WithLine54("stall_0 = 1.00 1.00"));
    rig.app.Write("\\lapforge.ini", remembered.Path() + "\r\n");
    // The remembered folder's first rewrite is refused (its note cannot be written), so Lapforge asks;
    // the folder picked then cannot be read at once.
    const auto blocker = TestFolder::Native(TemporaryFilePath(remembered.Path() + kRecord, TestProcess::OwnId()));
    std::filesystem::create_directories(blocker);
    const std::string own = WithLine54("stall_0 = 230.00 -9.30");  // GPL's own line is Pitlane's here
    rig.InstallSimulator(own);
    const auto track = TestFolder::Native(rig.sim.Path() + kTrack);
    rig.view.dialog = [&](Controller& c) {
        c.GPLOrdnerPfad = rig.sim.Path();
        std::filesystem::rename(track, track.string() + "x");
    };
    rig.controller->StartUp();
    std::filesystem::rename(track.string() + "x", track);

    rig.controller->ApplySection("Hohe Acht/Wippermann");
    rig.controller->RestoreDeployLine();  // exit
    EXPECT_EQ(rig.Track(), own) << "not the remembered folder's line 54";
}

TEST(ControllerModFiles, EveryModsTrackFileGoesWithTrackIniAndARefusalCostsOnlyItself) {
    Rig rig;
    const std::string own = NumberedLines(120);
    const std::string mod65 = WithLine54("stall_0 = 65.00 0.00");
    const std::string modGT = NumberedLines(39) + "stall_0 = 40.00 0.00\r\n" + NumberedLines(13, 41) +
                              "pit_speed = 60\r\n" + NumberedLines(66, 55);  // its deploy line elsewhere
    const auto file = [&](const std::string& name) { return rig.sim.Path() + "\\tracks\\nurburg\\" + name; };
    rig.InstallSimulator(own);
    rig.sim.Write("\\tracks\\nurburg\\track65.ini", mod65);
    rig.sim.Write("\\tracks\\nurburg\\trackGT.ini", modGT);
    rig.sim.Write("\\tracks\\nurburg\\_track66.ini", mod65);  // switched off
    rig.app.Write("\\lapforge.ini", rig.sim.Path() + "\r\n");
    rig.controller->StartUp();
    EXPECT_EQ(Line(TestFolder::Read(file("track65.ini")), 54), "stall_0 = 230.00 -9.30");
    EXPECT_EQ(Line(TestFolder::Read(file("trackGT.ini")), 40), "stall_0 = 230.00 -9.30");
    EXPECT_EQ(TestFolder::Read(file("_track66.ini")), mod65);
    EXPECT_EQ(rig.controller->ModFilesInStep(), "the 1965 and GT mods' track files");

    // One mod's file read-only: track.ini and the other are written, the status says which and what to do.
    TestFolder::SetWritable(file("trackGT.ini"), false);
    rig.controller->ApplySection("Klostertal/Karussell");
    EXPECT_EQ(Line(rig.Track(), 54), "stall_0 = 12500.00 0.00");
    EXPECT_EQ(Line(TestFolder::Read(file("track65.ini")), 54), "stall_0 = 12500.00 0.00");
    EXPECT_EQ(rig.controller->ModFilesInStep(), "the 1965 mod's track file");
    EXPECT_EQ(rig.controller->ModFilesProblem().rfind("Not written to the GT mod's track file: ", 0), 0u)
        << rig.controller->ModFilesProblem();
    EXPECT_NE(rig.controller->ModFilesProblem().find("GPL GT still starts you at Pitlane. Clear the Read-only flag of "
                                                     "trackGT.ini"),
              std::string::npos)
        << rig.controller->ModFilesProblem();
    TestFolder::SetWritable(file("trackGT.ini"), true);
    rig.controller->WriteNeighbour(true);  // the next press tries again
    EXPECT_EQ(Line(TestFolder::Read(file("trackGT.ini")), 40), "stall_0 = 14000.00 0.00");
    EXPECT_EQ(rig.controller->ModFilesProblem(), "");

    // Installed while Lapforge runs, found when GPL starts: put in step, or said when it cannot be.
    rig.sim.Write("\\tracks\\nurburg\\track67.ini", own);
    rig.sim.Write("\\tracks\\nurburg\\track55.ini", NumberedLines(120, 200));
    rig.controller->FindTrackFiles();
    EXPECT_EQ(Line(TestFolder::Read(file("track67.ini")), 54), "stall_0 = 14000.00 0.00");
    EXPECT_EQ(rig.controller->ModFilesProblem().rfind("Lapforge cannot steer the 1955 mod's track file: ", 0), 0u)
        << rig.controller->ModFilesProblem();
    EXPECT_EQ(rig.controller->TrackFiles().size(), 4u);
    // Switched off meanwhile: no longer kept; switched on again, its note lets the next start put it back.
    const auto off = [&](const char* from, const char* to) {
        std::filesystem::rename(TestFolder::Native(file(from)), TestFolder::Native(file(to)));
    };
    off("track67.ini", "_track67.ini");
    rig.controller->FindTrackFiles();
    EXPECT_EQ(rig.controller->TrackFiles().size(), 3u);
    off("_track67.ini", "track67.ini");

    // Killed: the next Lapforge recovers every file; its exit leaves each as found.
    rig.Restart();
    rig.controller->StartUp();
    rig.controller->RestoreDeployLine();
    EXPECT_EQ(rig.Track(), own);
    EXPECT_EQ(TestFolder::Read(file("track65.ini")), mod65);
    EXPECT_EQ(TestFolder::Read(file("trackGT.ini")), modGT);
    EXPECT_EQ(TestFolder::Read(file("track67.ini")), own);
    EXPECT_EQ(TestFolder::Read(file("track55.ini")), NumberedLines(120, 200));
    for (const char* name : {"track.ini", "track65.ini", "trackGT.ini", "track67.ini"})
        EXPECT_FALSE(TestFolder::Exists(file(name) + ".lapforge-record")) << name;

    // A change of folder puts the old folder's mods back too.
    rig.controller->ApplySection("Klostertal/Karussell");
    TestFolder next;
    next.Write("\\gpl.exe", "MZ");
    next.Write(kTrack, own);
    rig.controller->ChangeFolder(next.Path(), "Pitlane");
    EXPECT_EQ(TestFolder::Read(file("track65.ini")), mod65);
    EXPECT_EQ(rig.controller->ModFilesInStep(), "");
    rig.controller->RestoreDeployLine();
}
