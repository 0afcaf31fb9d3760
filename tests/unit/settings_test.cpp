// The forgiving settings reader: what a player may write in settings.ini and
// what the game makes of it.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

Settings settings_from(const std::string& file) {
    auto text = std::make_unique<SettingsText>();
    parse_settings_text(*text, file.data(), file.size());
    Settings settings;
    apply_settings(settings, *text);
    return settings;
}

float width_from(const std::string& file) { return settings_from(file).screen_width; }

// A scratch file that removes itself.
struct TempPath {
    std::string path;
    TempPath() {
        char name[] = "/tmp/quill-settings-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path = name;
    }
    ~TempPath() { std::remove(path.c_str()); }
    void write(const std::string& bytes) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
};

}  // namespace

TEST(Settings, CompleteFileSetsEveryKeyInAnyOrder) {
    Settings s = settings_from(
        "[video]\r\n"
        "mipmapping = 1\r\n"
        "screenh = 768\r\n"
        "# a comment\r\n"
        "screenw = 1024\r\n"
        "screenbpp = 32\r\n"
        "fullscreen = 0\r\n"
        "showcursor = 1\r\n"
        "antialiasing = 1");
    EXPECT_EQ(s.screen_width, 1024.0f);
    EXPECT_EQ(s.screen_height, 768.0f);
    EXPECT_EQ(s.screen_bpp, 32);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_TRUE(s.show_cursor);
    EXPECT_TRUE(s.antialiasing);
    EXPECT_TRUE(s.mipmapping);
    EXPECT_EQ(s.aspect_ratio, 1024.0f / 768.0f);
}

TEST(Settings, MissingFileReadsAsAllZeros) {
    auto text = std::make_unique<SettingsText>();
    read_settings_file(*text, "/nonexistent/settings.ini");
    EXPECT_EQ(text->settings_line_count, 0);
    Settings s;
    s.fullscreen = true;
    apply_settings(s, *text);
    EXPECT_EQ(s.screen_width, 0.0f);
    EXPECT_EQ(s.screen_height, 0.0f);
    EXPECT_EQ(s.screen_bpp, 0);
    EXPECT_FALSE(s.fullscreen || s.show_cursor || s.antialiasing || s.mipmapping);
    // 0 / 0 until the video set-up puts the desktop's size in.
    EXPECT_TRUE(std::isnan(s.aspect_ratio));
}

TEST(Settings, DirectoryReadsAsMissingFile) {
    auto text = std::make_unique<SettingsText>();
    read_settings_file(*text, "/tmp");
    EXPECT_EQ(text->settings_line_count, 0);
    EXPECT_EQ(setting_value(*text, "screenw"), 0.0f);
}

TEST(Settings, FileIsReadFromDisk) {
    TempPath file;
    file.write("screenw = 800\nscreenh = 600\nfullscreen = 1\n");
    Settings s;
    load_settings(s, file.path.c_str());
    EXPECT_EQ(s.screen_width, 800.0f);
    EXPECT_EQ(s.screen_height, 600.0f);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(s.aspect_ratio, 800.0f / 600.0f);
}

TEST(Settings, LastMatchingLineWins) {
    EXPECT_EQ(width_from("screenw = 800\nscreenh = 600\nscreenw = 640\n"), 640.0f);
}

TEST(Settings, SpacesAnywhereAreRemovedButOtherLeadsAreNot) {
    EXPECT_EQ(width_from("  scr eenw =  1 0 2 4  \n"), 1024.0f);
    EXPECT_EQ(width_from("#screenw = 1024\n"), 0.0f);
    EXPECT_EQ(width_from(";screenw = 1024\n"), 0.0f);
    EXPECT_EQ(width_from("\tscreenw = 1024\n"), 0.0f);
    EXPECT_EQ(width_from("Screenw = 1024\n"), 0.0f);
    EXPECT_EQ(width_from("screenwidth = 1024\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = \n"), 0.0f);
    // A tab after the equals sign is white space atof skips.
    EXPECT_EQ(width_from("screenw =\t800\n"), 800.0f);
}

TEST(Settings, ValuesAreReadAsAtofDoes) {
    EXPECT_EQ(width_from("screenw = 1024px\n"), 1024.0f);
    EXPECT_EQ(width_from("screenw = 1024 # wide\n"), 1024.0f);
    EXPECT_EQ(width_from("screenw = +5e2\n"), 500.0f);
    EXPECT_EQ(width_from("screenw = wide\n"), 0.0f);
    EXPECT_EQ(settings_from("screenbpp = 16.9\n").screen_bpp, 16);
    EXPECT_EQ(settings_from("screenbpp = -16.9\n").screen_bpp, -16);
}

TEST(Settings, AnyNonZeroNumberSwitchesABooleanOn) {
    EXPECT_TRUE(settings_from("fullscreen = 2\n").fullscreen);
    EXPECT_TRUE(settings_from("fullscreen = -1\n").fullscreen);
    EXPECT_TRUE(settings_from("fullscreen = 0.5\n").fullscreen);
    EXPECT_FALSE(settings_from("fullscreen = 0.0\n").fullscreen);
    EXPECT_FALSE(settings_from("fullscreen = -0\n").fullscreen);
    EXPECT_FALSE(settings_from("fullscreen = yes\n").fullscreen);
}

