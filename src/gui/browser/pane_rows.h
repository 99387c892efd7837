#pragma once

// The fields of each record pane, made from the kind's field table: its rows' order, captions,
// slots, tabs and shapes. Only the widgets' object names are this file's own.

#include <array>
#include <span>
#include <string_view>

#include "decoders/field_tables.h"
#include "gui/browser/record_pane.h"

namespace orrelin::gui::pane_rows {

constexpr FieldShape ShapeOf(PaneShape shape) {
    switch (shape) {
        case PaneShape::FewLines:
            return FieldShape::FewLines;
        case PaneShape::Wrapped:
            return FieldShape::Wrapped;
        case PaneShape::Box:
            return FieldShape::Box;
        case PaneShape::Line:
            break;
    }
    return FieldShape::Line;
}

// One pane row per field row, in the table's order or in `order` (rows by their index), named by
// `names` in the order shown.
template <std::size_t N>
constexpr std::array<PaneRow, N> Rows(const std::array<FieldRow, N>& fields,
                                      const std::array<std::string_view, N>& names,
                                      std::span<const PaneShapeAt> shapes,
                                      std::span<const PaneTab> tabs = {},
                                      std::span<const std::uint8_t> order = {}) {
    std::array<PaneRow, N> rows{};
    for (std::size_t i = 0; i < N; ++i) {
        const FieldRow& field = fields[order.empty() ? i : order[i]];
        rows[i] = {names[i], field.pane, PaneTabOf(tabs, field.slot), field.slot,
                   ShapeOf(PaneShapeOf(shapes, field.slot))};
    }
    return rows;
}

inline constexpr std::array<PaneRow, 6> kSms = Rows(
    kSmsFields,
    {"smsDirection", "smsFolder", "smsSent", "smsReceived", "smsNumber", "smsText"},
    kSmsPaneShapes);

inline constexpr std::array<PaneRow, 34> kContact = Rows(
    kContactFields,
    {"title",        "firstName",    "lastName",    "company",      "jobTitle",
     "email",        "workPhone1",   "workPhone2",  "homePhone1",   "homePhone2",
     "mobilePhone",  "pager",        "fax",         "pin",          "otherNumber",
     "workAddress1", "workAddress2", "workCity",    "workState",    "workZip",
     "workCountry",  "homeAddress1", "homeAddress2", "homeCity",    "homeState",
     "homeZip",      "homeCountry",  "birthday",    "anniversary",  "category",
     "webPage",      "facebook",     "yahoo",       "contactNotes"},
    kContactPaneShapes, kContactPaneTabs, kContactPaneOrder);

inline constexpr std::string_view kGeneral = kContactPaneTabs[0].name;

inline constexpr std::array<PaneRow, 2> kMemo =
    Rows(kMemoFields, {"memoTitle", "memoBody"}, kMemoPaneShapes);

inline constexpr std::array<PaneRow, 4> kTask =
    Rows(kTaskFields, {"taskTitle", "taskStatus", "taskPriority", "taskNotes"}, kTaskPaneShapes);

inline constexpr std::array<PaneRow, 6> kCalendar = Rows(
    kCalendarFields, {"subject", "location", "start", "end", "duration", "appointmentNotes"},
    kCalendarPaneShapes);

inline constexpr std::array<PaneRow, 6> kCall = Rows(
    kCallFields,
    {"callName", "callNumber", "callDate", "callDuration", "callDirection", "callStatus"}, {});

inline constexpr std::array<PaneRow, 9> kMail = Rows(
    kMailFields,
    {"mailFrom", "mailTo", "mailCc", "mailBcc", "mailReplyTo", "mailSubject", "mailAttachments",
     "mailMessageId", "mailBody"},
    kMailPaneShapes);

inline constexpr std::array<PaneRow, 5> kBookmark = Rows(
    kBookmarkFields, {"bookmarkName", "bookmarkUrl", "bookmarkFolder", "bookmarkId", "bookmarkType"},
    {});

inline constexpr std::array<PaneRow, 1> kBrowserUrl = Rows(kBrowserUrlFields, {"browserUrl"}, {});

inline constexpr std::array<PaneRow, 7> kTimeZone = Rows(
    kTimeZoneFields,
    {"zoneName", "zoneUtcOffset", "zoneDstOffset", "zoneDstStart", "zoneDstEnd", "zoneIndex",
     "zoneType"},
    {});

}  // namespace orrelin::gui::pane_rows
