#pragma once

// A small streaming JSON (RFC 8259) writer: tokens are appended to a string as they come, so a
// document of a million records never exists as a tree in memory. It keeps only the nesting,
// to place commas; the caller keeps the structure well-formed (a key before each value of an
// object).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orrelin {

class JsonWriter {
  public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    // A string value from UTF-8 text; see AppendJsonString.
    void string(std::string_view utf8);
    void number(std::int64_t value);
    void boolean(bool value);
    void null();
    // An instant as "YYYY-MM-DDTHH:MM:SSZ", or null when there is none or it lies outside the
    // years 0000 to 9999.
    void instant(std::optional<std::int64_t> unixSeconds);
    // A line break before the next value (after its comma), to keep one record a line.
    void newline() { newlinePending_ = true; }

    // Shorthands for a member of an object.
    void member(std::string_view name, std::string_view utf8) {
        key(name);
        string(utf8);
    }
    void member(std::string_view name, std::int64_t value) {
        key(name);
        number(value);
    }

  private:
    void beforeValue();
    std::string& out_;
    // Per open object or array: whether it has a member or element yet.
    std::vector<bool> hasItem_;
    bool afterKey_ = false;
    bool newlinePending_ = false;
};

// Appends `utf8` as a quoted JSON string: quote and backslash escaped, control characters
// below 0x20 as \n, \r, \t, \b, \f or \u00XX, well-formed UTF-8 passed through, and every byte
// that does not belong to a well-formed UTF-8 sequence replaced by U+FFFD, so the output is
// valid JSON whatever the input.
void AppendJsonString(std::string& out, std::string_view utf8);

// "YYYY-MM-DDTHH:MM:SSZ" of seconds since 1970-01-01 00:00 UTC; nothing outside the years
// 0000 to 9999.
std::optional<std::string> IsoUtc(std::int64_t unixSeconds);

}  // namespace orrelin
