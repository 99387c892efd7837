#include "sample.h"

#include <cstdint>

#include "photo.h"
#include "records.h"

namespace orrelin::ipdgen {
namespace {

// Times of the sample, counted from Monday 2010-03-15 08:00 UTC.
constexpr std::uint64_t kBaseSeconds = 1268640000;
constexpr std::uint64_t Ms(std::uint64_t secondsAfterBase) {
    return (kBaseSeconds + secondsAfterBase) * 1000;
}
constexpr std::uint64_t Minutes(std::uint64_t minutesAfterBase) {
    return kBaseSeconds / 60 + minutesAfterBase;
}
constexpr std::uint64_t kHour = 3600;
constexpr std::uint64_t kDay = 24 * kHour;

ByteVector Bytes8(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

// Numbers this file uses more than once.
constexpr std::string_view kNadiaMobile = "+9613555019";
constexpr std::string_view kKarimMobile = "+96171555012";
constexpr std::string_view kLaylaMobile = "+962795550147";

void AddMessages(IpdBuilder& ipd, std::uint16_t db) {
    std::uint16_t handle = 1;
    auto message = [&](bool sent, std::uint64_t at, std::uint64_t delay, std::string_view number,
                       const ByteVector& text) {
        ipd.record(db, SmsFields(sent, Ms(at), Ms(at + delay), number, text), handle,
                   UniqueId(db, handle), kSmsVersion);
        ++handle;
    };
    message(true, 35 * 60, 0, kKarimMobile, Bytes8("Running 10 minutes late, start without me."));
    message(false, 38 * 60, 4, kKarimMobile, Bytes8("No problem, we saved you a seat."));
    // A filler block stands between two records here; readers skip it.
    ipd.filler(0, 0x3C);
    message(false, kDay + 2 * kHour, 2, kLaylaMobile, Utf16Be(u"مرحبا، كيف حالك؟"));
    message(false, 2 * kDay + 5 * kHour, 11, "+447700900321",
            Bytes8("Your parcel 4471 is ready for pickup.\nDesk hours 9-17, bring ID."));
    message(true, 3 * kDay + 9 * kHour, 0, kLaylaMobile,
            Bytes8("Happy birthday Layla! Dinner on Friday?"));
    message(false, 3 * kDay + 9 * kHour + 600, 3, kNadiaMobile, Bytes8("Contract signed. Thanks!"));
}

// "Address Book": fields at the top level of the record.
void AddPlainContacts(IpdBuilder& ipd, std::uint16_t db) {
    FieldList nadia;
    nadia.text(32, "Nadia")
        .text(32, "Haddad")
        .text(55, "Ms.")
        .text(33, "Cedar Line Logistics")
        .text(42, "Operations Manager")
        .text(1, "nadia.haddad@cedarline.example")
        .text(6, "+9611555014")
        .text(8, kNadiaMobile)
        .text(35, "Hamra Street 48\r\nBuilding C, 3rd floor")
        .text(38, "Beirut")
        .text(41, "Lebanon")
        .text(82, "14/05/1982")
        .text(59, "Business")
        .text(64, "Met at the Dubai trade fair.\r\nPrefers calls after 10:00.")
        .add(77, ByteVector(kContactPhoto.begin(), kContactPhoto.end()));
    ipd.record(db, nadia.bytes(), 1, UniqueId(db, 1), kContactVersion);

    FieldList tomas;
    tomas.text(32, "Tomas")
        .text(32, "Reyes")
        .text(33, "Reyes & Vidal Architects")
        .text(1, "t.reyes@reyesvidal.example")
        .text(6, "+34915550123")
        .text(16, "+34915550124")
        .text(7, "+34915550987")
        .text(17, "+34915550988")
        .text(8, "+34655501234")
        .text(9, "+34915550100")
        .text(3, "+34915550125")
        .text(18, "+34915550199")
        .text(61, "Calle de Serrano 21")
        .text(62, "Piso 2")
        .text(69, "Madrid")
        .text(71, "28001")
        .text(72, "Spain")
        .text(54, "http://www.reyesvidal.example/");
    ipd.record(db, tomas.bytes(), 2, UniqueId(db, 2), kContactVersion);
}

// "Address Book - All": every field nested in one type-10 field.
void AddWrappedContacts(IpdBuilder& ipd, std::uint16_t db) {
    FieldList layla;
    layla.utf16(160, u"ليلى")
        .utf16(160, u"منصور")
        .text(32, "Layla")
        .text(32, "Mansour")
        .text(8, kLaylaMobile)
        .text(7, "+96265550133")
        .utf16(189, u"شارع الرينبو 12")
        .utf16(197, u"عمان")
        .text(72, "Jordan")
        .text(82, "18/03/1990")
        .text(64, "Cousin of Nadia.\r\nAllergic to nuts.");
    ipd.record(db, Wrapped(layla.bytes()), 1, UniqueId(db, 1), kContactVersion);

    FieldList peter;
    peter.text(32, "Peter")
        .text(32, "Okafor")
        .text(33, "Lagos Harbour Freight")
        .text(42, "Broker")
        .text(1, "peter.okafor@lhfreight.example")
        .text(6, "+23412555067")
        .text(8, "+2348035550167")
        .text(10, "2A4F7C19")
        .text(35, "12 Marina Road")
        .text(38, "Lagos")
        .text(39, "Lagos State")
        .text(40, "101001")
        .text(41, "Nigeria")
        .text(83, "02/09/2008")
        .text(59, "Business")
        .text(99, "peter.okafor.lhf");
    ipd.record(db, Wrapped(peter.bytes()), 2, UniqueId(db, 2), kContactVersion);

    // A first name alone: the label is the name and a space.
    FieldList grace;
    grace.text(32, "Grace").text(8, "+46705550182").text(64, "Swimming coach, Tuesdays.");
    ipd.record(db, Wrapped(grace.bytes()), 3, UniqueId(db, 3), kContactVersion);
}

FieldList Appointment(std::string_view subject, std::string_view location, std::string_view notes,
                      std::uint64_t start, std::uint64_t minutes) {
    FieldList fields;
    fields.text(2, subject).text(3, location);
    if (!notes.empty()) fields.text(4, notes);
    fields.le(6, Minutes(start), 4).le(7, Minutes(start + minutes), 4);
    return fields;
}

void AddCalendar(IpdBuilder& ipd, std::uint16_t plainDb, std::uint16_t allDb) {
    ipd.record(plainDb,
               Appointment("Quarterly review", "Room 4B",
                           "Bring the Q1 figures\r\nand the fleet plan.", 3 * 24 * 60 + 60, 90)
                   .bytes(),
               1, UniqueId(plainDb, 1), kCalendarVersion);
    ipd.record(
        plainDb,
        Appointment("Dentist", "Dr. Saleh clinic, Verdun", "", 9 * 24 * 60 + 480, 45).bytes(), 2,
        UniqueId(plainDb, 2), kCalendarVersion);

    // The nested fields of "Calendar - All" follow 4 bytes of their own; these read as a
    // one-byte field, so a reader that does not skip them still finds the fields after them.
    const ByteVector lead{0x01, 0x00, 0x00, 0x00};
    ipd.record(allDb,
               Wrapped(Appointment("Flight BEY-LHR", "Beirut airport, terminal 1",
                                   "Seat 14C\nBooking reference QX7T2L", 12 * 24 * 60 + 30, 330)
                           .bytes(),
                       lead),
               1, UniqueId(allDb, 1), kCalendarVersion);
    FieldList family;
    family.utf16(130, u"اجتماع العائلة")
        .utf16(132, u"بيت الجدة")
        .utf16(131, u"إحضار الحلويات")
        .le(6, Minutes(18 * 24 * 60 + 600), 4)
        .le(7, Minutes(18 * 24 * 60 + 840), 4);
    ipd.record(allDb, Wrapped(family.bytes(), lead), 2, UniqueId(allDb, 2), kCalendarVersion);
}

void AddTasks(IpdBuilder& ipd, std::uint16_t db) {
    auto task = [&](std::uint16_t handle, FieldList fields, std::uint8_t status,
                    std::uint8_t priority) {
        fields.add(9, {status}).add(10, {priority});
        ipd.record(db, fields.bytes(), handle, UniqueId(db, handle), kTaskVersion);
    };
    task(1,
         FieldList()
             .text(2, "Renew car insurance")
             .text(3, "Policy 77-310-4482\r\nDue end of month."),
         0, 0);
    task(2, FieldList().text(2, "Send March invoices"), 1, 1);
    task(3, FieldList().text(2, "Book hotel in Amman").text(3, "Two nights, near Rainbow Street."),
         2, 2);
    task(4, FieldList().utf16(130, u"شراء هدية").text(3, "For the family gathering."), 3, 1);
    task(5, FieldList().text(2, "Repaint the balcony"), 4, 2);
}

void AddMemos(IpdBuilder& ipd, std::uint16_t db) {
    auto memo = [&](std::uint16_t handle, const FieldList& fields) {
        ipd.record(db, fields.bytes(), handle, UniqueId(db, handle), kMemoVersion);
    };
    memo(1, FieldList()
                .text(1, "Shopping list")
                .text(2, "Milk\r\nBread\r\nOlive oil\r\nLemons\r\nZa'atar"));
    memo(2, FieldList()
                .text(1, "Office Wi-Fi")
                .text(2,
                      "Network: CEDAR-GUEST\nPassword: olive-tree-42\nAsk reception for a new one "
                      "each month."));
    memo(3, FieldList()
                .utf16(129, u"ملاحظات")
                .text(2, "Call the bank about the card.\r\nPick up the dry cleaning."));
}

void AddCalls(IpdBuilder& ipd, std::uint16_t db) {
    auto call = [&](std::uint16_t handle, const FieldList& fields) {
        ipd.record(db, fields.bytes(), handle, UniqueId(db, handle), kCallVersion);
    };
    call(1, CallFields(0, 125, Ms(50 * 60), 0, kNadiaMobile, "Nadia Haddad"));
    call(2, CallFields(1, 302, Ms(kDay + 30 * 60), 0, "+441632960881", ""));
    FieldList sami = CallFields(2, 0, Ms(2 * kDay + 7 * kHour), 0, "+9613555077", "");
    sami.utf16(159, u"سامي");
    call(3, sami);
    call(4, CallFields(1, 0, Ms(4 * kDay + 11 * kHour), 1, kKarimMobile, "Karim"));
    call(5, CallFields(0, 3601, Ms(5 * kDay + 16 * kHour), 0, kLaylaMobile, "Layla Mansour"));
}

// The network block (type 22) of a service book entry: provider code (6), wireless network
// (10), network name (9), APN (3), QoS (18), gateway IP (16) and ports (17, big-endian).
ByteVector NetworkBlock(std::uint32_t providerCode, std::uint8_t network, std::string_view name,
                        std::string_view apn, const ByteVector& gateway, std::uint16_t port1,
                        std::uint16_t port2) {
    FieldList block;
    block.le(6, providerCode, 4)
        .add(10, {network})
        .text(9, name, true)
        .text(3, apn)
        .add(18, {1, 2, 3, 4, 5})
        .add(16, gateway)
        .add(17, {static_cast<std::uint8_t>(port1 >> 8), static_cast<std::uint8_t>(port1 & 0xFF),
                  static_cast<std::uint8_t>(port2 >> 8), static_cast<std::uint8_t>(port2 & 0xFF)});
    return block.bytes();
}

void AddServiceBooks(IpdBuilder& ipd, std::uint16_t db) {
    auto entry = [&](std::uint16_t handle, const FieldList& fields) {
        ipd.record(db, fields.bytes(), handle, UniqueId(db, handle), kServiceBookVersion);
    };
    // Configuration in layout A, the form the editor writes.
    FieldList browser;
    browser.le(1, 1, 4)
        .le(2, 0, 4)
        .le(23, UniqueId(db, 101), 4)
        .text(3, "Cedar Mobile Internet", true)
        .add(5, {0})
        .le(6, 0xFFFFFFFF, 4)
        .text(7, "CM-BROWSER-01")
        .text(8, "BrowserConfig")
        .add(9,
             ConfigLayoutA({"http://portal.cedarmobile.example/", "WPTCP Cedar", "CM-WPTCP-01",
                            "10.12.0.1:8080", "Cedar Browser", "Browser set-up for Cedar Mobile"}))
        .text(15, "Cedar Mobile Internet browser", true)
        .add(17, {3})
        .add(18, {0, 0, 0, 0})
        .add(22,
             NetworkBlock(10, 3, "HRT", "internet.cedarmobile.example", {10, 12, 0, 1}, 8080, 80));
    entry(1, browser);

    // Configuration in layout B, the form older entries carry.
    FieldList transport;
    transport.le(1, 1, 4)
        .le(2, 0, 4)
        .le(23, UniqueId(db, 102), 4)
        .text(3, "WPTCP Transport Cedar", true)
        .add(5, {0})
        .add(6, {44})
        .text(7, "CM-WPTCP-01")
        .text(8, "WPTCP")
        .add(9, ConfigLayoutB({"http://wap.cedarmobile.example/", "Cedar WAP", "CM-WAP-02",
                               "192.168.45.10:9201", "Cedar TCP", "TCP transport"}))
        .le(10, 1, 4)
        .text(15, "WPTCP Trans Cedar Mobile (41502)", true)
        .add(24, {0x13, 0x66, 0x08, 0x4A})
        .add(22, NetworkBlock(41502, 1, "Cedar Mobile", "wap.cedarmobile.example",
                              {192, 168, 45, 10}, 9201, 9203));
    entry(2, transport);

    // An entry without a network block.
    FieldList desktop;
    desktop.text(3, "Desktop", true)
        .text(7, "DESKTOP-CMIME")
        .text(8, "CMIME")
        .add(6, {7})
        .add(9, ConfigLayoutA({"", "", "", "", "Desktop", ""}));
    entry(3, desktop);
}

}  // namespace

ByteVector BuildSample() {
    IpdBuilder ipd;
    // The name table in the handheld's alphabetical order; "Browser Options" is a database
    // this program does not read, and takes its index all the same.
    const std::uint16_t addressBook = ipd.database("Address Book");
    const std::uint16_t addressBookAll = ipd.database("Address Book - All");
    const std::uint16_t browserOptions = ipd.database("Browser Options");
    const std::uint16_t calendar = ipd.database("Calendar");
    const std::uint16_t calendarAll = ipd.database("Calendar - All");
    const std::uint16_t memos = ipd.database("Memos");
    const std::uint16_t calls = ipd.database("Phone Call Logs");
    const std::uint16_t sms = ipd.database("SMS Messages");
    const std::uint16_t serviceBook = ipd.database("Service Book");
    const std::uint16_t tasks = ipd.database("Tasks");

    AddPlainContacts(ipd, addressBook);
    AddWrappedContacts(ipd, addressBookAll);
    ipd.record(browserOptions,
               FieldList()
                   .text(1, "http://portal.cedarmobile.example/", true)
                   .le(2, 1, 1)
                   .le(3, 0, 1)
                   .bytes(),
               1, UniqueId(browserOptions, 1), 1);
    AddCalendar(ipd, calendar, calendarAll);
    AddMemos(ipd, memos);
    AddCalls(ipd, calls);
    AddMessages(ipd, sms);
    AddServiceBooks(ipd, serviceBook);
    AddTasks(ipd, tasks);
    return ipd.build();
}

}  // namespace orrelin::ipdgen
