#include "scripts.h"

#include <array>
#include <string_view>

#include "records.h"

namespace orrelin::ipdgen {
namespace {

struct Person {
    std::u16string_view first;
    std::u16string_view last;
    std::u16string_view company;
    std::u16string_view city;
    std::u16string_view notes;
    std::string_view mobile;
    std::string_view work;
};

constexpr std::array<Person, 5> kPeople{{
    {u"ليلى", u"حداد", u"شركة الأرز للشحن", u"بيروت",
     u"التقينا في معرض دبي، تفضل الاتصال بعد العاشرة صباحا.", "+9613555019", "+9611555014"},
    {u"Ελένη", u"Παπαδοπούλου", u"Ναυτιλιακή Αιγαίου", u"Αθήνα",
     u"Γνωριστήκαμε στην έκθεση του Πειραιά. Προτιμά μηνύματα ηλεκτρονικού ταχυδρομείου.",
     "+306945550123", ""},
    {u"小明", u"王", u"长城贸易有限公司", u"北京", u"下午三点以后打电话，周末不在办公室。",
     "+8613800138000", "+861065550100"},
    {u"花子", u"田中", u"株式会社さくら", u"東京", u"桜の季節に会いましょう 🌸", "+819012345678",
     ""},
    {u"지민", u"김", u"한강 물산", u"서울", u"회의는 목요일 오후입니다.", "+821012345678",
     "+8225550199"},
}};

}  // namespace

ByteVector BuildScriptsSample() {
    IpdBuilder ipd;
    const std::uint16_t addressBook = ipd.database("Address Book");
    std::uint16_t handle = 1;
    for (const Person& person : kPeople) {
        FieldList fields;
        fields.utf16(160, person.first)
            .utf16(160, person.last)
            .utf16(161, person.company)
            .utf16(166, person.city)
            .text(8, person.mobile);
        if (!person.work.empty()) fields.text(6, person.work);
        fields.utf16(192, person.notes);
        ipd.record(addressBook, fields.bytes(), handle, UniqueId(addressBook, handle),
                   kContactVersion);
        ++handle;
    }
    return ipd.build();
}

}  // namespace orrelin::ipdgen
