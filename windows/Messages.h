#pragma once

#include <string>
#include <string_view>

namespace lapforge {

inline constexpr std::string_view LaunchFailedMessage = "GPL could not be launched!";

// For a drive that cannot be read, such as an empty card reader.
std::string DriveNotReadyMessage(char driveLetter);

// The launch message, followed by the system's reason when there is one.
std::string LaunchFailedText(std::string_view reason);

// What the user reads before the program stops on a failure nothing else handled.
std::string UnhandledFailureText(std::string_view what);

}  // namespace lapforge
