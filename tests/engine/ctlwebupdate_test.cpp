#include "update/engine/ctlwebupdate.h"
#include <gtest/gtest.h>
TEST(CtlWebUpdate, placeholder) { ctlWebUpdate c; EXPECT_FALSE(c.AutoRun()); }
