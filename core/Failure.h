#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace lapforge {

// A failure the user can act on: what failed, on which file, and why.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write the operating system refused for want of rights; the folder may explain why.
class AccessDenied : public Failure {
public:
    using Failure::Failure;
};

// A file whose read-only attribute keeps it from being written.
class ReadOnlyFile : public Failure {
public:
    using Failure::Failure;
};

// "could not <action> "<path>": <reason>"
Failure FileFailure(std::string_view action, const std::string& path, std::string_view reason);

// A system's message as the reason in that sentence: its first letter lower-cased.
std::string AsReason(std::string message);

// The same, with the reason taken from a C library errno value.
Failure FileFailureFromErrno(std::string_view action, const std::string& path, int errnoValue);

}  // namespace lapforge
