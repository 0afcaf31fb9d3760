// Screenshots: which file is written, what it holds, and that a failure
// leaves nothing behind.
#include "app/screenshot.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

struct TempDir {
    std::string path = mkdtemp(std::string("/tmp/quill_shot_XXXXXX").data());
    ~TempDir() { EXPECT_EQ(std::system(("rm -rf '" + path + "'").c_str()), 0); }
    std::string file(int n) const { return path + "/screenshot" + std::to_string(n) + ".png"; }
};

std::vector<unsigned char> bytes(const std::string& path) {
    std::vector<unsigned char> out;
    return lodepng::load_file(out, path), out;
}

}  // namespace

TEST(Screenshot, FirstFreeNumberAndNothingLeftBehind) {
    TempDir dir;
    std::vector<uint8_t> frame(64 * 64 * 4, 7);
    // Taken names stay untouched, even a dangling link.
    ASSERT_EQ(lodepng::save_file({'m', 'i', 'n', 'e'}, dir.file(1)), 0u);
    ASSERT_EQ(symlink((dir.path + "/elsewhere").c_str(), dir.file(3).c_str()), 0);
    for (int want : {2, 4, 5}) EXPECT_EQ(save_screenshot(frame.data(), 8, 8, dir.path.c_str()), want);
    EXPECT_TRUE(bytes(dir.file(1)) == std::vector<unsigned char>({'m', 'i', 'n', 'e'}) && bytes(dir.file(2)) == bytes(dir.file(5)));
    EXPECT_NE(access((dir.path + "/elsewhere").c_str(), F_OK), 0);
    // Failures: no directory, no frame, no size, and a write that a file size
    // limit stops part-way, whose claimed file goes again.
    EXPECT_EQ(save_screenshot(frame.data(), 64, 64, (dir.path + "/missing").c_str()), 0);
    EXPECT_EQ(save_screenshot(nullptr, 64, 64, dir.path.c_str()) + save_screenshot(frame.data(), 0, 64, dir.path.c_str()), 0);
    std::generate(frame.begin(), frame.end(), std::mt19937(4));  // hardly compressible
    struct rlimit old_limit, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    small = {100, old_limit.rlim_max};
    void (*old_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_EQ(save_screenshot(frame.data(), 64, 64, dir.path.c_str()), 0);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_NE(access(dir.file(6).c_str(), F_OK), 0);
}

TEST(Screenshot, PictureIsTheFrameUprightInRgb) {
    TempDir dir;
    const int w = 97, h = 61;
    std::vector<uint8_t> frame(w * h * 4), dark(16 * 16 * 4, 0);
    std::generate(frame.begin(), frame.end(), std::mt19937(4));  // many colours, random alpha
    ASSERT_EQ(save_screenshot(frame.data(), w, h, dir.path.c_str()), 1);
    std::vector<unsigned char> png = bytes(dir.file(1)), rgb, want;
    unsigned dw = 0, dh = 0;
    ASSERT_EQ(lodepng::decode(rgb, dw, dh, png, LCT_RGB, 8), 0u);
    EXPECT_TRUE(png[24] == 8 && png[25] == 2 && dw == unsigned(w) && dh == unsigned(h));  // 8-bit RGB
    for (int i = 0; i < w * h * 4; ++i)  // the frame is stored bottom row first
        if (i % 4 != 3) want.push_back(frame[size_t((h - 1 - i / (w * 4)) * w * 4 + i % (w * 4))]);
    EXPECT_TRUE(rgb == want);
    const std::vector<uint8_t> image = screenshot_image(frame.data(), w, h);
    for (size_t i = 3; i < image.size(); i += 4) ASSERT_EQ(image[i], 255) << i;
    // A picture of few colours (a dark view) is still 8-bit RGB.
    ASSERT_EQ(encode_screenshot(png, screenshot_image(dark.data(), 16, 16), 16, 16), 0u);
    EXPECT_TRUE(png[24] == 8 && png[25] == 2);
}
