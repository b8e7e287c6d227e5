#include "core/Failure.h"

#include <cerrno>
#include <system_error>

namespace lapforge {

Failure FileFailure(std::string_view action, const std::string& path, std::string_view reason) {
    std::string message = "could not ";
    message += action;
    message += " \"";
    message += path;
    message += "\": ";
    message += reason;
    return Failure(message);
}

std::string AsReason(std::string message) {
    if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z')
        message[0] = static_cast<char>(message[0] - 'A' + 'a');
    return message;
}

Failure FileFailureFromErrno(std::string_view action, const std::string& path, int errnoValue) {
    return FileFailure(action, path, AsReason(std::generic_category().message(errnoValue)));
}

}  // namespace lapforge
