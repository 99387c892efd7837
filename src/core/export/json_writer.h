#pragma once

// A small streaming JSON (RFC 8259) writer: tokens are written as they come, so a document of
// a million records never exists as a tree in memory. It keeps only the nesting, to place
// commas; the caller keeps the structure well-formed (a key before each value of an object).
//
// Tokens gather in the writer's own buffer, written through a pointer without the checks of
// std::string's appends (a record is some fifty tokens), and move to the output string on
// flush() and whenever the document is complete.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

class JsonWriter {
  public:
    explicit JsonWriter(std::string& out);
    ~JsonWriter();
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void beginObject();
    void endObject();  // the last close flushes
    void beginArray();
    void endArray();
    // `name` is written as it is: ASCII without quotes, backslashes or control characters
    // (the program's own key names).
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
    // The next value is an element of the array open now, after others or the first of it,
    // whatever was written before: lets parts of one array be written by several writers.
    void restartElements(bool afterOthers);
    // Bytes written as they are, outside any value.
    void raw(std::string_view bytes) { put(bytes); }
    // Moves what has been written so far to the output string.
    void flush();

    void member(std::string_view name, std::string_view utf8) {
        key(name);
        string(utf8);
    }
    void member(std::string_view name, std::int64_t value) {
        key(name);
        number(value);
    }

  private:
    // Before a value: nothing after a key, else the comma and the pending line break.
    void beforeValue() {
        if (afterKey_) {
            afterKey_ = false;
        } else {
            separate();
        }
    }
    void separate();
    void open(char bracket);
    void close(char bracket);
    // Room for `n` more bytes; the write position.
    char* room(std::size_t n) {
        if (capacity_ - size_ < n) grow(n);
        return buffer_.get() + size_;
    }
    void grow(std::size_t n);
    void put(char c) {
        *room(1) = c;
        ++size_;
    }
    void put(std::string_view s);
    void quoted(std::string_view utf8);

    std::string& out_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    // Per open object or array, one bit from the lowest: whether it has a member or element
    // yet. Documents nest no deeper than the bits hold.
    std::uint64_t hasItem_ = 0;
    unsigned depth_ = 0;
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
