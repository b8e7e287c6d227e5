#pragma once

#include "core/Failure.h"

#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace lapforge::platform {

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
        if (value_ != Traits::Invalid()) Traits::Close(value_);
        value_ = value;
    }

private:
    Type value_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { FindClose(handle); }
};

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type icon) { DestroyIcon(icon); }
};

struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type dc) { DeleteDC(dc); }
};

template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static void Close(Type object) { DeleteObject(object); }
};

using ScopedHandle = Scoped<KernelHandleTraits>;  // processes, threads, files
using ScopedFind = Scoped<FindHandleTraits>;      // FindFirstFile searches
using ScopedIcon = Scoped<IconTraits>;
using MemoryDc = Scoped<MemoryDcTraits>;          // CreateCompatibleDC
template <typename T>
using GdiObject = Scoped<GdiObjectTraits<T>>;     // bitmaps, fonts, brushes, pens

// A window's device context for the length of a scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Holds a COM interface and releases it.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    // For functions that hand out a new reference: releases the old one first.
    T** Put() {
        Reset();
        return &p_;
    }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

// COM for this thread, single-threaded apartment, for as long as the guard lives.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

// While it lives, a drive without a medium makes calls fail instead of asking the user for a disk.
class QuietDriveErrors {
public:
    QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
    ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    DWORD previous_ = 0;
};

// The system's own words for an error code, without the trailing period and line end.
std::string SystemMessage(DWORD error);

// 8-bit texts are in the ANSI code page, as the settings file holds them.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// The text's bytes in the ANSI code page, or nothing when the code page cannot spell every letter.
std::optional<std::string> SpellInAnsi(std::wstring_view text);

// A failure whose text names folders by their real names, which the ANSI code page may not spell:
// what() has the 8-bit text, Text() the real one for a message box.
class WideFailure : public Failure {
public:
    explicit WideFailure(const std::wstring& text) : Failure(Narrow(text)), text_(text) {}
    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
};

// A path the system gave in UTF-16, as the core, the settings file and the A functions take it:
// as it is where the ANSI code page spells it, else with its short 8.3 names (ChooseAnsiPath). The
// path must exist. Throws WideFailure naming the folder when it has no such form, so that no path
// with '?' in place of letters goes on.
std::string AnsiPath(const std::wstring& path);

}  // namespace lapforge::platform
