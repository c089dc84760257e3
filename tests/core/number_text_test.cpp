#include "number_text.h"
#include <gtest/gtest.h>
TEST(Placeholder, Builds) { EXPECT_EQ(varnholt::readIntegerText("08"), 8); }
