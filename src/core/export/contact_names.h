#pragma once

// Names for the telephone numbers of messages and calls, from the backup's address book.
//
// A number is reduced to its digits: spaces, tabs, dashes, dots and brackets are ignored, and a
// leading "+" or "00" marks the digits after it as international (country code first). A number
// holding any other character (a letter, "*", "#", a "+" not in front) is matched to nothing.
// Two numbers match when
//   - their digits are equal and both are international or both are not, or
//   - one is international and the other not, and the international digits, without a country
//     code of one to three digits, equal the other's digits, or those digits without one leading
//     trunk "0"; at least six digits must remain after the country code.
// Exact matches are preferred to those across a country code. Where several contacts hold a
// matching number, the first in tree order names it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"

namespace orrelin {

// A number as the matching rule sees it; nothing for a number it matches to nothing.
struct DialledNumber {
    std::string digits;
    bool international = false;
};
std::optional<DialledNumber> ReadDialledNumber(std::string_view number);

class ContactNames {
  public:
    // Adds a contact's number, unless an earlier contact holds one it matches the same way.
    void add(std::string_view number, const std::string& name);
    // The name of the contact whose number matches `number`; nothing when none does.
    const std::string* find(std::string_view number) const;
    std::size_t size() const { return exact_.size(); }

  private:
    using Map = std::unordered_map<std::string, std::string>;
    static const std::string* In(const Map& map, const std::string& key);
    // Exact keys: "+" and the digits of an international number, the digits of another.
    Map exact_;
    // Keys across a country code: the digits of a national number, and again without a leading
    // trunk 0; the digits of an international number without a country code of one to three
    // digits.
    Map national_;
    Map internationalRest_;
};

// The names of every contact of the backup's address books ("First Last", else the company),
// with all their telephone numbers, texts in full Unicode.
ContactNames CollectContactNames(const BackupTree& tree, const TextOptions& text);

}  // namespace orrelin
