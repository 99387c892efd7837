#pragma once

// A backup with a record of every exportable kind, and what each record looks like in an
// export, stated byte for byte. Shared by the core and the command-line tests.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "ipd/ipd_builder.h"

namespace orrelin::testing {

inline const std::string kStars(71, '*');
inline const std::string kRule(44, '-');

// Each line followed by CR LF.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (std::string_view line : lines) {
        out.append(line);
        out.append("\r\n");
    }
    return out;
}

inline std::string Banner(std::size_t spaces, std::string_view title) {
    return Lines({kStars, std::string(spaces, ' ') + std::string(title), kStars});
}

// A text block: an empty line, the hyphen row, then the value lines joined by CR LF.
inline std::string Block(std::initializer_list<std::string_view> valueLines) {
    std::string out = "\r\n" + kRule;
    for (std::string_view line : valueLines) {
        out.append("\r\n");
        out.append(line);
    }
    return out;
}

// Name-table positions of the fixture's databases.
enum FixtureDb : std::uint16_t {
    kSms,
    kAddressAll,
    kTasks,
    kCalendar,
    kMemos,
    kCalls,
    kServiceBook,
    kCalendarAll,
    kAddress,
};

inline ByteVector Le(std::uint64_t value, std::size_t width) {
    ByteVector out;
    for (std::size_t i = 0; i < width; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return out;
}

// An SMS: the first field's data holds the direction byte at record byte 9 and two times
// (milliseconds, 6 bytes) at record bytes 22 (the handheld's: a received message's receive
// time) and 30; the further fields start at record byte 73.
inline ByteVector SmsFields(std::uint8_t direction, std::uint64_t at22, std::uint64_t at30,
                            const FieldList& further) {
    ByteVector first(64, 0);
    first[0] = direction;
    for (std::size_t i = 0; i < 6; ++i) {
        first[13 + i] = static_cast<std::uint8_t>(at22 >> (8 * i));
        first[21 + i] = static_cast<std::uint8_t>(at30 >> (8 * i));
    }
    FieldList fields;
    fields.add(1, first).raw(further.bytes());
    return fields.bytes();
}

// 2009-10-26 21:25:00 UTC: shown 3 hours later with the offset 0.
inline constexpr std::uint64_t kCallMillis = 1256592300000;

// The records are added in an order different from the tree's, which groups them by database.
inline ByteVector FixtureBackup() {
    IpdBuilder b;
    b.database("SMS Messages");
    b.database("Address Book - All");
    b.database("Tasks");
    b.database("Calendar");
    b.database("Memos");
    b.database("Phone Call Logs");
    b.database("Service Book");
    b.database("Calendar - All");
    b.database("Address Book");

    b.record(kMemos,
             FieldList().text(1, "Shopping").text(2, "eggs, milk\r\n\"fresh\" bread").bytes());
    b.record(
        kSms,
        SmsFields(1, kCallMillis, kCallMillis + 60000,
                  FieldList().text(2, "+15551234").text(4, "Hello, \"world\"\r\nsecond line")));
    FieldList contact;
    contact.text(32, "Ada")
        .text(32, "Lovelace")
        .text(33, "Analytical, \"Engines\"")
        .text(1, "ada@example.org")
        .text(8, "+4420")
        .text(38, "London")
        .text(69, "Marylebone")
        .text(64, "Line one\r\nLine two");
    b.record(kAddressAll, FieldList().add(10, contact.bytes()).bytes());
    b.record(kServiceBook, FieldList().text(3, "Browser").bytes());
    // A message without a number, its text in 16-bit form: three Arabic letters.
    b.record(kSms, SmsFields(0, 0, 0, FieldList().add(4, {0x06, 0x27, 0x06, 0x44, 0x06, 0x45})));
    b.record(kTasks, FieldList()
                         .text(2, "Write \"report\"")
                         .add(9, {1})
                         .add(10, {2})
                         .text(3, "line1\r\nline2")
                         .bytes());
    b.record(kCalendar, FieldList()
                            .text(2, "Meeting, weekly")
                            .text(3, "Room 1")
                            .add(6, {0xA0, 0x8C, 0x11, 0x01})
                            .add(7, {0xDC, 0x8C, 0x11, 0x01})
                            .utf16(131, u"Agenda:\r\n1. Budget")
                            .bytes());
    b.record(kMemos, FieldList().add(129, {0x00, 0x06, 0x27, 0x06, 0x44}).bytes());
    b.record(kCalls, FieldList()
                         .add(2, {1})
                         .add(3, Le(125, 4))
                         .add(4, Le(kCallMillis, 8))
                         .add(6, {1})
                         .text(12, "5550100")
                         .text(31, "Bob")
                         .bytes());
    b.record(kAddress, FieldList().text(32, "Grace").bytes());
    return b.build();
}

// ---- The fixture's records as exported ----

inline const std::string kSms1Text = Block({
    "\tStatus: Received",
    "\tSent Date: 10/27/2009 12:26:00 AM",
    "\tReceived Date: 10/27/2009 12:25:00 AM",
    "\tNumber: +15551234",
    "\tMessage: Hello, \"world\"\r\nsecond line",
});
inline const std::string kSms1Csv =
    "\"Received\",\"10/27/2009 12:26:00 AM\",\"10/27/2009 12:25:00 AM\",\"+15551234\","
    "\"Hello, \"\"world\"\"\r\nsecond line\"";

// Code page 1256: alef C7, lam E1, meem E3.
inline const std::string kSms2Text = Block({
    "\tStatus: Sent",
    "\tSent Date: 1/1/1970 3:00:00 AM",
    "\tReceived Date: 1/1/1970 3:00:00 AM",
    "\tNumber: ",
    "\tMessage: \xC7\xE1\xE3",
});
inline const std::string kSms2Csv =
    "\"Sent\",\"1/1/1970 3:00:00 AM\",\"1/1/1970 3:00:00 AM\",\"\",\"\xC7\xE1\xE3\"";

inline const std::string kAdaText = Block({
    "\tTitle: ",
    "\tFirst Name: Ada",
    "\tLast Name: Lovelace",
    "\tCompany: Analytical, \"Engines\"",
    "\tJob: ",
    "\tEmail: ada@example.org",
    "\tWork Phone 1: ",
    "\tWork Phone 2: ",
    "\tHome Phone 1: ",
    "\tHome Phone 2: ",
    "\tMobile: +4420",
    "\tPager: ",
    "\tFax: ",
    "\tPIN: ",
    "\tHome Address 1: ",
    "\tHome Address 2: ",
    "\tHome City: Marylebone",
    "\tHome State: ",
    "\tHome ZIP: ",
    "\tHome Country: ",
    "\tWork Address 1: ",
    "\tWork Address 2: ",
    "\tWork City: London",
    "\tWork State: ",
    "\tWork ZIP: ",
    "\tWork Country: ",
    "\tBirthday: ",
    "\tAnniversary: ",
    "\tCategory: ",
    "\tWeb Page: ",
    "\tNotes: Line one\r\nLine two\r\n",
});
inline const std::string kAdaCsv =
    "\"\",\"Ada\",\"Lovelace\",\"Analytical, "
    "\"\"Engines\"\"\",\"\",\"ada@example.org\",\"\",\"\",\"\","
    "\"\",\"+4420\",\"\",\"\",\"\",\"\",\"\",\"Marylebone\",\"\",\"\",\"\",\"\",\"\",\"London\","
    "\"\","
    "\"\",\"\",\"\",\"\",\"\",\"\",\"Line one\r\nLine two\"";

inline const std::string kGraceText = Block({
    "\tTitle: ",
    "\tFirst Name: Grace",
    "\tLast Name: ",
    "\tCompany: ",
    "\tJob: ",
    "\tEmail: ",
    "\tWork Phone 1: ",
    "\tWork Phone 2: ",
    "\tHome Phone 1: ",
    "\tHome Phone 2: ",
    "\tMobile: ",
    "\tPager: ",
    "\tFax: ",
    "\tPIN: ",
    "\tHome Address 1: ",
    "\tHome Address 2: ",
    "\tHome City: ",
    "\tHome State: ",
    "\tHome ZIP: ",
    "\tHome Country: ",
    "\tWork Address 1: ",
    "\tWork Address 2: ",
    "\tWork City: ",
    "\tWork State: ",
    "\tWork ZIP: ",
    "\tWork Country: ",
    "\tBirthday: ",
    "\tAnniversary: ",
    "\tCategory: ",
    "\tWeb Page: ",
    "\tNotes: \r\n",
});
inline const std::string kGraceCsv =
    "\"\",\"Grace\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
    "\"\","
    "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"";

inline const std::string kTaskText = Block({
    "\tTask: Write \"report\"",
    "\tStatus: In Progress",
    "\tPriority: Low",
    "\tNotes: line1\r\nline2",
});
inline const std::string kTaskCsv =
    "\"Write \"\"report\"\"\",\"In Progress\",\"Low\",\"line1\r\nline2\"";

inline const std::string kMeetingText = Block({
    "\tSubject: Meeting, weekly",
    "\tLocation: Room 1",
    "\tStart: 2/1/2004 3:48:00 PM",
    "\tEnd: 2/1/2004 4:48:00 PM",
    "\tDuration: ",
    "\tNotes: Agenda:\r\n1. Budget",
});
inline const std::string kMeetingCsv =
    "\"Meeting, weekly\",\"Room 1\",\"2/1/2004 3:48:00 PM\",\"2/1/2004 4:48:00 PM\",\"\","
    "\"Agenda:\r\n1. Budget\"";

inline const std::string kShoppingText = Block({
    "\tTitle: Shopping",
    "\tMemo: eggs, milk\r\n\"fresh\" bread",
});
inline const std::string kShoppingCsv = "\"Shopping\",\"eggs, milk\r\n\"\"fresh\"\" bread\"";

inline const std::string kArabicMemoText = Block({"\tTitle: \xC7\xE1", "\tMemo: "});
inline const std::string kArabicMemoCsv = "\"\xC7\xE1\",\"\"";

inline const std::string kCallText = Block({
    "\tName: Bob",
    "\tNumber: 5550100",
    "\tDate: 10/27/2009 12:25:00 AM",
    "\tDuration: 2:5",
    "\tDirection: Placed Call",
    "\tStatus: Busy",
});
inline const std::string kCallCsv =
    "\"Bob\",\"5550100\",\"10/27/2009 12:25:00 AM\",\"2:5\",\"Placed Call\",\"Busy\"";

// A record item of a whole-file export: 8 spaces, then the rendering.
inline std::string Deep(const std::string& rendering) {
    return "        " + rendering + "\r\n";
}
inline std::string Flat(const std::string& rendering) {
    return rendering + "\r\n";
}

inline std::string WholeFileText() {
    return Banner(27, "SMS Messages") + Deep(kSms1Text) + Deep(kSms2Text) +
           Banner(27, "Address Book") + Deep(kAdaText) + Banner(26, "Tasks") + Deep(kTaskText) +
           Banner(26, "Calendar") + Deep(kMeetingText) + Banner(26, "Memos") + Deep(kShoppingText) +
           Deep(kArabicMemoText) + Banner(26, "Phone Call Logs") + Deep(kCallText) +
           Banner(26, "Calendar") + Banner(27, "Address Book") + Deep(kGraceText);
}

inline std::string WholeFileCsv() {
    return Banner(27, "SMS Messages") + Deep(kSms1Csv) + Deep(kSms2Csv) +
           Banner(27, "Address Book") + Deep(kAdaCsv) + Banner(26, "Tasks") + Deep(kTaskCsv) +
           Banner(26, "Calendar") + Deep(kMeetingCsv) + Banner(26, "Memos") + Deep(kShoppingCsv) +
           Deep(kArabicMemoCsv) + Banner(26, "Phone Call Logs") + Deep(kCallCsv) +
           Banner(26, "Calendar") + Banner(27, "Address Book") + Deep(kGraceCsv);
}

}  // namespace orrelin::testing
