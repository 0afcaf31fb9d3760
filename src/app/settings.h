// The settings file: seven numeric display settings read once at start-up
// by a forgiving text reader. Anything not understood is ignored and a
// missing setting reads as 0. Also the world's seed a command line may give.
#pragma once

#include <cstddef>

constexpr int settings_max_lines = 100;
constexpr int settings_line_size = 256;  // 255 characters and the terminator

// Bytes of the file that are ever looked at: 100 lines of 255 characters,
// each ended by a carriage return and a line feed.
constexpr size_t settings_read_limit =
    static_cast<size_t>(settings_max_lines) * (settings_line_size + 1);

// The first 100 lines of the file with every space removed. About 25 KB:
// keep it off the stack.
struct SettingsText {
    char settings_lines[settings_max_lines][settings_line_size] = {};
    int settings_line_count = 0;  // 0 when the file could not be read, else 100
};

struct Settings {
    float screen_width = 0.0f;   // 0 asks for the desktop width
    float screen_height = 0.0f;  // 0 asks for the desktop height
    int screen_bpp = 0;          // 0 means the display's depth
    bool fullscreen = false;
    bool show_cursor = false;
    bool antialiasing = false;
    bool mipmapping = false;
    float aspect_ratio = 0.0f;   // screen_width / screen_height; NaN when both are 0
};

// Splits size bytes of file content into text's 100 lines, as a text-mode
// line reader would: a line ends at a line feed (a carriage return just
// before it is dropped); a line of 256 or more characters keeps its first 255
// and ends the reading, so every later entry stays empty; a NUL ends what is
// visible of a line. Spaces are then removed from every line.
// Sets settings_line_count to 100.
void parse_settings_text(SettingsText& text, const char* data, size_t size);

// Fills text from the file at path (at most settings_read_limit bytes are
// read). A file that cannot be opened, or a directory, leaves it empty with
// settings_line_count 0.
void read_settings_file(SettingsText& text, const char* path);

// The number given for key on its last line that starts with "key=", as atof
// reads it, or 0. A number that is not finite or does not fit a float reads
// as 0, as if absent.
float setting_value(const SettingsText& text, const char* key);

// Sets every setting from text, in the order of the fields above. A width,
// height or depth that truncation cannot turn into an int reads as 0, so
// every value handed on converts safely.
void apply_settings(Settings& settings, const SettingsText& text);

// Reads the file at path and sets every setting.
void load_settings(Settings& settings, const char* path);

// The seed a command-line argument gives: text's number when text is all
// digits (at least one) and an unsigned holds it. Anything else, such as a
// sign, a space or a file name a desktop hands on, gives otherwise.
unsigned seed_argument(const char* text, unsigned otherwise);
