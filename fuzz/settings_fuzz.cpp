// libFuzzer target for the settings reader: any bytes at all, as a player's
// editor, a broken disk or a stray binary file might leave in settings.ini.
// Checks that reading never goes out of bounds (ASan), every value handed on
// converts to int and float without undefined behaviour (UBSan), and that
// reading the bytes from a file gives the same lines as parsing them.
#include "app/settings.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

const char* const keys[] = {"screenw",    "screenh",      "screenbpp", "fullscreen",
                            "showcursor", "antialiasing", "mipmapping", ""};

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "settings_fuzz: %s\n", what);
        std::abort();
    }
}

// The bytes as a file, so the reader's own file path is fuzzed as well.
int scratch_file() {
    static int fd = memfd_create("settings.ini", 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SettingsText parsed, from_file;
    const char* bytes = reinterpret_cast<const char*>(data);
    parse_settings_text(parsed, bytes, size);

    check(parsed.settings_line_count == settings_max_lines, "line count");
    for (const auto& line : parsed.settings_lines) {
        size_t length = strnlen(line, settings_line_size);
        check(length < static_cast<size_t>(settings_line_size), "unterminated line");
        check(std::memchr(line, ' ', length) == nullptr, "space left in a line");
    }

    for (const char* key : keys) {
        float value = setting_value(parsed, key);
        check(std::isfinite(value), "value not finite");
    }

    Settings settings;
    apply_settings(settings, parsed);
    // What the window set-up does with them must be defined.
    volatile int width = static_cast<int>(settings.screen_width);
    volatile int height = static_cast<int>(settings.screen_height);
    (void)width;
    (void)height;
    check(std::isfinite(settings.screen_width) && std::isfinite(settings.screen_height),
          "size not finite");

    int fd = scratch_file();
    if (fd >= 0 && ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == static_cast<ssize_t>(size)) {
        char path[64];
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
        read_settings_file(from_file, path);
        check(from_file.settings_line_count == parsed.settings_line_count, "file line count");
        for (int i = 0; i < settings_max_lines; ++i) {
            check(std::strcmp(parsed.settings_lines[i], from_file.settings_lines[i]) == 0,
                  "file reading differs from parsing the same bytes");
        }
    }
    return 0;
}
