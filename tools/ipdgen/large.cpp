#include "large.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "ipd/record_frame.h"
#include "random.h"
#include "records.h"

namespace orrelin::ipdgen {
namespace {

constexpr std::array<std::string_view, 32> kFirstNames{
    "Nadia",  "Karim", "Layla", "Omar",   "Sara",  "Youssef", "Hana",  "Rami",
    "Peter",  "Grace", "Tomas", "Elena",  "Marco", "Aisha",   "David", "Mei",
    "Lucas",  "Amira", "Jonas", "Fatima", "Leo",   "Ines",    "Samir", "Nora",
    "Victor", "Zeina", "Hugo",  "Maya",   "Adam",  "Lina",    "Paul",  "Rana"};
constexpr std::array<std::string_view, 32> kLastNames{
    "Haddad", "Mansour", "Khoury", "Okafor",   "Reyes",   "Lindqvist", "Saleh",  "Nasser",
    "Rossi",  "Fischer", "Tanaka", "Dubois",   "Novak",   "Karam",     "Aziz",   "Silva",
    "Moreau", "Hassan",  "Weber",  "Costa",    "Farah",   "Jensen",    "Petrov", "Issa",
    "Ortiz",  "Bakr",    "Young",  "Suleiman", "Brennan", "Chami",     "Varga",  "Nour"};
constexpr std::array<std::u16string_view, 8> kArabicNames{u"ليلى", u"منصور", u"سامي", u"حداد",
                                                          u"نور",  u"خوري",  u"كريم", u"سلمى"};
constexpr std::array<std::string_view, 64> kWords{
    "the",     "meeting", "is",       "moved",  "to",      "tomorrow", "at",       "noon",
    "please",  "call",    "me",       "when",   "you",     "arrive",   "thanks",   "for",
    "dinner",  "see",     "soon",     "office", "traffic", "is",       "terrible", "today",
    "running", "late",    "ok",       "sounds", "good",    "where",    "are",      "the",
    "keys",    "left",    "them",     "on",     "table",   "happy",    "birthday", "flight",
    "lands",   "at",      "seven",    "pick",   "up",      "bread",    "and",      "milk",
    "invoice", "sent",    "contract", "signed", "back",    "in",       "five",     "minutes",
    "can",     "we",      "talk",     "later",  "great",   "news",     "done",     "sure"};
constexpr std::array<std::string_view, 12> kCompanies{
    "Cedar Line Logistics", "Reyes & Vidal",    "Lagos Harbour Freight", "Blue Olive Foods",
    "Nordlys Consulting",   "Atlas Builders",   "Sunrise Clinic",        "Harbor Bank",
    "Mint Studio",          "Falcon Air Cargo", "Greenfield School",     "Orchid Hotels"};
constexpr std::array<std::string_view, 10> kCountryCodes{"961", "962", "971", "44", "34",
                                                         "234", "46",  "33",  "49", "1"};

// 2010-01-01 00:00 UTC, where the generated history begins.
constexpr std::uint64_t kStartSeconds = 1262304000;

class Generator {
  public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}

    std::string phone() {
        std::string out = "+";
        out += random_.pick(kCountryCodes);
        for (int i = 0; i < 9; ++i)
            out.push_back(static_cast<char>('0' + random_.below(10)));
        return out;
    }

    std::string words(std::uint32_t least, std::uint32_t most) {
        std::string out;
        std::uint32_t n = least + random_.below(most - least + 1);
        for (std::uint32_t i = 0; i < n; ++i) {
            if (i > 0) out.push_back(' ');
            out += random_.pick(kWords);
        }
        if (!out.empty()) out[0] = static_cast<char>(out[0] - 'a' + 'A');
        return out;
    }

    ByteVector sms(std::uint64_t seconds) {
        bool sent = random_.chance(40);
        std::string text = words(7, 40);
        if (random_.chance(15)) {
            text += '\n';
            text += words(2, 8);
        }
        ByteVector data(text.begin(), text.end());
        return SmsFields(sent, seconds * 1000, (seconds + (sent ? 0 : random_.below(30))) * 1000,
                         phone(), data);
    }

