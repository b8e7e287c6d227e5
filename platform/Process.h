#pragma once

#include "platform/Win32.h"

#include <windows.h>

#include <optional>
#include <string>

namespace lapforge::platform {

// Once at start: COM for the imaging component and visual-style controls. The quiet handling of a
// drive without a medium is left to each probe (QuietDriveErrors), so programs we start keep
// Windows' own disk prompts.
void InitialiseProcess();

// The executable's folder, without a trailing backslash except at a drive root, as 8-bit text
// (AnsiPath). A folder without such a form is named in an "Error" box, and the answer is empty.
std::optional<std::string> ApplicationFolder();

// One Lapforge at a time in a Windows session, also beside one run as administrator. The first
// start holds the claim until Release, or until its end however it ends, and meanwhile listens for
// later starts. A later start asks the first to come to the front, never waiting for an answer, and
// is not First; it ends having read and written nothing. Should the first give the claim up within
// a second (it was ending), the later start takes it over and is First. Made and released on the
// program's main thread.
class SessionClaim {
public:
    // The session's own namespace: each user's desktop has its own Lapforge.
    static constexpr const wchar_t* OnePerSession = L"Local\\Lapforge.OnePerSession";

    explicit SessionClaim(const wchar_t* name = OnePerSession);
    ~SessionClaim() { Release(); }
    SessionClaim(const SessionClaim&) = delete;
    SessionClaim& operator=(const SessionClaim&) = delete;

    bool First() const { return first_; }

    // Ends the claim: a start from now on counts as the first, though this process may take a
    // moment longer to end.
    void Release();

    // The main window is going, with the files as Lapforge leaves them: the claim this process
    // holds ends now, so that a start right after Exit counts even while the window is still there.
    static void ReleaseHeld();

    // What a later start posts to the first one's listener.
    static UINT ComeForwardMessage();

private:
    void Hold(ScopedHandle mutex, const wchar_t* name);

    ScopedHandle mutex_;  // owned by this thread while held
    HWND listener_ = nullptr;
    bool first_ = false;
};

}  // namespace lapforge::platform
