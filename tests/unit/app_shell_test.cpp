// The app shell's logic: the settings reader, frame pacing, the pause screen and the screenshots it saves.
#include "app/pacing.h"
#include "app/pause.h"
#include "app/screenshot.h"
#include "app/settings.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

enum Field { W, H, BPP, FULL, CURSOR, AA, MIP };

std::array<float, 7> settings_from(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    Settings s;
    load_settings(s, path.c_str());
    return {s.screen_width,       s.screen_height,       float(s.screen_bpp), float(s.fullscreen),
            float(s.show_cursor), float(s.antialiasing), float(s.mipmapping)};
}

std::string repeat(int n, const std::string& line) { return n > 0 ? line + repeat(n - 1, line) : ""; }

struct TempDir {
    std::string path = mkdtemp(std::string("/tmp/quill_test_XXXXXX").data());
    ~TempDir() { EXPECT_EQ(std::system(("rm -rf '" + path + "'").c_str()), 0); }
    std::string file(int n) const { return path + "/screenshot" + std::to_string(n) + ".png"; }
    std::vector<unsigned char> bytes(int n) const { std::vector<unsigned char> b; lodepng::load_file(b, file(n)); return b; }
};

}  // namespace

// What a player may write in settings.ini and what the game makes of it.
TEST(Settings, FileTextGivesValues) {
    const std::string full = "[video]\r\nmipmapping = 1\r\nscreenh = 768\r\n# a comment\r\nscreenw = 1024\r\n"
                             "screenbpp = 32\r\nfullscreen = 0\r\nshowcursor = 1\r\nantialiasing = 1";
    const std::string pad(243, '0'), cut = "screenw=" + pad + "10245\nscreenh=600\n";
    const std::string limit = repeat(99, std::string(255, 'x') + "\r\n") + "screenw=" + pad + "0640\r\nscreenh=480\n";
    const struct { std::string text; Field field; float want; } rows[] = {
        {full, W, 1024}, {full, H, 768}, {full, BPP, 32}, {full, FULL, 0}, {full, CURSOR, 1}, {full, AA, 1},
        {full, MIP, 1}, {"  scr eenw =  1 0 2 4  \n", W, 1024},  // spaces go anywhere, but nothing else may lead
        {"#screenw = 1024\n", W, 0}, {"\tscreenw = 1024\n", W, 0}, {"screenwidth = 1024\n", W, 0},
        // As atof reads them; whole numbers truncate; any non-zero is on; what no float or int holds is absent.
        {"screenw =\t800\n", W, 800}, {"screenw = 1024px\n", W, 1024}, {"screenw = +5e2\n", W, 500},
        {"screenbpp = 16.9\n", BPP, 16}, {"screenbpp = -16.9\n", BPP, -16}, {"fullscreen = 0.5\n", FULL, 1},
        {"fullscreen = -0\n", FULL, 0}, {"fullscreen = yes\n", FULL, 0},
        {"screenw = nan\n", W, 0}, {"screenw = 1e39\n", W, 0}, {"screenw = 2147483648\n", W, 0}, {"screenh = -3e9\n", H, 0},
        {"screenw = 2147483520\n", W, 2147483520.0f},
        {"screenbpp = 1e10\n", BPP, 0}, {"screenbpp = -2147483648\n", BPP, -2147483648.0f},
        {"fullscreen = nan\n", FULL, 0}, {"fullscreen = 1e30\n", FULL, 1},
        // The last line wins, even an unusable one; only the first 100 lines count.
        {"screenw = 800\nscreenh = 600\nscreenw = 640\n", W, 640}, {"screenw = 800\nscreenw = nan\n", W, 0},
        {repeat(99, "#\n") + "screenh = 480\n", H, 480}, {repeat(100, "#\n") + "screenw = 640\n", W, 0},
        // 255 characters to a line, spaces counted; a longer one keeps its start and ends the reading.
        {"screenw=" + pad + "1024\r\nscreenh=600\n", H, 600}, {cut, W, 1024}, {cut, H, 0},
        {"screenw = 640" + std::string(300, ' ') + "\nscreenh = 480\n", H, 0}, {limit, W, 640}, {limit, H, 0},  // all read
        // A NUL ends what a line shows; a lone carriage return stays in it.
        {std::string("screenw=12\0 34\n", 15), W, 12}, {"screenh=5\rscreenbpp=9\n", H, 5},
        {"screenh=5\rscreenbpp=9\n", BPP, 0}};
    const TempDir dir;
    for (const auto& r : rows) EXPECT_EQ(settings_from(dir.path + "/s.ini", r.text)[r.field], r.want) << r.text.substr(0, 9);
    for (const char* missing : {"/nonexistent/settings.ini", "/tmp"})  // a directory reads as a missing file
        EXPECT_EQ(settings_from(missing, ""), (std::array<float, 7>{})) << missing;
}

