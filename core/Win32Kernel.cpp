#include "core/Win32Kernel.h"

#include "core/Failure.h"
#include "core/ProcessId.h"

namespace lapforge::win32 {

std::string SystemMessage(DWORD error) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    const ScopedLocal owned(buffer);
    std::string text = length ? std::string(buffer, length) : "system error " + std::to_string(error);
    // It goes after a colon in a sentence of ours.
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

std::string SystemReason(DWORD error) { return AsReason(SystemMessage(error)); }

std::wstring Widen(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), n);
    return wide;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

std::wstring WidePath(std::string_view path) {
    std::wstring wide = Widen(path);
    // With a margin for what Windows adds when it makes a relative or odd path full.
    constexpr std::size_t ShortEnough = MAX_PATH - 12;
    if (wide.size() < ShortEnough || wide.starts_with(L"\\\\?\\")) return wide;
    // The prefix turns off Windows' own clean-up of the path, so it is done here first: a drive
    // root's doubled backslash, "." and "..".
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return wide;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return wide;
    full.resize(length);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

}  // namespace lapforge::win32

namespace lapforge {

unsigned long OwnProcessId() { return ::GetCurrentProcessId(); }

bool ProcessRuns(unsigned long id) {
    const win32::ScopedHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    // Refused access means a process exists that we may not touch.
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
    return ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

std::uint64_t ProcessStartTime(unsigned long id) {
    const win32::ScopedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !::GetProcessTimes(process.Get(), &created, &exited, &kernel, &user)) return 0;
    return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

std::uint64_t OwnProcessStartTime() { return ProcessStartTime(::GetCurrentProcessId()); }

}  // namespace lapforge
