#pragma once

// Backups written in code for the window tests: one record of every kind the window shows,
// with values the tests look for, saved into a temporary folder.

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include "ipd/ipd_builder.h"

namespace orrelin::gui::testing {

inline ByteVector Raw(std::initializer_list<int> values) {
    ByteVector out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

inline ByteVector Le(std::uint64_t value, std::size_t width) {
    ByteVector out(width);
    for (std::size_t i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

// A small red square as JPEG data.
inline ByteVector JpegPhoto() {
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return ByteVector(data.begin(), data.end());
}

// A message: the fixed part (direction at body byte 9, sent time at 22-27, received time at
// 30-35), two more fixed fields, then the number and the text.
inline ByteVector SmsFields(bool sent, std::uint64_t sentMs, std::string_view number,
                            std::string_view text) {
    ByteVector fixed(46, 0);
    fixed[0] = sent ? 0 : 1;
    for (std::size_t i = 0; i < 6; ++i) {
        fixed[13 + i] = static_cast<std::uint8_t>(sentMs >> (8 * i));
        fixed[21 + i] = static_cast<std::uint8_t>(sentMs >> (8 * i));
    }
    ByteVector numberData(4, 0);
    numberData.insert(numberData.end(), number.begin(), number.end());
    numberData.push_back(0);
    FieldList fields;
    fields.add(1, fixed)
        .add(9, ByteVector(6, 0))
        .add(11, ByteVector(6, 0))
        .add(2, numberData)
        .text(4, text);
    return fields.bytes();
}

inline ByteVector ContactFields(bool withPhoto) {
    FieldList fields;
    fields.text(55, "Dr")
        .utf16(160, u"\u0633\u0644\u0645\u0649")  // سلمى
        .utf16(160, u"Haddad")
        .text(33, "Acme")
        .text(1, "salma@example.org")
        .text(8, "+961 1 234")
        .text(10, "2A3B4C5D")
        .text(72, "Lebanon")
        .text(99, "salma.h")
        .text(64, "Met in Beirut\r\nSecond line");
    if (withPhoto) fields.add(77, JpegPhoto());
    return fields.bytes();
}

inline ByteVector ServiceBookFields() {
    FieldList network;
    network.le(6, 10, 4)
        .text(9, "Carrier")
        .text(3, "internet.apn")
        .add(16, Raw({192, 168, 1, 1}))
        .add(17, Raw({0x1F, 0x90, 0x00, 0x50}));
    // Configuration items, layout A: [length][type][data][separator].
    ByteVector config = Raw({2, 0});
    for (auto [type, text] :
         {std::pair<int, std::string_view>{1, "http://home"}, {9, "gw.example"}}) {
        config.push_back(static_cast<std::uint8_t>(text.size()));
        config.push_back(static_cast<std::uint8_t>(type));
        config.insert(config.end(), text.begin(), text.end());
        config.push_back(0);
    }
    FieldList fields;
    fields.text(3, "WAP Transport", true)
        .text(7, "WPTCP")
        .text(8, "S1")
        .le(6, 0xFFFFFFFF, 4)
        .add(22, network.bytes())
        .add(9, config);
    return fields.bytes();
}

// The fields of an "- All" database lie in one type-10 field, behind `lead`.
inline ByteVector Wrapped(const ByteVector& inner, const ByteVector& lead = {}) {
    ByteVector data = lead;
    data.insert(data.end(), inner.begin(), inner.end());
    return FieldList().add(10, data).bytes();
}

// Every kind of record: SMS (one sent, one received), both address books, memos, tasks, both
// calendars, a service book entry and calls. Databases in this order, indexes 0 to 9.
inline ByteVector EveryKindBackup() {
    IpdBuilder ipd;
    auto sms = ipd.database("SMS Messages");
    auto addressAll = ipd.database("Address Book - All");
    auto address = ipd.database("Address Book");
    auto memos = ipd.database("Memos");
    auto tasks = ipd.database("Tasks");
    auto calendar = ipd.database("Calendar");
    auto calendarAll = ipd.database("Calendar - All");
    auto serviceBook = ipd.database("Service Book");
    auto calls = ipd.database("Phone Call Logs");
    ipd.database("Folders");

    ipd.record(sms, SmsFields(true, 0, "5551234", "Hello there"), 1);
    ipd.record(sms, SmsFields(false, 3600000, "5559876", "Reply"), 2);
    ipd.record(addressAll, Wrapped(ContactFields(false)), 1);
    ipd.record(address, ContactFields(true), 1);
    ipd.record(memos, FieldList().text(1, "Shopping").text(2, "Milk\r\nBread").bytes(), 1);
    ipd.record(tasks, FieldList().text(2, "Call Bob").add(9, Raw({1})).add(10, Raw({0})).bytes(),
               1);
    ipd.record(calendar,
               FieldList().text(2, "Meeting").text(3, "Room 4").le(6, 60, 4).le(7, 120, 4).bytes(),
               1);
    ipd.record(calendarAll,
               Wrapped(FieldList().text(2, "Holiday").text(3, "Beach").bytes(), Raw({0, 0, 0, 0})),
               1);
    ipd.record(serviceBook, ServiceBookFields(), 1);
    ipd.record(calls,
               FieldList()
                   .le(2, 1, 4)
                   .le(3, 65, 4)
                   .le(4, 0, 8)
                   .le(6, 0, 4)
                   .text(12, "5550000")
                   .text(31, "Omar")
                   .bytes(),
               1);
    ipd.record(calls, FieldList().le(2, 2, 4).text(12, "5551111").bytes(), 2);
    return ipd.build();
}

inline QString WriteBackup(const QTemporaryDir& dir, const QString& name, const ByteVector& bytes) {
    QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

}  // namespace orrelin::gui::testing
