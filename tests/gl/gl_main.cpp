#include "support/xvfb.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    install_shared_xvfb_environment();
    return RUN_ALL_TESTS();
}
