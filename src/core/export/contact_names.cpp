#include "export/contact_names.h"

#include <array>

#include "decoders/contact_decoder.h"

namespace orrelin {
namespace {

// Digits that must remain of an international number after its country code.
constexpr std::size_t kShortestRest = 6;
constexpr std::size_t kLongestCountryCode = 3;

bool Ignored(char c) {
    return c == ' ' || c == '\t' || c == '-' || c == '.' || c == '(' || c == ')' || c == '[' ||
           c == ']';
}

constexpr std::array<ContactRecord::Slot, 8> kPhoneSlots{
    ContactRecord::WorkPhone1, ContactRecord::WorkPhone2, ContactRecord::HomePhone1,
    ContactRecord::HomePhone2, ContactRecord::Mobile,     ContactRecord::Pager,
    ContactRecord::Fax,        ContactRecord::OtherNumber,
};

std::string DisplayName(const ContactRecord& contact) {
    std::string name = contact[ContactRecord::FirstName];
    const std::string& last = contact[ContactRecord::LastName];
    if (!name.empty() && !last.empty()) name.push_back(' ');
    name += last;
    return name.empty() ? contact[ContactRecord::Company] : name;
}

std::string ExactKey(const DialledNumber& number) {
    return number.international ? "+" + number.digits : number.digits;
}

}  // namespace

std::optional<DialledNumber> ReadDialledNumber(std::string_view number) {
    DialledNumber out;
    bool plus = false;
    for (char c : number) {
        if (Ignored(c)) continue;
        if (c == '+' && !plus && out.digits.empty()) {
            plus = true;
        } else if (c >= '0' && c <= '9') {
            out.digits.push_back(c);
        } else {
            return std::nullopt;
        }
    }
    if (plus) {
        out.international = true;
    } else if (out.digits.size() > 2 && out.digits.starts_with("00")) {
        out.international = true;
        out.digits.erase(0, 2);
    }
    if (out.digits.empty()) return std::nullopt;
    return out;
}

const std::string* ContactNames::In(const Map& map, const std::string& key) {
    auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

void ContactNames::add(std::string_view text, const std::string& name) {
    auto number = ReadDialledNumber(text);
    if (!number || name.empty()) return;
    exact_.try_emplace(ExactKey(*number), name);
    const std::string& digits = number->digits;
    if (number->international) {
        for (std::size_t cc = 1; cc <= kLongestCountryCode; ++cc) {
            if (digits.size() < cc + kShortestRest) break;
            internationalRest_.try_emplace(digits.substr(cc), name);
        }
    } else {
        national_.try_emplace(digits, name);
        if (digits.size() > 1 && digits[0] == '0' && digits[1] != '0')
            national_.try_emplace(digits.substr(1), name);
    }
}

const std::string* ContactNames::find(std::string_view text) const {
    auto number = ReadDialledNumber(text);
    if (!number) return nullptr;
    if (const std::string* name = In(exact_, ExactKey(*number))) return name;
    const std::string& digits = number->digits;
    if (number->international) {
        for (std::size_t cc = 1; cc <= kLongestCountryCode; ++cc) {
            if (digits.size() < cc + kShortestRest) break;
            if (const std::string* name = In(national_, digits.substr(cc))) return name;
        }
        return nullptr;
    }
    if (digits.size() < kShortestRest) return nullptr;
    if (const std::string* name = In(internationalRest_, digits)) return name;
    if (digits.size() > kShortestRest && digits[0] == '0' && digits[1] != '0')
        return In(internationalRest_, digits.substr(1));
    return nullptr;
}

ContactNames CollectContactNames(const BackupTree& tree, const TextOptions& text) {
    ContactNames names;
    DecodeContext context;
    context.text = text;
    context.displayTimes = false;
    const RecordIndex& index = tree.index();
    for (const DatabaseNode& database : index.databases) {
        if (database.db != KnownDb::AddressBook && database.db != KnownDb::AddressBookAll)
            continue;
        const bool allForm = database.db == KnownDb::AddressBookAll;
        for (std::uint32_t row : database.records) {
            ContactRecord contact =
                DecodeContact(tree.image(), index.records[row].span, allForm, context);
            const std::string name = DisplayName(contact);
            if (name.empty()) continue;
            for (ContactRecord::Slot slot : kPhoneSlots)
                names.add(contact[slot], name);
        }
    }
    return names;
}

}  // namespace orrelin
