#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// Where Windows keeps a program's redirected copy of a file in a protected folder: the per-user
// VirtualStore followed by the path below the drive. Empty for a path without a drive letter.
std::string VirtualStorePath(std::string_view path, std::string_view localAppData);

// The advice for a refused write to the track file: empty unless the file lies in one of the
// protected folders; then the cause and the cure, and the VirtualStore copy GPL reads, if any.
std::string ProtectedFolderAdvice(std::string_view trackPath, const std::vector<std::string>& protectedFolders,
                                  std::string_view localAppData,
                                  const std::function<bool(const std::string&)>& fileExists);

}  // namespace lapforge
