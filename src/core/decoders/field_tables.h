#pragma once

// What each kind of record holds, one row a value, stated once: the record's pane, the text and
// CSV exports, the JSON export and the decoders all read these rows.
//
// Rows stand in slot order. A row names the value's slot in the
// decoded record, its caption in the pane, its caption in the text export and CSV header (with
// its place among those columns), its JSON key (with its place among the record's JSON texts),
// and the field types it is read from where it is read from a field of its own: the 8-bit type
// and the 16-bit type that stands for it when present.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

namespace orrelin {

struct FieldRow {
    std::uint8_t slot;
    std::string_view pane;      // caption in the record's pane ("" when shown without one)
    std::string_view column;    // text-export caption and CSV column ("" when not exported)
    std::uint8_t columnAt;      // place among the columns, from 1; 0 when not exported
    std::string_view jsonKey;   // key in the JSON export ("" when not exported)
    std::uint8_t jsonAt;        // place among the record's JSON texts, from 1; 0 when not
    std::uint8_t type = 0;      // 8-bit field type it is read from, 0 when read otherwise
    std::uint8_t wideType = 0;  // 16-bit field type standing for it, 0 when none
};

// Values written beside the texts in the JSON export, after them, in the order listed.
enum class ExtraValue : std::uint8_t {
    FirstInstant,   // a time of the record as an instant, left out when the record has none
    SecondInstant,  // its second time, the same way
    HasPhoto,       // true or false, always written
    Number,         // the record's number (a call's duration), always written
    Count,          // the record's number as a count (a message's attachments), always written
    JoinedTexts,    // texts of `count` slots from `first` joined by ".", left out when empty
};

struct ExtraRow {
    std::string_view jsonKey;
    ExtraValue value;
    std::uint8_t first = 0;
    std::uint8_t count = 0;
};

// A message: the slots of SmsRecord.
inline constexpr std::array<FieldRow, 6> kSmsFields{{
    {0, "Direction", "Status", 1, "direction", 1},
    {1, "Folder", "", 0, "folder", 2},
    {2, "Sent on", "Sent Date", 2, "", 0},
    {3, "Recv. On", "Received Date", 3, "", 0},
    {4, "Number", "Number", 4, "number", 3, 2},
    {5, "Message", "Message", 5, "text", 4, 4},
}};
inline constexpr std::array<ExtraRow, 2> kSmsExtras{{
    {"sent_time", ExtraValue::FirstInstant},
    {"received_time", ExtraValue::SecondInstant},
}};

// A contact: the slots of ContactRecord but the picture. The text export puts the home address
// before the work address, unlike the record's own order. Both names are read from the first
// name field (8-bit 32, 16-bit 160) and the same-typed field directly after it.
inline constexpr std::array<FieldRow, 34> kContactFields{{
    {0, "Title", "Title", 1, "title", 1, 55, 183},
    {1, "First", "First Name", 2, "first_name", 2, 32, 160},
    {2, "Last", "Last Name", 3, "last_name", 3, 32, 160},
    {3, "Company", "Company", 4, "company", 4, 33, 161},
    {4, "Job", "Job", 5, "job", 5, 42, 170},
    {5, "Email", "Email", 6, "email", 6, 1},
    {6, "Work 1", "Work Phone 1", 7, "work_phone_1", 7, 6},
    {7, "Work 2", "Work Phone 2", 8, "work_phone_2", 8, 16},
    {8, "Home 1", "Home Phone 1", 9, "home_phone_1", 9, 7},
    {9, "Home 2", "Home Phone 2", 10, "home_phone_2", 10, 17},
    {10, "Mobile", "Mobile", 11, "mobile", 11, 8},
    {11, "Pager", "Pager", 12, "pager", 12, 9},
    {12, "Fax", "Fax", 13, "fax", 13, 3},
    {13, "Other", "", 0, "other_number", 14, 18},
    {14, "PIN", "PIN", 14, "pin", 15, 10},
    {15, "Work Address", "Work Address 1", 21, "work_address_1", 16, 35, 163},
    {16, "Work Address 2", "Work Address 2", 22, "work_address_2", 17, 36, 164},
    {17, "Work City", "Work City", 23, "work_city", 18, 38, 166},
    {18, "Work State", "Work State", 24, "work_state", 19, 39, 167},
    {19, "Work ZIP", "Work ZIP", 25, "work_zip", 20, 40},
    {20, "Work Country", "Work Country", 26, "work_country", 21, 41, 169},
    {21, "Home Address", "Home Address 1", 15, "home_address_1", 22, 61, 189},
    {22, "Home Address 2", "Home Address 2", 16, "home_address_2", 23, 62, 190},
    {23, "Home City", "Home City", 17, "home_city", 24, 69, 197},
    {24, "Home State", "Home State", 18, "home_state", 25, 70, 198},
    {25, "Home ZIP", "Home ZIP", 19, "home_zip", 26, 71},
    {26, "Home Country", "Home Country", 20, "home_country", 27, 72, 200},
    {27, "Birthday", "Birthday", 27, "birthday", 28, 82},
    {28, "Anniversary", "Anniversary", 28, "anniversary", 29, 83},
    {29, "Category", "Category", 29, "category", 30, 59},
    {30, "Web Page", "Web Page", 30, "web_page", 31, 54},
    {31, "Facebook", "", 0, "facebook", 32, 99},
    {32, "Yahoo", "", 0, "", 0},
    {33, "", "Notes", 31, "notes", 33, 64, 192},
}};
inline constexpr std::array<ExtraRow, 1> kContactExtras{{
    {"has_photo", ExtraValue::HasPhoto},
}};
// The contact's JPEG photo.
inline constexpr std::uint8_t kContactPhotoType = 77;

// An appointment: the slots of CalendarRecord.
inline constexpr std::array<FieldRow, 6> kCalendarFields{{
    {0, "Subject", "Subject", 1, "subject", 1, 2, 130},
    {1, "Location", "Location", 2, "location", 2, 3, 132},
    {2, "Start", "Start", 3, "", 0, 6},
    {3, "End", "End", 4, "", 0, 7},
    {4, "Duration", "Duration", 5, "", 0},
    {5, "Notes", "Notes", 6, "notes", 3, 4, 131},
}};
inline constexpr std::array<ExtraRow, 2> kCalendarExtras{{
    {"start_time", ExtraValue::FirstInstant},
    {"end_time", ExtraValue::SecondInstant},
}};

// A task: the slots of TaskRecord.
inline constexpr std::array<FieldRow, 4> kTaskFields{{
    {0, "Task", "Task", 1, "title", 1, 2, 130},
    {1, "Status", "Status", 2, "status", 2, 9},
    {2, "Priority", "Priority", 3, "priority", 3, 10},
    {3, "Notes", "Notes", 4, "notes", 4, 3, 131},
}};

// A memo: the slots of MemoRecord; the body is shown without a caption.
inline constexpr std::array<FieldRow, 2> kMemoFields{{
    {0, "Title", "Title", 1, "title", 1, 1, 129},
    {1, "", "Memo", 2, "body", 2, 2, 130},
}};

// A call: the slots of CallRecord. Its name is read from the 16-bit field 159, else the 8-bit
// field 31, else the number field 12.
inline constexpr std::array<FieldRow, 6> kCallFields{{
    {0, "Name", "Name", 1, "name", 1, 31, 159},
    {1, "Number", "Number", 2, "number", 2, 12},
    {2, "Date", "Date", 3, "", 0, 4},
    {3, "Duration", "Duration", 4, "", 0, 3},
    {4, "Direction", "Direction", 5, "direction", 3, 2},
    {5, "Status", "Status", 6, "status", 4, 6},
}};
inline constexpr std::array<ExtraRow, 2> kCallExtras{{
    {"time", ExtraValue::FirstInstant},
    {"duration_seconds", ExtraValue::Number},
}};

// An email or PIN message: the slots of the mail kind's values. An address is shown as
// "Name <address>", repeated ones joined by ", "; the body is the plain one, else the HTML one
// as text.
inline constexpr std::array<FieldRow, 9> kMailFields{{
    {0, "From", "From", 1, "from", 1},
    {1, "To", "To", 2, "to", 2},
    {2, "Cc", "Cc", 3, "cc", 3},
    {3, "Bcc", "Bcc", 4, "bcc", 4},
    {4, "Reply-To", "Reply-To", 5, "reply_to", 5},
    {5, "Subject", "Subject", 6, "subject", 6, 11, 139},
    {6, "Attachments", "Attachments", 7, "", 0},
    {7, "Message ID", "Message ID", 8, "message_id", 7},
    {8, "", "Message", 9, "body", 8, 12, 140},
}};
inline constexpr std::array<ExtraRow, 1> kMailExtras{{
    {"attachments", ExtraValue::Count},
}};

// A browser bookmark.
inline constexpr std::array<FieldRow, 5> kBookmarkFields{{
    {0, "Name", "Name", 1, "name", 1},
    {1, "URL", "URL", 2, "url", 2},
    {2, "Folder", "Folder", 3, "folder", 3},
    {3, "Id", "Id", 4, "id", 4},
    {4, "Type", "Type", 5, "type", 5},
}};

// A page the browser visited.
inline constexpr std::array<FieldRow, 1> kBrowserUrlFields{{
    {0, "URL", "URL", 1, "url", 1, 25},
}};

// A time zone; numbers absent from the record are empty.
inline constexpr std::array<FieldRow, 7> kTimeZoneFields{{
    {0, "Name", "Name", 1, "name", 1, 2, 130},
    {1, "UTC Offset", "UTC Offset", 2, "utc_offset", 2},
    {2, "Daylight Saving Offset", "Daylight Saving Offset", 3, "dst_offset", 3},
    {3, "Daylight Saving Starts", "Daylight Saving Starts", 4, "dst_start_month", 4},
    {4, "Daylight Saving Ends", "Daylight Saving Ends", 5, "dst_end_month", 5},
    {5, "Index", "Index", 6, "index", 6},
    {6, "Type", "Type", 7, "type", 7},
}};

// A service book entry: its 22 values as the pane numbers them. Values 5 to 8 are the four
// bytes of the gateway address, joined into one JSON value.
inline constexpr std::array<FieldRow, 22> kServiceBookFields{{
    {0, "Network Provider Code", "", 0, "network_provider_code", 6},
    {1, "Wireless Network", "", 0, "wireless_network", 7},
    {2, "Network Name", "", 0, "network_name", 8},
    {3, "APN", "", 0, "apn", 9},
    {4, "QoS", "", 0, "qos", 10},
    {5, "Gateway IP", "", 0, "", 0},
    {6, "Gateway IP", "", 0, "", 0},
    {7, "Gateway IP", "", 0, "", 0},
    {8, "Gateway IP", "", 0, "", 0},
    {9, "Ports", "", 0, "port_1", 11},
    {10, "Ports", "", 0, "port_2", 12},
    {11, "Home Page", "", 0, "home_page", 13},
    {12, "Data Source", "", 0, "data_source", 14},
    {13, "Data Source UID", "", 0, "data_source_uid", 15},
    {14, "Gateway/URL", "", 0, "gateway_url", 16},
    {15, "Name", "", 0, "config_name", 17},
    {16, "Description", "", 0, "config_description", 18},
    {17, "Name", "", 0, "name", 1, 3},
    {18, "UID", "", 0, "uid", 2},
    {19, "CID", "", 0, "cid", 3},
    {20, "User ID", "", 0, "user_id", 4},
    {21, "Description", "", 0, "description", 5},
}};
inline constexpr std::array<ExtraRow, 1> kServiceBookExtras{{
    {"gateway_ip", ExtraValue::JoinedTexts, 5, 4},
}};

// How a record's pane shows its values: in the table's order (the contact pane shows the PIN
// before the other number), each on one line unless its row in
// the kind's shapes says otherwise (a few lines for a street address; the lines its text wraps
// to for a message's addresses; a box taking the rest of the pane for a message, a memo or
// notes), on the tab whose range holds its slot when the kind has tabs (a tab holds the slots
// from its first to the next tab's first).
enum class PaneShape : std::uint8_t { Line, FewLines, Wrapped, Box };

struct PaneShapeAt {
    std::uint8_t slot;
    PaneShape shape;
};

struct PaneTab {
    std::string_view name;
    std::uint8_t firstSlot;
};

inline constexpr std::array<PaneShapeAt, 1> kSmsPaneShapes{{{5, PaneShape::Box}}};
inline constexpr std::array<PaneShapeAt, 3> kContactPaneShapes{{
    {15, PaneShape::FewLines},
    {21, PaneShape::FewLines},
    {33, PaneShape::Box},
}};
inline constexpr std::array<std::uint8_t, 34> kContactPaneOrder = [] {
    std::array<std::uint8_t, 34> order{};
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::uint8_t>(i);
    std::swap(order[13], order[14]);
    return order;
}();
inline constexpr std::array<PaneTab, 5> kContactPaneTabs{{
    {"General", 0},
    {"Phone Numbers", 6},
    {"Addresses", 15},
    {"Other", 27},
    {"Notes", 33},
}};
inline constexpr std::array<PaneShapeAt, 1> kCalendarPaneShapes{{{5, PaneShape::Box}}};
inline constexpr std::array<PaneShapeAt, 1> kTaskPaneShapes{{{3, PaneShape::Box}}};
inline constexpr std::array<PaneShapeAt, 1> kMemoPaneShapes{{{1, PaneShape::Box}}};
inline constexpr std::array<PaneShapeAt, 6> kMailPaneShapes{{
    {0, PaneShape::Wrapped},
    {1, PaneShape::Wrapped},
    {2, PaneShape::Wrapped},
    {3, PaneShape::Wrapped},
    {4, PaneShape::Wrapped},
    {8, PaneShape::Box},
}};

constexpr PaneShape PaneShapeOf(std::span<const PaneShapeAt> shapes, std::size_t slot) {
    for (const PaneShapeAt& at : shapes) {
        if (at.slot == slot) return at.shape;
    }
    return PaneShape::Line;
}

// The name of the tab holding `slot`; "" for a kind without tabs.
constexpr std::string_view PaneTabOf(std::span<const PaneTab> tabs, std::size_t slot) {
    std::string_view name;
    for (const PaneTab& tab : tabs) {
        if (tab.firstSlot <= slot) name = tab.name;
    }
    return name;
}

// The row of a slot; the table's first row for a slot it lacks.
constexpr const FieldRow& FieldOf(std::span<const FieldRow> fields, std::size_t slot) {
    for (const FieldRow& field : fields) {
        if (field.slot == slot) return field;
    }
    return fields.front();
}

// The pane captions of a table, in slot order.
template <std::size_t N>
constexpr std::array<std::string_view, N> PaneCaptions(const std::array<FieldRow, N>& fields) {
    std::array<std::string_view, N> captions{};
    for (const FieldRow& field : fields) {
        if (field.slot < N) captions[field.slot] = field.pane;
    }
    return captions;
}

// The rows of a table that an export writes, in their order there: by `columnAt` for the text
// and CSV exports, by `jsonAt` for the JSON texts. `count` says how many of `rows` are used.
template <std::size_t N>
struct OrderedFields {
    std::array<FieldRow, N> rows{};
    std::size_t count = 0;
    constexpr std::span<const FieldRow> view() const { return {rows.data(), count}; }
};

template <std::size_t N>
constexpr OrderedFields<N> Ordered(const std::array<FieldRow, N>& fields,
                                   std::uint8_t FieldRow::*place) {
    OrderedFields<N> out;
    for (std::uint8_t at = 1; at <= N; ++at) {
        for (const FieldRow& field : fields) {
            if (field.*place == at) out.rows[out.count++] = field;
        }
    }
    return out;
}

}  // namespace orrelin
