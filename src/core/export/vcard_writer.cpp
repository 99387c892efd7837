#include "export/vcard_writer.h"

#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <initializer_list>

#include "base/bytes.h"
#include "export/standard_text.h"

namespace orrelin {
namespace {

using Slot = ContactRecord::Slot;

// The telephone slots and their TYPE parameters, in the order they are written.
struct PhoneSlot {
    Slot slot;
    std::string_view type;
};
constexpr std::array<PhoneSlot, 8> kPhones{{
    {ContactRecord::WorkPhone1, "work,voice"},
    {ContactRecord::WorkPhone2, "work,voice"},
    {ContactRecord::HomePhone1, "home,voice"},
    {ContactRecord::HomePhone2, "home,voice"},
    {ContactRecord::Mobile, "cell"},
    {ContactRecord::Pager, "pager"},
    {ContactRecord::Fax, "fax"},
    {ContactRecord::OtherNumber, "voice"},
}};

// The address slots of one ADR: street lines, city, state, postal code, country.
struct AddressSlots {
    std::string_view type;
    Slot street1, street2, city, state, zip, country;
};
constexpr std::array<AddressSlots, 2> kAddresses{{
    {"work", ContactRecord::WorkAddress1, ContactRecord::WorkAddress2, ContactRecord::WorkCity,
     ContactRecord::WorkState, ContactRecord::WorkZip, ContactRecord::WorkCountry},
    {"home", ContactRecord::HomeAddress1, ContactRecord::HomeAddress2, ContactRecord::HomeCity,
     ContactRecord::HomeState, ContactRecord::HomeZip, ContactRecord::HomeCountry},
}};

constexpr std::array<std::string_view, 12> kMonthNames{
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};

bool IsValidDate(int y, int m, int d) {
    using namespace std::chrono;
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    return year_month_day{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}}
        .ok();
}

// A date token: digits, or letters (a month name of at least three letters).
struct Token {
    bool number = false;
    int value = 0;  // the number, or the month 1-12 for a name
    std::size_t digits = 0;
};

// Splits a date text at blanks, commas, dots, slashes and hyphens; nothing when another
// character or an unknown word occurs.
std::optional<std::vector<Token>> DateTokens(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '.' || c == '/' || c == '-') {
            ++i;
            continue;
        }
        std::size_t j = i;
        if (std::isdigit(static_cast<unsigned char>(c))) {
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
                ++j;
            if (j - i > 8) return std::nullopt;
            Token t{true, 0, j - i};
            std::from_chars(text.data() + i, text.data() + j, t.value);
            tokens.push_back(t);
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            std::string word;
            while (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j])))
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[j++])));
            int month = 0;
            for (std::size_t m = 0; m < kMonthNames.size() && word.size() >= 3; ++m)
                if (kMonthNames[m].starts_with(word)) month = static_cast<int>(m) + 1;
            if (month == 0) return std::nullopt;
            tokens.push_back({false, month, 0});
        } else {
            return std::nullopt;
        }
        i = j;
    }
    return tokens;
}

// "YYYYMMDD" of a valid date.
std::string DateText(int y, int m, int d) {
    std::string text(8, '0');
    int value = y * 10000 + m * 100 + d;
    for (std::size_t i = 8; i-- > 0; value /= 10)
        text[i] = static_cast<char>('0' + value % 10);
    return text;
}

// The date of three tokens, or nothing when they do not name one date without doubt.
std::optional<std::string> DateOf(const std::vector<Token>& t) {
    auto date = [](int y, int m, int d) -> std::optional<std::string> {
        if (!IsValidDate(y, m, d)) return std::nullopt;
        return DateText(y, m, d);
    };
    if (t.size() == 1 && t[0].number && t[0].digits == 8)
        return date(t[0].value / 10000, t[0].value / 100 % 100, t[0].value % 100);
    if (t.size() != 3) return std::nullopt;
    auto isYear = [](const Token& k) { return k.number && k.digits == 4; };
    auto isSmall = [](const Token& k) { return k.number && k.digits <= 2; };
    if (isYear(t[0]) && isSmall(t[1]) && isSmall(t[2]))  // 1975-03-14
        return date(t[0].value, t[1].value, t[2].value);
    if (isYear(t[0]) && !t[1].number && isSmall(t[2]))  // 1975 Mar 14
        return date(t[0].value, t[1].value, t[2].value);
    if (!isYear(t[2])) return std::nullopt;
    if (!t[0].number && isSmall(t[1])) return date(t[2].value, t[0].value, t[1].value);
    if (isSmall(t[0]) && !t[1].number) return date(t[2].value, t[1].value, t[0].value);
    if (!isSmall(t[0]) || !isSmall(t[1])) return std::nullopt;
    // Both numbers: the order is known when only one of them can be a month, or when the
    // two are equal.
    int a = t[0].value;
    int b = t[1].value;
    if (a == b || b > 12) return date(t[2].value, a, b);
    if (a > 12) return date(t[2].value, b, a);
    return std::nullopt;
}

