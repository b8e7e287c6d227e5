#include "core/ReplaceFile.h"

#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/ProcessId.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lapforge {

namespace {

[[noreturn]] void ThrowWriteFailure(const std::string& path, int error) {
    const Failure failure = FileFailureFromErrno("write", path, error);
    if (error == EACCES || error == EPERM) throw AccessDenied(failure.what());
    throw failure;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The new content under a temporary name beside the target, on disk and closed; removed again
// unless it has taken the target's place.
class TemporaryFile {
public:
    TemporaryFile(const std::string& path, const std::string& native, std::string_view bytes, mode_t mode)
        : name_(TemporaryFilePath(native, OwnProcessId())) {
        const int fd = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) ThrowWriteFailure(path, errno);
        created_ = true;
        int error = 0;
        std::size_t done = 0;
        while (error == 0 && done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n >= 0)
                done += static_cast<std::size_t>(n);
            else if (errno != EINTR)
                error = errno;
        }
        if (error == 0 && mode && ::fchmod(fd, mode) != 0) error = errno;
        if (error == 0 && ::fsync(fd) != 0) error = errno;
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error != 0) ThrowWriteFailure(path, error);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (created_) ::unlink(name_.c_str());
    }
    const std::string& Name() const { return name_; }
    void Committed() { created_ = false; }

private:
    std::string name_;
    bool created_ = false;
};

// Makes the rename itself durable; the content is already safe, so this is best effort.
void SyncFolder(const std::string& native) {
    const int dir = ::open(FolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void RemoveStaleTemporaryFiles(const std::string& native) {
    const std::string folder = FolderOf(native);
    const std::string name = native.substr(native.find_last_of('/') + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const auto owner = TemporaryFileOwner(entry->d_name, name);
        if (owner && !ProcessRuns(*owner)) ::unlink((folder + "/" + entry->d_name).c_str());
    }
    ::closedir(dir);
}

}  // namespace

void SweepTemporaryFiles(const std::string& path) { RemoveStaleTemporaryFiles(NativePath(path)); }

std::vector<std::string> FileNamesIn(std::string_view folder) {
    const std::string native = NativePath(std::string(folder));
    std::vector<std::string> names;
    DIR* dir = ::opendir(native.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        if (::stat((native + "/" + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

bool PathExists(const std::string& path) {
    struct stat existing {};
    return ::stat(NativePath(path).c_str(), &existing) == 0;
}

void ReplaceFileContents(const std::string& path, std::string_view bytes, ReplaceMode mode) {
    const std::string native = NativePath(path);
    struct stat existing {};
    const bool exists = ::stat(native.c_str(), &existing) == 0;
    if (exists && mode == ReplaceMode::UserFile)
        ProbeWritable(path);
    else if (!exists && errno != ENOENT)
        ThrowWriteFailure(path, errno);

    // Lapforge's own file comes back writable: its flags were never the user's word.
    const mode_t keep = exists ? existing.st_mode & 07777 : 0;
    TemporaryFile temp(path, native, bytes, mode == ReplaceMode::OwnFile && keep ? keep | S_IWUSR : keep);
    if (::rename(temp.Name().c_str(), native.c_str()) != 0) ThrowWriteFailure(path, errno);
    temp.Committed();
    SyncFolder(native);
}

void ProbeWritable(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat existing {};
    if (::stat(native.c_str(), &existing) != 0) ThrowWriteFailure(path, errno);
    // rename() would replace a read-only file (and root may write anything), so ask first.
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw ReadOnlyFile(FileFailure("write", path, "the file is read-only").what());
    const int probe = ::open(native.c_str(), O_WRONLY | O_CLOEXEC);
    if (probe < 0) ThrowWriteFailure(path, errno);
    ::close(probe);
}

bool CreateFileContents(const std::string& path, std::string_view bytes) {
    const std::string native = NativePath(path);
    if (PathExists(path)) return false;
    TemporaryFile temp(path, native, bytes, 0);
    // A hard link, unlike rename(), never takes the place of a file that appeared meanwhile.
    if (::link(temp.Name().c_str(), native.c_str()) != 0) {
        if (errno == EEXIST) return false;
        ThrowWriteFailure(path, errno);
    }
    SyncFolder(native);
    return true;
}

bool RemoveFile(const std::string& path) {
    const std::string native = NativePath(path);
    if (::unlink(native.c_str()) != 0 && errno != ENOENT) return false;
    SyncFolder(native);
    return true;
}

std::FILE* OpenForReading(const std::string& path) { return std::fopen(NativePath(path).c_str(), "rb"); }

std::string RefusedWriteAdvice(const std::string&) { return {}; }

}  // namespace lapforge
