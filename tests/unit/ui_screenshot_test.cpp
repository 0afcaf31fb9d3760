#include "app/screenshot.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/quill_shot_XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }
    std::string file(int n) const { return path_ + "/screenshot" + std::to_string(n) + ".png"; }

private:
    std::string path_;
};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// A still image with far more than 256 colours and random alpha, as a
// rendered scene has.
std::vector<uint8_t> random_frame(int w, int h, unsigned seed) {
    std::srand(seed);
    std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 4);
    for (uint8_t& b : frame) b = static_cast<uint8_t>(std::rand() & 0xFF);
    return frame;
}

struct Chunk {
    std::string type;
    std::string data;
};

std::vector<Chunk> png_chunks(const std::string& png) {
    std::vector<Chunk> chunks;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const auto* p = reinterpret_cast<const unsigned char*>(png.data() + at);
        const size_t length = (size_t{p[0]} << 24) | (size_t{p[1]} << 16) | (size_t{p[2]} << 8) | p[3];
        chunks.push_back({png.substr(at + 4, 4), png.substr(at + 8, length)});
        at += 12 + length;
    }
    return chunks;
}

}  // namespace

TEST(Screenshot, FirstFreeNumberIsTakenAndOthersAreLeftAlone) {
    TempDir dir;
    const std::vector<uint8_t> frame = random_frame(40, 30, 1);
    EXPECT_EQ(save_screenshot(frame.data(), 40, 30, dir.path().c_str()), 1);
    EXPECT_TRUE(exists(dir.file(1)));

    TempDir gaps;
    write_file(gaps.file(1), "one");
    write_file(gaps.file(3), "three");
    EXPECT_EQ(save_screenshot(frame.data(), 40, 30, gaps.path().c_str()), 2);
    EXPECT_EQ(save_screenshot(frame.data(), 40, 30, gaps.path().c_str()), 4);
    EXPECT_EQ(read_file(gaps.file(1)), "one");
    EXPECT_EQ(read_file(gaps.file(3)), "three");
    // The same still image saved twice gives two identical pictures.
    EXPECT_EQ(read_file(gaps.file(2)), read_file(gaps.file(4)));
}

TEST(Screenshot, ExistingNamesAreNeverWrittenThrough) {
    TempDir dir;
    // Unreadable, and a dangling link: both are taken, neither is touched.
    write_file(dir.file(1), "private");
    chmod(dir.file(1).c_str(), 0);
    const std::string target = dir.path() + "/elsewhere.png";
    ASSERT_EQ(symlink(target.c_str(), dir.file(2).c_str()), 0);

    const std::vector<uint8_t> frame = random_frame(8, 8, 2);
    EXPECT_EQ(save_screenshot(frame.data(), 8, 8, dir.path().c_str()), 3);
    chmod(dir.file(1).c_str(), 0644);
    EXPECT_EQ(read_file(dir.file(1)), "private");
    EXPECT_FALSE(exists(target));
}