    ByteVector contactFields() {
        FieldList fields;
        if (random_.chance(5)) {
            fields.utf16(160, random_.pick(kArabicNames)).utf16(160, random_.pick(kArabicNames));
        } else {
            fields.text(32, random_.pick(kFirstNames)).text(32, random_.pick(kLastNames));
        }
        fields.text(8, phone());
        if (random_.chance(50)) {
            std::string mail(random_.pick(kFirstNames));
            mail += ".";
            mail += random_.pick(kLastNames);
            mail += "@mail.example";
            fields.text(1, mail);
        }
        if (random_.chance(40)) fields.text(33, random_.pick(kCompanies)).text(6, phone());
        if (random_.chance(25)) fields.text(7, phone());
        if (random_.chance(15)) fields.text(64, words(3, 12) + "\r\n" + words(2, 8));
        return fields.bytes();
    }

    ByteVector call(std::uint64_t seconds) {
        bool named = random_.chance(60);
        std::string name;
        if (named) {
            name = random_.pick(kFirstNames);
            name += " ";
            name += random_.pick(kLastNames);
        }
        FieldList fields = CallFields(random_.below(3), random_.below(1800), seconds * 1000,
                                      random_.chance(5) ? 1 : 0, phone(), name);
        if (!named && random_.chance(10)) fields.utf16(159, random_.pick(kArabicNames));
        return fields.bytes();
    }

    ByteVector appointment(std::uint64_t seconds) {
        FieldList fields;
        fields.text(2, words(2, 5));
        if (random_.chance(50)) fields.text(3, random_.pick(kCompanies));
        if (random_.chance(30)) fields.text(4, words(4, 16));
        std::uint64_t start = seconds / 60;
        fields.le(6, start, 4).le(7, start + 15 * (1 + random_.below(12)), 4);
        return fields.bytes();
    }

    ByteVector task() {
        FieldList fields;
        fields.text(2, words(2, 6));
        if (random_.chance(40)) fields.text(3, words(4, 14));
        fields.add(9, {static_cast<std::uint8_t>(random_.below(5))})
            .add(10, {static_cast<std::uint8_t>(random_.below(3))});
        return fields.bytes();
    }

    ByteVector memo() {
        std::string body = words(3, 10);
        for (std::uint32_t lines = random_.below(4); lines > 0; --lines)
            body += "\r\n" + words(2, 9);
        return FieldList().text(1, words(1, 4)).text(2, body).bytes();
    }

    ByteVector serviceBook(std::uint64_t n) {
        std::string name = "Service " + std::to_string(n);
        return FieldList()
            .text(3, name, true)
            .text(7, "UID-" + std::to_string(n))
            .text(8, random_.chance(50) ? "WPTCP" : "CMIME")
            .add(6, {static_cast<std::uint8_t>(random_.below(100))})
            .add(9, ConfigLayoutA({"http://portal.example/", "", "", "", name, ""}))
            .bytes();
    }

    ByteVector browserOption() {
        return FieldList().text(1, words(1, 3), true).le(2, random_.below(2), 1).bytes();
    }

    Random& random() { return random_; }

