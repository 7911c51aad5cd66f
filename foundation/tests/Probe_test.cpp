#include <gtest/gtest.h>
int mrvProbe();
TEST(Probe, Works) { EXPECT_EQ(42, mrvProbe()); }
