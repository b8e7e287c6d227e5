#pragma once

#include "core/Controller.h"

// A view that shows nothing and asks nothing, for tests that need a controller but not its screen.
class NullView : public lapforge::View {
public:
    bool ShowViewPicture(const std::string&) override { return true; }
    bool ShowMapPicture(const std::string&) override { return true; }
    void ShowMapRoad(bool, std::optional<lapforge::MapPixel>, std::uint32_t) override {}
    void SelectSection(std::string_view) override {}
    void ShowRefusedRewrite(const std::exception&) override {}
    void DeployLineChangedElsewhere(std::string_view) override {}
    void AskForSimulatorFolder(std::string_view) override {}
    void ShowErrorMessage(std::string_view) override {}
    void EndProgram() override {}
};
