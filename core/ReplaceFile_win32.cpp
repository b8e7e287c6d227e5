#include "core/ReplaceFile.h"

#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/ProcessId.h"
#include "core/ProtectedFolder.h"
#include "core/Win32Kernel.h"

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>

namespace lapforge {

namespace {

// Paths arrive as 8-bit text in the ANSI code page, as the settings file stores them.
using win32::Narrow;
using win32::WidePath;

// How long a holder that keeps the file from being replaced gets to let go (a scanner's look).
constexpr ULONGLONG HolderPatienceMs = 500;
constexpr DWORD HolderPollMs = 25;

[[noreturn]] void ThrowWriteFailure(const std::string& path, DWORD error) {
    const Failure failure = FileFailure("write", path, win32::SystemReason(error));
    if (error == ERROR_ACCESS_DENIED) throw AccessDenied(failure.what());
    throw failure;
}

// Gives ERROR_SUCCESS or the reason the bytes were not all written.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return ::GetLastError();
        done += written;
    }
    return ERROR_SUCCESS;
}

// The new content under a temporary name beside the target, on disk and closed; removed again
// unless it has taken the target's place.
class TemporaryFile {
public:
    TemporaryFile(const std::string& path, std::string_view bytes, DWORD attributes)
        : name_(WidePath(TemporaryFilePath(path, OwnProcessId()))) {
        win32::ScopedFile file(::CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) ThrowWriteFailure(path, ::GetLastError());
        created_ = true;
        DWORD error = WriteAll(file.Get(), bytes);
        if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.Get())) error = ::GetLastError();
        if (!file.Close() && error == ERROR_SUCCESS) error = ::GetLastError();
        if (error != ERROR_SUCCESS) ThrowWriteFailure(path, error);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (created_) ::DeleteFileW(name_.c_str());
    }
    const std::wstring& Name() const { return name_; }
    // Moves it to the target; false with the reason in GetLastError.
    bool MoveTo(const std::wstring& target, DWORD flags) {
        if (!::MoveFileExW(name_.c_str(), target.c_str(), flags | MOVEFILE_WRITE_THROUGH)) return false;
        created_ = false;
        return true;
    }

private:
    std::wstring name_;
    bool created_ = false;
};