// "NAME;PARAMS:value" as one folded content line.
void AppendProperty(std::string_view nameAndParams, std::string_view value, std::string& out) {
    std::string line;
    line.reserve(nameAndParams.size() + 1 + value.size());
    line.append(nameAndParams);
    line += ':';
    line.append(value);
    AppendFoldedLine(line, out);
}

void AppendTextProperty(std::string_view nameAndParams, std::string_view text, std::string& out) {
    if (text.empty()) return;
    AppendProperty(nameAndParams, EscapeVCardText(CleanText(text)), out);
}

// A URI value has no escapes: only what would break the line is taken out.
void AppendUriProperty(std::string_view name, std::string_view uri, std::string& out) {
    std::string clean = CleanText(uri);
    std::erase_if(clean, [](char c) { return c == '\n' || c == '\t'; });
    if (!clean.empty()) AppendProperty(name, clean, out);
}

// A structured value: each component escaped, then joined with ';'.
std::string Components(std::initializer_list<std::string_view> parts) {
    std::string value;
    bool first = true;
    for (std::string_view part : parts) {
        if (!first) value += ';';
        first = false;
        value += EscapeVCardText(CleanText(part));
    }
    return value;
}

void AppendDateProperty(std::string_view name, std::string_view text, std::string& out) {
    if (text.empty()) return;
    if (auto date = VCardDate(text)) {
        AppendProperty(name, *date, out);
    } else {
        AppendTextProperty(std::string(name) + ";VALUE=text", text, out);
    }
}

// The display name: the contact's (ContactDisplayName), else the email address or the first
// telephone number; empty when the contact has none of them.
std::string FormattedName(const ContactRecord& c) {
    std::string name = ContactDisplayName(c[ContactRecord::FirstName], c[ContactRecord::LastName],
                                          c[ContactRecord::Company]);
    if (!name.empty()) return name;
    if (!c[ContactRecord::Email].empty()) return c[ContactRecord::Email];
    for (const PhoneSlot& phone : kPhones)
        if (!c[phone.slot].empty()) return c[phone.slot];
    return {};
}

// "YYYY-MM-DD" of a "YYYYMMDD" date, the form vCard 3.0 importers read.
std::string ExtendedDate(const std::string& basic) {
    return basic.substr(0, 4) + "-" + basic.substr(4, 2) + "-" + basic.substr(6, 2);
}

// The vCard 3.0 telephone TYPE of a vCard 4.0 one ("work,voice" becomes "WORK,VOICE").
std::string UpperType(std::string_view type) {
    std::string upper(type);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// An ADR value (post office box and extended address empty), or empty when the address has
// no part.
std::string AddressValue(const ContactRecord& c, const AddressSlots& a) {
    if (c[a.street1].empty() && c[a.street2].empty() && c[a.city].empty() && c[a.state].empty() &&
        c[a.zip].empty() && c[a.country].empty())
        return {};
    // Two street lines are two values of the street component, joined by a comma.
    std::string street = EscapeVCardText(CleanText(c[a.street1]));
    if (!c[a.street2].empty()) {
        if (!street.empty()) street += ',';
        street += EscapeVCardText(CleanText(c[a.street2]));
    }
    return ";;" + street + ";" + Components({c[a.city], c[a.state], c[a.zip], c[a.country]});
}

// A date of vCard 3.0: the extended form when the text reads as a date, else under `other`
// as text (3.0 has no text value for dates).
void AppendDate3(std::string_view name, std::string_view other, std::string_view text,
                 std::string& out) {
    if (text.empty()) return;
    if (auto date = VCardDate(text)) {
        AppendProperty(name, ExtendedDate(*date), out);
    } else {
        AppendTextProperty(other, text, out);
    }
}

}  // namespace

std::string EscapeVCardText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case ';':
                out += "\\;";
                break;
            case ',':
                out += "\\,";
                break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out += "\\n";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<std::string> VCardDate(std::string_view text) {
    auto tokens = DateTokens(text);
    if (!tokens) return std::nullopt;
    return DateOf(*tokens);
}

