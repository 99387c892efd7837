#pragma once

#include <string>
#include <string_view>

namespace orrelin {

// Where the last folder separator of a path is ("/"; "/" or "\\" on Windows), npos without one.
std::size_t LastSeparator(std::string_view path);

// The folder part of a path including its last separator (empty without one), and the part
// after it.
std::string FolderOfPath(std::string_view path);
std::string FileNameOfPath(std::string_view path);

}  // namespace orrelin
