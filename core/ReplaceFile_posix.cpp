#include "core/ReplaceFile.h"

#include "core/Failure.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lapforge {

namespace {

// Removes the temporary file unless it has taken the target's place.
class TempFile {
public:
    explicit TempFile(std::string path) : path_(std::move(path)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    int& Fd() { return fd_; }
    void Commit() { committed_ = true; }

private:
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::string native = NativePath(path);
    struct stat existing {};
    const bool exists = ::stat(native.c_str(), &existing) == 0;
    if (exists) {
        // rename() would replace a read-only file (and root may write anything), so ask first.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw FileFailure("write", path, "the file is read-only");
        const int probe = ::open(native.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0) throw FileFailureFromErrno("write", path, errno);
        ::close(probe);
    } else if (errno != ENOENT) {
        throw FileFailureFromErrno("write", path, errno);
    }

    TempFile temp(native + "." + std::to_string(::getpid()) + ".tmp");
    temp.Fd() = ::open(temp.Path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (temp.Fd() < 0) {
        const int error = errno;
        temp.Commit();  // nothing was created
        throw FileFailureFromErrno("write", path, error);
    }

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(temp.Fd(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileFailureFromErrno("write", path, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (exists && ::fchmod(temp.Fd(), existing.st_mode & 07777) != 0) throw FileFailureFromErrno("write", path, errno);
    if (::fsync(temp.Fd()) != 0) throw FileFailureFromErrno("write", path, errno);
    const int fd = temp.Fd();
    temp.Fd() = -1;
    if (::close(fd) != 0) throw FileFailureFromErrno("write", path, errno);

    if (::rename(temp.Path().c_str(), native.c_str()) != 0) throw FileFailureFromErrno("write", path, errno);
    temp.Commit();

    // Make the rename itself durable; the content is already safe, so this is best effort.
    const int dir = ::open(FolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace lapforge
