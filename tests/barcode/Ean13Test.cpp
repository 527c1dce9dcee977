#include <gtest/gtest.h>
#include "barcode/Bcchksum.h"
TEST(CheckSumModulo10, Basic) { EXPECT_EQ(CheckSumModulo10("123456789012"), "1234567890128"); }
