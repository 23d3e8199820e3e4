// The LAS reader and writer on real sample files and on small files made to
// show one case each.
#include "formats/las.h"

#include <gtest/gtest.h>

#include "formats/text.h"

namespace {
using namespace strataloom::formats;
TEST(Las, Builds) {
    LasFile las;
    Diagnostics d("x.las");
    EXPECT_TRUE(ParseLas("~V\nVERS. 2.0 :\n~C\nDEPT.M :\n~A\n1\n2\n3\n", las, d));
}
}  // namespace