// Digits alone that an unsigned holds are the seed; anything else, such as a file a desktop hands on, is not.
TEST(Settings, SeedArgumentIsDigitsAlone) {
    for (auto [text, seed] : {std::pair{"7", 7u}, {"0", 0u}, {"0042", 42u}, {"4294967295", 4294967295u},
                              {"4294967296", 1u}, {"99999999999999999999999", 1u}, {"", 1u}, {"+7", 1u}, {"-1", 1u},
                              {" 7", 1u}, {"7 ", 1u}, {"12abc", 1u}, {"/home/player/world.png", 1u}})
        EXPECT_EQ(seed_argument(text, 1), seed) << text;
}

TEST(Pacing, FramesLastAtLeastSixteenTicks) {
    const struct { uint32_t last, now, delay; int32_t frame; float fps; } rows[] = {
        {1000, 1005, 11, 16, 62.5f}, {1000, 1016, 0, 16, 62.5f}, {1000, 1040, 0, 40, 25.0f}, {0, 2500, 0, 2500, 0.4f},
        {0xFFFFFFF0u, 0x10u, 0, 32, 31.25f}, {100, 90, 26, 16, 62.5f}};  // the counter wraps; a clock behind
    for (const auto& r : rows) {
        const FrameStep step = step_frame(r.last, r.now);
        EXPECT_TRUE(step.delay_ms == r.delay && step.frame_ms == r.frame && step.fps == r.fps) << r.now;
        EXPECT_EQ(step.last_frame_ticks, r.last + uint32_t(r.frame)) << r.now;
    }
    const float speeds[][2] = {{0, 2}, {20, 2}, {30, 2}, {60, 1}, {62.5f, 0.96f}, {200, .3f}, {300, .2f}, {1e3f, .2f}};
    for (const auto& s : speeds) EXPECT_EQ(speed_from_fps(s[0]), s[1]) << s[0];
}

// A day on the 12-hour dial, and dates through the ordinals' exceptions.
TEST(Pacing, ClockAndDateTexts) {
    const struct { int hour, minute, second, weekday, day, month; const char *clock, *date; } rows[] = {
        {0, 5, 7, 0, 1, 0, "12:05:07 AM", "Sunday January 1st 2025"},
        {11, 59, 59, 2, 3, 2, "11:59:59 AM", "Tuesday March 3rd 2025"},
        {12, 0, 7, 3, 11, 5, "12:00:07 PM", "Wednesday June 11th 2025"},
        {13, 10, 9, 1, 12, 8, "1:10:09 PM", "Monday September 12th 2025"},
        {21, 5, 7, 5, 22, 11, "9:05:07 PM", "Friday December 22nd 2025"},
        {23, 59, 7, 6, 31, 7, "11:59:07 PM", "Saturday August 31st 2025"},
        {6, 7, 8, 7, 0, 12, "6:07:08 AM", "   2025"}};  // fields past the calendar give empty words
    for (const auto& r : rows) {
        std::tm time{};
        time.tm_hour = r.hour, time.tm_min = r.minute, time.tm_sec = r.second;
        time.tm_wday = r.weekday, time.tm_mday = r.day, time.tm_mon = r.month, time.tm_year = 125;
        char clock[256], date[256];
        format_clock_text(clock, sizeof clock, time);
        format_date_text(date, sizeof date, time);
        EXPECT_EQ(std::string(clock) + " / " + date, std::string(r.clock) + " / " + r.date);
    }
}

// 'E' is a pass with Escape pressed, '.' one without; 'R' is "Resume game".
TEST(Pause, EscapeSequences) {
    const std::string open = "E" + std::string(19, '.'), closed = open + "E" + std::string(19, '.');
    const struct { std::string keys; float rate, fade; bool open; int captures, redraws; } rows[] = {
        // The pass in which Escape is pressed still ran the game: captured, not redrawn.
        {"E", 1, 5, true, 1, 0}, {"E" + std::string(18, '.'), 1, 95, true, 1, 18}, {open + "...", 1, 100, true, 1, 22},
        {open + "E", 1, 95, false, 1, 20}, {closed, 1, 0, false, 1, 39},
        {closed + "..E", 1, 5, true, 2, 39},  // running again: nothing redrawn, and Escape captures anew
        // Escape while the menu slides out reverses it and keeps the still image.
        {open + "E.......E", 1, 65, true, 1, 28}, {"E.....R..E", 1, 25, true, 1, 8},
        {"E", 0.5f, 2.5f, true, 1, 0}, {"EE", 1000, 0, false, 1, 1}, {"E", NAN, 0, true, 1, 0}};
    for (const auto& row : rows) {
        PauseState pause;
        int captures = 0, redraws = 0;
        for (char key : row.keys) {
            pause.pause_open = pause.pause_open && key != 'R';
            const PauseStep step = key == 'R' ? PauseStep{} : advance_pause(pause, key == 'E', row.rate);
            captures += step.capture, redraws += step.redraw;
        }
        EXPECT_TRUE(pause.pause_fade == row.fade && pause.pause_open == row.open) << row.keys << " " << row.rate;
        EXPECT_TRUE(captures == row.captures && redraws == row.redraws) << row.keys << " " << row.rate;
    }
}

