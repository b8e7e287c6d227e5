#include "core/ReplaceFile.h"

#include "core/Failure.h"

#include <algorithm>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace lapforge {

namespace {

// Paths arrive as 8-bit text in the ANSI code page, as the settings file stores them.
std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string SystemReason(DWORD error) {
    char* buffer = nullptr;
    const DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string reason = n ? std::string(buffer, n) : "system error " + std::to_string(error);
    if (buffer) ::LocalFree(buffer);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == '.' ||
                               reason.back() == ' '))
        reason.pop_back();
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

Failure WriteFailure(const std::string& path, DWORD error) { return FileFailure("write", path, SystemReason(error)); }

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    BOOL Close() {
        BOOL ok = TRUE;
        if (Valid()) ok = ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

}  // namespace

std::string NativePath(const std::string& path) { return path; }

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::wstring target = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        if (attributes & FILE_ATTRIBUTE_READONLY) throw FileFailure("write", path, "the file is read-only");
        // Fails early, with the old file untouched, when another program holds it locked.
        Handle probe(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
        if (!probe.Valid()) throw WriteFailure(path, ::GetLastError());
    }

    const std::wstring temp = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    const DWORD tempAttributes = exists ? (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE))
                                        : FILE_ATTRIBUTE_NORMAL;
    Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              tempAttributes ? tempAttributes : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw WriteFailure(path, ::GetLastError());

    DWORD error = ERROR_SUCCESS;
    std::size_t done = 0;
    while (error == ERROR_SUCCESS && done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr)) error = ::GetLastError();
        done += written;
    }
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.Get())) error = ::GetLastError();
    if (!file.Close() && error == ERROR_SUCCESS) error = ::GetLastError();
    if (error == ERROR_SUCCESS &&
        !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(temp.c_str());
        throw WriteFailure(path, error);
    }
}

}  // namespace lapforge