TEST(Screenshot, NothingIsLeftWhenTheFileCannotBeWritten) {
    TempDir dir;
    const std::vector<uint8_t> frame = random_frame(64, 64, 3);

    EXPECT_EQ(save_screenshot(frame.data(), 64, 64, (dir.path() + "/missing").c_str()), 0);

    // A file size limit makes the write fail part-way: the claimed file goes.
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    void (*old_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int n = save_screenshot(frame.data(), 64, 64, dir.path().c_str());
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(n, 0);
    EXPECT_FALSE(exists(dir.file(1)));

    EXPECT_EQ(save_screenshot(nullptr, 64, 64, dir.path().c_str()), 0);
    EXPECT_EQ(save_screenshot(frame.data(), 0, 64, dir.path().c_str()), 0);
    EXPECT_FALSE(exists(dir.file(1)));
}

TEST(Screenshot, PictureIsUprightOpaqueAndFlipped) {
    const int w = 3, h = 2;
    // Bottom row first: red, green, blue / top row: white, black, grey.
    const uint8_t frame[] = {255, 0, 0, 7,   0, 255, 0, 0,  0, 0, 255, 128,
                             255, 255, 255, 1, 0, 0, 0, 99, 50, 60, 70, 200};
    const std::vector<uint8_t> image = screenshot_image(frame, w, h);
    const uint8_t expected[] = {255, 255, 255, 0, 0, 0,   50, 60, 70,
                                255, 0, 0,     0, 255, 0, 0, 0, 255};
    ASSERT_EQ(image.size(), sizeof expected);
    for (size_t i = 0; i < image.size(); ++i) EXPECT_EQ(image[i], expected[i]) << i;
}

TEST(Screenshot, PngIsRgbWithCommentAndIdTextsAndTheCapturedPixels) {
    TempDir dir;
    const int w = 97, h = 61;
    const std::vector<uint8_t> frame = random_frame(w, h, 4);
    ASSERT_EQ(save_screenshot(frame.data(), w, h, dir.path().c_str()), 1);
    const std::string png = read_file(dir.file(1));

    const std::vector<Chunk> chunks = png_chunks(png);
    ASSERT_FALSE(chunks.empty());
    ASSERT_EQ(chunks[0].type, "IHDR");
    const std::string& ihdr = chunks[0].data;
    auto be32 = [&](size_t at) {
        return (static_cast<unsigned>(static_cast<uint8_t>(ihdr[at])) << 24) |
               (static_cast<unsigned>(static_cast<uint8_t>(ihdr[at + 1])) << 16) |
               (static_cast<unsigned>(static_cast<uint8_t>(ihdr[at + 2])) << 8) |
               static_cast<uint8_t>(ihdr[at + 3]);
    };
    EXPECT_EQ(be32(0), static_cast<unsigned>(w));
    EXPECT_EQ(be32(4), static_cast<unsigned>(h));
    EXPECT_EQ(ihdr[8], 8);   // bit depth
    EXPECT_EQ(ihdr[9], 2);   // RGB
    EXPECT_EQ(ihdr[12], 0);  // not interlaced

    // Plain text chunks: the comment, then the library's own.
    std::vector<std::string> texts;
    for (const Chunk& c : chunks) {
        EXPECT_NE(c.type, "zTXt");
        EXPECT_NE(c.type, "iTXt");
        if (c.type == "tEXt") texts.push_back(c.data);
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], std::string("Comment\0Created with LodePNG", 28));
    EXPECT_EQ(texts[1], std::string("LodePNG\0", 8) + LODEPNG_VERSION_STRING);

    std::vector<unsigned char> decoded;
    unsigned dw = 0, dh = 0;
    ASSERT_EQ(lodepng::decode(decoded, dw, dh,
                              reinterpret_cast<const unsigned char*>(png.data()), png.size(),
                              LCT_RGB, 8),
              0u);
    ASSERT_EQ(dw, static_cast<unsigned>(w));
    ASSERT_EQ(dh, static_cast<unsigned>(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* src = &frame[(static_cast<size_t>(h - 1 - y) * w + x) * 4];
            const unsigned char* got = &decoded[(static_cast<size_t>(y) * w + x) * 3];
            ASSERT_EQ(got[0], src[0]) << x << "," << y;
            ASSERT_EQ(got[1], src[1]) << x << "," << y;
            ASSERT_EQ(got[2], src[2]) << x << "," << y;
        }
    }
}

// A picture of few colours (a dark view) is still written as 8-bit RGB.
TEST(Screenshot, FewColoursStayRgb) {
    const int w = 16, h = 16;
    std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 4, 0);
    for (int i = 0; i < 8; ++i) frame[static_cast<size_t>(i) * 4] = 200;  // a little red
    std::vector<uint8_t> png;
    ASSERT_EQ(encode_screenshot(png, screenshot_image(frame.data(), w, h), w, h), 0u);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png[24], 8);  // bit depth
    EXPECT_EQ(png[25], 2);  // RGB, not grey or palette
    std::fill(frame.begin(), frame.end(), 0);
    ASSERT_EQ(encode_screenshot(png, screenshot_image(frame.data(), w, h), w, h), 0u);
    EXPECT_EQ(png[25], 2);
}
