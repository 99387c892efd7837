#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orrelin {

// The tree's 28 images, in the order of its image list.
enum class ImageKey : std::uint8_t {
    smsin,
    missed,
    placed,
    received,
    sent,
    receivedsms,
    addressbook,
    calendars,
    memos,
    phonecalls,
    servicebook,
    tasks,
    errorsms,
    task,
    memo,
    calendar,
    ballon,
    db,
    excel,
    smsout,
    sms,
    group,
    mobile,
    sheet,
    world,
    mail,
    bookmark,
    clock,
    none = 255,  // database nodes carry no image
};

inline constexpr std::array<std::string_view, 28> kImageKeyNames{
    "smsin",     "missed",   "placed",     "received",    "sent",  "receivedsms", "addressbook",
    "calendars", "memos",    "phonecalls", "servicebook", "tasks", "errorsms",    "task",
    "memo",      "calendar", "ballon",     "db",          "excel", "smsout",      "sms",
    "group",     "mobile",   "sheet",      "world",       "mail",  "bookmark",    "clock"};

constexpr std::string_view ImageKeyName(ImageKey key) {
    auto i = static_cast<std::size_t>(key);
    return i < kImageKeyNames.size() ? kImageKeyNames[i] : std::string_view{};
}

}  // namespace orrelin
