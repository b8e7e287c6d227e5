#include "core/FileIO.h"

#include "core/Failure.h"
#include "core/ReplaceFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace lapforge {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The rest of an open file; false when reading failed.
bool ReadRest(std::FILE* file, std::string& bytes) {
    char chunk[16384];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    return !std::ferror(file);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    errno = 0;
    FilePtr file(OpenForReading(path));
    if (!file) throw FileFailureFromErrno("open", path, errno ? errno : ENOENT);

    std::string bytes;
    if (!ReadRest(file.get(), bytes)) throw FileFailureFromErrno("read", path, errno ? errno : EIO);
    return bytes;
}

std::optional<std::string> ReadFileIfThere(const std::string& path) {
    errno = 0;
    FilePtr file(OpenForReading(path));
    if (!file && errno == ENOENT) return std::nullopt;
    if (!file) throw FileFailure("open", path, LastReadFailureReason(errno ? errno : EIO));
    std::string bytes;
    if (!ReadRest(file.get(), bytes)) throw FileFailure("read", path, LastReadFailureReason(errno ? errno : EIO));
    return bytes;
}

bool FileOpensForReading(const std::string& path) {
    FilePtr file(OpenForReading(path));
    return file != nullptr;
}

bool SameFileName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

bool FileNameBefore(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(FoldAscii(x)) < static_cast<unsigned char>(FoldAscii(y));
    });
}

}  // namespace lapforge
