#pragma once

#include "core/Announcement.h"
#include "core/Controller.h"
#include "core/SectionCycle.h"
#include "core/StatusLine.h"
#include "platform/InputState.h"
#include "platform/MessageLoop.h"
#include "platform/PictureBox.h"
#include "platform/Speech.h"
#include "platform/ProcessWatch.h"
#include "platform/WindowBase.h"
#include "platform/Winmm.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace lapforge {

// The main window: the section list with its map and view, the launch button with the list of the
// folder's GPL programs beside it, the option box that arms the section cycle, the Keys and Points
// windows' buttons, help and exit, the GPL folder and the status line. It owns the controller and
// is its view; the section cycle decides when the main loop looks for GPL and when it polls.
class frmLapforge final : public WindowBase,
                          public CycleView,
                          public platform::LoopPoll {
public:
    frmLapforge();
    ~frmLapforge() override;

    void Create();
    // Creates the controller and runs its start-up; the window is still hidden.
    void Load();
    void Show();
    // False once the program has been ended.
    bool IsOpen() const { return hwnd_ != nullptr; }

    // View
    bool ShowViewPicture(const std::string& path) override;
    bool ShowMapPicture(const std::string& path) override;
    void ShowMapRoad(bool takesClicks, std::optional<MapPixel> flag, std::uint32_t colour) override;
    void SelectSection(std::string_view name) override;
    void ShowRefusedRewrite(const std::exception& failure) override;
    void DeployLineChangedElsewhere(std::string_view line) override;
    void AskForSimulatorFolder(std::string_view problem) override;
    void ShowErrorMessage(std::string_view text) override;
    void EndProgram() override;

    // CycleView
    void Announce(const StopAnnouncement& announcement) override;
    void ShowWrittenStop(const Stop& stop) override;
    void ShowStopPictures(const Stop& stop) override;
    void StepRefused(const std::exception& failure) override;

    // LoopPoll: the section cycle's looks and polls, and the watched GPL's end.
    void Poll() override;
    DWORD PollInterval() override;
    const std::vector<HANDLE>& WaitHandles() override;
    void HandleSignalled() override;

private:
    void OnCreate() override;
    void OnCommand(int id, int code) override;
    void OnDestroy() override;
    bool OnClose() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnEnable(bool enabled) override;

    void Sectionselection_Click();
    void cmdLosgehts_Click();
    void cboGPLProgramm_Click();
    // Opened: a mod installed meanwhile shows.
    void cboGPLProgramm_DropDown();
    void cmdHilfe_Click();
    void chkHotkeyUndAudio_Click();
    void cmdKeys_Click();
    void cmdPoints_Click();
    // A click on the map's road offers a point of the driver's own there.
    void picKarte_Click();
    void cmdBeenden_Click();
    void cmdChangeFolder_Click();

    void ShowFolder();
    // The GPL programs the folder holds now, the one "Launch GPL" starts selected; a lost choice's
    // fallback is told on the status line.
    void ShowLaunchPrograms();

    void QuitProgram(int exitCode = 0);
    // The list: every stop in lap order, the driver's points marked.
    void ShowStops();
    std::optional<Stop> ShownStop() const;
    // Selects the stop in the list and applies it; a refused rewrite puts the list back to the
    // stop the file holds and is passed on.
    void SelectStop(const Stop& stop);
    void ApplyShownStop();
    void ShowInList(const std::optional<Stop>& stop);
    // The list anew after the driver's points changed, at the stop the file holds.
    void PointsChanged();
    std::string PlaceInFile() const;

    bool IsHotkeyOptionChecked() const;
    void ShowHotkeyCaption();
    void ShowStatus();
    // The driver is told that a rewrite was refused: in a box too when he picked the section himself.
    void RewriteRefused(const std::exception& failure, bool picked);
    void SimulatorWatched(bool runs);
    // The fine timer, the key events and the joysticks' sampler, as the cycle wants them now.
    void AskForWhatTheCycleWants();
    void PlayAnnouncement(const AnnouncementPlan& plan);

    std::unique_ptr<Controller> controller_;
    std::unique_ptr<SectionCycle> cycle_;
    platform::SimulatorWatch simulator_;
    platform::DesktopInput input_;
    platform::TimerPeriodRequest timerPeriod_;  // as the cycle wants it
    platform::KeyEventRequest keyEvents_;       // the same
    platform::PictureBox picKarte_;
    platform::PictureBox picBlick_;
    platform::Speech speech_;
    std::vector<Stop> listed_;  // the list's items
    std::vector<std::string> launchPrograms_;  // the program list's items
    bool simulatorRan_ = false;      // as last seen: a GPL starting finds the mods' track files again
    bool lapforgeElevated_ = false;  // for the run: Windows does not change it
    StatusLine status_;
    std::wstring shownStatus_;
    int exitCode_ = 0;
};

}  // namespace lapforge
