#include "export/contact_names.h"

#include <algorithm>
#include <array>
#include <thread>

#include "base/cores.h"
#include "decoders/contact_decoder.h"
#include "ipd/ipd_image.h"
#include "kinds/record_kinds.h"
#include "text/phone_chars.h"

namespace orrelin {
namespace {

// Digits that must remain of an international number after its country code.
constexpr std::size_t kShortestRest = 6;
constexpr std::size_t kLongestCountryCode = 3;
// Digits a key holds at most: 10^17 * 32 * 4 stays below 2^64.
constexpr std::size_t kMostKeyDigits = 17;
// Contacts from which the address book is read on two threads.
constexpr std::size_t kContactsForTwoThreads = 4096;

constexpr std::array<ContactRecord::Slot, 8> kPhoneSlots{
    ContactRecord::WorkPhone1, ContactRecord::WorkPhone2,  ContactRecord::HomePhone1,
    ContactRecord::HomePhone2, ContactRecord::Mobile,      ContactRecord::Pager,
    ContactRecord::Fax,        ContactRecord::OtherNumber,
};

// The texts read of each contact: its names and numbers.
constexpr ContactSlots kNameAndNumberSlots = [] {
    ContactSlots bits = ContactSlotBits(
        {ContactRecord::FirstName, ContactRecord::LastName, ContactRecord::Company});
    for (ContactRecord::Slot slot : kPhoneSlots)
        bits |= ContactSlotBits({slot});
    return bits;
}();

std::string DisplayName(const ContactRecord& contact) {
    return ContactDisplayName(contact[ContactRecord::FirstName], contact[ContactRecord::LastName],
                              contact[ContactRecord::Company]);
}

}  // namespace

namespace {

// What each byte is to a number, looked up rather than compared: read for every number of
// every message and contact.
enum class NumberByte : std::uint8_t { Other, Digit, Ignored, Plus };
constexpr std::array<NumberByte, 256> kNumberBytes = [] {
    std::array<NumberByte, 256> bytes{};
    for (unsigned b = 0; b < 256; ++b) {
        const auto c = static_cast<char>(b);
        bytes[b] = IsPhoneDigit(c)        ? NumberByte::Digit
                   : IsSkippedInNumber(c) ? NumberByte::Ignored
                   : c == '+'             ? NumberByte::Plus
                                          : NumberByte::Other;
    }
    return bytes;
}();

}  // namespace

std::optional<ShortNumber> ReadShortNumber(std::string_view number) {
    ShortNumber out;
    bool plus = false;
    std::size_t count = 0;
    for (char c : number) {
        switch (kNumberBytes[static_cast<unsigned char>(c)]) {
            case NumberByte::Ignored:
                continue;
            case NumberByte::Digit:
                if (count < out.buffer.size()) out.buffer[count] = c;
                ++count;
                continue;
            case NumberByte::Plus:
                if (!plus && count == 0) {
                    plus = true;
                    continue;
                }
                return std::nullopt;
            case NumberByte::Other:
                return std::nullopt;
        }
    }
    std::size_t first = 0;
    if (plus) {
        out.international = true;
    } else if (count > 2 && out.buffer[0] == '0' && out.buffer[1] == '0') {
        out.international = true;
        first = 2;
    }
    count -= first;
    if (count == 0 || count > ShortNumber::kMostDigits) return std::nullopt;
    std::copy_n(out.buffer.begin() + static_cast<std::ptrdiff_t>(first), count, out.buffer.begin());
    out.count = count;
    return out;
}

std::optional<DialledNumber> ReadDialledNumber(std::string_view number) {
    DialledNumber out;
    bool plus = false;
    for (char c : number) {
        if (IsSkippedInNumber(c)) continue;
        if (c == '+' && !plus && out.digits.empty()) {
            plus = true;
        } else if (IsPhoneDigit(c)) {
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

std::optional<std::uint64_t> ContactNames::Key(std::string_view digits, KeyKind kind) {
    if (digits.size() > kMostKeyDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return (value * 32 + digits.size()) * 4 + static_cast<std::uint64_t>(kind);
}

void ContactNames::reopen() {
    if (!ready_ || tableSize_ == 0) return;
    Batch gathered;
    for (std::size_t at = 0; at < tableSize_; ++at) {
        if (table_[at].key != 0) gathered.entries.push_back(table_[at]);
    }
    batches_.insert(batches_.begin(), std::move(gathered));
    table_.reset();
    tableSize_ = 0;
    filter_.clear();
    ready_ = false;
}

void ContactNames::put(std::string_view digits, KeyKind kind) {
    reopen();  // added to after finish(): gather the table again
    if (auto key = Key(digits, kind)) {
        ++keysOfKind_[static_cast<std::size_t>(kind)];
        if (batches_.empty()) batches_.emplace_back();
        batches_.back().entries.push_back(
            {*key, static_cast<std::uint32_t>(names_.size() - 1) - batches_.back().nameBase});
        ready_ = false;
    }
}

void ContactNames::reserve(std::size_t contacts) {
    // Room reserved and never written takes no memory: enough for a few numbers a contact,
    // each international one giving four keys.
    if (batches_.empty()) batches_.emplace_back();
    std::vector<Entry>& entries = batches_.back().entries;
    entries.reserve(entries.size() + contacts * 8);
    AskForLargePages(entries.data(), entries.capacity() * sizeof(Entry));
    names_.reserve(names_.size() + contacts);
}

void ContactNames::append(ContactNames&& later) {
    reopen();
    later.reopen();
    const auto nameBase = static_cast<std::uint32_t>(names_.size());
    const auto textBase = static_cast<std::uint32_t>(text_.size());
    text_ += later.text_;
    for (const auto& [start, length] : later.names_)
        names_.emplace_back(start + textBase, length);
    for (Batch& batch : later.batches_) {
        batch.nameBase += nameBase;
        batches_.push_back(std::move(batch));
    }
    for (std::size_t kind = 0; kind < keysOfKind_.size(); ++kind)
        keysOfKind_[kind] += later.keysOfKind_[kind];
    if (!batches_.empty()) ready_ = false;
    later = ContactNames();
}

std::size_t ContactNames::Slot(std::uint64_t key, unsigned bits) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
}

std::size_t ContactNames::FilterBit(std::uint64_t key, unsigned bits) {
    return static_cast<std::size_t>(((key ^ (key >> 29)) * 0xBF58476D1CE4E5B9ULL) >> (64 - bits));
}

void ContactNames::finish() const {
    if (ready_) return;
    std::size_t keys = 0;
    for (const Batch& batch : batches_)
        keys += batch.entries.size();
    // Open addressing at most three quarters full; the first added of equal keys stays.
    bits_ = 4;
    while ((std::size_t{1} << bits_) * 3 < keys * 4)
        ++bits_;
    tableSize_ = std::size_t{1} << bits_;
    table_.reset(new Entry[tableSize_]);
    AskForLargePages(table_.get(), tableSize_ * sizeof(Entry));
    std::fill_n(table_.get(), tableSize_, Entry{0, 0});
    // Eight bits of the filter a key: it fits a processor cache where the table does not.
    filter_.assign(tableSize_ / 8 + 1, 0);
    const std::size_t mask = tableSize_ - 1;
    // The slots of the keys a few ahead are fetched early: they lie all over the table.
    constexpr std::size_t kAhead = 16;
    for (const Batch& batch : batches_) {
        const std::vector<Entry>& entries = batch.entries;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i + kAhead < entries.size()) {
                const std::uint64_t ahead = entries[i + kAhead].key;
                __builtin_prefetch(&table_[Slot(ahead, bits_)]);
                __builtin_prefetch(&filter_[FilterBit(ahead, bits_ + 3) / 64]);
            }
            const Entry entry{entries[i].key, entries[i].name + batch.nameBase};
            std::size_t at = Slot(entry.key, bits_);
            while (table_[at].key != 0 && table_[at].key != entry.key)
                at = (at + 1) & mask;
            if (table_[at].key == 0) table_[at] = entry;
            const std::size_t bit = FilterBit(entry.key, bits_ + 3);
            filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
        }
    }
    batches_.clear();
    batches_.shrink_to_fit();
    ready_ = true;
}

std::string_view ContactNames::lookup(std::string_view digits, KeyKind kind) const {
    // Most numbers match nothing: a kind no contact gave costs no search of the table.
    if (keysOfKind_[static_cast<std::size_t>(kind)] == 0) return {};
    auto key = Key(digits, kind);
    if (!key || tableSize_ == 0) return {};
    const std::size_t bit = FilterBit(*key, bits_ + 3);
    if ((filter_[bit / 64] >> (bit % 64) & 1) == 0) return {};
    const std::size_t mask = tableSize_ - 1;
    for (std::size_t at = Slot(*key, bits_);; at = (at + 1) & mask) {
        const Entry& entry = table_[at];
        if (entry.key == 0) return {};
        if (entry.key == *key) {
            const auto [start, length] = names_[entry.name];
            return std::string_view(text_).substr(start, length);
        }
    }
}

void ContactNames::add(std::string_view text, std::string_view name) {
    // A longer number than ReadShortNumber reads gives no key: none is added for it.
    const auto number = ReadShortNumber(text);
    if (!number || name.empty()) return;
    if (names_.empty() || std::string_view(text_).substr(names_.back().first) != name) {
        names_.emplace_back(static_cast<std::uint32_t>(text_.size()),
                            static_cast<std::uint32_t>(name.size()));
        text_ += name;
    }
    const std::string_view digits = number->digits();
    if (number->international) {
        put(digits, KeyKind::International);
        for (std::size_t cc = 1; cc <= kLongestCountryCode; ++cc) {
            if (digits.size() < cc + kShortestRest) break;
            put(digits.substr(cc), KeyKind::InternationalRest);
        }
    } else {
        put(digits, KeyKind::Other);
        put(digits, KeyKind::National);
        if (digits.size() > 1 && digits[0] == '0' && digits[1] != '0')
            put(digits.substr(1), KeyKind::National);
    }
}

std::string_view ContactNames::find(std::string_view text) const {
    const auto number = ReadShortNumber(text);
    if (!number) return {};
    finish();
    const std::string_view digits = number->digits();
    if (number->international) {
        if (auto name = lookup(digits, KeyKind::International); !name.empty()) return name;
        for (std::size_t cc = 1; cc <= kLongestCountryCode; ++cc) {
            if (digits.size() < cc + kShortestRest) break;
            if (auto name = lookup(digits.substr(cc), KeyKind::National); !name.empty())
                return name;
        }
        return {};
    }
    if (auto name = lookup(digits, KeyKind::Other); !name.empty()) return name;
    if (digits.size() < kShortestRest) return {};
    if (auto name = lookup(digits, KeyKind::InternationalRest); !name.empty()) return name;
    if (digits.size() > kShortestRest && digits[0] == '0' && digits[1] != '0')
        return lookup(digits.substr(1), KeyKind::InternationalRest);
    return {};
}

ContactNames CollectContactNames(const BackupTree& tree, const TextOptions& text) {
    DecodeContext context;
    context.text = text;
    context.displayTimes = false;
    const RecordIndex& index = tree.index();
    // The contacts in tree order, each with whether it has the "Address Book - All" form.
    std::vector<std::pair<std::uint32_t, bool>> contacts;
    for (const DatabaseNode& database : index.databases) {
        if (KindOfDatabase(database) != RecordKind::Address) continue;
        for (std::uint32_t row : database.records)
            contacts.emplace_back(row, IsAllForm(*database.db));
    }
    // A large address book is read in two halves at once, the second half's numbers then
    // added after the first's.
    const std::size_t shares =
        contacts.size() >= kContactsForTwoThreads && UsableCores() > 1 ? 2 : 1;
    std::vector<ContactNames> names(shares);
    auto read = [&](std::size_t share) {
        const std::size_t first = contacts.size() * share / shares;
        const std::size_t last = contacts.size() * (share + 1) / shares;
        ContactNames& mine = names[share];
        mine.reserve(last - first);
        for (std::size_t i = first; i < last; ++i) {
            const auto [row, allForm] = contacts[i];
            ContactRecord contact = DecodeContact(tree.image(), index.records[row].span, allForm,
                                                  context, kNameAndNumberSlots);
            const std::string name = DisplayName(contact);
            if (name.empty()) continue;
            for (ContactRecord::Slot slot : kPhoneSlots)
                mine.add(contact[slot], name);
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t share = 1; share < shares; ++share)
        helpers.emplace_back(read, share);
    read(0);
    for (std::thread& helper : helpers)
        helper.join();
    for (std::size_t share = 1; share < shares; ++share)
        names[0].append(std::move(names[share]));
    names[0].finish();
    return std::move(names[0]);
}

}  // namespace orrelin
