#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ipd/fields.h"

namespace orrelin {
namespace {

// The fields of a run as "type:bytes" (with "/stated" for a cut one), in order.
std::string Walk(Bytes fields) {
    std::string out;
    FieldWalker walker(fields);
    while (auto field = walker.next()) {
        if (!out.empty()) out += ' ';
        out += std::to_string(field->type) + ':' + std::to_string(field->data.size());
        if (field->cut()) out += '/' + std::to_string(field->length);
    }
    return out;
}

// One case per way a damaged record's run can end; the map of first fields finds what the
// walk finds for every type.
TEST(FieldWalker, WalksRunsThatEndInEveryWay) {
    struct Case {
        std::vector<std::uint8_t> run;
        std::string fields;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{3, 0, 7, 'a', 'b', 'c', 2, 0, 7, 'd', 'e', 1, 0, 9, 'f'}, "7:3 7:2 9:1"},
        {{3, 0, 7, 'a', 'b', 'c', 2, 0}, "7:3"},                 // the next header cut short
        {{9, 0, 7, 'a', 'b'}, "7:2/9"},                          // a length past the end
        {{2, 0, 7, 'a', 'b', 5, 0, 7, 'c'}, "7:2 7:1/5"},        // the second one's too
        {{3, 0, 7, 'a', 'b', 'c', 0, 0, 7}, "7:3 7:0"},          // an empty field ends the run
        {{0, 0, 7, 0, 0, 7, 2, 0, 8, 'x', 'y'}, "7:0 7:0 8:2"},  // empty fields of one type
        {{1, 0, 7, 'a', 2, 0, 8, 'b', 'c', 1, 0, 7, 'd'}, "7:1 8:2 7:1"},
    };
    for (const Case& c : cases) {
        const Bytes fields(c.run.data(), c.run.size());
        EXPECT_EQ(Walk(fields), c.fields);
        const FieldMap map(fields);
        for (unsigned type = 0; type < 256; ++type) {
            const auto t = static_cast<std::uint8_t>(type);
            EXPECT_EQ(map.find(t).data(), FindField(fields, t).data()) << c.fields << " " << type;
            EXPECT_EQ(map.find(t).size(), FindField(fields, t).size());
            EXPECT_EQ(map.findSecond(t).size(), FindSecondField(fields, t).size());
            EXPECT_EQ(map.findSecond(t).data(), FindSecondField(fields, t).data())
                << c.fields << " second " << type;
        }
    }
}

}  // namespace
}  // namespace orrelin
