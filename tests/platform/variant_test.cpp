#include "platform/variant.h"
#include "platform/runtimeerror.h"
#include <gtest/gtest.h>
TEST(Variant, placeholder) { EXPECT_EQ(platform::Variant(std::int32_t(3)).toString(), QString("3")); }