void AppendVCard(const ContactRecord& contact, std::span<const std::uint8_t> photoJpeg,
                 std::string_view uid, std::string& out) {
    const ContactRecord& c = contact;
    out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    AppendTextProperty("UID;VALUE=text", uid, out);
    // FN must be present even when it is empty.
    AppendProperty("FN", EscapeVCardText(CleanText(FormattedName(c))), out);
    // The handheld's Title is the form of address (Mr., Dr.), the name's prefix; the job
    // title is its own field.
    if (!c[ContactRecord::LastName].empty() || !c[ContactRecord::FirstName].empty() ||
        !c[ContactRecord::Title].empty())
        AppendProperty("N",
                       Components({c[ContactRecord::LastName], c[ContactRecord::FirstName], "",
                                   c[ContactRecord::Title], ""}),
                       out);
    AppendTextProperty("ORG", c[ContactRecord::Company], out);
    AppendTextProperty("TITLE", c[ContactRecord::Job], out);
    AppendTextProperty("EMAIL", c[ContactRecord::Email], out);
    for (const PhoneSlot& phone : kPhones)
        AppendTextProperty("TEL;TYPE=" + std::string(phone.type), c[phone.slot], out);
    for (const AddressSlots& a : kAddresses) {
        const std::string value = AddressValue(c, a);
        if (!value.empty()) AppendProperty("ADR;TYPE=" + std::string(a.type), value, out);
    }
    AppendDateProperty("BDAY", c[ContactRecord::Birthday], out);
    AppendDateProperty("ANNIVERSARY", c[ContactRecord::Anniversary], out);
    AppendTextProperty("CATEGORIES", c[ContactRecord::Category], out);
    AppendUriProperty("URL", c[ContactRecord::WebPage], out);
    AppendTextProperty("X-SOCIALPROFILE;TYPE=facebook", c[ContactRecord::Facebook], out);
    AppendTextProperty("X-BLACKBERRY-PIN", c[ContactRecord::Pin], out);
    AppendTextProperty("NOTE", c[ContactRecord::Notes], out);
    if (!photoJpeg.empty())
        AppendProperty("PHOTO", "data:image/jpeg;base64," + Base64Encode(photoJpeg), out);
    out += "END:VCARD\r\n";
}

void AppendVCard3(const ContactRecord& contact, std::span<const std::uint8_t> photoJpeg,
                  std::string_view uid, std::string& out) {
    const ContactRecord& c = contact;
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    AppendTextProperty("UID", uid, out);
    AppendProperty("FN", EscapeVCardText(CleanText(FormattedName(c))), out);
    // N is required in 3.0.
    AppendProperty("N",
                   Components({c[ContactRecord::LastName], c[ContactRecord::FirstName], "",
                               c[ContactRecord::Title], ""}),
                   out);
    AppendTextProperty("ORG", c[ContactRecord::Company], out);
    AppendTextProperty("TITLE", c[ContactRecord::Job], out);
    AppendTextProperty("EMAIL;TYPE=INTERNET", c[ContactRecord::Email], out);
    for (const PhoneSlot& phone : kPhones)
        AppendTextProperty("TEL;TYPE=" + UpperType(phone.type), c[phone.slot], out);
    for (const AddressSlots& a : kAddresses) {
        const std::string value = AddressValue(c, a);
        if (!value.empty()) AppendProperty("ADR;TYPE=" + UpperType(a.type), value, out);
    }
    AppendDate3("BDAY", "X-BLACKBERRY-BIRTHDAY", c[ContactRecord::Birthday], out);
    AppendDate3("X-ANNIVERSARY", "X-ANNIVERSARY", c[ContactRecord::Anniversary], out);
    AppendTextProperty("CATEGORIES", c[ContactRecord::Category], out);
    AppendUriProperty("URL", c[ContactRecord::WebPage], out);
    AppendTextProperty("X-SOCIALPROFILE;TYPE=facebook", c[ContactRecord::Facebook], out);
    AppendTextProperty("X-BLACKBERRY-PIN", c[ContactRecord::Pin], out);
    AppendTextProperty("NOTE", c[ContactRecord::Notes], out);
    if (!photoJpeg.empty())
        AppendProperty("PHOTO;ENCODING=b;TYPE=JPEG", Base64Encode(photoJpeg), out);
    out += "END:VCARD\r\n";
}

std::string FormattedContactName(const ContactRecord& contact) {
    return FormattedName(contact);
}

std::optional<std::string> ContactDate(std::string_view text) {
    auto date = VCardDate(text);
    if (!date) return std::nullopt;
    return ExtendedDate(*date);
}

}  // namespace orrelin
