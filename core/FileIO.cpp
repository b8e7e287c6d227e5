#include "core/FileIO.h"

#include "core/Failure.h"
#include "core/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace lapforge {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    errno = 0;
    FilePtr file(OpenForReading(path));
    if (!file) throw FileFailureFromErrno("open", path, errno ? errno : ENOENT);

    std::string bytes;
    char chunk[16384];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, got);
    if (std::ferror(file.get())) throw FileFailureFromErrno("read", path, errno ? errno : EIO);
    return bytes;
}

std::optional<std::string> ReadFileIfThere(const std::string& path) {
    errno = 0;
    FilePtr file(OpenForReading(path));
    if (!file && errno == ENOENT) return std::nullopt;
    if (!file) throw FileFailure("open", path, LastReadFailureReason(errno ? errno : EIO));
    std::string bytes;
    char chunk[16384];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, got);
    if (std::ferror(file.get())) throw FileFailure("read", path, LastReadFailureReason(errno ? errno : EIO));
    return bytes;
}

bool FileOpensForReading(const std::string& path) {
    FilePtr file(OpenForReading(path));
    return file != nullptr;
}

}  // namespace lapforge
