#pragma once

// Names for the telephone numbers of messages and calls, from the backup's address book.
//
// A number is reduced to its digits: spaces, tabs, dashes, dots and brackets are ignored, and a
// leading "+" or "00" marks the digits after it as international (country code first). A number
// holding any other character (a letter, "*", "#", a "+" not in front), or more than 17 digits,
// is matched to nothing.
// Two numbers match when
//   - their digits are equal and both are international or both are not, or
//   - one is international and the other not, and the international digits, without a country
//     code of one to three digits, equal the other's digits, or those digits without one leading
//     trunk "0"; at least six digits must remain after the country code.
// Exact matches are preferred to those across a country code. Where several contacts hold a
// matching number, the first in tree order names it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"

namespace orrelin {

// A number as the matching rule sees it; nothing for a number it matches to nothing.
struct DialledNumber {
    std::string digits;
    bool international = false;
};
std::optional<DialledNumber> ReadDialledNumber(std::string_view number);

// The same without allocating, for a number of at most kMostDigits digits (after a leading
// "00"): no key is made of more (17 digits after a country code of at most three). Nothing
// for a longer number.
struct ShortNumber {
    static constexpr std::size_t kMostDigits = 20;
    std::array<char, kMostDigits + 4> buffer;
    std::size_t count = 0;
    bool international = false;
    std::string_view digits() const { return {buffer.data(), count}; }
};
std::optional<ShortNumber> ReadShortNumber(std::string_view number);

class ContactNames {
  public:
    // Adds a contact's number, unless an earlier contact holds one it matches the same way.
    void add(std::string_view number, std::string_view name);
    // The name of the contact whose number matches `number`; empty when none does.
    std::string_view find(std::string_view number) const;
    // Readies the names for finding; until it is called the first find does it, so finds
    // from several threads at once need it called first.
    void finish() const;
    // Adds every number of `later` after those added here, as if added here one by one.
    void append(ContactNames&& later);
    // Room for the numbers of about `contacts` more contacts.
    void reserve(std::size_t contacts);

  private:
    // How a key was made: the digits of an international number, of another, of a national
    // number (and again without a leading trunk 0), of an international number without a
    // country code of one to three digits.
    enum class KeyKind : std::uint8_t { International, Other, National, InternationalRest };
    struct Entry {
        std::uint64_t key;
        std::uint32_t name;  // position in names_
    };
    // Digits (at most 17 of them, their count and the kind) as one number; nothing for more.
    static std::optional<std::uint64_t> Key(std::string_view digits, KeyKind kind);
    static std::size_t Slot(std::uint64_t key, unsigned bits);
    static std::size_t FilterBit(std::uint64_t key, unsigned bits);
    void put(std::string_view digits, KeyKind kind);
    // Back to the keys as added, from the table of an earlier finish().
    void reopen();
    std::string_view lookup(std::string_view digits, KeyKind kind) const;

    // The names one after another, each with its start and length.
    std::string text_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> names_;
    // Keys as added, in batches (one of each appended ContactNames) whose names are counted
    // from `nameBase`, until finish() moves them into a hash table of 2^bits_ slots (key 0: a
    // free slot; no key is 0).
    struct Batch {
        std::vector<Entry> entries;
        std::uint32_t nameBase = 0;
    };
    mutable std::vector<Batch> batches_;
    mutable std::unique_ptr<Entry[]> table_;
    mutable std::size_t tableSize_ = 0;
    // A bit per key, so most numbers that match nothing are known so without the table.
    mutable std::vector<std::uint64_t> filter_;
    std::array<std::size_t, 4> keysOfKind_{};
    mutable unsigned bits_ = 0;
    mutable bool ready_ = true;
};

// The names of every contact of the backup's address books ("First Last", else the company),
// with all their telephone numbers, texts in full Unicode.
ContactNames CollectContactNames(const BackupTree& tree, const TextOptions& text);

}  // namespace orrelin
