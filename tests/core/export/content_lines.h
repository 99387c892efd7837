#pragma once

// Reading vCard and iCalendar text back in tests: physical lines, unfolding, unescaping, and
// an optional check by Python's own parsers.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace orrelin::testing {

// The physical lines, without their CR LF; a bare LF is kept inside a line so that it shows.
inline std::vector<std::string> PhysicalLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The content lines: every CR LF followed by a blank removed, then split at CR LF.
inline std::vector<std::string> ContentLines(std::string_view text) {
    std::string unfolded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 3) == "\r\n ") {
            i += 2;
            continue;
        }
        unfolded += text[i];
    }
    return PhysicalLines(unfolded);
}

// The value of the first content line whose name and parameters are `head`.
inline std::string ValueOf(std::string_view text, std::string_view head) {
    for (const std::string& line : ContentLines(text))
        if (line.size() > head.size() && line.starts_with(head) && line[head.size()] == ':')
            return line.substr(head.size() + 1);
    return "<missing " + std::string(head) + ">";
}

inline std::string Unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            char next = value[++i];
            out += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

// Whether the bytes are UTF-8 with every sequence whole.
inline bool IsWholeUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto lead = static_cast<unsigned char>(s[i]);
        std::size_t n = lead < 0x80    ? 1
                        : lead >= 0xF0 ? 4
                        : lead >= 0xE0 ? 3
                        : lead >= 0xC2 ? 2
                                       : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// A Python interpreter with `module`, or the empty text.
inline std::string PythonWith(std::string_view module) {
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        std::string probe =
            std::string(python) + " -c 'import " + std::string(module) + "' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return python;
    }
    return {};
}

// Runs `script` on a file holding `text`; its exit status and what it printed.
inline int RunPython(const std::string& python, std::string_view script, std::string_view text,
                     std::string& output) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("orrelin-std-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "in.txt", std::ios::binary) << text;
    std::ofstream(dir / "check.py") << script;
    std::string command = python + " " + (dir / "check.py").string() + " " +
                          (dir / "in.txt").string() + " > " + (dir / "out.txt").string() + " 2>&1";
    int status = std::system(command.c_str());
    std::ifstream in(dir / "out.txt");
    output.assign(std::istreambuf_iterator<char>(in), {});
    fs::remove_all(dir);
    return status;
}

}  // namespace orrelin::testing
