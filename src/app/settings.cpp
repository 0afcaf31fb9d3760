#include "app/settings.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <sys/stat.h>

namespace {

// Removes every space of a line in place, closing the gaps.
void remove_spaces(char* line) {
    char* out = line;
    for (const char* in = line; *in != '\0'; ++in) {
        if (*in != ' ') *out++ = *in;
    }
    *out = '\0';
}

// The size as truncation toward zero would turn it into an int, or 0 when no
// int can hold it.
double int_convertible(double value) {
    return (value > -2147483649.0 && value < 2147483648.0) ? value : 0.0;
}

}  // namespace

void parse_settings_text(SettingsText& text, const char* data, size_t size) {
    text.settings_line_count = 0;
    size_t pos = 0;
    bool failed = false;
    for (int i = 0; i < settings_max_lines; ++i) {
        char* line = text.settings_lines[i];
        int length = 0;
        if (!failed) {
            for (;;) {
                if (pos >= size) {
                    // The end of the file: a partial last line still counts,
                    // an empty read fails the stream.
                    if (length == 0) failed = true;
                    break;
                }
                char c = data[pos];
                if (c == '\r' && pos + 1 < size && data[pos + 1] == '\n') {
                    ++pos;
                    continue;
                }
                if (c == '\n') {
                    ++pos;
                    break;
                }
                if (length == settings_line_size - 1) {
                    failed = true;
                    break;
                }
                line[length++] = c;
                ++pos;
            }
        }
        line[length] = '\0';
        ++text.settings_line_count;
    }
    for (int i = 0; i < settings_max_lines; ++i) remove_spaces(text.settings_lines[i]);
}

void read_settings_file(SettingsText& text, const char* path) {
    text.settings_line_count = 0;
    for (auto& line : text.settings_lines) line[0] = '\0';

    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return;
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return;
    }
    auto bytes = std::make_unique<char[]>(settings_read_limit);
    size_t size = 0;
    while (size < settings_read_limit) {
        size_t got = std::fread(bytes.get() + size, 1, settings_read_limit - size, file);
        if (got == 0) break;
        size += got;
    }
    std::fclose(file);
    parse_settings_text(text, bytes.get(), size);
}

float setting_value(const SettingsText& text, const char* key) {
    size_t key_length = std::strlen(key);
    float result = 0.0f;
    for (int i = 0; i < text.settings_line_count; ++i) {
        const char* line = text.settings_lines[i];
        if (std::strncmp(line, key, key_length) != 0 || line[key_length] != '=') continue;
        double value = std::atof(line + key_length + 1);
        // "nan", "inf" or 1e999 would poison every later conversion.
        result = (std::isfinite(value) && std::fabs(value) <= FLT_MAX) ? static_cast<float>(value)
                                                                      : 0.0f;
    }
    return result;
}

void apply_settings(Settings& settings, const SettingsText& text) {
    settings.screen_width = static_cast<float>(int_convertible(setting_value(text, "screenw")));
    settings.screen_height = static_cast<float>(int_convertible(setting_value(text, "screenh")));
    settings.screen_bpp = static_cast<int>(int_convertible(setting_value(text, "screenbpp")));
    settings.fullscreen = setting_value(text, "fullscreen") != 0.0f;
    settings.show_cursor = setting_value(text, "showcursor") != 0.0f;
    settings.antialiasing = setting_value(text, "antialiasing") != 0.0f;
    settings.mipmapping = setting_value(text, "mipmapping") != 0.0f;
    settings.aspect_ratio = settings.screen_width / settings.screen_height;
}

void load_settings(Settings& settings, const char* path) {
    auto text = std::make_unique<SettingsText>();
    read_settings_file(*text, path);
    apply_settings(settings, *text);
}

unsigned seed_argument(const char* text, unsigned otherwise) {
    unsigned long long value = 0;
    const char* c = text;
    for (; *c >= '0' && *c <= '9'; ++c) {
        value = value * 10 + static_cast<unsigned>(*c - '0');
        if (value > std::numeric_limits<unsigned>::max()) return otherwise;
    }
    return c != text && *c == '\0' ? static_cast<unsigned>(value) : otherwise;
}
