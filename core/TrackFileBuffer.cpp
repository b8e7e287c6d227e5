#include "core/TrackFileBuffer.h"

#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/Messages.h"
#include "core/ReplaceFile.h"

#include <cctype>

namespace lapforge {

std::string TrackFileBuffer::TrackFilePath(std::string_view folder) {
    std::string path(folder);
    path += TrackFileName;
    return path;
}

std::string TrackFileBuffer::TrackFilePath(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    path += TrackFolderName;
    path += '\\';
    path += fileName;
    return path;
}

std::string TrackFileBuffer::OriginalCopyPath(std::string_view folder) {
    return TrackFilePath(folder) + std::string(OriginalCopySuffix);
}

void TrackFileBuffer::SweepLeftovers(std::string_view folder) {
    SweepTemporaryFiles(TrackFilePath(folder));
    SweepTemporaryFiles(OriginalCopyPath(folder));
}

bool IsDeployLine(std::string_view line) {
    constexpr std::string_view key = "stall_0";
    std::size_t pos = line.find_first_not_of(" \t");
    if (pos == std::string_view::npos || line.size() - pos < key.size()) return false;
    for (const char k : key)
        if (std::tolower(static_cast<unsigned char>(line[pos++])) != k) return false;
    pos = line.find_first_not_of(" \t", pos);
    return pos != std::string_view::npos && line[pos] == '=';
}

namespace {

TrackFileTooShort TooShort(const std::string& path) {
    const std::string copy = path + std::string(OriginalCopySuffix);
    const std::string reason = TrackFileTooShortReason(PathExists(copy) ? copy : std::string());
    return TrackFileTooShort(FileFailure("read", path, reason).what());
}

}  // namespace

void TrackFileBuffer::ReadTrackFile(std::string_view folder) {
    ReadFile(TrackFilePath(folder), DeployLinePlace::Line54);
}

void TrackFileBuffer::ReadFile(const std::string& path, DeployLinePlace place) {
    const std::string bytes = ReadWholeFile(path);

    tail_.clear();
    std::size_t pos = 0;
    for (std::size_t line = 0; line < TrackLineCount; ++line) {
        if (pos >= bytes.size()) throw TooShort(path);
        const std::size_t end = bytes.find('\r', pos);
        if (end == std::string::npos) {
            lines_[line].assign(bytes, pos, std::string::npos);
            pos = bytes.size();
        } else {
            lines_[line].assign(bytes, pos, end - pos);
            pos = end + 1;
            if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
        }
    }
    tail_.assign(bytes, pos, std::string::npos);
    deployIndex_ = DeployLineIndex;
    if (IsDeployLine(lines_[DeployLineIndex])) return;
    if (place == DeployLinePlace::Line54) throw NotADeployLine(NotADeployLineText(path));
    for (deployIndex_ = 0; deployIndex_ < TrackLineCount; ++deployIndex_)
        if (IsDeployLine(lines_[deployIndex_])) return;
    deployIndex_ = DeployLineIndex;
    throw NotADeployLine(NoDeployLineText(path));
}

void TrackFileBuffer::SetDeployLine(std::string_view text) { lines_[deployIndex_].assign(text); }

std::string TrackFileBuffer::Contents() const {
    std::size_t size = tail_.size();
    for (const auto& line : lines_) size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const auto& line : lines_) {
        bytes += line;
        bytes += "\r\n";
    }
    bytes += tail_;
    return bytes;
}

void TrackFileBuffer::WriteTrackFile(std::string_view folder) const { WriteFile(TrackFilePath(folder)); }

void TrackFileBuffer::WriteFile(const std::string& path) const {
    try {
        const std::string copy = path + std::string(OriginalCopySuffix);
        if (!PathExists(copy) && PathExists(path)) CreateFileContents(copy, ReadWholeFile(path));
        ReplaceFileContents(path, Contents());
    } catch (const ReadOnlyFile& readOnly) {
        throw ReadOnlyFile(std::string(readOnly.what()) + ".\n\n" + ReadOnlyTrackFileAdvice(FileNameOf(path)));
    } catch (const AccessDenied& refused) {
        ThrowRefusedInTrackFolder(refused, path);
    }
}

void ThrowRefusedInTrackFolder(const AccessDenied& refused, const std::string& trackPath) {
    const std::string advice = RefusedWriteAdvice(trackPath);
    if (advice.empty()) throw refused;
    throw AccessDenied(std::string(refused.what()) + ".\n\n" + advice);
}

}  // namespace lapforge
