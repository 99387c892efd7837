#include <gtest/gtest.h>

#include <vector>

#include "decoders/field_map.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

using FieldRun = std::vector<std::uint8_t>;

// One walk finds what FindField finds, for every type in both modes, on runs that end in every
// way a damaged record can: whole, cut inside a header, a length past the end, a length that
// reaches the end exactly, repeated types and a second field of another type.
TEST(FieldMap, FindsWhatFindFieldFindsForEveryType) {
    const std::vector<FieldRun> runs = {
        {},
        {3, 0, 7, 'a', 'b', 'c'},
        {3, 0, 7, 'a', 'b', 'c', 2, 0, 7, 'd', 'e', 1, 0, 9, 'f'},
        {3, 0, 7, 'a', 'b', 'c', 1, 0, 9, 'x', 2, 0, 7, 'd', 'e'},
        {3, 0, 7, 'a', 'b', 'c', 2, 0},                   // the next header cut short
        {3, 0, 7, 'a', 'b', 'c', 2},                      // one byte of it
        {9, 0, 7, 'a', 'b'},                              // a length past the end
        {2, 0, 7, 'a', 'b', 5, 0, 7, 'c'},                // the second one's too
        {3, 0, 7, 'a', 'b', 'c', 0, 0, 7},                // an empty field ends the run
        {0, 0, 7, 0, 0, 7, 2, 0, 8, 'x', 'y'},            // empty fields of one type
        {1, 0, 7, 'a', 2, 0, 8, 'b', 'c', 1, 0, 7, 'd'},  // the type again, not next
        {0xFF, 0xFF, 200, 'a'},
    };
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const Bytes fields(runs[r].data(), runs[r].size());
        const FieldMap map(fields);
        for (unsigned type = 0; type < 256; ++type) {
            const auto t = static_cast<std::uint8_t>(type);
            for (int mode : {0, 2}) {
                const Bytes want = FindField(fields, t, mode);
                const Bytes got = mode == 2 ? map.findSecond(t) : map.find(t);
                EXPECT_TRUE(got.data() == want.data() || want.empty())
                    << "run " << r << " type " << type << " mode " << mode;
                EXPECT_EQ(got.size(), want.size())
                    << "run " << r << " type " << type << " mode " << mode;
            }
        }
    }
}

}  // namespace
}  // namespace orrelin