TEST(Pause, ButtonAnswersThirteenPixelsAroundIt) {
    const ButtonRect r = button_rect(512, 259, 300, 15, true);
    const int right = r.left + 299, bottom = r.top + 14;  // its last pixels
    EXPECT_TRUE(r.left == 512 - 150 && r.top == 259 - 7);
    const struct { int x, y; bool hovered; } rows[] = {
        {r.left - 13, 259, true}, {r.left - 14, 259, false}, {right + 13, 259, true}, {right + 14, 259, false},
        {512, r.top - 13, true},  {512, r.top - 14, false},  {512, bottom + 13, true}, {512, bottom + 14, false}};
    for (const auto& row : rows) EXPECT_EQ(button_hovered(r, row.x, row.y), row.hovered) << row.x << "," << row.y;
    for (const char* label : {"Exit", "Save screenshot"}) {  // its 20-pixel cells centred on the button
        int x = 0, y = 0;
        button_label_pen(r, label, x, y);
        EXPECT_LE(std::abs(2 * x + 10 * int(std::strlen(label)) - (2 * r.left + r.width)), 1) << label;
        EXPECT_LE(std::abs(2 * y + 20 - (2 * r.top + r.height)), 1) << label;
    }
    EXPECT_TRUE(frozen_frame_bytes(4097, 4097) == 67141636 && frozen_frame_bytes(0, 7) + frozen_frame_bytes(-1, 7) == 0);
}

TEST(Screenshot, FirstFreeNumberAndNothingLeftBehind) {
    TempDir dir;
    std::vector<uint8_t> frame(64 * 64 * 4, 7);
    // Taken names stay untouched, even a dangling link; a window one row high is saved too.
    ASSERT_EQ(lodepng::save_file({'m', 'i', 'n', 'e'}, dir.file(1)), 0u);
    ASSERT_EQ(symlink((dir.path + "/elsewhere").c_str(), dir.file(3).c_str()), 0);
    for (int want : {2, 4, 5}) EXPECT_EQ(save_screenshot(frame.data(), 8, want == 4 ? 1 : 8, dir.path.c_str()), want);
    EXPECT_TRUE(dir.bytes(1) == std::vector<unsigned char>({'m', 'i', 'n', 'e'}) && dir.bytes(2) == dir.bytes(5));
    EXPECT_NE(access((dir.path + "/elsewhere").c_str(), F_OK), 0);
    EXPECT_EQ(save_screenshot(frame.data(), 64, 64, (dir.path + "/missing").c_str()), 0);  // failures leave nothing
    EXPECT_EQ(save_screenshot(nullptr, 8, 8, dir.path.c_str()) + save_screenshot(&frame[0], 0, 8, dir.path.c_str()), 0);
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
    const TempDir dir;
    const int w = 97, h = 61;
    // Few colours (as in a dark view), where an encoder left to choose would write grey or a palette.
    std::vector<uint8_t> frame(w * h * 4);
    std::generate(frame.begin(), frame.end(), [r = std::mt19937(4)]() mutable { return uint8_t(r() % 2 * 200); });
    ASSERT_EQ(save_screenshot(frame.data(), w, h, dir.path.c_str()), 1);
    std::vector<unsigned char> png = dir.bytes(1), rgb, want;
    unsigned dw, dh;
    ASSERT_EQ(lodepng::decode(rgb, dw, dh, png, LCT_RGB, 8), 0u);
    EXPECT_TRUE(png[24] == 8 && png[25] == 2 && dw == unsigned(w) && dh == unsigned(h));  // 8-bit RGB
    for (int i = 0; i < w * h * 4; ++i)  // the frame is stored bottom row first
        if (i % 4 != 3) want.push_back(frame[size_t((h - 1 - i / (w * 4)) * w * 4 + i % (w * 4))]);
    EXPECT_TRUE(rgb == want);
}
