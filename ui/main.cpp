#include "core/Messages.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Process.h"
#include "ui/frmLapforge.h"

#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace lapforge;
    platform::InitialiseProcess();
    platform::SessionClaim claim;
    if (!claim.First()) return 0;
    try {
        frmLapforge window;
        window.Create();
        window.Load();
        // Start-up may have ended the program already (no folder, no data files, the user cancelled).
        if (window.IsOpen()) window.Show();
        return platform::RunMessageLoop(window);
    } catch (const std::exception& failure) {
        platform::ReportUnhandledFailure(UnhandledFailureText(failure.what()));
    }
}
