#include <gtest/gtest.h>

#include "ipd/hex.h"

namespace orrelin {
namespace {

TEST(HexToLong, ReadsTheLastEightDigitsAsTwosComplement) {
    EXPECT_EQ(HexToLong(""), 0);
    EXPECT_EQ(HexToLong("1FF"), 511);
    EXPECT_EQ(HexToLong("123456789"), HexToLong("23456789"));
    EXPECT_EQ(HexToLong("FFFFFFFF"), -1);
    EXPECT_FALSE(HexToLong("0G").has_value());
}

}  // namespace
}  // namespace orrelin
