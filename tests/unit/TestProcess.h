#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// Another process that stays alive, doing nothing, until End(); after that its id names no process.
class TestProcess {
public:
    TestProcess() {
#ifdef _WIN32
        // This test program itself, suspended before it runs a single line.
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                           &info_)) {
            CloseHandle(info_.hThread);
            id_ = info_.dwProcessId;
        }
#else
        const pid_t pid = fork();
        if (pid == 0) {
            for (;;) pause();
        }
        if (pid > 0) id_ = static_cast<unsigned long>(pid);
#endif
    }
    ~TestProcess() { End(); }
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    unsigned long Id() const { return id_; }

    static unsigned long OwnId() {
#ifdef _WIN32
        return GetCurrentProcessId();
#else
        return static_cast<unsigned long>(getpid());
#endif
    }

    void End() {
        if (!id_ || ended_) return;
        ended_ = true;
#ifdef _WIN32
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, INFINITE);
        CloseHandle(info_.hProcess);
#else
        kill(static_cast<pid_t>(id_), SIGKILL);
        waitpid(static_cast<pid_t>(id_), nullptr, 0);
#endif
    }

private:
    unsigned long id_ = 0;
    bool ended_ = false;
#ifdef _WIN32
    PROCESS_INFORMATION info_{};
#endif
};
