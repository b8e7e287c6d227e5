#include "platform/ProcessWatch.h"

#include "core/SimulatorProcess.h"
#include "platform/Launch.h"

#include <winternl.h>

#include <algorithm>

namespace lapforge::platform {

namespace {

// One spelling for a path the system gives in any form: long names (a program may be started
// through its 8.3 name, and the settings hold one where the ANSI code page cannot spell the real
// one), upper case as the file system compares names.
std::wstring ComparisonKey(const std::wstring& path) {
    std::wstring key = path;
    const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed > 0) {
        std::wstring longPath(needed, L'\0');
        const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
        if (length > 0 && length < needed) key = longPath.substr(0, length);
    }
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

std::wstring ImagePath(HANDLE process) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process, 0, path.data(), &size)) return path.substr(0, size);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

// The folder's identity on its volume; nothing where it cannot be opened or the file system gives none.
std::optional<FileIdentity> FolderIdentity(const std::wstring& folder) {
    // Backup semantics open a folder; no access right is asked, only its attributes are read.
    const ScopedFile handle(CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
    const std::uint64_t index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    if (index == 0) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, index};
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // A drive's root keeps its backslash: "C:" alone is the drive's current folder.
    return path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash);
}

constexpr NTSTATUS InfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

// The running processes, each with its id and file name, in one system call: ntdll's list, which
// the process snapshot functions read too, at a third of their cost (under Wine, a look once a
// second through a snapshot is Lapforge's whole idle share). ntdll is in every process.
bool ListProcesses(std::vector<unsigned char>& buffer) {
    using Query = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return false;
    if (buffer.empty()) buffer.resize(256 * 1024);
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status =
            query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == InfoLengthMismatch) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 64 * 1024));  // it may grow meanwhile
            continue;
        }
        return status >= 0;
    }
    return false;
}

struct FrontSearch {
    const std::vector<DWORD>* ids;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<FrontSearch*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (std::find(s->ids->begin(), s->ids->end(), processId) == s->ids->end()) return TRUE;
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

bool SimulatorWatch::AnyRunning() {
    // The exit code would not do: a process may end with the code that means "still active".
    const std::size_t before = processes_.size();
    std::erase_if(processes_,
                  [](const Watched& w) { return WaitForSingleObject(w.process.get(), 0) != WAIT_TIMEOUT; });
    if (processes_.size() != before) {
        handles_.clear();
        for (const Watched& w : processes_) handles_.push_back(w.process.get());
    }
    return !processes_.empty();
}

void SimulatorWatch::Forget() {
    processes_.clear();
    handles_.clear();
    unopenable_ = false;
}

void SimulatorWatch::Add(DWORD processId, ProcessHandle process) {
    handles_.push_back(process.get());
    processes_.push_back(Watched{processId, std::move(process)});
}

bool SimulatorWatch::IsWatched(DWORD processId) const {
    return std::any_of(processes_.begin(), processes_.end(), [&](const Watched& w) { return w.id == processId; });
}

bool SimulatorWatch::Find(const std::string& folder) {
    if (folder != folder_ || folderKey_.empty() || !folderIdentity_) {
        folder_ = folder;
        folderKey_ = ComparisonKey(Widen(folder));
        folderIdentity_ = FolderIdentity(Widen(folder));
    }
    if (!ListProcesses(list_)) return AnyRunning();
    unopenable_ = false;
    for (std::size_t offset = 0;;) {
        const auto& entry = *reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list_.data() + offset);
        const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry.UniqueProcessId));
        const std::wstring_view name(entry.ImageName.Buffer ? entry.ImageName.Buffer : L"",
                                     entry.ImageName.Length / sizeof(wchar_t));
        // The name alone rules out nearly every process before one is opened.
        if (IsSimulatorFileName(name) && !IsWatched(id)) {
            // Enough to read the path and to wait for the end, also of a simulator run as administrator.
            ProcessHandle process =
                OwnProcessHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
            const std::wstring image = process ? ImagePath(process.get()) : std::wstring();
            if (image.empty()) {
                unopenable_ = true;
            } else if (IsSimulatorInFolder(ComparisonKey(image), FolderIdentity(FolderOf(image)), folderKey_,
                                           folderIdentity_)) {
                Add(id, std::move(process));
            }
        }
        if (entry.NextEntryOffset == 0) break;
        offset += entry.NextEntryOffset;
    }
    return AnyRunning();
}

void SimulatorWatch::Watch(DWORD processId, ProcessHandle process) {
    if (process && !IsWatched(processId)) Add(processId, std::move(process));
}

SimulatorSeen SimulatorWatch::Seen() const {
    SimulatorSeen seen;
    seen.unopenable = unopenable_;
    for (const Watched& w : processes_) {
        seen.watched = true;
        const std::optional<bool> elevated = IsElevated(w.process.get());
        // The worst of them counts: one that cannot be read, else one elevated.
        if (!elevated) return SimulatorSeen{true, std::nullopt, unopenable_};
        seen.elevated = seen.elevated.value_or(false) || *elevated;
    }
    return seen;
}

bool SimulatorWatch::BringToFront() const {
    std::vector<DWORD> ids;
    for (const Watched& w : processes_) ids.push_back(w.id);
    FrontSearch search{&ids, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    const bool brought = SetForegroundWindow(search.found) != FALSE;
    // Where no window manager raises the window that became active (Wine on a bare X display).
    BringWindowToTop(search.found);
    return brought;
}

}  // namespace lapforge::platform
