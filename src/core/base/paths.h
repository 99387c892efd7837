#pragma once

#include <string>
#include <string_view>

namespace orrelin {

// The folder part of a path including its last "/" (empty without one), and the part after it.
std::string FolderOfPath(std::string_view path);
std::string FileNameOfPath(std::string_view path);

}  // namespace orrelin
