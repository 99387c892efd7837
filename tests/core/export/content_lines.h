#pragma once

// Reading vCard and iCalendar text back in tests.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace orrelin::testing {

// The lines between CR LFs.
inline std::vector<std::string> PhysicalLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = std::min(text.find("\r\n", at), text.size());
        lines.emplace_back(text.substr(at, end - at));
    }
    return lines;
}

// The content lines: folds (CR LF and a blank) undone.
inline std::vector<std::string> ContentLines(std::string_view text) {
    std::string unfolded;
    for (std::size_t at = 0, fold; at < text.size(); at = fold + 3) {
        fold = std::min(text.find("\r\n ", at), text.size());
        unfolded.append(text.substr(at, fold - at));
    }
    return PhysicalLines(unfolded);
}

// The value of the first content line whose name and parameters are `head`.
inline std::string ValueOf(std::string_view text, std::string_view head) {
    for (const std::string& line : ContentLines(text))
        if (line.starts_with(std::string(head) + ":")) return line.substr(head.size() + 1);
    return "<missing " + std::string(head) + ">";
}

inline std::string Unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) c = value[++i] == 'n' ? '\n' : value[i];
        out += c;
    }
    return out;
}

// Whether every physical line is at most 75 octets and holds whole UTF-8 sequences.
inline bool FoldedWhole(std::string_view text) {
    for (const std::string& line : PhysicalLines(text)) {
        if (line.size() > 75) return false;
        for (std::size_t i = 0; i < line.size();) {
            auto lead = static_cast<unsigned char>(line[i]);
            std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            if (lead >= 0x80 && lead < 0xC2) return false;
            for (std::size_t k = 1; k < n; ++k)
                if (i + k >= line.size() || (line[i + k] & 0xC0) != 0x80) return false;
            i += n;
        }
    }
    return true;
}

// Runs a Python script on a file holding `text` with the first interpreter that has `module`:
// what it printed when it failed, "ok" when it passed, empty when there is no such Python.
inline std::string CheckWithPython(const std::string& module, const std::string& script,
                                   std::string_view text) {
    namespace fs = std::filesystem;
    for (std::string python : {"/usr/bin/python3", "python3"}) {
        if (std::system((python + " -c 'import " + module + "' 2>/dev/null").c_str()) != 0)
            continue;
        const fs::path dir = fs::temp_directory_path() / ("orrelin-" + std::to_string(getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "in", std::ios::binary) << text;
        std::ofstream(dir / "check.py") << script;
        const std::string run = python + " " + (dir / "check.py").string() + " " +
                                (dir / "in").string() + " >" + (dir / "out").string() + " 2>&1";
        const bool passed = std::system(run.c_str()) == 0;
        std::ifstream in(dir / "out");
        std::string output(std::istreambuf_iterator<char>(in), {});
        fs::remove_all(dir);
        return passed ? "ok" : output;
    }
    return {};
}

}  // namespace orrelin::testing
