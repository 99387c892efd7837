#pragma once

// Running a real parser (Python's json, vobject, icalendar) over what an export wrote.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace orrelin::testing {

// Whether python3 can import `module`.
inline bool PythonHas(const std::string& module) {
    return std::system(("python3 -c 'import " + module + "' >/dev/null 2>&1").c_str()) == 0;
}

// Runs the Python `script` with the path of a file holding `input` as sys.argv[1]; its
// standard output, or nothing when it failed (an exception, a refused document).
inline std::optional<std::string> RunPython(const std::string& script, const std::string& input) {
    namespace fs = std::filesystem;
    static int serial = 0;
    const std::string stem =
        "orrelin-py-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const fs::path data = fs::temp_directory_path() / (stem + ".in");
    const fs::path code = fs::temp_directory_path() / (stem + ".py");
    std::ofstream(data, std::ios::binary) << input;
    std::ofstream(code, std::ios::binary) << script;
    const std::string command = "python3 " + code.string() + " " + data.string() + " 2>&1";
    std::optional<std::string> out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        std::string text;
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            text.append(buffer, n);
        if (::pclose(pipe) == 0) out = std::move(text);
    }
    fs::remove(data);
    fs::remove(code);
    return out;
}

}  // namespace orrelin::testing
