#pragma once

#include "core/Failure.h"
#include "core/Win32Kernel.h"

#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace lapforge::platform {

// The kernel's helpers, under the names the platform code uses.
using win32::Narrow;
using win32::Scoped;
using win32::ScopedFile;
using win32::ScopedFind;
using win32::ScopedHandle;
using win32::SystemMessage;
using win32::SystemReason;
using win32::Widen;
using win32::WidePath;

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static bool Close(Type icon) { return DestroyIcon(icon) != 0; }
};

struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static bool Close(Type dc) { return DeleteDC(dc) != 0; }
};

template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool Close(Type object) { return DeleteObject(object) != 0; }
};

using ScopedIcon = Scoped<IconTraits>;
using MemoryDc = Scoped<MemoryDcTraits>;  // CreateCompatibleDC
template <typename T>
using GdiObject = Scoped<GdiObjectTraits<T>>;  // bitmaps, fonts, brushes, pens

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
