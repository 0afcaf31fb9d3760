// The forgiving settings reader: what a player may write in settings.ini and
// what the game makes of it, read from disk as the game reads it.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <unistd.h>

namespace {

enum Field { W, H, BPP, FULL, CURSOR, AA, MIP };

std::array<float, 7> fields(const char* path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    Settings s;
    load_settings(s, path);
    return {s.screen_width,       s.screen_height,       float(s.screen_bpp), float(s.fullscreen),
            float(s.show_cursor), float(s.antialiasing), float(s.mipmapping)};
}

std::string repeat(int n, const std::string& line) { return n > 0 ? line + repeat(n - 1, line) : ""; }

}  // namespace

TEST(Settings, FileTextGivesValues) {
    const std::string full = "[video]\r\nmipmapping = 1\r\nscreenh = 768\r\n# a comment\r\nscreenw = 1024\r\n"
                             "screenbpp = 32\r\nfullscreen = 0\r\nshowcursor = 1\r\nantialiasing = 1";
    const std::string pad(243, '0'), cut = "screenw=" + pad + "10245\nscreenh=600\n";
    // 100 lines of 255 characters with CR LF: exactly what is ever read.
    const std::string limit = repeat(99, std::string(255, 'x') + "\r\n") + "screenw=" + pad + "0640\r\nscreenh=480\n";
    const struct { std::string file; Field field; float want; } rows[] = {
        {full, W, 1024}, {full, H, 768}, {full, BPP, 32}, {full, FULL, 0}, {full, CURSOR, 1}, {full, AA, 1},
        {full, MIP, 1}, {"  scr eenw =  1 0 2 4  \n", W, 1024},  // spaces go anywhere, but nothing else may lead
        {"#screenw = 1024\n", W, 0}, {"\tscreenw = 1024\n", W, 0}, {"Screenw = 1024\n", W, 0},
        {"screenwidth = 1024\n", W, 0}, {"screenw = \n", W, 0}, {"screenw =\t800\n", W, 800},
        // Values as atof reads them; whole numbers truncate; any non-zero is on.
        {"screenw = 1024px\n", W, 1024}, {"screenw = +5e2\n", W, 500}, {"screenw = wide\n", W, 0},
        {"screenbpp = 16.9\n", BPP, 16}, {"screenbpp = -16.9\n", BPP, -16}, {"fullscreen = 0.5\n", FULL, 1},
        {"fullscreen = -0\n", FULL, 0}, {"fullscreen = yes\n", FULL, 0},
        // Numbers no float or int can hold read as absent.
        {"screenw = nan\n", W, 0}, {"screenw = -infinity\n", W, 0}, {"screenw = 1e39\n", W, 0},
        {"screenw = 3e9\n", W, 0}, {"screenh = -3e9\n", H, 0}, {"screenw = 2147483520\n", W, 2147483520.0f},
        {"screenbpp = 1e10\n", BPP, 0}, {"screenbpp = -2147483648\n", BPP, -2147483648.0f},
        {"fullscreen = nan\n", FULL, 0}, {"fullscreen = 1e30\n", FULL, 1},
        // The last line wins, even an unusable one; only the first 100 lines count.
        {"screenw = 800\nscreenh = 600\nscreenw = 640\n", W, 640}, {"screenw = 800\nscreenw = nan\n", W, 0},
        {repeat(99, "#\n") + "screenh = 480\n", H, 480}, {repeat(100, "#\n") + "screenw = 640\n", W, 0},
        // 255 characters to a line, spaces counted; a longer one keeps its start and ends the reading.
        {"screenw=" + pad + "1024\r\nscreenh=600\n", H, 600}, {cut, W, 1024}, {cut, H, 0},
        {"screenw = 640" + std::string(300, ' ') + "\nscreenh = 480\n", H, 0}, {limit, W, 640}, {limit, H, 0},
        // A NUL ends what a line shows; a lone carriage return stays in it.
        {std::string("screenw=12\0 34\n", 15), W, 12}, {"screenh=5\rscreenbpp=9\n", H, 5},
        {"screenh=5\rscreenbpp=9\n", BPP, 0}};
    char path[] = "/tmp/quill-settings-XXXXXX";
    close(mkstemp(path));
    for (const auto& row : rows) EXPECT_EQ(fields(path, row.file)[row.field], row.want) << row.file.substr(0, 60);
    unlink(path);
    // A missing file, or a directory, reads as all zeros.
    for (const char* missing : {"/nonexistent/settings.ini", "/tmp"}) EXPECT_EQ(fields(missing, ""), (std::array<float, 7>{}));
}