  private:
    Random random_;
};

// The name table, in the handheld's alphabetical order.
enum Db : std::uint16_t {
    kAddressBook,
    kAddressBookAll,
    kBrowserOptions,
    kCalendar,
    kCalendarAll,
    kMemos,
    kCalls,
    kSms,
    kServiceBook,
    kTasks,
    kDbCount
};
constexpr std::array<std::string_view, kDbCount> kNames{
    "Address Book", "Address Book - All", "Browser Options", "Calendar",     "Calendar - All",
    "Memos",        "Phone Call Logs",    "SMS Messages",    "Service Book", "Tasks"};

// How a thousand records are shared out: mostly messages, calls and contacts.
struct Share {
    Db db;
    std::uint32_t perMille;
};
constexpr std::array<Share, kDbCount> kMix{{
    {kSms, 400},
    {kCalls, 250},
    {kAddressBookAll, 120},
    {kAddressBook, 80},
    {kCalendarAll, 40},
    {kCalendar, 20},
    {kTasks, 30},
    {kMemos, 30},
    {kServiceBook, 10},
    {kBrowserOptions, 20},
}};

constexpr std::uint8_t VersionOf(Db db) {
    switch (db) {
        case kSms:
            return kSmsVersion;
        case kCalls:
            return kCallVersion;
        case kAddressBook:
        case kAddressBookAll:
            return kContactVersion;
        case kCalendar:
        case kCalendarAll:
            return kCalendarVersion;
        case kTasks:
            return kTaskVersion;
        case kMemos:
            return kMemoVersion;
        case kServiceBook:
            return kServiceBookVersion;
        default:
            return 1;
    }
}

// The database of the next record, by the shares of kMix.
Db PickDatabase(Random& random) {
    std::uint32_t roll = random.below(1000);
    for (const auto& share : kMix) {
        if (roll < share.perMille) return share.db;
        roll -= share.perMille;
    }
    return kSms;
}

// The fields of the `n`th record of `db`, made at `seconds`.
ByteVector FieldsOf(Generator& gen, Db db, std::uint64_t seconds, std::uint64_t n) {
    switch (db) {
        case kSms:
            return gen.sms(seconds);
        case kCalls:
            return gen.call(seconds);
        case kAddressBook:
            return gen.contactFields();
        case kAddressBookAll:
            return Wrapped(gen.contactFields());
        case kCalendar:
            return gen.appointment(seconds);
        case kCalendarAll:
            return Wrapped(gen.appointment(seconds), {1, 0, 0, 0});
        case kTasks:
            return gen.task();
        case kMemos:
            return gen.memo();
        case kServiceBook:
            return gen.serviceBook(n);
        default:
            return gen.browserOption();
    }
}

// Writes whole chunks; remembers the first failure.
class ChunkedFile {
  public:
    explicit ChunkedFile(std::FILE* file) : file_(file) { buffer_.reserve(kChunk + 65536); }
    ByteVector& buffer() { return buffer_; }
    void maybeFlush() {
        if (buffer_.size() >= kChunk) flush();
    }
    void flush() {
        if (!failed_ && !buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
            failed_ = true;
        }
        buffer_.clear();
    }
    bool failed() const { return failed_; }

  private:
    static constexpr std::size_t kChunk = 1 << 20;
    std::FILE* file_;
    ByteVector buffer_;
    bool failed_ = false;
};

}  // namespace

Status WriteLargeBackup(const std::string& path, std::uint64_t records, std::uint64_t seed) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return Failure{std::strerror(errno)};
    ChunkedFile out(file);

    IpdBuilder header;
    for (auto name : kNames)
        header.database(name);
    ByteVector head = header.build();
    out.buffer().insert(out.buffer().end(), head.begin(), head.end());

    Generator gen(seed);
    std::array<std::uint64_t, kDbCount> counts{};
    std::uint64_t seconds = kStartSeconds;
    for (std::uint64_t i = 0; i < records; ++i) {
        const Db db = PickDatabase(gen.random());
        seconds += 30 + gen.random().below(600);
        const std::uint64_t n = ++counts[db];
        const ByteVector fields = FieldsOf(gen, db, seconds, n);

        ByteVector& buf = out.buffer();
        AppendRecord(buf, db, VersionOf(db), static_cast<std::uint16_t>(n & 0xFFFF),
                     UniqueId(db, n), fields);
        // Now and then a filler block between two records, as the handheld leaves them.
        if (i % 5000 == 4999 && i + 1 < records) AppendFiller(buf);
        out.maybeFlush();
    }
    out.flush();
    bool closed = std::fclose(file) == 0;
    if (out.failed() || !closed) {
        std::remove(path.c_str());
        return Failure{"could not write the whole file"};
    }
    return {};
}

}  // namespace orrelin::ipdgen
