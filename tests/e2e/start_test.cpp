#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Placeholder until the window tests land: the binary exists.
TEST(Start, BinaryIsBuilt) {
    std::string cmd = std::string("test -x '") + QUILL_BINARY + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}
