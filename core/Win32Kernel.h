#pragma once

// Kernel-level helpers for every Windows file, core's and platform's alike: text conversion, the
// system's reason for an error and scoped handles. Nothing here knows of windows.

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace lapforge::win32 {

// Owns one system handle and gives it back when it goes; Traits says how.
template <typename Traits>
class Scoped {
public:
    using Type = typename Traits::Type;

    Scoped() = default;
    explicit Scoped(Type value) : value_(value) {}
    ~Scoped() { Reset(); }
    Scoped(Scoped&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.value_, Traits::Invalid()));
        return *this;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    Type Get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }
    void Reset(Type value = Traits::Invalid()) {
        Close();
        value_ = value;
    }
    // Gives it back now; false when the system reports a failure (a file's last write can end up here).
    bool Close() {
        const bool closed = value_ == Traits::Invalid() || Traits::Close(value_);
        value_ = Traits::Invalid();
        return closed;
    }

private:
    Type value_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool Close(Type handle) { return CloseHandle(handle) != 0; }
};

// CreateFile says "none" in its own way.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Type handle) { return CloseHandle(handle) != 0; }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Type handle) { return FindClose(handle) != 0; }
};

struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Invalid() { return nullptr; }
    static bool Close(Type memory) { return LocalFree(memory) == nullptr; }
};

using ScopedHandle = Scoped<KernelHandleTraits>;  // processes, threads, tokens, events
using ScopedFile = Scoped<FileHandleTraits>;      // CreateFile
using ScopedFind = Scoped<FindHandleTraits>;      // FindFirstFile searches
using ScopedLocal = Scoped<LocalMemoryTraits>;    // what the system hands out with LocalAlloc

// The system's own words for an error code, without the trailing period and line end.
std::string SystemMessage(DWORD error);

// The same as the reason in a sentence of ours: "could not open "X": access is denied".
std::string SystemReason(DWORD error);

// 8-bit texts are in the ANSI code page, as the settings file holds them.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// A path for the file functions, whatever its length: as it is where Windows takes it whole, else
// in full, normalised, with the "\\?\" prefix that lifts the limit of 260 characters on every
// Windows version (a GPL folder deep in a user's folders, plus a temporary file's name, passes it).
std::wstring WidePath(std::string_view path);

}  // namespace lapforge::win32
