#pragma once

#include "core/Controller.h"
#include "core/SectionCycle.h"
#include "core/SimulatorLaunch.h"
#include "platform/InputState.h"
#include "platform/MessageLoop.h"
#include "platform/PictureBox.h"
#include "platform/ProcessWatch.h"
#include "platform/WindowBase.h"

#include <memory>

namespace lapforge {

// The main window: the section list with its map and view, the launch button, the option box that
// arms the section cycle and the Keys window's button, help and exit. It owns the controller and is
// its view.
class frmLapforge final : public WindowBase,
                          public View,
                          public platform::LoopPoll,
                          private CycleView,
                          private ProcessStarter {
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
    void SelectSection(std::string_view name) override;
    void AskForSimulatorFolder(std::string_view problem) override;
    void ShowErrorMessage(std::string_view text) override;
    void EndProgram() override;

    // LoopPoll: the bindings, while the cycle runs.
    DWORD PollInterval() override;
    void Poll() override;

private:
    void OnCreate() override;
    void OnCommand(int id, int code) override;
    void OnDestroy() override;
    bool OnClose() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnTimer(UINT_PTR id) override;
    void OnEnable(bool enabled) override;

    void Sectionselection_Click();
    void cmdLosgehts_Click();
    void cmdHilfe_Click();
    void chkHotkeyUndAudio_Click();
    void cmdKeys_Click();
    void cmdBeenden_Click();
    void cmdChangeFolder_Click();

    // GPL's line 54 back as Lapforge found it; a failure is told, and the program still ends.
    void LeaveSimulatorAsFound();
    void ShowFolder();

    void QuitProgram(int exitCode = 0);
    std::string SectionText() const;
    void SetSectionText(std::string_view name);

    bool IsHotkeyOptionChecked() const;
    void ShowHotkeyCaption();
    // Arms the cycle by the option box, looks for the simulator and runs the timers for both.
    void UpdateCycle();
    bool SimulatorRuns();

    // CycleView
    std::string CurrentSection() override;
    void SetSection(std::string_view name) override;
    void PlayAnnouncement(const std::string& path) override;

    // ProcessStarter
    StartOutcome StartProcess(const std::string& exePath, const std::string& workingFolder,
                              unsigned long creationFlags) override;
    StartOutcome StartAsShell(const std::string& exePath, const std::string& workingFolder) override;

    std::unique_ptr<Controller> controller_;
    std::unique_ptr<SectionCycle> cycle_;
    platform::SimulatorWatch simulator_;
    platform::DesktopInput input_;
    bool looking_ = false;        // the look timer runs
    std::uint64_t lastLook_ = 0;  // while polling: the last look whether the simulator still runs
    platform::PictureBox picKarte_;
    platform::PictureBox picBlick_;
    int exitCode_ = 0;
};

}  // namespace lapforge
