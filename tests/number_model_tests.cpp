#include <gtest/gtest.h>
#include "winding/number_model.h"
TEST(number_model, placeholder) { EXPECT_EQ(winding::round_extended_to_int64(2.5L), 2); }
