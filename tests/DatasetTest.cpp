#include <gtest/gtest.h>
#include "datfile/Dataset.h"
TEST(Dataset, placeholder) { kestrane::Dataset d; EXPECT_FALSE(d.fileLoaded); }