// Gives the new file the access rights set on the old file itself: its own entries, or its whole
// list where it inherits none. What the folder passes on, the new file has by being created there.
// Best effort: the owner stays the one who writes, and a list that cannot be copied leaves the
// folder's rights, as a plain rewrite would.
void KeepOwnPermissions(const std::wstring& from, const std::wstring& to) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return;
    const win32::ScopedLocal owned(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!dacl || !::GetSecurityDescriptorControl(descriptor, &control, &revision)) return;
    const bool isProtected = (control & SE_DACL_PROTECTED) != 0;

    std::vector<BYTE> buffer(dacl->AclSize);
    const auto own = reinterpret_cast<PACL>(buffer.data());
    if (!::InitializeAcl(own, dacl->AclSize, dacl->AclRevision)) return;
    bool anyOwn = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) return;
        const auto header = static_cast<const ACE_HEADER*>(ace);
        if (!isProtected && (header->AceFlags & INHERITED_ACE)) continue;
        if (!::AddAce(own, dacl->AclRevision, MAXDWORD, ace, header->AceSize)) return;
        anyOwn = true;
    }
    if (!anyOwn && !isProtected) return;

    win32::ScopedFile file(::CreateFileW(to.c_str(), WRITE_DAC, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return;
    const SECURITY_INFORMATION inheritance =
        isProtected ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
    ::SetSecurityInfo(file.Get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr, own,
                      nullptr);
}

void RemoveStaleTemporaryFiles(const std::wstring& target) {
    const std::size_t slash = target.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    const std::string name = Narrow(slash == std::wstring::npos ? target : target.substr(slash + 1));
    WIN32_FIND_DATAW found;
    const win32::ScopedFind search(::FindFirstFileW((target + L".*.tmp").c_str(), &found));
    if (!search) return;
    do {
        const auto owner = TemporaryFileOwner(Narrow(found.cFileName), name);
        if (owner && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !ProcessRuns(*owner))
            ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(search.Get(), &found));
}

// Sharing violations come from a holder that shares no writing; they pass when it lets go.
bool HeldByAnotherProgram(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// The rewrite's probe: the file itself opened for writing, shared with everyone, and closed again
// unchanged. ERROR_SUCCESS or the reason it may not be written.
DWORD OpenForWritingError(const std::wstring& target) {
    win32::ScopedFile probe(::CreateFileW(target.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    return probe ? ERROR_SUCCESS : ::GetLastError();
}

// Opens the target itself with full sharing and overwrites it; readers may see it half-written.
void WriteInPlace(const std::string& path, const std::wstring& target, std::string_view bytes) {
    win32::ScopedFile file(::CreateFileW(target.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
    if (!file) ThrowWriteFailure(path, ::GetLastError());
    DWORD error = WriteAll(file.Get(), bytes);
    if (error == ERROR_SUCCESS && !::SetEndOfFile(file.Get())) error = ::GetLastError();
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.Get())) error = ::GetLastError();
    if (!file.Close() && error == ERROR_SUCCESS) error = ::GetLastError();
    if (error != ERROR_SUCCESS) ThrowWriteFailure(path, error);
}

}  // namespace

std::string NativePath(const std::string& path) { return path; }

bool PathExists(const std::string& path) {
    return ::GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::FILE* OpenForReading(const std::string& path) {
    const std::wstring target = WidePath(path);
    // Every rewrite reads the file first, so a holder gets the same patience as a write gives it.
    const ULONGLONG deadline = ::GetTickCount64() + HolderPatienceMs;
    for (;;) {
        const HANDLE file =
            ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
            if (descriptor < 0) {
                ::CloseHandle(file);
                return nullptr;
            }
            std::FILE* stream = ::_fdopen(descriptor, "rb");
            if (!stream) ::_close(descriptor);
            return stream;
        }
        const DWORD error = ::GetLastError();
        if (!HeldByAnotherProgram(error) || ::GetTickCount64() >= deadline) {
            errno = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT
                    : error == ERROR_ACCESS_DENIED || HeldByAnotherProgram(error)  ? EACCES
                                                                                   : EIO;
            return nullptr;
        }
        ::Sleep(HolderPollMs);
    }
}

void ReplaceFileContents(const std::string& path, std::string_view bytes, ReplaceMode mode) {
    const std::wstring target = WidePath(path);
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        TemporaryFile temp(path, bytes, FILE_ATTRIBUTE_NORMAL);
        if (!temp.MoveTo(target, MOVEFILE_REPLACE_EXISTING)) ThrowWriteFailure(path, ::GetLastError());
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) && mode == ReplaceMode::OwnFile) {
        // A copy or sync tool may have marked Lapforge's own note read-only; it is not the user's file.
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        ::SetFileAttributesW(target.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    }
    if (attributes & FILE_ATTRIBUTE_READONLY)
        throw ReadOnlyFile(FileFailure("write", path, "the file is read-only").what());

    TemporaryFile temp(path, bytes,
                       attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    KeepOwnPermissions(target, temp.Name());
    const ULONGLONG deadline = ::GetTickCount64() + HolderPatienceMs;
    for (;;) {
        // The probe keeps the old file untouched when it may not be written at all.
        DWORD error = OpenForWritingError(target);
        const bool writable = error == ERROR_SUCCESS;
        if (writable) {
            if (temp.MoveTo(target, MOVEFILE_REPLACE_EXISTING)) return;
            error = ::GetLastError();
        }
        // A file that may be written but not replaced is open in a program that shares no deletion.
        const bool replaceRefused = writable && (error == ERROR_ACCESS_DENIED || HeldByAnotherProgram(error));
        if (!replaceRefused && !HeldByAnotherProgram(error)) ThrowWriteFailure(path, error);
        if (::GetTickCount64() >= deadline) {
            if (!replaceRefused) ThrowWriteFailure(path, error);
            WriteInPlace(path, target, bytes);
            return;
        }
        ::Sleep(HolderPollMs);
    }
}

void ProbeWritable(const std::string& path) {
    const std::wstring target = WidePath(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) ThrowWriteFailure(path, ::GetLastError());
    if (attributes & FILE_ATTRIBUTE_READONLY)
        throw ReadOnlyFile(FileFailure("write", path, "the file is read-only").what());
    const DWORD error = OpenForWritingError(target);
    if (error != ERROR_SUCCESS) ThrowWriteFailure(path, error);
}

bool RemoveFile(const std::string& path) {
    const std::wstring target = WidePath(path);
    if (::DeleteFileW(target.c_str())) return true;
    DWORD error = ::GetLastError();
    // Windows deletes no read-only file; this one is Lapforge's own.
    if (error == ERROR_ACCESS_DENIED && ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL)) {
        if (::DeleteFileW(target.c_str())) return true;
        error = ::GetLastError();
    }
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void SweepTemporaryFiles(const std::string& path) { RemoveStaleTemporaryFiles(WidePath(path)); }

std::vector<std::string> FileNamesIn(std::string_view folder) {
    std::string pattern(folder);
    if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const win32::ScopedFind search(::FindFirstFileW(WidePath(pattern).c_str(), &found));
    if (!search) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
    } while (::FindNextFileW(search.Get(), &found));
    return names;
}

bool CreateFileContents(const std::string& path, std::string_view bytes) {
    const std::wstring target = WidePath(path);
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    TemporaryFile temp(path, bytes, FILE_ATTRIBUTE_NORMAL);
    if (temp.MoveTo(target, 0)) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return false;
    ThrowWriteFailure(path, error);
}

std::string RefusedWriteAdvice(const std::string& trackPath) {
    std::vector<std::string> protectedFolders;
    for (const int id : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        wchar_t folder[MAX_PATH] = {};
        if (SUCCEEDED(::SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, folder)))
            protectedFolders.push_back(Narrow(folder));
    }
    wchar_t localAppData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData)))
        localAppData[0] = L'\0';
    return ProtectedFolderAdvice(trackPath, protectedFolders, Narrow(localAppData), PathExists);
}

}  // namespace lapforge