TEST(Settings, OnlyTheFirstHundredLinesCount) {
    std::string file;
    for (int line = 1; line <= 150; ++line) {
        if (line == 100) {
            file += "screenh = 480\n";
        } else if (line == 101) {
            file += "screenw = 640\n";
        } else if (line == 150) {
            file += "fullscreen = 1\n";
        } else {
            file += "# filler\n";
        }
    }
    Settings s = settings_from(file);
    EXPECT_EQ(s.screen_height, 480.0f);
    EXPECT_EQ(s.screen_width, 0.0f);
    EXPECT_FALSE(s.fullscreen);
}

TEST(Settings, OverlongLineKeepsItsStartAndEndsTheReading) {
    std::string longest(255 - 12, '0');
    // 255 characters exactly, ended by CR LF: still a line.
    auto text = std::make_unique<SettingsText>();
    std::string ok = "screenw=" + longest + "1024\r\nscreenh=600\n";
    parse_settings_text(*text, ok.data(), ok.size());
    EXPECT_EQ(std::string(text->settings_lines[0]).size(), 255u);
    EXPECT_EQ(setting_value(*text, "screenw"), 1024.0f);
    EXPECT_EQ(setting_value(*text, "screenh"), 600.0f);

    // One character more: the first 255 stay, everything after is ignored.
    std::string overlong = "screenw=" + longest + "10245\nscreenh=600\n";
    parse_settings_text(*text, overlong.data(), overlong.size());
    EXPECT_EQ(text->settings_line_count, 100);
    EXPECT_EQ(setting_value(*text, "screenw"), 1024.0f);
    EXPECT_EQ(setting_value(*text, "screenh"), 0.0f);
    EXPECT_STREQ(text->settings_lines[1], "");
}

TEST(Settings, SpacesCountTowardsTheLineLengthBeforeRemoval) {
    std::string padded = "screenw = 640" + std::string(300, ' ') + "\nscreenh = 480\n";
    Settings s = settings_from(padded);
    EXPECT_EQ(s.screen_width, 640.0f);
    EXPECT_EQ(s.screen_height, 0.0f);
}

TEST(Settings, LoneCarriageReturnStaysAndNulEndsTheLine) {
    auto text = std::make_unique<SettingsText>();
    std::string file("screenw=12\0 34\nscreenh=5\rscreenbpp=9\nshowcursor=1", 49);
    parse_settings_text(*text, file.data(), file.size());
    EXPECT_STREQ(text->settings_lines[0], "screenw=12");
    EXPECT_STREQ(text->settings_lines[1], "screenh=5\rscreenbpp=9");
    EXPECT_STREQ(text->settings_lines[2], "showcursor=1");
    EXPECT_EQ(setting_value(*text, "screenw"), 12.0f);
    EXPECT_EQ(setting_value(*text, "screenh"), 5.0f);
    EXPECT_EQ(setting_value(*text, "screenbpp"), 0.0f);
    EXPECT_EQ(setting_value(*text, "showcursor"), 1.0f);
}

// Values no int or float can hold would make the window set-up's
// conversions undefined; they read as if the key were absent.
TEST(Settings, UnusableNumbersReadAsAbsent) {
    EXPECT_EQ(width_from("screenw = nan\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = inf\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = -infinity\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = 1e39\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = 3e9\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = -3e9\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = 800\nscreenw = nan\n"), 0.0f);
    EXPECT_EQ(width_from("screenw = 2147483520\n"), 2147483520.0f);
    EXPECT_EQ(settings_from("screenbpp = 1e10\n").screen_bpp, 0);
    EXPECT_EQ(settings_from("screenbpp = -2147483648\n").screen_bpp, -2147483647 - 1);
    EXPECT_FALSE(settings_from("fullscreen = nan\n").fullscreen);
    EXPECT_TRUE(settings_from("fullscreen = 1e30\n").fullscreen);
    Settings s = settings_from("screenw = nan\nscreenh = inf\n");
    EXPECT_EQ(s.screen_width, 0.0f);
    EXPECT_EQ(s.screen_height, 0.0f);
}

TEST(Settings, ReadingStopsAtTheReadLimit) {
    // Megabytes of one line: only the first 255 characters are kept and the
    // rest is never read.
    TempPath file;
    file.write("screenw=640" + std::string(4 << 20, '7') + "\nscreenh=480\n");
    auto text = std::make_unique<SettingsText>();
    read_settings_file(*text, file.path.c_str());
    EXPECT_EQ(text->settings_line_count, 100);
    EXPECT_EQ(std::string(text->settings_lines[0]).size(), 255u);
    EXPECT_EQ(setting_value(*text, "screenh"), 0.0f);
}

TEST(Settings, HundredFullLinesWithCrLfFitTheReadLimit) {
    std::string file;
    for (int line = 1; line <= 99; ++line) file += std::string(255, 'x') + "\r\n";
    file += "screenw=" + std::string(255 - 8 - 3, '0') + "640\r\n";
    ASSERT_EQ(file.size(), settings_read_limit);
    TempPath path;
    path.write(file + "screenh=480\n");
    auto text = std::make_unique<SettingsText>();
    read_settings_file(*text, path.path.c_str());
    EXPECT_EQ(setting_value(*text, "screenw"), 640.0f);
    EXPECT_EQ(setting_value(*text, "screenh"), 0.0f);
}

TEST(Settings, ShippedFileAsksForA1024By768Window) {
    Settings s;
    load_settings(s, QUILL_SOURCE_DIR "/settings.ini");
    EXPECT_EQ(s.screen_width, 1024.0f);
    EXPECT_EQ(s.screen_height, 768.0f);
    EXPECT_EQ(s.screen_bpp, 0);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_FALSE(s.show_cursor);
    EXPECT_FALSE(s.antialiasing);
}
