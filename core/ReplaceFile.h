#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace lapforge {

// Whose file is replaced: the user's (GPL's track file, lapforge.ini), whose read-only flag is the
// user's word and is kept, or Lapforge's own note beside it, which it writes whatever its flags.
enum class ReplaceMode { UserFile, OwnFile };

// Replaces the file's content: the new bytes go to a temporary file beside it, reach the disk, and
// then take the file's place. Where another program holds the file so that it may be written but
// not replaced (Windows sharing rules), it waits about half a second for the holder to let go and
// then writes the bytes in place, which is never worse than a plain rewrite. On failure the old
// file is left as it was, no temporary file stays behind, and a Failure naming the path is thrown
// (AccessDenied when the system refused for want of rights). An existing file that may not be
// written (read-only, or held by a program that shares no writing) is a failure. The new file
// keeps the old one's hidden, system and archive attributes and the access rights set on the old
// file itself, besides those the folder passes on (mode bits on POSIX); its owner is the writer.
// Paths of any length work. Temporary files that killed writers left are not looked for here (that
// costs a scan of the folder per write): SweepTemporaryFiles, once when a folder is taken into use.
void ReplaceFileContents(const std::string& path, std::string_view bytes, ReplaceMode mode = ReplaceMode::UserFile);

// Writes a new file in one step, the same way, but never over an existing one: returns false,
// changing nothing, when the file is already there.
bool CreateFileContents(const std::string& path, std::string_view bytes);

bool PathExists(const std::string& path);

// Throws what ReplaceFileContents would for an existing file that may not be written (read-only,
// refused, held, missing), and changes nothing: the file is opened for writing and closed again.
void ProbeWritable(const std::string& path);

// Removes one of Lapforge's own files, read-only or not; false when it is still there afterwards.
bool RemoveFile(const std::string& path);

// Removes the temporary files that writers of this file left when they were killed (and those a
// writer killed just after its file took its place leaves: POSIX links it there, then removes its
// own name).
void SweepTemporaryFiles(const std::string& path);

// Opens the file for reading bytes as they are; null with errno set when it cannot. Paths of any length.
std::FILE* OpenForReading(const std::string& path);

// Why the last OpenForReading, or the read after it, failed on this thread, in the system's own
// words where it gives them (errno's meaning otherwise).
std::string LastReadFailureReason(int errnoValue);

// The path as the operating system wants it. Paths are kept Windows-style everywhere (data-file
// names begin with a backslash); on POSIX hosts, where the core is also built and tested, the
// backslashes become slashes at the point of the system call.
std::string NativePath(const std::string& path);

// "<file name>.<process id>.tmp": whose temporary file it is shows in its name, so a later run
// can tell a killed writer's leftovers from the file of a copy still at work.
std::string TemporaryFilePath(const std::string& path, unsigned long processId);
// The process id of a temporary file name made for `targetName`, or nothing for any other name.
std::optional<unsigned long> TemporaryFileOwner(std::string_view fileName, std::string_view targetName);

// Why the system may have refused a write to the track file, and what to do, when a protected
// folder explains it; empty otherwise.
std::string RefusedWriteAdvice(const std::string& trackPath);

}  // namespace lapforge
