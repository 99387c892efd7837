#include "mail.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "ipd/ipd_builder.h"
#include "random.h"
#include "records.h"

namespace orrelin::ipdgen {
namespace {

enum Db : std::uint16_t { kMessages, kPin, kSaved, kBookmarks, kUrls, kTimeZones, kDbCount };
constexpr std::array<std::string_view, kDbCount> kNames{
    "Messages",          "PIN Messages", "Saved Email Messages",
    "Browser Bookmarks", "Browser URLs", "Time Zones"};
constexpr std::uint8_t kMailVersion = 1;

constexpr std::array<std::string_view, 12> kPeople{
    "Nadia Haddad", "Peter Rossi", "Grace Young", "Omar Mansour", "Elena Novak",  "Mei Tanaka",
    "Lucas Silva",  "Hana Saleh",  "Jonas Weber", "Ines Costa",   "Victor Ortiz", "Lina Chami"};
constexpr std::array<std::string_view, 10> kSubjects{"Quarterly report", "Re: lunch on Friday",
                                                     "Flight details",   "Invoice 2231",
                                                     "Meeting moved",    "Photos from the trip",
                                                     "Contract signed",  "Caf\xe9 opening",
                                                     "Tomorrow at noon", "Keys"};
constexpr std::array<std::string_view, 16> kWords{
    "the",    "meeting", "is",     "moved", "to",  "tomorrow", "please", "call",
    "thanks", "for",     "dinner", "see",   "you", "soon",     "report", "attached"};

std::string AddressOf(std::string_view person) {
    std::string address;
    for (char c : person)
        address += c == ' ' ? '.' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return address + "@example.org";
}

// Eight lead bytes, the name, 0, the address, 0.
ByteVector AddressData(std::string_view name, std::string_view address) {
    ByteVector data;
    data.reserve(10 + name.size() + address.size());
    data.assign({0, 0, 0, 0, 1, 0, 0, 0});
    data.insert(data.end(), name.begin(), name.end());
    data.push_back(0);
    data.insert(data.end(), address.begin(), address.end());
    data.push_back(0);
    return data;
}

ByteVector Ascii(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

ByteVector MailFields(Random& random, std::uint64_t n) {
    FieldList f;
    const std::string_view from = random.pick(kPeople);
    f.add(5, AddressData(from, AddressOf(from)));
    const std::size_t recipients = 1 + std::size_t{random.below(3)};
    for (std::size_t i = 0; i < recipients; ++i) {
        const std::string_view to = random.pick(kPeople);
        // Every seventh message has a recipient known by address only.
        f.add(1, AddressData(n % 7 == 3 && i == 0 ? "" : to, AddressOf(to)));
    }
    if (n % 4 == 1) f.add(2, AddressData("Team", "team@example.org"));
    if (n % 9 == 2) f.add(6, AddressData(from, "replies@example.org"));
    if (n % 11 == 5) {
        f.text(11, "Re: hello", true)
            .utf16(139, u"\u0645\u0631\u062d\u0628\u0627 \u00e0 bient\u00f4t");
    } else {
        f.text(11, random.pick(kSubjects), true);
    }
    if (n % 5 == 0) f.add(18, {1});

    std::string body;
    const std::size_t lines = 1 + std::size_t{random.below(5)};
    for (std::size_t l = 0; l < lines; ++l) {
        const std::size_t words = 3 + std::size_t{random.below(12)};
        for (std::size_t w = 0; w < words; ++w) {
            if (w > 0) body += ' ';
            body += random.pick(kWords);
        }
        body += "\r\n";
    }
    if (n % 13 == 4) body += "From the desk of the manager\r\n>From a quote\r\n";
    if (n % 97 == 50) body += std::string(1100, 'z') + "\r\n";
    if (n % 17 == 8) {
        // HTML only: the document behind 97 bytes of other data.
        ByteVector html(97, 0);
        html[0] = 2;
        const std::string page = "<html><body><p>" + body + "</p></body></html>";
        html.insert(html.end(), page.begin(), page.end());
        html.push_back(0);
        f.add(24, html);
    } else {
        f.text(12, body);
    }
    if (n % 23 == 6) f.add(22, Ascii("report.pdf"));
    f.le(75, 0x10000000u + n, 4);
    return f.bytes();
}

ByteVector BookmarkFields(std::uint64_t n) {
    const std::string id = std::to_string(n);
    const std::string name = "Site " + id;
    const std::string folder = n % 2 == 0 ? "Work" : "";
    const std::string url = "http://www.example.org/page/" + id;
    ByteVector items;
    auto item = [&](const std::string& text, bool presentByte) {
        if (presentByte) items.push_back(text.empty() ? 0 : 1);
        if (presentByte && text.empty()) return;
        items.push_back(static_cast<std::uint8_t>(text.size() >> 8));
        items.push_back(static_cast<std::uint8_t>(text.size() & 0xFF));
        items.insert(items.end(), text.begin(), text.end());
    };
    const bool perItem = n % 2 == 1;  // odd ones a present byte per item, even ones one for all
    if (!perItem) items.push_back(1);
    item(id, perItem);
    item(name, perItem);
    item(folder, perItem);
    ByteVector urlData;
    urlData.reserve(2 + url.size());
    urlData.push_back(static_cast<std::uint8_t>(url.size() >> 8));
    urlData.push_back(static_cast<std::uint8_t>(url.size() & 0xFF));
    urlData.insert(urlData.end(), url.begin(), url.end());
    FieldList f;
    f.add(1, {static_cast<std::uint8_t>(n % 2)}).add(17, items).add(18, urlData);
    return f.bytes();
}

ByteVector UrlFields(std::uint64_t n) {
    ByteVector data{0, 1, 2};
    const std::string url = "https://news.example.org/story/" + std::to_string(n);
    data.insert(data.end(), url.begin(), url.end());
    return FieldList().add(25, data).bytes();
}

struct Zone {
    std::string_view name;
    std::int16_t minutes;
    std::uint8_t startMonth, endMonth;
};
constexpr std::array<Zone, 6> kZones{{
    {"Newfoundland", -210, 3, 11},
    {"Eastern Time", -300, 3, 11},
    {"Greenwich Mean Time", 0, 3, 10},
    {"Central Europe", 60, 3, 10},
    {"India", 330, 0, 0},
    {"Tokyo", 540, 0, 0},
}};

ByteVector ZoneFields(std::uint64_t n, const Zone& zone) {
    FieldList f;
    f.le(1, n, 4)
        .text(2, zone.name, true)
        .le(3, static_cast<std::uint16_t>(zone.minutes), 2)
        .le(4, zone.startMonth == 0 ? 0 : 60, 4)
        .add(6, {zone.startMonth})
        .add(11, {zone.endMonth})
        .add(100, {static_cast<std::uint8_t>(zone.startMonth == 0 ? 0 : 1)});
    return f.bytes();
}

void AppendRecord(ByteVector& out, Db db, std::uint64_t n, const ByteVector& fields) {
    const std::size_t length = 1 + 2 + 4 + fields.size();  // version, handle, unique id, fields
    const std::uint32_t uid = UniqueId(db, n);
    const std::uint16_t handle = static_cast<std::uint16_t>(n & 0xFFFF);
    const std::uint8_t head[] = {static_cast<std::uint8_t>(db),
                                 0,
                                 static_cast<std::uint8_t>(length),
                                 static_cast<std::uint8_t>(length >> 8),
                                 static_cast<std::uint8_t>(length >> 16),
                                 static_cast<std::uint8_t>(length >> 24),
                                 kMailVersion,
                                 static_cast<std::uint8_t>(handle),
                                 static_cast<std::uint8_t>(handle >> 8),
                                 static_cast<std::uint8_t>(uid),
                                 static_cast<std::uint8_t>(uid >> 8),
                                 static_cast<std::uint8_t>(uid >> 16),
                                 static_cast<std::uint8_t>(uid >> 24)};
    out.insert(out.end(), std::begin(head), std::end(head));
    out.insert(out.end(), fields.begin(), fields.end());
}

}  // namespace

Status WriteMailBackup(const std::string& path, std::uint64_t records, std::uint64_t seed) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return Failure{std::strerror(errno)};
    constexpr std::size_t kChunk = 1 << 20;
    bool failed = false;
    ByteVector buffer;
    auto flush = [&] {
        if (!failed && !buffer.empty() &&
            std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size())
            failed = true;
        buffer.clear();
    };

    IpdBuilder header;
    for (auto name : kNames)
        header.database(name);
    buffer = header.build();

    Random random(seed);
    for (std::uint64_t n = 1; n <= records; ++n) {
        const Db db = n % 20 == 10 ? kSaved : n % 10 == 9 ? kPin : kMessages;
        AppendRecord(buffer, db, n, MailFields(random, n));
        if (buffer.size() >= kChunk) flush();
    }
    for (std::uint64_t n = 1; n <= 8; ++n)
        AppendRecord(buffer, kBookmarks, n, BookmarkFields(n));
    for (std::uint64_t n = 1; n <= 8; ++n)
        AppendRecord(buffer, kUrls, n, UrlFields(n));
    for (std::uint64_t n = 0; n < kZones.size(); ++n)
        AppendRecord(buffer, kTimeZones, n + 1, ZoneFields(n, kZones[n]));
    flush();
    if (std::fclose(file) != 0) failed = true;
    if (failed) return Failure{"the file could not be written whole"};
    return {};
}

}  // namespace orrelin::ipdgen
